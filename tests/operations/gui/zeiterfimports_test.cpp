#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "operations/gui/importprogress.h"
#include "operations/gui/operationsmodules.h"
#include "operations/gui/tf_chipdrive.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/zeiterfformfixture.h"
#include "operations/tariffmapscope.h"
#include "operations/timerecordservice.h"
#include "platform/table/table.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

using operationstest::kDay;

// The time-entry window of ZeiterfForm with the imports registered as the
// program registers them, and an import/export directory, a program
// directory and a clock directory of the test's own.
class ZeiterfImports : public operationstest::ZeiterfForm {
protected:
    void SetUp() override {
        ZeiterfForm::SetUp();
        grant(kZeiterfRight);
        grant(kChipdriveRight);
        RegisterOperationsModules(dispatcher);
        m_savedImEx = ImExDir;
        m_savedProgram = ProgramDir;
        ImExDir = path(u"Imex0001/"_s);
        ProgramDir = path(u"prog/"_s);
        clockDir = path(u"Chipdrive/"_s);
        for (const QString& dir : {ImExDir, ProgramDir, clockDir})
            QDir().mkpath(dir);
    }
    void TearDown() override {
        ImExDir = m_savedImEx;
        ProgramDir = m_savedProgram;
        ZeiterfForm::TearDown();
    }
    static void write(const QString& fullPath, const QStringList& lines) {
        QDir().mkpath(QFileInfo(fullPath).absolutePath());
        ASSERT_TRUE(WriteTextDataFile(fullPath, lines));
    }
    int selectedEmployee() { return FieldInt(dm->TabPersonal(), u"P_Nr"_s); }

    ModuleDispatcher dispatcher;
    QString clockDir;
    operationstest::TariffMapScope map;

private:
    QString m_savedImEx, m_savedProgram;
};

TEST_F(ZeiterfImports, Import1TakesTheMonthAndTheWindowShowsItsDayAndEmployeeAgain) {
    write(ImExDir + u"Zeiterf.dat"_s,
          {u"2026/03"_s, u"12;8;10;1;2,5;31,25;Treppenhaus"_s, u"13;8;0;2;1;15;"_s});
    showForm();
    QPushButton* import = form->button(u"sbtnImport"_s);
    ASSERT_TRUE(import->isEnabled());
    presenter.answers = {false}; // "vorhandene Datensätze löschen?"
    import->click();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Möchten Sie vorhandene Datensätze löschen?"_s});
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Der Datenimport ist beendet."_s});
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(form->formDate(), kDay);
    EXPECT_EQ(form->datePicker().date(), kDay);
    EXPECT_EQ(selectedEmployee(), 7);
    EXPECT_TRUE(form->records().table().isEmpty());
    // Employee 8's day shows what was imported.
    dm->TabPersonal().next();
    form->SetDayFilter(QDate(2026, 3, 12));
    EXPECT_EQ(form->records().table().recordCount(), 1);
    EXPECT_EQ(form->sumHoursText(9), u"3,50 Std"_s);
}

TEST_F(ZeiterfImports, Import2AsksForThePeriodAndAppliesThePattern) {
    write(ImExDir + u"Zewtag.dat"_s, {u"2;7;10;1;2;24;Dienstag"_s});
    showForm();
    bool proposed = false;
    WhenModalShown([&](QWidget* modal) {
        auto* range = qobject_cast<TF_DateRangeDlg*>(modal);
        ASSERT_NE(range, nullptr);
        const QDate today = QDate::currentDate();
        proposed =
            range->editVonDatum()->text() ==
                QDate(today.year(), today.month(), 1).toString(u"dd.MM.yyyy"_s) &&
            range->editBisDatum()->text() ==
                QDate(today.year(), today.month(), today.daysInMonth()).toString(u"dd.MM.yyyy"_s);
        range->editVonDatum()->setText(u"01.03.2026"_s);
        range->editBisDatum()->setText(u"31.03.2026"_s);
        range->okButton()->click();
    });
    presenter.answers = {true};
    form->button(u"SpeedButton3"_s)->click();
    EXPECT_TRUE(proposed);
    // The Tuesdays of March 2026.
    EXPECT_EQ(records(), 5);
    EXPECT_EQ(form->records().table().recordCount(), 1);
    EXPECT_EQ(form->formDate(), kDay);
}

