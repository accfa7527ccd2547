#pragma once

#include "commercial/invoicerunfixture.h"
#include "core/data/datamodule.h"

#include <ostream>

namespace creditnotetest {

using namespace invoiceruntest;

inline const QDate kVom(2026, 3, 15);

// Credit note 1 for customer 100 at object 500: net 100.00, gross 116.00,
// "vom" 15.03., an article line of 60 (cost type 8400), a service line of 40
// (cost type 8500) and a subtotal line of 100.
class CreditNotes : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        addRow(QStringLiteral("Artikel.DB"), {{QStringLiteral("A_ID"), 40},
                                              {QStringLiteral("A_ObjID"), 0},
                                              {QStringLiteral("A_ArtNo"), QStringLiteral("A40")},
                                              {QStringLiteral("A_Lagermenge"), 12.0}});
        addNote({.id = 1});
        addGsLine(11, 1, 60, 40, 0, 0, 8400);
        addGsLine(12, 1, 40, 0, 0, 1, 8500);
        addGsLine(13, 1, 100, 0, 3, 0, 8400);
        dm->TabGsSatz().open();
        dm->TabGsKopf().open();
        refreshAll();
    }
    void TearDown() override {
        dm->TabGsKopf().close();
        dm->TabGsSatz().close();
        InvoiceRun::TearDown();
    }

    struct Note {
        int id;
        int kunde = 100;
        int objekt = 500;
        double netto = 100;
        double brutto = 116;
        bool marked = true;
        int buchung = 0;
    };
    void addNote(const Note& n) {
        addRow(QStringLiteral("GSkopf.DB"),
               {{QStringLiteral("R_ID"), n.id},
                {QStringLiteral("R_Nr"), QStringLiteral("GS-%1").arg(n.id)},
                {QStringLiteral("R_ObjektNr"), n.objekt},
                {QStringLiteral("R_KundenNr"), n.kunde},
                {QStringLiteral("R_Netto"), n.netto},
                {QStringLiteral("R_Brutto"), n.brutto},
                {QStringLiteral("R_Selected"), n.marked},
                {QStringLiteral("R_Buchung"), n.buchung},
                {QStringLiteral("R_Drucke"), 0},
                {QStringLiteral("R_PlanDatum"), kVom},
                {QStringLiteral("R_DatumDruck"), QDate(2026, 4, 2)}});
    }
    // A line as the editor left it: an article line remembers its stock booking.
    void addGsLine(int id, int ref, double netto, int artikel, int posArt, int posTyp, int konto) {
        QList<std::pair<QString, QVariant>> v{{QStringLiteral("S_ID"), id},
                                              {QStringLiteral("S_Ref"), ref},
                                              {QStringLiteral("S_PosNr"), id * 100},
                                              {QStringLiteral("S_PosArt"), posArt},
                                              {QStringLiteral("S_PosTyp"), posTyp},
                                              {QStringLiteral("S_MatID"), artikel},
                                              {QStringLiteral("S_Menge"), 2.0},
                                              {QStringLiteral("S_Netto"), netto},
                                              {QStringLiteral("S_ErloesKonto"), konto}};
        if (artikel != 0)
            v.append({{QStringLiteral("S_OldMatID"), artikel},
                      {QStringLiteral("S_OldMenge"), 2.0},
                      {QStringLiteral("S_OldPosTyp"), 0}});
        addRow(QStringLiteral("GSSatz.DB"), v);
    }
    table::Table& heads() { return dm->TabGsKopf(); }
    void at(int id) { ASSERT_TRUE(heads().locate({QStringLiteral("R_ID")}, {id})); }
    QVariant note(int id, const char* field) {
        return valueOf(QStringLiteral("GSkopf.DB"), QStringLiteral("R_ID"), id, field);
    }
    double costSum(int objektId, int kostart, const QDate& d) {
        auto t = open(QStringLiteral("KostSumD.db"));
        if (!t->locate({QStringLiteral("K_Jahr"), QStringLiteral("K_Monat"),
                        QStringLiteral("K_Kostart"), QStringLiteral("K_ObjektID")},
                       {d.year(), d.month(), kostart, objektId}))
            return 0;
        return t->field(QStringLiteral("K_Erloes")).asFloatOr(0);
    }

    struct Effects {
        double customer = 0, customerMonth = 0, object = 0, kost8400 = 0, kost8500 = 0, article = 0;
        bool operator==(const Effects&) const = default;
    };
    friend std::ostream& operator<<(std::ostream& os, const Effects& e) {
        return os << e.customer << '/' << e.customerMonth << '/' << e.object << '/' << e.kost8400
                  << '/' << e.kost8500 << '/' << e.article;
    }
    Effects effects(int kunde = 100) {
        return {customer(kunde, "K_UmsGesamt").toDouble(),
                monthTurnover("KUmsatz.DB", "U_Kunde", kunde, kVom),
                objectRevenue(5, kVom),
                costSum(5, 8400, kVom),
                costSum(5, 8500, kVom),
                monthTurnover("AUmsatz.DB", "U_ArtikelID", 40, kVom)};
    }
    static constexpr Effects kBooked{-116, -100, -100, -60, -40, -60};
};

} // namespace creditnotetest
