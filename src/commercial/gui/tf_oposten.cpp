#include "commercial/gui/tf_oposten.h"

#include "commercial/accounts/dunning.h"
#include "commercial/accounts/oparchive.h"
#include "commercial/accounts/opdisplay.h"
#include "commercial/accounts/openitems.h"
#include "commercial/accounts/paymentlist.h"
#include "commercial/accounts/paymentrules.h"
#include "commercial/gui/tf_editmahnung.h"
#include "commercial/gui/tf_fakadr.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/openitemrules.h"
#include "core/data/reportsource.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/files/filedialogfilter.h"
#include "core/files/programdirs.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/settings/programsettings.h"
#include "core/values/datetimevalue.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/gridsearch.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcheckbox.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/documentprints.h"
#include "printing/gui/captiondialog.h"
#include "printing/gui/printbutton.h"
#include "printing/opprints.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QStringEncoder>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using table::Table;
using widgets::DataGrid;
using widgets::DbNavigator;

namespace {

const QString kDb = u"LumoDB"_s;

TF_Oposten::PrinterChooser& printerChooser() {
    static TF_Oposten::PrinterChooser chooser;
    return chooser;
}

TF_Oposten::FileChooser& fileChooser() {
    static TF_Oposten::FileChooser chooser;
    return chooser;
}

// The sort column of each open-items window for as long as the program runs:
// -1 until the first sort.
QHash<QString, int>& rememberedSortColumns() {
    static QHash<QString, int> columns;
    return columns;
}

bool isKey(const QEvent* event, int key, Qt::KeyboardModifiers modifiers) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<const QKeyEvent*>(event);
    return k->key() == key && k->modifiers() == modifiers;
}

QString positionText(const QString& caption, int value) {
    return caption + QString::number(value).rightJustified(5);
}

// The "Offen" cell shows how overdue an unsettled item is.
class OverdueDelegate : public QStyledItemDelegate {
public:
    OverdueDelegate(widgets::DataSource& source, QObject* parent)
        : QStyledItemDelegate(parent), m_source(source) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        const QVariant settled = m_source.rows().value(row, u"O_Erledigt"_s);
        if (!settled.toBool()) {
            const QColor colour = OpOverdueColor(OpOverdueClass(
                m_source.rows().value(row, u"R_FaelligDatum"_s), QDate::currentDate()));
            if (colour.isValid())
                painter->fillRect(option.rect, colour);
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    widgets::DataSource& m_source;
};

QDate itemDate(Table& item) {
    const table::Field& f = item.field(u"R_DatumDruck"_s);
    return f.isNull() ? QDate() : f.asDate();
}

} // namespace

TF_Oposten::PrinterChooser TF_Oposten::setPrinterChooser(PrinterChooser chooser) {
    PrinterChooser previous = std::move(printerChooser());
    printerChooser() = std::move(chooser);
    return previous;
}

TF_Oposten::FileChooser TF_Oposten::setFileChooser(FileChooser chooser) {
    FileChooser previous = std::move(fileChooser());
    fileChooser() = std::move(chooser);
    return previous;
}

