#include "operations/gui/tf_editmontour.h"

#include "commercial/documents/deliverynoteentries.h"
#include "core/data/appointmentrules.h"
#include "core/data/worktable.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/values/calendar.h"
#include "core/values/minutes.h"
#include "masterdata/dialogs/pickers.h"
#include "operations/monthplantable.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/printbutton.h"
#include "printing/monplanprints.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

// The grid the print buttons and "Alle Touren erledigt setzen" follow: a
// setting of the program run, kept from one opening to the next.
MonthGrid g_lastGrid = MonthGrid::Tours;

const QColor kNavy(0, 0, 128);
const QColor kToday(218, 209, 219);
const QColor kWeekend(0, 255, 255);

// The hourglass for the time of a list build.
struct HourGlass {
    HourGlass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourGlass() { QApplication::restoreOverrideCursor(); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;
};

QColor letterColour(QChar letter) {
    switch (letter.unicode()) {
    case u'O':
        return QColor(255, 255, 0);
    case u'R':
        return QColor(255, 0, 0);
    case u'V':
        return QColor(0, 0, 255);
    case u'A':
        return QColor(255, 167, 79);
    case u'E':
        return QColor(0, 255, 0);
    default:
        return {};
    }
}

QTableWidgetItem* itemAt(QTableWidget& grid, int row, int col) {
    QTableWidgetItem* item = grid.item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        grid.setItem(row, col, item);
    }
    return item;
}

QString labelOf(int nr, const QString& text) {
    return QString::number(nr) + u':' + text;
}

enum PopupItem {
    ItemAllTours,
    ItemAllOpen,
    ItemDone,
    ItemOpen,
    ItemSkip,
    ItemInsertTaetig,
    ItemDeleteTaetig,
    ItemInsertObjekt,
    ItemDeleteObjekt,
};

} // namespace

TF_EditMonTour::TF_EditMonTour(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_EditMonTour"_s);
    setWindowTitle(u"Touren-Monatsübersicht "_s);
    buildUi();
    auto* storage = new FormStorage(this, kPlacementFile02, u"Montour"_s, 0);
    storage->setStoredProperties({u"lbSortObj.Caption"_s});
    storage->restore();
}

TF_EditMonTour::~TF_EditMonTour() = default;

