#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"
#include "core/files/filehelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "printing/printformmanager.h"
#include "printingfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using Kind = MessagePresenter::Kind;

class PrintFormManagerTest : public printingtest::PrintingDbFixture {
protected:
    bool layoutExists(const QString& name) const { return QFile::exists(QrfdDir + name); }
    QByteArray layoutBytes(const QString& name) const {
        QFile file(QrfdDir + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The manager's cursors, opened on the system row of a form type.
    PrintFormCursors cursorsOn(int formType) {
        PrintFormCursors c = MakePrintFormCursors();
        c.system->open();
        c.user->open();
        for (c.system->first(); !c.system->eof(); c.system->next())
            if (c.system->value(QStringLiteral("Q_FormType")).toInt() == formType)
                break;
        EXPECT_FALSE(c.system->eof());
        return c;
    }
    QList<int> userIds(table::Table& user) {
        QList<int> ids;
        for (user.first(); !user.eof(); user.next())
            ids << user.value(QStringLiteral("QF_ID")).toInt();
        return ids;
    }
};

TEST_F(PrintFormManagerTest, NewIdsSkipRowsAndStrayFilesAndStayInTheirHundred) {
    EXPECT_EQ(NewUserFormId(10000), 10001);
    addForm(10001, 10000, QStringLiteral("Rechnung"));
    writeLayout(QStringLiteral("ORM10002.QFD"), QStringLiteral("FRMTITLE:x\r\n"));
    EXPECT_EQ(NewUserFormId(10000), 10003);
    // A file written under another case is found too.
    writeLayout(QStringLiteral("orm10003.qfd"), QStringLiteral("FRMTITLE:x\r\n"));
    EXPECT_EQ(NewUserFormId(10000), 10004);
    // Ids above the ninety-nine of a type would name the next type.
    for (int id = 22201; id <= 22299; ++id)
        writeLayout(LayoutFileName(id), QString());
    EXPECT_EQ(NewUserFormId(22200), 0);
}

TEST_F(PrintFormManagerTest, AnAppendTakesTheNextIdOfTheSelectedType) {
    PrintFormCursors c = cursorsOn(10000);
    c.user->append();
    EXPECT_EQ(c.user->value(QStringLiteral("QF_ID")).toInt(), 10001);
    EXPECT_EQ(c.user->value(QStringLiteral("Q_FormType")).toInt(), 10000);
    EXPECT_EQ(c.user->value(QStringLiteral("Q_Filename")).toString(),
              QStringLiteral("ORM10001.QFD"));
    EXPECT_FALSE(c.user->value(QStringLiteral("Q_Protect")).toBool());
    EXPECT_EQ(c.user->value(QStringLiteral("Q_Comment")).toString(), QString());
    (*c.user)[QStringLiteral("Q_Comment")] = QStringLiteral("Meine Rechnung");
    c.user->post();
    EXPECT_TRUE(PrintFormExists(10001));
    // No layout file is made: the designer's first save makes it.
    EXPECT_FALSE(layoutExists(QStringLiteral("ORM10001.QFD")));

    // A type without free ids refuses the row.
    PrintFormCursors full = cursorsOn(22200);
    for (int id = 22201; id <= 22299; ++id)
        writeLayout(LayoutFileName(id), QString());
    EXPECT_THROW(full.user->append(), Abort);
    EXPECT_FALSE(full.user->isEditing());
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{QStringLiteral("Ungültiger Formular-Typ")});
}

TEST_F(PrintFormManagerTest, ACopyCancelledLeavesItsFileWhichTheNextIdSkips) {
    addForm(10001, 10000, QStringLiteral("Rechnung"));
    writeLayout(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    {
        QFile file(QrfdDir + QStringLiteral("ORM10001.QFD"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2020, 5, 6), QTime(7, 8, 10)),
                                     QFileDevice::FileModificationTime));
    }
    PrintFormCursors c = cursorsOn(10000);
    ASSERT_EQ(userIds(*c.user), QList<int>{10001});
    c.user->first();
    CopyUserForm(*c.user);
    EXPECT_EQ(c.user->value(QStringLiteral("QF_ID")).toInt(), 10002);
    EXPECT_EQ(c.user->value(QStringLiteral("Q_Comment")).toString(), QStringLiteral("Rechnung"));
    EXPECT_EQ(layoutBytes(QStringLiteral("ORM10002.QFD")),
              layoutBytes(QStringLiteral("ORM10001.QFD")));
    EXPECT_EQ(QFileInfo(QrfdDir + QStringLiteral("ORM10002.QFD")).lastModified(),
              QDateTime(QDate(2020, 5, 6), QTime(7, 8, 10)));
    c.user->cancel();
    EXPECT_EQ(userIds(*c.user), QList<int>{10001});
    EXPECT_EQ(NewUserFormId(10000), 10003);
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());

    // A form never designed copies without a file and without a message.
    addForm(10005, 10000, QStringLiteral("Neu"));
    c.user->refresh();
    c.user->last();
    CopyUserForm(*c.user);
    c.user->post();
    EXPECT_FALSE(layoutExists(QStringLiteral("ORM10003.QFD")));
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
}

