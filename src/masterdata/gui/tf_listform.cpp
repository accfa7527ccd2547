#include "masterdata/gui/tf_listform.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/datagui/gridservices.h"
#include "core/files/deleteguard.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/gridsearch.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/smalltableforms.h"
#include "masterdata/gui/tableformactions.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/userprompts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

using namespace Qt::StringLiterals;
using widgets::DbNavigator;
using widgets::FieldDecl;
using widgets::FieldKind;
using widgets::guarded;

namespace {

bool isKey(const QEvent* event, int key, Qt::KeyboardModifiers modifiers) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    return k->key() == key && k->modifiers() == modifiers;
}

TF_ListForm* listFormOf(QWidget& widget) {
    return qobject_cast<TF_ListForm*>(widget.window());
}

QList<widgets::FieldMenuItem> bankMenu() {
    return {{u"&Neuer Eintrag"_s, QKeySequence(Qt::CTRL | Qt::Key_N),
             [](QWidget& editor) {
                 ShowBankenForm(true);
                 // The new bank was written through the bank list's own cursor.
                 if (auto* form = qobject_cast<TF_TableForm*>(editor.window()))
                     form->refreshLookups();
             }},
            {u"A&bbrechen"_s, {}, {}}};
}

// A bank list: the key and text of one field of the bank table, and the
// other field of the pair filled from the chosen row.
void makeBankList(FieldDecl& f, const QString& listField, const QString& otherListField,
                  const QString& otherField) {
    f.kind = FieldKind::LookupCombo;
    f.lookupKey = listField;
    f.lookupText = listField;
    f.lookupCopies = {{otherListField, otherField}};
    f.menu = bankMenu();
}

// The text of one record-position label: right-aligned in five characters.
QString positionText(const QString& caption, int value) {
    return caption + QString::number(value).rightJustified(5);
}

} // namespace

TableFormDecl TF_ListForm::hostDeclaration(const ListFormDecl& list) {
    TableFormDecl d = list.form;
    d.source = TableSource::Shared;
    if (d.navigatorButtons.isEmpty())
        d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    if (d.titleSort == TitleSort::None)
        d.titleSort = TitleSort::ByColumn;
    const NumberProposalDecl& number = list.numberProposal;
    if (!number.field.isEmpty()) {
        d.columnActions.append({number.field, [](TF_TableForm& form) {
                                    if (auto* host = qobject_cast<TF_ListForm*>(&form))
                                        host->proposeNumber();
                                }});
    }
    const BankPairDecl& bank = list.bankPair;
    for (FieldDecl& f : d.fields) {
        if (!number.field.isEmpty() && f.field.compare(number.field, Qt::CaseInsensitive) == 0) {
            f.pick = [](QWidget& editor) {
                if (TF_ListForm* host = listFormOf(editor))
                    host->proposeNumber();
            };
            if (f.hint.isEmpty())
                f.hint = u"Doppelklick für Nummern-Vorschlag"_s;
        }
        if (bank.nameField.isEmpty())
            continue;
        if (f.field.compare(bank.nameField, Qt::CaseInsensitive) == 0)
            makeBankList(f, u"BankName"_s, u"BankBLZ"_s, bank.codeField);
        else if (f.field.compare(bank.codeField, Qt::CaseInsensitive) == 0)
            makeBankList(f, u"BankBLZ"_s, u"BankName"_s, bank.nameField);
    }
    if (!bank.nameField.isEmpty())
        d.lookups += {{bank.nameField, u"TabBanken"_s}, {bank.codeField, u"TabBanken"_s}};
    // The host sorts on activation by the sort the form keeps in "lbSort".
    d.initialSortField.clear();
    return d;
}

