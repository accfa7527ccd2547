#include "commercial/documents/documentediting.h"
#include "commercial/documents/positiontable.h"
#include "commercial/invoiceeditfixture.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/rubrikdefaultkostart.h"
#include "platform/errors.h"

#include <QRegularExpression>
#include <array>

using table::Table;

namespace {

const QString kLines = QStringLiteral("Rechsatz.db");
const QString kHeads = QStringLiteral("Rechkopf.DB");

class InvoiceEditingTest : public invoicetest::InvoiceEditing {
protected:
    void SetUp() override {
        InvoiceEditing::SetUp();
        m_savedDefaults = RubrikDefaultKostart;
        RubrikDefaultKostart = {41, 42, 43};
    }
    void TearDown() override {
        RubrikDefaultKostart = m_savedDefaults;
        InvoiceEditing::TearDown();
    }
    // A line of the current invoice through the shared line object.
    int addInvoiceLine(double menge, double preis, int mwstKz = 1, int account = 0) {
        Table& lines = dm->TabRechSatz();
        lines.append();
        lines[QStringLiteral("S_Menge")] = menge;
        lines[QStringLiteral("S_EPreis")] = preis;
        lines[QStringLiteral("S_MwstKz")] = mwstKz;
        lines[QStringLiteral("S_ErloesKonto")] = account;
        lines.post();
        // The sums wait in the head's buffer until the head is posted.
        if (dm->TabRechKopf().isEditing())
            dm->TabRechKopf().post();
        return lines[QStringLiteral("S_ID")].asInteger();
    }
    // Order 901 "A-1" of object 500: 10 ordered and 4 delivered, a line
    // fully delivered, a text line, an alternative and an on-demand line.
    void addOrder() {
        addSourceHead(QStringLiteral("Auftkopf.DB"), 901, QStringLiteral("A-1"), 500);
        const QString f = QStringLiteral("Auftsatz.DB");
        addSourceLine(f, 901, {11, 1000000, 0, 10, 4});
        addSourceLine(f, 901, {12, 2000000, 0, 5, 5});
        addSourceLine(f, 901, {13, 3000000, 3, 0});
        addSourceLine(f, 901, {14, 4000000, 1, 2});
        addSourceLine(f, 901, {15, 5000000, 2, 2});
    }
    // Delivery note 801 "L-1" of object 500 with two normal lines.
    void addDeliveryNote() {
        addSourceHead(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("L-1"), 500);
        addSourceLine(QStringLiteral("LSsatz.DB"), 801, {21, 1000000, 0, 10});
        addSourceLine(QStringLiteral("LSsatz.DB"), 801, {22, 2000000, 0, 3});
    }
    double geliefert(const QString& file, int id) {
        return valueOf(file, QStringLiteral("S_ID"), id, QStringLiteral("S_MengeGeliefert"))
            .toDouble();
    }

    std::array<int, 3> m_savedDefaults{};
};

TEST_F(InvoiceEditingTest, ANewManualInvoiceCarriesAProvisionalNumberOfItsKey) {
    Table& head = dm->TabRechKopf();
    head.open();
    const QDate today(2024, 3, 9);
    AppendManualInvoiceHead(head, 10001, today);
    const int id = head[QStringLiteral("R_ID")].asInteger();
    EXPECT_EQ(head[QStringLiteral("R_Nr")].asString(),
              QStringLiteral("*") + QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0')));
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Creator")).toInt(), 1);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_DatumDruck")).toDate(), today);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Monat")).toInt(), 3);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_PrintFormNo")).toInt(), 10001);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_IVname")).toString(), ManualInvoiceIvName);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_RgState")).toInt(), 2);
    EXPECT_FALSE(head.isEditing());
}

