#include "masterdata/gui/tf_tableform.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/printbutton.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::DataGrid;
using widgets::DbNavigator;
using widgets::guarded;

namespace {

ListPrinter& listPrinter() {
    static ListPrinter printer;
    return printer;
}

// The sort column each form kind was last given by a title click, for the
// rest of the program run.
QHash<QString, QString>& rememberedSorts() {
    static QHash<QString, QString> sorts;
    return sorts;
}

bool isKey(const QEvent* event, int key, Qt::KeyboardModifiers modifiers) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    return k->key() == key && k->modifiers() == modifiers;
}

} // namespace

TF_TableForm::TF_TableForm(const TableFormDecl& decl, table::Table& table, QWidget* parent)
    : QDialog(parent), m_decl(decl), m_table(table),
      m_source(std::make_unique<widgets::DataSource>(table)) {
    setObjectName(decl.formClass);
    setWindowTitle(decl.caption);
    setMinimumSize(decl.minimumSize);
    resize(decl.minimumSize);
    auto* layout = new QVBoxLayout(this);
    buildTopRow(*layout);
    buildGrid(*layout);
    buildFields(*layout);
    buildBottomRow(*layout);
    buildContextMenu();
    if (!decl.placement.file.isEmpty()) {
        auto* storage = new FormStorage(this, decl.placement.file, decl.placement.section,
                                        decl.placement.options);
        storage->setStoredProperties(decl.placement.properties);
    }
    if (decl.setup)
        decl.setup(*this);
}

TF_TableForm::~TF_TableForm() {
    // The widgets are bound to the data sources: they go first.
    delete m_fields;
    delete m_grid;
    delete m_navigator;
}

void TF_TableForm::buildTopRow(QVBoxLayout& layout) {
    m_topRow = new QHBoxLayout;
    m_navigator = new DbNavigator(*m_source, this);
    if (!m_decl.navigatorButtons.isEmpty())
        for (int b = 0; b < DbNavigator::ButtonCount; ++b)
            m_navigator->setButtonVisible(DbNavigator::Button(b),
                                          m_decl.navigatorButtons.contains(DbNavigator::Button(b)));
    m_navigator->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_topRow->addWidget(m_navigator);
    if (m_decl.postCancelButtons) {
        auto* post = new QPushButton(u"Überneh&men"_s, this);
        auto* cancel = new QPushButton(u"&Abbrechen"_s, this);
        for (QPushButton* b : {post, cancel}) {
            b->setAutoDefault(false);
            m_topRow->addWidget(b);
            m_buttons.append(b);
        }
        connect(post, &QPushButton::clicked, this, [this] { this->post(); });
        connect(cancel, &QPushButton::clicked, this, [this] { this->cancel(); });
        connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
                [this] { this->post(); });
        connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this),
                &QShortcut::activated, this, [this] { this->cancel(); });
    }
    m_topRow->addStretch();
    if (!m_decl.helpPage.isEmpty()) {
        auto* info = new QPushButton(u"&?Info?"_s, this);
        info->setAutoDefault(false);
        connect(info, &QPushButton::clicked, this, [this] { showHelp(); });
        m_topRow->addWidget(info);
        m_buttons.append(info);
    }
    layout.addLayout(m_topRow);
}

void TF_TableForm::buildGrid(QVBoxLayout& layout) {
    m_grid = new DataGrid(*m_source, this);
    m_grid->setObjectName(m_decl.gridName.isEmpty() ? u"Grid"_s : m_decl.gridName);
    m_grid->setColumns(m_decl.columns);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    SetGridColor(*m_grid, palette().color(QPalette::Base));
    if (m_decl.titleSort != TitleSort::None)
        connect(m_grid, &DataGrid::titleClicked, this, [this](int column) { sortByTitle(column); });
    layout.addWidget(m_grid, 1);
}

