#include "commercial/accounts/dunning.h"
#include "commercial/accounts/oparchive.h"
#include "commercial/accounts/opdisplay.h"
#include "commercial/accounts/openitems.h"
#include "commercial/gui/tf_editmahnung.h"
#include "commercial/gui/tf_oposten.h"
#include "commercial/invoicerunfixture.h"
#include "core/data/openitemrules.h"
#include "core/data/reportsource.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/regionalguard.h"
#include "core/rights/rights.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "platform/richtext/rtf.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/captiondialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using namespace invoiceruntest;
using namespace Qt::StringLiterals;

template <typename T> void whenShown(std::function<void(T*)> action) {
    WhenModalOfTypeShown<T>(std::move(action));
}

// Items of customers 100 (object 500) and 200 (object 600), payments in
// March and April 2026, the three letter templates, customer 200 blocked.
class OpostenForm : public InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        // The window's own prompts go to the recording presenter as well.
        widgets::setErrorPresenter([this](QWidget*, const QString& m) {
            presenter.boxes.append({Kind::Error, m});
        });
        widgets::setQuestionPresenter(
            [this](QWidget*, const QString& q) { return presenter.show(Kind::Question, q, 0, 0); });
        m_savedWordDir = WordDir;
        WordDir = path(u"Word/"_s);
        QDir().mkpath(WordDir);
        for (int i = 1; i <= 3; ++i)
            writeFile(WordDir + u"Mahnung%1.rtf"_s.arg(i),
                      QByteArray("{\\rtf1\\ansi Vorlage ") + QByteArray::number(i) + "}");
        auto k = open(u"Kunden.DB"_s);
        ASSERT_TRUE(k->locate({u"K_Nr"_s}, {200}));
        k->edit();
        k->field(u"K_Mahnsperre"_s).setValue(true);
        k->post();
        addItem(1, u"RE-00001"_s, 119.0, 500, 100, {2026, 3, 2});
        addItem(2, u"RE-00002"_s, 238.0, 500, 100, {2026, 3, 20});
        addItem(3, u"RE-00003"_s, 59.5, 600, 200, {2026, 4, 5});
        addItem(4, u"RE-00004"_s, 100.0, 600, 200, {2026, 4, 9});
        addPayment(1, u"RE-00002"_s, 100.0, {2026, 3, 25}, u"Teilzahlung"_s);
        addPayment(2, u"RE-00002"_s, 38.0, {2026, 4, 2}, u"Rest"_s);
        addPayment(3, u"RE-00004"_s, 100.0, {2026, 4, 20}, u"Überweisung"_s);
        refreshAll();
        dm->TabOposten().open();
        form = std::make_unique<TF_Oposten>(OpostenDeclaration(), dm->TabOposten());
        form->applyFilter(0);
        form->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        form.reset();
        SetOpostenFilter(*dm, 0, 0, 0, 0, 0, 0, {});
        dm->TabOposten().close();
        WordDir = m_savedWordDir;
        widgets::setErrorPresenter({});
        widgets::setQuestionPresenter({});
        InvoiceRun::TearDown();
    }
    void addItem(int id, const QString& nr, double brutto, int objekt, int kunde, QDate datum) {
        addRow(u"OpKopf.DB"_s, {{u"R_ID"_s, id},
                                {u"R_Nr"_s, nr},
                                {u"R_ObjektNr"_s, objekt},
                                {u"R_KundenNr"_s, kunde},
                                {u"R_OMatch"_s, objekt == 500 ? u"HAUS AM SEE"_s : u"BÜRO MITTE"_s},
                                {u"R_KMatch"_s, kunde == 100 ? u"MEIER"_s : u"SCHULZE"_s},
                                {u"R_DatumDruck"_s, datum},
                                {u"R_FaelligDatum"_s, datum.addDays(14)},
                                {u"R_Brutto"_s, brutto},
                                {u"R_Netto"_s, brutto / 1.19},
                                {u"O_ZahlSumme"_s, 0.0},
                                {u"O_OffenSumme"_s, brutto},
                                {u"O_Erledigt"_s, false},
                                {u"O_Mahnungen"_s, 0}});
    }
    void addPayment(int id, const QString& nr, double betrag, QDate datum, const QString& text) {
        addRow(u"OPZahl.db"_s, {{u"OZ_ID"_s, id},
                                {u"OZ_RgNo"_s, nr},
                                {u"OZ_Betrag"_s, betrag},
                                {u"OZ_Datum"_s, datum},
                                {u"OZ_Comment"_s, text}});
    }
    static void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void go(int id) {
        ASSERT_TRUE(dm->TabOposten().locate({u"R_ID"_s}, {id}));
        QApplication::processEvents();
    }
    QVariant item(int id, const char* field) {
        return valueOf(u"OpKopf.DB"_s, u"R_ID"_s, id, field);
    }
    // Records a payment as a user does: insert in the payments grid, amount, post.
    void pay(const QVariant& amount) {
        form->paymentGrid().setFocus();
        QApplication::processEvents();
        form->navigator().click(widgets::DbNavigator::Insert);
        if (amount.isValid())
            form->payments().field(u"OZ_Betrag"_s).setValue(amount);
        form->navigator().click(widgets::DbNavigator::Post);
    }
    QString labelText(const char* name) { return form->label(QString::fromLatin1(name))->text(); }
    QAction* action(QMenu& menu, const QString& text) {
        for (QAction* a : menu.actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    std::unique_ptr<TF_Oposten> form;
    RegionalGuard german;

private:
    QString m_savedWordDir;
};

TEST_F(OpostenForm, APaymentSettlesTheItemAndItsDeleteReopensTheAmountButNotTheItem) {
    go(1);
    pay({}); // the whole open amount is proposed
    EXPECT_DOUBLE_EQ(item(1, "O_ZahlSumme").toDouble(), 119.0);
    EXPECT_DOUBLE_EQ(item(1, "O_OffenSumme").toDouble(), 0.0);
    EXPECT_TRUE(item(1, "O_Erledigt").toBool());
    // Item 2 is stored unpaid: its payments count once it is recalculated.
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 238.0);
    presenter.answers = {true};
    form->navigator().click(widgets::DbNavigator::Delete);
    EXPECT_DOUBLE_EQ(item(1, "O_OffenSumme").toDouble(), 119.0);
    EXPECT_TRUE(item(1, "O_Erledigt").toBool()) << "settled stays settled";
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 119.0 + 238.0);

    const struct {
        const char* name;
        double paid;
        double open;
    } cases[] = {{"half a cent rounds up", 118.995, 0.0}, {"overpaid", 120.0, -1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00001'"_s);
        form->payments().refresh();
        pay(c.paid);
        EXPECT_DOUBLE_EQ(item(1, "O_OffenSumme").toDouble(), c.open);
        EXPECT_TRUE(item(1, "O_Erledigt").toBool());
    }
    EXPECT_TRUE(form->grid()
                    .gridModel()
                    .data(form->grid().gridModel().index(0, 9))
                    .toString()
                    .startsWith(u"-1,00"_s));
}