void TF_EditMonTour::buildUi() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* top = new QHBoxLayout;
    m_back = new QToolButton(this);
    m_back->setObjectName(u"ToolbtnBack"_s);
    m_back->setArrowType(Qt::LeftArrow);
    m_back->setToolTip(u"Vorheriger Monat"_s);
    m_forward = new QToolButton(this);
    m_forward->setObjectName(u"ToolBtnForward"_s);
    m_forward->setArrowType(Qt::RightArrow);
    m_forward->setToolTip(u"Nächster Monat"_s);
    m_edMonat = new QLineEdit(this);
    m_edMonat->setObjectName(u"edMonat"_s);
    m_edJahr = new QLineEdit(this);
    m_edJahr->setObjectName(u"edJahr"_s);
    for (QLineEdit* e : {m_edMonat, m_edJahr}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
    }
    m_edMonat->setFixedWidth(100);
    m_edJahr->setFixedWidth(50);
    top->addWidget(m_back);
    top->addWidget(m_edMonat);
    top->addWidget(m_edJahr);
    top->addWidget(m_forward);
    top->addSpacing(20);
    top->addWidget(new QLabel(u"Datum/Wochentag"_s, this));
    m_dateLabel = new QLabel(this);
    m_dateLabel->setObjectName(u"lbDatum"_s);
    m_dateLabel->setMinimumWidth(80);
    m_dayLabel = new QLabel(this);
    m_dayLabel->setObjectName(u"lbWochentag"_s);
    m_dayLabel->setMinimumWidth(90);
    top->addWidget(m_dateLabel);
    top->addWidget(m_dayLabel);
    m_sortObj = new QLabel(this);
    m_sortObj->setObjectName(u"lbSortObj"_s);
    m_sortObj->hide();
    top->addStretch(1);
    auto* print = new QPushButton(u"Dr&uck"_s, this);
    print->setObjectName(u"sbtnPrint"_s);
    auto* preview = new QPushButton(u"Vorsc&hau"_s, this);
    preview->setObjectName(u"sbtnPreview"_s);
    MarkPreviewButton(preview);
    m_ls = new QPushButton(u"Lieferschein"_s, this);
    m_ls->setObjectName(u"btnLS"_s);
    for (QPushButton* b : {print, preview, m_ls}) {
        b->setAutoDefault(false);
        top->addWidget(b);
    }
    layout->addLayout(top);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    const QString headings[3] = {u"Teams"_s, u"Objekte"_s, u"Taetigkeiten"_s};
    const QString names[3] = {u"GridTeams"_s, u"GridObj"_s, u"GridTaetig"_s};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QGroupBox(headings[i], splitter);
        auto* boxLayout = new QVBoxLayout(box);
        boxLayout->setContentsMargins(0, 0, 0, 0);
        boxLayout->setSpacing(0);
        if (i > 0) {
            auto* notice = new QLabel(
                i == 1 ? u"Keine Objekte definiert"_s : u"Keine Tätigkeiten definiert"_s, box);
            notice->setObjectName(i == 1 ? u"PanelNoObj"_s : u"PanelNoTaetig"_s);
            notice->setAlignment(Qt::AlignCenter);
            notice->setStyleSheet(u"background: rgb(255,0,0); color: white; font-weight: bold;"_s);
            notice->setMinimumHeight(20);
            notice->hide();
            boxLayout->addWidget(notice);
            (i == 1 ? m_noObjects : m_noActivities) = notice;
        }
        auto* grid = new QTableWidget(box);
        grid->setObjectName(names[i]);
        grid->setProperty("Tag", i);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(22);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setTextElideMode(Qt::ElideNone);
        grid->setWordWrap(false);
        grid->horizontalHeader()->setMinimumSectionSize(8);
        grid->setFrameShape(QFrame::NoFrame);
        grid->setMinimumHeight(90);
        grid->setSelectionMode(QAbstractItemView::NoSelection);
        grid->setFocusPolicy(Qt::StrongFocus);
        grid->viewport()->setMouseTracking(true);
        grid->viewport()->installEventFilter(this);
        boxLayout->addWidget(grid);
        m_grids[i] = grid;
        splitter->addWidget(box);
    }
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    struct Spec {
        const char16_t* caption;
        const char16_t* name;
        bool preview;
    };
    const Spec specs[] = {{u"Druck Objekt-Tätigk.", u"SpeedButton1", false},
                          {u"Vorschau Objekt-Tätigk.", u"SpeedButton2", true},
                          {u"Druck Objekt-Liste", u"sbtnPrintObjlist", false},
                          {u"Vorschau Objekt-Liste", u"sbtnPrevObjList", true}};
    QPushButton* planButtons[4] = {};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QString::fromUtf16(specs[i].caption), this);
        b->setObjectName(QString::fromUtf16(specs[i].name));
        b->setAutoDefault(false);
        if (specs[i].preview)
            MarkPreviewButton(b);
        bottom->addWidget(b);
        planButtons[i] = b;
    }
    bottom->addStretch(1);
    auto* close = new QPushButton(u"&Schließen"_s, this);
    close->setObjectName(u"btnClose"_s);
    close->setAutoDefault(false);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_back, &QToolButton::clicked, this,
            [this] { guarded(this, [this] { previousMonth(); }); });
    connect(m_forward, &QToolButton::clicked, this,
            [this] { guarded(this, [this] { nextMonth(); }); });
    connect(m_ls, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { editDeliveryNote(); }); });
    for (QPushButton* b : {print, preview})
        connect(b, &QPushButton::clicked, this,
                [this, b] { guarded(this, [&] { printPlan(b, false, int(g_lastGrid)); }); });
    for (int i = 0; i < 4; ++i) {
        QPushButton* b = planButtons[i];
        const int kind = i < 2 ? int(MonthGrid::Activities) : int(MonthGrid::Objects);
        connect(b, &QPushButton::clicked, this,
                [this, b, kind] { guarded(this, [&] { printPlan(b, true, kind); }); });
    }
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    m_popup = new QMenu(this);
    m_popup->setObjectName(u"PopupGrids"_s);
    const char16_t* captions[] = {u"Alle Touren erledigt setzen",
                                  u"Alle offenen Termine erledigt setzen",
                                  u"Termin erledigt setzen",
                                  u"Termin offen setzen",
                                  u"Termin auslassen",
                                  u"Termin einfügen",
                                  u"Termin löschen",
                                  u"Objekt einfügen",
                                  u"Objekt löschen"};
    const std::function<void()> actions[] = {
        [this] { allToursDone(); }, [this] { allOpenDone(); },  [this] { setState(4); },
        [this] { setState(0); },    [this] { setState(2); },    [this] { insertTaetig(); },
        [this] { deleteTaetig(); }, [this] { insertObjekt(); }, [this] { deleteObjekt(); }};
    for (int i = 0; i < 9; ++i) {
        m_items[i] = m_popup->addAction(QString::fromUtf16(captions[i]));
        connect(m_items[i], &QAction::triggered, this,
                [this, action = actions[i]] { guarded(this, action); });
    }
    m_popup->addSeparator();
    m_popup->addAction(u"Abbrechen"_s);
    updateDeliveryButton(false);
}

