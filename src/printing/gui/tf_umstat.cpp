#include "printing/gui/tf_umstat.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/mainform.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/values/datetext.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "platform/table/field.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/readonlylook.h"
#include "platform/widgets/rowreader.h"
#include "printing/gui/printbutton.h"
#include "printing/umsstatprint.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFormType = 47000;
const QString kArt = u"R_Art"_s;

struct WindowText {
    const char* objectName;
    QString title;
};

WindowText textOf(UmStatKind kind) {
    switch (kind) {
    case UmStatKind::Objekte:
        return {"TF_UmStatObj", u"Umsatzstatistik Objekte"_s};
    case UmStatKind::Kunden:
        return {"TF_UmStatKund", u"Umsatzstatistik Kunden"_s};
    case UmStatKind::Lieferanten:
        return {"TF_UmStatLief", u"Umsatzstatistik Lieferanten"_s};
    case UmStatKind::Gesamt:
        break;
    }
    return {"TF_UmStatGesamt", u"Umsatzstatistik gesamt"_s};
}

QList<widgets::GridColumn> listColumns(UmStatKind kind) {
    const widgets::GridColumn nummer{u"R_Nr"_s, u"Nummer"_s, 12};
    const widgets::GridColumn art{kArt, u"Art"_s, 4};
    const widgets::GridColumn datum{u"R_DatumDruck"_s, u"Datum"_s, 10};
    const widgets::GridColumn text{u"R_Buchtext"_s, u"Buchungstext"_s, 24};
    const widgets::GridColumn betrag{u"R_Brutto"_s, u"Betrag"_s, 12};
    switch (kind) {
    case UmStatKind::Kunden:
        return {{u"R_ObjektNr"_s, u"Obj-Nr."_s, 7}, nummer, art, datum, text, betrag};
    case UmStatKind::Gesamt:
        return {nummer,
                art,
                datum,
                {u"R_ObjektNr"_s, u"Obj-Nr"_s, 7},
                {u"R_OMatch"_s, u"Objektbezeichnung"_s, 20},
                {u"R_KundenNr"_s, u"Kd-Nr."_s, 7},
                {u"R_KMatch"_s, u"Kundenbezeichnung"_s, 20},
                text,
                betrag};
    case UmStatKind::Objekte:
    case UmStatKind::Lieferanten:
        break;
    }
    return {nummer, art, datum, text, betrag};
}

// Paints each list row in the colour of its record kind.
class KindColorDelegate : public QStyledItemDelegate {
public:
    KindColorDelegate(const TF_UmStat& form, widgets::DataSource& source, QObject* parent)
        : QStyledItemDelegate(parent), m_form(form), m_source(source) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() >= m_source.rows().rowCount())
            return;
        const QVariant kind = m_source.rows().value(index.row(), u"R_Satzart"_s);
        const QColor color = m_form.kindColor(kind.toInt());
        if (color.isValid()) {
            option->palette.setColor(QPalette::Text, color);
            option->palette.setColor(QPalette::HighlightedText, color);
        }
    }

private:
    const TF_UmStat& m_form;
    widgets::DataSource& m_source;
};

// The width that shows every column of a grid without scrolling sideways.
int fullWidth(const widgets::DataGrid& grid) {
    const int header = grid.verticalHeader()->isVisible() ? grid.verticalHeader()->width() : 0;
    return grid.horizontalHeader()->length() + header + 2 * grid.frameWidth() +
           grid.verticalScrollBar()->sizeHint().width();
}

QLineEdit* readOnlyEdit(QWidget* parent, const QString& name, int chars) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    widgets::ShowAsReadOnly(*edit);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(chars, u'0')) + 14);
    return edit;
}

} // namespace

