#include "commercial/documents/positionnumbers.h"

#include "core/values/numberparsing.h"
#include "core/values/rangeerrors.h"

#include <algorithm>
#include <numeric>

namespace {

int CheckedMul(int a, int b) {
    int result = 0;
    if (__builtin_mul_overflow(a, b, &result))
        RaiseOverflowError();
    return result;
}

int CheckedAdd(int a, int b) {
    int result = 0;
    if (__builtin_add_overflow(a, b, &result))
        RaiseOverflowError();
    return result;
}

int g_lastLineKey = 0;
TPosNrBounds g_bounds;

} // namespace

int NormalizePosNr(int n) {
    // A negative number never comes out of the numbering itself; scaling it
    // would never end, so it is treated as the overflow it would become.
    if (n < 0)
        RaiseOverflowError();
    if (n == 0)
        n = 1;
    while (n < MinPosNr)
        n = CheckedMul(n, 100);
    return n;
}

int StripPosNr(int n) {
    while (n != 0 && n % 100 == 0)
        n /= 100;
    return n;
}

QString PosNrToText(int n) {
    QString text = QString::number(StripPosNr(n));
    for (qsizetype pos = text.size() - 2; pos >= 1; pos -= 2)
        text.insert(pos, QLatin1Char('.'));
    return text;
}

int PosNrTextToNr(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char('.'));
    return StripPosNr(StrToIntZero(digits));
}

QString NormalizePosNrText(const QString& text) {
    return PosNrToText(PosNrTextToNr(text));
}

QString FormatPosNr(const QString& posNrText) {
    return NormalizePosNrText(posNrText);
}

int PosNrGroupEnd(int n) {
    return CheckedMul(CheckedAdd(n / 100, 1), 100) - 1;
}

TPosNrBounds PosNrBoundsFor(const std::vector<int>& posNrs, int current, bool insertBefore) {
    TPosNrBounds bounds;
    if (posNrs.empty())
        return bounds;
    if (current < 0 || std::size_t(current) >= posNrs.size())
        RaiseRangeError();
    bounds.Upper = posNrs[std::size_t(current)];
    if (insertBefore) {
        // Before the first line the cursor stays put: nothing lies below.
        bounds.Lower = posNrs[std::size_t(std::max(current - 1, 0))];
        if (bounds.Lower >= bounds.Upper)
            bounds.Lower = 999999;
    } else {
        bounds.Lower = posNrs.back();
        if (bounds.Lower >= bounds.Upper)
            bounds.Upper = MaxPosNr;
    }
    return bounds;
}

int NextFreePosNr(const TPosNrBounds& bounds) {
    if (bounds.Lower < MinPosNr)
        return bounds.Upper > MinPosNr ? MinPosNr : -1;
    int base = StripPosNr(bounds.Lower);
    for (;;) {
        const int candidate = NormalizePosNr(CheckedAdd(base, 1));
        // A carry out of the first level would wrap round to 1; the number
        // must also lie above the line before, so the search goes a level
        // deeper instead (after 99 comes 99.01).
        if (candidate > bounds.Lower && candidate < bounds.Upper)
            return candidate;
        if (base >= MinPosNr)
            return -1;
        base = CheckedMul(base, 100);
    }
}

void SetLastLineKey(int key) {
    g_lastLineKey = key;
}

int LastLineKey() {
    return g_lastLineKey;
}

void SetPosNrBounds(const TPosNrBounds& bounds) {
    g_bounds = bounds;
}

TPosNrBounds CurrentPosNrBounds() {
    return g_bounds;
}

int NextFreePosNr() {
    return NextFreePosNr(g_bounds);
}

QString NoFreePosNrText() {
    return QStringLiteral(
        "Für die Einfügeposition stehen keine freien Positionsnummern mehr zur Verfügung!");
}

int LastPosNrBase(const std::vector<int>& posNrs) {
    if (posNrs.empty())
        return 0;
    return NormalizePosNr(posNrs.back()) / MinPosNr * MinPosNr;
}

int AppendedPosNr(int copiedPosNr, int base) {
    return std::min(CheckedAdd(NormalizePosNr(copiedPosNr), base), MaxPosNr);
}

std::vector<int> RenumberedPosNrs(const std::vector<TRenumberLine>& lines, int from, int start) {
    std::vector<int> result;
    result.reserve(lines.size());
    for (const TRenumberLine& line : lines)
        result.push_back(line.PosNr);
    if (lines.size() <= 1)
        return result;

    const int low = NormalizePosNr(from);
    const int high = from == 0 ? MaxPosNr : NormalizePosNr(PosNrGroupEnd(start));

    // Visit the lines in number order, lines of equal number in given order.
    std::vector<std::size_t> order(lines.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return lines[a].PosNr < lines[b].PosNr; });

    int counter = start;
    for (std::size_t index : order) {
        const TRenumberLine& line = lines[index];
        if (line.PosNr < low || line.PosNr > high)
            continue;
        result[index] = NormalizePosNr(counter);
        if (line.PosArt != PosArtText)
            counter = CheckedAdd(counter, 1);
    }
    return result;
}
