#include "commercial/gui/doclisthead.h"

#include "commercial/documents/kopffusstext.h"
#include "commercial/gui/tf_rechhead.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "masterdata/dialogs/gridsearch.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/userprompts.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace Qt::StringLiterals;

TDocListHead::TDocListHead(TDocListHeadDecl decl, widgets::DataSource& source, QWidget* parent)
    : QObject(parent), m_decl(std::move(decl)), m_source(source) {
    m_grid = new widgets::DataGrid(source, parent);
    m_grid->setObjectName(m_decl.gridName);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setColumns(m_decl.columns);
    if (m_decl.rowBrush)
        m_grid->gridModel().setRowBrush(
            [this](int row) { return m_decl.rowBrush(m_source.rows(), row); });
    m_windowColour = m_grid->palette().color(QPalette::Base);
    m_focusColour = m_grid->palette().color(QPalette::ToolTipBase);
    m_grid->installEventFilter(this);
    connect(m_grid, &widgets::DataGrid::titleClicked, this,
            [this](int, const QString& field) { titleClicked(field); });
    connect(m_grid, &QAbstractItemView::clicked, this, [this] {
        if (m_markMode)
            toggleMark();
    });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (!m_markMode)
            Q_EMIT headActivated();
    });
    // A new view gives the columns their declared widths again.
    connect(&m_grid->gridModel(), &QAbstractItemModel::modelReset, this,
            [this] { applyMarkLayout(); });

    m_searchLabel = new QLabel(u"&Suchen"_s, parent);
    m_search = new QLineEdit(parent);
    m_search->setObjectName(u"EditSearch"_s);
    m_search->setToolTip(u"Suchbegriff eingeben"_s);
    m_search->setFixedWidth(m_search->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 18);
    m_searchLabel->setBuddy(m_search);
    m_gridSearch = new GridSearch(*m_search, *m_grid, [this] { return m_sortColumn; });
    m_search->installEventFilter(this);

    m_sortLabel = new QLabel(parent);
    m_sortLabel->setObjectName(u"lbSort"_s);
    m_sortLabel->hide();
    applyMarkLayout();
}

TDocListHead::~TDocListHead() = default;

table::Table& TDocListHead::table() const {
    return m_source.table();
}

QString TDocListHead::sortField() const {
    return m_sortLabel->text();
}

void TDocListHead::sortBy(const QString& field) {
    if (field.isEmpty() || !table().isOpen())
        return;
    titleClicked(field);
}

void TDocListHead::titleClicked(const QString& field) {
    guarded(m_grid, [&] {
        m_sortColumn = SortGridByColumn(*m_grid, field);
        const QString sorted = m_grid->gridModel().fieldAt(m_sortColumn);
        if (!sorted.isEmpty())
            m_sortLabel->setText(sorted);
        m_source.notifyViewChanged();
        m_grid->followCursor();
    });
}

void TDocListHead::setMarkMode(bool on) {
    if (m_markMode == on)
        return;
    m_markMode = on;
    applyMarkLayout();
    Q_EMIT markModeChanged(on);
}

void TDocListHead::applyMarkLayout() {
    const widgets::DataGridModel& model = m_grid->gridModel();
    if (const int mark = model.columnOf(m_decl.markField); mark >= 0)
        m_grid->setColumnHidden(mark, !m_markMode);
    if (const int hidden = model.columnOf(m_decl.hiddenWhileMarking); hidden >= 0)
        m_grid->setColumnHidden(hidden, m_markMode);
    if (const int wide = model.columnOf(m_decl.widenedWhileMarking); wide >= 0) {
        // From the declared width, so switching twice does not widen twice.
        const int charWidth = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        const int declared = std::max(model.columns()[wide].width * charWidth + 8,
                                      m_grid->horizontalHeader()->sectionSizeHint(wide));
        m_grid->setColumnWidth(wide, declared + (m_markMode ? m_decl.widenBy : 0));
    }
    for (QAction* action : m_markActions)
        action->setVisible(m_markMode);
}

