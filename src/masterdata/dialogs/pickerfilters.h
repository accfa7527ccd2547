#pragma once

#include <QString>

class QDate;

// The filter expressions of the pickers. Values go in as literals of the
// filter language (texts quoted with doubled quotes), which the table binds
// as parameters; nothing reaches SQL as text.

// A text as a quoted literal: O'Neil -> 'O''Neil'.
QString QuotedFilterText(const QString& text);

// "O_Aktiv='true'" while the data module's object table shows active objects
// only (the object form's switch), else empty.
QString ActiveObjectFilter();
// The customer's objects, active ones only under the same switch.
QString ObjectsOfCustomerFilter(int customerNr);
// 0: the central articles; otherwise the object's own.
QString ArticlesOfObjectFilter(int objectId);
// The object's external services not yet billed.
QString UnbilledServicesFilter(int objectId);
// Every document but the current one, with an object number other than 0
// only that object's.
QString TemplateFilter(int objectNr, const QString& currentDocNr);
// The other tours of the weekday.
QString OtherTourOfDayFilter(int weekday, int currentTourNr);
// The VAT rates whose validity covers the day; a row with an empty bound is
// not listed.
QString VatRatesValidOnFilter(const QDate& day);
