#include "core/data/clientdbfixture.h"
#include "core/data/layoutfiles.h"
#include "core/files/programdirs.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

namespace {

using Kind = MessagePresenter::Kind;

class LayoutFilesTest : public datatest::ClientDbFixture {
protected:
    void SetUp() override {
        ClientDbFixture::SetUp();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(QStringLiteral("QRFD0001/"));
        QDir().mkpath(QrfdDir);
    }
    void TearDown() override {
        QrfdDir = m_savedQrfd;
        ClientDbFixture::TearDown();
    }
    void write(const QString& dir, const QString& name, const QString& text) {
        QFile file(dir + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QStringEncoder encode("windows-1252");
        file.write(encode(text));
    }
    void write(const QString& name, const QString& text) { write(QrfdDir, name, text); }
    struct Row {
        int type = 0;
        QString fileName;
        QVariant protect;
        QString comment;
        bool operator==(const Row&) const = default;
    };
    std::optional<Row> row(int id) {
        auto t = open(QStringLiteral("QrFrmDef.DB"));
        if (!t->findKey({id}))
            return std::nullopt;
        return Row{t->value(QStringLiteral("Q_FormType")).toInt(),
                   t->value(QStringLiteral("Q_Filename")).toString(),
                   t->value(QStringLiteral("Q_Protect")),
                   t->value(QStringLiteral("Q_Comment")).toString()};
    }

private:
    QString m_savedQrfd;
};

TEST_F(LayoutFilesTest, NamesAndPathsIgnoreTheCaseOfExistingFiles) {
    EXPECT_EQ(LayoutFileName(10001), QStringLiteral("ORM10001.QFD"));
    EXPECT_EQ(LayoutFileName(0), QStringLiteral("ORM00000.QFD"));
    EXPECT_EQ(LayoutFileName(501), QStringLiteral("ORM00501.QFD"));
    EXPECT_EQ(LayoutFilePath(12001), QrfdDir + QStringLiteral("ORM12001.QFD"));
    write(QStringLiteral("orm12001.qfd"), QStringLiteral("FRMTITLE:klein"));
    EXPECT_EQ(LayoutFilePath(12001), QrfdDir + QStringLiteral("orm12001.qfd"));
    EXPECT_EQ(ExistingLayoutFile(QrfdDir + QStringLiteral("ORM12001.QFD")),
              QrfdDir + QStringLiteral("orm12001.qfd"));
    EXPECT_EQ(ExistingLayoutFile(QrfdDir + QStringLiteral("ORM12002.QFD")), QString());
}

TEST_F(LayoutFilesTest, LinesAndTitles) {
    write(QStringLiteral("ORM12001.QFD"),
          QStringLiteral("OPTIONS:PRINDEX=-1;\r\nfrmtitle: Angebot für Müller \r\nFRMTITLE:zweiter"
                         "\r\nL_Text\rCaption=x\nTop=1\r\n"));
    QStringList lines;
    ASSERT_TRUE(LoadLayoutLines(QrfdDir + QStringLiteral("orm12001.qfd"), lines));
    EXPECT_EQ(lines, QStringList({QStringLiteral("OPTIONS:PRINDEX=-1;"),
                                  QStringLiteral("frmtitle: Angebot für Müller "),
                                  QStringLiteral("FRMTITLE:zweiter"), QStringLiteral("L_Text"),
                                  QStringLiteral("Caption=x"), QStringLiteral("Top=1")}));
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("ORM12001.QFD")),
              QStringLiteral(" Angebot für Müller "));
    write(QStringLiteral("ORM12002.QFD"), QStringLiteral("L_Text\r\nFRMTITLE\r\n"));
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("ORM12002.QFD")), QString());
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("ORM12009.QFD")), QString());
    // Not a layout: no title either.
    QFile binary(QrfdDir + QStringLiteral("ORM12003.QFD"));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("FRMTITLE:x\r\n\0\0\0", 15));
    binary.close();
    EXPECT_FALSE(LoadLayoutLines(binary.fileName(), lines));
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("ORM12003.QFD")), QString());
}