void TDocListHead::addMarkModeAction(QAction* action) {
    m_markActions.append(action);
    action->setVisible(m_markMode);
}

bool TDocListHead::beginMarkedCommand(const std::function<int()>& countOrTell) {
    setMarkMode(true);
    if (countOrTell() == 0)
        return false;
    setMarkMode(false);
    return true;
}

void TDocListHead::setMark(bool mark) {
    table::Table& t = table();
    if (!t.isOpen() || t.isEmpty() || !m_decl.setMark)
        return;
    m_decl.setMark(t, mark);
    m_source.notifyRecordChanged();
}

void TDocListHead::toggleMark() {
    guarded(m_grid, [&] {
        table::Table& t = table();
        if (!t.isOpen() || t.isEmpty())
            return;
        setMark(!GetFieldBoolOrDefault(t.findField(m_decl.markField), false));
    });
}

void TDocListHead::moveOn() {
    table::Table& t = table();
    if (t.isOpen() && !t.isEmpty())
        t.next();
    m_grid->followCursor();
}

bool TDocListHead::markKey(int key, const QString& text) {
    if (!m_markMode)
        return false;
    guarded(m_grid, [&] {
        table::Table& t = table();
        const QString upper = text.toUpper();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            toggleMark();
            moveOn();
        } else if (upper == u"J"_s) {
            setMark(true);
            moveOn();
        } else if (upper == u"N"_s) {
            setMark(false);
            moveOn();
        } else if (key == Qt::Key_Down) {
            moveOn();
        } else if (key == Qt::Key_Up && t.isOpen() && !t.isEmpty()) {
            t.prior();
            m_grid->followCursor();
        }
    });
    return true;
}

bool TDocListHead::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (markKey(key->key(), key->text()))
            return true;
    }
    // The list that has the focus shows it in the tool-tip colour.
    if (watched == m_grid &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        SetGridColor(*m_grid, event->type() == QEvent::FocusIn ? m_focusColour : m_windowColour);
    // The search goes by the sorted column: it is the one selected.
    if (watched == m_search && event->type() == QEvent::FocusIn && m_sortColumn >= 0)
        m_grid->selectField(m_grid->gridModel().fieldAt(m_sortColumn));
    return QObject::eventFilter(watched, event);
}

QString DocumentAddressText(int id) {
    if (id == 0)
        return {};
    table::Table t(table::aliases::database(u"LumoDB"_s), u"Adress.DB"_s);
    t.setReadOnly(true);
    t.open();
    if (!t.locate({u"A_ID"_s}, {id}))
        return u"(Adresse %1 nicht gefunden)"_s.arg(id);
    QStringList lines;
    for (const char* name : {"A_Name1", "A_Name2", "A_Name3", "A_Strasse"})
        if (const QString v = FieldText(t, QString::fromLatin1(name)).trimmed(); !v.isEmpty())
            lines.append(v);
    const QString city =
        QString(FieldText(t, u"A_Plz"_s).trimmed() + u' ' + FieldText(t, u"A_Ort"_s).trimmed())
            .trimmed();
    if (!city.isEmpty())
        lines.append(city);
    return lines.join(u'\n');
}

QString DocumentAddressField(int index) {
    return u"R_AnrID%1"_s.arg(index);
}

