#include "commercial/documentrulesfixture.h"
#include "commercial/documents/linecopies.h"
#include "platform/errors.h"

using table::Table;

namespace {

const QString kId = QStringLiteral("S_ID");

// Source lines are written straight into their files (no rules); target
// lines go through the data module's line objects, whose rules book them.
class LineCopies : public doctest::DocumentRules {
protected:
    struct Src {
        int id;
        int posNr;
        int posArt;
        double menge;
        double geliefert;
        int posTyp = 0;
        int matId = 7;
        int quelle = 0;
    };
    void addSource(const QString& file, int ref, const Src& s,
                   const QString& alias = datatest::kDb) {
        QList<std::pair<QString, QVariant>> values{
            {kId, s.id},
            {QStringLiteral("S_Ref"), ref},
            {QStringLiteral("S_PosNr"), s.posNr},
            {QStringLiteral("S_PosArt"), s.posArt},
            {QStringLiteral("S_PosTyp"), s.posTyp},
            {QStringLiteral("S_Menge"), s.menge},
            {QStringLiteral("S_EPreis"), 2.5},
            {QStringLiteral("S_MwstKz"), 1},
            {QStringLiteral("S_MatID"), s.matId},
            {QStringLiteral("S_Kurztext"), QStringLiteral("Zeile %1").arg(s.id)}};
        auto t = open(file, alias);
        if (t->findField(QStringLiteral("S_MengeGeliefert")))
            values.append({QStringLiteral("S_MengeGeliefert"), s.geliefert});
        if (t->findField(QStringLiteral("S_Quelle")))
            values.append({QStringLiteral("S_Quelle"), s.quelle});
        t.reset();
        addRow(file, values, alias);
    }
    // The target's lines in position order: (S_PosNr, S_Menge, S_Quelle, S_RefID).
    struct Copied {
        int posNr;
        double menge;
        int quelle;
        int refId;
        QString kurztext;
    };
    std::vector<Copied> linesOf(const QString& file, int headId) {
        auto t = open(file);
        t->setIndexName(QStringLiteral("S_IRef"));
        t->setRange({headId}, {headId});
        std::vector<Copied> result;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            result.push_back(
                {FieldInt(*t, QStringLiteral("S_PosNr")), FieldFloat(*t, QStringLiteral("S_Menge")),
                 FieldInt(*t, QStringLiteral("S_Quelle")), FieldInt(*t, QStringLiteral("S_RefID")),
                 FieldText(*t, QStringLiteral("S_Kurztext"))});
        return result;
    }
    double geliefert(const QString& file, int id) {
        return valueOf(file, kId, id, QStringLiteral("S_MengeGeliefert")).toDouble();
    }
    // An order 901 with a part-delivered article line, a delivered one, a text
    // line and an alternative and an on-demand line.
    void addOrder() {
        const QString f = QStringLiteral("Auftsatz.DB");
        addSource(f, 901, {11, 1000000, 0, 10, 4});
        addSource(f, 901, {12, 2000000, 0, 5, 5});
        addSource(f, 901, {13, 3000000, 3, 0, 0, 4, 0});
        addSource(f, 901, {14, 4000000, 1, 2, 0});
        addSource(f, 901, {15, 5000000, 2, 2, 0});
        addSource(f, 902, {16, 1000000, 0, 9, 0}); // another order
    }
};

TEST_F(LineCopies, InvoiceTakesTheOpenQuantityOfOrderLinesAfterItsLastGroup) {
    addOrder();
    Table& lines = dm->TabRechSatz();
    const int headId = newHead(dm->TabRechKopf(), lines);
    lines.append();
    lines[QStringLiteral("S_PosNr")] = 3020000; // 3.02
    lines.post();

    const TLineCopyResult r = CopyDocumentPositions(TLineCopyTarget::Rechnung, TDocSource::Auftrag,
                                                    901, headId, QStringLiteral("A-1"), lines);
    EXPECT_EQ(r.Copied, 2);
    EXPECT_TRUE(r.Error.isEmpty());
    const auto copied = linesOf(QStringLiteral("Rechsatz.db"), headId);
    ASSERT_EQ(copied.size(), 3u);
    EXPECT_EQ(copied[1].posNr, 4000000);
    EXPECT_DOUBLE_EQ(copied[1].menge, 6); // 10 ordered, 4 delivered
    EXPECT_EQ(copied[1].quelle, 2);
    EXPECT_EQ(copied[1].refId, 11);
    EXPECT_EQ(copied[2].posNr, 6000000); // the text line always comes
    EXPECT_EQ(copied[2].refId, 13);
    EXPECT_EQ(valueOf(QStringLiteral("Rechsatz.db"), kId, lines[kId].asInteger(),
                      QStringLiteral("S_QuellNr"))
                  .toString(),
              QStringLiteral("A-1"));
    // Posting booked the copied quantity once: out of stock, onto the order line.
    EXPECT_DOUBLE_EQ(stock(), 4);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("Auftsatz.DB"), 11), 10);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("Auftsatz.DB"), 12), 5);
    EXPECT_FALSE(dm->IsRecalcSuspended());
    EXPECT_FALSE(lines.isEditing());
}

