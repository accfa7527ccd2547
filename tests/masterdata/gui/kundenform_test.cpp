#include "core/data/dbhelpers.h"
#include "core/data/turnover.h"
#include "core/files/deleteguard.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/values/packeddate.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/kundenform.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/turnoverchart.h"
#include "masterdata/gui/turnoverpage.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "printing/listbutton.h"
#include "tableformfixture.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class KundenForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (int f = 2; f <= 5; ++f)
            CurrentUser.rights.set(f, rbAllRights);
        InstallRightsChecker();
        m_savedYear = TodayYear;
        if (!kunden().isOpen())
            kunden().open();
    }
    void TearDown() override {
        forms.reset();
        SetRightsChecker(nullptr);
        CurrentUser = m_savedUser;
        TodayYear = m_savedYear;
        TableFormTest::TearDown();
    }

    table::Table& kunden() const { return dm->TabKunden(); }
    void addCustomer(int nr, const QString& name) {
        kunden().append();
        kunden()[u"K_Nr"_s] = nr;
        kunden()[u"K_Match"_s] = name.toUpper();
        kunden()[u"K_Name1"_s] = name;
        kunden().post();
    }
    // The long-lived forms as the program creates them, the customers shown.
    TF_ListForm& showForm() {
        forms = std::make_unique<LongLivedForms>();
        ShowKundenForm();
        TF_ListForm* form = FindListForm(u"TF_Kunden"_s);
        EXPECT_NE(form, nullptr);
        QApplication::setActiveWindow(form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(form));
        return *form;
    }

    std::unique_ptr<LongLivedForms> forms;

private:
    TUserRec m_savedUser;
    int m_savedYear = 0;
};

TEST_F(KundenForm, EveryPageEditsItsFields) {
    addCustomer(10, u"Alpha"_s);
    TF_ListForm& form = showForm();
    ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {10}));
    int edited = 0;
    for (const widgets::FieldDecl& f : form.declaration().fields) {
        if (f.kind != widgets::FieldKind::Edit || f.readOnly || f.field == u"K_Nr"_s)
            continue;
        SCOPED_TRACE(f.field.toStdString());
        form.showPage(f.page);
        auto* edit = form.fields()->editorAs<widgets::DbEdit>(f.field);
        ASSERT_NE(edit, nullptr);
        EXPECT_FALSE(edit->isReadOnly());
        const bool number = kunden().field(f.field).type() != table::FieldType::String;
        const QString text = number ? u"%1"_s.arg(100 + edited) : u"T%1"_s.arg(edited);
        edit->setText(text);
        edit->setModified(true);
        Q_EMIT edit->editingFinished();
        form.post();
        EXPECT_FALSE(kunden().isEditing());
        if (number) {
            EXPECT_EQ(kunden().field(f.field).asFloat(), 100 + edited);
        } else {
            EXPECT_EQ(FieldText(kunden(), f.field), text);
        }
        ++edited;
    }
    EXPECT_GE(edited, 45);
    // The dunning block shows "Ja"/"Nein".
    form.showPage(u"Versc&hiedenes"_s);
    auto* block = form.fields()->editorAs<widgets::DbComboBox>(u"K_Mahnsperre"_s);
    ASSERT_NE(block, nullptr);
    block->setCurrentIndex(block->findText(u"Ja"_s));
    Q_EMIT block->activated(block->currentIndex());
    form.post();
    EXPECT_TRUE(kunden()[u"K_Mahnsperre"_s].asBoolean());
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

