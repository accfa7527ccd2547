#include "masterdata/gui/turnoverpage.h"

#include "core/data/datamodule.h"
#include "core/data/turnover.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/turnoverchart.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

TurnoverPage* turnoverPageOf(TF_ListForm& form, const QString& title) {
    return qobject_cast<TurnoverPage*>(form.page(title));
}

// The turnover tab in front shows TodayYear again.
void followTodayYear(TF_ListForm& form) {
    const QString& title = form.listDeclaration().turnoverPage;
    if (!form.pageShown(title))
        return;
    if (TurnoverPage* page = turnoverPageOf(form, title))
        page->pageShown();
}

} // namespace

void AddTurnoverPage(ListFormDecl& decl, const TurnoverPageDecl& page) {
    const QString title = page.title;
    decl.customPages.append({title,
                             page.before,
                             [page](TF_ListForm& form) { return new TurnoverPage(page, form); },
                             [title](TF_ListForm& form) {
                                 if (TurnoverPage* p = turnoverPageOf(form, title))
                                     p->pageShown();
                             },
                             {},
                             [title](TF_ListForm& form) {
                                 if (TurnoverPage* p = turnoverPageOf(form, title))
                                     p->reload();
                             }});
    decl.turnoverPage = title;
    auto activated = decl.activated;
    decl.activated = [activated, table = page.table](TF_ListForm& form) {
        table::Table& rows = DataModule1().table(table);
        if (!rows.isOpen())
            rows.open();
        if (activated)
            activated(form);
        // A year chosen meanwhile in another form: a tab still in front follows.
        followTodayYear(form);
    };
}

TF_ListForm& ShowTurnoverForm(const QString& formClass) {
    TodayYear = QDate::currentDate().year();
    TF_ListForm& form = ShowListForm(formClass);
    // An inactive form follows on its activation.
    if (form.isActivated())
        followTodayYear(form);
    return form;
}

TurnoverPage::TurnoverPage(const TurnoverPageDecl& decl, TF_ListForm& form)
    : m_decl(decl), m_form(form), m_table(DataModule1().table(decl.table)),
      m_source(std::make_unique<widgets::DataSource>(m_table)) {
    FollowSharedMasterRows(*m_source, decl.table);
    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(decl.gridName);
    QList<widgets::GridColumn> columns{{u"U_MonatsName"_s, u"Monat"_s, 10, true}};
    if (decl.withCosts)
        columns.append({u"U_Kosten"_s, u"Kosten"_s, 11, true});
    columns.append({u"U_Betrag"_s, u"Erlöse"_s, 11, true});
    m_grid->setColumns(columns);
    m_grid->setMinimumWidth(m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40);
    m_grid->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    m_year = new QSpinBox(this);
    m_year->setObjectName(u"EditJahr"_s);
    m_year->setRange(1999, 2100);
    if (auto* edit = m_year->findChild<QLineEdit*>())
        edit->setMaxLength(4);
    m_year->setValue(QDate::currentDate().year());
    connect(m_year, &QSpinBox::valueChanged, this, [this](int year) {
        if (!m_settingYear)
            chooseYear(year);
    });
    auto* yearLabel = new QLabel(decl.yearLabel, this);
    yearLabel->setBuddy(m_year);

    m_chart = new TurnoverChart(decl.withCosts, this);

    auto* left = new QVBoxLayout;
    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(yearLabel);
    yearRow->addWidget(m_year);
    yearRow->addStretch();
    left->addLayout(yearRow);
    left->addWidget(m_grid, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(m_chart, 1);
}

TurnoverPage::~TurnoverPage() {
    delete m_grid;
    m_source.reset();
}

void TurnoverPage::reload() {
    TurnoverChart::Months revenue{};
    TurnoverChart::Months costs{};
    int year = TodayYear;
    if (m_table.isOpen()) {
        widgets::RowReader& rows = m_source->rows();
        for (int r = 0, n = rows.rowCount(); r < n; ++r) {
            const int month = rows.value(r, u"U_Monat"_s).toInt();
            if (month < 1 || month > 12)
                continue;
            revenue[month - 1] += rows.value(r, u"U_Betrag"_s).toDouble();
            // The supplier's rows have no costs field.
            if (m_decl.withCosts)
                costs[month - 1] += rows.value(r, u"U_Kosten"_s).toDouble();
        }
        table::Table& master = m_form.table();
        if (master.isOpen() && !master.isEmpty())
            year = master.field(m_decl.yearField).asIntegerOr(TodayYear);
    }
    m_chart->setMonths(year, revenue, costs);
}

void TurnoverPage::writeYear(int year) {
    table::Table& master = m_form.table();
    if (!master.isOpen() || master.isEmpty() ||
        master.field(m_decl.yearField).asIntegerOr(0) == year)
        return;
    // Writing the year only chooses what is shown: a record that cannot be
    // written (read-only without the edit right, locked elsewhere) keeps its
    // year, and the chart shows the rows of that year.
    const bool wasEditing = master.isEditing();
    try {
        if (!wasEditing)
            master.edit();
        master.field(m_decl.yearField).setValue(year);
        master.post();
    } catch (const DbError&) {
        if (!wasEditing && master.isEditing())
            master.cancel();
    } catch (const Abort&) {
        if (!wasEditing && master.isEditing())
            master.cancel();
    }
}

void TurnoverPage::chooseYear(int year) {
    TodayYear = year;
    writeYear(year);
    reload();
}

void TurnoverPage::pageShown() {
    m_settingYear = true;
    m_year->setValue(TodayYear);
    m_settingYear = false;
    writeYear(TodayYear);
    reload();
}
