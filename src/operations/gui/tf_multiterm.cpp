#include "operations/gui/tf_multiterm.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "core/values/calendar.h"
#include "core/values/datetimevalue.h"
#include "operations/gui/daygrid.h"
#include "operations/gui/janeindelegate.h"
#include "operations/gui/tf_termedit.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/userprompts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

constexpr int kMonthWidth = 80;
constexpr int kDayWidth = 16;
constexpr int kRowHeight = 24;
const QString kSelected = u"O_Selected"_s;

// Fixed cells in the button face, 8-point; day cells 14-point bold, yellow
// when chosen.
class SeriesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect cell = option.rect;
        const QString text = index.data().toString();
        painter->save();
        QFont font = option.font;
        if (index.row() == 0 || index.column() == 0) {
            painter->fillRect(cell, option.palette.color(QPalette::Button));
            font.setPointSize(8);
            painter->setFont(font);
            painter->setPen(option.palette.color(QPalette::ButtonText));
            painter->drawText(cell.adjusted(4, 6, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        } else {
            painter->fillRect(cell, text.isEmpty() ? option.palette.color(QPalette::Base)
                                                   : QColor(Qt::yellow));
            font.setPointSize(14);
            font.setBold(true);
            painter->setFont(font);
            painter->setPen(option.palette.color(QPalette::Text));
            painter->drawText(cell.adjusted(4, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(option.palette.color(QPalette::Highlight));
            painter->drawRect(cell.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
};

bool hasRow(table::Table& t) {
    return t.isOpen() && !t.isEmpty();
}

} // namespace

TF_MultiTerm::TF_MultiTerm(const TermSeriesSource& source, QWidget* parent)
    : QDialog(parent), m_source(source), m_days(source.date) {
    setObjectName(u"TF_MultiTerm"_s);
    setWindowTitle(u"Mehrfachtermine erzeugen"_s);
    auto* layout = new QVBoxLayout(this);

    m_grid = new QTableWidget(13, 32, this);
    m_grid->setObjectName(u"Grid"_s);
    QString longestMonth;
    for (int month = 1; month <= 12; ++month)
        if (GetMonthName(month).size() > longestMonth.size())
            longestMonth = GetMonthName(month);
    SetUpDayGrid(*m_grid, DayGridColumnWidth(kMonthWidth, font(), 8, false, longestMonth, 8),
                 DayGridColumnWidth(kDayWidth, font(), 8, false, u"00"_s, 5), kRowHeight);
    m_grid->setItemDelegate(new SeriesDelegate(m_grid));
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TF_MultiTerm::dayDoubleClicked);
    layout->addWidget(m_grid);

    // Every object, active or not, in number order, on a cursor of the dialog's own.
    m_objectTable =
        std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), u"Objekte.DB"_s);
    m_objectTable->setIndexName(u"O_INr"_s);
    m_objectTable->open();
    m_objectSource = std::make_unique<widgets::DataSource>(*m_objectTable);
    m_objectSource->setRightsCheck(
        [](widgets::EditAction action) { return action == widgets::EditAction::Edit; });
    auto* caption =
        new QLabel(u"Objekte (Doppelklick, Eingabe, Leertaste, J oder N wählen)"_s, this);
    layout->addWidget(caption);
    m_objects = new widgets::DataGrid(*m_objectSource, this);
    m_objects->setObjectName(u"DBGrid1"_s);
    m_objects->setColumns({{u"O_Nr"_s, u"Obj-Nr"_s, 8, true},
                           {u"O_Match"_s, u"Bezeichnung"_s, 40, true},
                           {kSelected, u"Wahl"_s, 6, true}});
    m_objects->setItemDelegate(
        new JaNeinDelegate(m_objects->gridModel().columnOf(kSelected), m_objects));
    m_objects->setMinimumHeight(180);
    m_objects->installEventFilter(this);
    m_objects->viewport()->installEventFilter(this);
    layout->addWidget(m_objects, 1);

    m_menu = new QMenu(this);
    m_menu->addAction(u"Alle auf Nein"_s, this, [this] { guarded(this, [&] { markAll(false); }); });
    m_menu->addAction(u"Alle auf Ja"_s, this, [this] { guarded(this, [&] { markAll(true); }); });
    m_objects->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_objects, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->exec(m_objects->viewport()->mapToGlobal(at)); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(u"&OK"_s, this);
    m_ok->setObjectName(u"btnOK"_s);
    auto* cancel = new QPushButton(u"&Abbrechen"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    for (QPushButton* b : {m_ok, cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(m_ok, &QPushButton::clicked, this, [this] { createSeries(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(buttons);
    fillGrid();
    m_objects->setFocus();
}

TF_MultiTerm::~TF_MultiTerm() {
    // The grid is bound to the data source, the source to the cursor.
    delete m_objects;
    m_objectSource.reset();
    if (m_objectTable->isEditing())
        m_objectTable->cancel();
}

void TF_MultiTerm::fillGrid() {
    m_grid->setItem(0, 0, new QTableWidgetItem);
    for (int day = 1; day <= 31; ++day)
        m_grid->setItem(0, day, new QTableWidgetItem(u"%1"_s.arg(day, 2, 10, QLatin1Char('0'))));
    for (int row = 1; row <= 12; ++row) {
        m_grid->setItem(row, 0, new QTableWidgetItem(GetMonthName(m_days.monthOfRow(row))));
        for (int day = 1; day <= 31; ++day)
            m_grid->setItem(row, day, new QTableWidgetItem(m_days.cellText(row, day)));
    }
}

void TF_MultiTerm::dayDoubleClicked(int row, int column) {
    if (row < 1 || row > 12 || column < 1 || column > 31)
        return;
    m_days.toggle(row, column);
    m_grid->item(row, column)->setText(m_days.cellText(row, column));
}

void TF_MultiTerm::markObject(bool on) {
    table::Table& t = *m_objectTable;
    if (!hasRow(t))
        return;
    m_objectSource->startEdit();
    t.field(kSelected).setValue(on);
    t.post();
    m_objectSource->notifyRecordChanged();
}

void TF_MultiTerm::toggleObject() {
    table::Table& t = *m_objectTable;
    if (hasRow(t))
        markObject(!GetFieldBoolOrDefault(t.findField(kSelected), false));
}

void TF_MultiTerm::nextObjectRow() {
    table::Table& t = *m_objectTable;
    t.next();
    if (t.eof())
        t.first(); // past the last row the keys go on at the first
    m_objects->followCursor();
}

bool TF_MultiTerm::objectKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        guarded(this, [&] {
            toggleObject();
            nextObjectRow();
        });
        return true;
    case Qt::Key_J:
    case Qt::Key_N:
        guarded(this, [&] {
            markObject(key == Qt::Key_J);
            nextObjectRow();
        });
        return true;
    default:
        return false;
    }
}

void TF_MultiTerm::markAll(bool on) {
    table::Table& t = *m_objectTable;
    if (!hasRow(t))
        return;
    if (t.isEditing())
        t.post();
    const table::Bookmark mark = t.bookmark();
    {
        widgets::ControlsDisabled quiet(*m_objectSource);
        table::Transaction tx(*t.database());
        for (t.first(); !t.eof(); t.next()) {
            if (GetFieldBoolOrDefault(t.findField(kSelected), false) == on &&
                !t.field(kSelected).isNull())
                continue;
            t.edit();
            t.field(kSelected).setValue(on);
            t.post();
        }
        tx.commit();
        if (mark.valid && t.bookmarkValid(mark))
            t.gotoBookmark(mark);
    }
    m_objectSource->notifyViewChanged();
    m_objects->followCursor();
}

void TF_MultiTerm::createSeries() {
    guarded(this, [this] {
        if (m_objectTable->isEditing())
            m_objectTable->post();
        m_created = CreateTermSeries(m_source, m_days.chosenDates(), MarkedSeriesObjekte());
        accept();
    });
}

bool TF_MultiTerm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_objects && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (objectKey(key->key(), key->modifiers()))
            return true;
    }
    if (watched == m_objects->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QModelIndex at =
            m_objects->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (at.isValid()) {
            m_objects->setCurrentIndex(at);
            guarded(this, [&] { toggleObject(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int ShowMultiTermForm(int objektNr, const QDate& date) {
    const TimerWorkPause pause;
    TermSeriesSource source = TermSeriesSourceOf(DataModule1().TabTermObj());
    source.objektNr = objektNr;
    source.date = date.isValid() ? date : DateOfDateTime(EmptyDate);
    TF_MultiTerm dialog(source, MainForm());
    dialog.adjustSize();
    if (const TF_TermEdit* form = TF_TermEdit::current())
        dialog.move(form->frameGeometry().left(), 170);
    dialog.exec();
    return dialog.created();
}
