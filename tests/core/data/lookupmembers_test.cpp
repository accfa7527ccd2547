#include "core/data/datamodule.h"
#include "core/data/lookups.h"
#include "moduledbfixture.h"
#include "platform/table/table.h"

namespace {

class LookupMembers : public datatest::ModuleDbFixture {};

// Cost centres are stored as floating numbers and read as whole numbers.
TEST_F(LookupMembers, CustomerCostCentresAndPaymentMethod) {
    addRow(QStringLiteral("Kunden.DB"), {{QStringLiteral("K_ID"), 1},
                                         {QStringLiteral("K_Nr"), 500},
                                         {QStringLiteral("K_KostenStelle1"), 4711.0},
                                         {QStringLiteral("K_Kostenstelle2"), 12.0},
                                         {QStringLiteral("K_Zahlart"), 3}});
    addRow(QStringLiteral("Kunden.DB"),
           {{QStringLiteral("K_ID"), 2}, {QStringLiteral("K_Nr"), 501}});
    createModule();
    const struct {
        int nr;
        int centre1, centre2, method;
    } cases[] = {{500, 4711, 12, 3}, {501, 0, 0, 0}, {999, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nr);
        int centre1 = -1, centre2 = -1, method = -1;
        GetKundeKostenstellen(c.nr, centre1, centre2, method);
        EXPECT_EQ(centre1, c.centre1);
        EXPECT_EQ(centre2, c.centre2);
        EXPECT_EQ(method, c.method);
    }
}

TEST_F(LookupMembers, ADocumentGroupIsReadWithoutMovingTheGroupList) {
    addRow(QStringLiteral("DVgroups.DB"), {{QStringLiteral("DG_ID"), 901},
                                           {QStringLiteral("DG_Type"), 1},
                                           {QStringLiteral("DG_Name"), QStringLiteral("Erste")}});
    addRow(QStringLiteral("DVgroups.DB"),
           {{QStringLiteral("DG_ID"), 902},
            {QStringLiteral("DG_Type"), 2},
            {QStringLiteral("DG_Name"), QStringLiteral("Verträge")},
            {QStringLiteral("DG_Mask"), QStringLiteral("*.pdf")},
            {QStringLiteral("DG_Prefix"), QStringLiteral("File://")},
            {QStringLiteral("DG_Suffix"), QStringLiteral(".pdf")},
            {QStringLiteral("DG_Defpath"), QStringLiteral("C:\\Akten")}});
    createModule();
    table::Table& groups = dm->TabDvGroups();
    if (!groups.isOpen())
        groups.open();
    ASSERT_TRUE(groups.locate({QStringLiteral("DG_ID")}, {901}));
    DvGroup group;
    ASSERT_TRUE(GetDvGroup(902, group));
    EXPECT_EQ(group.kind, 2);
    EXPECT_EQ(group.name, QStringLiteral("Verträge"));
    EXPECT_EQ(group.mask, QStringLiteral("*.pdf"));
    EXPECT_EQ(group.prefix, QStringLiteral("File://"));
    EXPECT_EQ(group.suffix, QStringLiteral(".pdf"));
    EXPECT_EQ(group.defaultPath, QStringLiteral("C:\\Akten"));
    EXPECT_EQ(groups.field(QStringLiteral("DG_ID")).asInteger(), 901) << "back on its record";

    EXPECT_FALSE(GetDvGroup(999, group));
    EXPECT_EQ(group.kind, 0);
    EXPECT_TRUE(group.name.isEmpty() && group.prefix.isEmpty() && group.defaultPath.isEmpty());
    EXPECT_EQ(groups.field(QStringLiteral("DG_ID")).asInteger(), 901);
}

TEST_F(LookupMembers, AnExternalServiceCostTypeOpensItsTableForTheCall) {
    addRow(QStringLiteral("FremdLst.db"),
           {{QStringLiteral("S_ID"), 7}, {QStringLiteral("S_KostArt"), 31}});
    addRow(QStringLiteral("FremdLst.db"), {{QStringLiteral("S_ID"), 8}});
    createModule();
    table::Table& services = dm->TabFremdLeist();
    if (services.isOpen())
        services.close();
    EXPECT_EQ(GetFremdLeistKostart(7), 31);
    EXPECT_EQ(GetFremdLeistKostart(8), 0);
    EXPECT_EQ(GetFremdLeistKostart(99), 0);
    EXPECT_FALSE(services.isOpen());
    services.open();
    EXPECT_EQ(GetFremdLeistKostart(7), 31);
    EXPECT_TRUE(services.isOpen()) << "an open table stays open";
}

TEST_F(LookupMembers, TheLongUnitTextIsTheUnitsLongName) {
    addRow(QStringLiteral("MgEinh.db"), {{QStringLiteral("VE_ID"), 903},
                                         {QStringLiteral("VE_Kurz"), QStringLiteral("Stk")},
                                         {QStringLiteral("VE_Lang"), QStringLiteral("Stück")}});
    createModule();
    if (!dm->TabVE().isOpen())
        dm->TabVE().open();
    EXPECT_EQ(GetVeLangText(903), QStringLiteral("Stück"));
    EXPECT_EQ(GetVeLangText(999), QString());
}

} // namespace
