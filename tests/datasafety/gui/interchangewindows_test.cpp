#include "../interchange/interchangefixture.h"
#include "core/gui/modaldriver.h"
#include "datasafety/gui/interchangewindows.h"
#include "datasafety/gui/runwindow.h"
#include "datasafety/gui/tf_editexport.h"
#include "datasafety/gui/tf_export.h"
#include "datasafety/interchange/importrun.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// Notes the data module's import mode whenever a box appears.
struct ModeWatcher : frametest::ObservingPresenter {
    explicit ModeWatcher(MessagePresenter& inner)
        : ObservingPresenter(inner, [this](Kind, const QString&) {
              importing << DataModule1().IsImportRunning();
          }) {}
    QList<bool> importing;
};

class InterchangeWindowsTest : public interchangetest::InterchangeFixture {
protected:
    // Closes the run window once its run is over; what it showed then.
    void closeWhenDone(QString* step, QString* record = nullptr) {
        WhenModalShown([step, record](QWidget* modal) {
            auto* window = qobject_cast<TF_RunWindow*>(modal);
            ASSERT_NE(window, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([window] { return window->finished(); }, 20000));
            EXPECT_FALSE(window->btnCancel->isVisible());
            EXPECT_TRUE(window->btnClose->isVisible());
            *step = window->Label1->text();
            if (record)
                *record = window->Label2->text();
            window->btnClose->click();
        });
    }
};

TEST_F(InterchangeWindowsTest, ImportRunsInItsWindowWithImportModeOnWhileItIsOpen) {
    addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 1001}, {u"K_Name1"_s, u"Alt"_s}});
    writeLines(u"Kunden.imp"_s, {u"1:K_Nr=Nummer>"_s, u"2:K_Name1=Name>"_s});
    writeLines(u"Kunden.asc"_s, {u"Nummer;Name"_s, u"1001;Neu"_s, u"1002;Zweiter"_s});
    // The customer list as a form shows it.
    widgets::DataSource source(dm->TabKunden());
    widgets::DataGrid grid(source);
    dm->TabKunden().open();
    grid.show();
    ASSERT_EQ(grid.model()->rowCount(), 1);

    ModeWatcher watcher(presenter);
    presenter.answers = {true};
    QString step, record;
    closeWhenDone(&step, &record);
    RunImport(dm->TabKunden(), u"Datenimport : Kundendaten"_s, u"Kunden.imp"_s, u"Kunden.asc"_s,
              u"K_Nr"_s);
    EXPECT_EQ(step, u"Datenimport ist beendet"_s);
    EXPECT_EQ(record, u"2 Datensätze übernommen"_s);
    EXPECT_EQ(watcher.importing, QList<bool>{true});
    EXPECT_FALSE(dm->IsImportRunning());
    // The open list shows the imported rows.
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(customerTexts(u"K_Name1"_s), (QStringList{u"1001=Neu"_s, u"1002=Zweiter"_s}));
}

TEST_F(InterchangeWindowsTest, ExportWindowReportsItsOutcome) {
    addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 1001}, {u"K_Name1"_s, u"Meier"_s}});
    writeLines(u"Kunden.exp"_s, {u"NOHEADER=TRUE"_s, u"DELIM="_s, u"1:K_Name1=Name>"_s});
    QString step;
    closeWhenDone(&step);
    EXPECT_TRUE(RunExport(dm->TabKunden(), u"Datenexport : Kundendaten"_s, u"Kunden.exp"_s,
                          u"Kunden.out"_s, QString(), 200, 200));
    EXPECT_EQ(step, u"Datenexport beendet"_s);
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("Meier\r\n"));

    closeWhenDone(&step);
    EXPECT_FALSE(RunExport(dm->TabKunden(), QString(), u"Kunden.exp"_s, u"Kunden.out"_s,
                           u"K_Nr>5000"_s, 0, 0));
    EXPECT_EQ(step, u"Datenexport fehlgeschlagen"_s);
    EXPECT_EQ(readFile(u"Kunden.out"_s), QByteArray("Meier\r\n"));
}

