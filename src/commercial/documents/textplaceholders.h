#pragma once

#include "core/values/datetimevalue.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QTextDocument;

// Markers beginning with "@" in payment terms, dunning letters and the
// text templates of the daily lists, replaced by the values of one document
// or list entry when the text is printed; the stored text keeps them.
//
// A marker may be followed by a day offset (date markers only: "+3", "-1")
// and then by a format in brackets: "[000]" for integers (zero-padded, or
// right-aligned for any other first character), "[@.@@@,@@]" for numbers
// (length and the places of the regional separators count), a date-time
// pattern such as "[dd.mm.yyyy]" for dates and times, "[$$$$]" or "[>>>>]"
// (left-aligned) and "[####]" (right-aligned) to cut and pad texts to the
// format's length. "[]" is no format and stays; a "[" without "]" takes the
// rest of the line as the format.

enum class TPlaceholderKind { Integer, Number, Date, Time, Text };

struct TPlaceholder {
    QString Marker;
    TPlaceholderKind Kind;
};

// The marker tables in the order the expansion goes through them.
const QList<TPlaceholder>& PaymentTermPlaceholders();
const QList<TPlaceholder>& DunningPlaceholders();
const QList<TPlaceholder>& TemplatePlaceholders();
// The index of a template marker (exact, upper case); -1 when unknown.
int TemplatePlaceholderIndex(const QString& token);

struct TPaymentTermValues {
    int Days1 = 0;
    int Days2 = 0;
    TDateTime DocDate = EmptyDate;
    double Gross = 0;
    double Percent1 = 0;
    double Percent2 = 0;
};

struct TDunningValues {
    int Days1 = 0;
    int Days2 = 0;
    int NetDays = 0;
    TDateTime DocDate = EmptyDate;
    TDateTime DueDate = EmptyDate;
    double Gross = 0;
    double Paid = 0;
    double Open = 0;
    double Percent1 = 0;
    double Percent2 = 0;
    QString InvoiceNr;
    QString PaymentTerms; // its own payment-term markers are expanded too
};

// The values of one daily-list entry; weekday names follow from the dates.
struct TTemplateValues {
    int ObjektNr = 0;
    QString OMatch, OName1, OName2, OName3, OStrasse, OPlz, OOrt, OTelefon, OFax;
    int KundenNr = 0;
    QString KMatch, KName1, KName2, KName3, KStrasse, KPlz, KOrt, KTelefon, KFax;
    TDateTime Today = EmptyDate;
    TDateTime TourDate = EmptyDate;
    int TourNr = 0;
    QString TourText, StaffName;
    TDateTime FromTime = EmptyDate;
    TDateTime ToTime = EmptyDate;
};

// Payment terms and dunning letters: markers found without regard to case,
// only the first occurrence of each replaced; an empty value leaves as many
// blanks as its marker had characters, so the layout keeps its width.
QString ExpandPaymentTerms(const QString& text, const TPaymentTermValues& values);
void ExpandDunningText(QString& text, const TDunningValues& values);
// Template lines: every marker in text order, in capitals as the table
// writes them; an empty value inserts nothing. An "@" that starts no marker
// (an e-mail address) stays as written. "@WOCHTAG" and "@TWOCHTAG" name the
// weekday of the last "@DATUM" / "@TDATUM" before them in the same line.
void ExpandTemplateText(QString& line, const TTemplateValues& values);

// The same on a formatted document: the markers are found in its text
// whatever formatting their letters carry, each value takes the formatting
// of its marker's first character. Template markers expand per paragraph.
void ExpandDunningDocument(QTextDocument& document, const TDunningValues& values);
void ExpandTemplateDocument(QTextDocument& document, const TTemplateValues& values);
// RTF (or plain text) in, RTF out, through the document above; a value
// holding "{", "}" or "\" comes out as written.
QByteArray ExpandDunningRichText(const QByteArray& rtf, const TDunningValues& values);
QByteArray ExpandTemplateRichText(const QByteArray& rtf, const TTemplateValues& values);