TEST_F(LineCopies, QuantitiesAndSourceCodesPerTarget) {
    // Delivery note 901 (line 21: 8 units, 3 of them billed) and invoice 901 (line 31: 5 units).
    addSource(QStringLiteral("LSsatz.DB"), 901, {21, 1000000, 0, 8, 3, 4, 0});
    addSource(QStringLiteral("Rechsatz.db"), 901, {31, 1000000, 0, 5, 0, 4, 0});
    addOrder();
    struct Case {
        TLineCopyTarget target;
        TDocSource source;
        int sourceId;
        double menge;
        int quelle;
    };
    const Case cases[] = {
        {TLineCopyTarget::Gutschrift, TDocSource::Lieferschein, 901, 5, 4},
        {TLineCopyTarget::Rechnung, TDocSource::Lieferschein, 901, 5, 4}, // bills the 5
        {TLineCopyTarget::Gutschrift, TDocSource::Rechnung, 901, 5, 3},
        {TLineCopyTarget::Lieferschein, TDocSource::Rechnung, 901, 5, 3},
        {TLineCopyTarget::Lieferschein, TDocSource::Auftrag, 902, 9, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.target));
        Table& lines = c.target == TLineCopyTarget::Rechnung     ? dm->TabRechSatz()
                       : c.target == TLineCopyTarget::Gutschrift ? dm->TabGsSatz()
                                                                 : dm->TabLSSatz();
        Table& head = c.target == TLineCopyTarget::Rechnung     ? dm->TabRechKopf()
                      : c.target == TLineCopyTarget::Gutschrift ? dm->TabGsKopf()
                                                                : dm->TabLSKopf();
        const int headId = newHead(head, lines);
        const TLineCopyResult r = CopyDocumentPositions(c.target, c.source, c.sourceId, headId,
                                                        QStringLiteral("X"), lines);
        ASSERT_EQ(r.Copied, 1) << r.Error.toStdString();
        const auto copied = linesOf(lines.tableName(), headId);
        EXPECT_DOUBLE_EQ(copied[0].menge, c.menge);
        EXPECT_EQ(copied[0].quelle, c.quelle);
        EXPECT_EQ(copied[0].posNr, 1000000);
        if (c.target == TLineCopyTarget::Rechnung) { // the note line is billed in full now
            EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), 21), 8);
        }
        if (c.target == TLineCopyTarget::Lieferschein) { // a new note has billed nothing
            EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), lines[kId].asInteger()), 0);
        }
    }
}

TEST_F(LineCopies, TemplatesOffersAndOrdersTakeEveryLineAsItStands) {
    addOrder();
    addSource(QStringLiteral("AngSatz.DB"), 901, {41, 1000000, 1, 3, 0});
    {
        auto t = open(QStringLiteral("AngSatz.DB"));
        ASSERT_TRUE(t->locate({kId}, {41}));
        t->edit();
        t->field(QStringLiteral("S_Intervall")).setValue(5);
        t->post();
    }
    // The template editor's line object gives no key of its own.
    Table& tpl = dm->TabRgvSatz();
    tpl.open();
    TLineCopyResult r = CopyDocumentPositions(
        TLineCopyTarget::Rechnungsvorlage, TDocSource::Auftrag, 901, 9, QStringLiteral("A-1"), tpl);
    EXPECT_EQ(r.Copied, 5);
    const auto copied = linesOf(QStringLiteral("Rgvsatz.db"), 9);
    ASSERT_EQ(copied.size(), 5u);
    EXPECT_DOUBLE_EQ(copied[0].menge, 10);
    EXPECT_DOUBLE_EQ(copied[1].menge, 5);
    EXPECT_EQ(valueOf(QStringLiteral("Rgvsatz.db"), QStringLiteral("S_Ref"), 9,
                      QStringLiteral("S_Rechmode"))
                  .toInt(),
              0);

    Table& order = dm->TabAuftSatz();
    const int orderId = newHead(dm->TabAuftKopf(), order);
    r = CopyDocumentPositions(TLineCopyTarget::Auftrag, TDocSource::Angebot, 901, orderId,
                              QStringLiteral("AN-1"), order);
    ASSERT_EQ(r.Copied, 1);
    EXPECT_EQ(order[QStringLiteral("S_AusfInterv")].asInteger(), 5);
    EXPECT_DOUBLE_EQ(num(order, "S_MengeGeliefert"), 0);
    EXPECT_DOUBLE_EQ(num(order, "S_Menge"), 3);
}

