#include "datasafety/gui/tf_archiveview.h"

#include "commercial/documents/positionnumbers.h"
#include "commercial/gui/doceditdecl.h"
#include "commercial/gui/tf_fakadr.h"
#include "core/data/dbhelpers.h"
#include "core/data/printforms.h"
#include "core/data/reportsource.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/settings/formplacement.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/screenfit.h"
#include "printing/faktlistprint.h"
#include "printing/gui/printbutton.h"
#include "printing/printprotocol.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::DataGrid;

namespace {

const QString kAblage = u"AblageDB"_s;
const QString kSelected = u"R_Selected"_s;
const QString kFormNo = u"R_PrintFormNo"_s;
constexpr int kListFormType = 81000;

// The remembered search column of each member, for the program's run.
QHash<QString, int>& rememberedColumns() {
    static QHash<QString, int> columns;
    return columns;
}

// "Wahl" as "Ja"/"Nein", and the delivered-quantity cell of a plain line
// light green once everything is delivered.
class ArchiveGridDelegate : public QStyledItemDelegate {
public:
    ArchiveGridDelegate(DataGrid& grid, bool delivered)
        : QStyledItemDelegate(&grid), m_grid(grid), m_delivered(delivered) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString field = m_grid.gridModel().fieldAt(index.column());
        if (field.compare(kSelected, Qt::CaseInsensitive) == 0) {
            const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
            option->text = on ? u"Ja"_s : u"Nein"_s;
            return;
        }
        if (m_delivered && field.compare(u"S_MengeGeliefert"_s, Qt::CaseInsensitive) == 0) {
            widgets::RowReader& rows = m_grid.source().rows();
            if (index.row() < rows.rowCount() &&
                rows.value(index.row(), u"S_PosArt"_s).toInt() == 0 &&
                rows.value(index.row(), u"S_Menge"_s).toDouble() -
                        rows.value(index.row(), u"S_MengeGeliefert"_s).toDouble() <
                    0.001)
                option->backgroundBrush = QColor(0xA0, 0xFF, 0xA0);
        }
    }

private:
    DataGrid& m_grid;
    bool m_delivered;
};

// The browsers show and print; their grids change nothing but the marks,
// which the window sets itself. Records go only through the delete.
bool viewOnly(widgets::EditAction action) {
    return action == widgets::EditAction::Delete;
}

QString withCount(QString text, int count) {
    return text.replace(u"%d"_s, QString::number(count));
}