TEST_F(OpostenForm, ARecalculationThatFailsLeavesThePaymentUnstoredAndNamesTheError) {
    go(1);
    {
        // Another workstation holds the customers: the open amount cannot be written.
        LockedElsewhere customers(u"Kunden.DB"_s);
        pay(50.0);
    }
    EXPECT_FALSE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00001'"_s), 0);
    EXPECT_DOUBLE_EQ(item(1, "O_ZahlSumme").toDouble(), 0.0);
}

TEST_F(OpostenForm, BalancesRecordPositionAndTheStatementGroupPerFilter) {
    go(2);
    form->recalcClicked();
    EXPECT_EQ(labelText("lbObjektSaldo"), OpSaldoText(-119.0 - 100.0));
    EXPECT_EQ(labelText("lbGesamtSaldo"), OpSaldoText(-119.0 - 100.0 - 59.5));
    EXPECT_EQ(labelText("lbRecCount"), u"Datensätze:    4"_s);
    EXPECT_EQ(labelText("lbRecNo"), u"Satznummer:    2"_s);
    EXPECT_TRUE(form->statementGroup().isHidden());
    const struct {
        int mode;
        QString caption;
        int rows;
        bool statement;
    } cases[] = {{1, u"[Offene]"_s, 3, false},       {2, u"[Erledigte]"_s, 1, false},
                 {3, u"[Objekt 500]"_s, 2, true},    {4, u"[Kunde 100]"_s, 2, true},
                 {5, u"[Monat 3/2026]"_s, 2, false}, {0, u"[Alle]"_s, 4, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        form->applyFilter(0);
        go(1);
        form->filterList().setCurrentIndex(c.mode);
        form->applyFilter(c.mode);
        EXPECT_EQ(form->filterCaption(), c.caption);
        EXPECT_EQ(dm->TabOposten().recordCount(), c.rows);
        EXPECT_EQ(form->statementGroup().isVisible(), c.statement);
    }
}

TEST_F(OpostenForm, SearchIsOfferedOnlyWhileSortedByObjectOrCustomerNumber) {
    EXPECT_FALSE(form->button(u"btnSuchen"_s)->isEnabled());
    form->sortByColumn(5);
    QApplication::processEvents();
    form->recalcClicked();
    ASSERT_TRUE(form->button(u"btnSuchen"_s)->isEnabled());
    QString title;
    whenShown<TCaptionDialog>([&](TCaptionDialog* d) {
        title = d->windowTitle();
        d->EditCaption()->setText(u"schul"_s);
        d->accept();
    });
    form->button(u"btnSuchen"_s)->click();
    EXPECT_EQ(title, u"Suchen nach Kundenname"_s);
    EXPECT_EQ(form->filterCaption(), u"[Suche: SCHUL]"_s);
    EXPECT_EQ(dm->TabOposten().recordCount(), 2);
    form->sortByColumn(1);
    EXPECT_FALSE(form->sortColumn() == 3 || form->sortColumn() == 5);
}

TEST_F(OpostenForm, TheNavigatorServesTheFocusedGridAndInsertsOnlyPayments) {
    form->grid().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(&form->navigator().dataSource().table(), &dm->TabOposten());
    EXPECT_TRUE(form->navigator().button(widgets::DbNavigator::Insert)->isHidden());
    form->paymentGrid().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(&form->navigator().dataSource().table(), &form->payments());
    EXPECT_FALSE(form->navigator().button(widgets::DbNavigator::Insert)->isHidden());
}

TEST_F(OpostenForm, DeletingAnItemRecomputesItsCustomersOpenAmount) {
    go(1);
    form->recalcClicked();
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 219.0);
    go(2);
    presenter.answers = {true};
    form->grid().setFocus();
    QApplication::processEvents();
    form->navigator().click(widgets::DbNavigator::Delete);
    EXPECT_FALSE(exists(u"OpKopf.DB"_s, u"R_ID"_s, 2));
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00002'"_s), 0);
    EXPECT_DOUBLE_EQ(customer(100, "K_Rechoffen").toDouble(), 119.0);
}

