#pragma once

#include "commercial/billing/defrgmodel.h"
#include "commercial/billing/recurringbilling.h"
#include "commercial/billing/rgtermine.h"
#include "commercial/documentrulesfixture.h"
#include "commercial/tourrows.h"

#include <QDate>
#include <QStringList>

namespace recurringtest {

inline QDate d(int day, int month, int year = 2025) {
    return QDate(year, month, day);
}

using Values = QList<std::pair<QString, QVariant>>;

// The periods of a monthly definition of 2002, each created on createDay (cut
// to the month's length) and billed on the month's last day.
inline QList<TRgPeriod> monthlyPeriods(int createDay) {
    QList<TRgPeriod> periods;
    for (int m = 1; m <= 12; ++m) {
        const QDate start(2002, m, 1);
        const QDate end = start.addDays(start.daysInMonth() - 1);
        periods.append({m, start, end, end, QDate(2002, m, std::min(createDay, end.day()))});
    }
    return periods;
}

// One line of an invoice as a test reads it back.
struct InvoiceLine {
    int posNr = 0;
    int posArt = 0;
    int quelle = 0;
    QString quellNr;
    int refId = 0;
    double menge = 0.0;
    double ePreis = 0.0;
    double brutto = 0.0;
    int erloesKonto = 0;
};

// The commercial rules with the monthly definition 20 (created on the 25th),
// object 500 (customer 100) and no templates, tours, activities or delivery
// notes. Runs record the memo and the count.
class RecurringBilling : public doctest::DocumentRules {
protected:
    static inline const QDate kToday{2025, 3, 10};

    void SetUp() override {
        DocumentRules::SetUp();
        auto db = table::aliases::database(datatest::kDb);
        for (const char* file : {"Rgvkopf.db", "RgvSatz.DB", "Touren.db", "TourObj.db",
                                 "ObjTaet.db", "LSkopf.DB", "LSsatz.DB", "Rechplan.db"})
            db->emptyTable(QString::fromLatin1(file));
        addDefinition(20, QStringLiteral("monatlich am 25."), monthlyPeriods(25));
        hooks.addLine = [this](const QString& line) { memo << line; };
        hooks.showCount = [this](const QString& text) { counts << text; };
        hooks.processEvents = [this] {
            if (duringRun)
                duringRun();
        };
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
    }

    int run(const QDate& from, const QDate& to, int mode = RecurringCreateInvoices) {
        memo.clear();
        counts.clear();
        presenter.boxes.clear();
        return ProcessRecurringBilling(*dm, mode, from, to, kToday, hooks);
    }
    int runMarch(int mode = RecurringCreateInvoices) { return run(d(1, 3), d(31, 3), mode); }