TEST_F(PrintFormManagerTest, AFailedCopyIsReportedInGerman) {
    addForm(10001, 10000, QStringLiteral("Rechnung"));
    writeLayout(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    PrintFormCursors c = cursorsOn(10000);
    c.user->first();
    const FileCopyFault previous =
        SetFileCopyFault([](const QString&, const QString&) { return true; });
    CopyUserForm(*c.user);
    SetFileCopyFault(previous);
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .first()
                    .contains(QStringLiteral("konnte nicht nach ORM10002.QFD kopiert werden.")));
}

TEST_F(PrintFormManagerTest, DeletingGoesRowFirstThenFileAndFreesTheId) {
    addForm(10001, 10000, QStringLiteral("Rechnung"));
    writeLayout(QStringLiteral("orm10001.qfd"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    PrintFormCursors c = cursorsOn(10000);
    c.user->first();

    // "Nein" keeps both.
    presenter.answers = {false};
    EXPECT_FALSE(DeleteUserForm(*c.user));
    EXPECT_EQ(presenter.texts(Kind::Question), QStringList{QStringLiteral("Datensatz löschen?")});
    EXPECT_TRUE(PrintFormExists(10001));

    // A refused row delete keeps the layout.
    c.user->beforeDelete += [](table::Table&) { throw DbError(QStringLiteral("gesperrt")); };
    presenter.answers = {true};
    EXPECT_THROW(DeleteUserForm(*c.user), DbError);
    EXPECT_TRUE(PrintFormExists(10001));
    EXPECT_TRUE(layoutExists(QStringLiteral("orm10001.qfd")));
    c.user->beforeDelete.clear();

    presenter.answers = {true};
    EXPECT_TRUE(DeleteUserForm(*c.user));
    EXPECT_FALSE(PrintFormExists(10001));
    EXPECT_FALSE(layoutExists(QStringLiteral("orm10001.qfd")));
    EXPECT_EQ(NewUserFormId(10000), 10001);

    // A row without its file is deleted all the same.
    addForm(10002, 10000, QStringLiteral("Ohne Datei"));
    c.user->refresh();
    c.user->first();
    presenter.answers = {true};
    EXPECT_TRUE(DeleteUserForm(*c.user));
    EXPECT_FALSE(PrintFormExists(10002));
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
}

TEST_F(PrintFormManagerTest, HeadCopyAllowedForTheDocumentFormsOnly) {
    for (int type : {11000, 12000, 13000, 14000, 40000, 57000, 76000})
        EXPECT_TRUE(IsHeadCopyAllowed(type)) << type;
    for (int type : {10000, 37000, 18000, 0})
        EXPECT_FALSE(IsHeadCopyAllowed(type)) << type;

    addForm(37001, 37000, QStringLiteral("Liste"));
    addForm(12001, 12000, QStringLiteral("Angebot"));
    writeLayout(QStringLiteral("ORM12001.QFD"), QStringLiteral("FRMTITLE:Angebot\r\n"));
    PrintFormCursors list = cursorsOn(37000);
    list.user->first();
    HeadCopyUserForm(*list.user);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Funktion ist für dieses Formular nicht erlaubt!")});
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());

    // Without the invoice's layout the failure names its file.
    presenter.boxes.clear();
    PrintFormCursors offer = cursorsOn(12000);
    offer.user->first();
    presenter.answers = {true};
    HeadCopyUserForm(*offer.user);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Die Formularanpassung ist fehlgeschlagen.\rPrüfen Sie, "
                                         "ob Rechnungsformular 1 (ORM10001.QFD) existiert!")});
    EXPECT_EQ(layoutBytes(QStringLiteral("ORM12001.QFD")),
              printingtest::cp1252(QStringLiteral("FRMTITLE:Angebot\r\n")));

    presenter.boxes.clear();
    writeLayout(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    presenter.answers = {false};
    HeadCopyUserForm(*offer.user);
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Aktuelles Formular an das erste Rechnungsformular "
                                         "(ORM10001.QFD) anpassen?")});
    EXPECT_EQ(layoutBytes(QStringLiteral("ORM12001.QFD")),
              printingtest::cp1252(QStringLiteral("FRMTITLE:Angebot\r\n")));
    presenter.answers = {true};
    HeadCopyUserForm(*offer.user);
    EXPECT_EQ(layoutBytes(QStringLiteral("ORM12001.QFD")),
              printingtest::cp1252(QStringLiteral("FRMTITLE:Rechnung\r\n")));
    EXPECT_EQ(
        presenter.texts(Kind::Info),
        QStringList{QStringLiteral("Aktuelles Formular wurde an Rechnungslayout 1 angepasst")});
}