TEST_F(OpostenForm, ThePaymentListIsShownSavedInWindows1252AndClosed) {
    go(2);
    form->recalcClicked();
    whenShown<TF_DateRangeDlg>([](TF_DateRangeDlg* d) {
        d->editVonDatum()->setText(u"01.03.2026"_s);
        d->editBisDatum()->setText(u"30.04.2026"_s);
        d->okButton()->click();
    });
    form->listPayments();
    const QString golden =
        u"          Zahlungseingänge vom 01.03.2026 bis 30.04.2026\n"
        u"          \n"
        u"          Rechnungs-Nr   ObjNr Objektbezeichnung      Rg-Datum  Zahldatum       Brutto "
        u"       Netto      Zahlung St\n"_s;
    EXPECT_TRUE(form->paymentList().toPlainText().startsWith(golden))
        << form->paymentList().toPlainText().toStdString();
    EXPECT_TRUE(form->paymentList().toPlainText().contains(u"RE-00002"_s));
    EXPECT_TRUE(form->paymentListPanel().isVisible());
    EXPECT_EQ(form->paymentListPanel().width(), 840);
    EXPECT_TRUE(form->button(u"btnListSpeichern"_s)->isEnabled());

    const QString file = path(u"liste.txt"_s);
    const auto previous = TF_Oposten::setFileChooser([&](QWidget*, const QString& dir) {
        EXPECT_EQ(dir, TextbstDir);
        return file;
    });
    form->button(u"btnListSpeichern"_s)->click();
    TF_Oposten::setFileChooser(previous);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(bytes.startsWith("          Zahlungseing\xE4nge vom 01.03.2026"));
    EXPECT_TRUE(bytes.contains("30.04.2026\r\n          \r\n"));
    EXPECT_FALSE(bytes.contains("\xC3\xA4"));

    form->button(u"btnListSchliessen"_s)->click();
    EXPECT_FALSE(form->paymentListPanel().isVisible());
    EXPECT_TRUE(form->paymentList().toPlainText().isEmpty());
}

