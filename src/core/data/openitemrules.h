#pragma once

#include "core/values/datetimevalue.h"

#include <QString>
#include <functional>

class TDataModule1;

namespace table {
class Table;
}

// The program-wide filter of the open-item list, all 0 at start.
struct TOpFilterParams {
    // 0 no filter, 1 unsettled, 2 settled, 3 one object, 4 one customer,
    // 5 one month by print date, 99 search text; other values accept every row.
    int Mode = 0;
    int ObjektNr = 0;
    int KundenNr = 0;
    int Monat = 0;
    int Jahr = 0;
    // Mode 99: 3 searches the object's search word, any other value the customer's.
    int MatchKind = 0;
    // Compared with the upper-cased search word: the caller passes capitals.
    QString SearchText;
    TDateTime DateFrom = EmptyDate;
    TDateTime DateTo = EmptyDate;
};
TOpFilterParams& OpFilterParams();

// Fills the filter record and filters (mode not 0) and refreshes TabOposten.
// A year above 65535 or a month above 255 (or below 0) is a range error; a
// month that is no calendar month leaves the date range open.
void SetOpostenFilter(TDataModule1& dm, int mode, int objektNr, int kundenNr, int jahr, int monat,
                      int matchKind, const QString& searchText);
// The filter decision for the current row of an open-item head table.
bool OpostenFilterAccepts(const TOpFilterParams& params, table::Table& dataSet);
bool OpostenFilterAccepts(table::Table& dataSet);

// Callbacks of the open-item forms; empty ones behave as if the form were closed.
struct OpenItemFormHooks {
    std::function<bool()> opostenVisible;
    std::function<void()> opostenShowRecordPosition;
    std::function<void()> opostenUpdateSaldo;
    std::function<bool()> opErVisible;
    std::function<void()> opErShowRecordPosition;
};
OpenItemFormHooks& OpenItemFormHooksRegistry();

// Dotted display of a stored position number (1020300 shows as 1.02.03).
QString OpenItemPosNrText(int posNr);

// Keys, deletes with payments and lines, the due date of incoming invoices,
// the journal's defaults and the open-item filter.
void InstallOpenItemRules(TDataModule1& dm);