TEST_F(LineCopies, ArchivedSourcesAreReadFromTheArchiveAndBookNoWorkingLine) {
    // An archived delivery-note line that came from an order line, and a
    // working order line that happens to carry the same key.
    addSource(QStringLiteral("LSsatz.DB"), 901, {50, 1000000, 0, 3, 3, 4, 0, 2},
              QStringLiteral("AblageDB"));
    addSource(QStringLiteral("Auftsatz.DB"), 1, {50, 1000000, 0, 10, 0});
    Table& lines = dm->TabRechSatz();
    const int headId = newHead(dm->TabRechKopf(), lines);
    const TLineCopyResult r =
        CopyDocumentPositions(TLineCopyTarget::Rechnung, ArchiveSource(TDocSource::Lieferschein),
                              901, headId, QStringLiteral("L-1"), lines);
    ASSERT_EQ(r.Copied, 1);
    const auto copied = linesOf(QStringLiteral("Rechsatz.db"), headId);
    EXPECT_DOUBLE_EQ(copied[0].menge, 3); // archived notes: the full quantity
    EXPECT_EQ(copied[0].quelle, 3);
    EXPECT_EQ(copied[0].refId, 50);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("Auftsatz.DB"), 50), 0);
}

TEST_F(LineCopies, CopiedExternalServiceMarksNoOtherServiceBilled) {
    addRow(QStringLiteral("Fremdlst.db"),
           {{kId, 31}, {QStringLiteral("S_Gebucht"), 0}, {QStringLiteral("S_Netto"), 50.0}});
    addSource(QStringLiteral("Rechsatz.db"), 901, {31, 1000000, 0, 1, 0, 2, 0, 5});
    for (const bool toNote : {false, true}) {
        Table& lines = toNote ? dm->TabLSSatz() : dm->TabRechSatz();
        const int headId = newHead(toNote ? dm->TabLSKopf() : dm->TabRechKopf(), lines);
        const TLineCopyResult r = CopyDocumentPositions(
            toNote ? TLineCopyTarget::Lieferschein : TLineCopyTarget::Rechnung,
            TDocSource::Rechnung, 901, headId, QStringLiteral("R-1"), lines);
        ASSERT_EQ(r.Copied, 1);
        EXPECT_EQ(linesOf(lines.tableName(), headId)[0].refId, 0);
        EXPECT_EQ(
            valueOf(QStringLiteral("Fremdlst.db"), kId, 31, QStringLiteral("S_Gebucht")).toInt(),
            0);
    }
}

TEST_F(LineCopies, AFailingCopyIsCancelledAndEndsTheCopy) {
    addOrder();
    Table& lines = dm->TabRechSatz();
    const int headId = newHead(dm->TabRechKopf(), lines);
    lines.field(QStringLiteral("S_Kurztext")).onValidate += [](table::Field& f) {
        if (f.asString() == QStringLiteral("Zeile 13"))
            throw DbError(QStringLiteral("Text abgelehnt"));
    };
    const TLineCopyResult r = CopyDocumentPositions(TLineCopyTarget::Rechnung, TDocSource::Auftrag,
                                                    901, headId, QStringLiteral("A-1"), lines);
    EXPECT_EQ(r.Copied, 1);
    EXPECT_EQ(r.Error, QStringLiteral("Text abgelehnt"));
    EXPECT_FALSE(lines.isEditing());
    // A later line of the user's posts nothing half-filled with it.
    addLine(lines, 1, 1);
    EXPECT_EQ(linesOf(QStringLiteral("Rechsatz.db"), headId).size(), 2u);
}

TEST_F(LineCopies, CopyDocumentLinesKeepsNumbersAndTheSourcePosition) {
    addOrder();
    auto source = open(QStringLiteral("Auftsatz.DB"));
    source->setIndexName(QStringLiteral("S_IRef"));
    source->setRange({901}, {901});
    source->locate({kId}, {13});
    auto target = open(QStringLiteral("Rechsatz.db"));
    target->onNewRecord += [](Table& t) { t[kId] = GetNextId(t, kId); };
    CopyDocumentLines(*source, *target, 77);
    const auto copied = linesOf(QStringLiteral("Rechsatz.db"), 77);
    ASSERT_EQ(copied.size(), 5u);
    EXPECT_EQ(copied[3].posNr, 4000000);
    EXPECT_DOUBLE_EQ(copied[0].menge, 10);
    EXPECT_EQ((*source)[kId].asInteger(), 13);
}

