#include "operations/gui/tf_termprev.h"

#include "commercial/scheduling/terminvorschau.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridcellpainting.h"
#include "core/gui/placement.h"
#include "operations/gui/daygrid.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

using namespace Qt::StringLiterals;
using Kind = TermPrevGrid::CellKind;

namespace {

constexpr int kDayWidth = 23;
constexpr int kMonthWidth = 63;
constexpr int kRowHeight = 24;

std::unique_ptr<TF_TermPrev>& instance() {
    static std::unique_ptr<TF_TermPrev> preview;
    return preview;
}

QColor colorOf(Kind kind) {
    switch (kind) {
    case Kind::Missing:
        return {160, 160, 160};
    case Kind::Weekend:
        return {0, 255, 0};
    case Kind::Planned:
        return {255, 255, 0};
    case Kind::Listed:
        return {32, 32, 255};
    case Kind::Plain:
        break;
    }
    return Qt::white;
}

// Black 10-point bold on white; fixed cells raised in the button face, day
// cells 12-point in the colour of their kind, today framed.
class PreviewDelegate : public QStyledItemDelegate {
public:
    PreviewDelegate(const TF_TermPrev& form, QObject* parent)
        : QStyledItemDelegate(parent), m_form(form) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect cell = option.rect;
        const int row = index.row();
        const int day = index.column();
        painter->save();
        QFont font = option.font;
        font.setPointSize(10);
        font.setBold(true);
        painter->setPen(Qt::black);
        if (row == 0 || day == 0) {
            painter->setFont(font);
            painter->fillRect(cell, option.palette.color(QPalette::Button));
            painter->drawText(cell.adjusted(6, 3, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                              index.data().toString());
            DrawGridCellBevel(*painter, cell);
            painter->restore();
            return;
        }
        const TermPrevGrid& marks = m_form.marks();
        const Kind kind = marks.cellKind(row, day);
        const QColor fill = colorOf(kind);
        painter->setBrush(fill);
        painter->fillRect(cell, fill);
        font.setPointSize(12);
        painter->setFont(font);
        if (kind != Kind::Missing)
            painter->drawText(cell.adjusted(3, 5, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                              marks.cellText(row, day));
        if (marks.dateOf(row, day) == m_form.today())
            DrawGridCellFrame(*painter, cell);
        painter->restore();
    }

private:
    const TF_TermPrev& m_form;
};

// The hourglass while the marks are read, the normal cursor afterwards.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

TF_TermPrev::TF_TermPrev(const QDate& today, QWidget* parent)
    : QDialog(parent), m_marks(today), m_today(today) {
    setObjectName(u"TF_TermPrev"_s);
    setWindowTitle(u"Termin-Vorschau"_s);
    auto* layout = new QVBoxLayout(this);
    m_grid = new QTableWidget(13, 32, this);
    m_grid->setObjectName(u"TheGrid"_s);
    const int monthWidth = DayGridColumnWidth(kMonthWidth, font(), 10, true, u"00/0000"_s, 10);
    const int dayWidth = qMax(DayGridColumnWidth(kDayWidth, font(), 10, true, u"00"_s, 8),
                              DayGridColumnWidth(kDayWidth, font(), 12, true, u"W"_s, 5));
    SetUpDayGrid(*m_grid, monthWidth, dayWidth, kRowHeight);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setItemDelegate(new PreviewDelegate(*this, m_grid));
    m_grid->setItem(0, 0, new QTableWidgetItem);
    for (int day = 1; day <= 31; ++day)
        m_grid->setItem(0, day, new QTableWidgetItem(u"%1"_s.arg(day, 2)));
    for (int row = 1; row <= 12; ++row)
        m_grid->setItem(row, 0, new QTableWidgetItem(m_marks.monthTitle(row)));
    layout->addWidget(m_grid);
    auto* bottom = new QHBoxLayout;
    auto* legend = new QLabel(u"P = geplante Ausführung,  T = in einer Tagesliste,  grün = "
                              u"Wochenende"_s,
                              this);
    bottom->addWidget(legend);
    bottom->addStretch();
    auto* close = new QPushButton(u"S&chließen"_s, this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TF_TermPrev::mark(QChar letter, const QDate& date) {
    if (!m_marks.mark(letter, date))
        return false;
    m_grid->viewport()->update();
    return true;
}

bool OpenTermPrevForm() {
    return OpenTermPrevFormOn(QDate::currentDate());
}

bool OpenTermPrevFormOn(const QDate& today) {
    instance() = std::make_unique<TF_TermPrev>(today, MainForm());
    TF_TermPrev& form = *instance();
    form.adjustSize();
    if (const QWidget* main = MainForm()) {
        const QRect frame = main->frameGeometry();
        form.move(frame.right() - form.frameGeometry().width() + 1, frame.bottom() + 1);
    }
    return true;
}

TF_TermPrev* OpenTermPrev() {
    return instance().get();
}

void MarkTermPrevDate(QChar letter, const QDate& date) {
    if (TF_TermPrev* form = OpenTermPrev())
        form->mark(letter, date);
}

void ShowTermPrevForm() {
    std::unique_ptr<TF_TermPrev> form = std::move(instance());
    if (!form)
        return;
    if (const QWidget* main = MainForm()) {
        const QRect frame = main->frameGeometry();
        form->move(frame.left() + 100, frame.bottom() + 64);
    }
    const TimerWorkPause pause;
    form->exec();
}

void ShowActivityTermPreview(int activityId, int tourNr, bool allTours) {
    OpenTermPrevForm();
    try {
        TerminVorschau marks;
        {
            const WaitCursor wait;
            marks =
                FillTerminVorschauOfActivity(activityId, tourNr, allTours, OpenTermPrev()->today());
        }
        for (const QDate& d : std::as_const(marks.planned))
            MarkTermPrevDate(u'P', d);
        for (const QDate& d : std::as_const(marks.listed))
            MarkTermPrevDate(u'T', d);
    } catch (...) {
        instance().reset();
        throw;
    }
    ShowTermPrevForm();
}