TEST_F(InterchangeWindowsTest, DefinitionEditorSavesOnOkOnly) {
    writeLines(u"Kunden.exp"_s, {u"DELIM=\""_s, u"1:K_Nr=Nummer>"_s});
    const QString file = ImExDir + u"Kunden.exp"_s;
    WhenModalShown([&file](QWidget* modal) {
        auto* editor = qobject_cast<TF_EditExport*>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->windowTitle(), u"Definitionen bearbeiten  ["_s + file + u']');
        EXPECT_EQ(editor->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(editor->Memo1->toPlainText(), u"DELIM=\"\n1:K_Nr=Nummer>"_s);
        editor->Memo1->setPlainText(u"DELIM=\n1:K_Nr=Nummer>00000"_s);
        editor->BitBtn1->click();
    });
    EXPECT_EQ(OpenDefinitionEditor(file, 10, 10), 1);
    EXPECT_EQ(readFile(file), QByteArray("DELIM=\r\n1:K_Nr=Nummer>00000\r\n"));

    WhenModalShown([](QWidget* modal) {
        auto* editor = qobject_cast<TF_EditExport*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->Memo1->setPlainText(u"verworfen"_s);
        editor->BitBtn3->click();
    });
    EXPECT_EQ(OpenDefinitionEditor(file, -1, -1), 2);
    EXPECT_EQ(readFile(file), QByteArray("DELIM=\r\n1:K_Nr=Nummer>00000\r\n"));
    EXPECT_THROW(OpenDefinitionEditor(ImExDir + u"Fehlt.exp"_s, 0, 0), DbError);
}

class GeneralExportFormTest : public interchangetest::InterchangeFixture {
protected:
    void SetUp() override {
        InterchangeFixture::SetUp();
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 1001}, {u"K_Name1"_s, u"Meier"_s}});
        form = std::make_unique<TF_Export>();
        form->show();
    }
    void TearDown() override {
        form.reset();
        InterchangeFixture::TearDown();
    }
    QStringList lineFields() {
        QStringList fields;
        table::Table& lines = form->lines();
        const table::Bookmark here = lines.bookmark();
        for (lines.first(); !lines.eof() && !lines.isEmpty(); lines.next())
            fields << lines.field(u"ES_FieldName"_s).asString();
        if (here.valid)
            lines.gotoBookmark(here);
        return fields;
    }
    std::unique_ptr<TF_Export> form;
};