std::unique_ptr<table::Table> tableOf(std::shared_ptr<table::Database> db, const QString& name) {
    try {
        return std::make_unique<table::Table>(std::move(db), name);
    } catch (const DbError& e) {
        throw ArchiveOpenError(name, e.message());
    }
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

ArchiveOpenError::ArchiveOpenError(QString table, const QString& message)
    : DbError(message), m_table(std::move(table)) {}

TF_ArchiveView::TF_ArchiveView(const ArchiveViewDecl& decl, QWidget* parent)
    : QDialog(parent), m_decl(decl),
      m_reportDatabase(std::make_unique<ReportDatabaseScope>(kAblage)) {
    if (decl.rgPrintSource)
        m_printSource = std::make_unique<RgPrintSourceScope>(*decl.rgPrintSource);
    setObjectName(decl.formName);
    setWindowTitle(decl.caption);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setMinimumSize(780, 520);
    auto db = table::aliases::database(kAblage);
    m_head = tableOf(db, decl.headTable);
    m_lines = tableOf(db, decl.lineTable);
    m_lines->setMaster(m_head.get(), {u"R_ID"_s}, {u"S_Ref"_s});
    setupLineTexts();
    // Before the grids read the lines: the position as dotted text.
    m_lines->afterOpen += [](table::Table& lines) {
        if (table::Field* posNr = lines.findField(u"S_PosNr"_s))
            posNr->onGetText = [](const table::Field& f) {
                return f.isNull() ? QString() : FormatPosNr(QString::number(f.asInteger()));
            };
    };

    // A deleted head takes its lines with it, in one transaction.
    m_head->beforeDelete += [this](table::Table& head) {
        m_deleting = std::make_unique<table::Transaction>(*head.database());
        DeleteRecordsWithValue(kAblage, m_decl.lineTable, u"S_Ref"_s,
                               head.field(u"R_ID"_s).asInteger(), OnDeleteFailure::Raise);
    };
    m_head->afterDelete += [this](table::Table&) {
        if (m_deleting)
            m_deleting->commit();
        m_deleting.reset();
    };
    m_head->deleteFailed += [this](table::Table&) { m_deleting.reset(); };

    m_headSource = std::make_unique<widgets::DataSource>(*m_head);
    m_lineSource = std::make_unique<widgets::DataSource>(*m_lines);
    m_headSource->setRightsCheck(&viewOnly);
    m_lineSource->setRightsCheck(&viewOnly);
    m_lineSource->rows().setSetup([this](table::Table& reader) {
        reader.setMaster(m_head.get(), {u"R_ID"_s}, {u"S_Ref"_s});
    });

    buildGrids();
    buildRightPanel();
    buildTopLine();

    auto* left = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    top->addWidget(LbEdSearch);
    top->addWidget(EditSearch);
    top->addStretch();
    top->addWidget(DBNavigator);
    left->addLayout(top);
    left->addWidget(m_vertical, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(Panel3);
}

TF_ArchiveView::~TF_ArchiveView() {
    closeTables();
}

void TF_ArchiveView::setupLineTexts() {
    auto lumo = table::aliases::database(u"LumoDB"_s);
    switch (m_decl.lineKinds) {
    case ArchiveLineKinds::None:
        break;
    case ArchiveLineKinds::PositionKinds:
        m_posArt = tableOf(lumo, u"Posart.db"_s);
        m_lines->addCalculatedField(u"PosArtText"_s, table::FieldType::String, 10);
        m_lines->onCalcFields += [this](table::Table& t) {
            const QVariant text =
                m_posArt->lookup({u"A_Nr"_s}, {FieldInt(t, u"S_PosArt"_s)}, u"A_Text"_s);
            t.field(u"PosArtText"_s).setValue(text.isValid() ? text : QVariant());
        };
        break;
    case ArchiveLineKinds::ObjectAndCostType:
        m_objekte = tableOf(lumo, u"Objekte.DB"_s);
        m_kostart = tableOf(lumo, u"Kostart.DB"_s);
        m_lines->addCalculatedField(u"ObjNrText"_s, table::FieldType::Integer);
        m_lines->addCalculatedField(u"KostArtText"_s, table::FieldType::String, 40);
        m_lines->onCalcFields += [this](table::Table& t) {
            const QVariant nr =
                m_objekte->lookup({u"O_ID"_s}, {FieldInt(t, u"S_ObjID"_s)}, u"O_Nr"_s);
            t.field(u"ObjNrText"_s).setValue(nr.isValid() ? nr : QVariant());
            const QVariant text =
                m_kostart->lookup({u"A_Nr"_s}, {FieldInt(t, u"S_KostArt"_s)}, u"A_Text"_s);
            t.field(u"KostArtText"_s).setValue(text.isValid() ? text : QVariant());
        };
        break;
    }
}

void TF_ArchiveView::buildGrids() {
    GridAnKopf = new DataGrid(*m_headSource, this);
    GridAnKopf->setObjectName(u"GridAnKopf"_s);
    GridAnKopf->setToolTip(u"Vorschau : Doppelclick"_s);
    GridAnKopf->setColumns(m_decl.headColumns);
    GridAnKopf->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridAnKopf->setItemDelegate(new ArchiveGridDelegate(*GridAnKopf, false));
    GridAnKopf->installEventFilter(this);
    GridAnKopf->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(GridAnKopf, &DataGrid::titleClicked, this,
            [this](int column, const QString&) { guarded([&] { sortByTitle(column); }); });
    connect(GridAnKopf, &QAbstractItemView::doubleClicked, this, [this] {
        guarded([this] {
            preview(m_decl.printRun == ArchivePrintRun::CurrentDocument
                        ? static_cast<QWidget*>(GridAnKopf)
                        : EditSearch);
        });
    });
    connect(GridAnKopf, &QAbstractItemView::clicked, this, [this] {
        if (m_marking)
            guarded([this] { toggleCurrentMark(); });
    });
    m_headMenu = new QMenu(this);
    QAction* show = m_headMenu->addAction(u"Vorschau"_s);
    m_headMenu->setDefaultAction(show);
    connect(show, &QAction::triggered, this, [this] { guarded([this] { preview(EditSearch); }); });
    m_headMenu->addAction(u"&Abbrechen"_s);
    connect(GridAnKopf, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_headMenu->exec(GridAnKopf->viewport()->mapToGlobal(at));
    });

    GridSatz = new DataGrid(*m_lineSource, this);
    GridSatz->setObjectName(u"GridSatz"_s);
    GridSatz->setToolTip(u"Keine Änderungen möglich"_s);
    GridSatz->setColumns(m_decl.lineColumns);
    GridSatz->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridSatz->setItemDelegate(new ArchiveGridDelegate(*GridSatz, m_decl.deliveredColour));
    GridSatz->installEventFilter(this);
    if (m_decl.lineColours) {
        const QHash<int, QColor> colours = DocumentKindColours();
        GridSatz->gridModel().setRowBrush([this, colours](int row) {
            const auto it =
                colours.constFind(m_lineSource->rows().value(row, u"S_PosArt"_s).toInt());
            return it == colours.cend() ? QBrush(Qt::NoBrush) : QBrush(*it);
        });
    }

    DBRERgText = new widgets::DbRichEdit(*m_lineSource, u"S_Text"_s, this);
    DBRERgText->setObjectName(u"DBRERgText"_s);
    DBRERgText->setReadOnly(true);
    auto* textPanel = new QWidget(this);
    auto* textLayout = new QVBoxLayout(textPanel);
    textLayout->setContentsMargins(0, 0, 0, 0);
    textLayout->addWidget(new QLabel(u"Positionstext"_s, textPanel));
    textLayout->addWidget(DBRERgText);

    m_horizontal = new QSplitter(Qt::Horizontal, this);
    m_horizontal->setObjectName(u"PanelSatz"_s);
    m_horizontal->addWidget(GridSatz);
    m_horizontal->addWidget(textPanel);
    m_horizontal->setStretchFactor(0, 3);
    m_horizontal->setStretchFactor(1, 1);
    m_vertical = new QSplitter(Qt::Vertical, this);
    m_vertical->addWidget(GridAnKopf);
    m_vertical->addWidget(m_horizontal);
    m_vertical->setStretchFactor(0, 3);
    m_vertical->setStretchFactor(1, 2);
    m_vertical->setChildrenCollapsible(false);
    m_horizontal->setChildrenCollapsible(false);
}

void TF_ArchiveView::buildTopLine() {
    EditSearch = new QLineEdit(this);
    EditSearch->setObjectName(u"EditSearch"_s);
    EditSearch->installEventFilter(this);
    EditSearch->setMaximumWidth(200);
    connect(EditSearch, &QLineEdit::textChanged, this,
            [this](const QString& text) { guarded([&] { searchChanged(text); }); });
    LbEdSearch = new QLabel(u"&Suchen"_s, this);
    LbEdSearch->setObjectName(u"LbEdSearch"_s);
    LbEdSearch->setBuddy(EditSearch);
    DBNavigator = new widgets::DbNavigator(*m_headSource, this);
    DBNavigator->setObjectName(u"DBNavigator"_s);
    for (auto b :
         {widgets::DbNavigator::Insert, widgets::DbNavigator::Edit, widgets::DbNavigator::Cancel})
        DBNavigator->setButtonVisible(b, false);
    DBNavigator->setButtonVisible(widgets::DbNavigator::Post, m_decl.navigatorPost);
}

void TF_ArchiveView::buildRightPanel() {
    Panel3 = new QWidget(this);
    Panel3->setObjectName(u"Panel3"_s);
    auto* column = new QVBoxLayout(Panel3);
    column->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, Panel3);
        b->setObjectName(name);
        b->setMinimumWidth(90);
        column->addWidget(b);
        m_buttons.append(b);
        return b;
    };
    const auto on = [this](QPushButton* b, std::function<void()> action) {
        connect(b, &QPushButton::clicked, this,
                [this, action = std::move(action)] { guarded(action); });
    };
    on(add(u"&?Info?"_s, u"sbtnInfo"_s), [] { ShowHandbuchPage(u"Datenablage.html"_s); });
    if (m_decl.marking) {
        QPushButton* mark = add(u"W&ählen"_s, u"sbtnMark"_s);
        mark->setCheckable(true);
        connect(mark, &QPushButton::toggled, this,
                [this](bool checked) { guarded([&] { setMarkingMode(checked); }); });
    }
    if (m_decl.printRun == ArchivePrintRun::CurrentDocument) {
        on(add(u"Druck"_s, u"sbtnPrint"_s), [this] { printCurrent(false); });
        QPushButton* show = add(u"Vorsc&hau"_s, u"sbtnPreview"_s);
        MarkPreviewButton(show);
        on(show, [this] { printCurrent(true); });
    } else {
        on(add(u"Dr&uck"_s, u"sbtnPrint"_s), [this] { printMarked(); });
    }
    if (m_decl.marking)
        on(add(u"L&öschen"_s, u"sBtnDelete"_s), [this] { deleteMarked(); });
    if (!m_decl.listTitle.isEmpty()) {
        QPushButton* list = add(u"&Liste"_s, u"SpeedButton2"_s);
        MarkPreviewButton(list); // the list is shown in the preview
        on(list, [this] { printList(); });
    }
    if (m_decl.marking && m_decl.changeAddress)
        on(add(u"Ändern"_s, u"Button1"_s), [this] { changeAddress(); });
    column->addStretch();
}