TF_UmStat::TF_UmStat(UmStatKind kind, const QDate& today, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_range(UmStatMonthRange(today)),
      m_kinds(UmStatBoxKinds(kind)) {
    const WindowText text = textOf(kind);
    setObjectName(QString::fromLatin1(text.objectName));
    setWindowTitle(text.title);
    m_pickDate = [this](TDateTime& date) { return PickDateBeside(date, *this, 122, 128); };
    m_choosers = WindowPrintFormChoosers(this);

    m_work = std::make_unique<UmsatzWorkTable>();
    openList();
    openMaster();

    auto* layout = new QVBoxLayout(this);
    buildGrids();
    auto* grids = new QSplitter(Qt::Horizontal, this);
    if (m_masterGrid)
        grids->addWidget(m_masterGrid);
    grids->addWidget(m_listGrid);
    grids->setStretchFactor(grids->count() - 1, 1);
    if (m_masterGrid)
        grids->setSizes({fullWidth(*m_masterGrid), fullWidth(*m_listGrid)});
    layout->addWidget(grids, 1);
    layout->addWidget(buildBottom());
    showRange();
    m_key = currentKey();
    showKey();

    // The boxes start ticked without collecting per box; one collection follows.
    m_ready = true;
    if (m_kind != UmStatKind::Lieferanten)
        collect();
    const int gridsWidth = (m_masterGrid ? fullWidth(*m_masterGrid) + grids->handleWidth() : 0) +
                           fullWidth(*m_listGrid);
    resize(std::max(gridsWidth + layout->contentsMargins().left() * 2, 860), 560);
}

TF_UmStat::~TF_UmStat() {
    // Grids and data sources go before their cursors, the cursors before the table.
    delete m_listGrid;
    delete m_masterGrid;
    delete m_listSource;
    delete m_masterSource;
}

void TF_UmStat::openList() {
    m_list = std::make_unique<table::Table>(table::aliases::database(m_work->databaseName()),
                                            m_work->name());
    m_list->addCalculatedField(kArt, table::FieldType::String, 2);
    m_list->onCalcFields += [](table::Table& t) {
        t.field(kArt).setValue(UmStatSatzartName(t.field(u"R_Satzart"_s).asIntegerOr(-1)));
    };
    m_list->setReadOnly(true);
    m_list->setIndexName(UmStatIndexName(m_kind));
}

void TF_UmStat::openMaster() {
    switch (m_kind) {
    case UmStatKind::Objekte:
        m_master = OpenTempTable(u"LumoDB"_s, u"Objekte.DB"_s, u"O_INr"_s);
        m_master->setFilter(u"O_Aktiv="_s + QuotedFilterText(u"true"_s));
        m_master->setFiltered(true);
        break;
    case UmStatKind::Kunden:
        m_master = OpenTempTable(u"LumoDB"_s, u"Kunden.DB"_s, u"K_INr"_s);
        break;
    case UmStatKind::Lieferanten:
        m_master = OpenTempTable(u"LumoDB"_s, u"Liefrnt.DB"_s, u"K_INr"_s);
        break;
    case UmStatKind::Gesamt:
        return;
    }
    m_master->setReadOnly(true);
    m_master->first();
}

void TF_UmStat::buildGrids() {
    if (m_master) {
        m_masterSource = new widgets::DataSource(*m_master, this);
        m_masterGrid = new widgets::DataGrid(*m_masterSource, this);
        m_masterGrid->setObjectName(u"GridMaster"_s);
        const bool objects = m_kind == UmStatKind::Objekte;
        m_masterGrid->setColumns(
            {{objects ? u"O_Nr"_s : u"K_Nr"_s, objects ? u"Objekt-Nr."_s : u"Kunden-Nr."_s, 9},
             {objects ? u"O_Match"_s : u"K_Match"_s,
              objects ? u"Objektbezeichnung"_s : u"Kundenbezeichnung"_s, 26}});
        m_masterGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_masterGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
        connect(m_masterSource, &widgets::DataSource::recordChanged, this, &TF_UmStat::MasterMoved);
        connect(m_masterSource, &widgets::DataSource::viewChanged, this, &TF_UmStat::MasterMoved);
    }
    m_listSource = new widgets::DataSource(*m_list, this);
    m_listGrid = new widgets::DataGrid(*m_listSource, this);
    m_listGrid->setObjectName(u"GridList"_s);
    m_listGrid->setColumns(listColumns(m_kind));
    m_listGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listGrid->setItemDelegate(new KindColorDelegate(*this, *m_listSource, m_listGrid));
}

QWidget* TF_UmStat::buildBottom() {
    auto* bottom = new QWidget(this);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);

    auto* fields = new QGridLayout;
    m_von = readOnlyEdit(bottom, u"EditVon"_s, 10);
    m_bis = readOnlyEdit(bottom, u"EditBis"_s, 10);
    m_summe = readOnlyEdit(bottom, u"EditSumme"_s, 16);
    m_summe->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_summe->setFixedWidth(m_summe->fontMetrics().horizontalAdvance(QString(16, u'0')) + 14);
    for (QLineEdit* date : {m_von, m_bis}) {
        date->installEventFilter(this);
        widgets::ShowAsReadOnly(*date, u"Doppelklick öffnet den Kalender"_s);
    }
    m_summe->setToolTip(u"Die Summe der angezeigten Umsätze"_s);
    fields->addWidget(new QLabel(u"Von"_s, bottom), 0, 0);
    fields->addWidget(m_von, 0, 1);
    fields->addWidget(new QLabel(u"Bis"_s, bottom), 1, 0);
    fields->addWidget(m_bis, 1, 1);
    fields->addWidget(new QLabel(u"Summe"_s, bottom), 0, 2);
    fields->addWidget(m_summe, 0, 3);
    fields->setColumnMinimumWidth(2, 50);
    row->addLayout(fields);

    const QSet<int> offered = UmStatBoxKinds(m_kind);
    if (!offered.isEmpty()) {
        auto* group = new QGroupBox(u"Satzarten einbeziehen"_s, bottom);
        auto* boxes = new QVBoxLayout(group);
        const auto box = [&](int kind, const QString& caption, const QString& name) {
            if (!offered.contains(kind))
                return static_cast<QCheckBox*>(nullptr);
            auto* b = new QCheckBox(caption, group);
            b->setObjectName(name);
            b->setChecked(true);
            boxes->addWidget(b);
            connect(b, &QCheckBox::toggled, this, &TF_UmStat::BoxClick);
            return b;
        };
        m_boxAR = box(kSatzartAR, u"Ausgangsrechnungen"_s, u"CBAusgang"_s);
        m_boxGS = box(kSatzartGS, u"Gutschriften"_s, u"CBGutschrift"_s);
        m_boxER = box(kSatzartER, u"Eingangsrechnungen"_s, u"CBEingang"_s);
        row->addSpacing(16);
        row->addWidget(group);
    }
    row->addStretch(1);

    auto* buttons = new QGridLayout;
    const auto button = [&](const QString& caption, const QString& name, int r, int c) {
        auto* b = new QPushButton(caption, bottom);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b, r, c);
        return b;
    };
    m_btnPrint = button(u"Druck"_s, u"btnDruck"_s, 0, 0);
    m_btnPreview = button(u"Vorsc&hau"_s, u"btnVorschau"_s, 0, 1);
    m_btnClose = button(u"S&chließen"_s, u"btnClose"_s, 1, 0);
    m_btnInfo = button(u"&?Info?"_s, u"btnInfo"_s, 1, 1);
    MarkPreviewButton(m_btnPreview);
    connect(m_btnPrint, &QPushButton::clicked, this, [this] { PrintClick(m_btnPrint); });
    connect(m_btnPreview, &QPushButton::clicked, this, [this] { PrintClick(m_btnPreview); });
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnInfo, &QPushButton::clicked, this, &TF_UmStat::InfoClick);
    row->addLayout(buttons);
    return bottom;
}

