#include "clientdbfixture.h"
#include "core/data/temptablename.h"
#include "core/files/programdirs.h"
#include "platform/table/database.h"

#include <QFile>

namespace {

using TempTableNameTest = datatest::ClientDbFixture;

TEST_F(TempTableNameTest, StepsPastNamesTakenByFilesAndByTables) {
    EXPECT_EQ(GetTempTableName(QStringLiteral(".db")), QStringLiteral("Tmppr000"));
    for (const char* name : {"Tmppr000.db", "Tmppr001.db"}) {
        QFile file(DataDir + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(GetTempTableName(QStringLiteral(".db")), QStringLiteral("Tmppr002"));
    // Only a file of the asked extension blocks a number.
    EXPECT_EQ(GetTempTableName(QStringLiteral(".txt")), QStringLiteral("Tmppr000"));

    table::TableDef def;
    def.name = QStringLiteral("Tmppr002");
    def.fields = {{"T_Nr", table::FieldType::Integer, 0}};
    table::aliases::database(QStringLiteral("LumoDB"))->createTable(def);
    EXPECT_EQ(GetTempTableName(QStringLiteral(".db")), QStringLiteral("Tmppr003"));
    EXPECT_EQ(GetTempTableName(QStringLiteral(".txt")), QStringLiteral("Tmppr000"));
}

} // namespace