TEST_F(LayoutFilesTest, ImportRegistersNewFilesAndSkipsTheRest) {
    addRow(QStringLiteral("QrFrmDef.DB"),
           {{QStringLiteral("QF_ID"), 12001},
            {QStringLiteral("Q_FormType"), 12000},
            {QStringLiteral("Q_Protect"), false},
            {QStringLiteral("Q_Filename"), QStringLiteral("ORM12001.QFD")},
            {QStringLiteral("Q_Comment"), QStringLiteral("Alt")}});
    write(QStringLiteral("ORM12001.QFD"), QStringLiteral("FRMTITLE:Neu\r\n"));
    write(QStringLiteral("orm12003.qfd"), QStringLiteral("L_X\r\nfrmtitle:Angebot lang\r\n"));
    write(QStringLiteral("ORM12004.QFD"), QStringLiteral("L_X\r\n"));
    write(QStringLiteral("ORM12005.QFD"), QStringLiteral("FRMTITLE:") + QString(70, u'x'));
    write(QStringLiteral("ORM77001.QFD"), QStringLiteral("FRMTITLE:kein Typ\r\n"));
    write(QStringLiteral("ORMABCDE.QFD"), QStringLiteral("FRMTITLE:keine Zahl\r\n"));
    write(QStringLiteral("ORM00000.QFD"), QStringLiteral("FRMTITLE:null\r\n"));
    write(QStringLiteral("ORM12000.QFD"), QStringLiteral("FRMTITLE:Systemzeile\r\n"));
    write(QStringLiteral("ORM1200.QFD"), QStringLiteral("FRMTITLE:zu kurz\r\n"));
    write(QStringLiteral("ORM22101.TXT"), QStringLiteral("FRMTITLE:andere Endung\r\n"));

    presenter.answers = {false};
    ImportLayoutFiles();
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(presenter.boxes[0].kind, Kind::Question);
    EXPECT_EQ(presenter.boxes[0].text,
              QStringLiteral("Sollen vorhandene Formularnamen ersetzt werden?"));
    EXPECT_EQ(row(12001),
              (Row{12000, QStringLiteral("ORM12001.QFD"), false, QStringLiteral("Alt")}));
    EXPECT_EQ(row(12003),
              (Row{12000, QStringLiteral("orm12003.qfd"), false, QStringLiteral("Angebot lang")}));
    EXPECT_EQ(row(12004), (Row{12000, QStringLiteral("ORM12004.QFD"), false, QString()}));
    EXPECT_EQ(row(12005)->comment, QString(60, u'x'));
    EXPECT_FALSE(row(77001));
    EXPECT_FALSE(row(0));
    EXPECT_EQ(row(12000)->comment, QStringLiteral("Angebotsformular"));
    EXPECT_EQ(row(12000)->protect, QVariant(true));

    // "Yes" takes the titles into registered rows, but never an empty one.
    write(QStringLiteral("ORM12003.QFD"), QStringLiteral("FRMTITLE:anders\r\n"));
    QFile::remove(QrfdDir + QStringLiteral("orm12003.qfd"));
    presenter.answers = {true};
    ImportLayoutFiles();
    EXPECT_EQ(row(12001)->comment, QStringLiteral("Neu"));
    EXPECT_EQ(row(12003)->comment, QStringLiteral("anders"));
    EXPECT_EQ(row(12003)->fileName, QStringLiteral("orm12003.qfd"));
    EXPECT_EQ(row(12004)->comment, QString());
    EXPECT_EQ(row(12000)->comment, QStringLiteral("Angebotsformular"));
}

TEST_F(LayoutFilesTest, TemplateLayoutsNeverReplaceAClientsOwn) {
    const QString tpl = path(QStringLiteral("QRFD0000/"));
    QDir().mkpath(tpl);
    write(tpl, QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Vorlage"));
    write(tpl, QStringLiteral("ORM18001.QFD"), QStringLiteral("FRMTITLE:Vorlage Kunden"));
    write(QStringLiteral("orm10001.qfd"), QStringLiteral("FRMTITLE:eigene"));
    ASSERT_TRUE(CopyTemplateLayouts(tpl, QrfdDir));
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("orm10001.qfd")), QStringLiteral("eigene"));
    EXPECT_FALSE(QFile::exists(QrfdDir + QStringLiteral("ORM10001.QFD")));
    EXPECT_EQ(ReadLayoutTitle(QStringLiteral("ORM18001.QFD")), QStringLiteral("Vorlage Kunden"));
}

} // namespace

namespace {

// A fresh client has no name that a layout could replace: the import asks
// nothing, there or when the names already match, and asks once a title
// differs from its row's name.
TEST_F(LayoutFilesTest, ImportAsksOnlyWhenANameWouldChange) {
    write(QStringLiteral("ORM12001.QFD"), QStringLiteral("FRMTITLE:Angebot kurz\r\n"));
    write(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    write(QStringLiteral("ORM10002.QFD"), QStringLiteral("L_X\r\n"));
    ImportLayoutFiles();
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "a fresh client";
    EXPECT_EQ(row(12001)->comment, QStringLiteral("Angebot kurz"));
    EXPECT_EQ(row(10001)->comment, QStringLiteral("Rechnung"));

    ImportLayoutFiles();
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "the names match the titles";

    write(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung mit Logo\r\n"));
    presenter.answers = {true};
    ImportLayoutFiles();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Sollen vorhandene Formularnamen ersetzt werden?")});
    EXPECT_EQ(row(10001)->comment, QStringLiteral("Rechnung mit Logo"));
    EXPECT_EQ(row(12001)->comment, QStringLiteral("Angebot kurz"));
}

} // namespace