TEST_F(ZeiterfImports, Import2EndsQuietlyWhenThePeriodIsCancelled) {
    write(ImExDir + u"Zewtag.dat"_s, {u"2;7;10;1;2;24;Dienstag"_s});
    showForm();
    WhenModalShown([](QWidget* modal) {
        auto* range = qobject_cast<TF_DateRangeDlg*>(modal);
        ASSERT_NE(range, nullptr);
        range->cancelButton()->click();
    });
    form->button(u"SpeedButton3"_s)->click();
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(records(), 0);
}

TEST_F(ZeiterfImports, WithoutTheCreateRightTheImportsAskNothing) {
    CurrentUser.rights.set(kZeiterfRight, 0x01);
    write(ImExDir + u"Zeiterf.dat"_s, {u"2026/03"_s, u"12;8;10;1;2,5;31,25;"_s});
    showForm();
    form->button(u"sbtnImport"_s)->click();
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    EXPECT_EQ(records(), 0);
}

TEST_F(ZeiterfImports, TheProgressWindowsCancelStopsTheImport) {
    ImportProgressWindow window(nullptr, u"Datensatz %1 von %2"_s);
    TimeImportProgress progress = window.progress();
    progress.start(10);
    ASSERT_NE(window.dialog(), nullptr);
    EXPECT_TRUE(progress.step(10));
    EXPECT_EQ(window.dialog()->labelText(), u"Datensatz 10 von 10"_s);
    window.dialog()->cancel();
    EXPECT_FALSE(progress.step(10));
    progress.finish();
    EXPECT_EQ(window.dialog(), nullptr);
}

// A clock directory with one person (clock 17 = employee 7), and the map
// kept for it.
class ChipDrive : public ZeiterfImports {
protected:
    void SetUp() override {
        ZeiterfImports::SetUp();
        QStringList fields(22, u"x"_s);
        fields[2] = u"17"_s;
        fields[20] = u"7"_s;
        write(clockDir + u"Personen.txt"_s, {fields.join(u',')});
        write(clockDir + u"RateStd.txt"_s, {u"00;06:00 00,08:00 01"_s});
        write(clockDir + u"Ratedef.Txt"_s, {u"00 Normal"_s, u"01 Überstunden"_s});
        write(clockDir + u"Url_krnk/  17_UK.txt"_s, {u"2026;03;a,a,a"_s});
        write(clockDir + u"Export/  17_2603_Mrz.txt"_s, {u"10 07:00,a,b,c,K,(10),02:00"_s});
        write(ImExDir + u"Cdtarif.txt"_s, {clockDir, u"00,01,Normal"_s, u"01,03,Überstunden"_s});
    }
    // Runs work on the dialog once "Chipdrive" opened it.
    void withDialog(const std::function<void(TF_ChipDrive&)>& work) {
        EXPECT_TRUE(whenShown<TF_ChipDrive>(
            [&](TF_ChipDrive& dialog) {
                work(dialog);
                if (dialog.isVisible())
                    dialog.reject();
            },
            [this] { form->button(u"sbtnChipdrive"_s)->click(); }));
    }
};

TEST_F(ChipDrive, ShowsTheMapImportsTheMonthAndTheWindowShowsItsDayAgain) {
    showForm();
    withDialog([&](TF_ChipDrive& dialog) {
        EXPECT_EQ(dialog.windowTitle(), u"Chipdrive-Anbindung"_s);
        EXPECT_EQ(dialog.importPathEdit().text(), clockDir);
        EXPECT_FALSE(dialog.invalidPathLabel().isVisible());
        EXPECT_EQ(dialog.tariffEdit(1).text(), u"Überstunden"_s);
        EXPECT_EQ(dialog.timeTypeBox(1).currentIndex(), 2);
        EXPECT_FALSE(dialog.timeTypeBox(2).isEnabled());
        EXPECT_TRUE(dialog.button(u"BitBtn2"_s)->isVisible());
        EXPECT_TRUE(dialog.button(u"BitBtn4"_s)->isVisible());
        const QDate today = QDate::currentDate();
        EXPECT_EQ(dialog.yearEdit().text(), QString::number(today.year()));
        // Back to March 2026.
        while (dialog.month().year * 12 + dialog.month().month > 2026 * 12 + 3)
            dialog.findChild<QToolButton*>(u"ToolbtnBack"_s)->click();
        while (dialog.month().year * 12 + dialog.month().month < 2026 * 12 + 3)
            dialog.findChild<QToolButton*>(u"ToolBtnForward"_s)->click();
        EXPECT_EQ(dialog.monthEdit().text(), u"März"_s);
        dialog.button(u"BitBtn4"_s)->click();
        const QStringList protocol = dialog.protocolMemo().toPlainText().split(u'\n');
        EXPECT_EQ(protocol.first(), u"Datum       Pnr Objekt Dauer Zeitart"_s);
        EXPECT_TRUE(protocol.contains(u"10.03.2026    7     10 01:00 Normalstunden"_s));
        EXPECT_TRUE(protocol.contains(u"10.03.2026    7     10 01:00 Überstunden 50 %"_s));
        EXPECT_TRUE(dialog.button(u"BitBtn4"_s)->isEnabled());
        dialog.button(u"BitBtn1"_s)->click();
    });
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Der Datenimport ist beendet."_s});
    // The time grid shows the picker's day with what the clock booked.
    EXPECT_EQ(form->formDate(), kDay);
    EXPECT_EQ(form->records().table().recordCount(), 2);
}