// "Satz einfügen" books a pasted line like a typed one: its post takes its
// stock once, its delete gives back exactly that, and no source is billed twice.
TEST_F(LineCopies, PastedLinesBookLikeTypedOnes) {
    // A delivery note of 5 units (stock 10 -> 5) of which an invoice bills 2.
    Table& note = dm->TabLSSatz();
    newHead(dm->TabLSKopf(), note);
    note.append();
    note[QStringLiteral("S_PosTyp")] = 0;
    note[QStringLiteral("S_MatID")] = 7;
    note[QStringLiteral("S_Menge")] = 5;
    note.post();
    const int noteLine = note[kId].asInteger();
    Table& invoice = dm->TabRechSatz();
    newHead(dm->TabRechKopf(), invoice);
    invoice.append();
    invoice[QStringLiteral("S_PosTyp")] = 0;
    invoice[QStringLiteral("S_MatID")] = 7;
    invoice[QStringLiteral("S_Quelle")] = 4;
    invoice[QStringLiteral("S_RefID")] = noteLine;
    invoice[QStringLiteral("S_Menge")] = 2;
    invoice.post();
    const int invoiceLine = invoice[kId].asInteger();
    ASSERT_DOUBLE_EQ(stock(), 5);
    ASSERT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), noteLine), 2);

    // Invoice: the copy is a manual line that takes its goods from stock.
    ASSERT_TRUE(PasteDocumentLine(invoice, invoiceLine));
    EXPECT_EQ(invoice[QStringLiteral("S_Quelle")].asInteger(), 0);
    EXPECT_EQ(invoice[QStringLiteral("S_QuellNr")].asString(), QStringLiteral("manuell"));
    EXPECT_EQ(invoice[QStringLiteral("S_PosNr")].asInteger(), 2000000);
    EXPECT_EQ(invoice[QStringLiteral("S_Kurztext")].asString(),
              valueOf(QStringLiteral("Rechsatz.db"), kId, invoiceLine, QStringLiteral("S_Kurztext"))
                  .toString());
    EXPECT_DOUBLE_EQ(stock(), 3);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), noteLine), 2);
    invoice.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 5);
    EXPECT_DOUBLE_EQ(geliefert(QStringLiteral("LSsatz.DB"), noteLine), 2);

    // Delivery note: the copy has billed nothing and delivers its own goods.
    note.locate({kId}, {noteLine});
    ASSERT_TRUE(PasteDocumentLine(note, noteLine));
    EXPECT_DOUBLE_EQ(num(note, "S_MengeGeliefert"), 0);
    EXPECT_DOUBLE_EQ(stock(), 0);
    note.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 5);

    // Credit note: back into stock on post, out again on delete.
    Table& credit = dm->TabGsSatz();
    newHead(dm->TabGsKopf(), credit);
    credit.append();
    credit[QStringLiteral("S_PosTyp")] = 0;
    credit[QStringLiteral("S_MatID")] = 7;
    credit[QStringLiteral("S_Menge")] = 1;
    credit.post();
    ASSERT_DOUBLE_EQ(stock(), 6);
    ASSERT_TRUE(PasteDocumentLine(credit, credit[kId].asInteger()));
    EXPECT_DOUBLE_EQ(stock(), 7);
    credit.deleteRecord();
    EXPECT_DOUBLE_EQ(stock(), 6);
}

TEST_F(LineCopies, PastedOrderLineIsUndelivered) {
    Table& order = dm->TabAuftSatz();
    const int headId = newHead(dm->TabAuftKopf(), order);
    addSource(QStringLiteral("Auftsatz.DB"), headId, {60, 1000000, 0, 10, 4});
    order.refresh();
    ASSERT_TRUE(PasteDocumentLine(order, 60));
    EXPECT_DOUBLE_EQ(num(order, "S_MengeGeliefert"), 0);
    EXPECT_DOUBLE_EQ(num(order, "S_Menge"), 10);
    EXPECT_EQ(order[QStringLiteral("S_PosNr")].asInteger(), 2000000);
    EXPECT_TRUE(dm->IsTimerWorkEnabled());
}

TEST_F(LineCopies, PastingALineThatIsGoneDoesNothing) {
    Table& lines = dm->TabRechSatz();
    const int headId = newHead(dm->TabRechKopf(), lines);
    const int id = addLine(lines, 1, 1);
    lines.deleteRecord();
    EXPECT_FALSE(PasteDocumentLine(lines, id));
    EXPECT_FALSE(PasteDocumentLine(lines, 0));
    EXPECT_TRUE(linesOf(QStringLiteral("Rechsatz.db"), headId).empty());
}

} // namespace
