#include "operations/gui/tf_editfixterm.h"

#include "commercial/scheduling/fixtermtable.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "core/values/calendar.h"
#include "core/values/conversions.h"
#include "core/values/holidays.h"
#include "operations/gui/daygrid.h"
#include "platform/widgets/userprompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using Kind = FixTermGrid::CellKind;

namespace {

constexpr int kDayWidth = 24;
constexpr int kMonthWidth = 80;

// Paints each cell from the grid's cell kind: the fixed row and column and
// missing days in the button face, weekday letters green (Saturday and
// Sunday red), a mark as a large "*" on yellow, red off the tour's weekday;
// anything on the tour's weekday blue.
class FixTermDelegate : public QStyledItemDelegate {
public:
    FixTermDelegate(const FixTermGrid& marks, QObject* parent)
        : QStyledItemDelegate(parent), m_marks(marks) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        const int day = index.column();
        const QRect cell = option.rect;
        const QColor face = option.palette.color(QPalette::Button);
        QFont font = option.font;
        font.setBold(true);
        font.setPointSize(8);
        painter->save();
        painter->setFont(font);
        const QString text = index.data().toString();
        if (row == 0 || day == 0) {
            painter->fillRect(cell, face);
            painter->setPen(option.palette.color(QPalette::ButtonText));
            painter->drawText(cell.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
            painter->restore();
            return;
        }
        const Kind kind = m_marks.cellKind(row - 1, day);
        switch (kind) {
        case Kind::Missing:
            painter->fillRect(cell, face);
            break;
        case Kind::Marked:
        case Kind::MarkedTourDay:
            painter->fillRect(cell, Qt::yellow);
            font.setPointSize(14);
            painter->setFont(font);
            painter->setPen(kind == Kind::Marked ? Qt::red : Qt::blue);
            painter->drawText(cell.adjusted(7, 3, 0, 0), Qt::AlignTop | Qt::AlignLeft, text);
            break;
        default:
            painter->fillRect(cell, option.palette.color(QPalette::Base));
            painter->setPen(kind == Kind::TourDay   ? QColor(Qt::blue)
                            : kind == Kind::Weekend ? QColor(Qt::red)
                                                    : QColor(0, 128, 0));
            painter->drawText(cell.adjusted(4, 5, 0, 0), Qt::AlignTop | Qt::AlignLeft, text);
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(option.palette.color(QPalette::Highlight));
            painter->drawRect(cell.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

private:
    const FixTermGrid& m_marks;
};

} // namespace

TF_EditFixterm::TF_EditFixterm(int tourNr, int objektNr, int taetigNr, int weekday,
                               const QDate& today, QWidget* parent)
    : QDialog(parent), m_tourNr(tourNr), m_objektNr(objektNr), m_taetigNr(taetigNr),
      m_marks(today.year(), today.month(), weekday) {
    setObjectName(u"TF_EditFixterm"_s);
    setWindowTitle(FixTermCaption(tourNr, objektNr, taetigNr, weekday));
    auto* layout = new QVBoxLayout(this);
    m_grid = new QTableWidget(13, 32, this);
    m_grid->setObjectName(u"GridEdit"_s);
    SetUpDayGrid(*m_grid, kMonthWidth, kDayWidth, 22);
    m_grid->setMouseTracking(true);
    m_grid->setItemDelegate(new FixTermDelegate(m_marks, m_grid));
    connect(m_grid, &QTableWidget::cellClicked, this, &TF_EditFixterm::toggle);
    connect(m_grid, &QTableWidget::cellEntered, this, &TF_EditFixterm::hover);
    layout->addWidget(m_grid);

    auto* info = new QHBoxLayout;
    m_date = new QLabel(this);
    m_date->setObjectName(u"Label3"_s);
    m_day = new QLabel(this);
    m_day->setObjectName(u"Label4"_s);
    m_holiday = new QLabel(this);
    m_holiday->setObjectName(u"Label5"_s);
    m_holiday->setStyleSheet(u"color: red"_s);
    for (QLabel* label : {m_date, m_day, m_holiday}) {
        label->setMinimumWidth(120);
        info->addWidget(label);
    }
    info->addStretch();
    m_save = new QPushButton(u"Speichern"_s, this);
    m_save->setObjectName(u"btnOK"_s);
    m_save->setDefault(true);
    auto* cancel = new QPushButton(u"Abbrechen"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    connect(m_save, &QPushButton::clicked, this, &TF_EditFixterm::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    info->addWidget(m_save);
    info->addWidget(cancel);
    layout->addLayout(info);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    load();
    m_grid->setCurrentCell(1, 1);
    m_grid->setFocus();
}

void TF_EditFixterm::load() {
    FixTermMonths months;
    if (ReadFixTermMonths(m_tourNr, m_objektNr, m_taetigNr, months))
        m_marks.load(months);
    fill();
}

void TF_EditFixterm::fill() {
    for (int day = 1; day <= kFixTermDays; ++day)
        m_grid->setItem(0, day, new QTableWidgetItem(IntToStrWidth(day, 2)));
    m_grid->setItem(0, 0, new QTableWidgetItem);
    for (int row = 0; row < 12; ++row) {
        m_grid->setItem(row + 1, 0, new QTableWidgetItem(GetMonthName(m_marks.monthOfRow(row))));
        for (int day = 1; day <= kFixTermDays; ++day)
            m_grid->setItem(row + 1, day, new QTableWidgetItem(m_marks.cellText(row, day)));
    }
}

void TF_EditFixterm::toggle(int row, int column) {
    if (row < 1 || row > 12 || column < 1 || column > kFixTermDays)
        return;
    m_marks.toggle(row - 1, column);
    m_grid->item(row, column)->setText(m_marks.cellText(row - 1, column));
}

void TF_EditFixterm::hover(int row, int column) {
    if (row < 1 || row > 12 || column < 1 || column > kFixTermDays)
        return;
    if (row == m_shownRow && column == m_shownDay)
        return;
    const QDate date = m_marks.dateOf(row - 1, column);
    if (!date.isValid())
        return;
    m_shownRow = row;
    m_shownDay = column;
    m_date->setText(date.toString(u"dd.MM.yyyy"_s));
    m_day->setText(GetDayName(WeekdayOfYMD(date.year(), date.month(), date.day())));
    m_holiday->setText(IsHoliday(date.year(), date.month(), date.day())
                           ? GetHolidayName(date.year(), date.month(), date.day())
                           : QString());
}

void TF_EditFixterm::save() {
    if (widgets::guarded(
            this, [this] { WriteFixTermMonths(m_tourNr, m_objektNr, m_taetigNr, m_marks.save()); }))
        accept();
}

bool ShowEditFixtermForm(int tourNr, int objektNr, int taetigNr, int weekday) {
    const TimerWorkPause pause;
    TF_EditFixterm dialog(tourNr, objektNr, taetigNr, weekday, QDate::currentDate(), MainForm());
    if (const QWidget* main = MainForm()) {
        const QRect frame = main->frameGeometry();
        dialog.adjustSize();
        QPoint at(frame.left() + 80, frame.bottom() + 64);
        // A tall main window would push the dialog off a small screen.
        if (const QScreen* screen = main->screen()) {
            const QRect free = screen->availableGeometry();
            at.setX(qBound(free.left(), at.x(), qMax(free.left(), free.right() - dialog.width())));
            at.setY(qBound(free.top(), at.y(), qMax(free.top(), free.bottom() - dialog.height())));
        }
        dialog.move(at);
    }
    return dialog.exec() == QDialog::Accepted;
}
