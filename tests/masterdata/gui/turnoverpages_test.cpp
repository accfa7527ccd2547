#include "core/data/datamodule.h"
#include "core/data/turnover.h"
#include "masterdata/gui/artikelform.h"
#include "masterdata/gui/kundenform.h"
#include "masterdata/gui/lieferantform.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/turnoverchart.h"
#include "masterdata/gui/turnoverpage.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "tableformfixture.h"

#include <QAbstractButton>
#include <QDate>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// The article and supplier forms show their records' month rows like the
// customer form: one year for all records, chosen on the turnover tab.
struct TurnoverCase {
    const char* name;
    QString formClass;
    std::function<void()> show;
    QString masterFile;
    QString keyField; // the field the month rows refer to
    QString idField;
    QList<std::pair<QString, QVariant>> masterExtra;
    QString turnoverFile;
    QString linkField;
    QString yearField;
    bool withCosts;
    QString before; // the tab after the turnover tab; empty: it is the last
};

class TurnoverPages : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedYear = TodayYear;
    }
    void TearDown() override {
        forms.reset();
        TodayYear = m_savedYear;
        SetArtikelFormStock(0, 0);
        TableFormTest::TearDown();
    }
    void addMonth(const TurnoverCase& c, int key, int year, int month, double amount,
                  double costs) {
        QList<std::pair<QString, QVariant>> row{{u"U_ID"_s, ++m_nextId},
                                                {c.linkField, key},
                                                {u"U_Jahr"_s, year},
                                                {u"U_Monat"_s, month},
                                                {u"U_Betrag"_s, amount}};
        if (c.withCosts)
            row.append({u"U_Kosten"_s, costs});
        addRow(c.turnoverFile, row);
    }

    std::unique_ptr<LongLivedForms> forms;

private:
    int m_savedYear = 0;
    int m_nextId = 0;
};

TEST_F(TurnoverPages, ChartShowsTheChosenYearAndFollowsRecordAndYearEdit) {
    const TurnoverCase cases[] = {
        {"article",
         u"TF_Artikel"_s,
         [] { ShowArtikelForm(0, 0); },
         u"Artikel.DB"_s,
         u"A_ID"_s,
         u"A_ID"_s,
         {{u"A_ObjID"_s, 0}},
         u"AUmsatz.DB"_s,
         u"U_ArtikelID"_s,
         u"A_AktJahr"_s,
         true,
         {}},
        {"supplier",
         u"TF_Lieferant"_s,
         [] { ShowLieferantForm(); },
         u"Liefrnt.db"_s,
         u"K_Nr"_s,
         u"K_ID"_s,
         {},
         u"LUmsatz.db"_s,
         u"U_Kunde"_s,
         u"K_Aktjahr"_s,
         false,
         u"Versc&hiedenes"_s},
    };
    formtest::TestUser user{1, 9};
    const int thisYear = QDate::currentDate().year();
    for (const TurnoverCase& c : cases) {
        for (const int key : {10, 20}) {
            QList<std::pair<QString, QVariant>> row{
                {c.idField, key}, {c.keyField, key}, {c.yearField, thisYear}};
            row.append(c.masterExtra);
            addRow(c.masterFile, row);
        }
        addMonth(c, 10, 2024, 3, 100, 40);
        addMonth(c, 10, 2025, 3, 200, 0);
        addMonth(c, 20, 2025, 5, 50, 5);
    }
    for (table::Table* t : {&dm->TabVE(), &dm->TabBestMode(), &dm->TabKostart(),
                            &dm->TabLieferant(), &dm->TabLiefArt(), &dm->TabArtikel()})
        if (!t->isOpen())
            t->open();
    for (const TurnoverCase& c : cases) {
        SCOPED_TRACE(c.name);
        TodayYear = 2020; // a stale year from earlier work in the program
        forms = std::make_unique<LongLivedForms>();
        c.show();
        TF_ListForm* form = FindListForm(c.formClass);
        ASSERT_NE(form, nullptr);
        formtest::ShowActive(*form);
        table::Table& master = form->table();
        ASSERT_TRUE(master.locate({c.keyField}, {10}));

        auto* tabs = form->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        int turnoverTab = -1, beforeTab = tabs->count();
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabText(i) == u"&Umsatz"_s)
                turnoverTab = i;
            if (tabs->tabText(i) == c.before)
                beforeTab = i;
        }
        EXPECT_EQ(turnoverTab, c.before.isEmpty() ? tabs->count() - 1 : beforeTab - 1);

        form->showPage(u"&Umsatz"_s);
        auto* page = qobject_cast<TurnoverPage*>(form->page(u"&Umsatz"_s));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->yearEdit().value(), TodayYear);
        EXPECT_EQ(page->grid().model()->columnCount(), c.withCosts ? 3 : 2);

        page->yearEdit().setValue(2025);
        EXPECT_EQ(TodayYear, 2025);
        EXPECT_EQ(master[c.yearField].asIntegerOr(0), 2025);
        EXPECT_FALSE(master.isEditing());
        const TurnoverChart& chart = page->chart();
        EXPECT_EQ(chart.year(), 2025);
        EXPECT_DOUBLE_EQ(chart.revenue(3), 200);
        EXPECT_EQ(page->grid().model()->rowCount(), 1);

        // Another record shows the same year.
        ASSERT_TRUE(master.locate({c.keyField}, {20}));
        EXPECT_EQ(master[c.yearField].asIntegerOr(0), 2025);
        EXPECT_EQ(chart.year(), 2025);
        EXPECT_DOUBLE_EQ(chart.revenue(3), 0);
        EXPECT_DOUBLE_EQ(chart.revenue(5), 50);
        if (c.withCosts) {
            EXPECT_DOUBLE_EQ(chart.costs(5), 5);
        }

        page->yearEdit().setValue(2024);
        EXPECT_DOUBLE_EQ(chart.revenue(5), 0);
        ASSERT_TRUE(master.locate({c.keyField}, {10}));
        EXPECT_EQ(chart.year(), 2024);
        EXPECT_DOUBLE_EQ(chart.revenue(3), 100);
        if (c.withCosts) {
            EXPECT_DOUBLE_EQ(chart.costs(3), 40);
        }
        forms.reset();
    }
}