QTableWidget& TF_EditMonTour::grid(MonthGrid which) const {
    return *m_grids[int(which)];
}

QPushButton& TF_EditMonTour::button(const QString& objectName) const {
    auto* b = findChild<QPushButton*>(objectName);
    Q_ASSERT(b);
    return *b;
}

void TF_EditMonTour::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_grids[0]->setFocus();
}

bool TF_EditMonTour::openMonth(const QDate& date) {
    m_model.setMonth(date.year(), date.month(), DailyListToday());
    m_model.clearRemembered();
    m_model.orderByDate = false;
    endPicking();
    const HourGlass wait;
    setCaptions();
    if (!m_model.reload())
        return false;
    updateDeliveryButton(false);
    fillGrids();
    return true;
}

void TF_EditMonTour::setCaptions() {
    setWindowTitle(m_model.caption());
    m_edMonat->setText(GetMonthName(m_model.month()));
    m_edJahr->setText(QString::number(m_model.year()).rightJustified(4, u'0'));
    m_back->setEnabled(m_model.previousMonthHasLists());
    m_forward->setEnabled(m_model.nextMonthHasLists());
}

TF_EditMonTour::ReloadOnExit::ReloadOnExit(TF_EditMonTour& form)
    : m_form(form), m_errorsInFlight(std::uncaught_exceptions()) {}

TF_EditMonTour::ReloadOnExit::~ReloadOnExit() noexcept(false) {
    if (std::uncaught_exceptions() == m_errorsInFlight) {
        m_form.reloadMonth();
        return;
    }
    try {
        m_form.reloadMonth();
    } catch (...) {
        // Unwinding already: the change's own error is the one to show.
    }
}

void TF_EditMonTour::reloadMonth() {
    const HourGlass wait;
    setCaptions();
    m_model.reload();
    fillGrids();
}

void TF_EditMonTour::fillGrids() {
    fillGrid(MonthGrid::Tours);
    m_noObjects->setVisible(m_model.objects().isEmpty());
    fillGrid(MonthGrid::Objects);
    m_noActivities->setVisible(m_model.activities().isEmpty());
    fillGrid(MonthGrid::Activities);
    updateObjectButtons();
}

