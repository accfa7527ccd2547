#include "core/settings/formplacement.h"
#include "core/settings/inifile.h"
#include "platform/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Points the Windows directory at a fresh temporary directory for each test.
class PlacementFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_saved = qgetenv("DOMVERA_WINDIR");
        m_hadValue = qEnvironmentVariableIsSet("DOMVERA_WINDIR");
        qputenv("DOMVERA_WINDIR", m_dir.path().toLocal8Bit());
    }
    void TearDown() override {
        if (m_hadValue)
            qputenv("DOMVERA_WINDIR", m_saved);
        else
            qunsetenv("DOMVERA_WINDIR");
    }
    QString path(const QString& fileName) const { return m_dir.filePath(fileName); }
    QByteArray bytes(const QString& fileName) const {
        QFile file(path(fileName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeBytes(const QString& fileName, const QByteArray& content) const {
        QFile file(path(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir m_dir;
    QByteArray m_saved;
    bool m_hadValue = false;
};

TEST_F(PlacementFiles, RoundTripKeepsOtherFormsSections) {
    FormPlacement kunden;
    kunden.geometry = QRect(10, 120, 800, 450);
    kunden.state = PlacementWindowState::Maximized;
    kunden.properties.insert(QStringLiteral("GridKunden.Columns"), QStringLiteral("AAEC/w=="));
    kunden.properties.insert(QStringLiteral("lbSort.Caption"), QStringLiteral("K_Nr"));
    WriteFormPlacement(kPlacementFile03, QStringLiteral("Kunden"), StorePositionAndState, kunden);

    FormPlacement objekt;
    objekt.geometry = QRect(-5, 0, 640, 480);
    WriteFormPlacement(kPlacementFile03, QStringLiteral("Objekt"), StorePosition, objekt);

    EXPECT_EQ(FormPlacementFilePath(kPlacementFile03), path(QStringLiteral("DomveraPlan03.ini")));
    const auto readKunden =
        ReadFormPlacement(kPlacementFile03, QStringLiteral("Kunden"), StorePositionAndState,
                          {QStringLiteral("GridKunden.Columns"), QStringLiteral("lbSort.Caption"),
                           QStringLiteral("GridUmsatz.Columns")});
    ASSERT_TRUE(readKunden.has_value());
    EXPECT_EQ(readKunden->geometry, kunden.geometry);
    EXPECT_EQ(readKunden->state, kunden.state);
    EXPECT_EQ(readKunden->properties, kunden.properties);

    const auto readObjekt =
        ReadFormPlacement(kPlacementFile03, QStringLiteral("objekt"), StorePositionAndState, {});
    ASSERT_TRUE(readObjekt.has_value());
    EXPECT_EQ(readObjekt->geometry, objekt.geometry);
    EXPECT_FALSE(readObjekt->state.has_value());
}

TEST_F(PlacementFiles, OptionsLimitWhatIsWrittenAndRead) {
    FormPlacement main;
    main.geometry = QRect(0, 0, 1024, 120);
    main.state = PlacementWindowState::Normal;
    WriteFormPlacement(kPlacementFile01, QStringLiteral("Main"), StoreState, main);
    IniFile ini(path(kPlacementFile01));
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.keys(QStringLiteral("Main")), QStringList{QStringLiteral("WindowState")});

    FormPlacement adress;
    adress.geometry = QRect(3, 4, 500, 300);
    adress.state = PlacementWindowState::Maximized;
    WriteFormPlacement(kPlacementFile01, QStringLiteral("Adress"), StorePosition, adress);
    const auto read =
        ReadFormPlacement(kPlacementFile01, QStringLiteral("Adress"), StorePositionAndState, {});
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->geometry, adress.geometry);
    EXPECT_FALSE(read->state.has_value());
}

TEST_F(PlacementFiles, MissingFileOrSectionLeavesTheDesign) {
    EXPECT_FALSE(
        ReadFormPlacement(kPlacementFile02, QStringLiteral("Tour"), StorePositionAndState, {})
            .has_value());
    FormPlacement tour;
    tour.geometry = QRect(1, 2, 300, 200);
    WriteFormPlacement(kPlacementFile02, QStringLiteral("Tour"), StorePosition, tour);
    EXPECT_FALSE(
        ReadFormPlacement(kPlacementFile02, QStringLiteral("Rechnung"), StorePositionAndState, {})
            .has_value());
}

TEST_F(PlacementFiles, DamagedValuesAreIgnored) {
    writeBytes(kPlacementFile04,
               "[Taglist]\r\nLeft=abc\r\nTop=1\r\nWidth=300\r\nHeight=200\r\nWindowState=7\r\n"
               "[TermEdit]\r\nLeft=1\r\nTop=1\r\nWidth=0\r\nHeight=200\r\n");
    const auto taglist =
        ReadFormPlacement(kPlacementFile04, QStringLiteral("Taglist"), StorePositionAndState, {});
    ASSERT_TRUE(taglist.has_value());
    EXPECT_FALSE(taglist->geometry.has_value());
    EXPECT_FALSE(taglist->state.has_value());
    const auto termEdit =
        ReadFormPlacement(kPlacementFile04, QStringLiteral("TermEdit"), StorePosition, {});
    ASSERT_TRUE(termEdit.has_value());
    EXPECT_FALSE(termEdit->geometry.has_value());
}

TEST_F(PlacementFiles, FilesAreWindows1252Text) {
    IniFile ini(path(kPlacementFile01));
    EXPECT_FALSE(ini.load());
    ini.writeString(QStringLiteral("Login Dialog"), QStringLiteral("Last Logged User"),
                    QStringLiteral("Jürgen Größer €"));
    ini.save();
    EXPECT_EQ(bytes(kPlacementFile01),
              QByteArray("[Login Dialog]\r\nLast Logged User=J\xFCrgen Gr\xF6\xDF"
                         "er \x80\r\n\r\n"));

    IniFile again(path(kPlacementFile01));
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.readString(QStringLiteral("login dialog"), QStringLiteral("LAST LOGGED USER")),
              QStringLiteral("Jürgen Größer €"));
}

TEST_F(PlacementFiles, TextsOutsideTheCodePageOrWithLineBreaksAreRefused) {
    IniFile ini(path(kPlacementFile00));
    ini.writeString(QStringLiteral("Form"), QStringLiteral("Caption"), QStringLiteral("Ω"));
    EXPECT_THROW(ini.save(), DbError);
    EXPECT_FALSE(QFile::exists(path(kPlacementFile00)));
    EXPECT_THROW(ini.writeString(QStringLiteral("Form"), QStringLiteral("Caption"),
                                 QStringLiteral("a\r\nLeft=0")),
                 DbError);
}

TEST_F(PlacementFiles, IniReaderKeepsForeignContent) {
    writeBytes(kPlacementFileDatev, "; Kommentar\r\n[Datev]\r\nBerater = 1234 \r\nBerater=99\r\n"
                                    "ohne Gleichheitszeichen\r\n[Leer]\r\n");
    IniFile ini(path(kPlacementFileDatev));
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.readString(QStringLiteral("Datev"), QStringLiteral("Berater")),
              QStringLiteral("1234"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Datev"), QStringLiteral("Berater"), 0), 1234);
    EXPECT_EQ(ini.readInteger(QStringLiteral("Datev"), QStringLiteral("Fehlt"), -1), -1);
    EXPECT_EQ(ini.sectionNames(), (QStringList{QStringLiteral("Datev"), QStringLiteral("Leer")}));
    ini.deleteKey(QStringLiteral("DATEV"), QStringLiteral("berater"));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("Datev"), QStringLiteral("Berater")));
    ini.eraseSection(QStringLiteral("leer"));
    EXPECT_EQ(ini.sectionNames(), QStringList{QStringLiteral("Datev")});
}

} // namespace
