#include "datasafety/gui/tf_docview.h"

#include "core/data/dbhelpers.h"
#include "core/data/reportsource.h"
#include "core/data/timerworkpause.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "masterdata/adressdocs.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "printing/documentprints.h"
#include "printing/gui/printbutton.h"
#include "printing/printprotocol.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Text 8 pixels from the cell's left edge (the amount 8 from its right).
class DocViewDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.adjust(8, 0, -8, 0);
    }
};

// R_PrintFormNo of the head in the alias's head table, 0 when it is gone.
int storedPrintForm(const QString& alias, const QString& table, int id) {
    table::Table head(table::aliases::database(alias), table);
    head.open();
    const QVariant form = head.lookup({u"R_ID"_s}, {id}, u"R_PrintFormNo"_s);
    return form.isValid() && !form.isNull() ? form.toInt() : 0;
}

void printEntry(const QString& code, int id, const QString& layout, QWidget* parent) {
    const int type = DocViewKindOf(code).formType;
    switch (type) {
    case 12000:
        PrintOffer(id, true, layout, parent);
        break;
    case 13000:
        PrintOrder(id, true, layout, parent);
        break;
    case 10000:
        PrintInvoice(id, false, true, layout, parent);
        break;
    case 40000:
        PrintDeliveryNote(id, true, layout, parent);
        break;
    case 14000:
        PrintCreditNote(id, false, true, layout, parent);
        break;
    case 57000:
        PrintIncomingInvoice(id, true, layout, parent);
        break;
    case 76000:
        PrintBestellung(id, true, layout, parent);
        break;
    default:
        throw DbError(u"Für die Belegart %1 gibt es keinen Ausdruck."_s.arg(code));
    }
}

} // namespace

QString DocViewKindWord(int kind) {
    return kind == DocsOfKunde ? u"Kunde"_s : kind == DocsOfObjekt ? u"Objekt"_s : u"Lieferant"_s;
}

void PreviewDocument(const DocViewRow& row, QWidget* parent) {
    const DocViewKind& kind = DocViewKindOf(row.code);
    const ReportDatabaseScope database(row.fromArchive() ? u"AblageDB"_s : u"LumoDB"_s);
    std::optional<RgPrintSourceScope> source;
    if (kind.printSource >= 0)
        source.emplace(kind.printSource);
    const int key = row.key();
    const int stored = storedPrintForm(ReportDatabaseName, kind.headTable, key);
    // The choice opens in the middle below the main window.
    const PrintLayout layout = ResolvePrintLayout({PrintVariant::D, kind.formType, stored},
                                                  WindowPrintFormChoosers(parent));
    if (layout.prints())
        printEntry(kind.code, key, layout.layoutPath(), parent);
}

TF_DocView::TF_DocView(int nr, const QString& name, int kind, const QStringList& list,
                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(u"TF_DocView"_s);
    setWindowTitle(u"Dokumenten-Betrachter"_s);
    lbNrName = new QLabel(
        DocViewKindWord(kind) + u' ' + QString::number(nr) + u" ["_s + name + u']', this);
    lbNrName->setObjectName(u"lbNrName"_s);
    QFont bold = lbNrName->font();
    bold.setBold(true);
    lbNrName->setFont(bold);

    Grid1 = new QTableWidget(0, 5, this);
    Grid1->setObjectName(u"Grid1"_s);
    Grid1->setHorizontalHeaderLabels(
        {u"Art"_s, u"Herkunft"_s, u"Bezeichnung"_s, u"Datum"_s, u"Betrag"_s});
    const int widths[] = {108, 119, 125, 68, 87};
    for (int c = 0; c < 5; ++c)
        Grid1->setColumnWidth(c, widths[c]);
    QHeaderView* header = Grid1->horizontalHeader();
    // Kind, source and number are read by position: the columns stay put.
    header->setSectionsMovable(false);
    header->setStyleSheet(
        u"QHeaderView::section { background-color: #E0E0E0; font-weight: bold; }"_s);
    header->setStretchLastSection(true);
    Grid1->verticalHeader()->setVisible(false);
    Grid1->verticalHeader()->setDefaultSectionSize(16);
    Grid1->verticalHeader()->setMinimumSectionSize(16);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setItemDelegate(new DocViewDelegate(Grid1));
    connect(Grid1, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        try {
            previewRow(row + 1);
        } catch (const Abort&) {
        } catch (const DbError& e) {
            ShowError(e.message()); // the viewer stays open
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbNrName);
    layout->addWidget(Grid1, 1);
    resize(560, 420);
    fill(list);
}

void TF_DocView::fill(const QStringList& list) {
    m_rows = ParseDocViewLines(list);
    Grid1->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        const DocViewRow& row = m_rows[r];
        const QString cells[] = {DocKindNameOfCode(row.code), DocSourceNameOfCode(row.sourceCode()),
                                 row.number, row.date, row.amount};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Grid1->setItem(r, c, item);
        }
    }
    // The widths are the least; a wider font or a long number widens its
    // column so that no date or source name is cut (the text sits 8 pixels
    // in from either edge).
    int total = 0;
    for (int c = 0; c < 5; ++c) {
        const int least = Grid1->columnWidth(c);
        Grid1->resizeColumnToContents(c);
        Grid1->setColumnWidth(c, std::max(least, Grid1->columnWidth(c) + 16));
        total += Grid1->columnWidth(c);
    }
    const int frame = 2 * Grid1->frameWidth() + Grid1->verticalScrollBar()->sizeHint().width() +
                      layout()->contentsMargins().left() + layout()->contentsMargins().right();
    resize(std::max(width(), std::min(total + frame, 1300)), height());
    if (!m_rows.isEmpty())
        Grid1->setCurrentCell(0, 0);
}

void TF_DocView::previewRow(int row) {
    if (row < 1 || row > m_rows.size())
        return;
    PreviewDocument(m_rows[row - 1], this);
}

void ShowDocViewWindow(int nr, const QString& name, int kind, const QStringList& list) {
    TimerWorkPause pause;
    TF_DocView form(nr, name, kind, list, MainForm());
    if (const QWidget* main = MainForm())
        form.move(main->x() + (main->width() - form.width()) / 2, main->y() + 120);
    form.exec();
}
