#include "commercial/gui/tf_docedit.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/linecopies.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/positiontable.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/values/numberparsing.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

using namespace Qt::StringLiterals;
using widgets::DbNavigator;

namespace {

Qt::KeyboardModifiers plainModifiers(const QKeyEvent* key) {
    return key->modifiers() & ~Qt::KeypadModifier;
}

// The key code the position numbers look at: only Insert puts a new line
// before the current one.
int lineKeyCode(int key) {
    return key == Qt::Key_Insert ? InsertLineKey : 0;
}

bool isNewKey(const QVariant& key) {
    const QString text = key.toString().trimmed();
    return !key.isValid() || key.isNull() || text.isEmpty() || text == "0"_L1;
}

} // namespace

QHash<int, QColor> DocumentKindColours() {
    return {{1, QColor(224, 224, 224)},
            {2, QColor(211, 240, 241)},
            {3, QColor(160, 160, 0)},
            {4, QColor(0, 160, 160)},
            {5, QColor(160, 240, 240)}};
}

widgets::GridColumn DocumentKindColumn(const QString& title, int width) {
    widgets::GridColumn column{u"S_PosArt"_s, title, width};
    auto kinds = OpenTempTable(u"LumoDB"_s, u"Posart.db"_s, u"I_Anr"_s);
    for (kinds->first(); !kinds->eof() && !kinds->isEmpty(); kinds->next()) {
        column.values.append(FieldInt(*kinds, u"A_Nr"_s));
        column.items.append(FieldText(*kinds, u"A_Text"_s));
    }
    return column;
}

TF_DocEdit::TF_DocEdit(const TDocEditDecl& decl, table::Table& head, table::Table& lines,
                       bool isNew, QWidget* parent)
    : QDialog(parent), m_decl(decl), m_head(head), m_lines(lines),
      m_headSource(std::make_unique<widgets::DataSource>(head)),
      m_lineSource(std::make_unique<widgets::DataSource>(lines)), m_isNew(isNew) {
    setObjectName(decl.formClass);
    setWindowTitle(decl.designCaption);
    m_lineSource->setDeleteGuard([] {
        if (!AskYesNo(u"Möchten Sie den Datensatz löschen?"_s))
            throw Abort{};
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    buildHead(*layout);
    buildToolRow(*layout);
    buildGrid(*layout);
    buildLineArea(*layout);
    buildMenus();
    // A line's write recomputes the head's sums in the head record itself,
    // after the grid has heard of the write: the head's fields show them once
    // the write is through.
    connect(m_lineSource.get(), &widgets::DataSource::viewChanged, m_headSource.get(),
            &widgets::DataSource::notifyRecordChanged, Qt::QueuedConnection);
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { postAll(); });
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this), &QShortcut::activated,
            this, [this] { cancelCurrent(); });
    setMinimumSize(640, 420);
    resize(decl.designSize);
    setLineControlsEnabled(false);
    if (m_decl.setup)
        m_decl.setup(*this);
}

TF_DocEdit::~TF_DocEdit() {
    // The widgets are bound to the data sources: they go first.
    qDeleteAll(m_headForms);
    delete m_lineForm;
    delete m_lineText;
    delete m_grid;
    delete m_navigator;
}

widgets::FieldDecl TF_DocEdit::fieldDecl(const TDocField& field) {
    widgets::FieldDecl d = field.decl;
    if (field.pick)
        d.pick = [this, pick = field.pick](QWidget& editor) { run([&] { pick(*this, editor); }); };
    if (field.addressMenu) {
        for (const TDocAction& action : m_decl.addressMenu)
            d.menu.append({action.caption, {}, [this, action](QWidget&) {
                               run([&] { action.run(*this); });
                           }});
        d.menu.append({u"Abbrechen"_s, {}, {}});
    }
    return d;
}

void TF_DocEdit::watch(QWidget& w, bool headField) {
    w.installEventFilter(this);
    if (headField)
        m_headEditors.append(&w);
}

