#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/moduledbfixture.h"
#include "core/data/recordrules.h"
#include "core/messages/manuals.h"
#include "masterdata/documentrows.h"
#include "masterdata/documenttargets.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// What the desktop was asked to open.
class RecordingOpener {
public:
    RecordingOpener() {
        m_previous = SetDocumentOpener([this](const QString& target, DocumentVerb verb) {
            opened.append({target, verb});
            return accept;
        });
    }
    ~RecordingOpener() { SetDocumentOpener(m_previous); }
    QList<std::pair<QString, DocumentVerb>> opened;
    bool accept = true;

private:
    DocumentOpener m_previous;
};

TEST(DocumentTargets, TargetAndFilterOfAGroupMask) {
    EXPECT_EQ(BuildDocTarget(u"Http://"_s, QString(), u"www.example.com"_s, QString()),
              u"Http://www.example.com"_s);
    EXPECT_EQ(DocMaskToFilter(u"*,doc"_s), u"(*.*)|*.*|(*.doc)|*.doc|"_s);
    EXPECT_EQ(DocMaskToFilter(QString()), QString());
    EXPECT_EQ(WithoutFinalSeparator(u"C:\\Daten\\"_s), u"C:\\Daten"_s);
    EXPECT_EQ(WithoutFinalSeparator(u"/srv/daten/"_s), u"/srv/daten"_s);
    EXPECT_EQ(WithFinalSeparator(u"/srv/daten"_s), u"/srv/daten/"_s);
    EXPECT_EQ(WithFinalSeparator(u"C:\\Daten\\"_s), u"C:\\Daten\\"_s);
}

TEST(DocumentTargets, UrlsGoToTheDesktopAsTheyStand) {
    RecordingOpener opener;
    EXPECT_EQ(OpenDocTarget(u"Http://www.example.com"_s, false), DocOpened);
    EXPECT_EQ(OpenDocTarget(u"Mailto:info@example.com"_s, false), DocOpened);
    ASSERT_EQ(opener.opened.size(), 2);
    EXPECT_EQ(opener.opened[0].first, u"Http://www.example.com"_s);
    EXPECT_EQ(opener.opened[1].first, u"Mailto:info@example.com"_s);
    opener.accept = false;
    const int refused = OpenDocTarget(u"Ftp://192.0.2.1"_s, false);
    EXPECT_EQ(DocOpenErrorText(refused, u"Ftp://192.0.2.1"_s), u"Unbekannte Fehlerursache [1]"_s);
}

