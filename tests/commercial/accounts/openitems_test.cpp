#include "commercial/accounts/opdisplay.h"
#include "commercial/accounts/openitems.h"
#include "commercial/accounts/paymentlist.h"
#include "commercial/invoicerunfixture.h"
#include "core/data/openitemrules.h"
#include "core/regionalguard.h"

namespace {

using namespace invoiceruntest;

class OpenItems : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        dm->TabOposten().open();
    }
    void TearDown() override {
        SetOpostenFilter(*dm, 0, 0, 0, 0, 0, 0, {});
        dm->TabOposten().close();
        InvoiceRun::TearDown();
    }
    struct Item {
        int id;
        QString nr;
        double brutto;
        int objekt = 500;
        int kunde = 100;
        QDate datum = QDate(2026, 3, 10);
        double paid = 0;
        bool settled = false;
    };
    void addItem(const Item& i) {
        QList<std::pair<QString, QVariant>> v{{QStringLiteral("R_ID"), i.id},
                                              {QStringLiteral("R_Nr"), i.nr},
                                              {QStringLiteral("R_ObjektNr"), i.objekt},
                                              {QStringLiteral("R_KundenNr"), i.kunde},
                                              {QStringLiteral("R_Brutto"), i.brutto},
                                              {QStringLiteral("R_Netto"), i.brutto / 1.19},
                                              {QStringLiteral("O_ZahlSumme"), i.paid},
                                              {QStringLiteral("O_OffenSumme"), i.brutto - i.paid},
                                              {QStringLiteral("O_Erledigt"), i.settled}};
        if (i.datum.isValid())
            v.append({QStringLiteral("R_DatumDruck"), i.datum});
        addRow(QStringLiteral("OpKopf.DB"), v);
    }
    void addPayment(int id, const QString& nr, double betrag, const QDate& datum = {2026, 3, 20}) {
        QList<std::pair<QString, QVariant>> v{{QStringLiteral("OZ_ID"), id},
                                              {QStringLiteral("OZ_RgNo"), nr},
                                              {QStringLiteral("OZ_Betrag"), betrag}};
        if (datum.isValid())
            v.append({QStringLiteral("OZ_Datum"), datum});
        addRow(QStringLiteral("OPZahl.db"), v);
    }
    table::Table& item(int id) {
        table::Table& t = dm->TabOposten();
        t.refresh();
        EXPECT_TRUE(t.locate({QStringLiteral("R_ID")}, {id}));
        return t;
    }
    QVariant stored(int id, const char* field) {
        return valueOf(QStringLiteral("OpKopf.DB"), QStringLiteral("R_ID"), id, field);
    }
};

TEST_F(OpenItems, PaymentsSetPaidOpenAndSettledWhichNoRemovalClears) {
    const struct {
        const char* name;
        QList<double> payments;
        double paid;
        double open;
    } cases[] = {{"paid off", {119.0}, 119.0, 0.0},
                 {"half a cent rounds up", {118.995}, 119.0, 0.0},
                 {"overpaid", {100.0, 20.0}, 120.0, -1.0}};
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ++id;
        const QString nr = QStringLiteral("RE-%1").arg(id);
        addItem({.id = id, .nr = nr, .brutto = 119.0});
        for (double p : c.payments)
            addPayment(id * 10 + int(c.payments.indexOf(p)), nr, p);
        RecalcOpItem(item(id), true);
        EXPECT_DOUBLE_EQ(stored(id, "O_ZahlSumme").toDouble(), c.paid);
        EXPECT_DOUBLE_EQ(stored(id, "O_OffenSumme").toDouble(), c.open);
        EXPECT_TRUE(stored(id, "O_Erledigt").toBool());
    }
    DeleteRecordsFiltered(datatest::kDb, QStringLiteral("OPZahl.db"),
                          QStringLiteral("OZ_RgNo='RE-1'"));
    RecalcOpItem(item(1), true);
    EXPECT_DOUBLE_EQ(stored(1, "O_OffenSumme").toDouble(), 119.0);
    EXPECT_TRUE(stored(1, "O_Erledigt").toBool()) << "settled stays settled";
    addItem({.id = 9, .nr = QStringLiteral("RE-9"), .brutto = 119.0});
    addPayment(90, QStringLiteral("RE-9"), 118.98);
    RecalcOpItem(item(9), true);
    EXPECT_DOUBLE_EQ(stored(9, "O_OffenSumme").toDouble(), 0.02);
    EXPECT_FALSE(stored(9, "O_Erledigt").toBool());
}

