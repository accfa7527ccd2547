#pragma once

#include "core/data/dockinds.h"

#include <QDate>
#include <QString>
#include <functional>

namespace table {
class Table;
}

// The data side of the invoice template editor and the template list: the
// new template, the object, the dates that steer the recurring invoices, the
// copy of another document into a template, and the walks over all
// templates. Each change that writes more than one row is one transaction:
// on a failure nothing of it stays and a DbError names what failed.

// The first day whose VAT rates the templates bill with at least.
inline const QDate RgvVatFloor(2007, 1, 1);

// A new template: appended and posted (the head rule gives R_ID) with no
// number, no object, customer, dates, interval or texts, the print form,
// state 2 and everything counted 0.
void AppendNewRgvHead(table::Table& head, int printFormNo);

// The object of the template: its block, payment term and customer as the
// invoice editor fills them, and R_Nr the object's next template number
// (NextRgvNr). The head is posted.
void SetRgvObjekt(table::Table& head, int objektNr);

// "Rg.nicht vor" in the editor: the date, then every line at the VAT rates
// of the template's date and the sums; no due date, no mark.
void ChangeRgvNotBefore(table::Table& head, table::Table& lines, const QDate& date);

// "Berechnen": R_DatumErstell := today, then the whole template at the VAT
// rates of its date.
void RecalcRgv(table::Table& head, table::Table& lines, const QDate& today);

// Copies the document sourceNr of the source into the template: a template
// without object first takes the document's object, customer, payment term,
// texts and address references (no number); then every line of the document
// after the template's last position group, each with calculation mode 0,
// and the sums. Returns the lines copied, -1 when the document is not found.
int CopyIntoRgv(TDocSource source, const QString& sourceNr, table::Table& head,
                table::Table& lines);

// "Rechnung nicht vor" in the list: the date, and the next plan date from it
// (UpdateRgvPlanDatum); posted.
void SetRgvNotBefore(table::Table& head, const QDate& date,
                     const QDate& today = QDate::currentDate());

// "Aktu. Mwst": every template that shown shows, in its order, gets
// R_DatumErstell := today and "Rechnung nicht vor" raised to RgvVatFloor
// at least, and all its lines the VAT rates of that date. One transaction a
// template; the first failure stops the walk with a DbError naming the
// template, which stays as it was, while the ones before stay done. step
// runs after each template. Returns the number of templates done.
int UpdateAllRgvVat(table::Table& shown, const QDate& today,
                    const std::function<void()>& step = {});

// "Aktual. K/F": every template with a head/foot text set (R_KFID) gets the
// set's texts again; one transaction a template, stopping as above.
int ReloadAllRgvKopfFuss(table::Table& shown, const std::function<void()>& step = {});