QColor TF_UmStat::kindColor(int satzart) const {
    if (satzart == kSatzartGS && m_kind != UmStatKind::Lieferanten)
        return QColor(255, 0, 0);
    if (satzart == kSatzartER && m_kind == UmStatKind::Gesamt)
        return QColor(0, 255, 0);
    return {};
}

void TF_UmStat::showKey() {
    // The rows of the selected key; without a master row the list is closed
    // and shows nothing. A filter, unlike a range, carries over to the grid's reader.
    const QString keyField = UmStatKeyField(m_kind);
    if (!keyField.isEmpty() && !m_key) {
        m_list->close();
    } else {
        if (!keyField.isEmpty()) {
            m_list->setFilter(u"%1=%2"_s.arg(keyField).arg(*m_key));
            m_list->setFiltered(true);
        }
        if (m_list->isOpen())
            m_list->refresh();
        else
            m_list->open();
        m_list->first();
    }
    m_listSource->notifyViewChanged();
    m_summe->setText(UmsatzSummeText(UmsatzSumme(*m_work, m_kind, m_key)));
    m_btnPrint->setEnabled(m_list->isOpen());
    m_btnPreview->setEnabled(m_list->isOpen());
}

std::optional<int> TF_UmStat::currentKey() const {
    if (!m_master || !m_master->isOpen() || m_master->isEmpty())
        return std::nullopt;
    return m_master->field(m_kind == UmStatKind::Objekte ? u"O_Nr"_s : u"K_Nr"_s).asIntegerOr(0);
}

