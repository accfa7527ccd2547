#pragma once

#include <QString>

// The number-mask language of document numbers:
//   a run of "j" found by the first "jj"  the year (two digits for a run of two, else four)
//   a run of "m" found by the first "mm"  the month, zero-padded to the run's length
//   the run of "#" from the first "#"      the running number, blank-padded in front
//   the run of "0" from the first "0"      the running number, zero-padded
//   "*" (and later runs of j, m, #, 0)     a blank position
//   any other character                    copied unchanged
// A value longer than its run widens the text instead of losing digits, so
// distinct numbers always give distinct texts. Where every value fits, the
// text has exactly the mask's length.

// An empty mask gives the number zero-padded to five digits.
QString FormatNrByMask(const QString& mask, qint64 nr, int year, int month);

// The running number inside a text made with the mask (also a widened one);
// 0 when the mask holds no number run; the whole text when the mask is empty.
// A text that no number could have produced is read at the mask's positions.
int ParseNrByMask(const QString& mask, const QString& text);