TF_ListForm::TF_ListForm(const ListFormDecl& decl, table::Table& table, QWidget* parent)
    : TF_TableForm(hostDeclaration(decl), table, parent), m_list(decl) {
    buildSearchLine();
    if (decl.recordPosition)
        buildRecordPosition();
    m_lbSort = new QLabel(decl.form.initialSortField, this);
    m_lbSort->setObjectName(decl.sortLabel);
    m_lbSort->hide();
    buildExtraPages();
    if (decl.right > 0)
        source().setDeleteGuard([this] { guardDelete(); });
    connect(&grid(), &widgets::DataGrid::titleClicked, this, [this] { titleSorted(); });
    if (decl.altPageMoves) {
        auto* up = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_PageUp), this);
        auto* down = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_PageDown), this);
        connect(up, &QShortcut::activated, this,
                [this] { guarded(this, [this] { this->table().prior(); }); });
        connect(down, &QShortcut::activated, this,
                [this] { guarded(this, [this] { this->table().next(); }); });
    }
    if (fields() && fields()->pages()) {
        fields()->pages()->setCurrentIndex(0);
        connect(fields()->pages(), &QTabWidget::currentChanged, this,
                [this] { updateShownPage(); });
    }
    PlaceBelowMainForm(this, 0, 0, 0);
    if (m_list.build)
        m_list.build(*this);
}

TF_ListForm::~TF_ListForm() {
    // What hiding does (detail grids let go of the navigator, tables
    // closed) needs the widgets the table form's destructor frees first.
    hide();
}

void TF_ListForm::buildSearchLine() {
    auto* label = new QLabel(u"&Suchen"_s, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"EditSearch"_s);
    m_search->setToolTip(u"Suchbegriff eingeben"_s);
    m_search->setFixedWidth(m_search->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 18);
    label->setBuddy(m_search);
    topRow().insertWidget(0, label);
    topRow().insertWidget(1, m_search);
    topRow().insertSpacing(2, 8);
    m_gridSearch = new GridSearch(*m_search, grid(), [this] { return m_sortColumn; });
    if (m_list.filterGridTyping)
        new GridTypingFilter(grid(), *m_search, [this] { return m_sortColumn; });
    // After the search has moved the table.
    connect(m_search, &QLineEdit::textChanged, this, [this] {
        if (this->table().isOpen())
            remember();
    });
    m_search->installEventFilter(this);
}

void TF_ListForm::buildRecordPosition() {
    m_recordCount = new QLabel(this);
    m_recordNumber = new QLabel(this);
    for (QLabel* label : {m_recordCount, m_recordNumber}) {
        label->setFont(QFont(u"monospace"_s, font().pointSize()));
        topRow().insertWidget(topRow().count() - 1, label);
    }
    connect(&source(), &widgets::DataSource::recordChanged, this, [this] { showRecordPosition(); });
    connect(&source(), &widgets::DataSource::viewChanged, this, [this] { showRecordPosition(); });
}

void TF_ListForm::showRecordPosition() {
    if (!m_recordCount)
        return;
    table::Table& t = table();
    const bool open = t.isOpen();
    m_recordCount->setText(positionText(u"Datensätze:"_s, open ? t.recordCount() : 0));
    m_recordNumber->setText(positionText(u"Satznummer:"_s, open ? t.recNo() : 0));
}

void TF_ListForm::buildExtraPages() {
    if (m_list.gridPages.isEmpty() && m_list.customPages.isEmpty())
        return;
    QTabWidget* tabs = fields() ? fields()->pages() : nullptr;
    if (!tabs)
        throw DbError(
            u"Das Formular %1 hat keine Seiten für seine Listen."_s.arg(m_list.form.formClass));
    auto insert = [&](QWidget* page, const QString& title, const QString& before) {
        const int at = before.isEmpty() ? -1 : pageIndex(before);
        tabs->insertTab(at < 0 ? tabs->count() : at, page, title);
        for (QWidget* w : page->findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus)
                w->installEventFilter(this);
    };
    for (const GridPageDecl& g : m_list.gridPages)
        insert(new DetailGridPage(g, table(), tabs), g.title, g.before);
    for (const CustomPageDecl& c : m_list.customPages) {
        QWidget* page = c.build ? c.build(*this) : new QWidget(tabs);
        page->setObjectName(c.title);
        insert(page, c.title, c.before);
    }
}

