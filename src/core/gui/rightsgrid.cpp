#include "core/gui/rightsgrid.h"

#include "core/rights/rights.h"
#include "core/rights/rightsediting.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMarkIndent = 24;

class MarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString text = index.data().toString();
        QColor fill = Qt::white;
        if (index.column() == 0)
            fill = option.palette.color(QPalette::Button);
        else if (text == RightsMark)
            fill = Qt::yellow;
        painter->save();
        painter->fillRect(option.rect, fill);
        painter->setPen(option.palette.color(QPalette::Text));
        const int indent = index.column() == 0 ? 2 : kMarkIndent;
        painter->drawText(option.rect.adjusted(indent, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          text);
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
};

// Wide enough for every column beside the vertical scroll bar: a title or
// a right's name is never cut off by the grid's edge.
void showAllColumns(QTableWidget* grid) {
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    grid->setMinimumWidth(width);
}

} // namespace

QTableWidget* CreateMarkGrid(QWidget* parent, const QString& objectName, int rows,
                             const QStringList& captions, int firstWidth, int otherWidth) {
    auto* grid = new QTableWidget(rows, int(captions.size()), parent);
    grid->setObjectName(objectName);
    grid->setHorizontalHeaderLabels(captions);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setItemDelegate(new MarkDelegate(grid));
    // A column is never narrower than its title.
    for (int c = 0; c < captions.size(); ++c)
        grid->setColumnWidth(c, std::max(c == 0 ? firstWidth : otherWidth,
                                         grid->horizontalHeader()->sectionSizeHint(c)));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < captions.size(); ++c)
            grid->setItem(r, c, new QTableWidgetItem);
    showAllColumns(grid);
    return grid;
}

QTableWidget* CreateRightsGrid(QWidget* parent) {
    QStringList captions{u"Rechtebezeichnung"_s};
    for (int column = 1; column <= RightsColumnCount; ++column)
        captions << GetRightColumnName(column);
    QTableWidget* grid =
        CreateMarkGrid(parent, u"GridRights"_s, RightsByteCount, captions, 120, 80);
    for (int nr = 1; nr <= RightsByteCount; ++nr)
        SetCellText(grid, nr - 1, 0, GetRightName(nr));
    // The names of the rights are read in full.
    const int designed = grid->columnWidth(0);
    grid->resizeColumnToContents(0);
    grid->setColumnWidth(0, std::max(designed, grid->columnWidth(0)));
    showAllColumns(grid);
    return grid;
}

void SetCellText(QTableWidget* grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

void SetMark(QTableWidget* grid, int row, int column, bool marked) {
    SetCellText(grid, row, column, marked ? RightsMark : QString());
}

bool IsMarked(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item && item->text() == RightsMark;
}
