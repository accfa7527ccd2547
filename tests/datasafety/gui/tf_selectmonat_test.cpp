#include "../accounting/accountingfixture.h"
#include "core/gui/modaldriver.h"
#include "datasafety/accounting/accountingexports.h"
#include "datasafety/gui/accountingwindows.h"
#include "datasafety/gui/runwindow.h"
#include "datasafety/gui/tf_selectmonat.h"
#include "datasafety/shippeddefinitions.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

class SelectMonthTest : public ::testing::Test {
protected:
    RegionalGuard regional;
};

TEST_F(SelectMonthTest, OffersTheMonthsAndTheYearsAndPreselectsTheGivenOnes) {
    TF_SelectMonat form;
    EXPECT_EQ(form.windowTitle(), u"Monat bestimmen"_s);
    EXPECT_EQ(form.Label1->text(), u"Daten an Fibu übergeben für: "_s);
    EXPECT_EQ(items(form.CbMonth),
              (QStringList{u"Januar"_s, u"Februar"_s, u"März"_s, u"April"_s, u"Mai"_s, u"Juni"_s,
                           u"Juli"_s, u"August"_s, u"September"_s, u"Oktober"_s, u"November"_s,
                           u"Dezember"_s}));
    form.start(3, 2024, 2022, 2026, u"Fibudaten übergeben für Monat:"_s);
    EXPECT_EQ(form.Label1->text(), u"Fibudaten übergeben für Monat:"_s);
    EXPECT_EQ(items(form.CbYear),
              (QStringList{u"2022"_s, u"2023"_s, u"2024"_s, u"2025"_s, u"2026"_s}));
    EXPECT_EQ(form.CbYear->currentText(), u"2024"_s);
    EXPECT_EQ(form.CbMonth->currentText(), u"März"_s);
    EXPECT_TRUE(form.BitBtn1->isEnabled());
    // Fits the smallest screen.
    EXPECT_LE(form.sizeHint().width(), 1366);
    EXPECT_LE(form.sizeHint().height(), 680);

    const struct {
        int month, year, minYear, maxYear;
        QString year_, month_;
    } cases[] = {
        {12, 2026, 2022, 2026, u"2026"_s, u"Dezember"_s},
        {1, 2030, 2022, 2026, u"2024"_s, u"Januar"_s}, // not offered: the third entry
        {13, 2021, 2020, 2021, u"2021"_s, u"Januar"_s},
        {5, 2030, 2020, 2021, u"2021"_s, u"Mai"_s}, // fewer than three: the last
    };
    for (const auto& c : cases) {
        form.start(c.month, c.year, c.minYear, c.maxYear, QString());
        EXPECT_EQ(form.CbYear->currentText(), c.year_) << c.year;
        EXPECT_EQ(form.CbMonth->currentText(), c.month_) << c.month;
    }
}

TEST_F(SelectMonthTest, OkTakesTheChoiceAndCancelLeavesBothAsTheyWere) {
    int month = 3, year = 2024;
    WhenModalShown([](QWidget* modal) {
        auto* form = qobject_cast<TF_SelectMonat*>(modal);
        ASSERT_NE(form, nullptr);
        form->CbMonth->setCurrentIndex(10);
        form->CbYear->setCurrentIndex(4);
        form->BitBtn3->click();
    });
    EXPECT_FALSE(SelectMonth(month, year, 2022, 2026, u"Lohndaten übergeben für Monat:"_s));
    EXPECT_EQ(month, 3);
    EXPECT_EQ(year, 2024);

    QString shownLabel;
    WhenModalShown([&shownLabel](QWidget* modal) {
        auto* form = qobject_cast<TF_SelectMonat*>(modal);
        ASSERT_NE(form, nullptr);
        shownLabel = form->Label1->text();
        form->CbMonth->setCurrentIndex(10);
        form->CbYear->setCurrentIndex(4);
        form->BitBtn1->click();
    });
    EXPECT_TRUE(SelectMonth(month, year, 2022, 2026, u"Lohndaten übergeben für Monat:"_s));
    EXPECT_EQ(shownLabel, u"Lohndaten übergeben für Monat:"_s);
    EXPECT_EQ(month, 11);
    EXPECT_EQ(year, 2026);
}

// The invoice export with its real windows: the month picker, the journal
// list's preview (captured), the export window and the marking question.
class AccountingWindowsTest : public accountingtest::AccountingFixture {
protected:
    void SetUp() override {
        AccountingFixture::SetUp();
        m_saved = AccountingExportUiRegistry();
        AccountingExportUiRegistry() = {};
        EnsureShippedDefinitions(ImExDir);
        InitPrinting();
        m_savedOutput = SetReportOutput([this](report::Report&, bool preview, QWidget*) {
            previews << preview;
            markedAtPrint = journalWith(u"R_Selected"_s);
        });
    }
    void TearDown() override {
        SetReportOutput(m_savedOutput);
        AccountingExportUiRegistry() = m_saved;
        AccountingFixture::TearDown();
    }

    QList<bool> previews;
    QStringList markedAtPrint;

private:
    AccountingExportUi m_saved;
    ReportOutput m_savedOutput;
};

TEST_F(AccountingWindowsTest, TheInvoiceExportRunsThroughItsWindows) {
    EXPECT_FALSE(IsAccountingExportInstalled());
    InstallAccountingExportWindows();
    EXPECT_TRUE(IsAccountingExportInstalled());
    // The picker starts on this year.
    const int year = QDate::currentDate().year();
    booking(1, 0, u"RE-1"_s, QDate(year, 3, 5));
    booking(2, 0, u"RE-2"_s, QDate(year, 4, 5));

    QString step, runCaption;
    WhenModalShown([&step, &runCaption](QWidget* modal) {
        auto* picker = qobject_cast<TF_SelectMonat*>(modal);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->Label1->text(), u"Fibudaten übergeben für Monat:"_s);
        picker->CbMonth->setCurrentIndex(2);
        WhenModalShown([&step, &runCaption](QWidget* modal) {
            auto* window = qobject_cast<TF_RunWindow*>(modal);
            ASSERT_NE(window, nullptr);
            runCaption = window->windowTitle();
            ASSERT_TRUE(QTest::qWaitFor([window] { return window->finished(); }, 20000));
            step = window->Label1->text();
            window->btnClose->click();
        });
        picker->BitBtn1->click();
    });
    presenter.answers = {false, true};
    EXPECT_EQ(RunInvoiceExport(AccountingExportOf(u"Rechnungsexport -> Lexware-Fibu"_s)),
              InvoiceExportOutcome::Exported);
    // The client has no form of its own for the list: the shipped layout
    // previews the month's booking.
    EXPECT_EQ(previews, QList<bool>{true});
    EXPECT_EQ(markedAtPrint, QStringList{u"RE-1"_s});
    EXPECT_EQ(runCaption, u"Rechnungsexport an Lexware-Fibu"_s);
    EXPECT_EQ(step, u"Datenexport beendet"_s);
    EXPECT_EQ(journalWith(u"R_Exported"_s), QStringList{u"RE-1"_s});
    EXPECT_EQ(readFile(u"RechLex.txt"_s).count("\r\n"), 2);
}

} // namespace
