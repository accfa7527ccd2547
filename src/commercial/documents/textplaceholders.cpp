#include "commercial/documents/textplaceholders.h"

#include "core/settings/regionalsettings.h"
#include "core/values/calendar.h"
#include "core/values/conversions.h"
#include "core/values/datetimeformat.h"
#include "core/values/money.h"
#include "core/values/numberparsing.h"
#include "platform/richtext/rtf.h"

#include <QTextCursor>
#include <QTextDocument>
#include <functional>
#include <optional>
#include <utility>

namespace {

using Kind = TPlaceholderKind;

// One marker's value; the member its kind names counts.
struct Value {
    Kind kind = Kind::Text;
    qint64 integer = 0;
    double number = 0;
    TDateTime date = EmptyDate;
    QString text;
};

Value integerValue(qint64 v) {
    Value r;
    r.kind = Kind::Integer;
    r.integer = v;
    return r;
}
Value numberValue(double v) {
    Value r;
    r.kind = Kind::Number;
    r.number = v;
    return r;
}
Value dateValue(TDateTime v, Kind kind = Kind::Date) {
    Value r;
    r.kind = kind;
    r.date = v;
    return r;
}
Value textValue(const QString& v) {
    Value r;
    r.text = v;
    return r;
}

// The text a marker stands in, whether a plain string or a formatted
// document; positions count characters, a paragraph break is one "\n".
class TextBuffer {
public:
    virtual ~TextBuffer() = default;
    virtual QString text() const = 0;
    virtual void replace(int pos, int length, const QString& with) = 0;
};

class StringBuffer : public TextBuffer {
public:
    explicit StringBuffer(QString& s) : m_s(s) {}
    QString text() const override { return m_s; }
    void replace(int pos, int length, const QString& with) override {
        m_s.replace(pos, length, with);
    }

private:
    QString& m_s;
};

class DocumentBuffer : public TextBuffer {
public:
    explicit DocumentBuffer(QTextDocument& doc) : m_doc(doc) {}
    QString text() const override { return m_doc.toPlainText(); }
    void replace(int pos, int length, const QString& with) override {
        QTextCursor cursor(&m_doc);
        cursor.setPosition(pos + 1);
        const QTextCharFormat format = cursor.charFormat(); // the marker's first character
        cursor.setPosition(pos);
        cursor.setPosition(pos + length, QTextCursor::KeepAnchor);
        if (with.isEmpty())
            cursor.removeSelectedText();
        else
            cursor.insertText(with, format);
    }

private:
    QTextDocument& m_doc;
};

bool isOffsetChar(QChar c) {
    return c == u'+' || c == u'-' || (c >= u'0' && c <= u'9');
}

QString formatInteger(qint64 v, const std::optional<QString>& format) {
    if (!format)
        return QString::number(v);
    return format->startsWith(u'0') ? IntToStrZero(v, int(format->size()))
                                    : IntToStrWidth(v, int(format->size()));
}

QString formatNumber(double v, const std::optional<QString>& given) {
    const QString format = given.value_or(QStringLiteral("@,@"));
    if (format.isEmpty())
        return FloatToStrFix(16, 2, v);
    const int n = int(format.size());
    int d = int(format.indexOf(Regional().decimalSeparator)) + 1;
    int t = int(format.indexOf(Regional().thousandSeparator)) + 1;
    if (d < t)
        std::swap(d, t);
    int decimals = n - d;
    if (decimals >= n || decimals <= 0)
        decimals = 0;
    if (t != 0 && decimals == 0) {
        decimals = std::max(0, n - t);
        t = 0;
    }
    if (t != 0 && decimals != 0)
        return FloatToStrGrouped(n, decimals, v);
    return FloatToStrFix(n, decimals, v);
}

QString formatText(const QString& v, const std::optional<QString>& format) {
    if (!format)
        return v;
    const int n = int(format->size());
    const bool left = format->startsWith(u'$') || format->startsWith(u'>');
    const QString cut = v.left(n);
    return left ? cut.leftJustified(n, u' ') : cut.rightJustified(n, u' ');
}

QString formatValue(const Value& v, const std::optional<QString>& format) {
    switch (v.kind) {
    case Kind::Integer:
        return formatInteger(v.integer, format);
    case Kind::Number:
        return formatNumber(v.number, format);
    case Kind::Date:
        // 0.0 is no date: nothing is printed rather than 30.12.1899.
        if (v.date == EmptyDate)
            return QString();
        return FormatDateTime(format.value_or(QStringLiteral("dd/mm/yyyy")), v.date);
    case Kind::Time:
        return FormatDateTime(format.value_or(QStringLiteral("hh:nn:ss")), v.date);
    case Kind::Text:
        return formatText(v.text, format);
    }
    return QString();
}

// Replaces the marker of markerLength characters at pos, together with its
// suffixes, by its formatted value (blankWidth blanks when that is empty).
// onDate sees a date value after its day offset. Gives the inserted text.
QString replaceMarker(TextBuffer& buffer, int pos, int markerLength, Value value, int blankWidth,
                      const std::function<void(TDateTime)>& onDate = {}) {
    const QString text = buffer.text();
    const int size = int(text.size());
    int end = pos + markerLength;
    if (value.kind == Kind::Date) {
        int run = end;
        while (run < size && isOffsetChar(text[run]))
            ++run;
        if (run > end && value.date != EmptyDate)
            value.date += StrToIntZero(text.mid(end, run - end));
        end = run;
        if (onDate)
            onDate(value.date);
    }
    std::optional<QString> format;
    if (end < size && text[end] == u'[') {
        // Without a closing bracket the format reaches to the end of the line.
        qsizetype close = text.indexOf(u']', end + 1);
        const qsizetype lineEnd = text.indexOf(u'\n', end + 1);
        const bool closed = close >= 0 && (lineEnd < 0 || close < lineEnd);
        if (!closed)
            close = lineEnd < 0 ? size : lineEnd;
        const QString inside = text.mid(end + 1, close - end - 1);
        if (!inside.isEmpty()) {
            format = inside;
            end = int(closed ? close + 1 : close);
        }
    }
    QString formatted = formatValue(value, format);
    if (formatted.isEmpty())
        formatted = QString(blankWidth, u' ');
    buffer.replace(pos, end - pos, formatted);
    return formatted;
}

// Payment terms and dunning letters: the first occurrence of each marker,
// in table order, found without regard to case.
void expandFirstOccurrences(TextBuffer& buffer, const QList<TPlaceholder>& table,
                            const std::function<Value(int index)>& valueOf,
                            const std::function<void(int index)>& afterMarker = {}) {
    for (int index = 0; index < table.size(); ++index) {
        const TPlaceholder& marker = table[index];
        const qsizetype pos = UpperStr(buffer.text()).indexOf(marker.Marker);
        if (pos < 0)
            continue;
        const int length = int(marker.Marker.size());
        replaceMarker(buffer, int(pos), length, valueOf(index), length);
        if (afterMarker)
            afterMarker(index);
    }
}

Value paymentTermValue(int index, const TPaymentTermValues& v) {
    switch (index) {
    case 0:
        return numberValue(v.Percent1);
    case 1:
        return numberValue(v.Percent2);
    case 2:
        return integerValue(v.Days1);
    case 3:
        return integerValue(v.Days2);
    case 4:
        return dateValue(v.DocDate == EmptyDate ? EmptyDate : v.DocDate + v.Days1);
    case 5:
        return dateValue(v.DocDate == EmptyDate ? EmptyDate : v.DocDate + v.Days2);
    case 6:
        return numberValue(RoundCents(v.Percent1 * v.Gross / 100));
    default:
        return numberValue(RoundCents(v.Percent2 * v.Gross / 100));
    }
}

void expandPaymentTerms(TextBuffer& buffer, const TPaymentTermValues& values) {
    expandFirstOccurrences(buffer, PaymentTermPlaceholders(),
                           [&](int index) { return paymentTermValue(index, values); });
}

constexpr int kZahlbedIndex = 11;

Value dunningValue(int index, const TDunningValues& v) {
    switch (index) {
    case 0:
        return integerValue(v.Days1);
    case 1:
        return integerValue(v.Days2);
    case 2:
        return integerValue(v.NetDays);
    case 3:
        return dateValue(v.DocDate);
    case 4:
        return dateValue(v.DueDate);
    case 5:
        return numberValue(v.Gross);
    case 6:
        return numberValue(v.Paid);
    case 7:
        return numberValue(v.Open);
    case 8:
        return numberValue(v.Percent1);
    case 9:
        return numberValue(v.Percent2);
    case 10:
        return textValue(v.InvoiceNr);
    default:
        return textValue(v.PaymentTerms);
    }
}

void expandDunning(TextBuffer& buffer, const TDunningValues& values) {
    const TPaymentTermValues terms{values.Days1, values.Days2,    values.DocDate,
                                   values.Gross, values.Percent1, values.Percent2};
    expandFirstOccurrences(
        buffer, DunningPlaceholders(), [&](int index) { return dunningValue(index, values); },
        [&](int index) {
            if (index == kZahlbedIndex)
                expandPaymentTerms(buffer, terms);
        });
}

bool isTokenChar(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
}

// The weekday memory of one line: the dates the weekday markers name.
struct WeekdayMemory {
    TDateTime today = EmptyDate;
    TDateTime tourDate = EmptyDate;
};

QString weekdayName(TDateTime d) {
    return d == EmptyDate ? QString() : GetDayName(WeekdayOfDate(d));
}

Value templateValue(int index, const TTemplateValues& v, const WeekdayMemory& memory) {
    const QString* texts[] = {&v.OMatch, &v.OName1, &v.OName2,   &v.OName3, &v.OStrasse,
                              &v.OPlz,   &v.OOrt,   &v.OTelefon, &v.OFax};
    const QString* customer[] = {&v.KMatch, &v.KName1, &v.KName2,   &v.KName3, &v.KStrasse,
                                 &v.KPlz,   &v.KOrt,   &v.KTelefon, &v.KFax};
    if (index == 0)
        return integerValue(v.ObjektNr);
    if (index >= 1 && index <= 9)
        return textValue(*texts[index - 1]);
    if (index == 10)
        return integerValue(v.KundenNr);
    if (index >= 11 && index <= 19)
        return textValue(*customer[index - 11]);
    switch (index) {
    case 20:
        return dateValue(v.Today);
    case 21:
        return textValue(weekdayName(memory.today));
    case 22:
        return dateValue(v.TourDate);
    case 23:
        return textValue(weekdayName(memory.tourDate));
    case 24:
        return integerValue(v.TourNr);
    case 25:
        return textValue(v.TourText);
    case 26:
        return textValue(v.StaffName);
    case 27:
        return dateValue(v.FromTime, Kind::Time);
    default:
        return dateValue(v.ToTime, Kind::Time);
    }
}

constexpr int kDatumIndex = 20;
constexpr int kTDatumIndex = 22;

void expandTemplate(TextBuffer& buffer, const TTemplateValues& values) {
    const WeekdayMemory fresh{values.Today, values.TourDate};
    WeekdayMemory memory = fresh;
    int pos = 0;
    for (;;) {
        const QString text = buffer.text();
        const qsizetype at = text.indexOf(u'@', pos);
        if (at < 0)
            return;
        if (text.mid(pos, at - pos).contains(u'\n'))
            memory = fresh; // each line starts again from the given dates
        qsizetype end = at + 1;
        while (end < text.size() && isTokenChar(text[end]))
            ++end;
        const int index = TemplatePlaceholderIndex(text.mid(at, end - at));
        if (index < 0) {
            pos = int(end);
            continue;
        }
        std::function<void(TDateTime)> onDate;
        if (index == kDatumIndex)
            onDate = [&](TDateTime d) { memory.today = d; };
        else if (index == kTDatumIndex)
            onDate = [&](TDateTime d) { memory.tourDate = d; };
        const QString inserted = replaceMarker(buffer, int(at), int(end - at),
                                               templateValue(index, values, memory), 0, onDate);
        // Inserted values are not searched again: a name holding "@" stays as it is.
        pos = int(at + inserted.size());
    }
}

QByteArray expandRichText(const QByteArray& rtf,
                          const std::function<void(QTextDocument&)>& expand) {
    std::unique_ptr<QTextDocument> document = richtext::fromRtfOrPlainText(rtf);
    expand(*document);
    return richtext::toRtf(*document);
}

} // namespace

