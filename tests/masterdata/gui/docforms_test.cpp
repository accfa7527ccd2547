#include "core/data/dbhelpers.h"
#include "core/files/filedialogfilter.h"
#include "core/messages/manuals.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/docforms.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// Customer 101 with a file row, a web row and a row of another customer;
// scripted file dialogs and a recording desktop.
class DocForms : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        ASSERT_TRUE(files.isValid());
        root = QDir(files.path()).canonicalPath();
        QDir(root).mkpath(u"alt"_s);
        QDir(root).mkpath(u"neu"_s);
        QFile plan(root + u"/neu/plan.pdf"_s);
        ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 101}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 102}});
        addDoc(1, 1, 0, u"Angebot"_s, root + u"/alt/"_s, u"angebot.doc"_s, u"File://"_s);
        addDoc(2, 1, 2, u"Web"_s, QString(), u"www.example.com"_s, u"Http://"_s);
        addDoc(3, 1, 0, u"Vertrag"_s, root + u"/alt/"_s, u"vertrag.doc"_s, u"File://"_s);
        addDoc(4, 2, 0, u"Fremd"_s, root + u"/alt/"_s, u"fremd.doc"_s, u"File://"_s);
        dm->TabKunden().open();
        ASSERT_TRUE(dm->TabKunden().locate({u"K_ID"_s}, {1}));
        m_dialogs = SetDocFileDialogs(
            {[this](QWidget*, const QString& dir, const QString& file, const QString& filters) {
                 asked << dir << file << filters;
                 return chosenFile;
             },
             [this](QWidget*, const QString& dir) {
                 asked << dir;
                 return chosenFolder;
             }});
        m_opener = SetDocumentOpener([this](const QString& target, DocumentVerb) {
            opened << target;
            return true;
        });
    }
    void TearDown() override {
        SetDocFileDialogs(m_dialogs);
        SetDocumentOpener(m_opener);
        TableFormTest::TearDown();
    }
    void addDoc(int id, int owner, int type, const QString& text, const QString& path,
                const QString& file, const QString& prefix) {
        addRow(u"KundDV.DB"_s, {{u"OD_ID"_s, id},
                                {u"OD_KundID"_s, owner},
                                {u"OD_Type"_s, type},
                                {u"OD_Kurztext"_s, text},
                                {u"OD_Path"_s, path},
                                {u"OD_Filename"_s, file},
                                {u"OD_Prefix"_s, prefix}});
    }
    // Opens the customer documents and runs work on the row with key id.
    void onRow(int id, const std::function<void(TF_TableForm&)>& work) {
        ASSERT_TRUE(whenFormShown(
            [&](TF_TableForm& form) {
                EXPECT_TRUE(form.table().locate({u"OD_ID"_s}, {id}));
                work(form);
                form.close();
            },
            [] { ShowKdDokuForm(); }));
    }
    QString stored(int id, const QString& field) {
        auto t = open(u"KundDV.DB"_s);
        t->locate({u"OD_ID"_s}, {id});
        return FieldText(*t, field);
    }

    QTemporaryDir files;
    QString root;
    QStringList asked, opened;
    QString chosenFile, chosenFolder;

private:
    DocFileDialogs m_dialogs;
    DocumentOpener m_opener;
};

TEST_F(DocForms, CaptionListAndSortOfTheOwnersDocuments) {
    ASSERT_TRUE(whenFormShown(
        [&](TF_TableForm& form) {
            EXPECT_EQ(form.objectName(), u"TF_KdDoku"_s);
            EXPECT_EQ(form.windowTitle(), u"Dokumenten-Verwaltung  [Kunde 101]"_s);
            EXPECT_EQ(form.table().recordCount(), 3);
            EXPECT_TRUE(form.table().indexFieldNames().contains(u"OD_Gruppe"_s));
            EXPECT_FALSE(dm->IsTimerWorkEnabled());
            EXPECT_TRUE(dm->TabDvGroups().isOpen());
            form.close();
        },
        [] { ShowKdDokuForm(); }));
    EXPECT_TRUE(dm->IsTimerWorkEnabled());
    EXPECT_FALSE(dm->TabKdDV().isOpen());
    const auto kept =
        ReadFormPlacement(kPlacementFile01, u"DocKdVerw"_s, 0, {u"DBGrid1.Columns"_s});
    ASSERT_TRUE(kept.has_value());
    EXPECT_FALSE(kept->properties.value(u"DBGrid1.Columns"_s).isEmpty());
}

TEST_F(DocForms, ShortTextOpensTheTargetAndReportsWhatIsMissing) {
    onRow(1, [&](TF_TableForm& form) {
        form.runColumnAction(u"OD_Kurztext"_s);
        const QString target = u"File://"_s + root + u"/alt/angebot.doc"_s;
        EXPECT_EQ(form.findChild<QLabel*>(u"lbTarget"_s)->text(), target);
        EXPECT_EQ(presenter.texts(Kind::Error),
                  QStringList{u"Datei "_s + target + u"\rist nicht vorhanden!"_s});
        EXPECT_TRUE(opened.isEmpty());
    });
    onRow(2, [&](TF_TableForm& form) { form.runColumnAction(u"OD_Kurztext"_s); });
    EXPECT_EQ(opened, QStringList{u"Http://www.example.com"_s});
}