int TF_ListForm::pageIndex(const QString& title) const {
    QTabWidget* tabs = fields() ? fields()->pages() : nullptr;
    if (!tabs)
        return -1;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == title)
            return i;
    return -1;
}

QWidget* TF_ListForm::page(const QString& title) const {
    const int at = pageIndex(title);
    return at < 0 ? nullptr : fields()->pages()->widget(at);
}

void TF_ListForm::showPage(const QString& title) {
    const int at = pageIndex(title);
    if (at >= 0 && fields()->pages()->isTabVisible(at))
        fields()->pages()->setCurrentIndex(at);
}

QString TF_ListForm::currentPage() const {
    QTabWidget* tabs = fields() ? fields()->pages() : nullptr;
    return tabs && tabs->currentIndex() >= 0 ? tabs->tabText(tabs->currentIndex()) : QString();
}

bool TF_ListForm::pageShown(const QString& title) const {
    return isVisible() && currentPage() == title;
}

void TF_ListForm::takeAwayPage(const QString& title) {
    const int at = pageIndex(title);
    if (at < 0 || m_takenAway.contains(title))
        return;
    QTabWidget* tabs = fields()->pages();
    if (tabs->currentIndex() == at)
        tabs->setCurrentIndex(0);
    tabs->setTabVisible(at, false);
    m_takenAway.insert(title);
}

void TF_ListForm::takeAwayField(const QString& field) {
    QWidget* editor = fields() ? fields()->editor(field) : nullptr;
    if (!editor)
        return;
    editor->hide();
    if (QLabel* label = fields()->label(field))
        label->hide();
    m_takenAway.insert(field);
}

QString TF_ListForm::sortField() const {
    return m_lbSort->text();
}

void TF_ListForm::activate() {
    if (m_activated)
        return;
    m_activated = true;
    guarded(this, [this] {
        applyRights();
        sortOnActivation();
        if (m_list.activated)
            m_list.activated(*this);
        showRecordPosition();
    });
}

void TF_ListForm::deactivate() {
    if (!m_activated)
        return;
    m_activated = false;
    guarded(this, [this] {
        // The table is shared: other forms and runs write to it meanwhile.
        if (m_list.right > 0 && HasDataModule1() && DataModule1().hasTables())
            DataModule1().SetTableReadOnly(table(), false);
        if (m_list.deactivated)
            m_list.deactivated(*this);
    });
}

void TF_ListForm::applyRights() {
    const int right = m_list.right;
    if (right > 0) {
        // By position: the captions of grouped print buttons repeat.
        const auto& prints = declaration().prints;
        for (qsizetype i = 0; i < prints.size() && i < printButtons().size(); ++i)
            if (prints[i].tag != 1)
                printButtons()[i]->setVisible(HasPrintRight(right));
        const bool mayEdit = HasEditRight(right);
        DataModule1().SetTableReadOnly(table(), !mayEdit);
        if (contextMenu())
            grid().setContextMenuPolicy(mayEdit ? Qt::CustomContextMenu : Qt::NoContextMenu);
        if (fields())
            fields()->setMenusEnabled(mayEdit);
        navigator().setButtonVisible(
            DbNavigator::Delete,
            HasDeleteRight(right) && declaration().navigatorButtons.contains(DbNavigator::Delete));
    }
    if (m_list.applyRights)
        m_list.applyRights(*this);
}

void TF_ListForm::sortOnActivation() {
    const QString field = sortField();
    if (field.isEmpty() || !table().isOpen())
        return;
    // Sorting moves to the first record: only when another form changed the index.
    if (m_sortColumn >= 0 && table().indexName() == m_sortIndex)
        return;
    if (declaration().titleSort == TitleSort::ByField)
        SortGridByField(field, grid(), true);
    else
        SortGridByColumn(grid(), field);
    titleSorted();
}

void TF_ListForm::titleSorted() {
    const QString field = LastSortField();
    m_sortColumn = grid().gridModel().columnOf(field);
    m_sortIndex = table().indexName();
    if (!field.isEmpty())
        m_lbSort->setText(field);
}

void TF_ListForm::guardDelete() {
    ConfirmDelete(m_list.right);
}