void TF_EditMonTour::fillGrid(MonthGrid which) {
    QTableWidget& g = grid(which);
    const int days = m_model.daysInMonth();
    const int count = which == MonthGrid::Tours     ? int(m_model.tours().size())
                      : which == MonthGrid::Objects ? int(m_model.objects().size())
                                                    : int(m_model.activities().size());
    g.clearContents();
    g.setRowCount(std::max(count, 1) + 1);
    g.setColumnCount(days + 1);
    g.setColumnWidth(0, 150);
    for (int c = 1; c <= days; ++c)
        g.setColumnWidth(c, 24);
    const QString initials = m_model.weekdayInitials();
    const QColor buttonFace = palette().color(QPalette::Button);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(8);
    for (int c = 0; c <= days; ++c) {
        QTableWidgetItem* head = itemAt(g, 0, c);
        head->setText(c == 0 ? QString() : QString::number(c).rightJustified(2, u' '));
        head->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        head->setBackground(buttonFace);
        head->setFont(bold);
    }
    const int rows = g.rowCount();
    for (int r = 1; r < rows; ++r) {
        QTableWidgetItem* label = itemAt(g, r, 0);
        label->setBackground(buttonFace);
        label->setFont(bold);
        for (int c = 1; c <= days; ++c) {
            QTableWidgetItem* cell = itemAt(g, r, c);
            QColor background = Qt::white;
            if (c == m_model.todayCol())
                background = kToday;
            else if (c - 1 < initials.size() && initials.at(c - 1) == u'S')
                background = kWeekend;
            QFont f = bold;
            QColor text = Qt::black;
            QString value;
            if (which == MonthGrid::Tours && count > 0) {
                const int v = m_model.tours()[r - 1].days[c];
                value = v != 0 ? QString::number(v) : QString();
                if (v != 0)
                    background = QColor(0, 255, 0);
                f.setPointSize(12);
            } else if (which == MonthGrid::Objects) {
                const int v = count > 0 ? m_model.objects()[r - 1].days[c] : 0;
                value = count == 0 || v != 0 ? MinutesToStrZero(v, 1) : QString();
                if (count > 0 && v != 0)
                    background = QColor(128, 208, 255);
                f.setBold(false);
                f.setPointSize(7);
            } else if (which == MonthGrid::Activities && count > 0) {
                const QChar letter = m_model.activities()[r - 1].letters[c];
                value = letter == u' ' ? QString() : QString(letter);
                if (const QColor lc = letterColour(letter); lc.isValid())
                    background = lc;
                else
                    text = QColor(160, 160, 160);
                f.setPointSize(12);
            }
            cell->setText(value);
            cell->setBackground(background);
            cell->setForeground(text);
            cell->setFont(f);
            cell->setTextAlignment(Qt::AlignCenter);
        }
    }
    paintRowLabels(which);
}

void TF_EditMonTour::paintRowLabels(MonthGrid which) {
    QTableWidget& g = grid(which);
    const int selected = which == MonthGrid::Tours     ? m_model.selTour
                         : which == MonthGrid::Objects ? m_model.selObj
                                                       : m_model.selTaetig;
    const QColor buttonFace = palette().color(QPalette::Button);
    for (int r = 1; r < g.rowCount(); ++r) {
        QTableWidgetItem* label = itemAt(g, r, 0);
        QString text;
        if (which == MonthGrid::Tours && r - 1 < m_model.tours().size())
            text = labelOf(m_model.tours()[r - 1].nr, m_model.tours()[r - 1].text);
        else if (which == MonthGrid::Objects && r - 1 < m_model.objects().size())
            text = labelOf(m_model.objects()[r - 1].nr, m_model.objects()[r - 1].text);
        else if (which == MonthGrid::Activities && r - 1 < m_model.activities().size())
            text = labelOf(m_model.activities()[r - 1].nr, m_model.activities()[r - 1].text);
        label->setText(text);
        const bool isSelected = r - 1 == selected && !text.isEmpty();
        label->setBackground(isSelected ? kNavy : buttonFace);
        label->setForeground(isSelected ? QColor(Qt::white) : QColor(Qt::black));
    }
}

void TF_EditMonTour::updateDeliveryButton(bool enable) {
    const bool installed = bool(DeliveryNoteEntriesRegistry().editLieferschein);
    m_ls->setEnabled(installed && enable);
    m_ls->setToolTip(installed
                         ? QString()
                         : u"Der Lieferschein-Editor ist in diesem Programm nicht verfügbar."_s);
}

void TF_EditMonTour::updateObjectButtons() {
    const bool objects = !m_model.objects().isEmpty();
    for (const char16_t* name : {u"SpeedButton1", u"SpeedButton2"})
        button(QString::fromUtf16(name)).setEnabled(objects);
}

bool TF_EditMonTour::isDayCell(MonthGrid which, int row, int col) const {
    return row >= 1 && row < grid(which).rowCount() && col >= 1 && col <= m_model.daysInMonth();
}

bool TF_EditMonTour::cellIsEmpty(MonthGrid which, int row, int col) const {
    switch (which) {
    case MonthGrid::Tours:
        return row - 1 >= m_model.tours().size() || m_model.tours()[row - 1].days[col] < 1;
    case MonthGrid::Objects:
        return row - 1 >= m_model.objects().size() || m_model.objects()[row - 1].days[col] < 1;
    case MonthGrid::Activities:
        return row - 1 >= m_model.activities().size() ||
               m_model.activities()[row - 1].letters[col] == u' ';
    }
    return true;
}

