#include "operations/gui/tourpanel.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/detailfocus.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/lookupfields.h"
#include "operations/gui/tf_editfixterm.h"
#include "operations/gui/tf_termprev.h"
#include "operations/tournextdate.h"
#include "operations/tourobjects.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::DataGrid;
using widgets::DbNavigator;
using widgets::EditAction;
using widgets::guarded;

namespace {

constexpr int kRight = 14;
constexpr int kFixTermInterval = 17;
const QString kObjekt = u"TO_Objekt"_s;
const QString kObjektName = u"To_Objektname"_s;

TDataModule1& dm() {
    return DataModule1();
}

bool isKey(const QEvent* event, int key, Qt::KeyboardModifiers modifiers) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    return k->key() == key && k->modifiers() == modifiers;
}

bool isEnter(const QEvent* event) {
    return isKey(event, Qt::Key_Return, Qt::NoModifier) ||
           isKey(event, Qt::Key_Enter, Qt::KeypadModifier);
}

bool isField(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A caption above a grid, both in one pane of the splitter.
QWidget* captioned(const QString& caption, DataGrid& grid, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(caption, box);
    label->setBuddy(&grid);
    layout->addWidget(label);
    grid.setParent(box);
    layout->addWidget(&grid, 1);
    return box;
}

widgets::RightsCheck tourRights() {
    return [](EditAction action) {
        switch (action) {
        case EditAction::Edit:
            return HasEditRight(kRight);
        case EditAction::Insert:
            return HasCreateRight(kRight);
        case EditAction::Delete:
            return HasDeleteRight(kRight);
        }
        return false;
    };
}

} // namespace

void SetSplitterShare(QWidget& pane, int size) {
    QWidget* child = &pane;
    auto* split = qobject_cast<QSplitter*>(child->parentWidget());
    while (!split && child->parentWidget()) {
        child = child->parentWidget();
        split = qobject_cast<QSplitter*>(child->parentWidget());
    }
    if (!split || size <= 0)
        return;
    QList<int> sizes = split->sizes();
    const int at = split->indexOf(child);
    int total = 0;
    for (int s : sizes)
        total += s;
    if (total <= 0)
        total = split->orientation() == Qt::Horizontal ? split->width() : split->height();
    if (at < 0 || sizes.size() < 2 || size >= total)
        return;
    int others = total - sizes[at];
    const int rest = total - size;
    for (int i = 0; i < sizes.size(); ++i) {
        if (i == at)
            continue;
        sizes[i] = others > 0 ? qMax(1, int(qint64(sizes[i]) * rest / others))
                              : rest / int(sizes.size() - 1);
    }
    sizes[at] = size;
    split->setSizes(sizes);
}

