#pragma once

#include <QString>

// The head and foot texts of the head/foot definition RH_ID; both empty for
// id 0 or an unknown id.
void LoadKopfFussText(int rhId, QString& kopfText, QString& fussText);