void TF_TableForm::buildFields(QVBoxLayout& layout) {
    if (m_decl.fields.isEmpty())
        return;
    QList<widgets::FieldDecl> fields = m_decl.fields;
    QHash<QString, widgets::DataSource*> byTable;
    for (const LookupDecl& lookup : m_decl.lookups) {
        widgets::DataSource*& list = byTable[lookup.table];
        if (!list) {
            m_lookupSources.push_back(
                std::make_unique<widgets::DataSource>(DataModule1().table(lookup.table)));
            list = m_lookupSources.back().get();
        }
        for (widgets::FieldDecl& f : fields)
            if (f.field.compare(lookup.field, Qt::CaseInsensitive) == 0)
                f.lookup = list;
    }
    m_fields = new widgets::FieldForm(*m_source, fields, this);
    for (QWidget* w : m_fields->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            w->installEventFilter(this);
    // The pages get the larger share: the grid scrolls, the fields should not.
    layout.addWidget(m_fields, 2);
}

void TF_TableForm::buildBottomRow(QVBoxLayout& layout) {
    m_bottomRow = new QHBoxLayout;
    for (const FormActionDecl& action : m_decl.buttons) {
        auto* b = new QPushButton(action.caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, run = action.run] {
            if (run)
                guarded(this, [&] { run(*this); });
        });
        m_bottomRow->addWidget(b);
        m_buttons.append(b);
    }
    m_bottomRow->addStretch();
    QHBoxLayout* groupRow = nullptr;
    for (const PrintButtonDecl& print : m_decl.prints) {
        auto* b = new QPushButton(print.caption, this);
        b->setAutoDefault(false);
        b->setProperty("formType", print.formType);
        b->setProperty("printEntry", print.entry);
        if (print.tag == 1)
            MarkPreviewButton(b);
        if (listPrinter()) {
            connect(b, &QPushButton::clicked, this,
                    [this, print] { guarded(this, [&] { listPrinter()(*this, print); }); });
        } else {
            b->setEnabled(false);
            b->setToolTip(u"Der Druck dieser Liste folgt mit den Listen des Druckmoduls."_s);
        }
        if (print.group.isEmpty()) {
            m_bottomRow->addWidget(b);
        } else {
            QGroupBox*& box = m_printGroups[print.group];
            if (!box) {
                box = new QGroupBox(print.group, this);
                auto* row = new QHBoxLayout(box);
                row->setContentsMargins(4, 2, 4, 2);
                // A row of their own above the buttons: beside them they clip.
                if (!groupRow) {
                    groupRow = new QHBoxLayout;
                    groupRow->addStretch();
                    layout.addLayout(groupRow);
                }
                groupRow->insertWidget(groupRow->count() - 1, box);
            }
            box->layout()->addWidget(b);
        }
        m_buttons.append(b);
        m_printButtons.append(b);
    }
    if (m_decl.closeButton) {
        auto* close = new QPushButton(m_decl.closeCaption, this);
        close->setAutoDefault(false);
        close->setDefault(m_decl.closeIsDefault);
        connect(close, &QPushButton::clicked, this, [this] { reject(); });
        m_bottomRow->addWidget(close);
        m_buttons.append(close);
    }
    layout.addLayout(m_bottomRow);
}

void TF_TableForm::buildContextMenu() {
    if (m_decl.contextMenu.isEmpty())
        return;
    m_contextMenu = new QMenu(this);
    for (const FormActionDecl& item : m_decl.contextMenu)
        m_contextMenu->addAction(item.caption, this, [this, run = item.run] {
            if (run)
                guarded(this, [&] { run(*this); });
        });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_contextMenu->exec(m_grid->viewport()->mapToGlobal(at)); });
}

QPushButton* TF_TableForm::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

void TF_TableForm::refreshLookups() {
    for (const auto& list : m_lookupSources)
        list->refresh();
}

void TF_TableForm::bindActions(widgets::DataSource* source) {
    m_bound = source;
    m_navigator->setDataSource(source ? *source : *m_source);
}

void TF_TableForm::post() {
    guarded(this, [this] {
        table::Table& t = m_bound ? m_bound->table() : m_table;
        if (t.isEditing())
            t.post();
    });
}

void TF_TableForm::cancel() {
    guarded(this, [this] {
        table::Table& t = m_bound ? m_bound->table() : m_table;
        if (t.isEditing())
            t.cancel();
    });
}

void TF_TableForm::showHelp() {
    ShowHandbuchPage(m_decl.helpPage);
}

const ColumnAction* TF_TableForm::actionOf(const QString& field) const {
    for (const ColumnAction& action : m_decl.columnActions)
        if (action.field.compare(field, Qt::CaseInsensitive) == 0)
            return &action;
    return nullptr;
}

bool TF_TableForm::runColumnAction(const QString& field) {
    const ColumnAction* action = actionOf(field);
    if (!action)
        return false;
    m_grid->selectField(field);
    guarded(this, [&] { action->run(*this); });
    return true;
}

void TF_TableForm::applySort(const QString& field) {
    if (field.isEmpty() || !m_table.isOpen())
        return;
    if (m_decl.titleSort == TitleSort::ByField)
        SortGridByField(field, *m_grid, true);
    else
        SortGridByColumn(*m_grid, field);
}

void TF_TableForm::sortByTitle(int column) {
    const QString field = m_grid->gridModel().fieldAt(column);
    guarded(this, [&] {
        applySort(field);
        rememberedSorts().insert(m_decl.formClass, field);
    });
}

void TF_TableForm::showEvent(QShowEvent* event) {
    // Every form of the host fits the screen, whatever its declaration or a
    // stored placement asks: a button below the screen's edge is out of reach.
    widgets::FitToScreen(*this);
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        firstShow();
    }
}