TourPanel::TourPanel(TF_ListForm& form) : QWidget(&form), m_form(form) {
    setObjectName(u"Panel5"_s);
    table::Table& objects = dm().TabTourObj();
    table::Table& activities = dm().TabTourTaetig();
    table::Table& staff = dm().TabTourPers();
    AddLookupFields(objects, {{kObjektName, table::FieldType::String, 40, kObjekt, u"Objekte.DB"_s,
                               u"O_Nr"_s, u"O_Match"_s}});
    AddLookupFields(staff, {{u"PersName"_s, table::FieldType::String, 40, u"TP_Pnr"_s,
                             u"Personal.DB"_s, u"P_Nr"_s, u"P_Name1"_s}});
    AddObjTaetigLookupFields(activities);

    m_objectSource = std::make_unique<widgets::DataSource>(objects);
    m_activitySource = std::make_unique<widgets::DataSource>(activities);
    m_staffSource = std::make_unique<widgets::DataSource>(staff);
    FollowSharedMasterRows(*m_objectSource, u"TabTourObj"_s);
    FollowSharedMasterRows(*m_activitySource, u"TabTourTaetig"_s);
    FollowSharedMasterRows(*m_staffSource, u"TabTourPers"_s);
    for (widgets::DataSource* s : {m_objectSource.get(), m_staffSource.get()}) {
        s->setRightsCheck(tourRights());
        s->setDeleteGuard([&form] { form.guardDelete(); });
    }
    m_activitySource->setRightsCheck([](EditAction) { return false; });

    m_objects = new SplitGrid(*m_objectSource, this);
    m_objects->setObjectName(u"GridObjekte"_s);
    m_objects->setColumns({{kObjekt, u"Obj.-Nr."_s, 6},
                           {kObjektName, u"Objekt"_s, 14, true},
                           {u"TO_VonUhr"_s, u"von Uhr"_s, 6},
                           {u"TO_BisUhr"_s, u"bis Uhr"_s, 6}});
    m_objects->setToolTip(u"Doppelklick für Objektauswahl"_s);
    m_activities = new DataGrid(*m_activitySource, this);
    m_activities->setObjectName(u"GridTaetig"_s);
    m_activities->setColumns({{u"TS_Taetigkeit"_s, u"T.-Nr."_s, 6, true},
                              {u"TsTaetigname"_s, u"Tätigkeit"_s, 24, true},
                              {u"ModusName"_s, u"Ausf.-Intervall"_s, 16, true},
                              {u"TS_ServiceID"_s, u"D"_s, 3, true},
                              {u"TS_Wtag"_s, u"Wochtag"_s, 8, true},
                              {u"TS_Param"_s, u"Zusatz"_s, 14, true}});
    m_activities->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_activities->setToolTip(u"Keine Änderungen möglich"_s);
    m_activities->gridModel().setRowBrush([this](int row) {
        table::Table& tour = dm().TabTour();
        widgets::RowReader& rows = m_activitySource->rows();
        if (tour.isOpen() && !tour.isEmpty() &&
            ActivityMatchesWeekday(FieldInt(tour, u"TO_Wochentag"_s), rows.text(row, u"TS_Wtag"_s),
                                   rows.text(row, u"TS_ServiceID"_s),
                                   FieldText(tour, u"TO_ServPatt"_s)))
            return QBrush(QColor(0x00, 0xFF, 0x00));
        return QBrush(Qt::NoBrush);
    });
    m_staff = new DataGrid(*m_staffSource, this);
    m_staff->setObjectName(u"GridPersonal"_s);
    m_staff->setColumns(
        {{u"TP_Pnr"_s, u"P.-Nr."_s, 6}, {u"PersName"_s, u"Mitarbeiter"_s, 16, true}});
    m_staff->setToolTip(u"Doppelklick für Mitarbeiterauswahl"_s);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(captioned(u"Objekte der Tour"_s, *m_objects, split));
    split->addWidget(captioned(u"Tätigkeiten des Objekts"_s, *m_activities, split));
    split->addWidget(captioned(u"Mitarbeiter der Tour"_s, *m_staff, split));
    split->setSizes({360, 420, 180});
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    m_sortObj = new QLabel(this);
    m_sortObj->setObjectName(u"lbSortObj"_s);
    m_sortObj->hide();

    for (auto [grid, source] : {std::pair{static_cast<DataGrid*>(m_objects), m_objectSource.get()},
                                std::pair{m_activities, m_activitySource.get()},
                                std::pair{m_staff, m_staffSource.get()}}) {
        m_focuses.append(new DetailFocus(form, *source, *grid));
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
        grid->gridModel().setMessageParent(&form);
    }
    connect(m_objects->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (previous.isValid() && current.row() == previous.row() &&
                    current.column() != previous.column())
                    objectColumnLeft(previous.column(), current.column());
            });
    // The activities of the object the cursor moved to, green as the tour does them.
    connect(m_objectSource.get(), &widgets::DataSource::recordChanged, this,
            [this] { repaintActivities(); });
    buildMenus();
}

TourPanel::~TourPanel() {
    // The grids are bound to the data sources: they go first.
    delete m_objects;
    delete m_activities;
    delete m_staff;
}

void TourPanel::setStoredHeight(int height) {
    SetSplitterShare(*this, height);
}

QString TourPanel::objectSort() const {
    return m_sortObj->text();
}

void TourPanel::setObjectSort(const QString& field) {
    m_sortObj->setText(field);
}