void TF_UmStat::MasterMoved() {
    const std::optional<int> key = currentKey();
    if (key == m_key)
        return;
    m_key = key;
    showKey();
}

void TF_UmStat::showRange() {
    m_von->setText(DateToStrDMY(m_range.from));
    m_bis->setText(DateToStrDMY(m_range.to));
}

void TF_UmStat::collect() {
    if (m_range.isEmpty()) {
        ShowError(u"Datumsbereich ist leer!"_s);
        return;
    }
    m_key = currentKey();
    CollectUmsatz(*m_work, {m_kind, m_range, m_kinds});
    showKey();
    m_collectOnActivate = true;
}

void TF_UmStat::pickBound(bool from) {
    TDateTime date = from ? m_range.from : m_range.to;
    if (!m_pickDate || !m_pickDate(date))
        return;
    UmStatRange range = m_range;
    (from ? range.from : range.to) = date;
    // An empty range changes nothing: the bound, the list and the sum stay.
    if (range.isEmpty()) {
        ShowError(u"Datumsbereich ist leer!"_s);
        return;
    }
    m_range = range;
    showRange();
    collect();
}

void TF_UmStat::VonDblClick() {
    pickBound(true);
}

void TF_UmStat::BisDblClick() {
    pickBound(false);
}

void TF_UmStat::BoxClick() {
    QSet<int> kinds;
    if (m_boxAR && m_boxAR->isChecked())
        kinds.insert(kSatzartAR);
    if (m_boxGS && m_boxGS->isChecked())
        kinds.insert(kSatzartGS);
    if (m_boxER && m_boxER->isChecked())
        kinds.insert(kSatzartER);
    m_kinds = kinds;
    if (m_ready)
        collect();
}

void TF_UmStat::FormActivate() {
    if (m_kind != UmStatKind::Lieferanten || !m_ready || !m_collectOnActivate)
        return;
    // The error box of a failed collection activates the window again when it
    // closes: after one failure only the user's own changes collect again.
    m_collectOnActivate = false;
    collect();
}

QString TF_UmStat::nameText() const {
    if (!m_master)
        return u"Alle Kunden/Objekte"_s;
    if (!m_master->isOpen() || m_master->isEmpty())
        return {};
    return m_master->field(m_kind == UmStatKind::Objekte ? u"O_Match"_s : u"K_Match"_s)
        .asStringOr(QString());
}

void TF_UmStat::PrintClick(QPushButton* button) {
    const QString keyText = m_master && m_key ? QString::number(*m_key) : QString();
    PrintButtonClicked(button, {PrintVariant::A, kFormType}, m_choosers,
                       [&](bool preview, const QString& layout) {
                           PrintUmsStat(m_work->name(), UmStatIndexName(m_kind), keyText,
                                        nameText(), m_von->text(), m_bis->text(), layout,
                                        m_kind == UmStatKind::Lieferanten, preview, this);
                       });
}

void TF_UmStat::InfoClick() {
    ShowHandbuchPage(u"statistiken.html"_s);
}

bool TF_UmStat::event(QEvent* event) {
    const bool result = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return result;
}

bool TF_UmStat::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && (watched == m_von || watched == m_bis)) {
        pickBound(watched == m_von);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

void showForm(UmStatKind kind) {
    ModuleForm module;
    module.build = [kind]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_UmStat>(kind, QDate::currentDate(), F_LumoMain);
        if (F_LumoMain)
            form->move(F_LumoMain->x(), F_LumoMain->y() + F_LumoMain->height());
        return form;
    };
    OpenModuleOn(DataModule1(), {}, module);
}

} // namespace

void ShowUmStatObjForm() {
    showForm(UmStatKind::Objekte);
}

void ShowUmStatKundForm() {
    showForm(UmStatKind::Kunden);
}

void ShowUmStatLiefForm() {
    showForm(UmStatKind::Lieferanten);
}

void ShowUmStatGesamtForm() {
    showForm(UmStatKind::Gesamt);
}
