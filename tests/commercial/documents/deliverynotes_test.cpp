#include "commercial/documents/deliverynotes.h"
#include "commercial/documents/documentlists.h"
#include "commercial/invoiceeditfixture.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kHeads = u"LSkopf.DB"_s;
const QString kLines = u"LSsatz.DB"_s;

// Delivery notes on object 500 (customer 100) with the central article 7
// (10 in stock), an order "AU-1" of that object whose article line of 10 has
// 4 delivered, and appointment 7.
class DeliveryNotes : public invoicetest::InvoiceEditing {
protected:
    void SetUp() override {
        InvoiceEditing::SetUp();
        addSourceHead(u"Auftkopf.DB"_s, 30, u"AU-1"_s, 500);
        addSourceLine(u"Auftsatz.DB"_s, 30, {31, 1000000, 0, 10, 4, 0, 7});
        addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 7}, {u"T_LsID"_s, 0}});
        for (Table* t : dm->tables())
            RefreshIfActive(*t);
    }

    // A new note of object 500 as an appointment makes it.
    int newNote(int lsTyp = 2, int creatorId = 7, bool autoInvoice = true) {
        Table& head = dm->TabLSKopf();
        if (!head.isOpen())
            head.open();
        dm->TabLSSatz().setIndexName(u"S_IRef"_s);
        TNewDeliveryNote values;
        values.objektNr = 500;
        values.autoInvoice = autoInvoice;
        values.lsTyp = lsTyp;
        values.creatorId = creatorId;
        AppendDeliveryNoteHead(head, values, QDate(2026, 5, 4));
        AssignDeliveryNoteObjekt(head, 500, 0);
        return FieldInt(head, u"R_ID"_s);
    }
    // Every article's stock together (an object's own copy included).
    double totalStock() {
        auto t = open(u"Artikel.DB"_s);
        double sum = 0;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            sum += FieldFloat(*t, u"A_Lagermenge"_s);
        return sum;
    }
    double orderDelivered() {
        return valueOf(u"Auftsatz.DB"_s, u"S_ID"_s, 31, u"S_MengeGeliefert"_s).toDouble();
    }
    int appointmentLink() { return valueOf(u"TermObj.DB"_s, u"T_ID"_s, 7, u"T_LsID"_s).toInt(); }
    void linkAppointment(int lsId) {
        auto t = open(u"TermObj.DB"_s);
        t->locate({u"T_ID"_s}, {7});
        t->edit();
        t->field(u"T_LsID"_s).setValue(lsId);
        t->post();
    }
    // A note written straight into its files with (quantity, billed) lines.
    void addNote(int id, const QList<std::pair<double, double>>& lines) {
        addRow(kHeads, {{u"R_ID"_s, id}, {u"R_Nr"_s, u"LS%1"_s.arg(id)}});
        int n = 0;
        for (const auto& [menge, billed] : lines) {
            ++n;
            addRow(kLines, {{u"S_ID"_s, id * 100 + n},
                            {u"S_Ref"_s, id},
                            {u"S_PosNr"_s, n * 1000000},
                            {u"S_Menge"_s, menge},
                            {u"S_MengeGeliefert"_s, billed}});
        }
    }
};

TEST_F(DeliveryNotes, ANewNoteIsOnePostWithTheCallersValuesAndItsObject) {
    const int id = newNote();
    EXPECT_EQ(headValue(kHeads, id, u"R_LsTyp"_s).toInt(), 2);
    EXPECT_EQ(headValue(kHeads, id, u"R_CreatorID"_s).toInt(), 7);
    EXPECT_TRUE(headValue(kHeads, id, u"R_AutoLS"_s).toBool());
    EXPECT_EQ(headValue(kHeads, id, u"R_Creator"_s).toInt(), 1);
    EXPECT_EQ(headValue(kHeads, id, u"R_ObjektNr"_s).toInt(), 500);
    EXPECT_EQ(headValue(kHeads, id, u"R_KundenNr"_s).toInt(), 100);
    EXPECT_EQ(headValue(kHeads, id, u"R_DatumDruck"_s).toDate(), QDate(2026, 5, 4));
    EXPECT_FALSE(headValue(kHeads, id, u"R_Nr"_s).toString().isEmpty());
}