TF_Oposten::TF_Oposten(const OpenItemWindowDecl& decl, Table& items, QWidget* parent)
    : QDialog(parent), m_decl(decl), m_items(items),
      m_payments(std::make_unique<Table>(items.sharedDatabase(), decl.paymentFile)) {
    setObjectName(decl.formClass);
    setWindowTitle(decl.caption);
    m_payments->setIndexName(u"I_RgNo"_s);
    m_payments->setMaster(&m_items, {u"R_Nr"_s}, {u"OZ_RgNo"_s});
    if (decl.installPaymentRules)
        decl.installPaymentRules(*m_payments, m_items);
    // The balances follow every payment written (after its recalculation).
    m_payments->afterPost += [this](Table&) { updateSaldo(true); };
    m_payments->afterDelete += [this](Table&) { updateSaldo(true); };
    m_payments->open();
    m_itemSource = std::make_unique<widgets::DataSource>(m_items);
    m_paymentSource = std::make_unique<widgets::DataSource>(*m_payments);
    // The grids read rows on cursors of their own: the filter and the link as the tables have them.
    m_itemSource->rows().setSetup([](Table& reader) {
        reader.setFilterFunction([](Table& t) { return OpostenFilterAccepts(t); });
    });
    m_paymentSource->rows().setSetup(
        [this](Table& reader) { reader.setMaster(&m_items, {u"R_Nr"_s}, {u"OZ_RgNo"_s}); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    buildTopRow(*layout);
    buildPanels(*layout);
    buildCancelPanel(*layout);
    buildButtons(*layout);
    buildMenus();
    resize(1200, 640);
    if (!decl.placementFile.isEmpty()) {
        auto* storage = new FormStorage(this, decl.placementFile, decl.placementSection);
        storage->setStoredProperties({u"Grid.Columns"_s, u"PanelHeight"_s, u"SortField"_s});
    }
    if (decl.setup)
        decl.setup(*this);
}

TF_Oposten::~TF_Oposten() {
    // The widgets are bound to the data sources, the sources to the tables.
    delete m_grid;
    delete m_paymentGrid;
    delete m_navigator;
    delete m_settled;
    m_paymentSource.reset();
    m_itemSource.reset();
    if (m_payments->isOpen())
        m_payments->close();
}

void TF_Oposten::buildTopRow(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    m_navigator = new DbNavigator(*m_itemSource, this);
    m_navigator->setObjectName(u"DBNavigator1"_s);
    m_navigator->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(m_navigator);
    auto* post = addButton(u"btnPost"_s, u"Überneh&men"_s, [this] {
        Table& t = m_navigator->dataSource().table();
        if (t.isEditing())
            t.post();
    });
    auto* cancel = addButton(u"btnCancel"_s, u"&Abbrechen"_s, [this] {
        Table& t = m_navigator->dataSource().table();
        if (t.isEditing())
            t.cancel();
    });
    row->addWidget(post);
    row->addWidget(cancel);
    row->addSpacing(12);

    if (!m_decl.filterLabel.isEmpty()) {
        auto* filterLabel = new QLabel(m_decl.filterLabel, this);
        row->addWidget(filterLabel);
        m_filterLabel = filterLabel;
    }
    m_filter = new QComboBox(this);
    m_filter->setObjectName(u"cbSelectRgState"_s);
    m_filter->addItems(m_decl.filters);
    m_filter->installEventFilter(this);
    connect(m_filter, &QComboBox::activated, this, [this](int mode) { applyFilter(mode); });
    row->addWidget(m_filter);
    if (m_filterLabel)
        m_filterLabel->setBuddy(m_filter);
    if (m_decl.searchButton)
        row->addWidget(addButton(u"btnSuchen"_s, u"Suchen"_s, [this] { searchClicked(); }));
    row->addSpacing(12);
    auto* searchLabel = new QLabel(u"&Suchen"_s, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"EditSearch"_s);
    m_search->setFixedWidth(m_search->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 18);
    m_search->installEventFilter(this);
    searchLabel->setBuddy(m_search);
    row->addWidget(searchLabel);
    row->addWidget(m_search);
    row->addStretch();
    for (const char* name : {"lbRecCount", "lbRecNo"}) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(QFont(u"Courier New"_s, font().pointSize()));
        m_labels.append(l);
        row->addWidget(l);
    }
    row->addSpacing(12);
    row->addWidget(
        addButton(u"sbtnInfo"_s, u"&?Info?"_s, [this] { ShowHandbuchPage(m_decl.helpPage); }));
    layout.addLayout(row);
}

void TF_Oposten::buildPanels(QVBoxLayout& layout) {
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setChildrenCollapsible(false);
    m_grid = new DataGrid(*m_itemSource, m_splitter);
    m_grid->setObjectName(u"Grid"_s);
    m_grid->setColumns(m_decl.columns);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    m_grid->gridModel().setRowBrush([this](int row) -> QBrush {
        if (m_itemSource->rows().value(row, u"O_Erledigt"_s).toBool())
            return OpSettledRowColor();
        return Qt::NoBrush;
    });
    const int openColumn = m_grid->gridModel().columnOf(u"O_OffenSumme"_s);
    if (openColumn >= 0)
        m_grid->setItemDelegateForColumn(openColumn, new OverdueDelegate(*m_itemSource, m_grid));
    connect(m_grid, &DataGrid::titleClicked, this,
            [this](int column) { run([&] { sortByColumn(column); }); });
    m_gridSearch = new GridSearch(*m_search, *m_grid, [this] { return sortColumn(); });

    auto* lower = new QWidget(m_splitter);
    auto* lowerRow = new QHBoxLayout(lower);
    lowerRow->setContentsMargins(0, 0, 0, 0);
    m_paymentGrid = new DataGrid(*m_paymentSource, lower);
    m_paymentGrid->setObjectName(u"GridZahlung"_s);
    m_paymentGrid->setColumns(m_decl.paymentColumns);
    m_paymentGrid->installEventFilter(this);
    m_paymentGrid->viewport()->installEventFilter(this);
    m_paymentGrid->setMinimumWidth(330);
    lowerRow->addWidget(m_paymentGrid, 2);

    auto* side = new QWidget(lower);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(4, 0, 4, 0);
    m_settled =
        new widgets::DbCheckBox(*m_itemSource, u"O_Erledigt"_s, m_decl.settledCaption, side);
    m_settled->setObjectName(u"DBCheckBox1"_s);
    sideLayout->addWidget(m_settled);
    auto* terms = new QGridLayout;
    int r = 0;
    for (const auto& [caption, field] : m_decl.termFields) {
        auto* edit = new widgets::DbEdit(*m_itemSource, field, side);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        terms->addWidget(new QLabel(caption, side), r, 0);
        terms->addWidget(edit, r, 1);
        ++r;
    }
    sideLayout->addLayout(terms);
    auto* saldi = new QGridLayout;
    for (int i = 0; i < m_decl.saldoNames.size(); ++i) {
        auto* value = new QLabel(side);
        value->setObjectName(m_decl.saldoNames.at(i));
        value->setFont(QFont(u"Courier New"_s, font().pointSize()));
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_labels.append(value);
        saldi->addWidget(new QLabel(m_decl.saldoCaptions.value(i), side), i, 0);
        saldi->addWidget(value, i, 1);
    }
    sideLayout->addLayout(saldi);
    sideLayout->addStretch();
    lowerRow->addWidget(side);

    m_listPanel = new QWidget(lower);
    m_listPanel->setObjectName(u"PanelZahlungen"_s);
    m_listPanel->setFixedWidth(840);
    auto* listLayout = new QVBoxLayout(m_listPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    m_listText = new QPlainTextEdit(m_listPanel);
    m_listText->setObjectName(u"MemoZahlungen"_s);
    m_listText->setReadOnly(true);
    m_listText->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed(u"Courier New"_s, 8);
    fixed.setStyleHint(QFont::TypeWriter);
    m_listText->setFont(fixed);
    listLayout->addWidget(m_listText, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch();
    listButtons->addWidget(
        addButton(u"btnListDruck"_s, u"Drucken"_s, [this] { printPaymentList(); }));
    listButtons->addWidget(
        addButton(u"btnListSpeichern"_s, u"Speichern"_s, [this] { savePaymentList(); }));
    listButtons->addWidget(
        addButton(u"btnListSchliessen"_s, u"Schließen"_s, [this] { closePaymentList(); }));
    listLayout->addLayout(listButtons);
    m_listPanel->hide();
    lowerRow->addWidget(m_listPanel);

    m_splitter->addWidget(m_grid);
    m_splitter->addWidget(lower);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 2);
    layout.addWidget(m_splitter, 1);

    connect(m_itemSource.get(), &widgets::DataSource::recordChanged, this,
            [this] { updateButtons(); });
}

QPushButton* TF_Oposten::addButton(const QString& name, const QString& caption,
                                   const std::function<void()>& command) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, command] { run(command); });
    m_buttons.append(b);
    return b;
}

