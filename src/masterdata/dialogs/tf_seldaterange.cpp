#include "masterdata/dialogs/tf_seldaterange.h"

#include "core/gui/placement.h"
#include "core/values/datetext.h"
#include "masterdata/dialogs/daterangeselection.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int MonthColumnWidth = 84;

// Captions small on the button face, days large: yellow when in the range,
// button face when the month has no such day, else the grid's colour.
class RangeCellDelegate : public QStyledItemDelegate {
public:
    RangeCellDelegate(const DateRangeSelection& selection, QObject* parent)
        : QStyledItemDelegate(parent), m_selection(selection) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        const int column = index.column();
        const bool caption = row == 0 || column == 0;
        const QPalette& palette = option.palette;
        QColor background = palette.color(QPalette::Base);
        if (caption || !m_selection.cellDate(row, column))
            background = palette.color(QPalette::Button);
        else if (m_selection.isMarked(row, column))
            background = Qt::yellow;
        painter->save();
        painter->fillRect(option.rect, background);
        QFont font = option.font;
        font.setBold(true);
        font.setPointSize(caption ? 8 : 14);
        painter->setFont(font);
        painter->setPen(palette.color(QPalette::Text));
        const QRect text = option.rect.adjusted(caption ? 4 : 7, 0, 0, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                          m_selection.cellText(row, column));
        painter->restore();
    }

private:
    const DateRangeSelection& m_selection;
};

QLineEdit* readOnlyEdit(QWidget* parent, const QString& name, int characters) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(u'0') * characters + 16);
    return edit;
}

} // namespace

TF_SelDateRange::TF_SelDateRange(TDateTime start, TDateTime end, QWidget* parent)
    : QDialog(parent), m_selection(std::make_unique<DateRangeSelection>(start, end)) {
    setObjectName(u"TF_SelDateRange"_s);
    setWindowTitle(u"Datumsbereich wählen"_s);
    auto* layout = new QVBoxLayout(this);

    m_grid = new QTableWidget(DateRangeSelection::Rows, DateRangeSelection::Columns, this);
    m_grid->setObjectName(u"Grid"_s);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setMinimumSectionSize(CellSize);
    m_grid->verticalHeader()->setMinimumSectionSize(CellSize);
    m_grid->horizontalHeader()->setDefaultSectionSize(CellSize);
    m_grid->verticalHeader()->setDefaultSectionSize(CellSize);
    m_grid->setColumnWidth(0, MonthColumnWidth);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setItemDelegate(new RangeCellDelegate(*m_selection, m_grid));
    const int frame = 2 * m_grid->frameWidth();
    m_grid->setFixedSize(MonthColumnWidth + (DateRangeSelection::Columns - 1) * CellSize + frame,
                         DateRangeSelection::Rows * CellSize + frame);
    layout->addWidget(m_grid);

    auto* panel = new QHBoxLayout;
    m_btnOK = new QPushButton(u"OK"_s, this);
    m_btnOK->setObjectName(u"btnOK"_s);
    m_btnOK->setDefault(true);
    m_edStart = readOnlyEdit(this, u"edStart"_s, 10);
    m_edEnd = readOnlyEdit(this, u"edEnd"_s, 10);
    m_edDays = readOnlyEdit(this, u"edDays"_s, 9);
    m_edDays->setAutoFillBackground(true);
    m_btnCancel = new QPushButton(u"Abbrechen"_s, this);
    m_btnCancel->setObjectName(u"btnCancel"_s);
    panel->addWidget(m_btnOK);
    panel->addSpacing(16);
    panel->addWidget(new QLabel(u"Gewählt:"_s, this));
    panel->addWidget(m_edStart);
    panel->addWidget(m_edEnd);
    panel->addWidget(m_edDays);
    panel->addStretch();
    panel->addWidget(m_btnCancel);
    layout->addLayout(panel);

    connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TF_SelDateRange::gridDblClick);
    refresh();
}

TF_SelDateRange::~TF_SelDateRange() = default;

void TF_SelDateRange::gridDblClick(int row, int column) {
    if (m_selection->pick(row, column))
        refresh();
}

void TF_SelDateRange::refresh() {
    m_edStart->setText(DateToStrDMY(m_selection->start()));
    m_edEnd->setText(DateToStrDMY(m_selection->end()));
    m_edDays->setText(m_selection->daysText());
    QPalette palette = m_edDays->palette();
    palette.setColor(QPalette::Base,
                     m_selection->tooLong() ? QColor(Qt::red) : palette.color(QPalette::Window));
    m_edDays->setPalette(palette);
    m_grid->viewport()->update();
}

bool PickDateRange(TDateTime& start, TDateTime& end) {
    TF_SelDateRange dialog(start, end);
    if (const QWidget* main = MainForm())
        dialog.move(main->frameGeometry().left() + 100, main->frameGeometry().bottom() + 140);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    start = dialog.selection().start();
    end = dialog.selection().end();
    return true;
}