void TF_TableForm::firstShow() {
    guarded(this, [this] {
        if (m_decl.titleSort != TitleSort::None)
            applySort(rememberedSorts().value(m_decl.formClass, m_decl.initialSortField));
        if (m_table.isOpen()) {
            if (m_startRow == StartRow::Append && m_source->mayInsert())
                m_table.append();
            else if (m_startRow == StartRow::Last)
                m_table.last();
        }
    });
    m_grid->setFocus();
    m_grid->selectField(m_grid->gridModel().fieldAt(0));
}

bool TF_TableForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid) {
        if (event->type() == QEvent::FocusIn)
            SetGridColor(*m_grid, palette().color(QPalette::ToolTipBase));
        else if (event->type() == QEvent::FocusOut)
            SetGridColor(*m_grid, palette().color(QPalette::Base));
        else if (isKey(event, Qt::Key_PageDown, Qt::ControlModifier) && m_fields) {
            if (m_fields->pages()) {
                m_fields->pages()->setFocus();
            } else {
                for (QWidget* w : m_fields->findChildren<QWidget*>())
                    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
                        w->setFocus();
                        break;
                    }
            }
            return true;
        } else if (isKey(event, Qt::Key_W, Qt::AltModifier)) {
            return runColumnAction(m_grid->selectedField());
        }
    } else if (watched == m_grid->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const QModelIndex at =
                m_grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (at.isValid()) {
                const QString field = m_grid->gridModel().fieldAt(at.column());
                if (actionOf(field)) {
                    m_grid->setCurrentIndex(at);
                    return runColumnAction(field);
                }
            }
        }
    } else if (isKey(event, Qt::Key_PageUp, Qt::ControlModifier)) {
        m_grid->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_TableForm::done(int result) {
    const bool ended = guarded(this, [&] {
        if (m_table.isOpen() && m_table.isEditing()) {
            if (m_decl.askSaveOnClose) {
                if (AskYesNo(u"Möchten Sie die Änderungen speichern?"_s))
                    m_table.post();
                else
                    m_table.cancel();
            } else if (m_decl.source == TableSource::Shared) {
                // The shared table outlives the form: what was typed is kept.
                m_table.post();
            }
        }
        for (const std::function<void()>& check : m_closeChecks)
            check();
    });
    // A refused post keeps the form open with the change pending.
    if (ended)
        QDialog::done(result);
}

void InstallTableRules(const TableFormDecl& decl, table::Table& own) {
    if (!decl.keyField.isEmpty() || !decl.newRowValues.isEmpty())
        own.onNewRecord += [decl](table::Table& t) {
            if (!decl.keyField.isEmpty())
                t[decl.keyField] = GetNextId(t, decl.keyField);
            for (const auto& [field, value] : decl.newRowValues)
                t[field].setValue(value);
        };
    for (const ReferenceGuardDecl& guard : decl.deleteGuards)
        own.beforeDelete += [guard, key = decl.keyField](table::Table& t) {
            const QString filter = guard.filter.arg(FieldInt(t, key));
            if (CountRecordsFiltered(u"LumoDB"_s, guard.table, filter) > 0)
                throw DbError(u"Datensatz wird von der %1 verwendet!\r\rSie können diesen "
                              u"Datensatz erst löschen,\rnachdem Sie alle Referenzen in der "
                              u"%1\rgelöscht haben"_s.arg(guard.fileWord));
        };
}

ListPrinter SetListPrinter(ListPrinter printer) {
    ListPrinter previous = std::move(listPrinter());
    listPrinter() = std::move(printer);
    return previous;
}

QList<table::Table*> SharedTablesOfForm(const TableFormDecl& decl) {
    TDataModule1& dm = DataModule1();
    QList<table::Table*> tables;
    for (const LookupDecl& lookup : decl.lookups)
        tables.append(&dm.table(lookup.table));
    for (const QString& name : decl.openTables)
        tables.append(&dm.table(name));
    return tables;
}

int OpenTableForm(const TableFormDecl& decl, bool append) {
    TDataModule1& dm = DataModule1();
    std::unique_ptr<table::Table> own;
    table::Table* shown = nullptr;
    if (decl.source == TableSource::Own) {
        own = std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), decl.table);
        InstallTableRules(decl, *own);
        shown = own.get();
    } else {
        if (!decl.keyField.isEmpty() || !decl.newRowValues.isEmpty() ||
            !decl.deleteGuards.isEmpty())
            throw DbError(u"Das Formular %1 darf die Regeln der gemeinsamen Tabelle nicht "
                          u"ersetzen."_s.arg(decl.formClass));
        shown = &dm.table(decl.table);
    }
    const QList<table::Table*> tables = QList<table::Table*>{shown} + SharedTablesOfForm(decl);
    ModuleForm module;
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_TableForm>(decl, *shown, MainForm());
        form->setStartRow(append ? TF_TableForm::StartRow::Append
                          : own  ? TF_TableForm::StartRow::Last
                                 : TF_TableForm::StartRow::Keep);
        PlaceBelowMainForm(form.get(), 0, 0, 0);
        return form;
    };
    return OpenModuleOn(dm, tables, module);
}