TEST_F(OpostenForm, DunningLevelsTemplatesBlockAndTheLetterFile) {
    table::Table& items = dm->TabOposten();
    // Level 0 stays 0 when lowered.
    go(1);
    presenter.answers = {true};
    action(form->itemMenu(), u"Mahnstatus verringern"_s)->trigger();
    EXPECT_EQ(item(1, "O_Mahnungen").toInt(), 0);

    // Level 0 takes the first template and is 1 after "S&chließen"; the letter is kept.
    QString shownText;
    whenShown<TF_EditMahnung>([&](TF_EditMahnung* editor) {
        shownText = editor->letter() ? editor->letter()->toPlainText() : QString();
        editor->closeButton()->click();
    });
    presenter.answers = {true};
    form->dunningClicked();
    EXPECT_TRUE(shownText.contains(u"Vorlage 1"_s)) << shownText.toStdString();
    EXPECT_EQ(item(1, "O_Mahnungen").toInt(), 1);
    const QString letter1 = DunningLetterFile(u"RE-00001"_s, 1);
    ASSERT_TRUE(QFile::exists(letter1));

    // Lowering the level and dunning again reprints the letter as it was kept.
    writeFile(letter1, "{\\rtf1\\ansi Gesendet}");
    presenter.answers = {true};
    action(form->itemMenu(), u"Mahnstatus verringern"_s)->trigger();
    whenShown<TF_EditMahnung>([&](TF_EditMahnung* editor) {
        shownText = editor->letter()->toPlainText();
        editor->reject(); // the close box
    });
    presenter.answers = {true};
    form->dunningClicked();
    EXPECT_TRUE(shownText.contains(u"Gesendet"_s));
    EXPECT_EQ(item(1, "O_Mahnungen").toInt(), 0) << "the close box keeps the level";

    // Levels 3 and 4 take the third template and rise to 4 and 5.
    for (int level : {3, 4}) {
        SCOPED_TRACE(level);
        items.edit();
        items.field(u"O_Mahnungen"_s).setValue(level);
        items.post();
        whenShown<TF_EditMahnung>([&](TF_EditMahnung* editor) {
            shownText = editor->letter()->toPlainText();
            editor->closeButton()->click();
        });
        presenter.answers = {true};
        form->dunningClicked();
        EXPECT_TRUE(shownText.contains(u"Vorlage 3"_s));
        EXPECT_EQ(item(1, "O_Mahnungen").toInt(), level + 1);
    }

    // Customer 200 has a dunning block; customer number 0 skips the test.
    go(3);
    presenter.boxes.clear();
    form->dunningClicked();
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(
        presenter.texts(Kind::Error).first().startsWith(u"Für den Kunden ist eine Mahnsperre"_s));
    items.edit();
    items.field(u"R_KundenNr"_s).setValue(0);
    items.post();
    whenShown<TF_EditMahnung>([&](TF_EditMahnung* editor) { editor->closeButton()->click(); });
    presenter.answers = {true};
    form->dunningClicked();
    EXPECT_EQ(item(3, "O_Mahnungen").toInt(), 1);
}

