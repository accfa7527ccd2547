#include "masterdata/dialogs/tgridseldlg.h"

#include "core/stringgrid.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDefaultColWidth = 100;
constexpr int kDefaultRowHeight = 20;
constexpr int kGridLineWidth = 1;
constexpr int kMinGridWidth = 180;
constexpr int kMinGridHeight = 140;
constexpr int kMaxFormWidth = 640;
constexpr int kMaxFormHeight = 480;
constexpr int kTopPanelHeight = 4;
constexpr int kBottomPanelHeight = 40;
const QPoint kDesignedPosition(574, 126);

// Fields of a ";"-separated line; a trailing ";" is optional. An empty line
// has no fields.
QStringList fieldsOf(const QString& line) {
    if (line.isEmpty())
        return {};
    QStringList fields = line.split(u';');
    if (line.endsWith(u';'))
        fields.removeLast();
    return fields;
}

// The grid seen as rows of texts whose row 0 is the title row, so that the
// common string-grid sort works on it.
class TableGridAccess : public StringGridAccess {
public:
    explicit TableGridAccess(QTableWidget& grid) : m_grid(grid) {}
    int rowCount() const override { return m_grid.rowCount() + 1; }
    int columnCount() const override { return m_grid.columnCount(); }
    QString cellText(int row, int column) const override {
        const QTableWidgetItem* item =
            row == 0 ? m_grid.horizontalHeaderItem(column) : m_grid.item(row - 1, column);
        return item ? item->text() : QString();
    }
    void clearCell(int row, int column) override {
        if (QTableWidgetItem* item =
                row == 0 ? m_grid.horizontalHeaderItem(column) : m_grid.item(row - 1, column))
            item->setText(QString());
    }
    void swapRows(int first, int second) override {
        for (int c = 0; c < m_grid.columnCount(); ++c) {
            QTableWidgetItem* a = m_grid.takeItem(first - 1, c);
            QTableWidgetItem* b = m_grid.takeItem(second - 1, c);
            m_grid.setItem(first - 1, c, b);
            m_grid.setItem(second - 1, c, a);
        }
    }

private:
    QTableWidget& m_grid;
};

} // namespace

// The title row; the title of the sorted column stands on aqua.
class GridTitleHeader : public QHeaderView {
public:
    explicit GridTitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    void setSortColumn(int column) {
        m_sortColumn = column;
        viewport()->update();
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        if (logicalIndex != m_sortColumn) {
            QHeaderView::paintSection(painter, rect, logicalIndex);
            return;
        }
        painter->save();
        painter->fillRect(rect, QColor(0x00, 0xFF, 0xFF));
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setPen(Qt::black);
        painter->setFont(font());
        const QString title = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        painter->drawText(rect.adjusted(2, 2, -1, -1), Qt::AlignLeft | Qt::AlignTop, title);
        painter->restore();
    }

private:
    int m_sortColumn = 0;
};

TGridselDlg::TGridselDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(u"GridselDlg"_s);
    setWindowTitle(u"Auswahl"_s);
    setMaximumSize(kMaxFormWidth, kMaxFormHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* topPanel = new QWidget(this);
    topPanel->setFixedHeight(kTopPanelHeight);
    layout->addWidget(topPanel);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(u"Grid"_s);
    QFont font(u"Courier"_s);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    m_grid->setFont(font);
    m_header = new GridTitleHeader(m_grid);
    m_grid->setHorizontalHeader(m_header);
    m_header->setFont(font);
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(false);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_header->setFixedHeight(kDefaultRowHeight + kGridLineWidth);
    m_header->setMinimumSectionSize(1);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(kDefaultRowHeight + kGridLineWidth);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setWordWrap(false);
    m_grid->setMinimumSize(kMinGridWidth, kMinGridHeight);
    m_grid->setVisible(false);
    layout->addWidget(m_grid, 1);

    auto* bottomPanel = new QWidget(this);
    bottomPanel->setFixedHeight(kBottomPanelHeight);
    auto* buttons = new QHBoxLayout(bottomPanel);
    buttons->addStretch();
    auto* ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), u"OK"_s, this);
    ok->setObjectName(u"BitBtn1"_s);
    ok->setDefault(true);
    auto* cancel =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), u"Abbrechen"_s, this);
    cancel->setObjectName(u"BitBtn3"_s);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addWidget(bottomPanel);

    connect(ok, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this] { GridDblClick(); });
    connect(m_header, &QHeaderView::sectionPressed, this, &TGridselDlg::GridMouseDown);
}

