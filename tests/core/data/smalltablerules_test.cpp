#include "core/files/deleteguard.h"
#include "platform/errors.h"
#include "recordrulesfixture.h"

#include <QDate>

namespace {

using datatest::AllowDelete;
using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

class SmallTableRules : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_previousChecker = SetRightsChecker(&rights);
    }
    void TearDown() override {
        SetRightsChecker(m_previousChecker);
        RecordRules::TearDown();
    }
    AllowDelete rights;

private:
    RightsChecker* m_previousChecker = nullptr;
};

TEST_F(SmallTableRules, NewRecordsGetTheNextKeyAndTheirDefaults) {
    table::aliases::database(kDb)->emptyTable(QStringLiteral("IvDefH.DB"));
    addRow(QStringLiteral("IvDefH.DB"),
           {{QStringLiteral("I_ID"), 1}, {QStringLiteral("I_DefNo"), 1}});
    addRow(QStringLiteral("IvDefH.DB"),
           {{QStringLiteral("I_ID"), 2}, {QStringLiteral("I_DefNo"), 3}});
    const int groupKey = GetNextId(kDb, QStringLiteral("DVgroups.DB"), QStringLiteral("DG_ID"));
    const int protoKey = GetNextId(kDb, QStringLiteral("AdrProto.DB"), QStringLiteral("AP_ID"));
    struct Case {
        const char* table;
        const char* keyField;
        int key;
        QList<std::pair<const char*, QVariant>> defaults;
    } cases[] = {
        {"TabDvGroups",
         "DG_ID",
         groupKey,
         {{"DG_Prefix", QStringLiteral("File://")}, {"DG_Type", 0}, {"DG_Name", QString()}}},
        {"TabDefYearH", "I_ID", 3, {{"I_DefNo", 2}}},
        {"TabSchluessel",
         "S_ID",
         1,
         {{"S_Nr", 0}, {"S_PersNo", 0}, {"S_Gegeben", QDate::currentDate()}}},
        {"TabProto", "AP_ID", protoKey, {{"AP_Date", QDate::currentDate()}, {"AP_Art", 0}}},
        {"TabKdDV", "OD_ID", 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        table::Table& t = shared(QString::fromLatin1(c.table));
        t.append();
        EXPECT_EQ(t.field(QString::fromLatin1(c.keyField)).asInteger(), c.key);
        for (const auto& [field, value] : c.defaults)
            EXPECT_EQ(t.field(QString::fromLatin1(field)).value(), value) << field;
        t.cancel();
    }
}

TEST_F(SmallTableRules, DeletingAnAddressPassesTheGuardAndTakesItsContacts) {
    struct Case {
        const char* name;
        bool right;
        QList<bool> answers;
        bool deleted;
    } cases[] = {
        {"no right", false, {}, false},
        {"no", true, {false}, false},
        {"yes", true, {true}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto db = table::aliases::database(kDb);
        db->emptyTable(QStringLiteral("Adress.DB"));
        db->emptyTable(QStringLiteral("Aansp.DB"));
        for (int id : {1, 2})
            addRow(QStringLiteral("Adress.DB"),
                   {{QStringLiteral("A_ID"), id}, {QStringLiteral("A_Nr"), id}});
        for (int id : {1, 2, 3})
            addRow(QStringLiteral("Aansp.DB"),
                   {{QStringLiteral("AA_ID"), id}, {QStringLiteral("AA_RefID"), id == 3 ? 2 : 1}});
        rights.allowed = c.right;
        rights.asked.clear();
        presenter.answers = c.answers;
        table::Table& t = shared(QStringLiteral("TabAdress"));
        ASSERT_TRUE(t.locate({QStringLiteral("A_ID")}, {1}));
        if (c.deleted)
            t.deleteRecord();
        else
            EXPECT_THROW(t.deleteRecord(), Abort);
        EXPECT_EQ(rights.asked, QList<int>{62});
        EXPECT_EQ(column(QStringLiteral("Adress.DB"), QStringLiteral("A_ID")),
                  c.deleted ? QList<int>{2} : (QList<int>{1, 2}));
        EXPECT_EQ(column(QStringLiteral("Aansp.DB"), QStringLiteral("AA_RefID")),
                  c.deleted ? QList<int>{2} : (QList<int>{1, 1, 2}));
    }
}

TEST_F(SmallTableRules, ANewAddressIsStampedAndAClashingNumberIsShownAndAborted) {
    addRow(QStringLiteral("Adress.DB"), {{QStringLiteral("A_ID"), 1}, {QStringLiteral("A_Nr"), 1}});
    table::Table& t = shared(QStringLiteral("TabAdress"));
    t.append();
    EXPECT_EQ(t.field(QStringLiteral("A_ID")).asInteger(), 2);
    EXPECT_EQ(t.field(QStringLiteral("A_Nr")).asInteger(), 2);
    t.post();
    EXPECT_EQ(t.field(QStringLiteral("A_LastUser")).asString(), QStringLiteral("Tester"));
    EXPECT_FALSE(t.field(QStringLiteral("A_LastAccess")).isNull());
}

TEST_F(SmallTableRules, StaffAndServicesRefuseAMissingNumberWithAnErrorBox) {
    for (const char* name : {"TabPersonal", "TabNotdienst"}) {
        SCOPED_TRACE(name);
        presenter.boxes.clear();
        table::Table& t = shared(QString::fromLatin1(name));
        t.append();
        const QString numberField = QString::fromLatin1(name) == QStringLiteral("TabPersonal")
                                        ? QStringLiteral("P_Nr")
                                        : QStringLiteral("ND_Nr");
        EXPECT_EQ(t.field(numberField).asInteger(), 1) << "proposal";
        t.field(numberField).setValue(0);
        EXPECT_THROW(t.post(), Abort);
        EXPECT_EQ(presenter.texts(Kind::Error), QStringList{NumberTakenText()});
        EXPECT_EQ(t.state(), table::TableState::Insert);
        t.cancel();
    }
}

TEST_F(SmallTableRules, DeletingStaffClearsTheirToursAfterTheQuestion) {
    addRow(QStringLiteral("Personal.DB"),
           {{QStringLiteral("P_ID"), 1}, {QStringLiteral("P_Nr"), 7}});
    addRow(QStringLiteral("Touren.DB"), {{QStringLiteral("TO_ID"), 1},
                                         {QStringLiteral("TO_Nr"), 1},
                                         {QStringLiteral("TO_Person"), 7}});
    addRow(QStringLiteral("PersDV.DB"),
           {{QStringLiteral("OD_ID"), 1}, {QStringLiteral("OD_PersID"), 1}});
    presenter.answers = {true};
    table::Table& t = shared(QStringLiteral("TabPersonal"));
    t.first();
    t.deleteRecord();
    EXPECT_EQ(presenter.texts(Kind::Question), QStringList{DeleteQuestionText()});
    EXPECT_TRUE(column(QStringLiteral("Personal.DB"), QStringLiteral("P_ID")).isEmpty());
    EXPECT_EQ(column(QStringLiteral("Touren.DB"), QStringLiteral("TO_Person")), QList<int>{0});
    EXPECT_TRUE(column(QStringLiteral("PersDV.DB"), QStringLiteral("OD_ID")).isEmpty());
}

} // namespace
