#include "commercial/documents/documentsums.h"
#include "commercial/documents/documenttables.h"
#include "commercial/documents/vatrates.h"
#include "core/data/clientdbfixture.h"
#include "platform/table/table.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

class DocumentTables : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        auto vat = open(QStringLiteral("MwstSatz.DB"));
        vatRows = ReadVatRateRows(*vat);
        addRow(
            QStringLiteral("RechKopf.DB"),
            {{QStringLiteral("R_ID"), 1}, {QStringLiteral("R_DatumErstell"), QDate(2006, 12, 20)}});
        int id = 0;
        for (int i = 1; i <= 3; ++i)
            addLine(++id, 1, i * 1000000, PosArtNormal, 0.10, 16.0, 0.02);
        addLine(++id, 1, 3500000, PosArtAlternativ, 50.0, 16.0, 8.0);
        addLine(++id, 1, 4000000, PosArtZwisumme, 0, 0, 0);
        addLine(++id, 2, 1000000, PosArtNormal, 99.0, 16.0, 15.84); // another invoice
    }
    void addLine(int id, int ref, int posNr, int posArt, double net, double rate, double vat) {
        addRow(QStringLiteral("RechSatz.DB"), {{QStringLiteral("S_ID"), id},
                                               {QStringLiteral("S_Ref"), ref},
                                               {QStringLiteral("S_PosNr"), posNr},
                                               {QStringLiteral("S_PosArt"), posArt},
                                               {QStringLiteral("S_MwstKz"), 1},
                                               {QStringLiteral("S_Netto"), net},
                                               {QStringLiteral("S_Mwst"), rate},
                                               {QStringLiteral("S_MwstBetrag"), vat},
                                               {QStringLiteral("S_Brutto"), net + vat}});
    }
    double lineValue(int id, const char* field) {
        auto tab = open(QStringLiteral("RechSatz.DB"));
        EXPECT_TRUE(tab->locate({QStringLiteral("S_ID")}, {id}));
        return tab->field(QString::fromLatin1(field)).asFloat();
    }
    std::vector<TVatRateRow> vatRows;
    const TDateTime today = DateTimeOfDate(QDate(2026, 12, 10));
};

TEST_F(DocumentTables, SumsAtCreationDateThenRatesOfThePrintDate) {
    auto head = open(QStringLiteral("RechKopf.DB"));
    auto lines = open(QStringLiteral("RechSatz.DB"));
    lines->setIndexName(QStringLiteral("S_IRef"));
    ASSERT_TRUE(lines->locate({QStringLiteral("S_ID")}, {2}));

    RecalcDocumentTables(*lines, *head, vatRows, today, false);
    EXPECT_EQ(head->state(), table::TableState::Edit);
    head->post();
    EXPECT_DOUBLE_EQ(head->field(QStringLiteral("R_Netto1")).asFloat(), 0.30);
    EXPECT_DOUBLE_EQ(head->field(QStringLiteral("R_Mwst1")).asFloat(), 0.05);
    EXPECT_DOUBLE_EQ(head->field(QStringLiteral("R_Brutto")).asFloat(), 0.35);
    EXPECT_DOUBLE_EQ(lineValue(5, "S_Netto"), 0.30);
    EXPECT_DOUBLE_EQ(lineValue(5, "S_MwstBetrag"), 0.05);
    EXPECT_EQ(lines->field(QStringLiteral("S_ID")).asInteger(), 2);

    // Booked in 2007: the print date now decides, every line takes 19 %.
    head->edit();
    head->field(QStringLiteral("R_DatumDruck")).setValue(QDate(2007, 1, 3));
    head->post();
    RecalcDocumentTables(*lines, *head, vatRows, today, true);
    head->post();
    EXPECT_DOUBLE_EQ(lineValue(1, "S_Mwst"), 19.0);
    EXPECT_DOUBLE_EQ(lineValue(1, "S_MwstBetrag"), 0.02);
    EXPECT_DOUBLE_EQ(head->field(QStringLiteral("R_Mwst1")).asFloat(), 0.06);
    EXPECT_DOUBLE_EQ(head->field(QStringLiteral("R_Brutto")).asFloat(), 0.36);
    // The alternative line and the other invoice keep their amounts.
    EXPECT_DOUBLE_EQ(lineValue(4, "S_Mwst"), 16.0);
    EXPECT_DOUBLE_EQ(lineValue(6, "S_MwstBetrag"), 15.84);
}

} // namespace