QWidget* BuildDocumentTextsPage(widgets::DataSource& head, const QStringList& fieldOrder,
                                bool footTextChooses, QObject* filter,
                                QList<QWidget*>& chooserTargets) {
    static const QHash<QString, QString> captions{
        {u"R_KopfText"_s, u"Vorspanntext allgemein (Auswahl: Doppelclick/AltW)"_s},
        {u"R_FussText"_s, u"Nachspanntext allgemein"_s},
        {u"R_VorspannText"_s, u"Vorspanntext individuell"_s},
        {u"R_NachspannText"_s, u"Nachspanntext individuell"_s},
    };
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    int column = 0;
    for (const QString& field : fieldOrder) {
        auto* caption = new QLabel(captions.value(field, field), page);
        auto* edit = new widgets::DbRichEdit(head, field, page);
        edit->setObjectName(field);
        const bool general = field == u"R_KopfText"_s || field == u"R_FussText"_s;
        if (general) {
            caption->setToolTip(u"Doppelklick: Kopf-/Fußtext auswählen"_s);
            caption->installEventFilter(filter);
            chooserTargets.append(caption);
            if (field == u"R_FussText"_s && footTextChooses) {
                edit->viewport()->installEventFilter(filter);
                chooserTargets.append(edit->viewport());
            }
        }
        layout->addWidget(caption, 0, column);
        layout->addWidget(edit, 1, column);
        ++column;
    }
    return page;
}

TDocAddressPage BuildDocumentAddressPage(widgets::DataSource& head, int index,
                                         const QString& numberCaption, QObject* filter,
                                         QMenu* menu) {
    TDocAddressPage p;
    p.page = new QWidget;
    auto* layout = new QGridLayout(p.page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* nrLabel = new QLabel(numberCaption, p.page);
    const QString field = DocumentAddressField(index);
    auto* nr = new widgets::DbEdit(head, field, p.page);
    nr->setObjectName(field);
    nr->setAlwaysReadOnly(true);
    nr->setFixedWidth(nr->fontMetrics().horizontalAdvance(u"0"_s) * 10);
    nr->setToolTip(u"Doppelklick: andere Adresse wählen"_s);
    nr->installEventFilter(filter);
    nr->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(nr, &QWidget::customContextMenuRequested, menu,
                     [menu, nr](const QPoint& at) { menu->popup(nr->mapToGlobal(at)); });
    p.number = nr;
    auto* purposeLabel = new QLabel(u"Verwendung der Adresse"_s, p.page);
    const QString purposeField = u"R_AdrZweck%1"_s.arg(index);
    auto* purpose = new widgets::DbEdit(head, purposeField, p.page);
    purpose->setObjectName(purposeField);
    p.text = new QLabel(p.page);
    p.text->setObjectName(u"lbAdresse%1"_s.arg(index));
    p.text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    p.text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(nrLabel, 0, 0);
    layout->addWidget(nr, 0, 1);
    layout->addWidget(purposeLabel, 0, 2);
    layout->addWidget(purpose, 0, 3);
    layout->addWidget(p.text, 1, 0, 1, 4);
    layout->setColumnStretch(3, 1);
    layout->setRowStretch(1, 1);
    return p;
}

bool ChooseHeadKopfFussText(table::Table& h) {
    const std::optional<int> chosen = SelectKopfFussText(FieldInt(h, u"R_KFID"_s));
    // Cancel in the chooser changes nothing.
    if (!chosen)
        return false;
    QString kopf, fuss;
    LoadKopfFussText(*chosen, kopf, fuss);
    CancelEditOnError(h, [&] {
        if (!h.isEditing())
            h.edit();
        h.field(u"R_KFID"_s).setValue(*chosen);
        h.field(u"R_KopfText"_s).setValue(kopf);
        h.field(u"R_FussText"_s).setValue(fuss);
        h.post();
    });
    return true;
}

void ClearHeadAddress(table::Table& h, int index) {
    CancelEditOnError(h, [&] {
        if (!h.isEditing())
            h.edit();
        h.field(DocumentAddressField(index)).setValue(0);
        h.post();
    });
}

void TearDownDocumentList(QWidget& form, TDocListHead*& head, widgets::DataSource*& headSource,
                          widgets::DataSource*& lineSource) {
    delete &head->grid();
    qDeleteAll(form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    delete head;
    head = nullptr;
    delete lineSource;
    lineSource = nullptr;
    delete headSource;
    headSource = nullptr;
}