void TGridselDlg::build(const Request& request) {
    m_result.clear();
    m_keyColumn = request.keyColumn;
    m_sortColumn = 0;
    m_descending = false;
    m_header->setSortColumn(0);

    const QFontMetrics metrics(m_grid->font());
    m_charUnit = metrics.horizontalAdvance(u"WMAB01IJKL23XYZil45mnOP67QRS89tU"_s) / 32 + 1;
    if (!request.caption.isEmpty())
        setWindowTitle(request.caption);

    const QStringList titles = fieldsOf(request.list.value(0));
    const int rows = int(request.list.size()); // grid rows, the title row included
    m_grid->setColumnCount(int(titles.size()));
    m_grid->setRowCount(std::max(0, rows - 1));
    int width = 24;
    for (int i = 0; i < titles.size(); ++i) {
        int columnWidth = int(titles[i].size()) * m_charUnit;
        if (i == 0)
            columnWidth = std::max(columnWidth, kDefaultColWidth);
        m_grid->setHorizontalHeaderItem(i, new QTableWidgetItem(titles[i]));
        m_grid->setColumnWidth(i, columnWidth + kGridLineWidth);
        if (i < request.widthColumns)
            width += columnWidth + kGridLineWidth;
    }
    int widthLimit = std::min(request.maxWidth, kMaxFormWidth);
    if (request.fitWidthColumns) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
        widthLimit = std::max(widthLimit, std::min(width, screenWidth));
    }
    const int formWidth = std::max(std::min(width, widthLimit), kMinGridWidth);
    setMaximumWidth(std::max(kMaxFormWidth, formWidth));

    int gridHeight = rows * (kDefaultRowHeight + kGridLineWidth) + 2;
    gridHeight = std::max(std::min(gridHeight, request.maxGridHeight), kMinGridHeight);
    gridHeight = std::min(gridHeight, kMaxFormHeight - kTopPanelHeight - kBottomPanelHeight);
    m_grid->setFixedHeight(gridHeight);
    resize(formWidth, kTopPanelHeight + gridHeight + kBottomPanelHeight);

    m_wanted = QPoint(request.left, request.top);
    m_placement = keptOnScreen(m_wanted, size());

    for (int r = 1; r < rows; ++r) {
        QString line = request.list.at(r);
        // An empty line keeps its row, with empty cells.
        const QStringList fields = fieldsOf(line);
        for (int c = 0; c < m_grid->columnCount(); ++c)
            m_grid->setItem(r - 1, c, new QTableWidgetItem(fields.value(c)));
    }
    if (request.sorted) {
        TableGridAccess access(*m_grid);
        SortStringGrid(access, 0, [](const QString& a, const QString& b) { return a.compare(b); });
    }

    m_grid->setVisible(true);
    const int start = request.startRow <= 0 || request.startRow >= rows ? 1 : request.startRow;
    if (start < rows) {
        m_grid->setCurrentCell(start - 1, 0);
        m_grid->scrollToItem(m_grid->item(start - 1, 0), QAbstractItemView::PositionAtTop);
    }
}

QPoint TGridselDlg::keptOnScreen(QPoint wanted, QSize size) const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    int left = wanted.x();
    int top = wanted.y();
    if (left >= 0 && left + size.width() > screenSize.width())
        left = std::max(0, screenSize.width() - size.width());
    if (top >= 0 && top + size.height() > screenSize.height())
        top = std::max(0, screenSize.height() - size.height());
    return {left < 0 ? kDesignedPosition.x() : left, top < 0 ? kDesignedPosition.y() : top};
}

void TGridselDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TGridselDlg::FormActivate() {
    // The window frame counts when it keeps the popup on screen.
    const QSize outer = frameGeometry().size().expandedTo(size());
    m_placement = keptOnScreen(m_wanted, outer);
    move(m_placement);
    m_grid->setFocus();
}

void TGridselDlg::OKBtnClick() {
    const int row = m_grid->currentRow() + 1;
    if (row < 1 || row > m_grid->rowCount())
        return;
    const QTableWidgetItem* item = m_grid->item(row - 1, m_keyColumn);
    m_result = item ? item->text() : QString();
}

void TGridselDlg::GridDblClick() {
    OKBtnClick();
    accept();
}

void TGridselDlg::GridMouseDown(int column) {
    const bool ascending = column != m_sortColumn || m_descending;
    TableGridAccess access(*m_grid);
    // The comparison records the direction, so it stays as it was when there
    // were too few rows to compare.
    SortStringGrid(access, column, [this, ascending](const QString& a, const QString& b) {
        m_descending = !ascending;
        return ascending ? a.compare(b) : b.compare(a);
    });
    m_sortColumn = column;
    m_header->setSortColumn(column);
}

QString SelectFromGrid(const QStringList& list, const QString& caption, int left, int top,
                       int maxWidth, int maxGridHeight, int widthColumns, int keyColumn,
                       int startRow, [[maybe_unused]] int reserved, QString& result,
                       bool sortedList) {
    return SelectFromGrid({list, caption, left, top, maxWidth, maxGridHeight, widthColumns,
                           keyColumn, startRow, sortedList},
                          result);
}

QString SelectFromGrid(const TGridselDlg::Request& request, QString& result) {
    result.clear();
    TGridselDlg popup(QApplication::activeWindow());
    popup.build(request);
    popup.exec();
    result = popup.result();
    return result;
}