TEST_F(DocForms, FileNameColumnChoosesAFileOrAsksForTheAddress) {
    chosenFile = root + u"/neu/plan.pdf"_s;
    onRow(1, [&](TF_TableForm& form) {
        form.table().edit();
        form.table()[u"OD_Mask"_s] = u"*,pdf"_s;
        form.runColumnAction(u"OD_Filename"_s);
        EXPECT_EQ(asked, (QStringList{root + u"/alt"_s, u"angebot.doc"_s,
                                      QtFilterString(u"(*.*)|*.*|(*.pdf)|*.pdf|"_s)}));
        EXPECT_EQ(FieldText(form.table(), u"OD_Path"_s), root + u"/neu/"_s);
        EXPECT_EQ(FieldText(form.table(), u"OD_Filename"_s), u"plan.pdf"_s);
        presenter.answers = {true}; // keep the change on closing
    });
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Möchten Sie die Änderungen speichern?"_s});
    EXPECT_EQ(stored(1, u"OD_Filename"_s), u"plan.pdf"_s);
    presenter.boxes.clear();
    onRow(2, [&](TF_TableForm& form) { form.runColumnAction(u"OD_Filename"_s); });
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{u"Geben Sie bitte eine gültige Website-Adresse manuell ein!\r"
                          u"Beispiel: www.example.com"_s});
}

TEST_F(DocForms, ChangesAreDiscardedWhenNotSaved) {
    onRow(3, [&](TF_TableForm& form) {
        form.table().edit();
        form.table()[u"OD_Kurztext"_s] = u"Neu"_s;
        presenter.answers = {false};
    });
    EXPECT_EQ(stored(3, u"OD_Kurztext"_s), u"Vertrag"_s);
}

TEST_F(DocForms, GroupChoiceTakesTheGroupsKind) {
    onRow(1, [&](TF_TableForm& form) {
        WhenModalShown([](QWidget* modal) {
            auto* lookup = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(lookup, nullptr);
            EXPECT_EQ(lookup->windowTitle(), u"Dokumenten-Gruppe auswählen"_s);
            ASSERT_TRUE(lookup->lookupTable()->locate({u"DG_ID"_s}, {9}));
            lookup->grid()->followCursor();
            lookup->btnOK()->click();
        });
        form.runColumnAction(u"OD_Gruppe"_s);
        EXPECT_EQ(FieldInt(form.table(), u"OD_GrID"_s), 9);
        EXPECT_EQ(FieldText(form.table(), u"OD_Gruppe"_s), u"Excel-Tabellen"_s);
        EXPECT_EQ(FieldText(form.table(), u"OD_Mask"_s), u"*,xls"_s);
        EXPECT_EQ(FieldText(form.table(), u"OD_Path"_s), root + u"/alt/"_s);
        form.table().cancel();
    });
}

TEST_F(DocForms, PathFieldMovesTheOwnersRowsToAnotherFolder) {
    chosenFolder = root + u"/neu"_s;
    onRow(1, [&](TF_TableForm& form) {
        presenter.answers = {true};
        QWidget* path = form.fields()->editor(u"OD_Path"_s);
        QTest::mouseDClick(path, Qt::LeftButton);
        EXPECT_EQ(asked, QStringList{root + u"/alt"_s});
        EXPECT_EQ(presenter.texts(Kind::Question),
                  QStringList{u"Alle Einträge mit gleichem Pfad korrigieren?"_s});
        EXPECT_EQ(FieldInt(form.table(), u"OD_ID"_s), 1);
    });
    EXPECT_EQ(stored(1, u"OD_Path"_s), root + u"/neu/"_s);
    EXPECT_EQ(stored(3, u"OD_Path"_s), root + u"/neu/"_s);
    EXPECT_EQ(stored(4, u"OD_Path"_s), root + u"/alt/"_s);
}

TEST_F(DocForms, EveryMemberShowsItsOwner) {
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1}, {u"O_Nr"_s, 501}, {u"O_Aktiv"_s, true}});
    addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 7}});
    for (table::Table* owner : {&dm->TabObjekt(), &dm->TabPersonal()}) {
        if (owner->isOpen())
            owner->refresh();
        else
            owner->open();
        owner->first();
    }
    const struct {
        void (*open)();
        const char* caption;
        const char* menu; // the context menu's transfer, empty: none
    } cases[] = {
        {&ShowKdDokuForm, "Dokumenten-Verwaltung  [Kunde 101]", "Satz an Objekt übergeben"},
        {&ShowObjDokuForm, "Dokumenten-Verwaltung  [Objekt 501]", "Satz an Kunden übergeben"},
        {&ShowPersDokuForm, "Dokumenten-Verwaltung  [Mitarbeiter 7]", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(whenFormShown(
            [&](TF_TableForm& form) {
                EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.caption));
                const QString menu = QString::fromUtf8(c.menu);
                if (menu.isEmpty()) {
                    EXPECT_EQ(form.contextMenu(), nullptr);
                } else {
                    ASSERT_NE(form.contextMenu(), nullptr);
                    EXPECT_EQ(form.contextMenu()->actions().value(0)->text(), menu);
                }
                form.close();
            },
            c.open));
    }
}

} // namespace