TEST_F(InvoiceEditingTest, ObjectAndCustomerRules) {
    EXPECT_EQ(InvoiceObjektRefusal(true, false), QString());
    EXPECT_EQ(InvoiceObjektRefusal(true, true), ObjektHasLinesText);
    EXPECT_EQ(InvoiceObjektRefusal(false, false), ObjektFixedText);
    EXPECT_EQ(InvoiceObjektRefusal(false, true), ObjektFixedText);
    EXPECT_TRUE(ObjektHasLinesText.startsWith(ObjektFixedText + QLatin1Char('\r')));
    EXPECT_TRUE(InvoiceCustomerChangeable(true, false));
    EXPECT_FALSE(InvoiceCustomerChangeable(false, false));
    EXPECT_TRUE(InvoiceCustomerChangeable(false, true));
}

TEST_F(InvoiceEditingTest, ANewDateMarksTheHeadMovesTheDueDateAndTakesTheRatesOfTheNewYear) {
    const int id = newInvoice(QDate(2006, 12, 15));
    Table& head = dm->TabRechKopf();
    head.edit();
    head[QStringLiteral("R_ZahlBedNettoTage")] = 14;
    head[QStringLiteral("R_Buchung")] = InvoiceBookedBit;
    head.post();
    addInvoiceLine(1, 100.0);
    ASSERT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Mwst")).toDouble(), 16.0);

    ChangeInvoiceDate(head, dm->TabRechSatz(), QDate(2007, 1, 2));
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_DatumDruck")).toDate(), QDate(2007, 1, 2));
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_FaelligDatum")).toDate(), QDate(2007, 1, 16));
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Buchung")).toInt(),
              InvoiceBookedBit | InvoiceDateChangedBit);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Jahr")).toInt(), 2007);
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Monat")).toInt(), 1);
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Mwst")).toDouble(), 19.0);
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Brutto")).toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(dm->TabRechSatz()[QStringLiteral("S_Mwst")].asFloat(), 19.0);

    // A second change keeps the marks as they are: a bit, not a sum.
    ChangeInvoiceDate(head, dm->TabRechSatz(), QDate(2006, 12, 20));
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Buchung")).toInt(),
              InvoiceBookedBit | InvoiceDateChangedBit);
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Mwst")).toDouble(), 16.0);
}

TEST_F(InvoiceEditingTest, ADateChangeThatFailsChangesNothing) {
    const int id = newInvoice(QDate(2006, 12, 15));
    addInvoiceLine(1, 100.0);
    {
        doctest::LockedElsewhere locked(kLines);
        try {
            ChangeInvoiceDate(dm->TabRechKopf(), dm->TabRechSatz(), QDate(2007, 1, 2));
            FAIL() << "the locked lines must stop the change";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Das Rechnungsdatum konnte nicht geändert werden.\r")));
        }
    }
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_DatumDruck")).toDate(), QDate(2006, 12, 15));
    EXPECT_EQ(headValue(kHeads, id, QStringLiteral("R_Buchung")).toInt(), 0);
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Mwst")).toDouble(), 16.0);
    EXPECT_FALSE(dm->TabRechKopf().isEditing());
    EXPECT_EQ(dm->TabRechKopf()[QStringLiteral("R_DatumDruck")].asDate(), QDate(2006, 12, 15));
}

TEST_F(InvoiceEditingTest, CopyingAnOrderTakesOpenQuantitiesDefaultAccountsAndSums) {
    addOrder();
    const int id = newInvoice();
    addInvoiceLine(1, 5.0, 1, 77); // has its own account
    EXPECT_EQ(CopyIntoInvoice(TDocSource::Auftrag, QStringLiteral("A-1"), dm->TabRechKopf(),
                              dm->TabRechSatz()),
              2);
    const auto lines = invoiceLines(id);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].erloesKonto, 77);
    EXPECT_DOUBLE_EQ(lines[1].menge, 6); // 10 ordered, 4 delivered
    EXPECT_EQ(lines[1].quelle, 2);
    EXPECT_EQ(lines[1].erloesKonto, 41); // a free line: the first cost type of section 1
    EXPECT_EQ(lines[2].posArt, 3);       // the text line comes, the others stay
    EXPECT_EQ(lines[2].refId, 13);
    // 5 + 6 x 10 at 16 %.
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Netto")).toDouble(), 65.0);
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Brutto")).toDouble(), 75.4);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("Auftsatz.DB"), 11), 10);
    EXPECT_FALSE(dm->TabRechSatz().isEditing());
    EXPECT_FALSE(dm->IsRecalcSuspended());
}

