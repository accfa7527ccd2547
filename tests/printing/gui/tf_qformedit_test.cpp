#include "core/data/layoutfiles.h"
#include "core/gui/modaldriver.h"
#include "designerfixture.h"
#include "platform/report/pagemodel.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbedit.h"
#include "printing/gui/tf_qformedit.h"
#include "printing/gui/tf_repgen.h"
#include "printing/printformmanager.h"
#include "printing/reportentry.h"

#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Kind = MessagePresenter::Kind;
using printingtest::kTestFormType;

class QformEditTest : public printingtest::DesignerFixture {
protected:
    void TearDown() override {
        form.reset();
        cursors = {};
        DesignerFixture::TearDown();
    }

    void addUserForm(int id, int type, const QString& comment) {
        addRow(QStringLiteral("QrFrmDef.DB"), {{QStringLiteral("QF_ID"), id},
                                               {QStringLiteral("Q_FormType"), type},
                                               {QStringLiteral("Q_Protect"), false},
                                               {QStringLiteral("Q_Filename"), LayoutFileName(id)},
                                               {QStringLiteral("Q_Comment"), comment}});
    }
    // The manager, shown and active so that its keys reach it, on a form type.
    TF_QformEdit& open(int formType) {
        cursors = MakePrintFormCursors();
        cursors.system->open();
        cursors.user->open();
        form = std::make_unique<TF_QformEdit>(*cursors.system, *cursors.user);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        selectType(formType);
        return *form;
    }
    void selectType(int formType) {
        table::Table& system = *cursors.system;
        for (system.first(); !system.eof(); system.next())
            if (system.value(QStringLiteral("Q_FormType")).toInt() == formType)
                return;
        ADD_FAILURE() << "no form type " << formType;
    }
    void click(const QString& caption) {
        QPushButton* b = form->button(caption);
        ASSERT_NE(b, nullptr) << caption.toStdString();
        ASSERT_TRUE(b->isEnabled()) << caption.toStdString();
        b->click();
    }
    bool enabled(const QString& caption) { return form->button(caption)->isEnabled(); }
    QStringList userRows() {
        QStringList rows;
        QAbstractItemModel* model = form->userGrid()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << model->index(row, 0).data().toString();
        return rows;
    }
    table::Table& user() { return *cursors.user; }
    int userId() { return user().value(QStringLiteral("QF_ID")).toInt(); }

    PrintFormCursors cursors;
    std::unique_ptr<TF_QformEdit> form;
};

