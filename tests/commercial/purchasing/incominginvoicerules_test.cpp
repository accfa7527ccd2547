#include "commercial/documentrulesfixture.h"
#include "commercial/purchasing/incominginvoicerules.h"
#include "core/files/programdirs.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/session.h"

using table::Table;

namespace {

using Kind = MessagePresenter::Kind;

class IncomingInvoiceRules : public doctest::DocumentRules {
protected:
    void SetUp() override {
        DocumentRules::SetUp();
        newHead(head(), lines());
    }
    Table& head() { return dm->TabERKopf(); }
    Table& lines() { return dm->TabERSatz(); }
};

TEST_F(IncomingInvoiceRules, NewLineStartsWithTheDefaultVatAndNothingBooked) {
    lines().append();
    EXPECT_GT(lines().field(QStringLiteral("S_ID")).asInteger(), 0);
    EXPECT_EQ(lines().field(QStringLiteral("S_MwstKz")).asInteger(), 1);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Mwst"), 19.0);
    EXPECT_DOUBLE_EQ(num(lines(), "S_MwstBetrag"), 0.0);
    EXPECT_EQ(lines().field(QStringLiteral("S_OldMwstKz")).asInteger(), 1);
    EXPECT_EQ(lines().field(QStringLiteral("S_Origin")).asInteger(), 9);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Menge"), 1.0);
    lines().cancel();
}

TEST_F(IncomingInvoiceRules, TypedNetAmountGivesUnitPriceAndVat) {
    lines().append();
    lines().field(QStringLiteral("S_Menge")).setValue(3);
    lines().field(QStringLiteral("S_Netto")).setValue(30);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 10.0);
    EXPECT_DOUBLE_EQ(num(lines(), "S_MwstBetrag"), 5.7);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Brutto"), 35.7);
    lines().field(QStringLiteral("S_Menge")).setValue(0);
    lines().field(QStringLiteral("S_Netto")).setValue(12);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 12.0);
    lines().cancel();
}

TEST_F(IncomingInvoiceRules, ArticleNumberFillsTheLineOrIsRefused) {
    lines().append();
    EXPECT_THROW(lines().field(QStringLiteral("S_ArtNo")).setValue(QStringLiteral("XX")), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList({"Artikelnummer nicht gefunden!"}));
    EXPECT_TRUE(lines().field(QStringLiteral("S_ArtNo")).asString().isEmpty());
    lines().field(QStringLiteral("S_ArtNo")).setValue(QStringLiteral("A7"));
    EXPECT_EQ(lines().field(QStringLiteral("S_MatID")).asInteger(), 7);
    EXPECT_EQ(lines().field(QStringLiteral("S_Kurztext")).asString(), QStringLiteral("Reiniger"));
    EXPECT_EQ(lines().field(QStringLiteral("S_Text")).asString(), QStringLiteral("Reiniger 5 l"));
    EXPECT_EQ(lines().field(QStringLiteral("S_MwstKz")).asInteger(), 2);
    lines().field(QStringLiteral("S_ArtNo")).setValue(QString());
    EXPECT_EQ(lines().field(QStringLiteral("S_MatID")).asInteger(), 0);
    EXPECT_TRUE(lines().field(QStringLiteral("S_Kurztext")).asString().isEmpty());
    // A short text is taken as the text while that is empty.
    lines().field(QStringLiteral("S_Kurztext")).setValue(QStringLiteral("Fensterreinigung"));
    EXPECT_EQ(lines().field(QStringLiteral("S_Text")).asString(),
              QStringLiteral("Fensterreinigung"));
    lines().field(QStringLiteral("S_Kurztext")).setValue(QStringLiteral("Glas"));
    EXPECT_EQ(lines().field(QStringLiteral("S_Text")).asString(),
              QStringLiteral("Fensterreinigung"));
    lines().cancel();
}

TEST_F(IncomingInvoiceRules, HeadAmountsFollowGrossAndVatParts) {
    head().edit();
    head().field(QStringLiteral("R_Mwst")).setValue(19);
    head().field(QStringLiteral("R_Brutto")).setValue(119);
    EXPECT_DOUBLE_EQ(num(head(), "R_Netto"), 100.0);
    head().field(QStringLiteral("R_Mwst1")).setValue(12.5);
    head().field(QStringLiteral("R_Mwst2")).setValue(1.4);
    EXPECT_DOUBLE_EQ(num(head(), "R_Mwst"), 13.9);
    EXPECT_DOUBLE_EQ(num(head(), "R_Netto"), 105.1);
    head().post();
}

TEST_F(IncomingInvoiceRules, HeadDeleteTakesItsLinesAlong) {
    lines().append();
    lines().field(QStringLiteral("S_Netto")).setValue(10);
    lines().post();
    const int id = head().field(QStringLiteral("R_ID")).asInteger();
    ASSERT_EQ(rows(QStringLiteral("ERsatz.db"), QStringLiteral("S_Ref"), id), 1);
    head().deleteRecord();
    EXPECT_EQ(rows(QStringLiteral("ERsatz.db"), QStringLiteral("S_Ref"), id), 0);
    EXPECT_EQ(rows(QStringLiteral("ERkopf.DB"), QStringLiteral("R_ID"), id), 0);
}

TEST_F(IncomingInvoiceRules, RecordCountIsShownAfterScroll) {
    int shown = 0;
    DocumentFormHooksRegistry().ShowERRecordCount = [&shown] { ++shown; };
    head().first();
    EXPECT_GT(shown, 0);
}

} // namespace

namespace {

TEST_F(IncomingInvoiceRules, FailedWriteTakesBackTheCostEntryAndTheRetryBooksOnce) {
    lines().append();
    lines().field(QStringLiteral("S_Netto")).setValue(10);
    const int before = open(QStringLiteral("Kosten.db"))->recordCount();
    {
        doctest::LockedElsewhere locked(QStringLiteral("ERsatz.db"));
        EXPECT_ANY_THROW(lines().post());
    }
    EXPECT_TRUE(lines().isEditing());
    EXPECT_EQ(open(QStringLiteral("Kosten.db"))->recordCount(), before);
    EXPECT_EQ(lines().field(QStringLiteral("S_KostID")).asInteger(), 0);
    EXPECT_DOUBLE_EQ(num(lines(), "S_OldNetto"), 0.0);
    lines().post();
    EXPECT_EQ(open(QStringLiteral("Kosten.db"))->recordCount(), before + 1);
    const int kostId = lines().field(QStringLiteral("S_KostID")).asInteger();
    EXPECT_GT(kostId, 0);
    EXPECT_EQ(valueOf(QStringLiteral("ERsatz.db"), QStringLiteral("S_ID"),
                      lines().field(QStringLiteral("S_ID")).asInteger(), QStringLiteral("S_KostID"))
                  .toInt(),
              kostId);
}

} // namespace
