#include "commercial/billing/recurringmemo.h"
#include "commercial/gui/f_createrg.h"
#include "commercial/gui/f_rechplan.h"
#include "commercial/recurringbillingfixture.h"
#include "core/gui/modaldriver.h"
#include "datasafety/autobackup.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "platform/widgets/datagrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace recurringtest;
using Kind = MessagePresenter::Kind;

// Runs action on the first modal window of type T, passing over the others.
template <typename T> void whenShown(std::function<void(T*)> action) {
    WhenModalShown([action = std::move(action)](QWidget* modal) {
        if (auto* w = qobject_cast<T*>(modal))
            action(w);
        else
            whenShown<T>(action);
    });
}

// One template of object 500 on the monthly definition created on the 25th.
class CreateRgForm : public RecurringBilling {
protected:
    void SetUp() override {
        RecurringBilling::SetUp();
        addTemplate(1, 500);
        addTemplateLine(1, 1, 1000000, 2.0, 50.0);
        m_savedBackup = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[] { return true; },
                                       [this](const QString& comment) { backups << comment; }};
    }
    void TearDown() override {
        AutoBackupServiceRegistry() = m_savedBackup;
        RecurringBilling::TearDown();
    }

    // Enters the range in the range dialog (cancels for an empty from) and
    // keeps what the run's form showed meanwhile.
    void enterRange(const QString& from, const QString& to) {
        whenShown<TF_DateRangeDlg>([this, from, to](TF_DateRangeDlg* dialog) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* form = qobject_cast<TF_CreateRg*>(w)) {
                    closeHiddenDuringRange = !form->btnClose->isVisible();
                    caption = form->windowTitle();
                    QObject::connect(form->Memo1, &QPlainTextEdit::textChanged, form,
                                     [this, form] { memoSeen = form->Memo1->toPlainText(); });
                    memoSeen = form->Memo1->toPlainText();
                }
            if (from.isEmpty()) {
                dialog->cancelButton()->click();
                return;
            }
            dialog->editVonDatum()->setText(from);
            dialog->editBisDatum()->setText(to);
            dialog->okButton()->click();
        });
    }

    QString caption;
    QString memoSeen;
    bool closeHiddenDuringRange = false;
    QStringList backups;

private:
    AutoBackupService m_savedBackup;
};

TEST_F(CreateRgForm, CreatesTheInvoicesOfTheEnteredRangeAndClosesItself) {
    presenter.answers = {true};
    enterRange(QStringLiteral("01.03.2025"), QStringLiteral("31.03.2025"));
    EXPECT_EQ(RunRecurringBilling(RecurringCreateInvoices), 1);
    EXPECT_EQ(caption, QStringLiteral("Dauerrechnungen erstellen"));
    EXPECT_TRUE(closeHiddenDuringRange);
    const QStringList lines = memoSeen.split(u'\n');
    ASSERT_EQ(lines.size(), 2) << memoSeen.toStdString();
    EXPECT_EQ(lines[0], RecurringMemoHeader());
    EXPECT_TRUE(lines[1].startsWith(
        RecurringMemoLineStart(500, QStringLiteral("RV500_1"), d(31, 3), d(25, 3))))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("119,00"))) << lines[1].toStdString();
    // The backup offer, answered "Ja", and the summary.
    ASSERT_EQ(presenter.texts(Kind::Question).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Question)[0].startsWith(
        QStringLiteral("Sie sollten vor der Rechnungserstellung eine Datensicherung")));
    EXPECT_EQ(backups, QStringList{QStringLiteral("Autosicherung vor Rechnungserstellung am ") +
                                   QDate::currentDate().toString(u"dd.MM.yyyy")});
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{QStringLiteral("1 Rechnungen erstellt.")});
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.03.2025")});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(CreateRgForm, CancellingTheRangeMakesNothing) {
    enterRange({}, {});
    EXPECT_EQ(RunRecurringBilling(RecurringCreateInvoices), 0);
    EXPECT_EQ(memoSeen, RecurringMemoHeader());
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_TRUE(backups.isEmpty());
    EXPECT_EQ(rowCount(QStringLiteral("Rechkopf.DB")), 0);
}

TEST_F(CreateRgForm, AnErrorOfTheRunReachesTheCallerAfterTheFormClosed) {
    dm->TabRechSatz().beforePost +=
        [](table::Table&) { throw DbError(QStringLiteral("Platte voll")); };
    enterRange(QStringLiteral("01.03.2025"), QStringLiteral("31.03.2025"));
    try {
        RunRecurringBilling(RecurringCreateInvoices);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Platte voll"));
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{QStringLiteral("0 Rechnungen erstellt.")});
    EXPECT_EQ(rowCount(QStringLiteral("Rechkopf.DB")), 0);
}

TEST_F(CreateRgForm, ThePlanPreviewRunsThePlanAndCreatesTheInvoiceOfARow) {
    TF_Rechplan form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Rechnungs-Vorschau"));
    const QString today = QDate::currentDate().toString(u"dd.MM.yyyy");
    EXPECT_EQ(form.titleText(), QStringLiteral("vom ") + today + QStringLiteral(" bis ") + today);
    EXPECT_TRUE(form.btnDrucken->isEnabled());

    enterRange(QStringLiteral("01.03.2025"), QStringLiteral("31.03.2025"));
    form.btnErzeugen->click();
    EXPECT_TRUE(form.btnErzeugen->isEnabled());
    EXPECT_EQ(form.titleText(), QStringLiteral("vom 01.03.2025 bis 31.03.2025"));
    EXPECT_EQ(form.DBGrid1->model()->rowCount(), 2);
    EXPECT_EQ(form.TabRechplan().field(QStringLiteral("RP_ObjektNr")).asInteger(), 500);
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty()); // no backup offer for a plan
    EXPECT_EQ(rowCount(QStringLiteral("Rechkopf.DB")), 0);

    presenter.boxes.clear();
    form.CreateSelectedInvoice();
    form.CreateSelectedInvoice();
    form.TabRechplan().last(); // the total row
    form.CreateSelectedInvoice();
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Die Rechnung wurde erstellt.")});
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{QStringLiteral("Die gewählte Rechnung existiert bereits!"),
                           QStringLiteral("Das Objekt wurde nicht gefunden!")}));
    EXPECT_EQ(invoiceKeys(), QStringList{QStringLiteral("500 RV500_1 25.03.2025")});
}

} // namespace
