#include "clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/locatefromadress.h"
#include "platform/table/table.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class LocateFromAdressTest : public datatest::ClientDbFixture {
protected:
    void TearDown() override {
        dm.reset();
        ClientDbFixture::TearDown();
    }
    int current(table::Table& t, const QString& field) { return t.field(field).asIntegerOr(0); }
    std::unique_ptr<TDataModule1> dm;
};

TEST_F(LocateFromAdressTest, FollowsTheLinkOfTheCurrentAddress) {
    for (int nr : {1001, 1002, 1003})
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, nr - 1000}, {u"K_Nr"_s, nr}});
    for (int nr : {7, 8})
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, nr}, {u"P_Nr"_s, nr}});
    addRow(u"Adress.DB"_s, {{u"A_Nr"_s, 1}, {u"A_KundenNr"_s, 1002}, {u"A_PersonalNr"_s, 8}});
    addRow(u"Adress.DB"_s, {{u"A_Nr"_s, 2}}); // no links
    addRow(u"Adress.DB"_s, {{u"A_Nr"_s, 3}, {u"A_KundenNr"_s, 4711}});
    dm = std::make_unique<TDataModule1>();
    dm->DataModuleCreate();
    table::Table& adress = dm->TabAdress();
    table::Table& kunden = dm->TabKunden();
    table::Table& personal = dm->TabPersonal();
    if (!adress.isOpen())
        dm->OpenDataTable(adress);
    if (!personal.isOpen())
        dm->OpenDataTable(personal);
    ASSERT_TRUE(adress.isOpen() && kunden.isOpen() && personal.isOpen());

    ASSERT_TRUE(adress.locate({u"A_Nr"_s}, {1}));
    kunden.first();
    personal.first();
    LocateFromAdress('X'); // no such kind
    EXPECT_EQ(current(kunden, u"K_Nr"_s), 1001);
    LocateFromAdress('K');
    EXPECT_EQ(current(kunden, u"K_Nr"_s), 1002);
    EXPECT_EQ(current(personal, u"P_Nr"_s), 7) << "only the named kind moves";
    LocateFromAdress('P');
    EXPECT_EQ(current(personal, u"P_Nr"_s), 8);

    // Without a link (0) or with a link to a missing record nothing moves.
    for (int address : {2, 3}) {
        ASSERT_TRUE(adress.locate({u"A_Nr"_s}, {address}));
        LocateFromAdress('K');
        EXPECT_EQ(current(kunden, u"K_Nr"_s), 1002) << address;
    }
}

} // namespace