TEST_F(OpenItems, BalancesPerObjectCustomerAndTotalAndTheCustomersOpenAmount) {
    RegionalGuard german;
    addItem({.id = 1, .nr = QStringLiteral("A"), .brutto = 119.0, .paid = 19.0});
    addItem({.id = 2, .nr = QStringLiteral("B"), .brutto = 50.0, .objekt = 600});
    addItem({.id = 3,
             .nr = QStringLiteral("C"),
             .brutto = 10.1,
             .objekt = 600,
             .kunde = 200,
             .paid = 20.0});
    const TOpSalden s = RecalcOpItem(item(1), false);
    EXPECT_DOUBLE_EQ(s.Objekt, -100.0);
    EXPECT_DOUBLE_EQ(s.Kunde, -150.0);
    EXPECT_DOUBLE_EQ(s.Gesamt, -140.1);
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 150.0);
    EXPECT_DOUBLE_EQ(stored(1, "O_ZahlSumme").toDouble(), 19.0) << "no update: payments unread";
    EXPECT_EQ(OpSaldoText(s.Gesamt), QStringLiteral("        -140,10 €"));
    EXPECT_EQ(OpSaldoText(s.Gesamt).size(), 17);
}

TEST_F(OpenItems, TheItemAndTheCustomerAreWrittenTogether) {
    addItem({.id = 1, .nr = QStringLiteral("A"), .brutto = 119.0});
    addPayment(1, QStringLiteral("A"), 119.0);
    {
        datatest::HeldElsewhere held(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"), 100);
        EXPECT_THROW(RecalcOpItem(item(1), true), DbError);
    }
    EXPECT_DOUBLE_EQ(stored(1, "O_ZahlSumme").toDouble(), 0.0);
    EXPECT_FALSE(stored(1, "O_Erledigt").toBool());
    EXPECT_FALSE(dm->TabOposten().isEditing());
}

TEST_F(OpenItems, RecalculatingGoesOverTheItemsTheFilterShows) {
    addItem({.id = 1, .nr = QStringLiteral("A"), .brutto = 119.0});
    addItem({.id = 2, .nr = QStringLiteral("B"), .brutto = 50.0, .kunde = 200});
    addPayment(1, QStringLiteral("A"), 19.0);
    addPayment(2, QStringLiteral("B"), 50.0);
    item(2);
    SetOpostenFilter(*dm, 4, 0, 200, 2026, 3, 0, {});
    RecalcOpItems(*dm);
    EXPECT_DOUBLE_EQ(stored(1, "O_ZahlSumme").toDouble(), 0.0) << "outside the filter";
    EXPECT_TRUE(stored(2, "O_Erledigt").toBool());
    EXPECT_DOUBLE_EQ(customer(200, "K_Rechoffen").toDouble(), 0.0);
    EXPECT_EQ(FieldInt(dm->TabOposten(), QStringLiteral("R_ID")), 2);
    SetOpostenFilter(*dm, 0, 0, 0, 0, 0, 0, {});
    RecalcOpItems(*dm);
    EXPECT_DOUBLE_EQ(stored(1, "O_OffenSumme").toDouble(), 100.0);
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 100.0);
}

