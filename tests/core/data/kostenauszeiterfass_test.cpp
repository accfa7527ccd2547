#include "clientdbfixture.h"
#include "core/data/datamodule.h"
#include "core/data/kostenauszeiterfass.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

using datatest::ClientDbFixture;

class KostenSwitch : public ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_saved = KostenAusZeiterfassOn;
    }
    void TearDown() override {
        KostenAusZeiterfassOn = m_saved;
        ClientDbFixture::TearDown();
    }
    bool m_saved = false;
};

TEST_F(KostenSwitch, TheCompanySwitchIsReadAndKeptNullMeaningOn) {
    auto firmen = open(u"Firmen.DB"_s);
    ASSERT_FALSE(firmen->isEmpty());
    const struct {
        QVariant stored;
        bool expected;
    } cases[] = {{false, false}, {true, true}, {QVariant(), true}, {false, false}};
    for (const auto& c : cases) {
        firmen->edit();
        firmen->field(u"F_KostenausZeiterfass"_s).setValue(c.stored);
        firmen->post();
        KostenAusZeiterfassOn = !c.expected;
        EXPECT_EQ(GetKostenAusZeiterfass(*firmen), c.expected) << c.stored.toString().toStdString();
        EXPECT_EQ(KostenAusZeiterfassOn, c.expected);
    }
}

TEST_F(KostenSwitch, TheDataModulesCompanyRecordIsRead) {
    {
        auto firmen = open(u"Firmen.DB"_s);
        firmen->edit();
        firmen->field(u"F_KostenausZeiterfass"_s).setValue(false);
        firmen->post();
    }
    TDataModule1 dm;
    dm.DataModuleCreate();
    KostenAusZeiterfassOn = true;
    EXPECT_FALSE(GetKostenAusZeiterfass());
    EXPECT_FALSE(KostenAusZeiterfassOn);
}

TEST_F(KostenSwitch, WithoutACompanyRecordTheSwitchIsOn) {
    auto firmen = open(u"Firmen.DB"_s);
    while (!firmen->isEmpty())
        firmen->deleteRecord();
    KostenAusZeiterfassOn = false;
    EXPECT_TRUE(GetKostenAusZeiterfass(*firmen));
    EXPECT_TRUE(KostenAusZeiterfassOn);
}

} // namespace
