#include "commercial/gui/tf_bestvor.h"

#include "commercial/purchasing/besttools.h"
#include "commercial/purchasing/purchaseorders.h"
#include "commercial/purchasing/purchasingrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/datagui/gridservices.h"
#include "core/gui/mainform.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/values/money.h"
#include "core/values/orderquantity.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

constexpr int kRight = 57;
const QColor kOrange(255, 167, 79);
const QColor kGrey(224, 224, 224);

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The looked-up columns show the article's and the supplier's names.
class ProposalDelegate : public QStyledItemDelegate {
public:
    ProposalDelegate(widgets::DataGrid& grid, int nameColumn, int supplierColumn)
        : QStyledItemDelegate(&grid), m_grid(grid), m_nameColumn(nameColumn),
          m_supplierColumn(supplierColumn) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        widgets::RowReader& rows = m_grid.source().rows();
        if (index.row() >= rows.rowCount())
            return;
        if (index.column() == m_nameColumn)
            option->text = articleName(rows.value(index.row(), u"BV_ArtNr"_s).toString());
        else if (index.column() == m_supplierColumn)
            option->text = supplierMatch(rows.value(index.row(), u"BV_LiefNr"_s).toInt());
    }

private:
    QString articleName(const QString& artNo) const {
        auto it = m_names.constFind(artNo);
        if (it == m_names.constEnd())
            it = m_names.insert(artNo, LocateFieldValue(DataModule1().TabArtLU(),
                                                        {u"A_ArtNo"_s, u"A_ObjID"_s}, {artNo, 0},
                                                        u"A_Bezeich1"_s, true)
                                           .toString());
        return *it;
    }
    QString supplierMatch(int nr) const {
        if (nr == 0)
            return {};
        auto it = m_suppliers.constFind(nr);
        if (it == m_suppliers.constEnd()) {
            auto t = OpenTempTable(u"LumoDB"_s, u"Liefrnt.db"_s);
            it = m_suppliers.insert(nr, t->locate({u"K_Nr"_s}, {nr}) ? FieldText(*t, u"K_Match"_s)
                                                                     : QString());
        }
        return *it;
    }

    widgets::DataGrid& m_grid;
    int m_nameColumn;
    int m_supplierColumn;
    mutable QHash<QString, QString> m_names;
    mutable QHash<int, QString> m_suppliers;
};

// The objects by number and name; the central row as "Hauptlager".
class StockRowDelegate : public QStyledItemDelegate {
public:
    StockRowDelegate(widgets::DataGrid& grid, int nameColumn)
        : QStyledItemDelegate(&grid), m_grid(grid), m_nameColumn(nameColumn) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() != m_nameColumn && index.column() != m_nameColumn - 1)
            return;
        widgets::RowReader& rows = m_grid.source().rows();
        if (index.row() >= rows.rowCount())
            return;
        const int objId = rows.value(index.row(), u"BO_ObjID"_s).toInt();
        const int nr = objId == 0 ? 0 : GetObjektNrById(objId);
        if (index.column() == m_nameColumn)
            option->text = objId == 0 ? u"Hauptlager"_s : GetObjektMatchByNr(nr);
        else
            option->text = QString::number(nr);
    }

private:
    widgets::DataGrid& m_grid;
    int m_nameColumn;
};

QLineEdit* readOnlyBox(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

} // namespace

QBrush ProposalRowBrush(widgets::RowReader& rows, int row) {
    if (row >= rows.rowCount())
        return Qt::NoBrush;
    // Without supplier grey, whatever the quantities.
    if (rows.value(row, u"BV_LiefNr"_s).toInt() == 0)
        return kGrey;
    if (rows.value(row, u"BV_Vorschlag"_s).toDouble() >
        rows.value(row, u"BV_BestellMenge"_s).toDouble())
        return kOrange;
    return Qt::NoBrush;
}

