#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/raliste.h"

namespace {

using namespace invoiceruntest;

class RaListe : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        auto k = open(QStringLiteral("Kunden.DB"));
        ASSERT_TRUE(k->locate({QStringLiteral("K_Nr")}, {100}));
        k->edit();
        k->field(QStringLiteral("K_KostenStelle1")).setValue(11.0);
        k->field(QStringLiteral("K_Kostenstelle2")).setValue(22.0);
        k->field(QStringLiteral("K_Zahlart")).setValue(3);
        k->post();
        refreshAll();
    }
    // An invoice head of net 100.00 and VAT 16.00 at code 1.
    table::Table& head(int id, const QString& nr) {
        addRow(QStringLiteral("Rechkopf.DB"), {{QStringLiteral("R_ID"), id},
                                               {QStringLiteral("R_Nr"), nr},
                                               {QStringLiteral("R_KundenNr"), 100},
                                               {QStringLiteral("R_ObjektNr"), 500},
                                               {QStringLiteral("R_DatumDruck"), QDate(2026, 3, 10)},
                                               {QStringLiteral("R_Netto"), 100.0},
                                               {QStringLiteral("R_Netto1"), 100.0},
                                               {QStringLiteral("R_Mwst"), 16.0},
                                               {QStringLiteral("R_Mwst1"), 16.0},
                                               {QStringLiteral("R_Brutto"), 999.0},
                                               {QStringLiteral("R_Selected"), true},
                                               {QStringLiteral("R_ZahlBedTage"), 14},
                                               {QStringLiteral("R_ZahlBedSkonto"), 2.5}});
        return at(id);
    }
    table::Table& at(int id) {
        table::Table& t = dm->TabRechKopf();
        t.refresh();
        EXPECT_TRUE(t.locate({QStringLiteral("R_ID")}, {id}));
        return t;
    }
    QVariant row(const QString& nr, const char* field) {
        auto t = open(QStringLiteral("raliste.db"));
        if (!t->locate({QStringLiteral("R_Nr")}, {nr}))
            return QStringLiteral("<kein Satz>");
        return t->field(QString::fromLatin1(field)).value();
    }
};

TEST_F(RaListe, TheRowCopiesTheHeadAndRecomputesTheGrossPerVatCode) {
    ASSERT_TRUE(AppendToRAList(*dm, head(1, QStringLiteral("RE-00123")), kRaSatzartRechnung));
    const QString nr = QStringLiteral("RE-00123");
    EXPECT_DOUBLE_EQ(row(nr, "R_Brutto").toDouble(), 116.0);
    EXPECT_DOUBLE_EQ(row(nr, "R_Brutto1").toDouble(), 116.0);
    EXPECT_DOUBLE_EQ(row(nr, "R_Brutto0").toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(row(nr, "R_Brutto2").toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(row(nr, "R_Netto1").toDouble(), 100.0);
    EXPECT_EQ(row(nr, "R_DatumDruck").toDate(), QDate(2026, 3, 10));
    EXPECT_EQ(row(nr, "R_ZahlbedTage").toInt(), 14);
    EXPECT_DOUBLE_EQ(row(nr, "R_ZahlbedSkonto").toDouble(), 2.5);
    EXPECT_EQ(row(nr, "R_KKostenstelle1").toInt(), 11);
    EXPECT_EQ(row(nr, "R_KKostenstelle2").toInt(), 22);
    EXPECT_EQ(row(nr, "R_Zahlart").toInt(), 3);
    EXPECT_EQ(row(nr, "R_NrNum").toInt(), 123);
    EXPECT_EQ(row(nr, "R_Satzart").toInt(), 0);
    EXPECT_FALSE(row(nr, "R_Selected").toBool());
    EXPECT_FALSE(row(nr, "R_Exported").toBool());
    EXPECT_TRUE(row(nr, "R_FaelligDatum").isNull());
    EXPECT_GT(row(nr, "R_ID").toInt(), 0);
}

TEST_F(RaListe, AFailedRowIsDroppedAndNeverPostedByTheNextAppend) {
    ASSERT_TRUE(AppendToRAList(*dm, head(1, QStringLiteral("RE-1")), kRaSatzartRechnung));
    EXPECT_FALSE(AppendToRAList(*dm, at(1), kRaSatzartRechnung))
        << "the number stands in the journal as an invoice already";
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)[0].startsWith(
        QStringLiteral("Fehler beim Eintrag in die RA-Liste!\r")));
    EXPECT_FALSE(dm->TabRAListe().isEditing());
    ASSERT_TRUE(AppendToRAList(*dm, head(2, QStringLiteral("RE-2")), kRaSatzartRechnung));
    ASSERT_TRUE(AppendToRAList(*dm, at(1), kRaSatzartGutschrift))
        << "one number may stand once per record kind";
    EXPECT_EQ(open(QStringLiteral("raliste.db"))->recordCount(), 3);
}

TEST_F(RaListe, ThePeriodMarksItsRowsAndUnmarksAllOthers) {
    const QDate today = QDate::currentDate();
    const struct {
        int id;
        QDate datum;
        bool selected;
        bool inPeriod;
    } rows[] = {{1, QDate(2026, 3, 1), false, true},
                {2, QDate(2026, 3, 31), false, true},
                {3, QDate(2026, 4, 1), true, false},
                {4, QDate(2026, 2, 28), true, false},
                {5, QDate(), false, false}};
    for (const auto& r : rows) {
        QList<std::pair<QString, QVariant>> v{{QStringLiteral("R_ID"), r.id},
                                              {QStringLiteral("R_Nr"), QString::number(r.id)},
                                              {QStringLiteral("R_Selected"), r.selected}};
        if (r.datum.isValid())
            v.append({QStringLiteral("R_DatumDruck"), r.datum});
        addRow(QStringLiteral("raliste.db"), v);
    }
    MarkRaListePeriod(QDate(2026, 3, 1), QDate(2026, 3, 31));
    for (const auto& r : rows)
        EXPECT_EQ(row(QString::number(r.id), "R_Selected").toBool(), r.inPeriod) << r.id;
    MarkRaListePeriod(today, today);
    EXPECT_TRUE(row(QStringLiteral("5"), "R_Selected").toBool()) << "no date counts as today";
    EXPECT_FALSE(row(QStringLiteral("1"), "R_Selected").toBool());
}

} // namespace
