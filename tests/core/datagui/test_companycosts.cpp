#include "core/data/clientdbfixture.h"
#include "core/data/companycosts.h"
#include "platform/table/table.h"

namespace {

// The company record of a new client's database, with the given costs set.
class CompanyCostsTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        firmen = open(QStringLiteral("Firmen.DB"));
        if (firmen->isEmpty())
            firmen->append();
        else
            firmen->edit();
        for (const auto& f : firmen->definition().fields)
            if (f.name.startsWith(QStringLiteral("F_")) && f.type == table::FieldType::Currency)
                firmen->field(f.name).clear();
        firmen->post();
    }

    void set(const QList<std::pair<const char*, double>>& values) {
        firmen->edit();
        for (const auto& [name, value] : values)
            (*firmen)[QString::fromLatin1(name)] = value;
        firmen->post();
    }

    // As stored, read through a cursor of its own.
    double stored(const char* name) {
        auto t = open(QStringLiteral("Firmen.DB"));
        t->first();
        return t->field(QString::fromLatin1(name)).asFloat();
    }

    std::unique_ptr<table::Table> firmen;
};

TEST_F(CompanyCostsTest, EachSumAddsItsGroupAndRenewsTheTotal) {
    set({{"F_JahresLohn", 30000},
         {"F_VWL", 400},
         {"F_Sozialleistungen", 600},
         {"F_ZVK", 100},
         {"F_Sozialabgaben", 6000},
         {"F_Freileistungen", 50.25},
         {"F_Miete", 12000},
         {"F_SonstigeKosten", 0.5},
         {"F_Werbung", 1000}});
    CalkLohnkosten(*firmen);
    EXPECT_DOUBLE_EQ(stored("F_Lohnkosten"), 31000);
    EXPECT_DOUBLE_EQ(stored("F_GesamtKosten"), 31000);
    CalcLohnnebenkosten(*firmen);
    EXPECT_DOUBLE_EQ(stored("F_LNebenkosten"), 6150.25);
    EXPECT_DOUBLE_EQ(stored("F_GesamtKosten"), 37150.25);
    CalcGemeinkosten(*firmen);
    EXPECT_DOUBLE_EQ(stored("F_Gemeinkosten"), 13000.5);
    EXPECT_DOUBLE_EQ(stored("F_GesamtKosten"), 50150.75);
    EXPECT_EQ(firmen->state(), table::TableState::Browse);
}

TEST_F(CompanyCostsTest, RentAloneGivesTheOverheadAndEveryNotWageBoundFieldCounts) {
    set({{"F_Miete", 12000}, {"F_Lohnkosten", 100}, {"F_LNebenkosten", 10}});
    CalcGemeinkosten(*firmen);
    EXPECT_DOUBLE_EQ(stored("F_Gemeinkosten"), 12000);
    EXPECT_DOUBLE_EQ(stored("F_GesamtKosten"), 12110);

    const char* overheads[] = {
        "F_Miete",         "F_GWG",          "F_Abschreibung",  "F_Versicherung",   "F_Gebuehren",
        "F_KfzKosten",     "F_Reisekosten",  "F_Fremdkosten",   "F_Steuerberatung", "F_Bewirtung",
        "F_Verbrauchsmat", "F_PortoTelefon", "F_Steuern",       "F_Zinsen",         "F_Gehaelter",
        "F_Werbung",       "F_Reparaturen",  "F_SonstigeKosten"};
    // One distinct bit per field: a field left out or counted twice shows.
    for (int i = 0; i < 18; ++i)
        set({{overheads[i], double(1 << i)}});
    CalcGemeinkosten(*firmen);
    EXPECT_DOUBLE_EQ(stored("F_Gemeinkosten"), (1 << 18) - 1);
}

TEST_F(CompanyCostsTest, CalcAllRecomputesStaleSumsAndPostsAnOpenEdit) {
    set({{"F_JahresLohn", 1000},
         {"F_ZVK", 20},
         {"F_Zinsen", 3},
         {"F_Lohnkosten", 999},
         {"F_LNebenkosten", 999},
         {"F_Gemeinkosten", 999}});
    firmen->edit();
    (*firmen)[QStringLiteral("F_StundenproJahr")] = 1600.0;
    CalcAll(*firmen);
    EXPECT_EQ(firmen->state(), table::TableState::Browse);
    EXPECT_DOUBLE_EQ(stored("F_Lohnkosten"), 1000);
    EXPECT_DOUBLE_EQ(stored("F_LNebenkosten"), 20);
    EXPECT_DOUBLE_EQ(stored("F_Gemeinkosten"), 3);
    EXPECT_DOUBLE_EQ(stored("F_GesamtKosten"), 1023);
    EXPECT_DOUBLE_EQ(stored("F_StundenproJahr"), 1600);
}

TEST_F(CompanyCostsTest, ChoosingABankInEitherListFillsBothFields) {
    auto banken = open(QStringLiteral("Banken.DB"));
    ASSERT_TRUE(banken->locate({QStringLiteral("BankBLZ")}, {QStringLiteral("10040000")}));
    CopyBankBlzToFirma(*firmen, *banken);
    CopyBankNameToFirma(*firmen, *banken);
    EXPECT_EQ(firmen->state(), table::TableState::Edit); // not posted by the choice
    firmen->post();
    auto t = open(QStringLiteral("Firmen.DB"));
    t->first();
    EXPECT_EQ(t->value(QStringLiteral("F_Blz")).toString(), QStringLiteral("10040000"));
    EXPECT_EQ(t->value(QStringLiteral("F_BankName")).toString(),
              QStringLiteral("Commerzbank Berlin"));
}

} // namespace