const QList<TPlaceholder>& PaymentTermPlaceholders() {
    static const QList<TPlaceholder> table{
        {QStringLiteral("@ZBP1"), Kind::Number},  {QStringLiteral("@ZBP2"), Kind::Number},
        {QStringLiteral("@ZBT1"), Kind::Integer}, {QStringLiteral("@ZBT2"), Kind::Integer},
        {QStringLiteral("@ZBD1"), Kind::Date},    {QStringLiteral("@ZBD2"), Kind::Date},
        {QStringLiteral("@ZBB1"), Kind::Number},  {QStringLiteral("@ZBB2"), Kind::Number},
    };
    return table;
}

const QList<TPlaceholder>& DunningPlaceholders() {
    static const QList<TPlaceholder> table{
        {QStringLiteral("@TAGE1"), Kind::Integer},
        {QStringLiteral("@TAGE2"), Kind::Integer},
        {QStringLiteral("@TAGENETTO"), Kind::Integer},
        {QStringLiteral("@RGDATUM"), Kind::Date},
        {QStringLiteral("@FAELLDATUM"), Kind::Date},
        {QStringLiteral("@RGBETRAG"), Kind::Number},
        {QStringLiteral("@ZAHLUNGEN"), Kind::Number},
        {QStringLiteral("@RESTBETRAG"), Kind::Number},
        {QStringLiteral("@SKONTO1"), Kind::Number},
        {QStringLiteral("@SKONTO2"), Kind::Number},
        {QStringLiteral("@RGNO"), Kind::Text},
        {QStringLiteral("@ZAHLBED"), Kind::Text},
    };
    return table;
}