widgets::FieldForm* TF_DocEdit::headForm(const QList<TDocField>& decls) {
    QList<widgets::FieldDecl> fields;
    for (const TDocField& f : decls)
        fields.append(fieldDecl(f));
    auto* form = new widgets::FieldForm(*m_headSource, fields, this);
    m_headForms.append(form);
    for (QWidget* w : form->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            watch(*w, true);
    return form;
}

QPushButton* TF_DocEdit::addButton(const QString& caption, bool lineButton) {
    auto* b = new QPushButton(caption, this);
    b->setAutoDefault(false);
    // A click must not take the focus from the grid it acts on.
    b->setFocusPolicy(Qt::NoFocus);
    m_buttons.append(b);
    if (lineButton)
        m_lineButtons.append(b);
    return b;
}

void TF_DocEdit::buildHead(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    for (qsizetype i = 0; i < m_decl.head.size(); ++i) {
        const TDocHeadColumn& column = m_decl.head[i];
        widgets::FieldForm* form = headForm(column.fields);
        if (i + 1 < m_decl.head.size()) {
            row->addWidget(form, column.stretch, Qt::AlignTop);
            continue;
        }
        // The form's own buttons stand below the last column.
        auto* last = new QVBoxLayout;
        last->addWidget(form);
        last->addStretch(1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        for (const TDocAction& action : m_decl.headButtons) {
            QPushButton* b = addButton(action.caption, false);
            connect(b, &QPushButton::clicked, this,
                    [this, action] { run([&] { action.run(*this); }); });
            buttons->addWidget(b);
        }
        if (!m_decl.helpPage.isEmpty()) {
            QPushButton* info = addButton(u"&?Info?"_s, false);
            connect(info, &QPushButton::clicked, this,
                    [this] { ShowHandbuchPage(m_decl.helpPage); });
            buttons->addWidget(info);
        }
        QPushButton* close = addButton(u"S&chließen"_s, false);
        connect(close, &QPushButton::clicked, this, [this] { accept(); });
        buttons->addWidget(close);
        last->addLayout(buttons);
        row->addLayout(last, column.stretch);
    }
    layout.addLayout(row);
}

void TF_DocEdit::buildToolRow(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    auto add = [this, row](const QString& caption, bool lineButton) {
        QPushButton* b = addButton(caption, lineButton);
        row->addWidget(b);
        return b;
    };
    for (const TDocLineButton& line : m_decl.lineButtons) {
        QPushButton* b = add(line.caption, true);
        connect(b, &QPushButton::clicked, this,
                [this, caption = line.caption] { runLineButton(caption); });
    }
    if (!m_decl.copyButton.isEmpty()) {
        m_copyButton = add(m_decl.copyButton, false);
        connect(m_copyButton, &QPushButton::clicked, this, [this] { showCopyMenu(); });
    }
    row->addStretch(1);
    m_navigator = new DbNavigator(*m_lineSource, this);
    for (int b = 0; b < DbNavigator::ButtonCount; ++b) {
        const auto which = DbNavigator::Button(b);
        m_navigator->setButtonVisible(
            which, which == DbNavigator::Prior || which == DbNavigator::Next ||
                       which == DbNavigator::Insert || which == DbNavigator::Delete ||
                       which == DbNavigator::Post || which == DbNavigator::Cancel);
    }
    // The navigator's insert puts the new line before the current one.
    connect(m_navigator->button(DbNavigator::Insert), &QToolButton::pressed, this,
            [] { SetLastLineKey(InsertLineKey); });
    row->addWidget(m_navigator);
    connect(add(u"Überneh&men"_s, false), &QPushButton::clicked, this, [this] { postAll(); });
    connect(add(u"&Abbrechen"_s, false), &QPushButton::clicked, this, [this] { cancelCurrent(); });
    layout.addLayout(row);
}

void TF_DocEdit::buildGrid(QVBoxLayout& layout) {
    m_grid = new widgets::DataGrid(*m_lineSource, this);
    m_grid->setObjectName(m_decl.gridName);
    m_grid->setColumns(m_decl.columns);
    m_grid->gridModel().setRowBrush([this](int row) -> QBrush {
        if (m_textEditing)
            return Qt::NoBrush;
        const QVariant kind = m_lineSource->rows().value(row, m_decl.kindField);
        const auto colour = m_decl.kindColours.constFind(kind.toInt());
        return colour == m_decl.kindColours.cend() ? QBrush(Qt::NoBrush) : QBrush(*colour);
    });
    SetGridColor(*m_grid, palette().color(QPalette::Base));
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                currentCellChanged(current.row(), current.column(), previous.row(),
                                   previous.column());
            });
    // Enter in a cell editor writes the cell; then it moves on as Enter does.
    connect(m_grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                if (hint == QAbstractItemDelegate::SubmitModelCache)
                    QTimer::singleShot(0, this, [this] { advanceOnEnter(); });
            });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = m_grid->indexAt(at);
        if (index.isValid())
            m_grid->setCurrentIndex(index);
        const QPoint global = m_grid->viewport()->mapToGlobal(at);
        if (m_positionMenu &&
            m_grid->selectedField().compare(m_decl.positionField, Qt::CaseInsensitive) == 0) {
            m_positionMenu->exec(global);
        } else if (m_lineMenu && hasLines() &&
                   (!m_decl.lineMenuWhen || m_decl.lineMenuWhen(*this))) {
            m_lineMenu->exec(global);
        }
    });
    layout.addWidget(m_grid, 1);
}

