#include "masterdata/dialogs/tf_dbselect.h"

#include "core/datagui/gridservices.h"
#include "core/messages/splashstatus.h"
#include "masterdata/dialogs/choicecontrols.h"
#include "masterdata/dialogs/dbselectrules.h"
#include "masterdata/dialogs/gridsearch.h"
#include "masterdata/dialogs/keypreview.h"
#include "masterdata/dialogs/selectrecord.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

int g_openLookups = 0;

QWidget* bar(QWidget* parent, const QString& name, int height) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    return panel;
}

// The width of a grid that shows every column in full beside its scroll bar.
int gridWidthFor(const widgets::DataGrid& grid) {
    int width = 2 * grid.frameWidth() + grid.verticalScrollBar()->sizeHint().width() + 2;
    for (int c = 0; c < grid.horizontalHeader()->count(); ++c)
        width += grid.columnWidth(c);
    return width;
}

} // namespace

TF_DbSelect::TF_DbSelect(QWidget* parent) : QDialog(parent) {
    SetSplashStatus(u"DbSelect"_s);
    setObjectName(u"TF_DbSelect"_s);
    setWindowTitle(u"Datenbank-Auswahl"_s);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    m_panel1 = bar(this, u"Panel1"_s, Panel1Height);
    m_panel1Layout = new QHBoxLayout(m_panel1);
    m_panel1Layout->setContentsMargins(6, 4, 6, 4);
    auto* label = new QLabel(u"&Suchen"_s, m_panel1);
    m_editSearch = new QLineEdit(m_panel1);
    m_editSearch->setObjectName(u"EditSearch"_s);
    QPalette info = m_editSearch->palette();
    info.setColor(QPalette::Base, info.color(QPalette::ToolTipBase));
    info.setColor(QPalette::Text, info.color(QPalette::ToolTipText));
    m_editSearch->setPalette(info);
    label->setBuddy(m_editSearch);
    m_panel1Layout->addSpacing(12);
    m_panel1Layout->addWidget(label);
    m_panel1Layout->addWidget(m_editSearch, 1);
    m_layout->addWidget(m_panel1);

    m_panelRE = bar(this, u"PanelRE"_s, PanelREHeight);
    auto* previewLayout = new QHBoxLayout(m_panelRE);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->setSpacing(0);
    m_panelRE->hide();
    m_layout->addWidget(m_panelRE);

    m_panel2 = bar(this, u"Panel2"_s, Panel2Height);
    QHBoxLayout* buttons = MakeChoiceButtons(m_panel2, m_btnOK, m_btnCancel);
    buttons->setContentsMargins(8, 6, 8, 6);
    m_panel2->setLayout(buttons);
    m_layout->addWidget(m_panel2);

    connect(m_btnOK, &QPushButton::clicked, this, &TF_DbSelect::btnOKClick);
    connect(m_btnCancel, &QPushButton::clicked, this, &TF_DbSelect::btnCancelClick);
    InstallKeyPreview(*this, *this);
}

TF_DbSelect::~TF_DbSelect() {
    closeLookup();
}

int TF_DbSelect::openLookupCount() {
    return g_openLookups;
}

void TF_DbSelect::openLookup(const QString& databaseName, const QString& tableName,
                             const QString& filter) {
    m_ok = false;
    closeLookup();
    auto lookup = std::make_unique<table::Table>(table::aliases::database(databaseName), tableName);
    lookup->setReadOnly(true);
    lookup->setFilter(QString());
    lookup->setFiltered(false);
    if (!filter.isEmpty()) {
        lookup->setFilter(filter);
        lookup->setFiltered(true);
    }
    lookup->open();
    m_table = std::move(lookup);
    ++g_openLookups;
    m_source = new widgets::DataSource(*m_table, this);
}

