#pragma once

#include <QString>

// The program's numbered German texts (64736 to 65295). A number the catalog
// does not hold gives the empty text.
QString LoadMessage(quint16 number);