void TF_DocEdit::buildLineArea(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    m_lineText = new widgets::DbRichEdit(*m_lineSource, m_decl.textField, this);
    m_lineText->setObjectName(u"LineText"_s);
    m_lineText->setCalcField(m_decl.priceField);
    m_lineText->setFocusPolicy(Qt::NoFocus);
    m_lineText->setFixedHeight(fontMetrics().height() * 7 + 12);
    m_lineText->viewport()->installEventFilter(this);
    row->addWidget(m_lineText, 1);
    if (!m_decl.lineFields.isEmpty()) {
        QList<widgets::FieldDecl> fields;
        for (const TDocField& f : m_decl.lineFields)
            fields.append(fieldDecl(f));
        m_lineForm = new widgets::FieldForm(*m_lineSource, fields, this);
        m_lineForm->setFixedWidth(fontMetrics().horizontalAdvance(QString(40, u'0')));
        row->addWidget(m_lineForm, 0, Qt::AlignTop);
        for (QWidget* w : m_lineForm->findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus)
                watch(*w, false);
    }
    if (!m_decl.headFooter.isEmpty())
        row->addWidget(headForm(m_decl.headFooter), 0, Qt::AlignTop);
    layout.addLayout(row);
}

void TF_DocEdit::buildMenus() {
    if (!m_decl.copySources.isEmpty()) {
        m_copyMenu = new QMenu(this);
        m_copyMenu->setObjectName(u"PopupVorlage"_s);
        for (const TDocCopySource& s : m_decl.copySources) {
            QAction* a = m_copyMenu->addAction(s.caption, this,
                                               [this, source = s.source] { runCopy(source); });
            a->setData(int(s.source));
            if (s.isDefault)
                m_copyMenu->setDefaultAction(a);
        }
        m_copyMenu->addAction(u"A&bbruch"_s);
    }
    if (m_decl.positionMenu) {
        m_positionMenu = new QMenu(this);
        m_positionMenu->setObjectName(u"PopupPos"_s);
        m_positionMenu->addAction(u"Neu nummerieren ab hier"_s, this,
                                  [this] { renumberFromHere(); });
        m_positionMenu->addAction(u"Neu nummerieren alles"_s, this, [this] { renumberAll(); });
        m_positionMenu->addAction(u"Satz kopieren"_s, this, [this] { copyLine(); });
        m_positionMenu->addAction(u"Satz einfügen"_s, this, [this] { pasteLine(); });
        connect(m_positionMenu, &QMenu::aboutToShow, this, [this] { preparePositionMenu(); });
    }
    if (!m_decl.lineMenu.isEmpty()) {
        m_lineMenu = new QMenu(this);
        m_lineMenu->setObjectName(u"PopupLine"_s);
        for (const TDocAction& action : m_decl.lineMenu)
            m_lineMenu->addAction(action.caption, this,
                                  [this, action] { run([&] { action.run(*this); }); });
    }
}

QWidget* TF_DocEdit::fieldEditor(const QString& field) const {
    for (widgets::FieldForm* form : m_headForms)
        if (QWidget* w = form->editor(field))
            return w;
    return m_lineForm ? m_lineForm->editor(field) : nullptr;
}

