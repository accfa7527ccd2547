#include "operations/gui/tf_zeiterfo.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "masterdata/gui/detailgridpage.h"
#include "operations/gui/monthyearbox.h"
#include "operations/gui/zeitartform.h"
#include "operations/gui/zeiterfparts.h"
#include "operations/gui/zeitsumpanel.h"
#include "operations/timerecordservice.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/printbutton.h"
#include "printing/zeitsumprints.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

const QString kZeitartKurz = u"ZeitartKurz"_s;
const QString kKosten = u"Kosten"_s;

// The short texts of the time types, read once: the records may lie in the
// archive database, which has no time-type table.
QHash<int, QString> zeitartTexts() {
    QHash<int, QString> texts;
    auto types = OpenTempTable(u"LumoDB"_s, u"Zeitart.DB"_s);
    for (types->first(); !types->eof(); types->next())
        texts.insert(FieldInt(*types, u"ZA_Type"_s), FieldText(*types, u"ZA_Kurztext"_s));
    return texts;
}

} // namespace

ZeiterfViewDecl ZeiterfODeclaration() {
    ZeiterfViewDecl d;
    d.master = TimeViewMaster::Objekt;
    d.objectName = u"TF_ZeiterfO"_s;
    d.caption = u"Arbeitszeit Objekte"_s;
    d.masterTable = u"Objekte.DB"_s;
    d.masterIndex = u"O_INr"_s;
    d.numberField = u"O_Nr"_s;
    d.matchField = u"O_Match"_s;
    d.numberTitle = u"ObjNr."_s;
    d.matchTitle = u"Objektbezeichnung"_s;
    d.recordIndex = u"I_ObjDatPers"_s;
    d.otherField = u"Z_PersNr"_s;
    d.otherTitle = u"Mitarbeiter"_s;
    d.detailGroup = u"Objekt"_s;
    d.listFormType = 60000;
    d.detailFormType = 61000;
    d.printList = &PrintZeitSumObjMonat;
    d.printDetail = &PrintZeitSumObjDetail;
    d.placementSection = u"ZeiterfO"_s;
    return d;
}

ZeiterfViewDecl ZeiterfPDeclaration() {
    ZeiterfViewDecl d;
    d.master = TimeViewMaster::Person;
    d.objectName = u"TF_ZeiterfP"_s;
    d.caption = u"Arbeitszeit Mitarbeiter"_s;
    d.masterTable = u"Personal.DB"_s;
    d.masterIndex = u"P_INr"_s;
    d.numberField = u"P_Nr"_s;
    d.matchField = u"P_Match"_s;
    d.numberTitle = u"P-Nr."_s;
    d.matchTitle = u"Mitarbeiter-Name"_s;
    d.recordIndex = u"I_PersDatObj"_s;
    d.otherField = u"Z_ObjNr"_s;
    d.otherTitle = u"Objekt"_s;
    d.detailGroup = u"Person"_s;
    d.listFormType = 62000;
    d.detailFormType = 63000;
    d.printList = &PrintZeitSumPersMonat;
    d.printDetail = &PrintZeitSumPersDetail;
    d.placementSection = u"ZeiterfP"_s;
    return d;
}