TEST_F(PrintFormManagerTest, ImportFromAnotherDirectoryCopiesAndRegisters) {
    const QString other = path(QStringLiteral("Sicherung/"));
    QDir().mkpath(other);
    const auto write = [](const QString& file, const QString& text) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(printingtest::cp1252(text));
    };
    write(other + QStringLiteral("ORM18001.QFD"), QStringLiteral("FRMTITLE:Kunden neu\r\n"));
    write(other + QStringLiteral("orm19001.qfd"), QStringLiteral("FRMTITLE:Artikel\r\n"));
    write(other + QStringLiteral("Notiz.txt"), QStringLiteral("x"));
    writeLayout(QStringLiteral("ORM18001.qfd"), QStringLiteral("FRMTITLE:Kunden alt\r\n"));

    // "Nein" to the warning, or no directory, imports nothing.
    presenter.answers = {false};
    ImportLayouts([&other] { return other; });
    presenter.answers = {true};
    ImportLayouts([] { return QString(); });
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    EXPECT_EQ(presenter.texts(Kind::Question).first(),
              QStringLiteral("Vorhandene Formular-Layouts werden beim Import möglicherweise "
                             "ersetzt!\rMöchten Sie den Import trotzdem durchführen?"));

    presenter.answers = {true, false}; // import; keep the registered names
    ImportLayouts([&other] { return other; });
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 2 Layouts importiert!")});
    // The file of the same name under another case was replaced, not doubled.
    EXPECT_EQ(layoutBytes(QStringLiteral("ORM18001.qfd")),
              printingtest::cp1252(QStringLiteral("FRMTITLE:Kunden neu\r\n")));
    EXPECT_FALSE(layoutExists(QStringLiteral("ORM18001.QFD")));
    EXPECT_TRUE(layoutExists(QStringLiteral("orm19001.qfd")));
    EXPECT_EQ(GetPrintFormComment(18001), QStringLiteral("Kunden neu"));
    EXPECT_EQ(GetPrintFormComment(19001), QStringLiteral("Artikel"));
}

TEST_F(PrintFormManagerTest, ImportFromTheLayoutDirectoryOnlyCounts) {
    writeLayout(QStringLiteral("ORM18001.QFD"), QStringLiteral("FRMTITLE:Kunden\r\n"));
    writeLayout(QStringLiteral("ORM18002.QFD"), QStringLiteral("FRMTITLE:Kunden 2\r\n"));
    const QDateTime before = QFileInfo(QrfdDir + QStringLiteral("ORM18001.QFD")).lastModified();
    presenter.answers = {true, false};
    // Named with a trailing slash or without, it is the same directory.
    QString dir = QrfdDir;
    dir.chop(1);
    ImportLayouts([&dir] { return dir; });
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 2 Layouts importiert!")});
    EXPECT_EQ(QFileInfo(QrfdDir + QStringLiteral("ORM18001.QFD")).lastModified(), before);
    EXPECT_TRUE(PrintFormExists(18001));
    EXPECT_TRUE(PrintFormExists(18002));
}

} // namespace