TEST_F(InvoiceEditingTest, CopiedDeliveryNotesAreMarkedOffersAndArchivedNotesAreNot) {
    addDeliveryNote();
    addSourceHead(QStringLiteral("Angkopf.DB"), 701, QStringLiteral("AN-1"), 500);
    addSourceLine(QStringLiteral("AngSatz.DB"), 701, {31, 1000000, 0, 2});
    // The archive holds a note of the same number with other lines.
    addSourceHead(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("L-1"), 500,
                  QStringLiteral("AblageDB"));
    addSourceLine(QStringLiteral("LSsatz.DB"), 801, {41, 1000000, 0, 4},
                  QStringLiteral("AblageDB"));

    const int id = newInvoice();
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    EXPECT_EQ(CopyIntoInvoice(TDocSource::Angebot, QStringLiteral("AN-1"), head, lines), 1);
    EXPECT_EQ(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_Buchung")).toInt(), 0);

    EXPECT_EQ(CopyIntoInvoice(ArchiveSource(TDocSource::Lieferschein), QStringLiteral("L-1"), head,
                              lines),
              1);
    EXPECT_DOUBLE_EQ(invoiceLines(id).back().menge, 4); // the archive's line
    EXPECT_TRUE(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_RechNr"))
                    .toString()
                    .isEmpty());

    EXPECT_EQ(CopyIntoInvoice(TDocSource::Lieferschein, QStringLiteral("L-1"), head, lines), 2);
    EXPECT_EQ(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_Buchung")).toInt(), id);
    EXPECT_EQ(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_RechNr")).toString(),
              QStringLiteral("*000001"));
    EXPECT_EQ(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_BuchDat")).toDate(),
              QDate(2006, 12, 15));
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), 21), 10);
    EXPECT_EQ(invoiceLines(id).size(), 4u);

    EXPECT_EQ(CopyIntoInvoice(TDocSource::Lieferschein, QStringLiteral("L-9"), head, lines), -1);
    // Billed in full: nothing is left to copy, and nothing changes.
    EXPECT_EQ(CopyIntoInvoice(TDocSource::Auftrag, QStringLiteral("A-9"), head, lines), -1);
}

TEST_F(InvoiceEditingTest, ACopyThatFailsLeavesNoLinesNoBookingAndNoMark) {
    addDeliveryNote();
    const int id = newInvoice();
    {
        // The note's head is held at another workstation: the mark, the
        // last step, fails after both lines were posted and booked.
        datatest::HeldElsewhere held(QStringLiteral("LSkopf.DB"), QStringLiteral("R_ID"), 801);
        try {
            CopyIntoInvoice(TDocSource::Lieferschein, QStringLiteral("L-1"), dm->TabRechKopf(),
                            dm->TabRechSatz());
            FAIL() << "the held head must stop the copy";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Die Positionen konnten nicht übernommen werden.\r")));
        }
    }
    EXPECT_TRUE(invoiceLines(id).empty());
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), 21), 0);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), 22), 0);
    EXPECT_EQ(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_Buchung")).toInt(), 0);
    EXPECT_DOUBLE_EQ(headValue(kHeads, id, QStringLiteral("R_Netto")).toDouble(), 0.0);
    EXPECT_TRUE(dm->TabRechSatz().isEmpty());
    EXPECT_FALSE(dm->TabRechSatz().isEditing());

    // Mid-way: the second line's booking cannot write the note's lines.
    addSourceLine(QStringLiteral("LSsatz.DB"), 801, {23, 3000000, 3, 0});
    {
        doctest::LockedElsewhere locked(QStringLiteral("LSsatz.DB"));
        EXPECT_THROW(CopyIntoInvoice(TDocSource::Lieferschein, QStringLiteral("L-1"),
                                     dm->TabRechKopf(), dm->TabRechSatz()),
                     DbError);
    }
    EXPECT_TRUE(invoiceLines(id).empty());
    EXPECT_EQ(headValue(QStringLiteral("LSkopf.DB"), 801, QStringLiteral("R_Buchung")).toInt(), 0);
}