void SetUpStockRowGrid(widgets::DataGrid& grid) {
    grid.setColumns({{u"BO_ObjID"_s, u"Obj.-Nr."_s, 7, true},
                     {u"BO_ObjID"_s, u"Objekt-Bezeichnung"_s, 20, true},
                     {u"BO_Istbestand"_s, u"Istbestand"_s, 8, true},
                     {u"BO_BestBestand"_s, u"Mind.-Best"_s, 8, true},
                     {u"BO_Sollbestand"_s, u"Sollbestand"_s, 8, true},
                     {u"BO_Vormerkung"_s, u"Vormerkung"_s, 8, true},
                     {u"BO_Tagbedarf"_s, u"Tagesbedarf"_s, 8, true},
                     {u"BO_Vorschlag"_s, u"Vorschlag"_s, 8, true},
                     {u"BO_BestMenge"_s, u"Best.-Menge"_s, 8},
                     {u"BO_BestModus"_s, u"M"_s, 2, true}});
    grid.setItemDelegate(new StockRowDelegate(grid, 1));
}

TF_BestVor::TF_BestVor(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_BestVor"_s);
    setWindowTitle(u"Bestellvorschläge bearbeiten"_s);
    TDataModule1& dm = DataModule1();
    Table& liefArt = dm.TabLiefArt();
    if (!liefArt.isOpen()) {
        liefArt.open();
        m_openedLiefArt = true;
    }
    Table& proposals = dm.TabBvListe();
    if (!proposals.isOpen()) {
        proposals.open();
        m_openedProposals = true;
    }
    Table& stockRows = dm.TabBvObj();
    if (!stockRows.isOpen())
        stockRows.open();

    m_source = new widgets::DataSource(proposals, this);
    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setColumns({{u"BV_ArtNr"_s, u"Art.-Nr."_s, 10, true},
                        {u"BV_ArtNr"_s, u"Artikelbezeichnung"_s, 22, true},
                        {u"BV_LiefNr"_s, u"Lief.-Nr."_s, 7, true},
                        {u"BV_LiefNr"_s, u"Lieferant"_s, 14, true},
                        {u"BV_LiefArtNr"_s, u"Lief. Art.-Nr."_s, 10, true},
                        {u"BV_Istbestand"_s, u"Ist-Bestand"_s, 8, true},
                        {u"BV_Vorschlag"_s, u"Vorschlag"_s, 8, true},
                        {u"BV_BestellMenge"_s, u"Best.-Menge"_s, 8}});
    m_grid->setItemDelegate(new ProposalDelegate(*m_grid, 1, 3));
    m_grid->gridModel().setRowBrush(
        [this](int row) { return ProposalRowBrush(m_source->rows(), row); });
    m_source->setRightsCheck([](widgets::EditAction a) { return a == widgets::EditAction::Edit; });
    connect(m_grid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { gridDoubleClicked(index.column()); });
    connect(m_grid, &widgets::DataGrid::titleClicked, this,
            [this](int, const QString& field) { SortGridByField(field, *m_grid, false); });

    auto* details = new QGroupBox(this);
    details->setFixedWidth(300);
    auto* form = new QFormLayout(details);
    m_lieferant = readOnlyBox(details);
    m_ekPreis = readOnlyBox(details);
    m_posPreis = readOnlyBox(details);
    m_offen = readOnlyBox(details);
    m_limit = readOnlyBox(details);
    m_liefArtikel = readOnlyBox(details);
    m_lieferzeit = readOnlyBox(details);
    m_summeLieferant = readOnlyBox(details);
    m_summeGesamt = readOnlyBox(details);
    form->addRow(u"Lieferant"_s, m_lieferant);
    form->addRow(u"EK-Preis"_s, m_ekPreis);
    form->addRow(u"Positions-Preis"_s, m_posPreis);
    form->addRow(u"Offene Rechnungen"_s, m_offen);
    form->addRow(u"Kreditlimit"_s, m_limit);
    form->addRow(u"Lief.-Artikel"_s, m_liefArtikel);
    form->addRow(u"Lieferzeit Tage"_s, m_lieferzeit);
    form->addRow(u"Summe Lieferant"_s, m_summeLieferant);
    form->addRow(u"Summe gesamt"_s, m_summeGesamt);

    // The stock rows of the current proposal.
    m_objectPanel = new QGroupBox(this);
    m_objectPanel->setObjectName(u"PanelObjekte"_s);
    m_objectSource = new widgets::DataSource(stockRows, this);
    m_objectSource->setRightsCheck(
        [](widgets::EditAction a) { return a == widgets::EditAction::Edit; });
    m_objectGrid = new widgets::DataGrid(*m_objectSource, m_objectPanel);
    m_objectGrid->setObjectName(u"GridObjekte"_s);
    SetUpStockRowGrid(*m_objectGrid);
    m_objectGrid->installEventFilter(this);
    m_objectArtikel = new QLabel(m_objectPanel);
    m_gebinde = readOnlyBox(m_objectPanel);
    m_minMenge = readOnlyBox(m_objectPanel);
    auto* ok = new QPushButton(u"OK"_s, m_objectPanel);
    ok->setObjectName(u"btnObjOK"_s);
    connect(ok, &QPushButton::clicked, this, &TF_BestVor::closeObjects);
    auto* objectHead = new QHBoxLayout;
    objectHead->addWidget(new QLabel(u"Artikel"_s, m_objectPanel));
    objectHead->addWidget(m_objectArtikel, 1);
    objectHead->addWidget(new QLabel(u"Gebinde"_s, m_objectPanel));
    objectHead->addWidget(m_gebinde);
    objectHead->addWidget(new QLabel(u"Mindest-Bestellmenge"_s, m_objectPanel));
    objectHead->addWidget(m_minMenge);
    objectHead->addWidget(ok);
    auto* objectLayout = new QVBoxLayout(m_objectPanel);
    objectLayout->addLayout(objectHead);
    objectLayout->addWidget(m_objectGrid, 1);
    m_objectPanel->hide();

    auto button = [this](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    QPushButton* erzeugen = button(u"Er&zeugen"_s, u"btnErzeugen"_s);
    QPushButton* bestellen = button(u"Bestellen"_s, u"btnBestellen"_s);
    QPushButton* objekte = button(u"&Objekte"_s, u"btnObjekte"_s);
    QPushButton* info = button(u"&?Info?"_s, u"btnInfo"_s);
    QPushButton* close = button(u"S&chließen"_s, u"btnClose"_s);
    connect(erzeugen, &QPushButton::clicked, this, &TF_BestVor::createProposals);
    connect(bestellen, &QPushButton::clicked, this, &TF_BestVor::orderSupplier);
    connect(objekte, &QPushButton::clicked, this, &TF_BestVor::showObjects);
    connect(info, &QPushButton::clicked, this, [] { ShowHandbuchPage(u"bestellwesen.html"_s); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* upper = new QHBoxLayout;
    upper->addWidget(m_grid, 1);
    upper->addWidget(details);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {erzeugen, bestellen, objekte})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(info);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper, 3);
    layout->addWidget(m_objectPanel, 2);
    layout->addLayout(buttons);
    resize(1100, 620);

    PurchasingFormHooksRegistry().UpdateSums = [this] { updateSums(); };
    connect(m_source, &widgets::DataSource::recordChanged, this, [this] { showDetails(); });
    showDetails();
}

TF_BestVor::~TF_BestVor() {
    PurchasingFormHooksRegistry().UpdateSums = nullptr;
    TDataModule1& dm = DataModule1();
    // Grids and sources go before their tables close.
    delete m_objectGrid;
    delete m_grid;
    delete m_objectSource;
    delete m_source;
    try {
        if (m_openedProposals)
            dm.TabBvListe().close();
        if (m_openedLiefArt)
            dm.TabLiefArt().close();
    } catch (...) {
        // A close discards an unposted change and reports nothing else.
    }
}

void TF_BestVor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    PlaceBelowMainForm(this, 0, 0, 0);
    SortGridByField(u"BV_ArtNr"_s, *m_grid, true);
    m_grid->setFocus();
    updateSums();
}

