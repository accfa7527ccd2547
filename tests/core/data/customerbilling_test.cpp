#include "core/data/customerbilling.h"
#include "recordrulesfixture.h"

#include <QDate>

namespace {

// The data module gives the client database its workstation session, so
// that a record held at another workstation is refused.
class CustomerBilling : public datatest::RecordRules {
protected:
    void addCustomerWith(int nr, const QList<std::pair<QString, QVariant>>& more = {}) {
        QList<std::pair<QString, QVariant>> values{{QStringLiteral("K_ID"), nr},
                                                   {QStringLiteral("K_Nr"), nr}};
        values.append(more);
        addRow(QStringLiteral("Kunden.DB"), values);
    }
    QVariant customer(int nr, const char* field) {
        auto t = open(QStringLiteral("Kunden.DB"));
        EXPECT_TRUE(t->locate({QStringLiteral("K_Nr")}, {nr}));
        return t->field(QString::fromLatin1(field)).value();
    }
    // The month turnover of the customer; NaN when the row is missing.
    double month(int kunde, int year, int month) {
        auto t = open(QStringLiteral("KUmsatz.DB"));
        if (!t->locate(
                {QStringLiteral("U_Kunde"), QStringLiteral("U_Jahr"), QStringLiteral("U_Monat")},
                {kunde, year, month}))
            return std::nan("");
        return t->field(QStringLiteral("U_Betrag")).asFloatOr(0);
    }
    int turnoverRows() { return open(QStringLiteral("KUmsatz.DB"))->recordCount(); }
};

TEST_F(CustomerBilling, BookingAddsRoundedGrossAndBooksTheNetIntoTheMonth) {
    addCustomerWith(100, {{QStringLiteral("K_UmsGesamt"), 10.0}});
    BookKundenUmsatz(100, 119.004, 100.0, QDate(2026, 3, 15));
    BookKundenUmsatz(100, -11.9, -10.0, QDate(2026, 3, 20));
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsGesamt").toDouble(), 117.1);
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 107.1);
    EXPECT_DOUBLE_EQ(customer(100, "K_UmsLetzt").toDouble(), -11.9);
    EXPECT_EQ(customer(100, "K_UmsLetztDat").toDate(), QDate(2026, 3, 20));
    EXPECT_DOUBLE_EQ(month(100, 2026, 3), 90.0);
}

TEST_F(CustomerBilling, CustomerZeroBooksNothingAndAnUnknownOneOnlyTheMonth) {
    BookKundenUmsatz(0, 50, 40, QDate(2026, 1, 5));
    EXPECT_EQ(turnoverRows(), 0);
    BookKundenUmsatz(555, 50, 40, QDate(2026, 1, 5));
    EXPECT_DOUBLE_EQ(month(555, 2026, 1), 40.0);
    EXPECT_EQ(open(QStringLiteral("Kunden.DB"))->recordCount(), 0);
}

TEST_F(CustomerBilling, ACustomerHeldElsewhereStillGetsTheMonthAndTheErrorReachesTheCaller) {
    addCustomerWith(100);
    {
        datatest::HeldElsewhere held(QStringLiteral("Kunden.DB"), QStringLiteral("K_Nr"), 100);
        EXPECT_THROW(BookKundenUmsatz(100, 119, 100, QDate(2026, 4, 1)), DbError);
    }
    EXPECT_DOUBLE_EQ(month(100, 2026, 4), 100.0);
    EXPECT_TRUE(customer(100, "K_UmsGesamt").isNull());
}

TEST_F(CustomerBilling, BillingDataComesFromTheCustomerAndItsPaymentTerm) {
    addRow(QStringLiteral("Zahlbed.DB"), {{QStringLiteral("Z_ID"), 77},
                                          {QStringLiteral("Z_Text"), QStringLiteral("14 Tage 2 %")},
                                          {QStringLiteral("Z_Tage"), 14},
                                          {QStringLiteral("Z_Skonto"), 2.0},
                                          {QStringLiteral("Z_NettoTage"), 30}});
    addCustomerWith(100, {{QStringLiteral("K_Match"), QStringLiteral("MEIER")},
                          {QStringLiteral("K_Name1"), QStringLiteral("Meier GmbH")},
                          {QStringLiteral("K_Plz"), QStringLiteral("12345")},
                          {QStringLiteral("K_FibuKonto"), 10099.6},
                          {QStringLiteral("K_RechBed"), 77}});
    addCustomerWith(200, {{QStringLiteral("K_RechBed"), 0}});

    TKundeBillingData data;
    data.Skonto2 = 9;
    ASSERT_TRUE(GetKundeBillingData(100, data));
    EXPECT_EQ(data.Match, QStringLiteral("MEIER"));
    EXPECT_EQ(data.Name1, QStringLiteral("Meier GmbH"));
    EXPECT_EQ(data.Name2, QString());
    EXPECT_EQ(data.Plz, QStringLiteral("12345"));
    EXPECT_EQ(data.FibuKonto, 10100);
    EXPECT_EQ(data.PaymentTermText, QStringLiteral("14 Tage 2 %"));
    EXPECT_EQ(data.Tage, 14);
    EXPECT_DOUBLE_EQ(data.Skonto, 2.0);
    EXPECT_EQ(data.NettoTage, 30);
    EXPECT_DOUBLE_EQ(data.Skonto2, 0.0);

    TKundeBillingData kept;
    kept.PaymentTermText = QStringLiteral("bleibt");
    kept.Tage = 7;
    ASSERT_TRUE(GetKundeBillingData(200, kept));
    EXPECT_EQ(kept.PaymentTermText, QStringLiteral("bleibt"));
    EXPECT_EQ(kept.Tage, 7);

    TKundeBillingData unknown;
    unknown.Match = QStringLiteral("unverändert");
    EXPECT_FALSE(GetKundeBillingData(999, unknown));
    EXPECT_EQ(unknown.Match, QStringLiteral("unverändert"));
}

} // namespace
