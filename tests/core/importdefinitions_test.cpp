#include "core/files/filehelpers.h"
#include "core/framefixture.h"
#include "core/importdefinitions.h"

using namespace Qt::StringLiterals;
using frametest::ProgramDirFixture;

namespace {

using SfileTest = ProgramDirFixture;

TEST_F(SfileTest, FirstSfileLineIsReadAndRewrittenAlone) {
    const QString name = root(u"Kunden.imp"_s);
    writeBytes(name, "[Kopf]\r\nSFILE=C:\\Import\\Kunden.asc\r\nFELD=K_Nr;1;6\r\n"
                     "SFILE=zweite.asc\r\nÄnderung=\xC4\r\n");
    SfileSetting setting = ReadSfileSetting(name);
    ASSERT_EQ(setting.state, SfileSetting::Found);
    // The file name follows "SFILE=".
    EXPECT_EQ(setting.current, u"C:\\Import\\Kunden.asc"_s);

    ASSERT_TRUE(WriteSfileSetting(name, setting, u"/daten/Kunden neu.asc"_s));
    EXPECT_EQ(readBytes(name),
              QByteArray("[Kopf]\r\nSFILE=/daten/Kunden neu.asc\r\nFELD=K_Nr;1;6\r\n"
                         "SFILE=zweite.asc\r\nÄnderung=\xC4\r\n"));
}

TEST_F(SfileTest, MissingEmptyOrWithoutSfileLine) {
    const struct {
        const char* name;
        const char* content; // nullptr: no file
        SfileSetting::State state;
    } cases[] = {
        {"fehlt.imp", nullptr, SfileSetting::FileMissing},
        {"leer.imp", "", SfileSetting::FileMissing},
        {"ohne.imp", "FELD=K_Nr\r\nsfile=klein.asc\r\nSFIL=x\r\n", SfileSetting::NoSfileLine},
    };
    for (const auto& c : cases) {
        const QString name = root(QString::fromLatin1(c.name));
        if (c.content)
            writeBytes(name, c.content);
        const SfileSetting setting = ReadSfileSetting(name);
        EXPECT_EQ(setting.state, c.state) << c.name;
        EXPECT_FALSE(WriteSfileSetting(name, setting, u"x.asc"_s)) << c.name;
        EXPECT_EQ(readBytes(name), QByteArray(c.content ? c.content : "")) << "left untouched";
    }
    EXPECT_EQ(MissingImportDefinitionMessage(u"/imex/Kunden.imp"_s),
              u"Datei /imex/Kunden.imp\rist nicht vorhanden!\r"
              u"Der Datenimport muss neu konfiguriert werden."_s);
}

TEST(ImportDefinitionTable, ArticleImportUsesTheCustomerBackupComment) {
    const QList<ImportDefinition>& defs = ImportDefinitions();
    ASSERT_EQ(defs.size(), 6);
    EXPECT_EQ(defs.last().table, u"TabArtikel"_s);
    EXPECT_EQ(defs.last().keyField, u"A_ArtNo"_s);
    EXPECT_EQ(defs.last().backupComment, defs.first().backupComment);
    EXPECT_EQ(defs.first().backupComment, u"Autosicherung vor Import der Kundendaten am "_s);
}

} // namespace