QPushButton* TF_ArchiveView::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

void TF_ArchiveView::openTables() {
    const auto open = [this](table::Table* t) {
        if (!t)
            return;
        try {
            if (t == m_lines.get())
                t->setIndexName(u"S_IRef"_s);
            t->open();
        } catch (const DbError& e) {
            throw ArchiveOpenError(t->tableName(), e.message());
        }
    };
    for (table::Table* t :
         {m_posArt.get(), m_objekte.get(), m_kostart.get(), m_head.get(), m_lines.get()})
        open(t);
    m_headSource->notifyViewChanged();
    m_lineSource->notifyViewChanged();
    Panel3->setEnabled(!m_head->isEmpty());
    applyMarkingColumns(false);
}

void TF_ArchiveView::closeTables() noexcept {
    for (table::Table* t :
         {m_lines.get(), m_head.get(), m_posArt.get(), m_objekte.get(), m_kostart.get()}) {
        if (!t)
            continue;
        try {
            t->close();
        } catch (const std::exception&) {
            // Closing gives nothing back to save; the next opening reads afresh.
        }
    }
}

void TF_ArchiveView::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    }
}

void TF_ArchiveView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The frame is known now: the whole window stays on the screen.
    widgets::FitToScreen(*this);
    if (!m_activated) {
        m_activated = true;
        guarded([this] { activateFirstTime(); });
    }
}

