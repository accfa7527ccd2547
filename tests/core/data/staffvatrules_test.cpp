#include "platform/errors.h"
#include "recordrulesfixture.h"

namespace {

using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

TEST_F(RecordRules, StaffPricesFollowEachOther) {
    addRow(QStringLiteral("Personal.DB"), {{QStringLiteral("P_ID"), 1},
                                           {QStringLiteral("P_Nr"), 1},
                                           {QStringLiteral("P_Gemeinkosten"), 4.0},
                                           {QStringLiteral("P_LNebenkosten"), 6.0},
                                           {QStringLiteral("P_Selbstkostenpreis"), 30.0},
                                           {QStringLiteral("P_Gewinnaufschlag"), 10.0},
                                           {QStringLiteral("P_LohnVkPreis"), 40.0}});
    const struct {
        const char* typed;
        double value;
        const char* result;
        double expected;
    } cases[] = {
        {"P_Gewinnaufschlag", 12, "P_LohnVkPreis", 42},
        {"P_LohnVkPreis", 50, "P_Gewinnaufschlag", 20},
        {"P_Selbstkostenpreis", 35, "P_LohnVkPreis", 55},
        {"P_Bruttolohn", 15, "P_Einstandspreis", 25},
    };
    table::Table& t = dm->TabPersonal();
    if (!t.isOpen())
        t.open();
    t.refresh();
    t.first();
    t.edit();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        t.field(QString::fromLatin1(c.typed)).setValue(c.value);
        EXPECT_DOUBLE_EQ(t.field(QString::fromLatin1(c.result)).asFloat(), c.expected);
    }
    t.cancel();
}

TEST_F(RecordRules, VatRatesKeepTheDeliveredRowsAndValidCodes) {
    auto db = table::aliases::database(kDb);
    db->emptyTable(QStringLiteral("Mwstsatz.db"));
    for (int id = 1; id <= 4; ++id)
        addRow(QStringLiteral("Mwstsatz.db"),
               {{QStringLiteral("Mwst_ID"), id}, {QStringLiteral("Mwst_Nr"), id % 3}});
    table::Table& t = dm->TabMwst();
    if (!t.isOpen())
        t.open();
    t.refresh();
    for (int id = 1; id <= 3; ++id) {
        ASSERT_TRUE(t.locate({QStringLiteral("Mwst_ID")}, {id}));
        try {
            t.deleteRecord();
            ADD_FAILURE() << "deleted " << id;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Dieser Mehrwertsteuereintrag kann nicht gelöscht werden!")));
        }
    }
    ASSERT_TRUE(t.locate({QStringLiteral("Mwst_ID")}, {4}));
    t.deleteRecord();
    EXPECT_EQ(column(QStringLiteral("Mwstsatz.db"), QStringLiteral("Mwst_ID")),
              (QList<int>{1, 2, 3}));

    t.append();
    EXPECT_EQ(t.field(QStringLiteral("Mwst_ID")).asInteger(), 4);
    EXPECT_EQ(t.field(QStringLiteral("Mwst_GueltigBis")).asDate(), QDate(2100, 12, 31));
    EXPECT_THROW(t.field(QStringLiteral("Mwst_Nr")).setValue(3), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .value(0)
                    .startsWith(QStringLiteral("Ungültiges Steuerkennzeichen!")));
    t.field(QStringLiteral("Mwst_Nr")).setValue(2);
    t.cancel();
}

} // namespace