TEST_F(DeliveryNotes, AnOrderLineCopiesItsOpenQuantityAndDeletingTheNoteGivesEverythingBack) {
    const double stock = totalStock();
    const int id = newNote();
    Table& head = dm->TabLSKopf();
    Table& lines = dm->TabLSSatz();
    ASSERT_EQ(CopyIntoDeliveryNote(TDocSource::Auftrag, u"AU-1"_s, head, lines), 1);
    EXPECT_DOUBLE_EQ(FieldFloat(lines, u"S_Menge"_s), 6.0);
    EXPECT_DOUBLE_EQ(FieldFloat(lines, u"S_MengeGeliefert"_s), 0.0);
    EXPECT_DOUBLE_EQ(orderDelivered(), 10.0);
    EXPECT_DOUBLE_EQ(totalStock(), stock - 6.0);
    EXPECT_GT(FieldFloat(head, u"R_Netto"_s), 0.0);
    linkAppointment(id);

    const QString question = DeliveryNoteDeletionQuestion(head);
    EXPECT_EQ(question,
              u"Lieferschein %1 :\rDieser Lieferschein soll autmatisch in Rechnung "
              u"gestellt werden!\rDer Lieferschein wurde von der Terminverwaltung "
              u"erstellt!\rMöchten Sie den Datensatz löschen?"_s.arg(FieldText(head, u"R_Nr"_s)));
    DeleteDeliveryNote(head, lines);
    EXPECT_EQ(appointmentLink(), 0);
    EXPECT_DOUBLE_EQ(orderDelivered(), 4.0);
    EXPECT_DOUBLE_EQ(totalStock(), stock);
    EXPECT_EQ(rows(kHeads, u"R_ID"_s, id), 0);
    EXPECT_EQ(rows(kLines, u"S_Ref"_s, id), 0);
}

TEST_F(DeliveryNotes, AFailureAfterTheUnlinkChangesNothing) {
    const int id = newNote();
    Table& head = dm->TabLSKopf();
    Table& lines = dm->TabLSSatz();
    ASSERT_EQ(CopyIntoDeliveryNote(TDocSource::Auftrag, u"AU-1"_s, head, lines), 1);
    const double stock = totalStock();
    linkAppointment(id);
    head.beforeDelete += [](Table&) { throw DbError(u"Platte voll"_s); };

    try {
        DeleteDeliveryNote(head, lines);
        FAIL() << "the deletion went through";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), DeliveryNoteDeleteFailedText + u"\rPlatte voll"_s);
    }
    EXPECT_EQ(appointmentLink(), id);
    EXPECT_DOUBLE_EQ(orderDelivered(), 10.0);
    EXPECT_DOUBLE_EQ(totalStock(), stock);
    EXPECT_EQ(rows(kHeads, u"R_ID"_s, id), 1);
    EXPECT_EQ(rows(kLines, u"S_Ref"_s, id), 1);
}

TEST_F(DeliveryNotes, OnlyNotesOfOtherModulesThatBillOrLinkAskTheirOwnQuestion) {
    const struct {
        int lsTyp;
        int creatorId;
        bool autoInvoice;
        QString expected; // after "Lieferschein <nr> :"; empty: no question
    } cases[] = {
        {0, 0, true, {}},
        {0, 5, false, {}},
        {1, 0, false, {}},
        {1, 0, true, u"\rDieser Lieferschein soll autmatisch in Rechnung gestellt werden!"_s},
        {1, 12, false, u"\rDer Lieferschein wurde von der Tageslisten-Rückerfassung erstellt!"_s},
        {3, 12, false, u"\rDer Lieferschein wurde von der Terminverwaltung erstellt!"_s},
    };
    for (const auto& c : cases) {
        newNote(c.lsTyp, c.creatorId, c.autoInvoice);
        Table& head = dm->TabLSKopf();
        const QString question = DeliveryNoteDeletionQuestion(head);
        if (c.expected.isEmpty())
            EXPECT_TRUE(question.isEmpty()) << c.lsTyp << " " << c.creatorId;
        else
            EXPECT_EQ(question, u"Lieferschein "_s + FieldText(head, u"R_Nr"_s) + u" :"_s +
                                    c.expected + u"\rMöchten Sie den Datensatz löschen?"_s);
    }
}

