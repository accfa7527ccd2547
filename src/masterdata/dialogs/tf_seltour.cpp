#include "masterdata/dialogs/tf_seltour.h"

#include "core/data/datamodule.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "masterdata/dialogs/choicecontrols.h"
#include "masterdata/dialogs/gridsearch.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_SelTour::TF_SelTour(table::Table& tours, QWidget* parent) : QDialog(parent), m_tours(tours) {
    setObjectName(u"TF_SelTour"_s);
    setWindowTitle(u"Tourenauswahl"_s);
    m_source = new widgets::DataSource(tours, this);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* navigator = MakeMoveNavigator(*m_source, this);
    auto* label = new QLabel(u"&Suchen"_s, this);
    m_editSearch = new QLineEdit(this);
    m_editSearch->setObjectName(u"EditSearch"_s);
    label->setBuddy(m_editSearch);
    top->addWidget(navigator);
    top->addSpacing(12);
    top->addWidget(label);
    top->addWidget(m_editSearch, 1);
    layout->addLayout(top);

    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(u"GridTour"_s);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setColumns({{u"TO_Nr"_s, u"Tour-Nr."_s, 8},
                        {u"TO_Beschreibung"_s, u"Tour-Benennung"_s, 30},
                        {u"TO_WochentagName"_s, u"Wochentag"_s, 12},
                        {u"TO_PersonName"_s, u"Mitarbeiter"_s, 22}});
    layout->addWidget(m_grid, 1);
    new GridSearch(*m_editSearch, *m_grid, [this] { return m_sortColumn; });

    layout->addLayout(MakeChoiceButtons(this, m_btnOK, m_btnCancel));

    connect(m_btnOK, &QPushButton::clicked, this, &TF_SelTour::btnOKClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TF_SelTour::btnCancelClick);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TF_SelTour::btnOKClick);
    connect(m_grid, &widgets::DataGrid::titleClicked, this,
            [this](int, const QString& field) { gridTitleClick(field); });
    resize(680, 360);
}

TF_SelTour::~TF_SelTour() {
    // The grid and the data source go before the shared cursor is touched again.
    delete m_grid;
    delete m_source;
}

void TF_SelTour::start(int tourNr) {
    // Forced: the cursor is shared, another list may have left it in any order.
    const int column = SortGridByField(u"TO_Nr"_s, *m_grid, true);
    m_sortColumn = column >= 0 ? column : 0;
    if (!m_tours.locate({u"TO_Nr"_s}, {tourNr}))
        m_tours.first();
    m_grid->followCursor();
}

void TF_SelTour::btnOKClick() {
    const table::Field* nr =
        m_tours.isOpen() && !m_tours.isEmpty() ? m_tours.findField(u"TO_Nr"_s) : nullptr;
    m_chosen = nr ? nr->asIntegerOr(0) : 0;
    accept();
}

void TF_SelTour::btnCancelClick() {
    m_chosen = -1;
    reject();
}

void TF_SelTour::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_grid->setFocus();
}

void TF_SelTour::gridTitleClick(const QString& field) {
    SortGridByField(field, *m_grid, false);
    // Taken only when the list now is sorted by that column (a field
    // without an index leaves the sort as it was).
    if (GetSortFieldName().compare(field, Qt::CaseInsensitive) == 0)
        m_sortColumn = m_grid->gridModel().columnOf(field);
}

namespace {

int runTourChoice(table::Table& tours, int startNr, int left, int top, const QString& caption) {
    TF_SelTour form(tours);
    form.setWindowTitle(caption.isEmpty() ? u"Tourenauswahl"_s : caption);
    form.move(left, top);
    form.start(startNr);
    form.exec();
    return form.chosenNr();
}

// Switches the cursor's filter off again on every path; the text stays.
class FilterOffAfterwards {
public:
    explicit FilterOffAfterwards(table::Table& t) : m_table(t) {}
    ~FilterOffAfterwards() {
        if (m_table.isFiltered())
            m_table.setFiltered(false);
    }
    FilterOffAfterwards(const FilterOffAfterwards&) = delete;
    FilterOffAfterwards& operator=(const FilterOffAfterwards&) = delete;

private:
    table::Table& m_table;
};

} // namespace

int SelectTour(int startNr, int left, int top, const QString& caption) {
    TimerWorkPause paused;
    TDataModule1& dm = DataModule1();
    table::Table& tours = dm.TabLUTour();
    // The list shows what the tour form shows.
    tours.setFilter(dm.TabTour().filter());
    tours.setFiltered(dm.TabTour().isFiltered());
    return runTourChoice(tours, startNr, left, top, caption);
}

int SelectOtherTourOfDay(int currentNr, int weekday, int left, int top, const QString& caption) {
    TimerWorkPause paused;
    table::Table& tours = DataModule1().TabLUTour();
    tours.setFilter(OtherTourOfDayFilter(weekday, currentNr));
    FilterOffAfterwards filterOff(tours);
    tours.setFiltered(true);
    return runTourChoice(tours, currentNr + 1, left, top, caption);
}