const QList<TPlaceholder>& TemplatePlaceholders() {
    static const QList<TPlaceholder> table{
        {QStringLiteral("@ONR"), Kind::Integer},    {QStringLiteral("@OMATCH"), Kind::Text},
        {QStringLiteral("@ONAME1"), Kind::Text},    {QStringLiteral("@ONAME2"), Kind::Text},
        {QStringLiteral("@ONAME3"), Kind::Text},    {QStringLiteral("@OSTRASSE"), Kind::Text},
        {QStringLiteral("@OPLZ"), Kind::Text},      {QStringLiteral("@OORT"), Kind::Text},
        {QStringLiteral("@OTELNO"), Kind::Text},    {QStringLiteral("@OFAX"), Kind::Text},
        {QStringLiteral("@KNR"), Kind::Integer},    {QStringLiteral("@KMATCH"), Kind::Text},
        {QStringLiteral("@KNAME1"), Kind::Text},    {QStringLiteral("@KNAME2"), Kind::Text},
        {QStringLiteral("@KNAME3"), Kind::Text},    {QStringLiteral("@KSTRASSE"), Kind::Text},
        {QStringLiteral("@KPLZ"), Kind::Text},      {QStringLiteral("@KORT"), Kind::Text},
        {QStringLiteral("@KTELNO"), Kind::Text},    {QStringLiteral("@KFAX"), Kind::Text},
        {QStringLiteral("@DATUM"), Kind::Date},     {QStringLiteral("@WOCHTAG"), Kind::Text},
        {QStringLiteral("@TDATUM"), Kind::Date},    {QStringLiteral("@TWOCHTAG"), Kind::Text},
        {QStringLiteral("@TNR"), Kind::Integer},    {QStringLiteral("@TBEZEICH"), Kind::Text},
        {QStringLiteral("@TPERSNAME"), Kind::Text}, {QStringLiteral("@TVONUHR"), Kind::Time},
        {QStringLiteral("@TBISUHR"), Kind::Time},
    };
    return table;
}

