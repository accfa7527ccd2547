#include "core/data/dbhelpers.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/mwstform.h"
#include "masterdata/gui/patterngrid.h"
#include "masterdata/gui/smalltableforms.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/tf_defmon.h"
#include "masterdata/gui/tf_defyear.h"
#include "masterdata/gui/zahlintervform.h"
#include "masterdata/reportpatterns.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/fieldform.h"
#include "printing/gui/printbutton.h"
#include "tableformfixture.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

const QString kZahlbedInUse =
    u"Datensatz wird von der Kundendatei verwendet!\r\rSie können diesen Datensatz erst "
    u"löschen,\rnachdem Sie alle Referenzen in der Kundendatei\rgelöscht haben"_s;
const QString kIntervallInUse =
    u"Datensatz wird von der Objektdatei verwendet!\r\rSie können diesen Datensatz erst "
    u"löschen,\rnachdem Sie alle Referenzen in der Objektdatei\rgelöscht haben"_s;

// A cursor of the test's own with a declaration's rules, as the opener makes it.
std::unique_ptr<table::Table> ownTable(const TableFormDecl& decl) {
    auto t = std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), decl.table);
    InstallTableRules(decl, *t);
    t->open();
    return t;
}

QString deleteError(table::Table& t) {
    try {
        t.deleteRecord();
    } catch (const DbError& e) {
        return e.message();
    }
    return {};
}

TDateTime D(int y, int m, int d) {
    return DateTimeOfDate(QDate(y, m, d));
}

using SmallTableForms = formtest::TableFormTest;

TEST_F(SmallTableForms, NewRowsStartWithTheNextKeyAndEmptyValues) {
    const struct {
        TableFormDecl decl;
        QStringList empty;  // texts that start empty
        QStringList zeroes; // numbers that start 0
    } cases[] = {
        {ZahlBedFormDecl(), {u"Z_Kurz"_s, u"Z_Text"_s}, {u"Z_Tage"_s, u"Z_Skonto"_s}},
        {ZahlartFormDecl(), {}, {}},
        {MengEinhFormDecl(), {u"VE_Kurz"_s, u"VE_Lang"_s}, {}},
        {KrankenkasseFormDecl(),
         {u"KK_Match"_s, u"KK_Langbezeich"_s, u"KK_Nummer"_s},
         {u"KK_Satz"_s}},
        {ZahlIntervFormDecl(), {u"ZI_Text"_s, u"ZI_Pattern"_s}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.decl.formClass.toStdString());
        const int next = GetNextId(u"LumoDB"_s, c.decl.table, c.decl.keyField);
        auto t = ownTable(c.decl);
        t->append();
        EXPECT_EQ(FieldInt(*t, c.decl.keyField), next);
        for (const QString& f : c.empty)
            EXPECT_EQ(FieldText(*t, f), QString()) << f.toStdString();
        for (const QString& f : c.zeroes) {
            EXPECT_FALSE(t->field(f).isNull()) << f.toStdString();
            EXPECT_EQ(FieldFloat(*t, f), 0.0) << f.toStdString();
        }
        t->post();
    }
    // A bank is keyed by its name, which the user types.
    auto banks = ownTable(BankenFormDecl());
    banks->append();
    EXPECT_TRUE(banks->field(u"BankName"_s).isNull());
    banks->cancel();
}

TEST_F(SmallTableForms, FirstPaymentMethodOfAnEmptyTableGetsKeyOne) {
    auto t = ownTable(ZahlartFormDecl());
    while (!t->isEmpty()) {
        t->first();
        t->deleteRecord();
    }
    t->append();
    EXPECT_EQ(FieldInt(*t, u"ZA_ID"_s), 1);
    t->cancel();
}

TEST_F(SmallTableForms, PaymentTermInUseCannotBeDeleted) {
    addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 101}, {u"K_RechBed"_s, 3}});
    auto terms = ownTable(ZahlBedFormDecl());
    ASSERT_TRUE(terms->locate({u"Z_ID"_s}, {3}));
    EXPECT_EQ(deleteError(*terms), kZahlbedInUse);
    EXPECT_TRUE(terms->locate({u"Z_ID"_s}, {3}));
    {
        auto customers = open(u"Kunden.DB"_s);
        customers->edit();
        (*customers)[u"K_RechBed"_s] = 4;
        customers->post();
    }
    ASSERT_TRUE(terms->locate({u"Z_ID"_s}, {3}));
    EXPECT_EQ(deleteError(*terms), QString());
    EXPECT_FALSE(terms->locate({u"Z_ID"_s}, {3}));
}