TEST_F(DeliveryNotes, ADailyListNoteUnlinksItsDailyObject) {
    addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, 12}, {u"A_LsID"_s, 0}});
    const int id = newNote(1, 12, false);
    auto daily = open(u"TglObj.DB"_s);
    daily->locate({u"A_TOID"_s}, {12});
    daily->edit();
    daily->field(u"A_LsID"_s).setValue(id);
    daily->post();
    daily.reset();
    DeleteDeliveryNote(dm->TabLSKopf(), dm->TabLSSatz());
    EXPECT_EQ(valueOf(u"TglObj.DB"_s, u"A_TOID"_s, 12, u"A_LsID"_s).toInt(), 0);
    EXPECT_EQ(rows(kHeads, u"R_ID"_s, id), 0);
}

TEST_F(DeliveryNotes, OpenQuantitiesDecideTheSelectionsAndTheArchiveCheck) {
    const struct {
        QList<std::pair<double, double>> lines;
        double openSum;
        double firstOpen;
    } cases[] = {
        {{{5, 5}, {3, 2}}, 1.0, 1.0},
        {{{5, 5}, {3, 3}}, 0.0, 0.0},
        // No line above 0.01: the last line's remainder decides.
        {{{5, 5}, {3, 2.995}}, 0.0, 0.005},
        {{{3, 2.995}, {5, 5}}, 0.0, 0.0},
        {{{2, 1}, {5, 3}}, 3.0, 1.0},
        {{}, 0.0, 0.0},
    };
    int id = 900;
    for (const auto& c : cases) {
        addNote(++id, c.lines);
        EXPECT_NEAR(OpenQuantitySum(id), c.openSum, 1e-9) << id;
        EXPECT_NEAR(FirstOpenRemainder(id), c.firstOpen, 1e-9) << id;
    }
}

TEST_F(DeliveryNotes, TheFirstPrintDatesTheNoteAReprintKeepsTheDate) {
    addNote(1, {{1, 0}});
    auto mark = [this] {
        auto t = open(kHeads);
        t->locate({u"R_ID"_s}, {1});
        t->edit();
        t->field(u"R_Selected"_s).setValue(true);
        t->field(u"R_DatumDruck"_s).setValue(QDate(2020, 1, 2));
        t->post();
    };
    Table& head = dm->TabLSKopf();
    head.open();
    int printed = 0;
    const auto print = [&](int, int) { ++printed; };
    mark();
    head.refresh();
    EXPECT_EQ(PrintMarkedDocuments(head, print, {}, u"R_DatumDruck"_s).done, 1);
    EXPECT_EQ(headValue(kHeads, 1, u"R_DatumDruck"_s).toDate(), QDate::currentDate());
    mark();
    head.refresh();
    EXPECT_EQ(PrintMarkedDocuments(head, print, {}, u"R_DatumDruck"_s).done, 1);
    EXPECT_EQ(headValue(kHeads, 1, u"R_DatumDruck"_s).toDate(), QDate(2020, 1, 2));
    EXPECT_EQ(headValue(kHeads, 1, u"R_Drucke"_s).toInt(), 2);
    EXPECT_FALSE(headValue(kHeads, 1, u"R_Selected"_s).toBool());
    EXPECT_EQ(printed, 2);
}

} // namespace
