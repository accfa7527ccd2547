#include "masterdata/gui/patterngrid.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

const QString kMark = QStringLiteral("*");

class PatternCellDelegate : public QStyledItemDelegate {
public:
    PatternCellDelegate(bool titled, QObject* parent)
        : QStyledItemDelegate(parent), m_titled(titled) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool fixed = index.row() == 0 || (m_titled && index.column() == 0);
        const QString text = index.data().toString();
        const QPalette& palette = option.palette;
        QFont font = option.font;
        font.setBold(true);
        font.setPointSize(fixed ? 8 : 14);
        QColor background = palette.color(QPalette::Base);
        if (fixed)
            background = palette.color(QPalette::Button);
        else if (text == kMark)
            background = Qt::yellow;
        painter->save();
        painter->fillRect(option.rect, background);
        painter->setFont(font);
        painter->setPen(palette.color(fixed ? QPalette::ButtonText : QPalette::Text));
        painter->drawText(option.rect.adjusted(fixed ? 4 : 7, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        painter->restore();
    }

private:
    bool m_titled;
};

} // namespace

PatternGrid::PatternGrid(int markRows, int dayColumns, int titleWidth, int dayWidth,
                         QWidget* parent)
    : QTableWidget(markRows + 1, dayColumns + (titleWidth > 0 ? 1 : 0), parent),
      m_titled(titleWidth > 0) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new PatternCellDelegate(m_titled, this));
    horizontalHeader()->setMinimumSectionSize(8);
    const int rowHeight = QFontMetrics(QFont(font().family(), 14, QFont::Bold)).height() + 6;
    for (int r = 0; r < rowCount(); ++r) {
        setRowHeight(r, rowHeight);
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || (m_titled && c == 0))
                item->setFlags(Qt::ItemIsEnabled);
            setItem(r, c, item);
        }
    }
    if (m_titled)
        setColumnWidth(0, titleWidth);
    for (int d = 1; d <= dayColumns; ++d) {
        setColumnWidth(firstDayColumn() + d - 1, dayWidth);
        item(0, firstDayColumn() + d - 1)
            ->setText(QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0')));
    }
    int width = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c)
        width += columnWidth(c);
    setMinimumWidth(width);
    setFixedHeight(rowCount() * rowHeight + 2 * frameWidth());
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (row > 0 && column >= firstDayColumn())
            Q_EMIT markCellChosen(row, column - firstDayColumn() + 1);
    });
}

bool PatternGrid::isMarked(int row, int day) const {
    return item(row, firstDayColumn() + day - 1)->text() == kMark;
}

void PatternGrid::setMarked(int row, int day, bool marked) {
    item(row, firstDayColumn() + day - 1)->setText(marked ? kMark : QString());
}

void PatternGrid::setRowTitle(int row, const QString& title) {
    if (m_titled)
        item(row, 0)->setText(title);
}

void LayOutPatternEditor(QDialog& editor, PatternGrid& grid) {
    auto* layout = new QVBoxLayout(&editor);
    layout->addWidget(&grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), &editor);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Abbruch"), &editor);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(ok, &QPushButton::clicked, &editor, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &editor, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
