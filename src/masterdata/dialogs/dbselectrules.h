#pragma once

#include <QChar>
#include <QString>

// The rules of the record lookup that need no window.

// The field a lookup is sorted by at the start: the caller's sort field, else
// the locate field, else the key field.
QString LookupStartSort(const QString& sortField, const QString& locateField,
                        const QString& keyField);

// The dialog's client height: the grid's height and the heights of the bars
// above and below it; an overflow raises instead of wrapping.
int LookupClientHeight(int gridHeight, int topBarHeight, int bottomBarHeight);

// The character that a key pressed outside the search field starts the search
// with: the digit, or the letter as a capital; the null character for every
// other key and for keys held with Ctrl, Alt or Meta (those are accelerators).
QChar SearchStartChar(int qtKey, Qt::KeyboardModifiers modifiers);