TEST_F(SmallTableForms, IntervalUsedAsAPaymentIntervalCannotBeDeleted) {
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1}, {u"O_Nr"_s, 501}, {u"O_ZahlIntervall"_s, 5}});
    addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 2}, {u"O_Nr"_s, 502}, {u"O_BerichtIntervall"_s, 6}});
    auto intervals = ownTable(ZahlIntervFormDecl());
    for (int used : {5, 6}) {
        ASSERT_TRUE(intervals->locate({u"ZI_ID"_s}, {used}));
        EXPECT_EQ(deleteError(*intervals), kIntervallInUse) << used;
    }
    ASSERT_TRUE(intervals->locate({u"ZI_ID"_s}, {7}));
    EXPECT_EQ(deleteError(*intervals), QString());
}

TEST_F(SmallTableForms, BankListStartsOnANewRowOrOnTheLastBank) {
    // A change pending in the shared bank table is kept before the list opens.
    table::Table& shared = dm->TabBanken();
    if (!shared.isOpen())
        shared.open();
    shared.last();
    shared.edit();
    shared[u"BankBLZ"_s] = u"99999999"_s;
    for (const bool append : {true, false}) {
        SCOPED_TRACE(append);
        ASSERT_TRUE(whenFormShown(
            [&](TF_TableForm& form) {
                EXPECT_EQ(form.objectName(), u"TF_Banken"_s);
                EXPECT_EQ(form.table().state() == table::TableState::Insert, append);
                if (!append) {
                    EXPECT_EQ(FieldText(form.table(), u"BankName"_s), u"Postbank Berlin"_s);
                }
                form.close();
            },
            [&] { ShowBankenForm(append); }));
    }
    EXPECT_FALSE(shared.isEditing());
    auto banks = open(u"Banken.DB"_s);
    ASSERT_TRUE(banks->locate({u"BankName"_s}, {u"Postbank Berlin"_s}));
    EXPECT_EQ(FieldText(*banks, u"BankBLZ"_s), u"99999999"_s);
}

TEST_F(SmallTableForms, CalendarOnTheValidityColumns) {
    dm->TabMwst().open();
    TF_TableForm form(MwstFormDecl(), dm->TabMwst());
    form.move(40, 60);
    form.show();
    ASSERT_TRUE(dm->TabMwst().locate({u"Mwst_ID"_s}, {2}));
    QPoint shownAt;
    WhenModalShown([&](QWidget* modal) {
        auto* k = qobject_cast<TF_Kalender*>(modal);
        ASSERT_NE(k, nullptr);
        shownAt = k->pos();
        EXPECT_EQ(k->GetDate(), D(2006, 12, 31));
        k->SetDate(D(2007, 6, 30));
        k->okButton()->click();
    });
    EXPECT_TRUE(form.runColumnAction(u"Mwst_GueltigBis"_s));
    EXPECT_EQ(shownAt, form.pos() + QPoint(100, 100));
    EXPECT_TRUE(dm->TabMwst().isEditing());
    EXPECT_EQ(dm->TabMwst().field(u"Mwst_GueltigBis"_s).asDate(), QDate(2007, 6, 30));
    dm->TabMwst().cancel();
    // A cancelled calendar still leaves the row in edit state, with its old date.
    WhenModalShown([](QWidget* modal) {
        auto* k = qobject_cast<TF_Kalender*>(modal);
        ASSERT_NE(k, nullptr);
        k->SetDate(D(2010, 1, 1));
        k->cancelButton()->click();
    });
    EXPECT_TRUE(form.runColumnAction(u"Mwst_GueltigVon"_s));
    EXPECT_TRUE(dm->TabMwst().isEditing());
    EXPECT_EQ(dm->TabMwst().field(u"Mwst_GueltigVon"_s).asDate(), QDate(2000, 1, 1));
    dm->TabMwst().cancel();
    EXPECT_FALSE(form.runColumnAction(u"Mwst_Satz"_s));
}