TEST(DocumentTargets, LocalFilesAndFoldersAreCheckedFirst) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = QDir(dir.path()).canonicalPath();
    QDir(root).mkdir(u"Briefe"_s);
    QFile file(root + u"/Briefe/Angebot 1.doc"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    RecordingOpener opener;
    QString windowsStyle = root + u"/Briefe/"_s;
    windowsStyle.replace(u'/', u'\\');
    const struct {
        QString target;
        bool explore;
        int result;
        QString opened;
    } cases[] = {
        {u"File://"_s + root + u"/Briefe/Angebot 1.doc"_s, false, DocOpened,
         root + u"/Briefe/Angebot 1.doc"_s},
        {u"File://"_s + windowsStyle + u"Angebot 1.doc"_s, false, DocOpened,
         root + u"/Briefe/Angebot 1.doc"_s},
        {root + u"/Briefe"_s, true, DocOpened, root + u"/Briefe"_s},
        {u"File://"_s + root + u"/Briefe/fehlt.doc"_s, false, DocFileMissing, QString()},
        {u"File://"_s + root + u"/Fehlt/a.doc"_s, false, DocFolderMissing, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        opener.opened.clear();
        EXPECT_EQ(OpenDocTarget(c.target, c.explore), c.result);
        if (c.opened.isEmpty()) {
            EXPECT_TRUE(opener.opened.isEmpty());
        } else {
            ASSERT_EQ(opener.opened.size(), 1);
            EXPECT_EQ(opener.opened[0].first, c.opened);
            EXPECT_EQ(opener.opened[0].second,
                      c.explore ? DocumentVerb::Explore : DocumentVerb::Open);
        }
    }
}

TEST(DocumentTargets, ErrorTextsOfTheShellResults) {
    const struct {
        int result;
        const char* text;
    } cases[] = {
        {0, "Nicht genug RAM-Speicher oder Resourcen"},
        {8, "Nicht genug RAM-Speicher oder Resourcen"},
        {2, "Datei X\rist nicht vorhanden!"},
        {3, "Der Pfad X\rist nicht vorhanden!"},
        {5, "Zugriff wurde verweigert"},
        {11, "Fehler in Exedatei"},
        {26, "Es ist eine Zugriffs-Kollision aufgetreten (Share-Violation)."},
        {27, "Die Dateiverknüpfung ist ungültig."},
        {28, "Die Zeitvorgabe für den dynamischen Datenaustausch wurde überschritten!"},
        {29, "Der dynamische Datenaustausch ist fehlgeschlagen!"},
        {30, "Der dynamische Datenaustausch ist überlastet!"},
        {31, "Zu der Datei besteht keine gültige Programmverknüpfung!"},
        {32, "Die erforderliche Programmbibliothek (DLL) wurde nicht gefunden!"},
        {7, "Unbekannte Fehlerursache [7]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DocOpenErrorText(c.result, u"X"_s), QString::fromUtf8(c.text)) << c.result;
    EXPECT_EQ(
        DocAddressHint(DocWeb),
        u"Geben Sie bitte eine gültige Website-Adresse manuell ein!\rBeispiel: www.example.com"_s);
    EXPECT_TRUE(DocAddressHint(DocFile).isEmpty());
}

// Customers 1 and 2 with their document rows, and objects 501 (key 11, of
// customer 1) and 502.
class DocumentRows : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 101}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 102}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 11}, {u"O_Nr"_s, 501}, {u"O_Kunde"_s, 101}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 12}, {u"O_Nr"_s, 502}});
        const struct {
            int id, owner, type;
            const char *text, *path, *file;
        } rows[] = {
            {1, 1, 0, "Angebot", "/alt/", "angebot.doc"},
            {2, 1, 0, "Vertrag", "/alt", "vertrag.doc"},
            {3, 1, 0, "Plan", "/anders/", "plan.pdf"},
            {4, 2, 0, "Fremd", "/alt/", "fremd.doc"},
            {5, 1, 4, "Ordner", "", "/alt"},
            {6, 1, 2, "Web", "", "www.example.com"},
        };
        for (const auto& r : rows)
            addRow(u"KundDV.DB"_s, {{u"OD_ID"_s, r.id},
                                    {u"OD_KundID"_s, r.owner},
                                    {u"OD_Type"_s, r.type},
                                    {u"OD_Kurztext"_s, QString::fromLatin1(r.text)},
                                    {u"OD_Path"_s, QString::fromLatin1(r.path)},
                                    {u"OD_Filename"_s, QString::fromLatin1(r.file)},
                                    {u"OD_Prefix"_s, u"File://"_s}});
        createModule();
        InstallRecordRules(*dm);
        dm->TabKunden().open();
        ASSERT_TRUE(dm->TabKunden().locate({u"K_ID"_s}, {1}));
        dm->TabKdDV().open();
    }
    table::Table& docs() { return dm->TabKdDV(); }
    void goTo(int id) { ASSERT_TRUE(docs().locate({u"OD_ID"_s}, {id})); }
    // OD_ID -> the stored field, read through a cursor of the test's own.
    QMap<int, QString> stored(const QString& field) {
        QMap<int, QString> values;
        auto t = open(u"KundDV.DB"_s);
        for (t->first(); !t->eof(); t->next())
            values.insert(FieldInt(*t, u"OD_ID"_s), FieldText(*t, field));
        return values;
    }
};

TEST_F(DocumentRows, FolderCorrectionMovesTheOwnersRowsOnly) {
    goTo(1);
    CorrectDocPaths(docs(), u"/alt/"_s, u"/neu"_s, true);
    const QMap<int, QString> paths = stored(u"OD_Path"_s);
    EXPECT_EQ(paths[1], u"/neu/"_s);
    EXPECT_EQ(paths[2], u"/neu/"_s); // stored without its final separator
    EXPECT_EQ(paths[3], u"/anders/"_s);
    EXPECT_EQ(paths[4], u"/alt/"_s); // another customer's row
    EXPECT_EQ(FieldInt(docs(), u"OD_ID"_s), 1);
}

TEST_F(DocumentRows, FolderCorrectionOfOneRowOnly) {
    goTo(2);
    CorrectDocPaths(docs(), u"/alt"_s, u"/neu"_s, false);
    const QMap<int, QString> paths = stored(u"OD_Path"_s);
    EXPECT_EQ(paths[1], u"/alt/"_s);
    EXPECT_EQ(paths[2], u"/neu/"_s);
}

TEST_F(DocumentRows, FolderRowsKeepTheFolderInTheFileName) {
    goTo(5);
    QString folder;
    ASSERT_TRUE(DocRowFolder(docs(), folder));
    EXPECT_EQ(folder, u"/alt"_s);
    CorrectDocFolders(docs(), folder, u"/neu"_s, true);
    EXPECT_EQ(stored(u"OD_Filename"_s)[5], u"/neu"_s);
    EXPECT_EQ(stored(u"OD_Path"_s)[5], QString());
    EXPECT_EQ(stored(u"OD_Path"_s)[1], u"/alt/"_s); // file rows compare their file names
    goTo(6);
    EXPECT_FALSE(DocRowFolder(docs(), folder));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Diese Funktion benötigt keine Pfadangabe!"_s});
}

