#include "core/data/nrmask.h"

#include "core/values/conversions.h"
#include "core/values/numberparsing.h"

#include <array>
#include <optional>

namespace {

enum RunKind { Year, Month, Blanked, Zeroed, RunKinds };

struct Run {
    int start = -1;
    int length = 0;
    bool found() const { return start >= 0; }
};

using Runs = std::array<Run, RunKinds>;

Run runAt(const QString& mask, int start) {
    if (start < 0)
        return {};
    int end = start;
    while (end < mask.size() && mask[end] == mask[start])
        ++end;
    return {start, end - start};
}

Runs findRuns(const QString& mask) {
    Runs runs;
    runs[Year] = runAt(mask, int(mask.indexOf(QStringLiteral("jj"))));
    runs[Month] = runAt(mask, int(mask.indexOf(QStringLiteral("mm"))));
    runs[Blanked] = runAt(mask, int(mask.indexOf(u'#')));
    runs[Zeroed] = runAt(mask, int(mask.indexOf(u'0')));
    return runs;
}

bool isMaskSymbol(QChar c) {
    return c == u'#' || c == u'*' || c == u'0' || c == u'j' || c == u'm';
}

// The texts that fill the runs; a run's text is padded with blanks behind
// when it is shorter than its run and widens the result when it is longer.
std::array<QString, RunKinds> runTexts(const Runs& runs, qint64 nr, int year, int month) {
    std::array<QString, RunKinds> texts;
    if (runs[Year].found()) {
        const QString y = IntToStrWidth(year, 4);
        texts[Year] = runs[Year].length == 2 ? y.right(2) : y;
    }
    if (runs[Month].found())
        texts[Month] = IntToStrZero(month, runs[Month].length);
    if (runs[Blanked].found())
        texts[Blanked] = IntToStrWidth(nr, runs[Blanked].length);
    if (runs[Zeroed].found())
        texts[Zeroed] = IntToStrZero(nr, runs[Zeroed].length);
    return texts;
}

std::optional<int> runStartingAt(const Runs& runs, int pos) {
    for (int k = 0; k < RunKinds; ++k)
        if (runs[k].start == pos)
            return k;
    return std::nullopt;
}

// Where each run lands in the result once earlier runs widened it, and the
// result's total length.
struct Layout {
    std::array<int, RunKinds> start{};
    std::array<int, RunKinds> width{};
    int length = 0;
};

Layout layout(const QString& mask, const Runs& runs, const std::array<int, RunKinds>& textLengths) {
    Layout l;
    int out = 0;
    for (int pos = 0; pos < mask.size();) {
        if (const auto k = runStartingAt(runs, pos)) {
            const int w = std::max(runs[*k].length, textLengths[*k]);
            l.start[*k] = out;
            l.width[*k] = w;
            out += w;
            pos += runs[*k].length;
        } else {
            ++out;
            ++pos;
        }
    }
    l.length = out;
    return l;
}

} // namespace

QString FormatNrByMask(const QString& mask, qint64 nr, int year, int month) {
    if (mask.isEmpty())
        return IntToStrZero(nr, 5);
    const Runs runs = findRuns(mask);
    const auto texts = runTexts(runs, nr, year, month);
    QString result;
    result.reserve(mask.size() + 8);
    for (int pos = 0; pos < mask.size();) {
        if (const auto k = runStartingAt(runs, pos)) {
            const Run& run = runs[*k];
            result += texts[*k];
            if (texts[*k].size() < run.length)
                result += QString(run.length - texts[*k].size(), u' ');
            pos += run.length;
        } else {
            const QChar c = mask[pos++];
            result += isMaskSymbol(c) ? QChar(u' ') : c;
        }
    }
    return result;
}

int ParseNrByMask(const QString& mask, const QString& text) {
    if (mask.isEmpty())
        return StrToIntZero(text);
    const Runs runs = findRuns(mask);
    const int numberRun = runs[Blanked].found() ? Blanked : runs[Zeroed].found() ? Zeroed : -1;
    if (numberRun < 0)
        return 0;

    // Find the digit count whose formatted length matches the text; the year
    // is taken to have four digits and the month to fit its run.
    std::array<int, RunKinds> lengths{};
    if (runs[Year].found())
        lengths[Year] = runs[Year].length == 2 ? 2 : 4;
    lengths[Month] = runs[Month].length;
    for (int digits = 1; digits <= 10; ++digits) {
        lengths[Blanked] = digits;
        lengths[Zeroed] = digits;
        const Layout l = layout(mask, runs, lengths);
        if (l.length == text.size())
            return StrToIntZero(text.mid(l.start[numberRun], l.width[numberRun]));
        if (l.length > text.size())
            break;
    }
    return StrToIntZero(text.mid(runs[numberRun].start, runs[numberRun].length));
}