QGroupBox* TF_Oposten::addPrintGroup(const QString& title, const QString& printName,
                                     const QString& previewName, const QString& previewCaption,
                                     const std::function<void(bool)>& print) {
    auto* box = new QGroupBox(title, this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(4, 2, 4, 2);
    auto* printButton = addButton(printName, u"Druck"_s, [print] { print(false); });
    auto* previewButton = addButton(previewName, previewCaption, [print] { print(true); });
    MarkPreviewButton(previewButton);
    row->addWidget(printButton);
    row->addWidget(previewButton);
    return box;
}

void TF_Oposten::buildButtons(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    row->addWidget(addButton(u"BitBtnRecalc"_s, u"Rechnen"_s, [this] { recalcClicked(); }));
    if (m_decl.settleBefore) {
        auto* settle = addButton(u"btnErledigen"_s, u"Erledigen"_s, [this] { settleClicked(); });
        settle->setVisible(ServiceMode);
        row->addWidget(settle);
    }
    if (m_decl.changeAddress)
        row->addWidget(addButton(u"Button1"_s, u"Ändern"_s, [this] { changeAddressClicked(); }));
    if (m_decl.dunning)
        row->addWidget(addButton(u"btnMahnung"_s, u"Mahnen"_s, [this] { dunningClicked(); }));
    row->addSpacing(8);
    if (m_decl.invoice)
        row->addWidget(addPrintGroup(u"Rechnung"_s, u"sbtnPrintRg"_s, u"sbtnRgPreview"_s,
                                     u"Vorschau"_s, [this](bool p) { invoiceCopy(p); }));
    if (m_decl.list)
        row->addWidget(addPrintGroup(u"OP-Liste"_s, u"sbtnPrint"_s, u"sbtnPreview"_s,
                                     u"Vorsc&hau"_s, [this](bool p) { printOpList(p); }));
    if (m_decl.payments)
        row->addWidget(addPrintGroup(u"Zahlung"_s, u"sbtnPrintZahlung"_s, u"sbtnPreviewZahlung"_s,
                                     u"Vorschau"_s, [this](bool p) { printPayments(p); }));
    m_statementGroup = addPrintGroup(u"Kto-Ausz."_s, u"sbtnPrintKtoAusz"_s, u"sbtnPreviewKtoAusz"_s,
                                     u"Vorschau"_s, [this](bool p) { printStatement(p); });
    m_statementGroup->hide();
    row->addWidget(m_statementGroup);
    if (m_decl.archive) {
        auto* archive = addButton(u"sbtnAuslag"_s, u"Auslagern"_s, [this] { archiveClicked(); });
        archive->setEnabled(false);
        row->addWidget(archive);
    }
    row->addStretch();
    row->addWidget(addButton(u"btnClose"_s, u"S&chließen"_s, [this] { reject(); }));
    layout.addLayout(row);
}

void TF_Oposten::buildCancelPanel(QVBoxLayout& layout) {
    m_cancelPanel = new QWidget(this);
    m_cancelPanel->setObjectName(u"PanelAbbruch"_s);
    auto* row = new QHBoxLayout(m_cancelPanel);
    row->setContentsMargins(4, 2, 4, 2);
    m_cancelText = new QLabel(m_cancelPanel);
    m_cancelText->setObjectName(u"lbAbbruch"_s);
    row->addWidget(m_cancelText, 1);
    m_cancelBar = new QProgressBar(m_cancelPanel);
    m_cancelBar->setObjectName(u"ProgressBar1"_s);
    m_cancelBar->hide();
    row->addWidget(m_cancelBar, 1);
    auto* cancel = new QPushButton(u"Abbruch"_s, m_cancelPanel);
    cancel->setObjectName(u"btnAbbruch"_s);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_cancel = true;
        showProgressText(u"Funktion wird abgebrochen.\rBitte warten..."_s);
    });
    row->addWidget(cancel);
    m_cancelPanel->hide();
    layout.addWidget(m_cancelPanel);
}