QPushButton* TF_DocEdit::button(const QString& caption) const {
    for (QPushButton* b : m_buttons)
        if (b->text() == caption)
            return b;
    return nullptr;
}

QAction* TF_DocEdit::menuAction(QMenu* menu, const QString& caption) {
    if (!menu)
        return nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

int TF_DocEdit::lineKind() const {
    if (!m_lines.isOpen() || (m_lines.isEmpty() && !m_lines.isEditing()))
        return 0;
    return FieldInt(m_lines, m_decl.kindField);
}

bool TF_DocEdit::lineTakesCommands() const {
    const int kind = lineKind();
    return kind >= 0 && kind <= 2;
}

bool TF_DocEdit::hasLines() const {
    return DocumentHasLines(m_lines);
}

bool TF_DocEdit::run(const std::function<void()>& command) {
    const bool ran = RunShowingErrors(command);
    showTablesAgain();
    return ran;
}

void TF_DocEdit::showTablesAgain() {
    if (m_copyButton)
        m_copyButton->setEnabled(copyEnabled());
    const QString field = m_grid->selectedField();
    m_headSource->notifyRecordChanged();
    m_lineSource->notifyViewChanged();
    if (!field.isEmpty())
        selectColumn(field);
}

void TF_DocEdit::focusGrid() {
    if (!linesAllowed()) {
        focusField(m_decl.firstField);
        return;
    }
    m_grid->setFocus();
    setLineControlsEnabled(true);
}

void TF_DocEdit::focusField(const QString& field) {
    if (QWidget* w = fieldEditor(field)) {
        w->setFocus();
        if (m_headEditors.contains(w))
            setLineControlsEnabled(false);
    }
}

void TF_DocEdit::selectColumn(const QString& field) {
    const bool was = m_selecting;
    m_selecting = true;
    SelectGridField(*m_grid, field);
    m_selecting = was;
}

void TF_DocEdit::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void TF_DocEdit::setLineControlsEnabled(bool enabled) {
    m_lineControls = enabled;
    m_navigator->setEnabled(enabled && !m_textEditing);
    for (QPushButton* b : m_lineButtons)
        b->setEnabled(enabled && !m_textEditing);
    SetGridColor(*m_grid, palette().color(enabled ? QPalette::ToolTipBase : QPalette::Base));
}

const TDocColumnAction* TF_DocEdit::columnAction(const QString& field) const {
    for (const TDocColumnAction& a : m_decl.columnActions)
        if (a.field.compare(field, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

void TF_DocEdit::runLineButton(const QString& caption, bool fromKey) {
    for (const TDocLineButton& b : m_decl.lineButtons) {
        if (b.caption != caption)
            continue;
        if (!b.anyKind && !(fromKey && b.keyAnyKind) && !lineTakesCommands())
            return;
        const bool newLine = !hasLines() || m_lines.state() == table::TableState::Insert;
        if (b.run)
            run([&] { b.run(*this); });
        focusGrid();
        // A line the command started goes on at its quantity.
        if (newLine && hasLines())
            selectColumn(m_decl.quantityField);
        return;
    }
}

bool TF_DocEdit::runColumnAction(const QString& field) {
    const TDocColumnAction* action = columnAction(field);
    if (!action)
        return false;
    if (!action->anyKind && !lineTakesCommands())
        return true;
    selectColumn(field);
    if (action->run)
        run([&] { action->run(*this); });
    focusGrid();
    return true;
}

bool TF_DocEdit::copyEnabled() {
    return m_copyMenu && (!m_decl.copyEnabled || m_decl.copyEnabled(*this));
}

bool TF_DocEdit::linesAllowed() {
    return !m_decl.linesAllowed || m_decl.linesAllowed(*this);
}

void TF_DocEdit::refuseLines() {
    // Once the focus has settled: the message, then back to the head.
    QTimer::singleShot(0, this, [this] {
        focusField(m_decl.firstField);
        if (!m_decl.linesRefusal.isEmpty())
            ShowError(m_decl.linesRefusal);
    });
}

void TF_DocEdit::showCopyMenu() {
    if (!copyEnabled())
        return;
    // Copied lines come after the last line.
    SetLastLineKey(0);
    const QWidget* anchor = m_copyButton ? static_cast<QWidget*>(m_copyButton) : m_grid;
    m_copyMenu->exec(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

void TF_DocEdit::runCopy(TDocSource source) {
    if (m_decl.copyFrom)
        run([&] { m_decl.copyFrom(*this, source); });
    focusGrid();
}

void TF_DocEdit::preparePositionMenu() {
    if (!m_positionMenu)
        return;
    const bool always = m_decl.positionCopyAlwaysEnabled;
    if (QAction* a = menuAction(m_positionMenu, u"Satz kopieren"_s))
        a->setEnabled(always || (hasLines() && lineTakesCommands()));
    if (QAction* a = menuAction(m_positionMenu, u"Satz einfügen"_s))
        a->setEnabled(always || m_rememberedLine != 0);
}

bool TF_DocEdit::askStartValue(QString& value) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(u"Neuen Anfangswert eingeben"_s);
    dialog.setLabelText(u"Neuer Anfangswert:"_s);
    dialog.setTextValue(value);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

void TF_DocEdit::renumberFromHere() {
    run([&] {
        if (m_lines.isEditing())
            m_lines.post();
        if (!hasLines())
            return;
        const int proposal = StripPosNr(FieldInt(m_lines, m_decl.positionField));
        QString text = QString::number(proposal);
        for (;;) {
            if (!askStartValue(text))
                return;
            const int value = StrToIntZero(text.trimmed());
            if (value >= proposal) {
                RenumberPositions(proposal, value, m_lines);
                return;
            }
            ShowError(u"Minimalwert muss >= %1 sein!"_s.arg(proposal));
            text = QString::number(proposal);
        }
    });
}

void TF_DocEdit::renumberAll() {
    run([&] {
        if (m_lines.isEditing())
            m_lines.post();
        QString text = u"1"_s;
        if (!askStartValue(text))
            return;
        RenumberPositions(0, std::max(1, StrToIntZero(text.trimmed())), m_lines);
    });
}

void TF_DocEdit::copyLine() {
    run([&] {
        if (!hasLines() || !lineTakesCommands())
            return;
        if (m_lines.isEditing())
            m_lines.post();
        m_rememberedLine = FieldInt(m_lines, u"S_ID"_s);
    });
}

void TF_DocEdit::pasteLine() {
    run([&] {
        SetLastLineKey(0);
        PasteDocumentLine(m_lines, m_rememberedLine);
    });
}

void TF_DocEdit::openLineText(bool fromColumn) {
    if (m_textEditing || !m_lines.isOpen() || !hasLines())
        return;
    const QString before = m_grid->selectedField();
    const auto triggers = m_grid->editTriggers();
    m_textEditing = true;
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setLineControlsEnabled(m_lineControls);
    m_grid->viewport()->update();
    run([&] { ShowRtfEditor(this, *m_lineText, m_decl.priceField); });
    m_textEditing = false;
    m_grid->setEditTriggers(triggers);
    focusGrid();
    selectColumn(fromColumn ? (m_forward ? m_decl.priceField : m_decl.unitField) : before);
}

void TF_DocEdit::currentCellChanged(int row, int column, int previousRow, int previousColumn) {
    (void)row;
    (void)previousRow;
    if (m_textEditing || m_selecting || column == previousColumn)
        return;
    if (m_grid->gridModel().fieldAt(column).compare(m_decl.textColumn, Qt::CaseInsensitive) != 0)
        return;
    // Once the move has settled: the editor opens on the line now current.
    QTimer::singleShot(0, this, [this] { openLineText(true); });
}

void TF_DocEdit::advanceOnEnter() {
    const auto& model = m_grid->gridModel();
    const int column = m_grid->currentIndex().column();
    const int from = model.columnOf(m_decl.enterNextLineFrom);
    if (column >= 0 && column + 1 < model.columnCount() && (from < 0 || column < from)) {
        m_grid->selectField(model.fieldAt(column + 1));
        return;
    }
    run([&] {
        if (m_lines.isEditing())
            m_lines.post();
        if (!m_lines.isEmpty())
            m_lines.next();
        // After the last line a new one follows.
        if (m_lines.isEmpty() || m_lines.eof()) {
            SetLastLineKey(0);
            m_lineSource->insert();
        }
    });
    selectColumn(m_decl.quantityField);
}

void TF_DocEdit::postAll() {
    run([&] {
        m_grid->commitEdit();
        if (m_lines.isEditing())
            m_lines.post();
        if (m_head.isEditing())
            m_head.post();
    });
}

void TF_DocEdit::cancelCurrent() {
    run([&] {
        if (m_lines.isEditing() && (m_lineControls || !m_head.isEditing()))
            m_lines.cancel();
        else if (m_head.isEditing())
            m_head.cancel();
    });
}

void TF_DocEdit::done(int result) {
    m_grid->commitEdit();
    QDialog::done(result);
}

bool TF_DocEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid) {
        if (event->type() == QEvent::FocusIn) {
            if (!linesAllowed()) {
                refuseLines();
                return false;
            }
            setLineControlsEnabled(true);
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers mods = plainModifiers(key);
            if (mods == Qt::NoModifier)
                SetLastLineKey(lineKeyCode(key->key()));
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                m_forward = key->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier);
            const bool editing = m_grid->indexWidget(m_grid->currentIndex()) != nullptr;
            if (mods == Qt::NoModifier && !editing) {
                if (m_decl.swallowedKeys.contains(key->key()))
                    return true;
                for (const TDocLineButton& b : m_decl.lineButtons)
                    if (b.key != 0 && b.key == key->key()) {
                        runLineButton(b.caption, true);
                        return true;
                    }
                if (m_decl.copyKey != 0 && key->key() == m_decl.copyKey) {
                    if (!m_decl.copyKeyOutsideGrid &&
                        (!m_decl.copyKeyEnabled || m_decl.copyKeyEnabled(*this)))
                        showCopyMenu();
                    return true;
                }
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                    advanceOnEnter();
                    return true;
                }
                // Down on the last line starts a new one, as in any list of lines.
                if (key->key() == Qt::Key_Down &&
                    (m_lines.isEmpty() ||
                     m_grid->currentIndex().row() + 1 >= m_grid->gridModel().rowCount())) {
                    run([&] {
                        if (m_lines.isEditing())
                            m_lines.post();
                        SetLastLineKey(0);
                        m_lineSource->insert();
                    });
                    selectColumn(m_decl.quantityField);
                    return true;
                }
            }
            if (mods == Qt::ControlModifier && key->key() == Qt::Key_PageUp) {
                focusField(m_decl.firstField);
                return true;
            }
            if (mods == Qt::ControlModifier && key->key() == Qt::Key_PageDown &&
                m_decl.lineTextKey) {
                openLineText(false);
                return true;
            }
            if (mods == Qt::AltModifier && key->key() == Qt::Key_W)
                return runColumnAction(m_grid->selectedField());
        }
    } else if (watched == m_grid->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const QModelIndex at =
                m_grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (at.isValid()) {
                const QString field = m_grid->gridModel().fieldAt(at.column());
                if (columnAction(field)) {
                    m_grid->setCurrentIndex(at);
                    return runColumnAction(field);
                }
            }
        }
    } else if (watched == m_lineText->viewport()) {
        // The line text is edited in the rich-text editor only.
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            openLineText(false);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            return true;
    } else if (auto* w = qobject_cast<QWidget*>(watched); w && m_headEditors.contains(w)) {
        if (event->type() == QEvent::FocusIn) {
            setLineControlsEnabled(false);
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (plainModifiers(key) == Qt::ControlModifier && key->key() == Qt::Key_PageDown) {
                focusGrid();
                return true;
            }
            if (plainModifiers(key) == Qt::NoModifier && m_decl.copyKeyOutsideGrid &&
                m_decl.copyKey != 0 && key->key() == m_decl.copyKey) {
                if (!m_decl.copyKeyEnabled || m_decl.copyKeyEnabled(*this))
                    showCopyMenu();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

// Puts the hook back that was there before, on every way out.
class FocusHookScope {
public:
    FocusHookScope(std::function<void(const QString&)> DocumentFormHooks::*hook,
                   std::function<void(const QString&)> value)
        : m_hook(hook) {
        if (!m_hook)
            return;
        m_previous = DocumentFormHooksRegistry().*m_hook;
        DocumentFormHooksRegistry().*m_hook = std::move(value);
    }
    ~FocusHookScope() { restore(); }
    void restore() {
        if (m_hook)
            DocumentFormHooksRegistry().*m_hook = std::move(m_previous);
        m_hook = nullptr;
    }
    FocusHookScope(const FocusHookScope&) = delete;
    FocusHookScope& operator=(const FocusHookScope&) = delete;

private:
    std::function<void(const QString&)> DocumentFormHooks::*m_hook;
    std::function<void(const QString&)> m_previous;
};

// Directly below the main window, 32 pixels narrower, no taller than the
// screen leaves below it.
void placeEditor(QWidget& form, const QSize& design) {
    form.resize(design);
    const QWidget* main = MainForm();
    if (!main)
        return;
    PlaceBelowMainForm(&form, 0, 0, -32);
    const QScreen* screen = main->screen();
    if (!screen)
        return;
    const int frame = form.frameGeometry().height() - form.height();
    const int room = screen->availableGeometry().bottom() - form.y() - frame;
    form.resize(form.width(), std::clamp(room, form.minimumHeight(), design.height()));
}

} // namespace

int OpenDocumentEditorOn(const TDocEditDecl& decl, table::Table& head, table::Table& lines,
                         const QVariant& key) {
    TimerWorkPause pause;
    std::optional<TablesOpenedHere> opened;
    if (decl.openTables)
        decl.openTables();
    else
        opened.emplace(QList<table::Table*>{&lines, &head});
    struct Closer {
        const TDocEditDecl& decl;
        ~Closer() {
            if (decl.closeTables)
                try {
                    decl.closeTables();
                } catch (...) {
                }
        }
    } closer{decl};

    const QString oldIndex = lines.indexName();
    if (!decl.lineIndex.isEmpty())
        lines.setIndexName(decl.lineIndex);
    const bool isNew = isNewKey(key);
    auto form = std::make_unique<TF_DocEdit>(decl, head, lines, isNew, MainForm());
    FocusHookScope hook(decl.focusHook,
                        [f = form.get()](const QString& name) { f->selectColumn(name); });

    std::exception_ptr error;
    int headId = 0;
    try {
        if (isNew) {
            if (!decl.createHead)
                throw DbError(
                    u"Das Formular %1 kann keinen neuen Beleg anlegen."_s.arg(decl.formClass));
            decl.createHead(*form);
        } else if (!head.locate({decl.keyField}, {key})) {
            throw DbError(DbEntryNotFoundText);
        }
        headId = FieldInt(head, u"R_ID"_s);
        if (!isNew) {
            if (!lines.isEmpty())
                lines.first();
            if (decl.openExisting)
                decl.openExisting(*form);
        }
        form->setCaption(isNew ? decl.newCaption : decl.editCaption);
        placeEditor(*form, decl.designSize);
        form->showTablesAgain();
        if (isNew) {
            form->focusField(decl.firstField);
        } else {
            form->focusGrid();
            form->selectColumn(decl.quantityField);
        }
        form->exec();
    } catch (...) {
        error = std::current_exception();
    }

    int result = headId;
    try {
        if (headId != 0) {
            if (FieldInt(head, u"R_ID"_s) != headId) {
                if (head.isEditing())
                    head.post();
                head.locate({u"R_ID"_s}, {headId});
            }
            const bool deleted =
                decl.finish ? decl.finish(*form) : FinishDocumentEditing(head, lines, isNew);
            if (deleted)
                result = 0;
        }
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    hook.restore();
    form.reset();
    try {
        if (lines.isOpen() && lines.indexName() != oldIndex)
            lines.setIndexName(oldIndex);
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    if (error)
        std::rethrow_exception(error);
    return result;
}

int OpenDocumentEditor(const TDocEditDecl& decl, const QVariant& key) {
    TDataModule1& dm = DataModule1();
    return OpenDocumentEditorOn(decl, dm.table(decl.headTable), dm.table(decl.lineTable), key);
}