TEST_F(SmallTableForms, HealthInsurerBankPairAndKeys) {
    for (table::Table* t : {&dm->TabBanken(), &dm->TabZahlart()})
        if (!t->isOpen())
            t->open();
    auto insurers = ownTable(KrankenkasseFormDecl());
    TF_TableForm form(KrankenkasseFormDecl(), *insurers);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    insurers->first();
    auto choose = [&](const QString& field, const QString& text) {
        auto* box = form.fields()->editorAs<widgets::DbLookupComboBox>(field);
        ASSERT_NE(box, nullptr);
        const int row = box->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        box->setCurrentIndex(row);
        Q_EMIT box->activated(row);
    };
    choose(u"KK_BankName"_s, u"Commerzbank Berlin"_s);
    EXPECT_EQ(FieldText(*insurers, u"KK_BankBlz"_s), u"10040000"_s);
    choose(u"KK_BankBlz"_s, u"10070000"_s);
    EXPECT_EQ(FieldText(*insurers, u"KK_BankName"_s), u"Deutsche Bank Berlin"_s);
    choose(u"KK_BankZahlart"_s, u"Scheck"_s);
    form.post();
    EXPECT_FALSE(insurers->isEditing());

    widgets::DataGrid& grid = form.grid();
    grid.setFocus();
    EXPECT_EQ(grid.palette().color(QPalette::Base), form.palette().color(QPalette::ToolTipBase));
    QTest::keyClick(&grid, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(form.fields()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(grid.palette().color(QPalette::Base), form.palette().color(QPalette::Base));
    QWidget* matchcode = form.fields()->editor(u"KK_Match"_s);
    matchcode->setFocus();
    QTest::keyClick(matchcode, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    EXPECT_EQ(form.fields()->pages()->currentIndex(), 0) << "the key does not turn the page";
}

TEST_F(SmallTableForms, PrintButtonsWaitForTheListPrints) {
    auto terms = ownTable(ZahlBedFormDecl());
    TF_TableForm form(ZahlBedFormDecl(), *terms);
    for (const QString& caption : {u"Vorsc&hau"_s, u"Dr&uck"_s}) {
        QPushButton* b = form.button(caption);
        ASSERT_NE(b, nullptr);
        EXPECT_FALSE(b->isEnabled());
        EXPECT_FALSE(b->toolTip().isEmpty());
        EXPECT_EQ(b->property("formType").toInt(), 53000);
        EXPECT_EQ(b->property("printEntry").toString(), u"PrintZahlbedList"_s);
    }
    EXPECT_TRUE(IsPreviewButton(form.button(u"Vorsc&hau"_s)));
    EXPECT_FALSE(IsPreviewButton(form.button(u"Dr&uck"_s)));
    // Once the printing side installs its printer, the buttons run it.
    QList<int> printed;
    const ListPrinter previous =
        SetListPrinter([&](TF_TableForm&, const PrintButtonDecl& b) { printed.append(b.tag); });
    TF_TableForm live(ZahlBedFormDecl(), *terms);
    live.button(u"Vorsc&hau"_s)->click();
    live.button(u"Dr&uck"_s)->click();
    SetListPrinter(previous);
    EXPECT_EQ(printed, (QList<int>{1, 0}));
}

// The interval form's editors write the pattern of the current row.
class IntervalForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        intervals = ownTable(ZahlIntervFormDecl());
        form = std::make_unique<TF_TableForm>(ZahlIntervFormDecl(), *intervals);
        form->show();
    }
    void TearDown() override {
        form.reset();
        intervals.reset();
        TableFormTest::TearDown();
    }
    QString storedPattern(int id) {
        auto t = open(u"ZahlIV.DB"_s);
        t->locate({u"ZI_ID"_s}, {id});
        return FieldText(*t, u"ZI_Pattern"_s);
    }
    std::unique_ptr<table::Table> intervals;
    std::unique_ptr<TF_TableForm> form;
};

TEST_F(IntervalForm, MonthEditorReadsAYearListAndWritesDays) {
    ASSERT_TRUE(intervals->locate({u"ZI_ID"_s}, {5})); // "01.01;01.07;"
    WhenModalShown([](QWidget* modal) {
        auto* editor = qobject_cast<TF_DefMon*>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->windowTitle(), u"Definition Berichtsintervalle < 1 Monat"_s);
        EXPECT_EQ(editor->pattern(), WriteMonthPattern(ReadMonthPattern(u"01.01;01.07;"_s)));
        editor->toggleDay(2); // "1" at position 2: cleared
        editor->findChild<QPushButton*>(u"btnOK"_s)->click();
    });
    form->button(u"&< Monat"_s)->click();
    MonthPatternMarks marks = ReadMonthPattern(u"01.01;01.07;"_s);
    marks[1] = false;
    EXPECT_EQ(storedPattern(5), WriteMonthPattern(marks));
    EXPECT_FALSE(intervals->isEditing());
}

TEST_F(IntervalForm, MonthPatternWithoutDaysIsAllZeroes) {
    ASSERT_TRUE(intervals->locate({u"ZI_ID"_s}, {1}));
    WhenModalShown([](QWidget* modal) {
        auto* editor = qobject_cast<TF_DefMon*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->toggleDay(1);
        editor->accept();
    });
    EditMonthIntervall(*form);
    EXPECT_EQ(storedPattern(1), QString(31, u'0'));
}