void TF_EditMonTour::clickCell(MonthGrid which, int row, int col) {
    const bool dayCol = col >= 1 && col <= m_model.daysInMonth();
    switch (which) {
    case MonthGrid::Tours:
        g_lastGrid = MonthGrid::Tours;
        if (row >= 1 && row <= m_model.tours().size() && row - 1 != m_model.selTour) {
            const HourGlass wait;
            m_model.selectTour(row - 1);
            fillGrids();
        }
        if (dayCol)
            m_currentDate = m_model.dateOfDay(col);
        updateDeliveryButton(false);
        break;
    case MonthGrid::Objects:
        if (m_model.objects().isEmpty())
            return;
        g_lastGrid = MonthGrid::Objects;
        if (row >= 1 && row <= m_model.objects().size() && row - 1 != m_model.selObj) {
            const HourGlass wait;
            m_model.selectObjekt(row - 1);
            m_noActivities->setVisible(m_model.activities().isEmpty());
            paintRowLabels(MonthGrid::Objects);
            fillGrid(MonthGrid::Activities);
        }
        if (dayCol)
            m_currentDate = m_model.dateOfDay(col);
        updateDeliveryButton(dayCol);
        break;
    case MonthGrid::Activities:
        if (m_model.activities().isEmpty())
            return;
        g_lastGrid = MonthGrid::Activities;
        if (row >= 1 && row <= m_model.activities().size()) {
            m_model.selTaetig = row - 1;
            paintRowLabels(MonthGrid::Activities);
        }
        if (dayCol)
            m_currentDate = m_model.dateOfDay(col);
        updateDeliveryButton(dayCol);
        break;
    }
    if (row >= 0 && row < grid(which).rowCount() && col >= 0 && col < grid(which).columnCount())
        grid(which).setCurrentCell(row, col, QItemSelectionModel::NoUpdate);
}

void TF_EditMonTour::headerClick(int col) {
    if (col < 0 || col > m_model.daysInMonth())
        return;
    if (col >= 1) {
        if (m_model.resortByDay(col)) {
            fillGrid(MonthGrid::Tours);
            grid(MonthGrid::Tours).scrollToTop();
        }
        m_currentDate = m_model.dateOfDay(col);
    } else if (m_model.resortByNumber()) {
        fillGrid(MonthGrid::Tours);
        grid(MonthGrid::Tours).scrollToTop();
    }
}

void TF_EditMonTour::rightClickCell(MonthGrid which, int row, int col) {
    if (m_picking)
        drop(which, row, col);
    else
        pickUp(which, row, col);
}

void TF_EditMonTour::pickUp(MonthGrid which, int row, int col) {
    if (!isDayCell(which, row, col))
        return;
    clickCell(which, row, col);
    if (cellIsEmpty(which, row, col))
        return;
    m_pick = {};
    m_pick.grid = which;
    m_pick.tourNr = m_model.selectedTourNr();
    m_pick.date = m_model.dateOfDay(col);
    m_pick.objektNr = m_model.selectedObjektNr();
    m_pick.taetigNr = m_model.selectedTaetigNr();
    for (const MonthActivityEntry& e : m_model.activities())
        m_pick.objectActivities.append(e.nr);
    m_picking = true;
    grid(which).viewport()->setCursor(Qt::DragMoveCursor);
}

void TF_EditMonTour::endPicking() {
    m_pick = {};
    m_picking = false;
    for (QTableWidget* g : m_grids)
        if (g)
            g->viewport()->unsetCursor();
}