TEST_F(OpostenForm, ALetterFileThatCannotBeWrittenIsNamedAndTheLevelStillRises) {
    go(1);
    // A directory in the letter file's place.
    QDir().mkpath(DunningLetterFile(u"RE-00001"_s, 1));
    whenShown<TF_EditMahnung>([&](TF_EditMahnung* editor) { editor->closeButton()->click(); });
    presenter.answers = {true};
    form->dunningClicked();
    EXPECT_EQ(item(1, "O_Mahnungen").toInt(), 1);
    ASSERT_FALSE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_TRUE(presenter.texts(Kind::Error).last().contains(u"MngRE-000011.rtf"_s));
}

TEST_F(OpostenForm, ShowOpostenFormKeepsPrintSourceOneWhileOpenAndZeroAfterwards) {
    form.reset();
    dm->TabOposten().close();
    int sourceWhileOpen = -1;
    QString caption;
    whenShown<TF_Oposten>([&](TF_Oposten* shown) {
        sourceWhileOpen = RgPrintSource;
        caption = shown->windowTitle();
        shown->reject();
    });
    ShowOpostenForm();
    EXPECT_EQ(sourceWhileOpen, 1);
    EXPECT_EQ(caption, u"Offene Posten"_s);
    EXPECT_EQ(RgPrintSource, 0);
    EXPECT_FALSE(dm->TabOposten().isOpen());
    EXPECT_EQ(OpFilterParams().Mode, 0);

    DeleteRecordsFiltered(datatest::kDb, u"OpKopf.DB"_s, u"R_ID>0"_s);
    ShowOpostenForm();
    EXPECT_EQ(presenter.texts(Kind::Error).last(), u"Es sind keine offenen Posten erfasst!"_s);
    EXPECT_EQ(RgPrintSource, 0);
    dm->TabOposten().open();
}

