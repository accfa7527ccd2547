#include "commercial/gui/tf_oposten.h"

#include "commercial/accounts/dunning.h"
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
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/gridsearch.h"
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
    InstallPaymentRules(*m_payments, m_items);
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

    m_filter = new QComboBox(this);
    m_filter->setObjectName(u"cbSelectRgState"_s);
    m_filter->addItems(m_decl.filters);
    m_filter->installEventFilter(this);
    connect(m_filter, &QComboBox::activated, this, [this](int mode) { applyFilter(mode); });
    row->addWidget(m_filter);
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
    const struct {
        const char* caption;
        const char* field;
    } termFields[] = {{"Fällig am", "R_FaelligDatum"},
                      {"Skonto %", "R_ZahlBedSkonto"},
                      {"Skonto Tage", "R_ZahlBedNettoTage"}};
    int r = 0;
    for (const auto& f : termFields) {
        auto* edit = new widgets::DbEdit(*m_itemSource, QString::fromLatin1(f.field), side);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        terms->addWidget(new QLabel(QString::fromUtf8(f.caption), side), r, 0);
        terms->addWidget(edit, r, 1);
        ++r;
    }
    sideLayout->addLayout(terms);
    auto* saldi = new QGridLayout;
    const char* const saldoNames[] = {"lbObjektSaldo", "lbKundeSaldo", "lbGesamtSaldo"};
    for (int i = 0; i < 3; ++i) {
        auto* value = new QLabel(side);
        value->setObjectName(QString::fromLatin1(saldoNames[i]));
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
    auto* settle = addButton(u"btnErledigen"_s, u"Erledigen"_s, [this] { settleClicked(); });
    settle->setVisible(ServiceMode);
    row->addWidget(settle);
    row->addWidget(addButton(u"Button1"_s, u"Ändern"_s, [this] { changeAddressClicked(); }));
    row->addWidget(addButton(u"btnMahnung"_s, u"Mahnen"_s, [this] { dunningClicked(); }));
    row->addSpacing(8);
    row->addWidget(addPrintGroup(u"Rechnung"_s, u"sbtnPrintRg"_s, u"sbtnRgPreview"_s, u"Vorschau"_s,
                                 [this](bool p) { invoiceCopy(p); }));
    row->addWidget(addPrintGroup(u"OP-Liste"_s, u"sbtnPrint"_s, u"sbtnPreview"_s, u"Vorsc&hau"_s,
                                 [this](bool p) { printOpList(p); }));
    row->addWidget(addPrintGroup(u"Zahlung"_s, u"sbtnPrintZahlung"_s, u"sbtnPreviewZahlung"_s,
                                 u"Vorschau"_s, [this](bool p) { printPayments(p); }));
    m_statementGroup = addPrintGroup(u"Kto-Ausz."_s, u"sbtnPrintKtoAusz"_s, u"sbtnPreviewKtoAusz"_s,
                                     u"Vorschau"_s, [this](bool p) { printStatement(p); });
    m_statementGroup->hide();
    row->addWidget(m_statementGroup);
    row->addStretch();
    row->addWidget(addButton(u"btnClose"_s, u"S&chließen"_s, [this] { reject(); }));
    layout.addLayout(row);
}

void TF_Oposten::buildMenus() {
    m_itemMenu = new QMenu(this);
    m_itemMenu->addAction(u"Mahnstatus verringern"_s, this,
                          [this] { run([this] { changeDunningLevel(-1); }); });
    m_itemMenu->addAction(u"Mahnstatus erhöhen"_s, this,
                          [this] { run([this] { changeDunningLevel(1); }); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_itemMenu->exec(m_grid->viewport()->mapToGlobal(at)); });
    m_paymentMenu = new QMenu(this);
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
            button(QString::fromLatin1(name))->hide();
    m_mayEdit = HasEditRight(right);
    if (!m_mayEdit) {
        DataModule1().SetTableReadOnly(*m_payments, true);
        m_settled->setEnabled(false);
        button(u"BitBtnRecalc"_s)->hide();
    }
    m_mayExport = HasExportRight(right);
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
    button(u"btnSuchen"_s)->setEnabled(column == 3 || column == 5);
    m_statementGroup->setVisible(m_decl.statementModes.contains(m_mode));
    button(u"sbtnAuslag"_s)
        ? button(u"sbtnAuslag"_s)->setEnabled(m_mode == m_decl.archiveMode && m_mayExport)
        : void();
}

