#include "clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/turnover.h"
#include "core/values/packeddate.h"
#include "platform/table/table.h"

namespace {

using datatest::ClientDbFixture;

class Turnover : public ClientDbFixture {};

TEST_F(Turnover, ABookingInANewYearCreatesTwelveMonthRowsAndAddsRounded) {
    const struct {
        const char* file;
        const char* owner;
        void (*add)(int, double, double, TPackedDate);
    } kinds[] = {{"KUmsatz.DB", "U_Kunde", AddKUmsatz}, {"AUmsatz.DB", "U_ArtikelID", AddAUmsatz}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.file);
        kind.add(7, 100.004, 1.234, TPackedDate(2026, 3, 15));
        kind.add(7, 20.0, 0.5, TPackedDate(2026, 3, 1));
        kind.add(7, 0.004, 0, TPackedDate(2026, 5, 2));
        kind.add(8, 5, 0, TPackedDate(2025, 12, 31));
        auto t = open(QString::fromLatin1(kind.file));
        QMap<int, double> amounts2026, costs2026;
        int rows2025 = 0;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
            const int owner = t->field(QString::fromLatin1(kind.owner)).asInteger();
            const int year = t->field(QStringLiteral("U_Jahr")).asInteger();
            if (owner == 8 && year == 2025)
                ++rows2025;
            if (owner != 7 || year != 2026)
                continue;
            const int month = t->field(QStringLiteral("U_Monat")).asInteger();
            EXPECT_FALSE(amounts2026.contains(month)) << "month twice: " << month;
            amounts2026[month] = t->field(QStringLiteral("U_Betrag")).asFloat();
            costs2026[month] = t->field(QStringLiteral("U_Kosten")).asFloat();
        }
        EXPECT_EQ(rows2025, 12);
        ASSERT_EQ(amounts2026.size(), 12);
        EXPECT_DOUBLE_EQ(amounts2026[3], 120.0);
        EXPECT_DOUBLE_EQ(costs2026[3], 1.73);
        EXPECT_DOUBLE_EQ(amounts2026[5], 0.0);
        EXPECT_DOUBLE_EQ(amounts2026[1], 0.0);
    }
}

TEST_F(Turnover, SharedTurnoverTablesShowTheMonthName) {
    for (int month : {1, 3, 12, 0, 13})
        addRow(QStringLiteral("LUmsatz.db"), {{QStringLiteral("U_ID"), month + 1},
                                              {QStringLiteral("U_Kunde"), 5},
                                              {QStringLiteral("U_Jahr"), 2026},
                                              {QStringLiteral("U_Monat"), month}});
    addRow(QStringLiteral("KUmsatz.DB"),
           {{QStringLiteral("U_ID"), 1}, {QStringLiteral("U_Monat"), 5}});
    addRow(QStringLiteral("AUmsatz.DB"),
           {{QStringLiteral("U_ID"), 1}, {QStringLiteral("U_Monat"), 10}});
    TDataModule1 dm;
    InstallTurnoverMonthNames(dm);
    dm.DataModuleCreate();
    QMap<int, QString> names;
    table::Table& lumsatz = dm.TabLUmsatz();
    lumsatz.open();
    for (lumsatz.first(); !lumsatz.eof(); lumsatz.next())
        names[lumsatz.field(QStringLiteral("U_Monat")).asInteger()] =
            lumsatz.field(QStringLiteral("U_MonatsName")).asString();
    const QMap<int, QString> expected{{1, QStringLiteral("Januar")},
                                      {3, QStringLiteral("März")},
                                      {12, QStringLiteral("Dezember")},
                                      {0, QString()},
                                      {13, QString()}};
    EXPECT_EQ(names, expected);
    dm.TabKUmsatz().open();
    EXPECT_EQ(dm.TabKUmsatz().field(QStringLiteral("U_Monatsname")).asString(),
              QStringLiteral("Mai"));
    dm.TabAUmsatz().open();
    EXPECT_EQ(dm.TabAUmsatz().field(QStringLiteral("U_MonatsName")).asString(),
              QStringLiteral("Oktober"));
}

} // namespace
