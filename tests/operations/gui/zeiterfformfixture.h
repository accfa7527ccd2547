#pragma once

#include "core/data/datamodule.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/rights/rights.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/zeiterfbuttons.h"
#include "operations/timerecordservice.h"
#include "platform/table/table.h"

#include <QDate>
#include <QTime>
#include <memory>

namespace operationstest {

using namespace Qt::StringLiterals;

inline const QDate kDay(2026, 3, 10); // a Tuesday

// Employees 7 (12.00 an hour, 40 hours a week) and 8, object 10 with a
// daily tour of employee 7 on kDay from 08:00 to 10:30; the window opened
// on kDay for a user with the rights a test grants.
class ZeiterfForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        InstallRightsChecker();
        m_savedSwitch = KostenAusZeiterfassOn;
        KostenAusZeiterfassOn = true;
        m_savedHooks = ZeiterfButtonHooksRegistry();
        // No module has registered its opener yet (another test's
        // registration may still stand).
        ZeiterfButtonHooksRegistry() = ZeiterfButtonHooks{};
        for (const int nr : {7, 8})
            addRow(u"Personal.DB"_s, {{u"P_ID"_s, nr},
                                      {u"P_Nr"_s, nr},
                                      {u"P_Match"_s, nr == 7 ? u"BERG"_s : u"KRANZ"_s},
                                      {u"P_Selbstkostenpreis"_s, 12.0},
                                      {u"P_StundenProTag"_s, 8.0},
                                      {u"P_StundenWocheMax"_s, nr == 7 ? 40.0 : 0.0}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 10}, {u"O_Nr"_s, 10}, {u"O_Match"_s, u"HAUS A"_s}});
        addRow(u"Touren.db"_s, {{u"TO_ID"_s, 1}, {u"TO_Nr"_s, 1}, {u"TO_Person"_s, 7}});
        addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, 1}, {u"A_TourNr"_s, 1}, {u"A_Date"_s, kDay}});
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, 1},
                                {u"A_TourID"_s, 1},
                                {u"A_ObjektNr"_s, 10},
                                {u"A_VonUhr"_s, QTime(8, 0)},
                                {u"A_BisUhr"_s, QTime(10, 30)}});
        setZeitart(2, u"Überst."_s);
        for (table::Table* t : {&dm->TabPersonal(), &dm->TabZeitart()}) {
            if (!t->isOpen())
                t->open();
            t->refresh();
        }
        dm->TabPersonal().first();
    }
    void TearDown() override {
        form.reset();
        ZeiterfButtonHooksRegistry() = m_savedHooks;
        KostenAusZeiterfassOn = m_savedSwitch;
        SetRightsChecker(nullptr);
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }
    void setZeitart(int type, const QString& text) {
        auto t = open(u"Zeitart.DB"_s);
        ASSERT_TRUE(t->locate({u"ZA_Type"_s}, {type}));
        t->edit();
        t->field(u"ZA_Kurztext"_s).setValue(text);
        t->post();
    }
    static void grant(int right, int mask = rbAllRights) { CurrentUser.rights.set(right, mask); }
    void showForm() {
        form = std::make_unique<TF_Zeiterf>();
        form->ApplyRights(kZeiterfRight);
        form->SetDayFilter(kDay);
        formtest::ShowActive(*form);
    }
    int records() { return open(u"Zeiterf.DB"_s)->recordCount(); }
    table::Table& time() { return form->records().table(); }

    std::unique_ptr<TF_Zeiterf> form;

private:
    TUserRec m_savedUser;
    bool m_savedSwitch = false;
    ZeiterfButtonHooks m_savedHooks;
};

} // namespace operationstest