TEST_F(KundenForm, ChartShowsTheChosenYearAndFollowsCustomerAndYearEdit) {
    addCustomer(10, u"Alpha"_s);
    addCustomer(20, u"Beta"_s);
    AddKUmsatz(10, 100, 40, TPackedDate(2024, 3, 1));
    AddKUmsatz(10, 200, 0, TPackedDate(2025, 3, 1));
    AddKUmsatz(20, 50, 5, TPackedDate(2025, 5, 1));
    TF_ListForm& form = showForm();
    EXPECT_EQ(TodayYear, QDate::currentDate().year());
    ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {10}));
    form.showPage(u"&Umsatz"_s);
    auto* page = qobject_cast<TurnoverPage*>(form.page(u"&Umsatz"_s));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->yearEdit().value(), QDate::currentDate().year());

    page->yearEdit().setValue(2025);
    EXPECT_EQ(TodayYear, 2025);
    EXPECT_EQ(kunden()[u"K_Aktjahr"_s].asIntegerOr(0), 2025);
    EXPECT_FALSE(kunden().isEditing());
    const TurnoverChart& chart = page->chart();
    EXPECT_EQ(chart.year(), 2025);
    EXPECT_DOUBLE_EQ(chart.revenue(3), 200);
    EXPECT_DOUBLE_EQ(chart.costs(3), 0);

    // Another customer shows the same year.
    ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {20}));
    EXPECT_EQ(kunden()[u"K_Aktjahr"_s].asIntegerOr(0), 2025);
    EXPECT_EQ(chart.year(), 2025);
    EXPECT_DOUBLE_EQ(chart.revenue(3), 0);
    EXPECT_DOUBLE_EQ(chart.revenue(5), 50);
    EXPECT_DOUBLE_EQ(chart.costs(5), 5);

    page->yearEdit().setValue(2024);
    EXPECT_DOUBLE_EQ(chart.revenue(5), 0);
    ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {10}));
    EXPECT_EQ(chart.year(), 2024);
    EXPECT_DOUBLE_EQ(chart.revenue(3), 100);
    EXPECT_DOUBLE_EQ(chart.costs(3), 40);
    EXPECT_EQ(page->grid().model()->rowCount(), 12);
}

TEST_F(KundenForm, OpenItemsAreReadOnlyWhileTheirPageIsShownSettledOnesGreen) {
    addCustomer(10, u"Alpha"_s);
    addCustomer(20, u"Beta"_s);
    {
        table::Table op(table::aliases::database(u"LumoDB"_s), u"OpKopf.DB"_s);
        op.open();
        const struct {
            int nr, kunde;
            bool settled;
        } rows[] = {{501, 10, true}, {502, 10, false}, {503, 20, false}};
        for (const auto& r : rows) {
            op.append();
            op[u"R_Nr"_s] = r.nr;
            op[u"R_KundenNr"_s] = r.kunde;
            op[u"O_Erledigt"_s] = r.settled;
            op.post();
        }
    }
    TF_ListForm& form = showForm();
    ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {10}));
    auto* page = qobject_cast<DetailGridPage*>(form.page(u"Offene Posten"_s));
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->table().isOpen());
    form.showPage(u"Offene Posten"_s);
    ASSERT_TRUE(page->table().isOpen());
    EXPECT_TRUE(page->table().isReadOnly());
    const QAbstractItemModel& rows = *page->grid().model();
    ASSERT_EQ(rows.rowCount(), 2);
    const QColor green(0x66, 0xEE, 0x66);
    EXPECT_EQ(rows.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), green);
    EXPECT_EQ(rows.index(1, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
    ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {20}));
    EXPECT_EQ(page->grid().model()->rowCount(), 1);
    form.showPage(u"&Grunddaten"_s);
    EXPECT_FALSE(page->table().isOpen());
}