void TF_DbSelect::showLookup(const LookupGrid& grid, int left, int top,
                             const QString& previewField1, const QString& previewField2) {
    const int clientHeight = LookupClientHeight(grid.height, Panel1Height, Panel2Height);

    m_navigator = MakeMoveNavigator(*m_source, m_panel1);
    m_panel1Layout->insertWidget(0, m_navigator);

    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(u"GridSelect"_s);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setColumns(grid.columns);
    m_layout->insertWidget(1, m_grid, 1);
    new GridSearch(*m_editSearch, *m_grid, [this] { return m_sortColumn; });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TF_DbSelect::btnOKClick);
    connect(m_grid, &widgets::DataGrid::titleClicked, this,
            [this](int, const QString& field) { gridTitleClick(field); });

    if (!previewField1.isEmpty()) {
        m_richEdit1 = new widgets::DbRichEdit(*m_source, previewField1, m_panelRE);
        m_richEdit1->setObjectName(u"DBRichEdit1"_s);
        m_richEdit1->setFocusPolicy(Qt::NoFocus);
        m_panelRE->layout()->addWidget(m_richEdit1);
        if (!previewField2.trimmed().isEmpty()) {
            m_richEdit2 = new widgets::DbRichEdit(*m_source, previewField2.trimmed(), m_panelRE);
            m_richEdit2->setObjectName(u"DBRichEdit2"_s);
            m_richEdit2->setFocusPolicy(Qt::NoFocus);
            m_richEdit2->setFixedWidth(Preview2Width);
            m_panelRE->layout()->addWidget(m_richEdit2);
        }
        m_panelRE->show();
    }

    move(left, top);
    resize(grid.width > 0 ? grid.width : gridWidthFor(*m_grid), clientHeight);
    InstallKeyPreview(*this, *this);
}

void TF_DbSelect::sortBy(const QString& field) {
    m_sortColumn = SortGridByColumn(*m_grid, field);
    m_sortField = GetSortFieldName();
}

void TF_DbSelect::positionOn(const QString& keyField, const QVariant& key,
                             const QString& locateField, const QString& locateValue) {
    bool found = false;
    if (!locateField.isEmpty())
        found = m_table->locate({locateField}, {locateValue}, {true, true});
    else if (key.isValid() && !key.isNull())
        found = m_table->locate({keyField}, {key});
    if (!found)
        m_table->first();
    m_grid->followCursor();
}

void TF_DbSelect::closeLookup() {
    // Widgets first: they hold the data source, which must go before its table.
    delete m_grid;
    m_grid = nullptr;
    delete m_navigator;
    m_navigator = nullptr;
    delete m_richEdit1;
    m_richEdit1 = nullptr;
    delete m_richEdit2;
    m_richEdit2 = nullptr;
    m_panelRE->hide();
    delete m_source;
    m_source = nullptr;
    freeTable();
    hide();
}

void TF_DbSelect::freeTable() {
    if (!m_table)
        return;
    std::unique_ptr<table::Table> lookup = std::move(m_table);
    --g_openLookups;
    lookup->setFiltered(false);
    lookup->close();
}

void TF_DbSelect::btnOKClick() {
    m_ok = true;
    accept();
}

void TF_DbSelect::btnCancelClick() {
    m_ok = false;
    QDialog::reject();
}

void TF_DbSelect::reject() {
    m_ok = false;
    QDialog::reject();
}

void TF_DbSelect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_grid) {
        m_grid->setFocusPolicy(Qt::StrongFocus);
        setTabOrder(m_grid, m_editSearch);
    }
    m_editSearch->setFocus();
}

bool TF_DbSelect::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isVisible()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (formKeyDown(watched, key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TF_DbSelect::formKeyDown(QObject* watched, QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        reject();
        return true;
    }
    // A key a control left unhandled reaches the form again: seen already.
    if (watched == this)
        return false;
    if (watched != m_editSearch) {
        const QChar start = SearchStartChar(key, event->modifiers());
        if (!start.isNull()) {
            m_editSearch->setFocus();
            m_editSearch->setText(QString(start));
            return true;
        }
    }
    if (m_grid && (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
                   key == Qt::Key_Down)) {
        if (watched == m_grid || watched == m_grid->viewport())
            return false;
        // The grid takes the key as if it had had the focus already.
        m_grid->setFocus();
        QKeyEvent copy(event->type(), key, event->modifiers(), event->text());
        QApplication::sendEvent(m_grid, &copy);
        return true;
    }
    return false;
}

void TF_DbSelect::gridTitleClick(const QString& field) {
    m_sortColumn = SortGridByField(field, *m_grid, false);
    m_sortField = GetSortFieldName();
}