void TF_EditMonTour::drop(MonthGrid which, int row, int col) {
    struct End {
        TF_EditMonTour* form;
        ~End() { form->endPicking(); }
    } end{this};
    if (!isDayCell(which, row, col))
        return;
    clickCell(which, row, col);
    MonthDrop target;
    target.grid = which;
    target.tourNr = which == MonthGrid::Tours && row - 1 < m_model.tours().size()
                        ? m_model.tours()[row - 1].nr
                        : m_model.selectedTourNr();
    target.date = m_model.dateOfDay(col);
    target.column = col;
    target.targetHasList = which == MonthGrid::Tours && m_model.tourHasList(target.tourNr, col);
    QStringList messages;
    const DropVerdict verdict = CheckMonthDrop(m_pick, target, m_model.todayCol(), messages);
    for (const QString& m : std::as_const(messages))
        ShowError(m);
    if (verdict != DropVerdict::Accepted)
        return;
    m_model.rememberSelection();
    const MonthPick pick = m_pick;
    const ReloadOnExit reload(*this);
    const HourGlass wait;
    MonthMove result = MonthMove::NotMoved;
    switch (pick.grid) {
    case MonthGrid::Tours:
        if (!AskYesNo(u"Möchten Sie wirklich die gesamte Tour verlegen?"_s))
            return;
        result = MonMoveTour(pick, target.date);
        break;
    case MonthGrid::Objects:
        result = MonMoveObjekt(pick, target.tourNr, target.date);
        break;
    case MonthGrid::Activities:
        result = MonMoveTaetig(pick, target.tourNr, target.date);
        break;
    }
    if (result == MonthMove::TourNotFound)
        ShowError(u"Die Tour wurde nicht gefunden!"_s);
    else if (result == MonthMove::TaetigNotFound)
        ShowError(u"Die Tätigkeit wurde nicht gefunden!"_s);
    m_model.setRemembered(target.tourNr,
                          pick.grid == MonthGrid::Activities ? pick.objektNr
                                                             : m_model.selectedObjektNr(),
                          m_model.selectedTaetigNr());
}

void TF_EditMonTour::doubleClickCell(MonthGrid which, int row, int col) {
    g_lastGrid = which;
    if (!isDayCell(which, row, col))
        return;
    m_currentDate = m_model.dateOfDay(col);
    const QTableWidgetItem* item = grid(which).item(row, col);
    QString text = item ? item->text() : QString();
    if (which == MonthGrid::Objects)
        text = text.trimmed();
    const QChar letter = text.isEmpty() ? QChar(u' ') : text.at(0);
    const MonthPopupItems items = MonthPopupFor(which, m_currentDate, letter, DailyListToday());
    if (!items.any())
        return;
    const bool enabled[9] = {items.allToursDone, items.allOpenDone,  items.setDone,
                             items.setOpen,      items.skip,         items.insertTaetig,
                             items.deleteTaetig, items.insertObjekt, items.deleteObjekt};
    for (int i = 0; i < 9; ++i)
        m_items[i]->setEnabled(enabled[i]);
    QTableWidget& g = grid(which);
    const QRect cell = g.visualItemRect(g.item(row, col));
    QPoint at = g.viewport()->mapToGlobal(cell.topRight());
    const int rightEdge =
        grid(MonthGrid::Tours).mapToGlobal(QPoint(grid(MonthGrid::Tours).width(), 0)).x();
    if (rightEdge - g.viewport()->mapToGlobal(cell.topLeft()).x() < 200)
        at.rx() -= 260;
    m_popup->popup(at);
}