TEST_F(KundenForm, RightsOfFunctionsTwoToFive) {
    addCustomer(10, u"Alpha"_s);
    constexpr quint8 all = rbAllRights;
    constexpr quint8 none = 0;
    const struct {
        quint8 kunden, statistik, offenePosten, dokumente;
        bool print, documents, turnover, openItems, bank, readOnly, deleteButton;
    } cases[] = {
        {all, all, all, all, true, true, true, true, true, false, true},
        {rbView, all, all, all, false, true, true, true, false, true, false},
        {all & ~rbDelete, none, all, none, true, false, false, true, true, false, false},
        {all, all, none, all, true, true, true, false, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(&c - cases));
        CurrentUser.rights.set(2, c.kunden);
        CurrentUser.rights.set(3, c.statistik);
        CurrentUser.rights.set(4, c.offenePosten);
        CurrentUser.rights.set(5, c.dokumente);
        TF_ListForm form(KundenFormDecl(), kunden());
        form.activate();
        QTabWidget& tabs = *form.fields()->pages();
        auto tabShown = [&](const QString& title) {
            for (int i = 0; i < tabs.count(); ++i)
                if (tabs.tabText(i) == title)
                    return tabs.isTabVisible(i);
            return false;
        };
        EXPECT_EQ(!form.button(u"&Druck"_s)->isHidden(), c.print);
        EXPECT_FALSE(form.button(u"&Vorschau"_s)->isHidden());
        EXPECT_EQ(!form.button(u"Dokum."_s)->isHidden(), c.documents);
        EXPECT_EQ(tabShown(u"&Umsatz"_s), c.turnover);
        EXPECT_EQ(!form.fields()->editor(u"K_UmsGesamt"_s)->isHidden(), c.turnover);
        EXPECT_EQ(!form.fields()->editor(u"K_UmsLetzt"_s)->isHidden(), c.turnover);
        EXPECT_EQ(tabShown(u"Offene Posten"_s), c.openItems);
        EXPECT_EQ(!form.fields()->editor(u"K_Rechoffen"_s)->isHidden(), c.openItems);
        EXPECT_EQ(tabShown(u"&Bank"_s), c.bank);
        EXPECT_EQ(kunden().isReadOnly(), c.readOnly);
        EXPECT_EQ(!form.navigator().button(widgets::DbNavigator::Delete)->isHidden(),
                  c.deleteButton);
        // Taken-away tabs stay away when the rights come back; buttons follow.
        form.deactivate();
        EXPECT_FALSE(kunden().isReadOnly());
        for (int f = 2; f <= 5; ++f)
            CurrentUser.rights.set(f, all);
        form.activate();
        EXPECT_EQ(tabShown(u"&Umsatz"_s), c.turnover);
        EXPECT_EQ(tabShown(u"&Bank"_s), c.bank);
        EXPECT_FALSE(form.button(u"&Druck"_s)->isHidden());
        EXPECT_FALSE(form.button(u"Dokum."_s)->isHidden());
        form.deactivate();
    }
}

// The customer list print: what the table holds when the print form is
// chosen, and what the entry would be given.
struct PrintSeen {
    bool filtered = false;
    QString filter;
    int count = 0;
    bool useFilter = false;
    QString tableName;
};

class KundenListPrint : public KundenForm {
protected:
    void SetUp() override {
        KundenForm::SetUp();
        // What the program's list printing does around the print-form choice:
        // the button's step runs, the entry's arguments are taken, the step's
        // undo runs after the print (listbutton.h).
        m_previous = SetListPrinter([this](TF_TableForm& form, const PrintButtonDecl& decl) {
            ListPrintButton button{decl.formType, decl.entry, decl.tag};
            ASSERT_TRUE(decl.prepare);
            decl.prepare(form, button);
            ListEntryArgs args = button.args;
            const std::function<void()> undo = button.around ? button.around(args) : nullptr;
            table::Table& t = form.table();
            seen.append({t.isFiltered(), t.filter(), t.recordCount(), args.useFilter,
                         args.tableName.value_or(QString())});
            if (undo)
                undo();
        });
    }
    void TearDown() override {
        SetListPrinter(m_previous);
        KundenForm::TearDown();
    }
    void addCustomers(int count) {
        dm->TabKunden().close();
        table::Table t(table::aliases::database(u"LumoDB"_s), u"Kunden.DB"_s);
        t.open();
        table::Transaction once(*table::aliases::database(u"LumoDB"_s));
        for (int i = 1; i <= count; ++i) {
            const QString n = u"%1"_s.arg(i, 4, 10, QLatin1Char('0'));
            t.append();
            t[u"K_ID"_s] = i;
            t[u"K_Nr"_s] = i;
            t[u"K_Match"_s] = u"M"_s + n;
            t[u"K_Name1"_s] = u"Kunde'"_s + n;
            t[u"K_Name2"_s] = u"Firma "_s + n;
            t[u"K_Plz"_s] = QString::number(10000 + i);
            t[u"K_Ort"_s] = u"Ort "_s + n;
            t.post();
        }
        once.commit();
        dm->TabKunden().open();
    }