TEST_F(DocumentRows, FolderCorrectionIsAllOrNothing) {
    // Row 2 cannot be written, as when another workstation holds it.
    docs().beforePost += [](table::Table& t) {
        if (FieldInt(t, u"OD_ID"_s) == 2)
            throw DbError(u"Datensatz gesperrt"_s);
    };
    goTo(1);
    try {
        CorrectDocPaths(docs(), u"/alt/"_s, u"/neu"_s, true);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Der Eintrag \"Vertrag\" kann nicht geändert werden:\rDatensatz "
                               u"gesperrt\r\rEs wurde kein Eintrag geändert."_s);
    }
    const QMap<int, QString> paths = stored(u"OD_Path"_s);
    EXPECT_EQ(paths[1], u"/alt/"_s);
    EXPECT_EQ(paths[2], u"/alt"_s);
    EXPECT_FALSE(docs().isEditing());
    EXPECT_EQ(FieldInt(docs(), u"OD_ID"_s), 1);
    EXPECT_EQ(FieldText(docs(), u"OD_Path"_s), u"/alt/"_s);
}

TEST_F(DocumentRows, GroupKeepsTheRowsNameAndFolder) {
    goTo(1);
    DvGroup group{.kind = 0,
                  .name = u"Bilder"_s,
                  .mask = u"*,jpg"_s,
                  .prefix = u"File://"_s,
                  .suffix = u""_s,
                  .defaultPath = u"/bilder/"_s};
    docs().edit();
    docs()[u"OD_Gruppe"_s] = u"Eigene"_s;
    ApplyDvGroup(docs(), 2, group);
    EXPECT_EQ(FieldText(docs(), u"OD_Gruppe"_s), u"Eigene"_s);
    EXPECT_EQ(FieldText(docs(), u"OD_Path"_s), u"/alt/"_s);
    EXPECT_EQ(FieldText(docs(), u"OD_Mask"_s), u"*,jpg"_s);
    EXPECT_EQ(FieldInt(docs(), u"OD_GrID"_s), 2);
    docs().cancel();
    goTo(5); // a folder row: no path, no group name yet
    ApplyDvGroup(docs(), 2, group);
    EXPECT_EQ(FieldText(docs(), u"OD_Gruppe"_s), u"Bilder"_s);
    EXPECT_EQ(FieldText(docs(), u"OD_Path"_s), u"/bilder/"_s);
    docs().cancel();
}

TEST_F(DocumentRows, TransferToTheObjectAsksBeforeADuplicate) {
    goTo(1);
    EXPECT_FALSE(TransferKdDocToObjekt(docs(), 0));
    EXPECT_FALSE(TransferKdDocToObjekt(docs(), 999));
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Unbekanntes Objekt!"_s});
    ASSERT_TRUE(TransferKdDocToObjekt(docs(), 501));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{u"Der Satz wurde an die Objektverwaltung übergeben."_s});
    auto objDocs = open(u"ObjDV.db"_s);
    ASSERT_EQ(objDocs->recordCount(), 1);
    objDocs->first();
    EXPECT_EQ(FieldInt(*objDocs, u"OD_ObjID"_s), 11);
    EXPECT_EQ(FieldText(*objDocs, u"OD_Filename"_s), u"angebot.doc"_s);
    EXPECT_EQ(objDocs->field(u"OD_Date"_s).asDate(), QDate::currentDate());
    objDocs.reset();
    presenter.boxes.clear();
    presenter.answers = {false};
    EXPECT_FALSE(TransferKdDocToObjekt(docs(), 501));
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Der Satz ist bereits beim Objekt eingetragen!\rMöchten Sie den Satz "
                          u"trotzdem an das Objekt übergeben?"_s});
    presenter.answers = {true};
    EXPECT_TRUE(TransferKdDocToObjekt(docs(), 501));
    EXPECT_EQ(open(u"ObjDV.db"_s)->recordCount(), 2);
}

TEST_F(DocumentRows, TransferToTheCustomerNeedsOne) {
    addRow(u"ObjDV.db"_s, {{u"OD_ID"_s, 1}, {u"OD_ObjID"_s, 11}, {u"OD_Filename"_s, u"a.pdf"_s}});
    auto objDocs = open(u"ObjDV.db"_s);
    objDocs->first();
    EXPECT_FALSE(TransferObjDocToKunde(*objDocs, 0));
    EXPECT_FALSE(TransferObjDocToKunde(*objDocs, 777));
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{u"Dem Objekt ist kein Kunde zugewiesen!"_s, u"Unbekannter Kunde!"_s}));
    ASSERT_TRUE(TransferObjDocToKunde(*objDocs, 102));
    auto kdDocs = open(u"KundDV.DB"_s);
    ASSERT_TRUE(kdDocs->locate({u"OD_Filename"_s}, {u"a.pdf"_s}));
    EXPECT_EQ(FieldInt(*kdDocs, u"OD_KundID"_s), 2);
    EXPECT_EQ(FieldInt(*kdDocs, u"OD_ID"_s), 7);
}

} // namespace
