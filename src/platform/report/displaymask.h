#pragma once

// Display masks as users type them into report layouts:
//   numbers  "####0.00", "#,##0.00", "##0.00 %", "###0.00 Std", "0.00;-0.00;'null'"
//            ('0' digit, '#' optional digit, '.' decimal point, ',' thousands,
//            ';' sections positive;negative;zero, quoted or other text literal;
//            '%' is a literal, the value is not scaled)
//   dates    "dd.mm.yyyy", "dd.mmmm.yyyy", "hh:nn", "dd.mm.yyyy hh:nn" (an 'm'
//            right after an hour means minutes)
//   Booleans "Ja;Nein"
// The separators, month names and the money text come from a process-wide
// formatter that the printing layer replaces with the regional settings.

#include "platform/table/tabledef.h"

#include <QChar>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace report {

struct ValueFormatter {
    QChar decimalSeparator = u',';
    QChar thousandSeparator = u'.';
    QChar dateSeparator = u'.';
    QStringList shortMonthNames; // January first
    QStringList longMonthNames;
    QStringList shortDayNames; // Sunday first
    QStringList longDayNames;
    // Text of a currency field printed without a mask; empty: "#,##0.00".
    std::function<QString(double)> money;

    static ValueFormatter plain(); // German separators and names
};

const ValueFormatter& valueFormatter();
void setValueFormatter(const ValueFormatter& formatter);
void resetValueFormatter();

QString formatFloat(double value, const QString& mask,
                    const ValueFormatter& formatter = valueFormatter());
QString formatDateTime(const QDateTime& value, const QString& mask,
                       const ValueFormatter& formatter = valueFormatter());
QString formatDateAndTime(const QDate& date, const QTime& time, const QString& mask,
                          const ValueFormatter& formatter = valueFormatter());
// "Ja;Nein": the first text for true, the second for false; an empty mask gives Ja/Nein.
QString formatBoolean(bool value, const QString& mask);
// A number without a mask: up to 15 significant digits, the regional decimal separator.
QString formatGeneral(double value, const ValueFormatter& formatter = valueFormatter());

// The printed text of a value of the given field type; null prints empty.
QString displayText(const QVariant& value, table::FieldType type, const QString& mask,
                    const ValueFormatter& formatter = valueFormatter());
// The field type a computed value prints as.
table::FieldType typeOfValue(const QVariant& value);

} // namespace report