void TF_Oposten::startCancelPanel() {
    m_cancel = false;
    m_cancelText->clear();
    m_cancelBar->hide();
    m_cancelPanel->show();
}

void TF_Oposten::showProgress(int position, int maximum) {
    if (m_cancelBar->maximum() != maximum)
        m_cancelBar->setRange(0, maximum);
    m_cancelBar->setValue(position);
    m_cancelBar->show();
    QCoreApplication::processEvents();
}

void TF_Oposten::endCancelPanel() {
    m_cancelPanel->hide();
    m_cancelBar->hide();
}

void TF_Oposten::showProgressText(const QString& text) {
    QString shown = text;
    m_cancelText->setText(shown.replace(u'\r', u'\n'));
    // The run goes on in this call: "Abbruch" is seen between its steps.
    QCoreApplication::processEvents();
}

void TF_Oposten::buildMenus() {
    m_itemMenu = new QMenu(this);
    m_paymentMenu = new QMenu(this);
    if (m_decl.dunning)
        buildDunningMenu();
    if (m_decl.paymentList)
        buildPaymentListMenu();
}

void TF_Oposten::buildDunningMenu() {
    m_itemMenu->addAction(u"Mahnstatus verringern"_s, this,
                          [this] { run([this] { changeDunningLevel(-1); }); });
    m_itemMenu->addAction(u"Mahnstatus erhöhen"_s, this,
                          [this] { run([this] { changeDunningLevel(1); }); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_itemMenu->exec(m_grid->viewport()->mapToGlobal(at)); });
}

void TF_Oposten::buildPaymentListMenu() {
    m_paymentMenu->addAction(u"Zahlungseingänge auflisten"_s, this,
                             [this] { run([this] { listPayments(); }); });
    m_paymentGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_paymentGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_paymentMenu->exec(m_paymentGrid->viewport()->mapToGlobal(at));
    });
}

void TF_Oposten::applyRights() {
    const int right = m_decl.right;
    if (right <= 0)
        return;
    if (!HasPrintRight(right))
        for (const char* name :
             {"sbtnPrintRg", "sbtnPrint", "sbtnPrintZahlung", "sbtnPrintKtoAusz"})
            if (QPushButton* b = button(QString::fromLatin1(name)))
                b->hide();
    m_mayEdit = HasEditRight(right);
    if (!m_mayEdit) {
        DataModule1().SetTableReadOnly(*m_payments, true);
        // The check box enables itself on every record it shows: its source
        // refuses the change instead.
        m_itemSource->setRightsCheck(
            [](widgets::EditAction action) { return action == widgets::EditAction::Delete; });
        m_settled->setEnabled(false);
        button(u"BitBtnRecalc"_s)->hide();
    }
    m_mayExport = HasExportRight(right);
    updateButtons();
}

QLabel* TF_Oposten::label(const QString& name) const {
    for (QLabel* l : m_labels)
        if (l->objectName() == name)
            return l;
    return nullptr;
}