    QList<PrintSeen> seen;

private:
    ListPrinter m_previous;
};

TEST_F(KundenListPrint, UpTo800CustomersPrintWithoutMessageOrFilter) {
    addCustomers(800);
    TF_ListForm& form = showForm();
    form.button(u"&Vorschau"_s)->click();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_FALSE(seen[0].filtered);
    EXPECT_FALSE(seen[0].useFilter);
    EXPECT_EQ(seen[0].tableName, u"Kunden"_s);
    EXPECT_EQ(seen[0].count, 800);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(KundenListPrint, MoreThan800PrintTheRangeFromTheCurrentRowBySortColumn) {
    addCustomers(900);
    TF_ListForm& form = showForm();
    const struct {
        const char* field;
        QString filter;
    } cases[] = {
        {"K_Nr", u"K_Nr>=51 AND K_Nr<=851"_s},
        {"K_Match", u"K_Match>='M0051' AND K_Match<='M0851'"_s},
        {"K_Name1", u"K_Name1>='Kunde''0051' AND K_Name1<='Kunde''0851'"_s},
        {"K_Name2", u"K_Name2>='Firma 0051' AND K_Name2<='Firma 0851'"_s},
        {"K_Plz", u"K_Plz>='10051' AND K_Plz<='10851'"_s},
        {"K_Ort", u"K_Ort>='Ort 0051' AND K_Ort<='Ort 0851'"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const QString field = QString::fromLatin1(c.field);
        const int column = form.grid().gridModel().columnOf(field);
        Q_EMIT form.grid().titleClicked(column, field);
        ASSERT_EQ(form.sortField(), field);
        kunden().setRecNo(51);
        seen.clear();
        presenter.boxes.clear();
        form.button(u"&Druck"_s)->click();
        ASSERT_EQ(seen.size(), 1);
        EXPECT_TRUE(seen[0].filtered);
        EXPECT_TRUE(seen[0].useFilter);
        EXPECT_EQ(seen[0].filter, c.filter);
        EXPECT_EQ(seen[0].count, 801);
        EXPECT_EQ(presenter.texts(Kind::Info).value(0).left(32),
                  u"Sie haben 900 Kunden erfasst. Do"_s);
        // Switched off again, back on the row the print started from.
        EXPECT_FALSE(kunden().isFiltered());
        EXPECT_EQ(kunden().recordCount(), 900);
        EXPECT_EQ(kunden().recNo(), 51);
    }
}

TEST_F(KundenForm, ToolBarButtonOpensTheForm) {
    ModuleDispatcher dispatcher;
    RegisterMasterDataModules(dispatcher);
    TF_LumoMain window(dispatcher);
    window.show();
    forms = std::make_unique<LongLivedForms>();
    QPushButton* button = nullptr;
    for (QPushButton* b : window.toolButtons)
        if (b->text().remove(u'&') == u"Kunden"_s)
            button = b;
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    button->click();
    TF_ListForm* form = FindListForm(u"TF_Kunden"_s);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), u"Kunden"_s);
    EXPECT_EQ(form->pos().y(), window.frameGeometry().bottom() + 1);
    EXPECT_EQ(form->currentPage(), u"&Grunddaten"_s);
    form->close();
    forms.reset();
}

} // namespace