TEST_F(InvoiceEditingTest, ARenumberingThatFailsKeepsEveryOldNumber) {
    const int id = newInvoice();
    for (int i = 0; i < 3; ++i)
        addInvoiceLine(1, 1.0);
    Table& lines = dm->TabRechSatz();
    lines.first();
    // The third line is held elsewhere: the renumbering cannot write it.
    lines.last();
    const int heldId = lines[QStringLiteral("S_ID")].asInteger();
    lines.first();
    {
        datatest::HeldElsewhere held(kLines, QStringLiteral("S_ID"), heldId);
        EXPECT_THROW(RenumberPositions(0, 5, lines), DbError);
    }
    std::vector<int> numbers;
    for (const auto& l : invoiceLines(id))
        numbers.push_back(l.posNr);
    EXPECT_EQ(numbers, (std::vector<int>{1000000, 2000000, 3000000}));
    EXPECT_FALSE(lines.isEditing());

    RenumberPositions(0, 5, lines);
    numbers.clear();
    for (const auto& l : invoiceLines(id))
        numbers.push_back(l.posNr);
    EXPECT_EQ(numbers, (std::vector<int>{5000000, 6000000, 7000000}));
}

TEST_F(InvoiceEditingTest, ANewDocumentWithoutLinesIsDeletedAtTheEndOneWithALineStays) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    lines.open();
    head.open();
    AppendManualInvoiceHead(head, 0, QDate(2024, 1, 2));
    const int empty = head[QStringLiteral("R_ID")].asInteger();
    EXPECT_TRUE(FinishDocumentEditing(head, lines, true));
    EXPECT_EQ(rows(kHeads, QStringLiteral("R_ID"), empty), 0);

    AppendManualInvoiceHead(head, 0, QDate(2024, 1, 2));
    const int kept = head[QStringLiteral("R_ID")].asInteger();
    lines.append();
    lines[QStringLiteral("S_Menge")] = 2.0; // still pending: the end posts it
    EXPECT_FALSE(FinishDocumentEditing(head, lines, true));
    EXPECT_EQ(rows(kLines, QStringLiteral("S_Ref"), kept), 1);
    EXPECT_TRUE(headValue(kHeads, kept, QStringLiteral("R_Nr"))
                    .toString()
                    .contains(QRegularExpression(QStringLiteral("^\\*\\d{6}$"))));

    // An existing document without lines is never deleted.
    head.edit();
    head[QStringLiteral("R_Beschreibung")] = QStringLiteral("offen");
    lines.first();
    lines.deleteRecord();
    EXPECT_FALSE(FinishDocumentEditing(head, lines, false));
    EXPECT_EQ(headValue(kHeads, kept, QStringLiteral("R_Beschreibung")).toString(),
              QStringLiteral("offen"));
}

} // namespace

namespace {

TEST_F(InvoiceEditingTest, TheEndStillDeletesAnEmptyNewDocumentWhenItsPendingLineFails) {
    Table& head = dm->TabRechKopf();
    Table& lines = dm->TabRechSatz();
    lines.open();
    head.open();
    AppendManualInvoiceHead(head, 0, QDate(2024, 1, 2));
    const int id = head[QStringLiteral("R_ID")].asInteger();
    lines.append();
    {
        doctest::LockedElsewhere locked(kLines);
        EXPECT_THROW(FinishDocumentEditing(head, lines, true), DbError);
    }
    EXPECT_EQ(rows(kHeads, QStringLiteral("R_ID"), id), 0);
    EXPECT_FALSE(lines.isEditing());
}

} // namespace