TEST_F(GeneralExportFormTest, NewDefinitionLinesOrderAndRun) {
    EXPECT_EQ(form->windowTitle(), u"Datenbanken exportieren"_s);
    EXPECT_LE(form->width(), 1366);
    EXPECT_LE(form->frameGeometry().height(), 768 - 40);
    EXPECT_GT(form->DBGrid1->rowCount(), 50);
    form->listTable(u"Kunden.DB"_s);
    EXPECT_EQ(form->DBGrid2->item(0, 2)->text(), u"Ganzzahl"_s);
    form->heads().append();
    table::Table& heads = form->heads();
    EXPECT_EQ(heads.field(u"EK_Bezeich"_s).asString(), u"Export (Beweg) Kunden.DB"_s);
    EXPECT_EQ(heads.field(u"EK_Separ"_s).asString(), u";"_s);
    EXPECT_EQ(heads.field(u"EK_Delim"_s).asString(), u"\""_s);
    EXPECT_EQ(heads.field(u"EK_ExpName"_s).asString(), ImExDir + u"Kunden.TXT"_s);
    EXPECT_EQ(heads.field(u"EK_Databasename"_s).asString(), u"LumoDB"_s);
    EXPECT_FALSE(heads.field(u"EK_Headline"_s).asBooleanOr(true));
    form->addField(u"K_Nr"_s);
    form->addField(u"K_Name1"_s);
    form->addField(u"K_Ort"_s);
    EXPECT_EQ(lineFields(), (QStringList{u"K_Nr"_s, u"K_Name1"_s, u"K_Ort"_s}));

    // Moving at the ends changes nothing; in between the lines swap.
    form->lines().first();
    form->moveLine(true);
    EXPECT_EQ(lineFields(), (QStringList{u"K_Nr"_s, u"K_Name1"_s, u"K_Ort"_s}));
    form->moveLine(false);
    EXPECT_EQ(lineFields(), (QStringList{u"K_Name1"_s, u"K_Nr"_s, u"K_Ort"_s}));
    form->lines().last();
    form->moveLine(false);
    EXPECT_EQ(lineFields(), (QStringList{u"K_Name1"_s, u"K_Nr"_s, u"K_Ort"_s}));

    // A field of another table adds nothing and says why.
    form->listTable(u"Objekte.DB"_s);
    form->addField(u"O_Nr"_s);
    EXPECT_EQ(lineFields().size(), 3);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Sie können Felder unterschiedlicher Tabellen\rnicht in dieselbe "
                          u"Exportdefinition aufnehmen!\r\rFür die aktuelle Definition sind "
                          u"Felder aus\rder Tabelle \"Kunden.DB\" erforderlich.\r\rUm Felder "
                          u"der Tabelle \"Objekte.DB\" zu exportieren\rmüssen Sie eine neue "
                          u"Exportdefinition anlegen!\rClicken Sie dazu auf \"+\" im oberen "
                          u"Fenster!"_s});

    form->toggleHeadline();
    EXPECT_TRUE(heads.field(u"EK_Headline"_s).asBoolean());
    form->execute();
    EXPECT_EQ(form->Memo1->toPlainText(), u"\"K_Name1\";\"K_Nr\";\"K_Ort\"\n\"Meier\";1001;\"\""_s);
    EXPECT_EQ(readFile(u"Kunden.TXT"_s),
              QByteArray("\"K_Name1\";\"K_Nr\";\"K_Ort\"\r\n\"Meier\";1001;\"\"\r\n"));
}

TEST_F(GeneralExportFormTest, ExecuteShowsOnlyAFileThisRunWrote) {
    writeFile(u"Kunden.TXT"_s, "alte Datei\r\n");
    form->listTable(u"Kunden.DB"_s);
    form->heads().append();
    form->heads().field(u"EK_SourceFilter"_s).setValue(u"K_Nr>5000"_s);
    form->heads().post();
    form->addField(u"K_Nr"_s);
    form->Memo1->setPlainText(u"vorher"_s);
    form->execute();
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(readFile(u"Kunden.TXT"_s), QByteArray("alte Datei\r\n"));
}

TEST_F(GeneralExportFormTest, RunAndFieldWithoutDefinitionSayHowToMakeOne) {
    const QString hint =
        u"Legen Sie zuerst mit \"+\" im oberen Fenster eine Exportdefinition an!"_s;
    form->listTable(u"Kunden.DB"_s);
    form->Button1->click();
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{hint});
    form->addField(u"K_Nr"_s);
    EXPECT_EQ(presenter.texts(Kind::Error), (QStringList{hint, hint}));
    EXPECT_TRUE(column(u"ExpSatz.DB"_s, u"ES_Sort"_s).isEmpty());
}

TEST_F(GeneralExportFormTest, DeletingADefinitionDeletesItsLines) {
    form->listTable(u"Kunden.DB"_s);
    form->heads().append();
    form->heads().post();
    form->addField(u"K_Nr"_s);
    form->addField(u"K_Name1"_s);
    ASSERT_EQ(column(u"ExpSatz.DB"_s, u"ES_Sort"_s).size(), 2);
    form->heads().deleteRecord();
    EXPECT_TRUE(column(u"ExpSatz.DB"_s, u"ES_Sort"_s).isEmpty());
    EXPECT_TRUE(column(u"ExpKopf.DB"_s, u"EK_ID"_s).isEmpty());
}

} // namespace