TEST_F(QformEditTest, TheCatalogueShowsTheUserFormsOfTheSelectedType) {
    addUserForm(10001, 10000, QStringLiteral("Rechnung mit Logo"));
    addUserForm(10002, 10000, QStringLiteral("Rechnung schlicht"));
    addUserForm(12001, 12000, QStringLiteral("Angebot"));
    TF_QformEdit& f = open(10000);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Druckformulare verwalten"));
    QAbstractItemModel* systemModel = f.systemGrid()->model();
    EXPECT_EQ(systemModel->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Grundformular"));
    EXPECT_TRUE(f.systemGrid()->font().bold());
    // Sorted by name, system rows only.
    QStringList names;
    for (int row = 0; row < systemModel->rowCount(); ++row)
        names << systemModel->index(row, 0).data().toString();
    EXPECT_TRUE(names.contains(QStringLiteral("Rechnungsformular")));
    EXPECT_FALSE(names.contains(QStringLiteral("Angebot")));
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    EXPECT_EQ(names.first(), sorted.first());

    EXPECT_EQ(f.userGrid()->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Benutzerdefinierte Formulare"));
    EXPECT_EQ(userRows(), (QStringList{QStringLiteral("Rechnung mit Logo"),
                                       QStringLiteral("Rechnung schlicht")}));
    EXPECT_EQ(f.fileNameField()->text(), QStringLiteral("ORM10001.QFD"));
    selectType(12000);
    EXPECT_EQ(userRows(), QStringList{QStringLiteral("Angebot")});
    EXPECT_EQ(f.fileNameField()->text(), QStringLiteral("ORM12001.QFD"));
    selectType(13000);
    EXPECT_TRUE(userRows().isEmpty());
}

TEST_F(QformEditTest, ButtonsFollowTheCurrentRowTheEditAndTheRights) {
    addUserForm(10001, 10000, QStringLiteral("Rechnung"));
    open(13000);
    for (const char* caption :
         {"&Kopieren", "&Bearbeiten", "Kopf-Kopie", "&Löschen", "Überneh&men", "&Abbrechen"})
        EXPECT_FALSE(enabled(QString::fromUtf8(caption))) << caption;
    EXPECT_TRUE(enabled(QStringLiteral("&Neu")));
    EXPECT_TRUE(enabled(QStringLiteral("&Importieren")));
    EXPECT_TRUE(enabled(QStringLiteral("&?Info?")));
    // The layouts' backup waits for the data-safety side.
    QPushButton* backup = form->button(QStringLiteral("Formular-Layouts sichern"));
    EXPECT_FALSE(backup->isEnabled());
    EXPECT_EQ(
        backup->toolTip(),
        QStringLiteral("Noch nicht verfügbar: wartet auf die Sicherung der Formular-Layouts."));

    selectType(10000);
    for (const char* caption : {"&Kopieren", "&Bearbeiten", "Kopf-Kopie", "&Löschen"})
        EXPECT_TRUE(enabled(QString::fromUtf8(caption))) << caption;
    click(QStringLiteral("&Neu"));
    EXPECT_TRUE(enabled(QStringLiteral("Überneh&men")));
    EXPECT_TRUE(enabled(QStringLiteral("&Abbrechen")));
    EXPECT_FALSE(enabled(QStringLiteral("&Kopieren")));
    EXPECT_TRUE(enabled(QStringLiteral("&Bearbeiten")));
    click(QStringLiteral("&Abbrechen"));
    EXPECT_FALSE(enabled(QStringLiteral("&Abbrechen")));
    form.reset();

    // Read right only: nothing that writes.
    CurrentUser.rights.set(61, rbView);
    open(10000);
    for (const char* caption :
         {"&Neu", "&Kopieren", "&Importieren", "&Bearbeiten", "Kopf-Kopie", "&Löschen"})
        EXPECT_FALSE(enabled(QString::fromUtf8(caption))) << caption;
}

TEST_F(QformEditTest, NewRowsTakeTheNextIdAndAreSavedByF10) {
    writeLayout(QStringLiteral("ORM10002.QFD"), QStringLiteral("FRMTITLE:verwaist\r\n"));
    addUserForm(10001, 10000, QStringLiteral("Rechnung"));
    TF_QformEdit& f = open(10000);
    click(QStringLiteral("&Neu"));
    EXPECT_EQ(userId(), 10003);
    EXPECT_EQ(f.fileNameField()->text(), QStringLiteral("ORM10003.QFD"));
    EXPECT_TRUE(f.userGrid()->hasFocus());
    // The user types the description into the grid: the first key opens the
    // cell's editor, which takes the rest; F10 saves it with the row.
    QTest::keyClick(f.userGrid(), 'R');
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("echnung kurz"));
    QTest::keyClick(&f, Qt::Key_F10);
    EXPECT_FALSE(user().isEditing());
    EXPECT_EQ(userRows(),
              (QStringList{QStringLiteral("Rechnung"), QStringLiteral("Rechnung kurz")}));
    // No layout file yet: the designer's first save makes it.
    EXPECT_FALSE(QFile::exists(QrfdDir + QStringLiteral("ORM10003.QFD")));
}

TEST_F(QformEditTest, ACopyCancelledByAltBackspaceLeavesItsFileForTheNextIdToSkip) {
    addUserForm(10001, 10000, QStringLiteral("Rechnung"));
    writeLayout(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    TF_QformEdit& f = open(10000);
    click(QStringLiteral("&Kopieren"));
    EXPECT_EQ(userId(), 10002);
    EXPECT_EQ(user().value(QStringLiteral("Q_Comment")).toString(), QStringLiteral("Rechnung"));
    QTest::keyClick(&f, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_FALSE(user().isEditing());
    EXPECT_EQ(userRows(), QStringList{QStringLiteral("Rechnung")});
    EXPECT_TRUE(QFile::exists(QrfdDir + QStringLiteral("ORM10002.QFD")));
    click(QStringLiteral("&Neu"));
    EXPECT_EQ(userId(), 10003);
}

TEST_F(QformEditTest, DeleteAsksThenRemovesRowAndLayout) {
    addUserForm(10001, 10000, QStringLiteral("Rechnung"));
    writeLayout(QStringLiteral("ORM10001.QFD"), QStringLiteral("FRMTITLE:Rechnung\r\n"));
    open(10000);
    presenter.answers = {false};
    click(QStringLiteral("&Löschen"));
    EXPECT_EQ(userRows(), QStringList{QStringLiteral("Rechnung")});
    presenter.answers = {true};
    click(QStringLiteral("&Löschen"));
    EXPECT_EQ(presenter.texts(Kind::Question), (QStringList{QStringLiteral("Datensatz löschen?"),
                                                            QStringLiteral("Datensatz löschen?")}));
    EXPECT_TRUE(userRows().isEmpty());
    EXPECT_FALSE(QFile::exists(QrfdDir + QStringLiteral("ORM10001.QFD")));
    EXPECT_FALSE(enabled(QStringLiteral("&Löschen")));
}

TEST_F(QformEditTest, HeadCopyByTypeAndImportRefreshesTheList) {
    addUserForm(37001, 37000, QStringLiteral("Liste"));
    open(37000);
    click(QStringLiteral("Kopf-Kopie"));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Funktion ist für dieses Formular nicht erlaubt!")});

    // Layouts from another directory appear under their type at once.
    const QString other = path(QStringLiteral("andere/"));
    QDir().mkpath(other);
    QFile file(other + QStringLiteral("ORM37005.QFD"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("FRMTITLE:Importiert\r\n");
    file.close();
    form->setDirectoryChooser([other] { return other; });
    presenter.answers = {true, false};
    click(QStringLiteral("&Importieren"));
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 1 Layouts importiert!")});
    EXPECT_EQ(userRows(), (QStringList{QStringLiteral("Liste"), QStringLiteral("Importiert")}));
}

TEST_F(QformEditTest, EditPostsTheRowAndOpensTheDesignerBesideTheManager) {
    TF_QformEdit& f = open(10000);
    f.move(100, 50);
    QStringList calls;
    f.setDesigner([&](int type, const QString& title, const QString& layout, int left, int top) {
        calls << QStringLiteral("%1 %2 %3 %4 %5").arg(type).arg(title, layout).arg(left).arg(top);
        EXPECT_FALSE(user().isEditing());
    });
    click(QStringLiteral("&Neu"));
    user()[QStringLiteral("Q_Comment")] = QStringLiteral("Meine Rechnung");
    click(QStringLiteral("&Bearbeiten"));
    EXPECT_EQ(calls, QStringList{QStringLiteral("10000 Meine Rechnung %1 %2 %3")
                                     .arg(QrfdDir + QStringLiteral("ORM10001.QFD"))
                                     .arg(f.x() + 42)
                                     .arg(f.y())});
    EXPECT_EQ(userRows(), QStringList{QStringLiteral("Meine Rechnung")});
}

// From the manager through the designer to the print: what the designer
// saved is what the next print of that form shows.
TEST_F(QformEditTest, ALayoutDesignedFromTheManagerIsPrinted) {
    open(kTestFormType);
    click(QStringLiteral("&Neu"));
    user()[QStringLiteral("Q_Comment")] = QStringLiteral("Einheiten kurz");
    QTest::keyClick(form.get(), Qt::Key_F10);
    const QString layout = UserFormLayoutPath(user());

    WhenModalShown([](QWidget* modal) {
        auto* designer = qobject_cast<TF_RepGen*>(modal);
        ASSERT_NE(designer, nullptr);
        QTableWidget* list = designer->controlList();
        for (int row = 0; row < list->rowCount(); ++row)
            if (list->item(row, 0)->text() == QStringLiteral("L_Nr"))
                designer->ToggleRow(row);
        designer->saveButton()->click();
        designer->reject();
    });
    click(QStringLiteral("&Bearbeiten"));
    EXPECT_EQ(presenter.texts(Kind::Info),
              (QStringList{QStringLiteral("Neue Formulardefinition wird erzeugt!"),
                           QStringLiteral("Layout gespeichert.")}));
    ASSERT_TRUE(QFile::exists(layout));

    QStringList printed;
    const ReportOutput previous = SetReportOutput([&](report::Report& rep, bool, QWidget*) {
        for (const report::Page& page : report::paginate(rep).pages)
            for (const report::PageItem& item : page.items)
                if (const auto* text = std::get_if<report::TextItem>(&item))
                    printed << text->text;
    });
    ReportEntryBusy busy;
    RunReportEntry(busy, {kTestFormType, true, layout, {}, {}, nullptr});
    SetReportOutput(previous);
    EXPECT_TRUE(printed.contains(QStringLiteral("Mengeneinheiten")));
    EXPECT_FALSE(printed.contains(QStringLiteral("Nr.")));
}

} // namespace
