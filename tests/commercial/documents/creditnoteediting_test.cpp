#include "commercial/creditnotefixture.h"
#include "commercial/documents/creditnoteediting.h"
#include "commercial/documents/documentediting.h"

namespace {

using creditnotetest::CreditNotes;

// Invoice 7 ("RE-7") of 15.03. for customer 200 at object 600 with three
// article lines of one unit each, and a new credit note.
class CreditNoteEditing : public CreditNotes {
protected:
    void SetUp() override {
        CreditNotes::SetUp();
        addInvoice({.id = 7,
                    .objekt = 600,
                    .kunde = 200,
                    .datum = creditnotetest::kVom,
                    .nr = QStringLiteral("RE-7")});
        auto inv = open(QStringLiteral("Rechkopf.DB"));
        inv->locate({QStringLiteral("R_ID")}, {7});
        inv->edit();
        inv->field(QStringLiteral("R_PlanDatum")).setValue(QDate(2026, 3, 1));
        inv->field(QStringLiteral("R_ZahlBed")).setValue(QStringLiteral("14 Tage netto"));
        inv->field(QStringLiteral("R_VorspannText")).setValue(QStringLiteral("Vorspann"));
        inv->post();
        for (int i = 1; i <= 3; ++i)
            addRow(QStringLiteral("Rechsatz.db"),
                   {{QStringLiteral("S_ID"), 70 + i},
                    {QStringLiteral("S_Ref"), 7},
                    {QStringLiteral("S_PosNr"), i * 1000000},
                    {QStringLiteral("S_PosArt"), 0},
                    {QStringLiteral("S_PosTyp"), 4},
                    {QStringLiteral("S_Menge"), 1.0},
                    {QStringLiteral("S_EPreis"), 10.0 * i},
                    {QStringLiteral("S_Kurztext"), QStringLiteral("Zeile %1").arg(i)}});
        refreshAll();
        AppendGutschriftHead(heads(), 14001, QDate(2026, 4, 2));
        newId = FieldInt(heads(), QStringLiteral("R_ID"));
        dm->TabGsSatz().refresh();
    }
    int newId = 0;
};

TEST_F(CreditNoteEditing, ANewNoteIsOnePostWithTheManualValues) {
    EXPECT_EQ(note(newId, "R_RgState").toInt(), 3);
    EXPECT_EQ(note(newId, "R_IVname").toString(), QStringLiteral("Manuelle Gutschrift"));
    EXPECT_EQ(note(newId, "R_Creator").toInt(), 1);
    EXPECT_EQ(note(newId, "R_PlanDatum").toDate(), QDate(2026, 4, 2));
    EXPECT_EQ(note(newId, "R_FaelligDatum").toDate(), QDate(2026, 4, 2));
    EXPECT_EQ(note(newId, "R_PrintFormNo").toInt(), 14001);
    EXPECT_EQ(note(newId, "R_Buchung").toInt(), 0);
    EXPECT_FALSE(note(newId, "R_Nr").toString().isEmpty());
}

TEST_F(CreditNoteEditing, AnInvoiceOfTheFifteenthIsTakenOverWithItsThreeLines) {
    const int copied = CopyInvoiceIntoGutschrift(TDocSource::Rechnung, QStringLiteral("RE-7"),
                                                 heads(), dm->TabGsSatz());
    EXPECT_EQ(copied, 3);
    EXPECT_EQ(note(newId, "R_KundenNr").toInt(), 200);
    EXPECT_EQ(note(newId, "R_ObjektNr").toInt(), 600);
    EXPECT_EQ(note(newId, "R_ZahlBed").toString(), QStringLiteral("14 Tage netto"));
    EXPECT_EQ(note(newId, "R_VorspannText").toString(), QStringLiteral("Vorspann"));
    // "vom" is the invoice's own date, not its plan date.
    EXPECT_EQ(note(newId, "R_PlanDatum").toDate(), creditnotetest::kVom);
    EXPECT_EQ(note(newId, "R_ANr").toString(), QStringLiteral("RE-7"));
    auto lines = open(QStringLiteral("GSSatz.DB"));
    int found = 0;
    for (lines->first(); !lines->eof() && !lines->isEmpty(); lines->next()) {
        if (FieldInt(*lines, QStringLiteral("S_Ref")) != newId)
            continue;
        ++found;
        EXPECT_EQ(FieldInt(*lines, QStringLiteral("S_Quelle")), 3);
        EXPECT_EQ(FieldText(*lines, QStringLiteral("S_QuellNr")), QStringLiteral("RE-7"));
    }
    EXPECT_EQ(found, 3);
    EXPECT_DOUBLE_EQ(note(newId, "R_Netto").toDouble(), 60);
}

TEST_F(CreditNoteEditing, AnUnknownInvoiceChangesNothing) {
    EXPECT_EQ(CopyInvoiceIntoGutschrift(TDocSource::Rechnung, QStringLiteral("RE-99"), heads(),
                                        dm->TabGsSatz()),
              -1);
    EXPECT_EQ(note(newId, "R_KundenNr").toInt(), 0);
    EXPECT_TRUE(note(newId, "R_ANr").toString().isEmpty());
}

TEST_F(CreditNoteEditing, AnEmptyNewNoteIsDeletedAtTheEnd) {
    EXPECT_TRUE(FinishDocumentEditing(heads(), dm->TabGsSatz(), true));
    EXPECT_FALSE(exists(QStringLiteral("GSkopf.DB"), QStringLiteral("R_ID"), newId));
}

} // namespace
