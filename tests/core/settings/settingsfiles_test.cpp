#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/settings/settingsfiles.h"
#include "platform/errors.h"

#include <QFileInfo>

using frametest::ProgramDirFixture;
using namespace Qt::StringLiterals;

namespace {

class SettingsFilesTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        DataDir = ProgramDir + u"Data0001/";
        QDir().mkpath(DataDir);
    }
};

TEST_F(SettingsFilesTest, VersionFileFirstLine) {
    const struct {
        const char* content; // nullptr: no file
        int version;
    } cases[] = {
        {nullptr, 0},       {"240\r\n", 240},        {"230", 230},       {"abc\r\n", 0}, {"", 0},
        {"\r\n240\r\n", 0}, {"199\r\n240\r\n", 199}, {" 235 \r\n", 235}, {"12x\r\n", 0}};
    for (const auto& c : cases) {
        QFile::remove(DataDir + u"Version.Dat");
        if (c.content)
            writeBytes(DataDir + u"Version.Dat", c.content);
        EXPECT_EQ(ReadDbVersion(), c.version) << (c.content ? c.content : "(none)");
    }
}

TEST_F(SettingsFilesTest, VersionFileIsRewrittenWithOneLine) {
    writeBytes(DataDir + u"Version.Dat", "230\r\nold second line\r\n");
    WriteDbVersion(240);
    EXPECT_EQ(readBytes(DataDir + u"Version.Dat"), QByteArray("240\r\n"));
    EXPECT_EQ(ReadDbVersion(), 240);
}

TEST_F(SettingsFilesTest, VersionFileThatCannotBeWrittenIsReported) {
    DataDir = ProgramDir + u"missing/";
    EXPECT_THROW(WriteDbVersion(240), DbError);
    // A directory in place of the file.
    DataDir = ProgramDir + u"Data0001/";
    QDir().mkpath(DataDir + u"Version.Dat");
    EXPECT_THROW(WriteDbVersion(240), DbError);
}

TEST_F(SettingsFilesTest, PrintFontFromDeffont) {
    const struct {
        QByteArray content; // empty: no file
        QString name;
        int size;
    } cases[] = {
        {{}, u"Arial"_s, 10},
        {"Courier New\r\n4\r\n", u"Courier New"_s, 10},
        {"Courier New\r\n6\r\n", u"Courier New"_s, 6},
        {"Times New Roman\r\n12\r\n", u"Times New Roman"_s, 12},
        {"Verdana\r\n", u"Verdana"_s, 10},
        {"Verdana\r\nzwölf\r\n", u"Verdana"_s, 10},
        {"Schrift \xC4\xFC\r\n11\r\n", u"Schrift Äü"_s, 11}, // Windows-1252
    };
    for (const auto& c : cases) {
        QFile::remove(ProgramDir + u"Deffont.txt");
        if (!c.content.isEmpty())
            writeBytes(ProgramDir + u"Deffont.txt", c.content);
        CreatePrintFont();
        EXPECT_EQ(PrintFont.name, c.name) << c.content.constData();
        EXPECT_EQ(PrintFont.size, c.size) << c.content.constData();
    }
    FreePrintFont();
    EXPECT_EQ(PrintFont.name, u"Arial"_s);
    EXPECT_EQ(PrintFont.size, 10);
}

TEST_F(SettingsFilesTest, PartOptionTexts) {
    const struct {
        QByteArray content; // empty: no file
        QStringList texts;  // marks 0..4, kind-2 text, kind-1 text
    } cases[] = {
        {{}, {"", "", "", "", "", "", ""}},
        {"\r\n", {"", "", "", "", "", "", ""}},
        {"\"A\";B\r\n", {"A", "B", "", "", "", "", ""}},
        {"a;b;c", {"a", "b", "c", "", "", "", ""}},
        {"1;2;3;4;5;Alternativ;Optional;extra",
         {"1", "2", "3", "4", "5", "Alternativ", "Optional"}},
        {"ABCDEFGHIJKL;;x;", {"ABCDEFGHIJ", "", "x", "", "", "", ""}},
        {";;;;;\"incl.\";", {"", "", "", "", "", "incl.", ""}},
    };
    for (const auto& c : cases) {
        PosArtMarks[0] = QStringLiteral("stale");
        QFile::remove(ProgramDir + u"Partopt.txt");
        if (!c.content.isEmpty())
            writeBytes(ProgramDir + u"Partopt.txt", c.content);
        ReadPartopt();
        const QStringList got = {PosArtMarks[0],   PosArtMarks[1], PosArtMarks[2],
                                 PosArtMarks[3],   PosArtMarks[4], PosArt2AmountText,
                                 PosArt1AmountText};
        EXPECT_EQ(got, c.texts) << c.content.constData();
    }
}

TEST_F(SettingsFilesTest, TabStopsAreRaisedAndLimited) {
    writeBytes(ProgramDir + u"Tabstop.dat", "20\r\n25\r\n0\r\n100\r\nabc\r\n");
    ReadTabstops();
    EXPECT_EQ(TabstopList, QList<int>({20, 30, 100}));

    QByteArray many;
    for (int i = 1; i <= 33; ++i)
        many += QByteArray::number(i * 10) + "\r\n";
    writeBytes(ProgramDir + u"Tabstop.dat", many);
    ReadTabstops();
    ASSERT_EQ(TabstopList.size(), MaxTabstops);
    EXPECT_EQ(TabstopList.last(), 320);

    QFile::remove(ProgramDir + u"Tabstop.dat");
    ReadTabstops();
    EXPECT_TRUE(TabstopList.isEmpty());
}

TEST_F(SettingsFilesTest, ConversionMarkerPerClient) {
    EXPECT_FALSE(IsRgvConverted(2));
    ASSERT_TRUE(MarkRgvConverted(2));
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + u"RgvCnvrt.002"));
    EXPECT_EQ(QFileInfo(ProgramDir + u"RgvCnvrt.002").size(), 0);
    EXPECT_TRUE(IsRgvConverted(2));
    EXPECT_FALSE(IsRgvConverted(1));
}

} // namespace