TEST_F(ChipDrive, AChangedTypeIsSavedWithOkOnly) {
    showForm();
    withDialog([](TF_ChipDrive& dialog) {
        dialog.timeTypeBox(0).setCurrentIndex(4);
        EXPECT_TRUE(dialog.mapChanged());
        dialog.button(u"BitBtn3"_s)->click();
    });
    QFile stored(ImExDir + u"Cdtarif.txt"_s);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll().contains("00,01,Normal"));
    stored.close();
    withDialog([](TF_ChipDrive& dialog) {
        EXPECT_EQ(dialog.timeTypeBox(0).currentIndex(), 0);
        dialog.timeTypeBox(0).setCurrentIndex(4);
        dialog.button(u"BitBtn1"_s)->click();
    });
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll().contains("00,05,Normal"));
}

TEST_F(ChipDrive, ReadingTheClocksTariffsAgainAsksFirstAndAChosenPathIsKept) {
    showForm();
    withDialog([&](TF_ChipDrive& dialog) {
        presenter.answers = {false};
        dialog.button(u"BitBtn2"_s)->click();
        EXPECT_EQ(dialog.timeTypeBox(1).currentIndex(), 2);
        presenter.answers = {true};
        dialog.button(u"BitBtn2"_s)->click();
        EXPECT_EQ(dialog.timeTypeBox(1).currentIndex(), 0);
        EXPECT_EQ(presenter.texts(Kind::Question).size(), 2);

        dialog.chooseImportPath(path(u"nirgends"_s));
        EXPECT_FALSE(dialog.invalidPathLabel().isHidden());
        dialog.chooseImportPath(clockDir);
        EXPECT_TRUE(dialog.invalidPathLabel().isHidden());
        dialog.button(u"BitBtn3"_s)->click();
    });
    EXPECT_EQ(ChipDriveImportPath, clockDir);
}

TEST_F(ChipDrive, ReturnInThePathFieldTakesThePathAndKeepsTheDialogOpen) {
    QFile::remove(ImExDir + u"Cdtarif.txt"_s);
    presenter.boxes.clear();
    showForm();
    withDialog([&](TF_ChipDrive& dialog) {
        // Without a map and a path the dialog asks for the path first.
        EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
        EXPECT_FALSE(dialog.invalidPathLabel().isHidden());
        dialog.importPathEdit().setFocus();
        dialog.importPathEdit().setText(clockDir);
        QTest::keyClick(&dialog.importPathEdit(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.invalidPathLabel().isHidden());
        EXPECT_EQ(dialog.tariffEdit(1).text(), u"Überstunden"_s);
        dialog.button(u"BitBtn3"_s)->click();
    });
    EXPECT_TRUE(QFile::exists(ImExDir + u"Cdtarif.txt"_s));
}

TEST_F(ChipDrive, TheButtonsFollowTheRights) {
    CurrentUser.rights.set(kChipdriveRight, 0x01);
    CurrentUser.rights.set(kZeiterfRight, 0x01);
    showForm();
    withDialog([](TF_ChipDrive& dialog) {
        EXPECT_FALSE(dialog.button(u"BitBtn2"_s)->isVisible());
        EXPECT_FALSE(dialog.button(u"BitBtn4"_s)->isVisible());
    });
}

} // namespace