void TF_ListForm::proposeNumber() {
    guarded(this, [this] {
        const NumberProposalDecl& p = m_list.numberProposal;
        table::Table& t = table();
        const table::Field& number = t.field(p.field);
        if (!p.question.isEmpty() && !number.isNull() && number.asIntegerOr(0) != 0 &&
            !AskYesNo(p.question))
            return;
        const int proposal = p.propose();
        EnsureEditOrInsert(t);
        t[p.field] = proposal;
        source().notifyRecordChanged();
    });
}

void TF_ListForm::remember() {
    guarded(this, [this] {
        if (m_list.remember)
            m_list.remember();
        else
            RememberNr(m_list.form.table);
    });
}

void TF_ListForm::watchLikeSearch(QLineEdit& box) {
    m_searchLike.append(&box);
    box.installEventFilter(this);
}

void TF_ListForm::searchEntered(QLineEdit& box) {
    if (m_sortColumn >= 0)
        grid().selectField(grid().gridModel().fieldAt(m_sortColumn));
    QPalette p = box.palette();
    p.setColor(QPalette::Base, palette().color(QPalette::ToolTipBase));
    box.setPalette(p);
    navigator().setEnabled(false);
}

void TF_ListForm::searchLeft(QLineEdit& box) {
    QPalette p = box.palette();
    p.setColor(QPalette::Base, palette().color(QPalette::Base));
    box.setPalette(p);
    navigator().setEnabled(true);
    if (table().isOpen())
        remember();
}

void TF_ListForm::redrawPages() {
    for (const CustomPageDecl& c : m_list.customPages)
        if (c.redraw)
            guarded(this, [&] { c.redraw(*this); });
}

void TF_ListForm::showRecord() {
    guarded(this, [this] {
        showRecordPosition();
        if (m_list.recordShown)
            m_list.recordShown(*this);
    });
}

void TF_ListForm::updateShownPage() {
    const QString now = isVisible() ? currentPage() : QString();
    if (now == m_shownPage)
        return;
    const QString before = m_shownPage;
    m_shownPage = now;
    for (DetailGridPage* page : findChildren<DetailGridPage*>()) {
        if (page->title() == before)
            guarded(this, [&] { page->pageHidden(); });
        if (page->title() == now)
            guarded(this, [&] { page->pageShown(); });
    }
    for (const CustomPageDecl& c : m_list.customPages) {
        if (c.title == before && c.hidden)
            guarded(this, [&] { c.hidden(*this); });
        if (c.title == now && c.shown)
            guarded(this, [&] { c.shown(*this); });
    }
}

void TF_ListForm::changeEvent(QEvent* event) {
    TF_TableForm::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        activate();
    else
        deactivate();
}

void TF_ListForm::showEvent(QShowEvent* event) {
    TF_TableForm::showEvent(event);
    grid().setFocus();
    updateShownPage();
}

void TF_ListForm::hideEvent(QHideEvent* event) {
    TF_TableForm::hideEvent(event);
    updateShownPage();
    deactivate();
}

bool TF_ListForm::eventFilter(QObject* watched, QEvent* event) {
    if (auto* box = qobject_cast<QLineEdit*>(watched); box && m_searchLike.contains(box)) {
        if (event->type() == QEvent::FocusIn)
            searchEntered(*box);
        else if (event->type() == QEvent::FocusOut)
            searchLeft(*box);
        return false;
    }
    if (watched == m_search) {
        if (event->type() == QEvent::FocusIn) {
            searchEntered(*m_search);
        } else if (event->type() == QEvent::FocusOut) {
            searchLeft(*m_search);
        } else if (isKey(event, Qt::Key_PageDown, Qt::ControlModifier)) {
            if (fields() && fields()->pages())
                fields()->pages()->setFocus();
            return true;
        } else if (isKey(event, Qt::Key_Delete, Qt::ControlModifier)) {
            guarded(this, [this] { source().deleteRecord(); });
            return true;
        }
        return false;
    }
    return TF_TableForm::eventFilter(watched, event);
}