    void addDefinition(int defNo, const QString& comment, const QList<TRgPeriod>& periods) {
        addRow(QStringLiteral("IvDefH.DB"), {{QStringLiteral("I_ID"), 100 + defNo},
                                             {QStringLiteral("I_DefNo"), defNo},
                                             {QStringLiteral("I_Comment"), comment}});
        SaveRgTermine(defNo, periods);
    }
    void addObjectWith(int id, int nr, const Values& values) {
        addObject(id, nr, 100);
        setRow(QStringLiteral("Objekte.DB"), QStringLiteral("O_ID"), id, values);
    }
    void setRow(const QString& file, const QString& keyField, int key, const Values& values) {
        auto t = open(file);
        ASSERT_TRUE(t->locate({keyField}, {key}));
        t->edit();
        for (const auto& [name, value] : values)
            t->field(name).setValue(value);
        t->post();
    }
    // A template of the object on definition 20 unless values say otherwise.
    void addTemplate(int id, int objektNr, const Values& values = {}) {
        Values row{{QStringLiteral("R_ID"), id},
                   {QStringLiteral("R_Nr"), QStringLiteral("RV%1_%2").arg(objektNr).arg(id)},
                   {QStringLiteral("R_ObjektNr"), objektNr},
                   {QStringLiteral("R_Intervall"), 20},
                   {QStringLiteral("R_OMatch"), QStringLiteral("OBJ%1").arg(objektNr)},
                   {QStringLiteral("R_KundenNr"), 100},
                   {QStringLiteral("R_KMatch"), QStringLiteral("KUNDE")}};
        row.append(values);
        addRow(QStringLiteral("Rgvkopf.db"), row);
    }
    // A normal line of quantity and price at the full rate, unless values say otherwise.
    void addTemplateLine(int id, int ref, int posNr, double menge, double price,
                         const Values& values = {}) {
        Values row{{QStringLiteral("S_ID"), id},
                   {QStringLiteral("S_Ref"), ref},
                   {QStringLiteral("S_PosNr"), posNr},
                   {QStringLiteral("S_Posart"), 0},
                   {QStringLiteral("S_PosTyp"), 4},
                   {QStringLiteral("S_Menge"), menge},
                   {QStringLiteral("S_EPreis"), price},
                   {QStringLiteral("S_MwstKz"), 1},
                   {QStringLiteral("S_Kurztext"), QStringLiteral("Zeile %1").arg(id)}};
        row.append(values);
        addRow(QStringLiteral("RgvSatz.DB"), row);
    }
    void addNote(int id, int objektNr, const QDate& delivered, bool autoLS = true) {
        addRow(QStringLiteral("LSkopf.DB"),
               {{QStringLiteral("R_ID"), id},
                {QStringLiteral("R_Nr"), QStringLiteral("LS%1").arg(id)},
                {QStringLiteral("R_ObjektNr"), objektNr},
                {QStringLiteral("R_AutoLS"), autoLS},
                {QStringLiteral("R_LiefDatum"), delivered}});
    }
    void addNoteLine(int id, int ref, double menge, double geliefert, double price) {
        addRow(QStringLiteral("LSsatz.DB"), {{QStringLiteral("S_ID"), id},
                                             {QStringLiteral("S_Ref"), ref},
                                             {QStringLiteral("S_PosNr"), 1000000 * (id % 90 + 1)},
                                             {QStringLiteral("S_PosTyp"), 4},
                                             {QStringLiteral("S_Menge"), menge},
                                             {QStringLiteral("S_MengeGeliefert"), geliefert},
                                             {QStringLiteral("S_EPreis"), price},
                                             {QStringLiteral("S_MwstKz"), 1}});
    }
    // The heads of Rechkopf.DB: R_ObjektNr, R_ANr, R_PlanDatum per head in key order.
    QStringList invoiceKeys() {
        QStringList result;
        auto t = open(QStringLiteral("Rechkopf.DB"));
        for (; !t->eof() && !t->isEmpty(); t->next())
            result << QStringLiteral("%1 %2 %3")
                          .arg(FieldInt(*t, QStringLiteral("R_ObjektNr")))
                          .arg(FieldText(*t, QStringLiteral("R_ANr")))
                          .arg(t->field(QStringLiteral("R_PlanDatum"))
                                   .asDate()
                                   .toString(u"dd.MM.yyyy"));
        return result;
    }
    int invoiceIdOf(int objektNr, const QDate& planDate) {
        auto t = open(QStringLiteral("Rechkopf.DB"));
        if (!t->locate({QStringLiteral("R_ObjektNr"), QStringLiteral("R_PlanDatum")},
                       {objektNr, planDate}))
            return 0;
        return FieldInt(*t, QStringLiteral("R_ID"));
    }
    QList<InvoiceLine> linesOf(int invoiceId) {
        QList<InvoiceLine> result;
        auto t = open(QStringLiteral("Rechsatz.db"));
        t->setIndexName(QStringLiteral("S_IRef"));
        t->setRange({invoiceId}, {invoiceId});
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            result.append(
                {FieldInt(*t, QStringLiteral("S_PosNr")), FieldInt(*t, QStringLiteral("S_PosArt")),
                 FieldInt(*t, QStringLiteral("S_Quelle")),
                 FieldText(*t, QStringLiteral("S_QuellNr")),
                 FieldInt(*t, QStringLiteral("S_RefID")), FieldFloat(*t, QStringLiteral("S_Menge")),
                 FieldFloat(*t, QStringLiteral("S_EPreis")),
                 FieldFloat(*t, QStringLiteral("S_Brutto")),
                 FieldInt(*t, QStringLiteral("S_ErloesKonto"))});
        return result;
    }
    QList<int> posNrsOf(int invoiceId) {
        QList<int> result;
        for (const InvoiceLine& line : linesOf(invoiceId))
            result << line.posNr;
        return result;
    }
    QVariant fieldOf(const QString& file, const QString& keyField, int key, const QString& field,
                     const QString& alias = datatest::kDb) {
        auto t = open(file, alias);
        if (!t->locate({keyField}, {key}))
            return QStringLiteral("<kein Satz>");
        return t->field(field).value();
    }
    QVariant templateField(int id, const char* field) {
        return fieldOf(QStringLiteral("Rgvkopf.db"), QStringLiteral("R_ID"), id,
                       QLatin1String(field));
    }
    QVariant invoiceField(int id, const char* field) {
        return fieldOf(QStringLiteral("Rechkopf.DB"), QStringLiteral("R_ID"), id,
                       QLatin1String(field));
    }
    QVariant noteField(int id, const char* field) {
        return fieldOf(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), id,
                       QLatin1String(field));
    }
    QVariant noteLineField(int id, const char* field) {
        return fieldOf(QStringLiteral("LSsatz.DB"), QStringLiteral("S_ID"), id,
                       QLatin1String(field));
    }
    int rowCount(const QString& file) {
        auto t = open(file);
        return t->recordCount();
    }

    RecurringBillingHooks hooks;
    QStringList memo;
    QStringList counts;
    std::function<void()> duringRun;
};

} // namespace recurringtest