void TF_EditMonTour::hoverCell(MonthGrid which, int row, int col) {
    if (col >= 1 && col <= m_model.daysInMonth() && col != m_hoverCol) {
        m_hoverCol = col;
        const QDate d = m_model.dateOfDay(col);
        m_dateLabel->setText(d.toString(u"dd.MM.yyyy"_s));
        m_dayLabel->setText(GetDayName(d.dayOfWeek()));
        m_dayLabel->setStyleSheet(d.dayOfWeek() >= 6 ? u"color: rgb(255,0,0);"_s
                                                     : u"color: black;"_s);
    }
    if (!m_picking)
        return;
    bool droppable =
        which == MonthGrid::Tours && isDayCell(which, row, col) && col >= m_model.todayCol();
    if (droppable && m_pick.grid != MonthGrid::Tours)
        droppable = row - 1 < m_model.tours().size() &&
                    m_model.tourHasList(m_model.tours()[row - 1].nr, col);
    grid(which).viewport()->setCursor(droppable ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

bool TF_EditMonTour::eventFilter(QObject* watched, QEvent* event) {
    int which = -1;
    for (int i = 0; i < 3; ++i)
        if (m_grids[i] && watched == m_grids[i]->viewport())
            which = i;
    if (which < 0)
        return QDialog::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove)
        return QDialog::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    QTableWidget& g = *m_grids[which];
    const QPoint pos = mouse->position().toPoint();
    const int row = g.rowAt(pos.y());
    const int col = g.columnAt(pos.x());
    const auto grid = MonthGrid(which);
    if (type == QEvent::MouseMove) {
        hoverCell(grid, row, col);
        return false;
    }
    if (type == QEvent::MouseButtonDblClick) {
        guarded(this, [&] { doubleClickCell(grid, row, col); });
        return true;
    }
    guarded(this, [&] {
        if (grid == MonthGrid::Tours && row == 0)
            headerClick(col);
        if (mouse->button() == Qt::RightButton || m_picking) {
            rightClickCell(grid, row, col);
            return;
        }
        endPicking();
        clickCell(grid, row, col);
    });
    return true;
}

void TF_EditMonTour::previousMonth() {
    m_model.rememberSelection();
    m_model.previousMonth(DailyListToday());
    reloadMonth();
}

void TF_EditMonTour::nextMonth() {
    m_model.rememberSelection();
    m_model.nextMonth(DailyListToday());
    reloadMonth();
}

MonthCell TF_EditMonTour::selectedCell() const {
    return {m_model.selectedTourNr(), m_currentDate, m_model.selectedObjektNr(),
            m_model.selectedTaetigNr()};
}

void TF_EditMonTour::editDeliveryNote() {
    const auto& edit = DeliveryNoteEntriesRegistry().editLieferschein;
    if (!edit || m_model.objects().isEmpty() || !m_currentDate.isValid())
        return;
    const MonthCell cell = selectedCell();
    const std::optional<DayDeliveryNote> note = DeliveryNoteOfDay(cell);
    if (!note)
        return;
    const int id = edit(note->nr, cell.objektNr, true, kLsTypTageslisten, note->toid);
    if (id != 0)
        StoreDeliveryNoteId(note->toid, id);
}

void TF_EditMonTour::setState(int state) {
    if (SetTaetigState(selectedCell(), state) == MonthEdit::Appointment) {
        ShowError(MonthAppointmentRefusal());
        return;
    }
    m_model.buildTaetigList(m_model.selectedTourNr(), m_model.selectedObjektNr());
    fillGrid(MonthGrid::Activities);
}

void TF_EditMonTour::allOpenDone() {
    QApplication::processEvents();
    QList<int> objects;
    if (g_lastGrid == MonthGrid::Objects)
        objects.append(m_model.selectedObjektNr());
    else
        for (const MonthEntry& e : m_model.objects())
            objects.append(e.nr);
    struct Refill {
        TF_EditMonTour* form;
        ~Refill() {
            try {
                MonthTourModel& m = form->m_model;
                if (!m.objects().isEmpty())
                    m.buildTaetigList(m.selectedTourNr(), m.selectedObjektNr());
                form->fillGrids();
            } catch (...) {
                // The action's own error is the one the user sees.
            }
        }
    } refill{this};
    for (const int objektNr : std::as_const(objects))
        if (SetOpenTaetigDone({m_model.selectedTourNr(), m_currentDate, objektNr, 0}) > 0)
            ShowError(u"Mindestens ein Eintrag konnte nicht bearbeitet werden (Termineintrag!)"_s);
}

void TF_EditMonTour::allToursDone() {
    if (g_lastGrid != MonthGrid::Tours)
        return;
    QApplication::processEvents();
    m_model.rememberSelection();
    const ReloadOnExit reload(*this);
    for (int i = 0; i < m_model.tours().size(); ++i) {
        m_model.selectTour(i);
        QApplication::processEvents();
        for (const MonthEntry& e : m_model.objects())
            if (SetOpenTaetigDone({m_model.selectedTourNr(), m_currentDate, e.nr, 0}) > 0)
                ShowError(
                    u"Mindestens ein Eintrag konnte nicht bearbeitet werden (Termineintrag!)"_s);
    }
}

void TF_EditMonTour::insertTaetig() {
    const QRect at = geometry();
    const int nr = SelectTaetig(0, 400, at.left(), at.top(), {}, {});
    if (nr != 0) {
        MonthCell cell = selectedCell();
        cell.taetigNr = nr;
        if (InsertTaetig(cell) == 0)
            return;
    }
    if (!m_model.objects().isEmpty())
        m_model.buildTaetigList(m_model.selectedTourNr(), m_model.selectedObjektNr());
    fillGrids();
}

void TF_EditMonTour::deleteTaetig() {
    m_model.rememberSelection();
    switch (DeleteTaetig(selectedCell())) {
    case TaetigDelete::Appointment:
        ShowError(MonthAppointmentRefusal());
        break;
    case TaetigDelete::Deleted:
        m_model.buildTaetigList(m_model.selectedTourNr(), m_model.selectedObjektNr());
        fillGrids();
        break;
    case TaetigDelete::DeletedWithObject:
        reloadMonth();
        break;
    case TaetigDelete::NotFound:
        break;
    }
}

void TF_EditMonTour::insertObjekt() {
    m_model.rememberSelection();
    const ReloadOnExit reload(*this);
    QString sort = m_sortObj->text();
    const QRect at = geometry();
    const int nr = SelectObjekt(0, 400, at.left(), at.top(), sort);
    m_sortObj->setText(sort);
    if (nr == 0)
        return;
    MonthCell cell = selectedCell();
    cell.objektNr = nr;
    switch (InsertObjekt(cell)) {
    case ObjektInsert::AlreadyListed:
        ShowError(u"Dieses Objekt ist bereits in der Tour enthalten!"_s);
        break;
    case ObjektInsert::Failed:
        ShowError(u"Beim Einfügen von Datensätzen ist ein Fehler aufgetreten!"_s);
        break;
    case ObjektInsert::Added:
        break;
    }
}

void TF_EditMonTour::deleteObjekt() {
    m_model.rememberSelection();
    const ReloadOnExit reload(*this);
    DeleteObjekt(selectedCell());
}

void TF_EditMonTour::printPlan(QPushButton* button, bool allTours, int kind) {
    const auto grid = MonthGrid(kind);
    QList<MonthPlanRow> rows;
    int formType = 73000;
    QString tourText =
        QString::number(m_model.selectedTourNr()) + u" : "_s + m_model.selectedTourText();
    QString objektText;
    if (grid == MonthGrid::Tours) {
        rows = MonthPlanRows(m_model.tours());
    } else if (grid == MonthGrid::Objects) {
        formType = 72000;
        rows = MonthPlanRows(allTours ? m_model.objectsOfAllTours() : m_model.objects());
        if (allTours)
            tourText = u"(alle)"_s;
    } else {
        // Nothing prints from a missing object.
        if (m_model.objects().isEmpty())
            return;
        formType = 71000;
        rows = MonthPlanRows(allTours ? m_model.activitiesOfAllTours(m_model.selectedObjektNr())
                                      : m_model.activities());
        if (allTours)
            tourText = u"( alle )"_s;
        objektText =
            QString::number(m_model.selectedObjektNr()) + u" : "_s + m_model.selectedObjektText();
    }
    const WorkTable work(u"LumoDB"_s, MonthPlanTableDef());
    FillMonthPlanTable(work, rows);
    const int year = m_model.year();
    const int month = m_model.month();
    PrintButtonClicked(button, {PrintVariant::A, formType}, WindowPrintFormChoosers(this),
                       [&](bool preview, const QString& layout) {
                           if (formType == 73000)
                               PrintMonList(year, month, work.name(), preview, layout, this);
                           else if (formType == 72000)
                               PrintMonObj(year, month, tourText, work.name(), preview, layout,
                                           this);
                           else
                               PrintMonTaetig(year, month, tourText, objektText, work.name(),
                                              preview, layout, this);
                       });
}

void ShowMonTourForm(const QDate& date) {
    TF_EditMonTour form(MainForm());
    if (!form.openMonth(date)) {
        ShowError(u"Keine Tageslisten gefunden!"_s);
        return;
    }
    PlaceBelowMainForm(&form, 0, 0, 0);
    // The grids take the height down to the bottom of the screen.
    if (QScreen* screen = form.screen()) {
        const int frame = form.frameGeometry().height() - form.height();
        const int free = screen->availableGeometry().bottom() - form.y() - frame;
        form.resize(form.width(), std::max(form.minimumSizeHint().height(), free));
    }
    widgets::FitToScreen(form);
    form.exec();
}
