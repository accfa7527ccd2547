// An upgrade that cannot carry every row and value over fails as a whole:
// the start-up keeps the old database and its version.
#include "core/files/programdirs.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "dbstructure/tableschemas.h"
#include "dbstructure/upgrade.h"
#include "upgradefixture.h"

#include <QFileInfo>

using namespace upgradetest;

namespace {

struct Fault {
    const char* name;
    OldTable table;
    QString expectedLine; // the line of the error box that names the loss
};

int kundenMatchSize() {
    const auto& def = dbstructure::TableSchemas::builtIn().get(QStringLiteral("Kunden.DB")).def;
    for (const auto& f : def.fields)
        if (f.name == QStringLiteral("K_Match"))
            return f.size;
    return 0;
}

// Smallint fields of the current structure that an older version could have
// held as Integer: a value beyond 16 bits cannot be assigned.
Fault smallintFault() {
    const auto& def = dbstructure::TableSchemas::builtIn().get(QStringLiteral("Touren.DB")).def;
    for (const auto& f : def.fields)
        if (f.type == FieldType::Smallint)
            return {"NumberOutsideTheNewRange",
                    {def.name,
                     {{def.fields[0].name, FieldType::Integer}, {f.name, FieldType::Integer}},
                     {{1, 70000}}},
                    QStringLiteral("Feld-Fehler Touren.DB[%1]").arg(f.name)};
    ADD_FAILURE() << "no Smallint field in Touren.DB";
    return {};
}

std::vector<Fault> faults() {
    const int size = kundenMatchSize();
    return {
        {"TextLongerThanTheNewField",
         {QStringLiteral("Kunden.DB"),
          {{"K_ID", FieldType::Integer},
           {"K_Nr", FieldType::Integer},
           {"K_Match", FieldType::String, size + 10}},
          {{1, 1, "kurz"}, {2, 2, QString(size + 5, u'x')}}},
         QStringLiteral("Feld-Fehler Kunden.DB[K_Match]")},
        smallintFault(),
        {"DuplicateOfANewUniqueKey",
         {QStringLiteral("Kunden.DB"),
          {{"K_ID", FieldType::Integer}, {"K_Nr", FieldType::Integer}},
          {{1, 7}, {2, 7}}},
         QStringLiteral("Fehler in Datenbank Kunden.DB")},
    };
}

class UpgradeFailureTest : public UpgradeFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        UpgradeFixture::SetUp();
        m_savedMandant = MandantNr;
        MandantNr = 1;
        BuildMandantDirs(1);
        m_previousUpgrader = SetDatabaseUpgrader({});
        dbstructure::InstallDatabaseUpgrader();
    }
    void TearDown() override {
        SetDatabaseUpgrader(m_previousUpgrader);
        MandantNr = m_savedMandant;
        UpgradeFixture::TearDown();
    }

private:
    DatabaseUpgrader m_previousUpgrader;
    int m_savedMandant = 0;
};

TEST_P(UpgradeFailureTest, LossOfDataKeepsTheOldDatabaseAndItsVersion) {
    const Fault fault = faults()[size_t(GetParam())];
    SCOPED_TRACE(fault.name);
    ASSERT_EQ(dataDir, DataDir);
    {
        auto db = openDb(DataDir);
        createOldTable(*db, fault.table);
        createOldTable(*db, {QStringLiteral("Zahlart.DB"),
                             {{"ZA_ID", FieldType::Integer}, {"ZA_Text", FieldType::String, 30}},
                             {{1, "Bar"}}});
    }
    WriteDbVersion(230);
    const QByteArray before =
        frametest::ProgramDirFixture::readBytes(table::Database::fileIn(DataDir));

    EXPECT_FALSE(CheckDatabaseVersion());

    EXPECT_EQ(ReadDbVersion(), 230);
    EXPECT_EQ(frametest::ProgramDirFixture::readBytes(table::Database::fileIn(DataDir)), before);
    const QStringList errors = presenter.texts(MessagePresenter::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].split(u'\r').contains(fault.expectedLine)) << errors[0].toStdString();
    EXPECT_TRUE(logText().contains(QStringLiteral("DBMM: Fehler Copydata, ") + fault.table.name))
        << logText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + QStringLiteral("Data0001.230")));
}

INSTANTIATE_TEST_SUITE_P(Faults, UpgradeFailureTest, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(faults()[size_t(info.param)].name);
                         });

TEST_F(UpgradeFailureTest, SuccessReplacesTheDirectoryAndWritesTheVersion) {
    {
        auto db = openDb(DataDir);
        createOldTable(*db, {QStringLiteral("Kunden.DB"),
                             {{"K_ID", FieldType::Integer}, {"K_Nr", FieldType::Integer}},
                             {{1, 7}, {2, 8}}});
    }
    WriteDbVersion(230);

    ASSERT_TRUE(CheckDatabaseVersion());

    EXPECT_EQ(ReadDbVersion(), 240);
    auto db = openDb(DataDir);
    EXPECT_EQ(
        db->tableDef(QStringLiteral("Kunden.DB")).fields.size(),
        dbstructure::TableSchemas::builtIn().get(QStringLiteral("Kunden.DB")).def.fields.size());
    EXPECT_EQ(readRows(*db, QStringLiteral("Kunden.DB")).size(), 2);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

} // namespace