TF_ZeiterfO::TF_ZeiterfO(ZeiterfViewDecl decl, bool fromArchive, const QDate& today,
                         QWidget* parent)
    : QDialog(parent), m_decl(std::move(decl)),
      m_fromArchive(fromArchive), m_month{today.year(), today.month()} {
    setObjectName(m_decl.objectName);
    setWindowTitle(m_decl.caption);
    const std::shared_ptr<table::Database> lumo = table::aliases::database(u"LumoDB"_s);
    m_recordsDb = fromArchive ? table::aliases::database(u"AblageDB"_s) : lumo;
    m_sums = std::make_unique<MonthSumTable>(lumo);
    m_choosers = std::make_unique<PrintFormChoosers>(WindowPrintFormChoosers(this));

    m_masters = std::make_unique<table::Table>(lumo, m_decl.masterTable);
    m_masters->setReadOnly(true);
    m_masters->setIndexName(m_decl.masterIndex);
    m_masters->open();

    m_records = std::make_unique<table::Table>(m_recordsDb, u"Zeiterf.DB"_s);
    table::Table& t = *m_records;
    t.setReadOnly(true);
    t.addCalculatedField(kZeitartKurz, table::FieldType::String, 10);
    t.addCalculatedField(kKosten, table::FieldType::Currency);
    t.onCalcFields += [texts = zeitartTexts()](table::Table& r) {
        const table::Field& art = r.field(u"Z_Art"_s);
        r.field(kZeitartKurz)
            .setValue(art.isNull() ? QVariant() : QVariant(texts.value(art.asInteger())));
        // Not rounded, as the grid shows it; an empty rate costs nothing.
        r.field(kKosten).setValue(FieldFloat(r, u"Z_EkPreis"_s) * FieldFloat(r, u"Z_Stunden"_s));
    };
    ShowTwoDecimals(t.field(u"Z_Stunden"_s));
    t.setIndexName(m_decl.recordIndex);
    const QString recordField = TimeViewRecordField(m_decl.master);
    t.setMaster(m_masters.get(), {m_decl.numberField}, {recordField});
    t.setFilter(m_month.filter());
    t.setFiltered(true);
    t.open();

    m_masterSource = std::make_unique<widgets::DataSource>(*m_masters);
    m_masterSource->setRightsCheck([](widgets::EditAction) { return false; });
    m_timeSource = std::make_unique<widgets::DataSource>(t);
    m_timeSource->setRightsCheck([](widgets::EditAction) { return false; });
    FollowMasterRows(*m_timeSource, *m_masters, {m_decl.numberField}, {recordField});

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* monthLabel = new QLabel(u"Monat"_s, this);
    m_monthYear = new MonthYearBox(this);
    m_monthYear->setMonth(m_month.year, m_month.month);
    monthLabel->setBuddy(&m_monthYear->monthBox());
    connect(m_monthYear, &MonthYearBox::changed, this, [this] { monthChosen(); });
    for (QWidget* w : {static_cast<QWidget*>(&m_monthYear->monthBox()),
                       static_cast<QWidget*>(&m_monthYear->yearBox()),
                       static_cast<QWidget*>(m_monthYear->yearBox().findChild<QLineEdit*>())})
        if (w)
            w->installEventFilter(this);
    top->addWidget(monthLabel);
    top->addWidget(m_monthYear);
    top->addStretch();
    auto* info = MakeFormButton(this, u"sbtnInfo"_s, u"?Info?"_s);
    connect(info, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowHandbuchPage(u"zeiterfassung.html"_s); }); });
    top->addWidget(info);
    layout->addLayout(top);

    auto* middle = new QHBoxLayout;
    buildGrids(*middle);
    middle->addWidget(buildButtons());
    layout->addLayout(middle, 1);
    m_panel = new ZeitsumPanel(this);
    m_panel->setCaptionsFromZeitart();
    layout->addWidget(m_panel);

    connect(m_masterSource.get(), &widgets::DataSource::recordChanged, this,
            [this] { guarded(this, [this] { CalcMonthSum(); }); });
    connect(m_masterSource.get(), &widgets::DataSource::viewChanged, this,
            [this] { guarded(this, [this] { CalcMonthSum(); }); });

    new FormStorage(this, kPlacementFile03, m_decl.placementSection);
    resize(900, 560);
    widgets::KeepOnScreen(*this);
    CalcMonthSum();
}

TF_ZeiterfO::~TF_ZeiterfO() {
    // Grids before their sources, sources before their cursors.
    delete m_masterGrid;
    delete m_timeGrid;
    m_masterGrid = m_timeGrid = nullptr;
    m_timeSource.reset();
    m_masterSource.reset();
    m_records.reset();
    m_masters.reset();
}

void TF_ZeiterfO::buildGrids(QHBoxLayout& row) {
    m_masterGrid = new widgets::DataGrid(*m_masterSource, this);
    m_masterGrid->setObjectName(u"GridObjekt"_s);
    m_masterGrid->setColumns(
        {{m_decl.numberField, m_decl.numberTitle, 6}, {m_decl.matchField, m_decl.matchTitle, 20}});
    m_masterGrid->setFixedWidth(280);
    m_timeGrid = new widgets::DataGrid(*m_timeSource, this);
    m_timeGrid->setObjectName(u"GridZeit"_s);
    m_timeGrid->setColumns({{u"Z_Datum"_s, u"Datum"_s, 10},
                            {m_decl.otherField, m_decl.otherTitle, 8},
                            {u"Z_Stunden"_s, u"Stunden"_s, 8},
                            {kZeitartKurz, u"Art"_s, 8},
                            {kKosten, u"Kosten"_s, 10},
                            {u"Z_Text"_s, u"Text"_s, 24}});
    for (widgets::DataGrid* grid : {m_masterGrid, m_timeGrid}) {
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->installEventFilter(this);
        SetGridColor(*grid, palette().color(QPalette::Base));
        grid->gridModel().setMessageParent(this);
    }
    row.addWidget(m_masterGrid);
    row.addWidget(m_timeGrid, 1);
}