bool TF_BestVor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_objectGrid) {
        if (event->type() == QEvent::FocusIn && !m_inObjects) {
            m_inObjects = true;
            DataModule1().SetBvObjInsertAllowed(false);
        } else if (event->type() == QEvent::FocusOut &&
                   !m_objectGrid->isAncestorOf(QApplication::focusWidget())) {
            leaveObjects();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_BestVor::gridDoubleClicked(int column) {
    if (column == 2)
        changeSupplier();
    else
        showObjects();
}

void TF_BestVor::showDetails() {
    Table& p = DataModule1().TabBvListe();
    const bool row = p.isOpen() && !p.isEmpty();
    m_ekPreis->setText(row ? FormatMoney(0, FieldFloat(p, u"BV_Lieferpreis"_s)) : QString());
    m_posPreis->setText(row ? FormatMoney(0, FieldFloat(p, u"BV_BestellWert"_s)) : QString());
    m_liefArtikel->setText(row ? FieldText(p, u"BV_LiefArtBezeich"_s) : QString());
    m_lieferzeit->setText(row ? QString::number(FieldInt(p, u"BV_Liefertage"_s)) : QString());
    m_gebinde->setText(row ? QString::number(FieldFloat(p, u"BV_VerpackMenge"_s)) : QString());
    m_minMenge->setText(row ? QString::number(FieldFloat(p, u"BV_MinBestMenge"_s)) : QString());
    const QString artNo = row ? FieldText(p, u"BV_ArtNr"_s) : QString();
    m_objectArtikel->setText(row ? artNo + u"  "_s +
                                       LocateFieldValue(DataModule1().TabArtLU(),
                                                        {u"A_ArtNo"_s, u"A_ObjID"_s}, {artNo, 0},
                                                        u"A_Bezeich1"_s, true)
                                           .toString()
                                 : QString());
}

void TF_BestVor::updateSums() {
    Table& p = DataModule1().TabBvListe();
    const int liefNr = p.isOpen() && !p.isEmpty() ? FieldInt(p, u"BV_LiefNr"_s) : 0;
    double gesamt = 0.0;
    double lieferant = 0.0;
    auto all = OpenTempTable(u"LumoDB"_s, u"BVliste.db"_s);
    for (all->first(); !all->eof() && !all->isEmpty(); all->next()) {
        const double wert = FieldFloat(*all, u"BV_BestellWert"_s);
        gesamt = RoundCents(gesamt + wert);
        if (FieldInt(*all, u"BV_LiefNr"_s) == liefNr)
            lieferant = RoundCents(lieferant + wert);
    }
    m_summeGesamt->setText(FormatMoney(0, gesamt));
    m_summeLieferant->setText(FormatMoney(0, lieferant));
    QString match, offen, limit;
    if (liefNr != 0) {
        auto suppliers = OpenTempTable(u"LumoDB"_s, u"Liefrnt.db"_s);
        if (suppliers->locate({u"K_Nr"_s}, {liefNr})) {
            match = FieldText(*suppliers, u"K_Match"_s);
            offen = FormatMoney(0, FieldFloat(*suppliers, u"K_Rechoffen"_s));
            limit = FormatMoney(0, FieldFloat(*suppliers, u"K_Kreditlimit"_s));
        }
    }
    m_lieferant->setText(match);
    m_offen->setText(offen);
    m_limit->setText(limit);
    showDetails();
}

QString TF_BestVor::sumGesamt() const {
    return m_summeGesamt->text();
}

QString TF_BestVor::sumLieferant() const {
    return m_summeLieferant->text();
}

void TF_BestVor::createProposals() {
    TDataModule1& dm = DataModule1();
    // Without the right nothing could be written: the old list stays.
    if (!CheckCreateRight(kRight))
        return;
    Table& proposals = dm.TabBvListe();
    if (!proposals.isEmpty() && !AskYesNo(u"Existierende Vorschlagsliste überschreiben?"_s))
        return;
    m_objectPanel->hide();
    ProposalRunResult run;
    {
        WaitCursor wait;
        run = CreateOrderProposals(dm, QDate::currentDate(), [] {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    m_source->refresh();
    proposals.first();
    updateSums();
    if (!run.duplicates.isEmpty())
        ShowError(u"Doppeleintrag!\r"_s + run.duplicates.join(u", "_s));
}

void TF_BestVor::orderSupplier() {
    TDataModule1& dm = DataModule1();
    Table& proposals = dm.TabBvListe();
    if (proposals.isEmpty())
        return;
    if (proposals.isEditing())
        proposals.post();
    const int liefNr = FieldInt(proposals, u"BV_LiefNr"_s);
    m_objectPanel->hide();
    OrderFromProposalsResult r;
    {
        WaitCursor wait;
        r = OrderProposalsOfSupplier(dm, liefNr);
    }
    m_source->refresh();
    updateSums();
    if (!r.failed.isEmpty())
        ShowError(u"Folgende Artikel konnten nicht bestellt werden:\r"_s + r.failed.join(u'\r'));
    else if (!r.orderNr.isEmpty())
        ShowInfo(
            u"Die Bestellung %1 wurde mit %2 Position(en) angelegt."_s.arg(r.orderNr).arg(r.lines));
}

void TF_BestVor::changeSupplier() {
    TDataModule1& dm = DataModule1();
    Table& p = dm.TabBvListe();
    if (p.isEmpty())
        return;
    const int current = FieldInt(p, u"BV_LiefNr"_s);
    const QPoint at = mapToGlobal(QPoint(200, 140));
    const int nr = SelectLieferant(current, 340, at.x(), at.y(), m_sortField);
    if (nr == 0)
        return;
    const int liefId = GetLieferantIdByNr(nr);
    const QString artNo = FieldText(p, u"BV_ArtNr"_s);
    const TLiefArtBestellDaten d = GetLiefArtBestellDaten(liefId, artNo);
    CancelEditOnError(p, [&] {
        if (!p.isEditing())
            p.edit();
        p.field(u"BV_LiefNr"_s).setValue(nr);
        p.field(u"BV_LiefArtNr"_s).setValue(d.liefArtNo);
        p.field(u"BV_LiefArtID"_s).setValue(GetLiefArtIdByArtNo(liefId, artNo));
        p.field(u"BV_LiefArtBezeich"_s).setValue(d.bezeichnung);
        p.field(u"BV_Liefertage"_s).setValue(d.lieferTage);
        p.field(u"BV_VerpackMenge"_s).setValue(d.packMenge);
        p.field(u"BV_MinBestMenge"_s).setValue(d.minMenge);
        p.field(u"BV_BestellMenge"_s)
            .setValue(CalcBestellMenge(d.minMenge, d.packMenge, FieldFloat(p, u"BV_Vorschlag"_s)));
        // Its change rule computes the value, posts and updates the sums.
        p.field(u"BV_Lieferpreis"_s).setValue(d.ekPreis);
        if (p.isEditing())
            p.post();
    });
    m_grid->viewport()->update();
    updateSums();
}

void TF_BestVor::showObjects() {
    if (DataModule1().TabBvListe().isEmpty())
        return;
    showDetails();
    m_objectPanel->show();
    m_objectGrid->selectField(u"BO_BestMenge"_s);
    m_objectGrid->setFocus();
}

void TF_BestVor::leaveObjects() {
    if (!m_inObjects)
        return;
    m_inObjects = false;
    m_objectGrid->commitEdit();
    Table& stockRows = DataModule1().TabBvObj();
    if (stockRows.isEditing())
        stockRows.post();
    if (!DataModule1().TabBvListe().isEmpty())
        UpdateBvListeFromObjects(DataModule1());
    updateSums();
}

void TF_BestVor::closeObjects() {
    leaveObjects();
    m_objectPanel->hide();
    m_grid->setFocus();
}

void ShowBestVorForm() {
    TF_BestVor form(MainForm());
    form.exec();
}
