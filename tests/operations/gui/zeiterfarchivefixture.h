#pragma once

#include "core/moduleentries.h"
#include "operations/gui/operationsmodules.h"
#include "operations/timerecordservice.h"
#include "zeiterfformfixture.h"

namespace operationstest {

// The time-entry fixture with the archive run and browser registered as
// the program registers them, the overviews' right and the cost type of
// the records posted through the service (each with its cost entry and
// monthly sums).
class ZeiterfArchiveForms : public operationstest::ZeiterfForm {
protected:
    void SetUp() override {
        ZeiterfForm::SetUp();
        grant(kZeiterfRight);
        grant(kZeiterfOverviewRight);
        RegisterOperationsModules(dispatcher);
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 500},
                                 {u"A_Nr"_s, 500},
                                 {u"A_Text"_s, u"Löhne"_s},
                                 {u"A_RubrikNr"_s, 1},
                                 {u"A_Personal"_s, false}});
    }
    void post(const QDate& day, double hours) {
        TimeRecordValues v;
        v.datum = day;
        v.persNr = 7;
        v.objNr = 10;
        v.art = 1;
        v.stunden = hours;
        v.ekPreis = 12.0;
        v.kostart = 500;
        TimeRecordCursor cursor;
        cursor.append(v);
    }
    int rows(const QString& alias, const QString& tableName) {
        return open(tableName, alias)->recordCount();
    }

    ModuleDispatcher dispatcher;
};

} // namespace operationstest