QWidget* TF_ZeiterfO::buildButtons() {
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    const auto group = [&](const QString& caption, const QString& printName,
                           const QString& previewName,
                           void (TF_ZeiterfO::*action)(QAbstractButton*)) {
        auto* box = new QGroupBox(caption, side);
        auto* buttons = new QVBoxLayout(box);
        buttons->setContentsMargins(6, 2, 6, 6);
        QPushButton* print = MakeFormButton(box, printName, u"Druck"_s);
        QPushButton* preview = MakeFormButton(box, previewName, u"Vorschau"_s);
        MarkPreviewButton(preview);
        for (QPushButton* b : {print, preview}) {
            connect(b, &QPushButton::clicked, this,
                    [this, b, action] { guarded(this, [&] { (this->*action)(b); }); });
            buttons->addWidget(b);
        }
        column->addWidget(box);
    };
    group(u"Liste"_s, u"sbtnPrintList"_s, u"sbtnPreviewList"_s, &TF_ZeiterfO::printList);
    group(m_decl.detailGroup, u"sbtnPrintObjekt"_s, u"sbtnPreviewObjekt"_s,
          &TF_ZeiterfO::printDetail);
    column->addStretch();
    auto* close = MakeFormButton(side, u"btnClose"_s, u"S&chließen"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(close);
    return side;
}

QPushButton* TF_ZeiterfO::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void TF_ZeiterfO::setPrintFormChoosers(const PrintFormChoosers& choosers) {
    *m_choosers = choosers;
}

void TF_ZeiterfO::ApplyRights() {
    const bool print = HasPrintRight(kZeiterfOverviewRight);
    button(u"sbtnPrintList"_s)->setVisible(print);
    button(u"sbtnPrintObjekt"_s)->setVisible(print);
}

int TF_ZeiterfO::currentNr() const {
    table::Table& m = *m_masters;
    return m.isOpen() && !m.isEmpty() ? FieldInt(m, m_decl.numberField) : 0;
}

void TF_ZeiterfO::monthChosen() {
    guarded(this, [this] { setMonth({m_monthYear->year(), m_monthYear->month()}); });
}

void TF_ZeiterfO::setMonth(const TimeViewMonth& month) {
    m_month = month;
    m_monthYear->setMonth(month.year, month.month);
    SetMonthFilter();
}

void TF_ZeiterfO::SetMonthFilter() {
    {
        widgets::ControlsDisabled quiet(*m_timeSource);
        m_records->setFilter(m_month.filter());
        m_records->first();
    }
    m_timeSource->notifyViewChanged();
    CalcMonthSum();
}

void TF_ZeiterfO::CalcMonthSum() {
    const int nr = currentNr();
    if (m_busy || nr == 0)
        return;
    const ZeitsumValues sums = PanelMonthSums(*m_recordsDb, m_decl.master, nr, m_month);
    m_sums->writeOnly(nr, m_month, sums);
    m_panel->showSums(sums);
}

void TF_ZeiterfO::printList(QAbstractButton* button) {
    m_busy = true;
    m_masterGrid->setUpdatesEnabled(false);
    // The one row of the selected master comes back on every way out.
    const auto restore = qScopeGuard([this] {
        m_busy = false;
        m_masterGrid->setUpdatesEnabled(true);
        guarded(this, [this] { CalcMonthSum(); });
    });
    BuildMonthList(*m_sums, *m_recordsDb, m_sums->database(), m_decl.master, m_month);
    PrintButtonClicked(button, {PrintVariant::A, m_decl.listFormType}, *m_choosers,
                       [&](bool preview, const QString& layout) {
                           m_decl.printList(m_sums->name(), m_month.text(), preview, layout, this);
                       });
}

void TF_ZeiterfO::printDetail(QAbstractButton* button) {
    const int nr = currentNr();
    const QString filter = TimeViewRecordField(m_decl.master) + u"="_s + QString::number(nr) +
                           u" AND "_s + m_month.filter();
    const QString name =
        m_masters->isEmpty() ? QString() : FieldText(*m_masters, m_decl.matchField);
    PrintButtonClicked(button, {PrintVariant::A, m_decl.detailFormType}, *m_choosers,
                       [&](bool preview, const QString& layout) {
                           m_decl.printDetail(m_sums->name(), m_month.text(), filter,
                                              QString::number(nr), name, m_fromArchive, preview,
                                              layout, this);
                       });
}

bool TF_ZeiterfO::eventFilter(QObject* watched, QEvent* event) {
    const bool master = watched == m_masterGrid;
    const bool time = watched == m_timeGrid;
    const bool monthOrYear = !master && !time;
    QWidget* target = nullptr;
    if (IsKeyPress(event, Qt::Key_PageUp, Qt::ControlModifier))
        target = time     ? static_cast<QWidget*>(m_masterGrid)
                 : master ? static_cast<QWidget*>(&m_monthYear->monthBox())
                          : m_timeGrid;
    else if (IsKeyPress(event, Qt::Key_PageDown, Qt::ControlModifier))
        target = time     ? static_cast<QWidget*>(&m_monthYear->monthBox())
                 : master ? static_cast<QWidget*>(m_timeGrid)
                          : m_masterGrid;
    if (target) {
        target->setFocus();
        return true;
    }
    if (!monthOrYear) {
        ShowGridFocus(*static_cast<widgets::DataGrid*>(watched), event);
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

void showView(ZeiterfViewDecl decl, bool fromArchive) {
    ModuleForm module;
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form =
            std::make_unique<TF_ZeiterfO>(decl, fromArchive, QDate::currentDate(), MainForm());
        PlaceBelowMainForm(form.get(), 0, 0, 0);
        return form;
    };
    module.applyRights = [](QDialog& form) { static_cast<TF_ZeiterfO&>(form).ApplyRights(); };
    OpenModuleOn(DataModule1(), {}, module);
}

} // namespace

void ShowZeiterfOForm(bool fromArchive) {
    showView(ZeiterfODeclaration(), fromArchive);
}

void ShowZeiterfPForm(bool fromArchive) {
    showView(ZeiterfPDeclaration(), fromArchive);
}
