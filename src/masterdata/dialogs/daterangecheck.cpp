#include "masterdata/dialogs/daterangecheck.h"

#include "core/values/datetext.h"
#include "platform/widgets/typedinput.h"

using namespace Qt::StringLiterals;

namespace {

// A real date that is also a usable date value: "1.2.24" passes the text
// check but has no year the tables can hold, so it counts as no date.
bool isTypedDate(const QString& text) {
    return IsValidDateStr(text) && StrToDateDMY(text.trimmed()) != EmptyDate;
}

} // namespace

QString NotADateMessage(const QString& typed) {
    return widgets::NotADateMessage(typed);
}

QString DateRangeRefusal(const QString& fromText, const QString& toText) {
    if (!isTypedDate(fromText))
        return NotADateMessage(fromText);
    if (!isTypedDate(toText))
        return NotADateMessage(toText);
    if (StrToDateDMY(toText.trimmed()) < StrToDateDMY(fromText.trimmed()))
        return u"Das Enddatum darf nicht kleiner sein als das Anfangsdatum!"_s;
    return {};
}

QString LimitDateRefusal(const QString& text) {
    return isTypedDate(text) ? QString() : NotADateMessage(text);
}

TDateTime TypedDate(const QString& text) {
    return StrToDateDMY(text.trimmed());
}

TDateTime EndAfterTypedStart(const QString& fromText, TDateTime heldEnd) {
    if (!isTypedDate(fromText))
        return heldEnd;
    const TDateTime start = StrToDateDMY(fromText.trimmed());
    return start > heldEnd ? start : heldEnd;
}