TEST_F(IntervalForm, YearEditorRefusesImpossibleDaysAndAThirteenthDate) {
    ASSERT_TRUE(intervals->locate({u"ZI_ID"_s}, {4})); // quarterly
    WhenModalShown([this](QWidget* modal) {
        auto* editor = qobject_cast<TF_DefYear*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->toggleDate(4, 31);
        editor->toggleDate(2, 29);
        editor->toggleDate(3, 31);
        for (int m = 1; m <= 8; ++m)
            editor->toggleDate(m, 15);
        EXPECT_EQ(presenter.texts(Kind::Error),
                  QStringList{u"Sie können maximal 12 Termine festlegen!"_s});
        EXPECT_EQ(editor->pattern(), u"01.01;15.01;15.02;15.03;31.03;01.04;15.04;15.05;15.06;"
                                     u"01.07;15.07;01.10;"_s);
        editor->findChild<QPushButton*>(u"btnOK"_s)->click();
    });
    EditYearIntervall(*form);
    EXPECT_EQ(storedPattern(4), u"01.01;15.01;15.02;15.03;31.03;01.04;15.04;15.05;15.06;01.07;"
                                u"15.07;01.10;"_s);
}

TEST_F(IntervalForm, CancelledEditorKeepsThePattern) {
    ASSERT_TRUE(intervals->locate({u"ZI_ID"_s}, {6}));
    WhenModalShown([](QWidget* modal) {
        auto* editor = qobject_cast<TF_DefYear*>(modal);
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->grid().isMarked(7, 1));
        editor->toggleDate(7, 1);
        editor->findChild<QPushButton*>(u"btnCancel"_s)->click();
    });
    EditYearIntervall(*form);
    EXPECT_EQ(storedPattern(6), u"01.07;"_s);
    EXPECT_FALSE(intervals->isEditing());
}

// The settings menu as its user reaches it.
class SettingsMenu : public formtest::MainWindowTest {
protected:
    SettingsMenu() : MainWindowTest({33, 35}) {}
};

TEST_F(SettingsMenu, EveryEntryOpensItsFormBelowTheMainWindow) {
    const struct {
        const char* entry;
        const char* form;
        bool ownTable;
    } cases[] = {
        {"Mehrwertsteuer-Sätze", "TF_Mwst", false},    {"Zahlungsbedingungen", "TF_ZahlBed", true},
        {"Zahlungsarten", "TF_Zahlart", true},         {"Mengeneinheiten", "TF_MengEinh", true},
        {"Krankenkassen", "TF_Krankenkasse", true},    {"Banken", "TF_Banken", true},
        {"Berichtsintervalle", "TF_ZahlInterv", true},
    };
    for (const auto& c : cases) {
        const QString entry = QString::fromUtf8(c.entry);
        SCOPED_TRACE(c.entry);
        QAction* item = window->menuItem(u"Einstellungen"_s, entry);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isEnabled());
        const bool shown = whenFormShown(
            [&](TF_TableForm& form) {
                EXPECT_EQ(form.objectName(), QString::fromLatin1(c.form));
                EXPECT_EQ(form.windowTitle(), entry);
                EXPECT_EQ(form.pos().y(), window->frameGeometry().bottom() + 1);
                EXPECT_EQ(form.pos().x(), window->frameGeometry().left());
                EXPECT_FALSE(dm->IsTimerWorkEnabled());
                EXPECT_TRUE(form.table().isOpen());
                // The modules make the print buttons live.
                for (const QString& print : {u"Vorsc&hau"_s, u"Dr&uck"_s})
                    EXPECT_TRUE(form.button(print) && form.button(print)->isEnabled());
                if (c.ownTable) {
                    EXPECT_FALSE(form.table().isEditing()) << "the menu opens without a new row";
                }
                form.close();
            },
            [&] { item->trigger(); });
        EXPECT_TRUE(shown);
        EXPECT_TRUE(dm->IsTimerWorkEnabled());
    }
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

// The document groups print nothing; their form opens on the shared table
// with the timer work paused.
TEST_F(SettingsMenu, DocumentGroupsOpenBelowTheMainWindow) {
    QAction* item = window->menuItem(u"Einstellungen"_s, u"Dokument-Gruppen"_s);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(whenFormShown(
        [&](TF_TableForm& form) {
            EXPECT_EQ(form.objectName(), u"TF_DvGroups"_s);
            EXPECT_EQ(form.pos().y(), window->frameGeometry().bottom() + 1);
            EXPECT_FALSE(dm->IsTimerWorkEnabled());
            EXPECT_TRUE(form.table().isOpen());
            form.close();
        },
        [&] { item->trigger(); }));
    EXPECT_TRUE(dm->IsTimerWorkEnabled());
    EXPECT_FALSE(dm->TabDvGroups().isOpen());
}

} // namespace
