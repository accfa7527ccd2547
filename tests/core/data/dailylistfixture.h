#pragma once

#include "core/data/appointmentrules.h"
#include "core/files/deleteguard.h"
#include "recordrulesfixture.h"

#include <QDate>
#include <QTime>
#include <QVariantMap>

namespace datatest {

// The record rules with tours, objects and staff to plan with. "Today" is
// pinned when the test starts, so a run across midnight sees one day.
class DailyLists : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_savedChecker = SetRightsChecker(&rights);
        m_savedHooks = AppointmentRuleHooksRegistry();
        today = QDate::currentDate();
        tomorrow = today.addDays(1);
        AppointmentRuleHooksRegistry().today = [this] { return today; };
        for (const char* file :
             {"Touren.db", "TourObj.db", "Personal.DB", "Objekte.DB", "TglTour.DB", "TglObj.DB",
              "TglTaet.DB", "Tglfunc.db", "TermObj.DB"})
            table::aliases::database(kDb)->emptyTable(QString::fromLatin1(file));
    }
    void TearDown() override {
        AppointmentRuleHooksRegistry() = m_savedHooks;
        SetRightsChecker(m_savedChecker);
        RecordRules::TearDown();
    }

    void addTour(int nr, int weekday, int person = 0) {
        addRow(QStringLiteral("Touren.db"),
               {{QStringLiteral("TO_ID"), nr},
                {QStringLiteral("TO_Nr"), nr},
                {QStringLiteral("TO_Wochentag"), weekday},
                {QStringLiteral("TO_Person"), person},
                {QStringLiteral("TO_Beschreibung"), QStringLiteral("Tour %1").arg(nr)},
                {QStringLiteral("TO_ServPatt"), QStringLiteral("AB")}});
    }
    void addStaff(int nr, const QString& name, const QString& match) {
        addRow(QStringLiteral("Personal.DB"), {{QStringLiteral("P_ID"), nr},
                                               {QStringLiteral("P_Nr"), nr},
                                               {QStringLiteral("P_Name1"), name},
                                               {QStringLiteral("P_Match"), match}});
    }
    void addActiveObject(int nr, int kunde, const QString& match) {
        addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), nr},
                                              {QStringLiteral("O_Nr"), nr},
                                              {QStringLiteral("O_Kunde"), kunde},
                                              {QStringLiteral("O_Match"), match},
                                              {QStringLiteral("O_Aktiv"), true}});
        refreshShared();
    }
    void addTourObject(int tourNr, int objektNr, const QTime& von, const QTime& bis) {
        addRow(QStringLiteral("TourObj.db"), {{QStringLiteral("T_TourID"), tourNr * 100 + objektNr},
                                              {QStringLiteral("TO_TourNr"), tourNr},
                                              {QStringLiteral("TO_Objekt"), objektNr},
                                              {QStringLiteral("TO_VonUhr"), von},
                                              {QStringLiteral("TO_BisUhr"), bis}});
    }
    // A daily-list activity row as the generation or the user writes it.
    void addActivity(int id, int tourId, int objektNr, int source, int taetigNr = 0,
                     int termId = 0) {
        addRow(QStringLiteral("TglTaet.DB"), {{QStringLiteral("A_TOTID"), id},
                                              {QStringLiteral("A_TourID"), tourId},
                                              {QStringLiteral("A_ObjNr"), objektNr},
                                              {QStringLiteral("A_Source"), source},
                                              {QStringLiteral("A_TaetigNr"), taetigNr},
                                              {QStringLiteral("A_TermID"), termId}});
    }
    void addDailyTour(int id, int tourNr, const QDate& date) {
        addRow(QStringLiteral("TglTour.DB"), {{QStringLiteral("A_TourID"), id},
                                              {QStringLiteral("A_TourNr"), tourNr},
                                              {QStringLiteral("A_Date"), date}});
    }
    void addDailyObject(int id, int tourId, int objektNr) {
        addRow(QStringLiteral("TglObj.DB"), {{QStringLiteral("A_TOID"), id},
                                             {QStringLiteral("A_TourID"), tourId},
                                             {QStringLiteral("A_ObjektNr"), objektNr}});
    }
    // The lookup cursors see rows added behind their back.
    void refreshShared() {
        for (table::Table* t : {&dm->TabLUObjekt(), &dm->TabObjekt(), &dm->TabLUTour()})
            if (t->isOpen())
                t->refresh();
    }

    // Every row of a file in primary order, field name to value (nulls left out).
    QList<QVariantMap> rows(const QString& file) {
        auto t = open(file);
        QList<QVariantMap> result;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
            QVariantMap row;
            for (int i = 0; i < t->fieldCount(); ++i)
                if (!t->field(i).isNull())
                    row.insert(t->field(i).name(), t->field(i).value());
            result.append(row);
        }
        return result;
    }
    int count(const QString& file) { return int(rows(file).size()); }

    QDate today, tomorrow;
    AllowDelete rights;

private:
    RightsChecker* m_savedChecker = nullptr;
    AppointmentRuleHooks m_savedHooks;
};

} // namespace datatest
