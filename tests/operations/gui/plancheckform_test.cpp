#include "core/data/datamodule.h"
#include "core/data/moduledbfixture.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "operations/gui/tf_plancheck.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Object 12 with activity 5 (pattern 135) and a Tuesday tour; object 13
// without tour.
class PlanCheckForm : public datatest::ModuleDbFixture {
protected:
    void SetUp() override {
        ModuleDbFixture::SetUp();
        for (const char* file : {"Objekte.DB", "ObjTaet.db", "TourObj.db", "Touren.db"})
            table::aliases::database(u"LumoDB"_s)->emptyTable(QString::fromLatin1(file));
        for (int nr : {12, 13})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr}, {u"O_Nr"_s, nr}, {u"O_Aktiv"_s, true}});
        addRow(u"Touren.db"_s, {{u"TO_ID"_s, 1}, {u"TO_Nr"_s, 1}, {u"TO_Wochentag"_s, 2}});
        addRow(u"TourObj.db"_s, {{u"T_TourID"_s, 1}, {u"TO_TourNr"_s, 1}, {u"TO_Objekt"_s, 12}});
        addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 1},
                                 {u"TS_Objekt"_s, 12},
                                 {u"TS_Taetigkeit"_s, 5},
                                 {u"TS_Wtag"_s, u"135"_s}});
        addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 2}, {u"TS_Objekt"_s, 13}, {u"TS_Taetigkeit"_s, 6}});
        createModule();
        m_savedTemp = TempDir;
        TempDir = path(u"Temp"_s);
        QDir().mkpath(TempDir);
    }
    void TearDown() override {
        TempDir = m_savedTemp;
        ModuleDbFixture::TearDown();
    }
    static QStringList expectedList() {
        return {u"Nicht planbare Objekt-Tätigkeiten"_s,
                QString(),
                u"ObjNr. T-Nr. Fehlerursache"_s,
                QString(60, u'-'),
                u"    12     5 Unpassende(r) Wochentag(e) [135]"_s,
                u"    13     6 Keine Tour-Zuordnung"_s};
    }

private:
    QString m_savedTemp;
};

TEST_F(PlanCheckForm, ListsOnFirstShowAndLeavesTheObjectFormsRecordAndEditAlone) {
    table::Table& objects = dm->TabObjekt();
    objects.open();
    ASSERT_TRUE(objects.locate({u"O_Nr"_s}, {12}));
    objects.edit();
    objects.field(u"O_Name1"_s).setValue(u"getippt"_s);
    TF_PlanCheck form;
    EXPECT_EQ(form.windowTitle(), u"Nicht planbare Objekttätigkeiten"_s);
    form.show();
    EXPECT_EQ(form.memo().toPlainText().split(u'\n'), expectedList());
    EXPECT_TRUE(objects.isEditing());
    EXPECT_EQ(objects.field(u"O_Nr"_s).asInteger(), 12);
    EXPECT_EQ(objects.field(u"O_Name1"_s).asString(), u"getippt"_s);
    // The user's edit survives another activation.
    form.memo().appendPlainText(u"geprüft"_s);
    form.hide();
    form.show();
    EXPECT_TRUE(form.memo().toPlainText().endsWith(u"geprüft"_s));
    objects.cancel();
}

TEST_F(PlanCheckForm, SavesTheEditedListAsWindowsTextThroughTheSaveDialog) {
    TF_PlanCheck form;
    form.show();
    form.memo().appendPlainText(u"Geprüft: Müller"_s);
    QString shownDir, shownName, filter;
    WhenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        shownDir = dialog->directory().absolutePath();
        shownName = dialog->selectedFiles().value(0);
        filter = dialog->nameFilters().join(u";;"_s);
        static_cast<QDialog*>(dialog)->accept();
    });
    form.saveClicked();
    EXPECT_EQ(shownDir, QDir(TempDir).absolutePath());
    EXPECT_TRUE(shownName.endsWith(u"/Plancheck.txt"_s)) << shownName.toStdString();
    EXPECT_EQ(filter, u"Textdateien (*.txt)"_s);
    QFile saved(QDir(TempDir).filePath(u"Plancheck.txt"_s));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QByteArray expected = "Nicht planbare Objekt-T\xe4tigkeiten\r\n\r\n"
                          "ObjNr. T-Nr. Fehlerursache\r\n";
    expected += QByteArray(60, '-') + "\r\n    12     5 Unpassende(r) Wochentag(e) [135]\r\n"
                                      "    13     6 Keine Tour-Zuordnung\r\n"
                                      "Gepr\xfc"
                                      "ft: M\xfcller\r\n";
    EXPECT_EQ(saved.readAll(), expected);
}

TEST_F(PlanCheckForm, PrintsUnderTheJobTitle) {
    TF_PlanCheck form;
    form.show();
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(u"plancheck.pdf"_s));
    form.printOn(printer);
    EXPECT_EQ(printer.docName(), u"Nicht planbare Objekt-Tätigkeiten"_s);
    EXPECT_GT(QFile(path(u"plancheck.pdf"_s)).size(), 0);
}

} // namespace