TEST_F(OpenItems, SettlingMarksEveryEarlierItemPaidWithoutPayments) {
    addItem({.id = 1, .nr = QStringLiteral("A"), .brutto = 119.0, .datum = {2026, 3, 9}});
    addItem({.id = 2, .nr = QStringLiteral("B"), .brutto = 50.0, .datum = {}});
    addItem({.id = 3, .nr = QStringLiteral("C"), .brutto = 70.0, .datum = {2026, 3, 10}});
    addItem(
        {.id = 4, .nr = QStringLiteral("D"), .brutto = 30.0, .kunde = 200, .datum = {2026, 1, 1}});
    item(3);
    presenter.answers = {false};
    EXPECT_FALSE(SettleOpItemsBefore(*dm));
    EXPECT_FALSE(stored(1, "O_Erledigt").toBool());
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral(
                  "Alle Rechnungen mit Rechnungsdatum vor \r10.03.2026 erledigt setzen?")});
    presenter.answers = {true};
    EXPECT_TRUE(SettleOpItemsBefore(*dm));
    for (int id : {1, 2, 4}) {
        EXPECT_TRUE(stored(id, "O_Erledigt").toBool()) << id;
        EXPECT_DOUBLE_EQ(stored(id, "O_OffenSumme").toDouble(), 0.0) << id;
        EXPECT_DOUBLE_EQ(stored(id, "O_ZahlSumme").toDouble(), stored(id, "R_Brutto").toDouble());
    }
    EXPECT_FALSE(stored(3, "O_Erledigt").toBool());
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 70.0);
    EXPECT_DOUBLE_EQ(customer(200, "K_Rechoffen").toDouble(), 0.0);
    EXPECT_EQ(open(QStringLiteral("OPZahl.db"))->recordCount(), 0);
}

TEST_F(OpenItems, ANewPaymentProposesTheWholeOpenAmount) {
    addItem({.id = 1, .nr = QStringLiteral("A"), .brutto = 119.0, .paid = 19.0});
    addPayment(7, QStringLiteral("X"), 1.0);
    auto payment = open(QStringLiteral("OPZahl.db"));
    payment->append();
    InitNewPayment(*payment, item(1));
    EXPECT_EQ(payment->field(QStringLiteral("OZ_ID")).asInteger(), 8);
    EXPECT_EQ(payment->field(QStringLiteral("OZ_Datum")).asDate(), QDate::currentDate());
    EXPECT_DOUBLE_EQ(payment->field(QStringLiteral("OZ_Betrag")).asFloat(), 100.0);
    EXPECT_EQ(payment->field(QStringLiteral("OZ_Comment")).asStringOr({}), QString());
    payment->cancel();
}

TEST(OpDisplay, OverdueClassesByDaysPastTheDueDate) {
    const QDate today(2026, 6, 30);
    const struct {
        QVariant due;
        TOpOverdue expected;
    } cases[] = {{QDate(2026, 7, 1), TOpOverdue::NotDue}, {today, TOpOverdue::NotDue},
                 {today.addDays(-1), TOpOverdue::Orange}, {today.addDays(-13), TOpOverdue::Orange},
                 {today.addDays(-14), TOpOverdue::Pink},  {today.addDays(-27), TOpOverdue::Pink},
                 {today.addDays(-28), TOpOverdue::Red},   {QVariant(), TOpOverdue::Red}};
    for (const auto& c : cases)
        EXPECT_EQ(OpOverdueClass(c.due, today), c.expected) << c.due.toString().toStdString();
    EXPECT_EQ(OpOverdueColor(TOpOverdue::Pink), QColor(255, 119, 170));
    EXPECT_FALSE(OpOverdueColor(TOpOverdue::NotDue).isValid());
}