void TF_ArchiveView::activateFirstTime() {
    const int remembered = rememberedColumns().value(m_decl.formName, -1);
    // Every opening sorts: first by the declared field, later by the column
    // remembered from an earlier opening.
    const QString field =
        remembered >= 0 ? GridAnKopf->gridModel().fieldAt(remembered) : m_decl.firstSortField;
    int column = -1;
    if (m_decl.sortByColumn)
        column = SortGridByColumn(*GridAnKopf, field);
    else
        column = SortGridByField(field, *GridAnKopf, true);
    if (column >= 0)
        rememberedColumns()[m_decl.formName] = column;
    m_head->first();
    m_headSource->notifyViewChanged();
    GridAnKopf->followCursor();
    GridAnKopf->setFocus();
}

int TF_ArchiveView::searchColumn() const {
    return rememberedColumns().value(m_decl.formName, -1);
}

void TF_ArchiveView::sortByTitle(int column) {
    const QString field = GridAnKopf->gridModel().fieldAt(column);
    const int sorted = m_decl.sortByColumn ? SortGridByColumn(*GridAnKopf, field)
                                           : SortGridByField(field, *GridAnKopf, false);
    if (sorted >= 0)
        rememberedColumns()[m_decl.formName] = sorted;
}

void TF_ArchiveView::forgetRemembered() {
    rememberedColumns().clear();
}

void TF_ArchiveView::searchEntered() {
    const int column = searchColumn();
    if (column >= 0 && m_head->isOpen())
        GridAnKopf->setCurrentIndex(
            GridAnKopf->model()->index(std::max(0, GridAnKopf->currentIndex().row()), column));
    QPalette p = EditSearch->palette();
    p.setColor(QPalette::Base, palette().color(QPalette::ToolTipBase));
    EditSearch->setPalette(p);
    DBNavigator->setEnabled(false);
}

void TF_ArchiveView::searchLeft() {
    EditSearch->setPalette(palette());
    DBNavigator->setEnabled(true);
}

