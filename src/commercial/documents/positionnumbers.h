#pragma once

#include <QString>
#include <vector>

// Hierarchical position numbers of document lines: up to four levels of two
// decimal digits in one integer, written as eight digits (1020300 is
// 1.02.03). The short form drops trailing 00 pairs (10203).

// Largest stored number (99.99.99.99) and the smallest (1).
inline constexpr int MaxPosNr = 99999999;
inline constexpr int MinPosNr = 1000000;
// Key code that makes the next new line go before the current one.
inline constexpr int InsertLineKey = 45;

// 0 becomes 1; smaller values are scaled up by 100 until they have eight
// digits (102 gives 1020000). A negative value raises the overflow error.
int NormalizePosNr(int n);
// Short form: trailing 00 pairs removed.
int StripPosNr(int n);
// Dotted display text of the short form (1, 12, 1.02, 12.03, 1.02.03).
QString PosNrToText(int n);
// Dots removed, read as an integer (not a number gives 0), short form.
int PosNrTextToNr(const QString& text);
// Display text of a typed or stored number text; trailing zero levels go.
QString NormalizePosNrText(const QString& text);
// The display form used by the document print forms.
QString FormatPosNr(const QString& posNrText);
// The next multiple of 100 above N, minus 1 (103 gives 199, 1 gives 99).
int PosNrGroupEnd(int n);

// The interval (exclusive bounds) a new line's number must lie in.
struct TPosNrBounds {
    int Lower = 999999;
    int Upper = MaxPosNr;
};

// Bounds for a new line of a document whose lines carry the numbers
// PosNrs (in position order) while Current is the current line's index;
// InsertBefore puts the new line before the current one, else it is
// appended after the last line. An empty document gives the open interval.
TPosNrBounds PosNrBoundsFor(const std::vector<int>& posNrs, int current, bool insertBefore);
// The number for a new line inside Bounds, or -1 when none fits.
int NextFreePosNr(const TPosNrBounds& bounds);

// Process-wide state of the line editors: the last plain key pressed in a
// line grid, and the bounds for the next new line.
void SetLastLineKey(int key);
int LastLineKey();
void SetPosNrBounds(const TPosNrBounds& bounds);
TPosNrBounds CurrentPosNrBounds();
// The number for the next new line within the stored bounds, or -1.
int NextFreePosNr();
// The message when no number is left for a new line.
QString NoFreePosNrText();

// Level-1 base of the last line (3.02 gives 3000000); 0 without lines.
int LastPosNrBase(const std::vector<int>& posNrs);
// A copied line's number appended after the lines of the target document.
int AppendedPosNr(int copiedPosNr, int base);

// One line as the renumbering sees it.
struct TRenumberLine {
    int PosNr = 0;
    int PosArt = 0;
};
inline constexpr int PosArtText = 3;

// New numbers for the lines of one document (given in position order) when
// renumbering from From with the first number Start: the lines in the range
// From .. end of Start's group (or every line from From on when From is 0)
// are numbered flat at Start's level; a text line shares its number with
// the line after it. The result holds one number per input line, unchanged
// for lines outside the range.
std::vector<int> RenumberedPosNrs(const std::vector<TRenumberLine>& lines, int from, int start);