TEST(OpDisplay, FilterCaptionsAndTheProposedArchiveLimit) {
    EXPECT_EQ(OpFilterCaption(0, 5, 6, 3, 2026, {}), QStringLiteral("[Alle]"));
    EXPECT_EQ(OpFilterCaption(1, 5, 6, 3, 2026, {}), QStringLiteral("[Offene]"));
    EXPECT_EQ(OpFilterCaption(2, 5, 6, 3, 2026, {}), QStringLiteral("[Erledigte]"));
    EXPECT_EQ(OpFilterCaption(3, 500, 6, 3, 2026, {}), QStringLiteral("[Objekt 500]"));
    EXPECT_EQ(OpFilterCaption(4, 5, 100, 3, 2026, {}), QStringLiteral("[Kunde 100]"));
    EXPECT_EQ(OpFilterCaption(5, 5, 6, 3, 2026, {}), QStringLiteral("[Monat 3/2026]"));
    EXPECT_EQ(OpFilterCaption(99, 5, 6, 3, 2026, QStringLiteral("MEIER")),
              QStringLiteral("[Suche: MEIER]"));
    EXPECT_EQ(ProposedArchiveLimit({2026, 12, 15}, {2020, 1, 1}), QDate(2026, 10, 31));
    EXPECT_EQ(ProposedArchiveLimit({2027, 1, 1}, {}), QDate(2026, 11, 30));
    EXPECT_EQ(ProposedArchiveLimit({2026, 3, 31}, {2026, 2, 3}), QDate(2026, 2, 3));
}

TEST_F(OpenItems, ThePaymentListSumsEachNumbersPaymentsInThePeriod) {
    RegionalGuard german;
    auto objekt = open(QStringLiteral("Objekte.DB"));
    ASSERT_TRUE(objekt->locate({QStringLiteral("O_Nr")}, {500}));
    objekt->edit();
    objekt->field(QStringLiteral("O_Match")).setValue(QStringLiteral("Wohnanlage Am Lindenpark"));
    objekt->post();
    refreshAll();
    addItem({.id = 1, .nr = QStringLiteral("RE-00001"), .brutto = 1190.0, .settled = true});
    addItem({.id = 2,
             .nr = QStringLiteral("RE-00002"),
             .brutto = 59.5,
             .kunde = 200,
             .datum = {2026, 2, 27}});
    addPayment(1, QStringLiteral("RE-00001"), 1000.0, {2026, 3, 12});
    addPayment(2, QStringLiteral("RE-00001"), 190.004, {2026, 3, 25});
    addPayment(3, QStringLiteral("RE-00001"), 5.0, {2026, 4, 1}); // after the period
    addPayment(4, QStringLiteral("RE-00002"), 20.0, {});          // no date: inside
    addPayment(5, QStringLiteral("RE-00009"), 7.5, {2026, 3, 1}); // no such item shown
    item(2);
    SetOpostenFilter(*dm, 0, 0, 0, 0, 0, 0, {});
    const QStringList lines =
        PaymentListLines(dm->TabOposten(), QDate(2026, 3, 1), QDate(2026, 3, 31));
    const QString pad(10, QLatin1Char(' '));
    const QStringList golden{"Zahlungseingänge vom 01.03.2026 bis 31.03.2026",
                             "",
                             "Rechnungs-Nr   ObjNr Objektbezeichnung      Rg-Datum  Zahldatum      "
                             " Brutto        Netto      Zahlung St",
                             QString(105, u'-'),
                             "RE-00001         500 Wohnanlage Am Linden 10.03.2026 25.03.2026   "
                             "1.190,00 €   1.000,00 €   1.190,00 €  E",
                             "RE-00002         500 Wohnanlage Am Linden 27.02.2026                 "
                             "59,50 €      50,00 €      20,00 €  O",
                             "RE-00009                                                             "
                             "                           7,50 €   ",
                             QString(105, u'-'),
                             "Summen                                                            "
                             "1.249,50 €   1.050,00 €   1.217,50 €",
                             QString(105, u'-')};
    ASSERT_EQ(lines.size(), golden.size());
    for (int i = 0; i < golden.size(); ++i)
        EXPECT_EQ(lines[i].toStdString(), QString(pad + golden[i]).toStdString()) << i;
    EXPECT_EQ(lines[4].size(), 115);
}

} // namespace