QPushButton* TF_Oposten::button(const QString& name) const {
    for (QPushButton* b : m_buttons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

int TF_Oposten::panelHeight() const {
    return m_grid->height();
}

void TF_Oposten::setPanelHeight(int height) {
    if (height <= 0)
        return;
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > height)
        m_splitter->setSizes({height, total - height});
    else
        m_grid->resize(m_grid->width(), height);
}

int TF_Oposten::sortColumn() const {
    return rememberedSortColumns().value(m_decl.formClass, -1);
}

void TF_Oposten::run(const std::function<void()>& command) {
    widgets::guarded(this, command);
    updateButtons();
}

void TF_Oposten::updateButtons() {
    const int column = sortColumn();
    if (QPushButton* search = button(u"btnSuchen"_s))
        search->setEnabled(column == 3 || column == 5);
    m_statementGroup->setVisible(m_decl.statements.contains(m_mode));
    if (QPushButton* archive = button(u"sbtnAuslag"_s))
        archive->setEnabled(m_mode == m_decl.archiveMode && m_mayExport);
}

void TF_Oposten::showEvent(QShowEvent* event) {
    widgets::FitToScreen(*this);
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (!m_decl.logLine.isEmpty())
        WriteLog(m_decl.logLine);
    run([this] {
        const QString firstSort =
            m_decl.defaultSortField.isEmpty() ? m_sortField : m_decl.defaultSortField;
        if (sortColumn() < 0 && !firstSort.isEmpty()) {
            const int column = m_grid->gridModel().columnOf(firstSort);
            if (column >= 0)
                sortByColumn(column);
        } else if (sortColumn() >= 0) {
            SortGridByColumn(*m_grid, m_grid->gridModel().fieldAt(sortColumn()));
        }
        showRecordPosition();
        updateSaldo(true);
    });
    m_grid->setFocus();
}

void TF_Oposten::sortByColumn(int column) {
    const QString field = m_grid->gridModel().fieldAt(column);
    if (field.isEmpty())
        return;
    rememberedSortColumns().insert(m_decl.formClass, SortGridByColumn(*m_grid, field));
    m_sortField = field;
    m_search->clear();
}

void TF_Oposten::sortByField(const QString& field) {
    const int column = m_grid->gridModel().columnOf(field);
    if (column >= 0)
        sortByColumn(column);
}

void TF_Oposten::showRecordPosition() {
    if (!m_items.isOpen())
        return;
    label(u"lbRecCount"_s)->setText(positionText(u"Datensätze:"_s, m_items.recordCount()));
    label(u"lbRecNo"_s)->setText(positionText(u"Satznummer:"_s, m_items.recNo()));
}

void TF_Oposten::updateSaldo(bool force) {
    if (!m_items.isOpen() || m_items.isEmpty() || !m_decl.balances)
        return;
    QVariantList key;
    for (const QString& field : m_decl.saldoKeyFields)
        key.append(m_items.field(field).value());
    if (!force && m_saldoShown && key == m_saldoKey)
        return;
    m_saldoKey = key;
    m_saldoShown = true;
    const QList<double> values = m_decl.balances(m_items);
    for (int i = 0; i < m_decl.saldoNames.size(); ++i)
        label(m_decl.saldoNames.at(i))->setText(OpSaldoText(values.value(i)));
}

void TF_Oposten::applyFilter(int mode) {
    const QString search = mode == 99 ? m_searchText.toUpper() : QString();
    m_filterCaption = m_decl.applyFilter ? m_decl.applyFilter(*this, mode, search) : QString();
    m_mode = mode;
    if (mode == 99)
        m_filter->setCurrentIndex(-1);
    else
        m_filter->setCurrentIndex(mode);
    m_items.first();
    m_itemSource->notifyViewChanged();
    showRecordPosition();
    updateSaldo(true);
}

void TF_Oposten::searchClicked() {
    QString text = m_searchText;
    const QString title =
        sortColumn() == 3 ? u"Suchen nach Objekt-Bezeichnung"_s : u"Suchen nach Kundenname"_s;
    const QPoint at = mapToGlobal(QPoint(100, 100));
    if (!InputText(text, title, at.x(), at.y(), 360, this))
        return;
    m_searchText = text;
    applyFilter(99);
}

void TF_Oposten::recalcClicked() {
    {
        widgets::TableControlsDisabled quiet(m_items);
        if (m_decl.recalc)
            m_decl.recalc(m_items);
    }
    m_payments->refresh();
    showRecordPosition();
    updateSaldo(true);
}

void TF_Oposten::settleClicked() {
    {
        widgets::TableControlsDisabled quiet(m_items);
        if (!m_decl.settleBefore || !m_decl.settleBefore(m_items))
            return;
    }
    showRecordPosition();
    updateSaldo(true);
}

void TF_Oposten::changeAddressClicked() {
    if (m_items.isEmpty())
        return;
    EditFakAdr(m_items);
    m_items.refresh();
    m_itemSource->notifyRecordChanged();
}

void TF_Oposten::changeDunningLevel(int delta) {
    if (m_items.isEmpty())
        return;
    ChangeDunningLevel(m_items, delta);
}

void TF_Oposten::dunningClicked() {
    if (m_items.isEmpty())
        return;
    if (m_items.isEditing())
        m_items.post();
    if (!MayWriteDunning(m_items))
        return;
    const int level = NextDunningLevel(m_items);
    if (ShowEditMahnungForm(m_items, DunningTemplateFile(level), level, geometry()) ==
        QDialog::Accepted)
        SetDunningLevel(m_items, level);
}

void TF_Oposten::invoiceCopy(bool preview) {
    if (m_items.isEmpty() || !m_decl.invoice)
        return;
    auto* pressed = qobject_cast<QAbstractButton*>(sender());
    if (!pressed)
        pressed = button(preview ? u"sbtnRgPreview"_s : u"sbtnPrintRg"_s);
    table::Field& formNo = m_items.field(u"R_PrintFormNo"_s);
    const OpenItemPrint& print = m_decl.invoice;
    PrintButtonClicked(
        pressed, {PrintVariant::D, print.formType, GetFieldIntOrDefault(&formNo, 0)},
        WindowPrintFormChoosers(this, pressed, &formNo),
        [this, &print](bool p, const QString& layout) { print.print(*this, p, layout); });
}

void TF_Oposten::runPrint(const OpenItemPrint& print, const QString& printName,
                          const QString& previewName, bool preview) {
    auto* pressed = button(preview ? previewName : printName);
    PrintButtonClicked(
        pressed, {PrintVariant::A, print.formType}, WindowPrintFormChoosers(this),
        [this, &print](bool p, const QString& layout) { print.print(*this, p, layout); });
}

void TF_Oposten::printOpList(bool preview) {
    if (m_decl.list)
        runPrint(m_decl.list, u"sbtnPrint"_s, u"sbtnPreview"_s, preview);
}

void TF_Oposten::printPayments(bool preview) {
    if (!m_items.isEmpty() && m_decl.payments)
        runPrint(m_decl.payments, u"sbtnPrintZahlung"_s, u"sbtnPreviewZahlung"_s, preview);
}

void TF_Oposten::printStatement(bool preview) {
    const auto at = m_decl.statements.constFind(m_mode);
    if (m_items.isEmpty() || at == m_decl.statements.constEnd() || !*at)
        return;
    runPrint(*at, u"sbtnPrintKtoAusz"_s, u"sbtnPreviewKtoAusz"_s, preview);
}

void TF_Oposten::listPayments() {
    const QDate today = QDate::currentDate();
    TDateTime from = DateTimeOfDate(QDate(today.year(), today.month(), 1));
    TDateTime to = DateTimeOfDate(QDate(today.year(), today.month(), today.daysInMonth()));
    const QPoint at = mapToGlobal(QPoint(120, 120));
    if (!EnterDateRange(from, to, at.x(), at.y(), u"Zahlungen berücksichtigen für den Zeitraum:"_s))
        return;
    m_listText->clear();
    m_listPanel->show();
    button(u"btnListDruck"_s)->setEnabled(false);
    button(u"btnListSpeichern"_s)->setEnabled(false);
    const QStringList lines = [&] {
        widgets::TableControlsDisabled quiet(m_items);
        const table::Bookmark mark = m_items.bookmark();
        QStringList result = PaymentListLines(m_items, DateOfDateTime(from), DateOfDateTime(to));
        if (mark.valid && m_items.bookmarkValid(mark))
            m_items.gotoBookmark(mark);
        return result;
    }();
    m_listText->setPlainText(lines.join(u'\n'));
    button(u"btnListDruck"_s)->setEnabled(true);
    button(u"btnListSpeichern"_s)->setEnabled(true);
}

void TF_Oposten::printPaymentList() {
    std::unique_ptr<QPrinter> printer;
    if (const PrinterChooser& chooser = printerChooser()) {
        printer = chooser(this);
    } else {
        printer = std::make_unique<QPrinter>();
        printer->setDocName(u"Zahlungsliste"_s);
        QPrintDialog dialog(printer.get(), this);
        dialog.setWindowTitle(u"Zahlungsliste"_s);
        if (dialog.exec() != QDialog::Accepted)
            printer.reset();
    }
    if (!printer)
        return;
    printer->setDocName(u"Zahlungsliste"_s);
    m_listText->print(printer.get());
}

void TF_Oposten::savePaymentList() {
    const QString directory = TextbstDir;
    QString file;
    if (const FileChooser& chooser = fileChooser())
        file = chooser(this, directory);
    else
        file = QFileDialog::getSaveFileName(this, u"Speichern"_s, directory,
                                            QtFilterString(u"Textdateien|*.txt"_s));
    if (file.isEmpty())
        return;
    QStringEncoder encoder("windows-1252");
    QString text = m_listText->toPlainText();
    text.replace(u'\n', u"\r\n"_s);
    const QByteArray bytes = encoder.encode(text + u"\r\n"_s);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw DbError(u"Die Datei %1 kann nicht geschrieben werden.\r%2"_s.arg(
            QDir::toNativeSeparators(file), out.errorString()));
}

void TF_Oposten::archiveClicked() {
    if (m_items.isEmpty() || m_mode != m_decl.archiveMode || !m_mayExport || !m_decl.archive)
        return;
    if (m_items.isEditing())
        m_items.post();
    m_decl.archive(*this);
}

void TF_Oposten::archiveSettledItems() {
    const int oldColumn = sortColumn();
    const QString oldField = m_sortField;
    sortByField(u"R_DatumDruck"_s);
    // Whatever happens below, the list is shown whole again as it was sorted.
    struct Restore {
        TF_Oposten& form;
        int column;
        QString field;
        ~Restore() {
            form.endCancelPanel();
            try {
                if (!field.isEmpty())
                    form.sortByField(field);
                if (column < 0)
                    rememberedSortColumns().remove(form.m_decl.formClass);
                form.applyFilter(0);
            } catch (...) {
                // The error that ended the run is the one the user sees.
            }
            form.m_grid->setFocus();
        }
    } restore{*this, oldColumn, oldField};

    const QDate earliest = EarliestSettledOpDate();
    TDateTime limit = DateTimeOfDate(ProposedArchiveLimit(QDate::currentDate(), earliest));
    const QPoint at = mapToGlobal(QPoint(120, 120));
    if (!EnterLimitDate(
            limit, at.x(), at.y(), earliest.isValid() ? DateTimeOfDate(earliest) : EmptyDate,
            u"Rechnungen auslagern bis einschließlich"_s, u"Rechnungen sind vorhanden ab"_s))
        return;

    startCancelPanel();
    OpArchiveFeedback feedback;
    int maximum = 0;
    feedback.status = [this](const QString& text) {
        m_cancelPanel->show();
        showProgressText(text);
    };
    feedback.startProgress = [this, &maximum](int m) {
        maximum = m;
        showProgress(0, maximum);
    };
    feedback.progress = [this, &maximum](int position) { showProgress(position, maximum); };
    feedback.cancelled = [this] { return cancelRequested(); };
    OpArchiveMarks marks;
    {
        widgets::TableControlsDisabled quiet(m_items);
        marks = MarkOpItemsForArchive(DateOfDateTime(limit), feedback);
    }
    if (marks.cancelled)
        return;
    // Nothing in the range, or only unsettled items there: nothing to move.
    if (marks.inRange == 0 || marks.marked == 0) {
        ShowInfo(u"Keine Einträge gefunden!"_s);
        return;
    }
    // The move dialog shows its own progress; the marking's text is done.
    endCancelPanel();
    try {
        ArchiveDocuments(ArchiveFamily::OpenItems);
    } catch (...) {
        // What stayed gets its marks back and the moved items' payments go,
        // before the error reaches the user.
        FinishOpArchive(feedback);
        m_items.refresh();
        throw;
    }
    FinishOpArchive(feedback);
    m_items.refresh();
}

void TF_Oposten::closePaymentList() {
    m_listText->clear();
    m_listPanel->hide();
}

void TF_Oposten::pickPaymentDate() {
    if (m_payments->isEmpty() && !m_payments->isEditing())
        return;
    const table::Field& f = m_payments->field(u"OZ_Datum"_s);
    TDateTime date = f.isNull() ? DateTimeOfDate(QDate::currentDate()) : DateTimeOfDate(f.asDate());
    const QPoint at = m_paymentGrid->mapTo(this, QPoint(40, 40));
    if (!PickDateAt(date, at.x(), at.y()))
        return;
    m_paymentSource->startEdit();
    m_payments->field(u"OZ_Datum"_s).setValue(DateOfDateTime(date));
    m_paymentSource->notifyRecordChanged();
}

void TF_Oposten::bindNavigator(widgets::DataSource& source) {
    m_navigator->setDataSource(source);
    const bool payments = &source == m_paymentSource.get();
    m_navigator->setButtonVisible(DbNavigator::Insert, payments);
}

bool TF_Oposten::eventFilter(QObject* watched, QEvent* event) {
    const bool focusIn = event->type() == QEvent::FocusIn;
    const bool focusOut = event->type() == QEvent::FocusOut;
    if (watched == m_grid || watched == m_paymentGrid) {
        auto* grid = static_cast<DataGrid*>(watched);
        if (focusIn || focusOut)
            SetGridColor(*grid, palette().color(focusIn ? QPalette::ToolTipBase : QPalette::Base));
        if (focusIn)
            bindNavigator(grid == m_grid ? *m_itemSource : *m_paymentSource);
        if (grid == m_grid) {
            if (isKey(event, Qt::Key_PageUp, Qt::ControlModifier)) {
                m_search->setFocus();
                return true;
            }
            if (isKey(event, Qt::Key_PageDown, Qt::ControlModifier)) {
                m_paymentGrid->setFocus();
                return true;
            }
        } else {
            if (isKey(event, Qt::Key_PageUp, Qt::ControlModifier)) {
                m_grid->setFocus();
                return true;
            }
            if (isKey(event, Qt::Key_PageDown, Qt::ControlModifier)) {
                if (QPushButton* dunning = button(u"btnMahnung"_s))
                    dunning->setFocus();
                else
                    m_settled->setFocus();
                return true;
            }
            if (isKey(event, Qt::Key_K, Qt::AltModifier)) {
                run([this] { pickPaymentDate(); });
                return true;
            }
        }
    } else if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        run([this] { invoiceCopy(true); });
        return true;
    } else if (watched == m_paymentGrid->viewport() &&
               event->type() == QEvent::MouseButtonDblClick) {
        const QModelIndex at =
            m_paymentGrid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (at.isValid() && m_paymentGrid->gridModel().fieldAt(at.column()) == u"OZ_Datum"_s) {
            m_paymentGrid->setCurrentIndex(at);
            run([this] { pickPaymentDate(); });
            return true;
        }
    } else if (watched == m_search) {
        if (focusIn || focusOut) {
            QPalette p = m_search->palette();
            p.setColor(QPalette::Base,
                       palette().color(focusIn ? QPalette::ToolTipBase : QPalette::Base));
            m_search->setPalette(p);
        }
    } else if (watched == m_filter && isKey(event, Qt::Key_Return, Qt::NoModifier)) {
        m_grid->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

OpenItemWindowDecl OpostenDeclaration() {
    OpenItemWindowDecl d;
    d.formClass = u"TF_Oposten"_s;
    d.caption = u"Offene Posten"_s;
    d.right = 26;
    d.headTable = u"TabOposten"_s;
    d.paymentFile = u"OPZahl.db"_s;
    d.helpPage = u"Offene_Posten.html"_s;
    d.placementFile = kPlacementFile02;
    d.placementSection = u"Oposten"_s;
    d.emptyMessage = u"Es sind keine offenen Posten erfasst!"_s;
    d.logLine = u"Oposten IN"_s;
    d.columns = {{u"R_Nr"_s, u"Rechn.-Nr."_s, 11},
                 {u"R_DatumDruck"_s, u"Rech.-D."_s, 10},
                 {u"R_ANr"_s, u"Vorlage"_s, 7},
                 {u"R_ObjektNr"_s, u"O-Nr."_s, 6},
                 {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 20},
                 {u"R_KundenNr"_s, u"Kdnr."_s, 6},
                 {u"R_KMatch"_s, u"Kundenname"_s, 20},
                 {u"R_Brutto"_s, u"Brutto"_s, 11},
                 {u"O_ZahlSumme"_s, u"Bezahlt"_s, 11},
                 {u"O_OffenSumme"_s, u"Offen"_s, 11},
                 {u"O_Mahnungen"_s, u"Mahn"_s, 4}};
    d.paymentColumns = {{u"OZ_Datum"_s, u"Datum"_s, 10},
                        {u"OZ_Betrag"_s, u"Zahlbetrag"_s, 11},
                        {u"OZ_Comment"_s, u"Bemerkung"_s, 24}};
    d.filters = {u"Alle Rechnungen"_s,  u"Offene Rechnungen"_s, u"Erledigte Rechnungen"_s,
                 u"Aktuelles Objekt"_s, u"Aktueller Kunde"_s,   u"Aktueller Monat"_s};
    d.applyFilter = [](TF_Oposten& form, int mode, const QString& search) {
        Table& items = form.items();
        int objekt = 0, kunde = 0, monat = 0, jahr = 0;
        if (!items.isEmpty()) {
            objekt = FieldInt(items, u"R_ObjektNr"_s);
            kunde = FieldInt(items, u"R_KundenNr"_s);
            const QDate date = itemDate(items);
            if (date.isValid()) {
                monat = date.month();
                jahr = date.year();
            }
        }
        SetOpostenFilter(DataModule1(), mode, objekt, kunde, jahr, monat, form.sortColumn(),
                         search);
        return OpFilterCaption(mode, objekt, kunde, monat, jahr, search);
    };
    d.settledCaption = u"Erledigt / Restbetrag erlassen"_s;
    d.termFields = {{u"Fällig am"_s, u"R_FaelligDatum"_s},
                    {u"Skonto %"_s, u"R_ZahlBedSkonto"_s},
                    {u"Skonto Tage"_s, u"R_ZahlBedNettoTage"_s}};
    d.saldoNames = {u"lbObjektSaldo"_s, u"lbKundeSaldo"_s, u"lbGesamtSaldo"_s};
    d.saldoCaptions = {u"Objekt Saldo"_s, u"Kunde Saldo"_s, u"Gesamtsaldo"_s};
    d.saldoKeyFields = {u"R_ObjektNr"_s, u"R_KundenNr"_s};
    d.balances = [](Table& item) -> QList<double> {
        const TOpSalden s =
            CalcOpSalden(FieldInt(item, u"R_ObjektNr"_s), FieldInt(item, u"R_KundenNr"_s));
        return {s.Objekt, s.Kunde, s.Gesamt};
    };
    d.installPaymentRules = InstallPaymentRules;
    d.recalc = [](Table&) { RecalcOpItems(DataModule1()); };
    d.settleBefore = [](Table&) { return SettleOpItemsBefore(DataModule1()); };
    d.searchButton = true;
    d.changeAddress = true;
    d.dunning = true;
    d.paymentList = true;
    d.invoice = {10000, [](TF_Oposten& form, bool preview, const QString& layout) {
                     PrintInvoice(FieldInt(form.items(), u"R_ID"_s), false, preview, layout, &form);
                 }};
    d.list = {66000, [](TF_Oposten& form, bool preview, const QString& layout) {
                  PrintOpListe(preview, QString(), QString(), form.filterCaption(), layout, &form);
              }};
    d.payments = {67000, [](TF_Oposten& form, bool preview, const QString& layout) {
                      PrintOpZahlungen(preview, layout, &form);
                  }};
    d.statements.insert(3, {69000, [](TF_Oposten& form, bool preview, const QString& layout) {
                                PrintOpKontoObjekt(preview, QString(), form.filterCaption(), layout,
                                                   &form);
                            }});
    d.statements.insert(4, {68000, [](TF_Oposten& form, bool preview, const QString& layout) {
                                PrintOpKontoKunde(preview, QString(), form.filterCaption(), layout,
                                                  &form);
                            }});
    d.resetFilter = [] { SetOpostenFilter(DataModule1(), 0, 0, 0, 0, 0, 0, {}); };
    d.archiveMode = 2;
    d.archive = [](TF_Oposten& form) { form.archiveSettledItems(); };
    d.installHooks = [](const std::function<TF_Oposten*()>& shown) {
        OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
        hooks.opostenVisible = [shown] { return shown() && shown()->isVisible(); };
        hooks.opostenShowRecordPosition = [shown] {
            if (TF_Oposten* form = shown())
                form->showRecordPosition();
        };
        hooks.opostenUpdateSaldo = [shown] {
            if (TF_Oposten* form = shown())
                form->updateSaldo();
        };
    };
    d.removeHooks = [] {
        OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
        hooks.opostenVisible = nullptr;
        hooks.opostenShowRecordPosition = nullptr;
        hooks.opostenUpdateSaldo = nullptr;
    };
    return d;
}

void ShowOpenItemWindow(const OpenItemWindowDecl& decl) {
    TDataModule1& dm = DataModule1();
    Table& items = dm.table(decl.headTable);
    RgPrintSourceScope printSource(1);
    TablesOpenedHere opened({&items});
    // Closing the window shows every item again; the tables are still open here.
    struct FilterReset {
        const OpenItemWindowDecl& decl;
        ~FilterReset() {
            if (!decl.resetFilter)
                return;
            try {
                decl.resetFilter();
            } catch (...) {
                // The filter is reset before the refresh that failed.
            }
        }
    } filterReset{decl};
    if (items.isEmpty()) {
        ShowError(decl.emptyMessage);
        return;
    }
    QPointer<TF_Oposten> shown;
    struct HooksReset {
        const OpenItemWindowDecl& decl;
        ~HooksReset() {
            if (decl.removeHooks)
                decl.removeHooks();
        }
    } hooksReset{decl};
    ModuleForm module;
    module.applyRights = [](QDialog& form) { static_cast<TF_Oposten&>(form).applyRights(); };
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_Oposten>(decl, items, MainForm());
        PlaceBelowMainForm(form.get(), 0, 0, 0);
        shown = form.get();
        if (decl.installHooks)
            decl.installHooks([&shown]() -> TF_Oposten* { return shown.data(); });
        form->applyFilter(0);
        return form;
    };
    OpenModuleOn(dm, {}, module);
}

void ShowOpostenForm() {
    ShowOpenItemWindow(OpostenDeclaration());
}