void TourPanel::buildMenus() {
    auto add = [this](QMenu& menu, const QString& caption, std::function<void()> run) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(caption);
        if (run)
            connect(a, &QAction::triggered, this, [this, run] { guarded(&m_form, run); });
        return a;
    };
    m_objectMenu = new QMenu(this);
    m_objectMenu->setObjectName(u"PopupObjekte"_s);
    add(*m_objectMenu, u"Nach oben"_s, [this] { move(true); });
    add(*m_objectMenu, u"Nach unten"_s, [this] { move(false); });
    add(*m_objectMenu, u"Sortieren n. Uhrzeit"_s, [this] { sortByTime(); });
    m_addObject = add(*m_objectMenu, u"Objekt hinzufügen"_s, [this] { addObject(); });
    m_objects->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_objects, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_objectMenu->popup(m_objects->viewport()->mapToGlobal(at));
    });

    m_activityMenu = new QMenu(this);
    m_activityMenu->setObjectName(u"PopupTaetig"_s);
    m_activityMenu->setToolTipsVisible(true);
    m_fixTerms = add(*m_activityMenu, u"Fixtermine bearbeiten"_s, [this] { editFixTerms(); });
    add(*m_activityMenu, u"Terminvorschau"_s, [this] { showTermPreview(); });
    m_activities->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_activities, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_fixTerms->setEnabled(isFixTermActivity());
        m_activityMenu->popup(m_activities->viewport()->mapToGlobal(at));
    });
}

void TourPanel::applyRights() {
    m_objects->setContextMenuPolicy(HasEditRight(kRight) ? Qt::CustomContextMenu
                                                         : Qt::NoContextMenu);
    m_addObject->setEnabled(HasCreateRight(kRight));
    for (widgets::DataSource* s : {m_objectSource.get(), m_staffSource.get()})
        s->setRightsCheck(tourRights());
}

void TourPanel::move(bool up) {
    {
        widgets::ControlsDisabled quiet(*m_objectSource);
        MoveTourObject(m_objectSource->table(), up);
    }
    m_objectSource->notifyViewChanged();
    m_objects->followCursor();
}

void TourPanel::sortByTime() {
    {
        widgets::ControlsDisabled quiet(*m_objectSource);
        SortTourObjectsByTime(m_objectSource->table());
    }
    m_objectSource->notifyViewChanged();
    m_objects->followCursor();
}

void TourPanel::addObject() {
    if (!dm().TabTour().isOpen() || dm().TabTour().isEmpty())
        return;
    m_objects->setFocus();
    m_objectSource->insert();
    m_objects->selectField(kObjekt);
    chooseObject();
}

void TourPanel::chooseObject() {
    table::Table& rows = m_objectSource->table();
    if (!rows.isOpen() || (rows.isEmpty() && !rows.isEditing()))
        return;
    QString sort = objectSort();
    const QRect at = m_form.frameGeometry();
    const int chosen = SelectObjekt(FieldInt(rows, kObjekt), 240, at.left(), at.top(), sort);
    setObjectSort(sort);
    if (TakeTourObject(rows, chosen))
        m_objectSource->notifyRecordChanged();
}

void TourPanel::chooseStaff() {
    table::Table& rows = m_staffSource->table();
    if (!rows.isOpen() || !dm().TabTour().isOpen() || dm().TabTour().isEmpty())
        return;
    const int start = FieldInt(rows, u"TP_Pnr"_s);
    const QRect at = m_form.frameGeometry();
    const int chosen = SelectPersonal(start, 400, at.left() + 170, at.top() + 70, QString());
    if (chosen == start)
        return;
    m_staffSource->startEdit();
    rows.field(u"TP_Pnr"_s).setValue(chosen);
    m_staffSource->notifyRecordChanged();
}

bool TourPanel::isFixTermActivity() const {
    table::Table& rows = m_activitySource->table();
    return rows.isOpen() && !rows.isEmpty() && FieldInt(rows, u"TS_Modus"_s) == kFixTermInterval;
}