TEST_F(OpostenForm, TheControlsFollowTheRightsOfFunction26) {
    const TRightsBytes saved = CurrentUser.rights;
    struct Case {
        const char* name;
        quint8 rights;
        bool print, recalc, settledBox, paymentsWritable, archive;
    } const cases[] = {
        {"all", rbAllRights, true, true, true, true, true},
        {"view only", rbView, false, false, false, false, false},
        {"print", rbView | rbPrint, true, false, false, false, false},
        {"edit", rbView | rbEdit, false, true, true, true, false},
        {"export", rbView | rbExport, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        CurrentUser.rights.set(26, c.rights);
        form = std::make_unique<TF_Oposten>(OpostenDeclaration(), dm->TabOposten());
        form->applyRights();
        form->applyFilter(2);
        form->show();
        QApplication::processEvents();
        for (const char* name :
             {"sbtnPrintRg", "sbtnPrint", "sbtnPrintZahlung", "sbtnPrintKtoAusz"})
            EXPECT_EQ(!form->button(QString::fromLatin1(name))->isHidden(), c.print) << name;
        for (const char* name :
             {"sbtnRgPreview", "sbtnPreview", "sbtnPreviewZahlung", "sbtnPreviewKtoAusz"})
            EXPECT_FALSE(form->button(QString::fromLatin1(name))->isHidden()) << name;
        EXPECT_EQ(form->button(u"BitBtnRecalc"_s)->isVisible(), c.recalc);
        EXPECT_EQ(form->settledBox().isEnabled(), c.settledBox);
        EXPECT_EQ(!form->payments().isReadOnly(), c.paymentsWritable);
        EXPECT_EQ(form->button(u"sbtnAuslag"_s)->isEnabled(), c.archive);
        form->applyFilter(0);
        EXPECT_FALSE(form->button(u"sbtnAuslag"_s)->isEnabled()) << "only in mode 2";
    }
    CurrentUser.rights = saved;
}

TEST_F(OpostenForm, ASecondDeclarationLeavesOutWhatItDoesNotDeclare) {
    // A window over the same tables as a counterpart would declare it: two
    // balances, statements in mode 3 only, no dunning, address, search or settling.
    OpenItemWindowDecl d = OpostenDeclaration();
    d.formClass = u"TF_Counterpart"_s;
    d.placementFile.clear();
    d.dunning = d.changeAddress = d.searchButton = d.paymentList = false;
    d.settleBefore = nullptr;
    d.archive = nullptr;
    d.statements.remove(4);
    d.saldoNames = {u"lbLieferantSaldo"_s, u"lbGesamtSaldo"_s};
    d.saldoCaptions = {u"Saldo Lieferant"_s, u"Gesamtsaldo"_s};
    d.saldoKeyFields = {u"R_KundenNr"_s};
    d.balances = [](table::Table& item) -> QList<double> {
        const TOpSalden s = CalcOpSalden(-1, FieldInt(item, u"R_KundenNr"_s));
        return {s.Kunde, s.Gesamt};
    };
    d.defaultSortField = u"R_Nr"_s;
    int recalculated = 0;
    d.recalc = [&](table::Table&) { ++recalculated; };
    form.reset();
    form = std::make_unique<TF_Oposten>(d, dm->TabOposten());
    form->applyFilter(0);
    form->show();
    QApplication::processEvents();
    for (const char* name : {"btnMahnung", "Button1", "btnSuchen", "btnErledigen", "sbtnAuslag"})
        EXPECT_EQ(form->button(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_TRUE(form->itemMenu().actions().isEmpty());
    EXPECT_TRUE(form->paymentMenu().actions().isEmpty());
    EXPECT_EQ(form->label(u"lbObjektSaldo"_s), nullptr);
    go(2);
    form->updateSaldo(true);
    EXPECT_EQ(labelText("lbLieferantSaldo"), OpSaldoText(-119.0 - 238.0));
    form->button(u"BitBtnRecalc"_s)->click();
    EXPECT_EQ(recalculated, 1);
    EXPECT_EQ(form->sortField(), u"R_Nr"_s);
    for (int mode : {3, 4}) {
        form->applyFilter(mode);
        EXPECT_EQ(form->statementGroup().isVisible(), mode == 3) << mode;
    }
    // Ctrl+PageDown in the payments grid goes to the settled box without "Mahnen".
    form->paymentGrid().setFocus();
    QApplication::processEvents();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
    QApplication::sendEvent(&form->paymentGrid(), &key);
    QApplication::processEvents();
    EXPECT_TRUE(form->settledBox().hasFocus());
}

// Settles items 1 (paid in full) and 4 (its stored payment), leaves 2 and 3 open.
class OpostenArchive : public OpostenForm {
protected:
    void SetUp() override {
        OpostenForm::SetUp();
        SetArchiveDocumentsOpener([this](const ArchiveTables& tables) {
            ArchiveConnection connection;
            moved = MoveSelectedDocuments(connection, tables).movedIds;
        });
        go(1);
        pay({});
        form->recalcClicked();
        form->filterList().setCurrentIndex(2);
        form->applyFilter(2);
    }
    void TearDown() override {
        SetArchiveDocumentsOpener({});
        OpostenForm::TearDown();
    }
    int marks(const QString& file, const QString& field) {
        return CountRecordsFiltered(datatest::kDb, file, field + u"=true"_s);
    }
    QList<int> moved;
};

TEST_F(OpostenArchive, MovesTheSettledItemsWithTheirPaymentListAndLeavesTheOpenOnes) {
    ASSERT_EQ(dm->TabOposten().recordCount(), 2);
    ASSERT_TRUE(form->button(u"sbtnAuslag"_s)->isEnabled());
    QString proposed, info;
    whenShown<TF_DateRange>([&](TF_DateRange* d) {
        proposed = d->editBisDatum()->text();
        info = d->edit1()->text();
        d->editBisDatum()->setText(u"31.10.2026"_s);
        d->okButton()->click();
    });
    form->button(u"sbtnAuslag"_s)->click();
    EXPECT_EQ(proposed,
              ProposedArchiveLimit(QDate::currentDate(), {2026, 3, 2}).toString(u"dd.MM.yyyy"_s));
    EXPECT_EQ(info, u"02.03.2026"_s);
    EXPECT_EQ(moved, (QList<int>{1, 4}));
    for (int id : {1, 4})
        EXPECT_FALSE(exists(u"OpKopf.DB"_s, u"R_ID"_s, id)) << id;
    for (int id : {2, 3})
        EXPECT_TRUE(exists(u"OpKopf.DB"_s, u"R_ID"_s, id)) << "open items stay: " << id;
    // The archive's invoice carries the payments; the working payments are gone.
    auto archived =
        std::make_unique<table::Table>(table::aliases::database(u"AblageDB"_s), u"Rechkopf.DB"_s);
    archived->open();
    ASSERT_TRUE(archived->locate({u"R_Nr"_s}, {u"RE-00004"_s}));
    EXPECT_EQ(archived->field(u"R_Memo"_s).asString(),
              OpArchiveMemoLine(QDate(2026, 4, 20), 100.0, u"Überweisung"_s));
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00004'"_s), 0);
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00002'"_s), 2);
    EXPECT_EQ(marks(u"OpKopf.DB"_s, u"R_Selected"_s), 0);
    EXPECT_EQ(marks(u"OPZahl.db"_s, u"OZ_Selected"_s), 0);
    EXPECT_EQ(form->filterMode(), 0);
    EXPECT_EQ(dm->TabOposten().recordCount(), 2);
    EXPECT_TRUE(form->cancelPanel().isHidden());
}

TEST_F(OpostenArchive, WhatTheArchiveRefusesStaysWithItsPaymentsAndWithoutMarks) {
    // The archive already holds RE-00004: only RE-00001 moves.
    auto archived =
        std::make_unique<table::Table>(table::aliases::database(u"AblageDB"_s), u"Rechkopf.DB"_s);
    archived->open();
    archived->append();
    archived->field(u"R_ID"_s).setValue(77);
    archived->field(u"R_Nr"_s).setValue(u"RE-00004"_s);
    archived->post();
    archived.reset();
    whenShown<TF_DateRange>([&](TF_DateRange* d) {
        d->editBisDatum()->setText(u"31.10.2026"_s);
        d->okButton()->click();
    });
    form->button(u"sbtnAuslag"_s)->click();
    EXPECT_EQ(moved, QList<int>{1});
    EXPECT_TRUE(exists(u"OpKopf.DB"_s, u"R_ID"_s, 4));
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00004'"_s), 1);
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_RgNo='RE-00001'"_s), 0);
    EXPECT_EQ(marks(u"OpKopf.DB"_s, u"R_Selected"_s), 0);
    EXPECT_EQ(marks(u"OPZahl.db"_s, u"OZ_Selected"_s), 0);
}

TEST_F(OpostenArchive, AbbruchAndAnEmptyRangeChangeNothing) {
    // "Abbruch" while the items are marked rolls the marks back; nothing moves.
    auto* bar = form->findChild<QProgressBar*>(u"ProgressBar1"_s);
    auto* cancel = form->findChild<QPushButton*>(u"btnAbbruch"_s);
    ASSERT_TRUE(bar && cancel);
    QMetaObject::Connection once =
        QObject::connect(bar, &QProgressBar::valueChanged, cancel, [&] { cancel->click(); });
    whenShown<TF_DateRange>([&](TF_DateRange* d) {
        d->editBisDatum()->setText(u"31.10.2026"_s);
        d->okButton()->click();
    });
    form->button(u"sbtnAuslag"_s)->click();
    QObject::disconnect(once);
    EXPECT_TRUE(moved.isEmpty());
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OpKopf.DB"_s, u"R_ID>0"_s), 4);
    EXPECT_EQ(CountRecordsFiltered(datatest::kDb, u"OPZahl.db"_s, u"OZ_ID>0"_s), 4);
    EXPECT_EQ(marks(u"OpKopf.DB"_s, u"R_Selected"_s), 0);
    EXPECT_EQ(marks(u"OPZahl.db"_s, u"OZ_Selected"_s), 0);
    EXPECT_TRUE(item(4, "R_Memo").toString().isEmpty());

    // A limit before every item finds nothing to move.
    form->filterList().setCurrentIndex(2);
    form->applyFilter(2);
    whenShown<TF_DateRange>([&](TF_DateRange* d) {
        d->editBisDatum()->setText(u"01.01.2026"_s);
        d->okButton()->click();
    });
    presenter.boxes.clear();
    form->button(u"sbtnAuslag"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Keine Einträge gefunden!"_s});
    EXPECT_TRUE(moved.isEmpty());
}

} // namespace