void TF_ArchiveView::searchChanged(const QString& text) {
    if (!m_head->isOpen())
        return;
    {
        widgets::ControlsDisabled quiet(*m_headSource);
        FindKeyUpperCase(*m_head, text);
    }
    GridAnKopf->followCursor();
}

void TF_ArchiveView::gridFocused(DataGrid& grid, bool in) {
    SetGridColor(grid, palette().color(in ? QPalette::ToolTipBase : QPalette::Base));
    if (in)
        DBNavigator->setDataSource(grid.source());
}

bool TF_ArchiveView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EditSearch) {
        if (event->type() == QEvent::FocusIn)
            searchEntered();
        else if (event->type() == QEvent::FocusOut)
            searchLeft();
        else if (event->type() == QEvent::KeyPress) {
            QChar typed = TypedSearchKey(*static_cast<QKeyEvent*>(event));
            if (typed.isNull())
                return false;
            if (searchColumn() < 0)
                return true;
            FilterSearchKey(*GridAnKopf, *EditSearch, searchColumn(), typed);
            return typed.isNull();
        }
        return false;
    }
    if (watched == GridAnKopf || watched == GridSatz) {
        auto* grid = static_cast<DataGrid*>(watched);
        if (event->type() == QEvent::FocusIn)
            gridFocused(*grid, true);
        else if (event->type() == QEvent::FocusOut)
            gridFocused(*grid, false);
        else if (watched == GridAnKopf && m_marking && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            bool taken = true;
            guarded([&] { taken = markingKey(key->key(), key->text()); });
            return taken;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_ArchiveView::applyMarkingColumns(bool on) {
    const int wahl = GridAnKopf->gridModel().columnOf(kSelected);
    if (wahl >= 0)
        GridAnKopf->setColumnHidden(wahl, !on);
    for (const ArchiveMarkingChange& change : m_decl.markingChanges) {
        const int column = GridAnKopf->gridModel().columnOf(change.field);
        if (column < 0)
            continue;
        if (change.hide)
            GridAnKopf->setColumnHidden(column, on);
        if (change.widthDelta != 0 && GridAnKopf->isVisible())
            GridAnKopf->setColumnWidth(column, std::max(10, GridAnKopf->columnWidth(column) +
                                                                (on ? 1 : -1) * change.widthDelta));
    }
}

void TF_ArchiveView::setMarkingMode(bool on) {
    if (!m_decl.marking || on == m_marking)
        return;
    m_marking = on;
    applyMarkingColumns(on);
    if (QPushButton* mark = button(u"W&ählen"_s)) {
        const QSignalBlocker quiet(mark);
        mark->setChecked(on);
    }
}

void TF_ArchiveView::setMark(bool on) {
    if (!m_head->isOpen() || m_head->isEmpty())
        return;
    // Only a mark that changes puts the head into edit.
    if (m_head->field(kSelected).asBooleanOr(false) == on)
        return;
    CancelEditOnError(*m_head, [&] {
        m_head->edit();
        m_head->field(kSelected).setValue(on);
        m_head->post();
    });
}

void TF_ArchiveView::toggleCurrentMark() {
    if (!m_head->isOpen() || m_head->isEmpty())
        return;
    setMark(!m_head->field(kSelected).asBooleanOr(false));
    m_headSource->notifyRecordChanged();
}

bool TF_ArchiveView::markingKey(int key, const QString& text) {
    if (!m_head->isOpen() || m_head->isEmpty())
        return true;
    const QChar c = text.isEmpty() ? QChar() : text.at(0);
    const auto moveOn = [this](bool stayOnLast) {
        m_head->next();
        if (m_head->eof() && stayOnLast)
            m_head->last();
    };
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        setMark(!m_head->field(kSelected).asBooleanOr(false));
        moveOn(false);
    } else if (c == u'J' || c == u'j') {
        setMark(true);
        moveOn(true);
    } else if (c == u'N' || c == u'n') {
        setMark(false);
        moveOn(false);
    } else if (key == Qt::Key_Up) {
        m_head->prior();
    } else if (key == Qt::Key_Down) {
        m_head->next();
    } else {
        return true; // every other key is swallowed
    }
    m_headSource->notifyRecordChanged();
    GridAnKopf->followCursor();
    return true;
}

int TF_ArchiveView::countMarked() {
    return CountRecordsFiltered(kAblage, m_decl.headTable, u"R_Selected=true"_s);
}

// Steps 1 to 3 of printing and deleting: marking mode on for the count,
// the question, marking mode off. False when nothing is to be done.
bool TF_ArchiveView::askMarked(const QString& question, const QString& whole) {
    setMarkingMode(true);
    const int count = countMarked();
    bool yes = false;
    if (count == 0)
        ShowInfo(u"Es sind keine Sätze markiert!"_s);
    else
        yes = AskYesNo(withCount(
            whole.isEmpty() ? u"Es sind %d Einträge markiert.\r"_s + question : whole, count));
    setMarkingMode(false);
    return yes;
}

void TF_ArchiveView::printMarked() {
    if (!askMarked(m_decl.printQuestion, m_decl.printQuestionWhole))
        return;
    QPushButton* printButton = button(u"Dr&uck"_s);
    const bool preview = m_decl.printRun == ArchivePrintRun::MarkedInPreview;
    int printed = 0;
    {
        WaitCursor wait;
        widgets::ControlsDisabled quietHeads(*m_headSource);
        widgets::ControlsDisabled quietLines(*m_lineSource);
        for (m_head->first(); !m_head->eof(); m_head->next()) {
            if (!m_head->field(kSelected).asBooleanOr(false))
                continue;
            const int stored = FieldInt(*m_head, kFormNo);
            // A cancelled choice leaves the head marked and unprinted.
            const PrintLayout layout =
                SameFormType(stored, m_decl.formType)
                    ? PrintLayout::form(stored)
                    : ResolvePrintLayout({PrintVariant::A2, m_decl.formType},
                                         WindowPrintFormChoosers(this, printButton));
            if (!layout.prints())
                continue;
            try {
                m_decl.print(FieldInt(*m_head, u"R_ID"_s), preview, layout.layoutPath(), this);
            } catch (const DbError& e) {
                if (m_decl.printErrorEndsRun)
                    throw;
                ShowError(u"Beim Drucken ist ein Fehler aufgetreten!\r"_s + e.message());
                continue;
            }
            QApplication::processEvents();
            CancelEditOnError(*m_head, [&] {
                m_head->edit();
                m_head->field(kSelected).setValue(false);
                if (m_decl.printRun == ArchivePrintRun::MarkedInPreview &&
                    layout.kind == PrintLayout::Kind::Form)
                    m_head->field(kFormNo).setValue(layout.formId);
                m_head->post();
            });
            ++printed;
        }
    }
    m_headSource->refresh();
    ShowInfo(u"Es wurden %1 Datensätze gedruckt."_s.arg(printed));
}

void TF_ArchiveView::deleteMarked() {
    if (!askMarked(m_decl.deleteQuestion, {}))
        return;
    int deleted = 0;
    {
        WaitCursor wait;
        widgets::ControlsDisabled quietHeads(*m_headSource);
        widgets::ControlsDisabled quietLines(*m_lineSource);
        for (m_head->first(); !m_head->eof();) {
            if (!m_head->field(kSelected).asBooleanOr(false)) {
                m_head->next();
                continue;
            }
            m_head->deleteRecord();
            ++deleted;
            QApplication::processEvents();
        }
    }
    m_headSource->refresh();
    Panel3->setEnabled(true);
    ShowInfo(u"Es wurden %1 Datensätze gelöscht."_s.arg(deleted));
}

void TF_ArchiveView::printList() {
    const PrintLayout layout = ResolvePrintLayout({PrintVariant::A2, kListFormType},
                                                  WindowPrintFormChoosers(this, EditSearch));
    if (!layout.prints())
        return;
    PrintFaktList(IsPreviewButton(button(u"&Liste"_s)), m_decl.listTitle, layout.layoutPath(),
                  m_head->indexName(), m_decl.headTable, kAblage, this);
}

void TF_ArchiveView::preview(QWidget* below) {
    if (m_marking || !m_head->isOpen() || m_head->isEmpty())
        return;
    previewCurrent(below);
}

void TF_ArchiveView::printCurrent(bool preview) {
    if (!m_head->isOpen() || m_head->isEmpty())
        return;
    const int stored = FieldInt(*m_head, kFormNo);
    const PrintLayout layout = ResolvePrintLayout({PrintVariant::D, m_decl.formType, stored},
                                                  WindowPrintFormChoosers(this, EditSearch));
    if (layout.prints())
        m_decl.print(FieldInt(*m_head, u"R_ID"_s), preview, layout.layoutPath(), this);
}

// The preview of the current head in the print form the member's rule gives,
// chosen below `control`; nothing when the choice was cancelled.
void TF_ArchiveView::previewCurrent(QWidget* control) {
    const int stored = FieldInt(*m_head, kFormNo);
    const int type = m_decl.formType;
    PrintLayout layout;
    switch (m_decl.previewForm) {
    case ArchivePreviewForm::AlwaysAsked:
    case ArchivePreviewForm::AskedStoredWhenNone:
        layout =
            ResolvePrintLayout({PrintVariant::A2, type}, WindowPrintFormChoosers(this, control));
        break;
    case ArchivePreviewForm::StoredElseAskedStored:
        layout =
            ResolvePrintLayout({PrintVariant::D, type, stored},
                               WindowPrintFormChoosers(this, control, &m_head->field(kFormNo)));
        break;
    case ArchivePreviewForm::StoredElseAsked:
        layout = ResolvePrintLayout({PrintVariant::D, type, stored},
                                    WindowPrintFormChoosers(this, control));
        break;
    }
    if (!layout.prints())
        return;
    if (m_decl.previewForm == ArchivePreviewForm::AskedStoredWhenNone && stored == 0 &&
        layout.kind == PrintLayout::Kind::Form)
        CancelEditOnError(*m_head, [&] {
            m_head->edit();
            m_head->field(kFormNo).setValue(layout.formId);
            m_head->post();
        });
    m_decl.print(FieldInt(*m_head, u"R_ID"_s), true, layout.layoutPath(), this);
}

void TF_ArchiveView::changeAddress() {
    if (!m_head->isOpen() || m_head->isEmpty())
        return;
    EditFakAdr(*m_head);
    m_headSource->refresh();
}

void TF_ArchiveView::closeEvent(QCloseEvent* event) {
    setMarkingMode(false);
    QDialog::closeEvent(event);
}

int TF_ArchiveView::lineGridWidth() const {
    return GridSatz->width();
}

void TF_ArchiveView::setLineGridWidth(int width) {
    const int total = m_horizontal->width();
    if (width <= 0 || total <= width)
        return;
    m_horizontal->setSizes({width, total - width});
}

int TF_ArchiveView::lowerPanelHeight() const {
    return m_horizontal->height();
}

void TF_ArchiveView::setLowerPanelHeight(int height) {
    const int total = m_vertical->height();
    if (height <= 0 || total <= height)
        return;
    m_vertical->setSizes({total - height, height});
}

int TF_ArchiveView::headGridHeight() const {
    return GridAnKopf->height();
}

void TF_ArchiveView::setHeadGridHeight(int height) {
    const int total = m_vertical->height();
    if (height <= 0 || total <= height)
        return;
    m_vertical->setSizes({height, total - height});
}

void ShowArchiveView(const ArchiveViewDecl& decl) {
    TimerWorkPause pause;
    std::unique_ptr<TF_ArchiveView> form;
    try {
        form = std::make_unique<TF_ArchiveView>(decl, MainForm());
        form->openTables();
    } catch (const ArchiveOpenError& e) {
        form.reset();
        ShowError(u"Beim Öffnen einer Datei ist ein Fehler aufgetreten!\rMessage: "_s +
                  e.message() + u'\r' + e.table());
        WriteLog(e.table() + u": ERROR OPEN"_s);
        return;
    }
    // Below the main window, as wide as it less 32 pixels, down to the
    // bottom of the screen's free part.
    PlaceBelowMainForm(form.get(), 0, 0, -32);
    if (const QScreen* screen = form->screen()) {
        const QRect room = screen->availableGeometry();
        const int frame = form->frameGeometry().height() - form->geometry().height();
        form->resize(std::max(form->width(), 780),
                     std::max(520, room.bottom() - form->frameGeometry().top() - frame));
    }
    auto* storage = new FormStorage(form.get(), kPlacementFile04, decl.iniSection, 0);
    QStringList stored = {u"GridAnKopf.Columns"_s, u"GridSatz.Columns"_s};
    stored << (decl.storeHeadHeightNotLineWidth ? u"headGridHeight"_s : u"lineGridWidth"_s);
    if (decl.storeLowerPanelHeight)
        stored << u"lowerPanelHeight"_s;
    storage->setStoredProperties(stored);
    form->exec();
}