void TF_Oposten::showEvent(QShowEvent* event) {
    widgets::FitToScreen(*this);
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    WriteLog(u"Oposten IN"_s);
    run([this] {
        if (sortColumn() < 0 && !m_sortField.isEmpty()) {
            const int column = m_grid->gridModel().columnOf(m_sortField);
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

void TF_Oposten::showRecordPosition() {
    if (!m_items.isOpen())
        return;
    label(u"lbRecCount"_s)->setText(positionText(u"Datensätze:"_s, m_items.recordCount()));
    label(u"lbRecNo"_s)->setText(positionText(u"Satznummer:"_s, m_items.recNo()));
}

void TF_Oposten::showBalances(double objekt, double kunde, double gesamt) {
    label(u"lbObjektSaldo"_s)->setText(OpSaldoText(objekt));
    label(u"lbKundeSaldo"_s)->setText(OpSaldoText(kunde));
    label(u"lbGesamtSaldo"_s)->setText(OpSaldoText(gesamt));
}

void TF_Oposten::updateSaldo(bool force) {
    if (!m_items.isOpen() || m_items.isEmpty())
        return;
    const int objekt = FieldInt(m_items, u"R_ObjektNr"_s);
    const int kunde = FieldInt(m_items, u"R_KundenNr"_s);
    if (!force && m_saldoShown && objekt == m_saldoObjekt && kunde == m_saldoKunde)
        return;
    m_saldoObjekt = objekt;
    m_saldoKunde = kunde;
    m_saldoShown = true;
    const TOpSalden s = CalcOpSalden(objekt, kunde);
    showBalances(s.Objekt, s.Kunde, s.Gesamt);
}

void TF_Oposten::applyFilter(int mode) {
    int objekt = 0, kunde = 0, monat = 0, jahr = 0;
    if (!m_items.isEmpty()) {
        objekt = FieldInt(m_items, u"R_ObjektNr"_s);
        kunde = FieldInt(m_items, u"R_KundenNr"_s);
        const QDate date = itemDate(m_items);
        if (date.isValid()) {
            monat = date.month();
            jahr = date.year();
        }
    }
    const QString search = mode == 99 ? m_searchText.toUpper() : QString();
    SetOpostenFilter(DataModule1(), mode, objekt, kunde, jahr, monat, sortColumn(), search);
    m_mode = mode;
    m_filterCaption = OpFilterCaption(mode, objekt, kunde, monat, jahr, search);
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
        RecalcOpItems(DataModule1());
    }
    m_payments->refresh();
    showRecordPosition();
    updateSaldo(true);
}

void TF_Oposten::settleClicked() {
    {
        widgets::TableControlsDisabled quiet(m_items);
        if (!SettleOpItemsBefore(DataModule1()))
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
    if (m_items.isEmpty())
        return;
    auto* pressed = qobject_cast<QAbstractButton*>(sender());
    if (!pressed)
        pressed = button(preview ? u"sbtnRgPreview"_s : u"sbtnPrintRg"_s);
    table::Field& formNo = m_items.field(u"R_PrintFormNo"_s);
    const int id = FieldInt(m_items, u"R_ID"_s);
    PrintButtonClicked(
        pressed, {PrintVariant::D, 10000, GetFieldIntOrDefault(&formNo, 0)},
        WindowPrintFormChoosers(this, pressed, &formNo),
        [this, id](bool p, const QString& layout) { PrintInvoice(id, false, p, layout, this); });
}

void TF_Oposten::printOpList(bool preview) {
    auto* pressed = button(preview ? u"sbtnPreview"_s : u"sbtnPrint"_s);
    PrintButtonClicked(pressed, {PrintVariant::A, 66000}, WindowPrintFormChoosers(this),
                       [this](bool p, const QString& layout) {
                           PrintOpListe(p, QString(), QString(), m_filterCaption, layout, this);
                       });
}

void TF_Oposten::printPayments(bool preview) {
    if (m_items.isEmpty())
        return;
    auto* pressed = button(preview ? u"sbtnPreviewZahlung"_s : u"sbtnPrintZahlung"_s);
    PrintButtonClicked(
        pressed, {PrintVariant::A, 67000}, WindowPrintFormChoosers(this),
        [this](bool p, const QString& layout) { PrintOpZahlungen(p, layout, this); });
}

void TF_Oposten::printStatement(bool preview) {
    if (m_items.isEmpty() || !m_decl.statementModes.contains(m_mode))
        return;
    auto* pressed = button(preview ? u"sbtnPreviewKtoAusz"_s : u"sbtnPrintKtoAusz"_s);
    const bool object = m_mode == 3;
    PrintButtonClicked(pressed, {PrintVariant::A, object ? 69000 : 68000},
                       WindowPrintFormChoosers(this),
                       [this, object](bool p, const QString& layout) {
                           if (object)
                               PrintOpKontoObjekt(p, QString(), m_filterCaption, layout, this);
                           else
                               PrintOpKontoKunde(p, QString(), m_filterCaption, layout, this);
                       });
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
                button(u"btnMahnung"_s)->setFocus();
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
    d.settledCaption = u"Erledigt / Restbetrag erlassen"_s;
    d.saldoCaptions = {u"Objekt Saldo"_s, u"Kunde Saldo"_s, u"Gesamtsaldo"_s};
    d.statementModes = {3, 4};
    d.archiveMode = 2;
    return d;
}

void ShowOpostenForm() {
    TDataModule1& dm = DataModule1();
    const OpenItemWindowDecl decl = OpostenDeclaration();
    Table& items = dm.table(decl.headTable);
    RgPrintSourceScope printSource(1);
    TablesOpenedHere opened({&items});
    // Closing the window shows every item again; the tables are still open here.
    struct FilterReset {
        TDataModule1& dm;
        ~FilterReset() {
            try {
                SetOpostenFilter(dm, 0, 0, 0, 0, 0, 0, {});
            } catch (...) {
                // The filter record is reset before the refresh that failed.
            }
        }
    } filterReset{dm};
    if (items.isEmpty()) {
        ShowError(decl.emptyMessage);
        return;
    }
    QPointer<TF_Oposten> shown;
    struct HooksReset {
        ~HooksReset() {
            OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
            hooks.opostenVisible = nullptr;
            hooks.opostenShowRecordPosition = nullptr;
            hooks.opostenUpdateSaldo = nullptr;
        }
    } hooksReset;
    ModuleForm module;
    module.applyRights = [](QDialog& form) { static_cast<TF_Oposten&>(form).applyRights(); };
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_Oposten>(decl, items, MainForm());
        PlaceBelowMainForm(form.get(), 0, 0, 0);
        shown = form.get();
        OpenItemFormHooks& hooks = OpenItemFormHooksRegistry();
        hooks.opostenVisible = [&shown] { return shown && shown->isVisible(); };
        hooks.opostenShowRecordPosition = [&shown] {
            if (shown)
                shown->showRecordPosition();
        };
        hooks.opostenUpdateSaldo = [&shown] {
            if (shown)
                shown->updateSaldo();
        };
        form->applyFilter(0);
        return form;
    };
    OpenModuleOn(dm, {}, module);
}