int TemplatePlaceholderIndex(const QString& token) {
    const QList<TPlaceholder>& table = TemplatePlaceholders();
    for (int i = 0; i < table.size(); ++i)
        if (table[i].Marker == token)
            return i;
    return -1;
}

QString ExpandPaymentTerms(const QString& text, const TPaymentTermValues& values) {
    QString result = text;
    StringBuffer buffer(result);
    expandPaymentTerms(buffer, values);
    return result;
}

void ExpandDunningText(QString& text, const TDunningValues& values) {
    StringBuffer buffer(text);
    expandDunning(buffer, values);
}

void ExpandTemplateText(QString& line, const TTemplateValues& values) {
    StringBuffer buffer(line);
    expandTemplate(buffer, values);
}

void ExpandDunningDocument(QTextDocument& document, const TDunningValues& values) {
    DocumentBuffer buffer(document);
    expandDunning(buffer, values);
}

void ExpandTemplateDocument(QTextDocument& document, const TTemplateValues& values) {
    DocumentBuffer buffer(document);
    expandTemplate(buffer, values);
}

QByteArray ExpandDunningRichText(const QByteArray& rtf, const TDunningValues& values) {
    return expandRichText(rtf, [&](QTextDocument& d) { ExpandDunningDocument(d, values); });
}

QByteArray ExpandTemplateRichText(const QByteArray& rtf, const TTemplateValues& values) {
    return expandRichText(rtf, [&](QTextDocument& d) { ExpandTemplateDocument(d, values); });
}