// The three forms with a turnover tab, each with one record.
struct FormCase {
    const char* name;
    QString formClass;
    std::function<void()> show;
    QString masterFile;
    QList<std::pair<QString, QVariant>> row;
    QString yearField;
};

const QList<FormCase>& turnoverForms() {
    static const QList<FormCase> cases{
        {"article",
         u"TF_Artikel"_s,
         [] { ShowArtikelForm(0, 0); },
         u"Artikel.DB"_s,
         {{u"A_ID"_s, 1}, {u"A_ArtNo"_s, u"000001"_s}, {u"A_ObjID"_s, 0}},
         u"A_AktJahr"_s},
        {"supplier",
         u"TF_Lieferant"_s,
         [] { ShowLieferantForm(); },
         u"Liefrnt.db"_s,
         {{u"K_ID"_s, 1}, {u"K_Nr"_s, 10}},
         u"K_Aktjahr"_s},
        {"customer",
         u"TF_Kunden"_s,
         [] { ShowKundenForm(); },
         u"Kunden.DB"_s,
         {{u"K_ID"_s, 1}, {u"K_Nr"_s, 10}},
         u"K_Aktjahr"_s},
    };
    return cases;
}

// Each opening from the menu starts on today's year, also when the form is
// still open on its turnover tab with a year chosen there or in another form.
TEST_F(TurnoverPages, OpeningAgainFromTheMenuGoesBackToTodaysYear) {
    const QList<FormCase>& cases = turnoverForms();
    formtest::TestUser user{1, 2, 3, 4, 5, 9};
    const int thisYear = QDate::currentDate().year();
    for (const auto& c : cases)
        addRow(c.masterFile, c.row);
    for (table::Table* t :
         {&dm->TabVE(), &dm->TabBestMode(), &dm->TabKostart(), &dm->TabLieferant(),
          &dm->TabLiefArt(), &dm->TabArtikel(), &dm->TabKunden()})
        if (!t->isOpen())
            t->open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget mainWindow; // where the menu entry is chosen
        forms = std::make_unique<LongLivedForms>();
        c.show();
        TF_ListForm* form = FindListForm(c.formClass);
        ASSERT_NE(form, nullptr);
        formtest::ShowActive(*form);
        form->showPage(u"&Umsatz"_s);
        auto* page = qobject_cast<TurnoverPage*>(form->page(u"&Umsatz"_s));
        ASSERT_NE(page, nullptr);
        page->yearEdit().setValue(2021);
        ASSERT_EQ(form->table()[c.yearField].asIntegerOr(0), 2021);

        formtest::ShowActive(mainWindow);
        c.show();
        formtest::ShowActive(*form);
        EXPECT_EQ(TodayYear, thisYear);
        EXPECT_EQ(page->yearEdit().value(), thisYear);
        EXPECT_EQ(page->chart().year(), thisYear);
        EXPECT_EQ(form->table()[c.yearField].asIntegerOr(0), thisYear);

        // Chosen again while the form stays the active window.
        page->yearEdit().setValue(2022);
        c.show();
        EXPECT_EQ(page->yearEdit().value(), thisYear);
        EXPECT_EQ(page->chart().year(), thisYear);
        EXPECT_EQ(form->table()[c.yearField].asIntegerOr(0), thisYear);
        forms.reset();
    }
}

// Alt with the year label's letter reaches the year edit, not a tab.
TEST_F(TurnoverPages, TheYearLabelsMnemonicIsItsOwn) {
    static const QRegularExpression mnemonic(u"&([^&])"_s);
    const auto letterOf = [](const QString& caption) {
        const auto m = mnemonic.match(caption);
        return m.hasMatch() ? m.captured(1).at(0).toLower() : QChar();
    };
    formtest::TestUser user{1, 2, 3, 4, 5, 9};
    for (const FormCase& c : turnoverForms()) {
        SCOPED_TRACE(c.name);
        forms = std::make_unique<LongLivedForms>();
        c.show();
        TF_ListForm* form = FindListForm(c.formClass);
        ASSERT_NE(form, nullptr);
        form->showPage(u"&Umsatz"_s);
        auto* page = qobject_cast<TurnoverPage*>(form->page(u"&Umsatz"_s));
        ASSERT_NE(page, nullptr);
        QLabel* yearLabel = nullptr;
        for (QLabel* label : page->findChildren<QLabel*>())
            if (label->buddy() == &page->yearEdit())
                yearLabel = label;
        ASSERT_NE(yearLabel, nullptr);
        const QChar letter = letterOf(yearLabel->text());
        ASSERT_FALSE(letter.isNull());
        auto* tabs = form->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_NE(letterOf(tabs->tabText(i)), letter) << tabs->tabText(i).toStdString();
        for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
            if (button->isVisibleTo(form)) {
                EXPECT_NE(letterOf(button->text()), letter) << button->text().toStdString();
            }
        }
        forms.reset();
    }
}

} // namespace