void TourPanel::editFixTerms() {
    if (!isFixTermActivity())
        return;
    table::Table& tour = dm().TabTour();
    table::Table& rows = m_activitySource->table();
    ShowEditFixtermForm(FieldInt(tour, u"TO_Nr"_s), FieldInt(rows, u"TS_Objekt"_s),
                        FieldInt(rows, u"TS_Taetigkeit"_s), FieldInt(tour, u"TO_Wochentag"_s));
}

void TourPanel::showTermPreview() {
    table::Table& rows = m_activitySource->table();
    if (!rows.isOpen() || rows.isEmpty())
        return;
    ShowActivityTermPreview(FieldInt(rows, u"TS_ID"_s), FieldInt(dm().TabTour(), u"TO_Nr"_s),
                            false);
}

void TourPanel::repaintActivities() {
    m_activities->viewport()->update();
}

void TourPanel::leaveDetails() {
    for (DetailFocus* f : std::as_const(m_focuses))
        f->leave();
    activityFocus(false);
}

void TourPanel::activityFocus(bool in) {
    if (in == m_activityFocused)
        return;
    m_activityFocused = in;
    DbNavigator& nav = m_form.navigator();
    nav.setButtonVisible(DbNavigator::Insert, !in);
    nav.setButtonVisible(DbNavigator::Delete, !in && HasDeleteRight(kRight));
}

void TourPanel::objectColumnLeft(int previous, int current) {
    if (m_checking || !isField(m_objects->gridModel().fieldAt(previous), kObjekt))
        return;
    table::Table& rows = m_objectSource->table();
    if (!rows.isOpen() || !rows.isEditing() || FieldInt(rows, kObjekt) != 0)
        return;
    m_checking = true;
    {
        QSignalBlocker block(m_objects->selectionModel());
        m_objects->setCurrentIndex(
            m_objects->model()->index(m_objects->currentIndex().row(), previous));
    }
    m_checking = false;
    Q_UNUSED(current);
    ShowError(u"Sie müssen eine gültige Objektnummer eingeben"_s);
}

bool TourPanel::eventFilter(QObject* watched, QEvent* event) {
    DataGrid* grid = nullptr;
    for (DataGrid* g : {static_cast<DataGrid*>(m_objects), m_activities, m_staff})
        if (watched == g || watched == g->viewport())
            grid = g;
    if (!grid)
        return QWidget::eventFilter(watched, event);
    if (watched == grid && event->type() == QEvent::FocusIn && grid == m_activities)
        activityFocus(true);
    else if (watched == grid && event->type() == QEvent::FocusOut && grid == m_activities) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            activityFocus(false);
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == grid->viewport()) {
        const QModelIndex at =
            grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!at.isValid())
            return false;
        grid->setCurrentIndex(at);
        if (grid == m_activities) {
            guarded(&m_form, [this] { editFixTerms(); });
            return true;
        }
        if (grid == m_staff) {
            guarded(&m_form, [this] { chooseStaff(); });
            return true;
        }
        const QString field = grid->gridModel().fieldAt(at.column());
        if (isField(field, kObjekt) || isField(field, kObjektName)) {
            guarded(&m_form, [this] { chooseObject(); });
            return true;
        }
        return false;
    }
    if (watched != grid)
        return false;
    if (isKey(event, Qt::Key_W, Qt::AltModifier)) {
        const QString field = grid->selectedField();
        if (grid == m_staff)
            guarded(&m_form, [this] { chooseStaff(); });
        else if (grid == m_objects && (isField(field, kObjekt) || isField(field, kObjektName)))
            guarded(&m_form, [this] { chooseObject(); });
        return true;
    }
    if (isKey(event, Qt::Key_PageUp, Qt::ControlModifier)) {
        if (grid == m_activities)
            m_objects->setFocus(Qt::OtherFocusReason);
        else
            m_form.grid().setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (isKey(event, Qt::Key_PageDown, Qt::ControlModifier)) {
        if (grid == m_objects)
            m_activities->setFocus(Qt::OtherFocusReason);
        else
            m_form.grid().setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (isEnter(event)) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &tab);
        return true;
    }
    return false;
}
