#include "operations/gui/tf_kostsum.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "core/values/datetext.h"
#include "masterdata/gui/detailgridpage.h"
#include "operations/gui/monthyearbox.h"
#include "operations/gui/tf_choosekey.h"
#include "operations/gui/zeiterfparts.h"
#include "operations/overheaddistribution.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/printbutton.h"
#include "printing/kostsumprints.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

const QList<widgets::GridColumn> kMoneyColumns{{u"K_Zugang"_s, u"Zugang"_s, 11},
                                               {u"K_Bestand"_s, u"Bestand"_s, 11},
                                               {u"Diff"_s, u"Kosten Periode"_s, 12},
                                               {u"K_Erloes"_s, u"Erlöse"_s, 11},
                                               {u"Saldo"_s, u"Saldo"_s, 11}};
const widgets::GridColumn kObjektNr{u"K_ObjektNr"_s, u"Obj-Nr."_s, 7};
const widgets::GridColumn kObjektName{u"ObjektName"_s, u"Objekt-Bezeichnung"_s, 26};
const widgets::GridColumn kKostartNr{u"K_Kostart"_s, u"Kost-Nr."_s, 7};
const widgets::GridColumn kKostartName{u"KostartName"_s, u"Kostenart"_s, 26};

// Overhead cost types in green, as their "Kostenart" cells.
class KostartColorDelegate : public QStyledItemDelegate {
public:
    KostartColorDelegate(const TF_Kostsum& form, QObject* parent)
        : QStyledItemDelegate(parent), m_form(form) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const QColor color = m_form.kostartColor(index.row()); color.isValid())
            option->backgroundBrush = color;
    }

private:
    const TF_Kostsum& m_form;
};

} // namespace

KostsumViewDecl KostsumODeclaration() {
    KostsumViewDecl d;
    d.side = KostsumSide::Objekte;
    d.objectName = u"TF_KostsumO"_s;
    d.caption = u"Objektkosten"_s;
    d.headIndex = u"I_JMO"_s;
    d.detailIndex = u"I_JMOK"_s;
    d.link = {u"K_Jahr"_s, u"K_Monat"_s, u"K_ObjektNr"_s};
    d.keyField = u"K_ObjektNr"_s;
    d.headColumns = QList<widgets::GridColumn>{kObjektNr, kObjektName} + kMoneyColumns;
    d.detailColumns = QList<widgets::GridColumn>{kKostartNr, kKostartName} + kMoneyColumns;
    d.formType = 59000;
    d.print = &PrintKostSumObjekt;
    return d;
}

KostsumViewDecl KostsumKDeclaration() {
    KostsumViewDecl d;
    d.side = KostsumSide::Kostenarten;
    d.objectName = u"TF_KostsumK"_s;
    d.caption = u"Kostenarten-Übersicht"_s;
    d.headIndex = u"I_JMK"_s;
    d.detailIndex = u"I_JMKO"_s;
    d.link = {u"K_Jahr"_s, u"K_Monat"_s, u"K_Kostart"_s};
    d.keyField = u"K_Kostart"_s;
    d.headColumns = QList<widgets::GridColumn>{kKostartNr, kKostartName} + kMoneyColumns;
    d.detailColumns = QList<widgets::GridColumn>{kObjektNr, kObjektName} + kMoneyColumns;
    d.formType = 58000;
    d.print = &PrintKostSumKostart;
    d.distribution = true;
    return d;
}

TF_Kostsum::TF_Kostsum(KostsumViewDecl decl, const QDate& today, QWidget* parent)
    : QDialog(parent), m_decl(std::move(decl)),
      m_period(KostsumPeriod::monthOf(today.year(), today.month())) {
    setObjectName(m_decl.objectName);
    setWindowTitle(m_decl.caption);
    m_choosers = std::make_unique<PrintFormChoosers>(WindowPrintFormChoosers(this));
    m_chooseKey = [this] { return ChooseDistributionKey(this); };
    const std::shared_ptr<table::Database> lumo = table::aliases::database(u"LumoDB"_s);

    m_heads = std::make_unique<table::Table>(lumo, u"KostSumH.db"_s);
    m_details = std::make_unique<table::Table>(lumo, u"KostSumD.db"_s);
    for (table::Table* t : {m_heads.get(), m_details.get()}) {
        t->setReadOnly(true);
        AddKostsumFields(*t);
    }
    m_heads->setIndexName(m_decl.headIndex);
    m_heads->setFilter(m_period.headFilter(m_decl.side));
    m_heads->setFiltered(true);
    m_heads->open();
    m_details->setIndexName(m_decl.detailIndex);
    m_details->setMaster(m_heads.get(), m_decl.link, m_decl.link);
    m_details->open();
    {
        auto types = OpenTempTable(u"LumoDB"_s, u"Kostart.DB"_s);
        for (types->first(); !types->eof(); types->next())
            if (types->field(u"A_Personal"_s).asBooleanOr(false))
                m_overheadTypes.insert(FieldInt(*types, u"A_Nr"_s));
    }

    m_headSource = std::make_unique<widgets::DataSource>(*m_heads);
    m_detailSource = std::make_unique<widgets::DataSource>(*m_details);
    for (widgets::DataSource* s : {m_headSource.get(), m_detailSource.get()})
        s->setRightsCheck([](widgets::EditAction) { return false; });
    FollowMasterRows(*m_detailSource, *m_heads, m_decl.link, m_decl.link);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTop());
    auto* middle = new QHBoxLayout;
    auto* grids = new QSplitter(Qt::Vertical, this);
    m_headGrid = new widgets::DataGrid(*m_headSource, grids);
    m_headGrid->setObjectName(u"GridKostSumH"_s);
    m_headGrid->setColumns(m_decl.headColumns);
    m_detailGrid = new widgets::DataGrid(*m_detailSource, grids);
    m_detailGrid->setObjectName(u"GridKostSumD"_s);
    m_detailGrid->setColumns(m_decl.detailColumns);
    for (widgets::DataGrid* grid : {m_headGrid, m_detailGrid}) {
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->gridModel().setMessageParent(this);
    }
    if (m_decl.side == KostsumSide::Kostenarten)
        m_headGrid->setItemDelegateForColumn(m_headGrid->gridModel().columnOf(u"KostartName"_s),
                                             new KostartColorDelegate(*this, m_headGrid));
    grids->addWidget(m_headGrid);
    grids->addWidget(m_detailGrid);
    middle->addWidget(grids, 1);
    middle->addWidget(buildButtons());
    layout->addLayout(middle, 1);

    new FormStorage(this, kPlacementFile03, m_decl.objectName.mid(3));
    resize(900, 560);
    widgets::KeepOnScreen(*this);
}

TF_Kostsum::~TF_Kostsum() {
    delete m_headGrid;
    delete m_detailGrid;
    m_headGrid = m_detailGrid = nullptr;
    m_detailSource.reset();
    m_headSource.reset();
    m_details.reset();
    m_heads.reset();
}

QWidget* TF_Kostsum::buildTop() {
    auto* top = new QWidget(this);
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);
    auto* modes = new QButtonGroup(top);
    const struct {
        const char16_t* name;
        const char16_t* caption;
        KostsumMode mode;
    } buttons[] = {{u"btnMonat", u"&Monat", KostsumMode::Monat},
                   {u"btnJahr", u"&Jahr", KostsumMode::Jahr},
                   {u"btnGesamt", u"&Gesamt", KostsumMode::Gesamt}};
    for (const auto& b : buttons) {
        QPushButton* button =
            MakeFormButton(top, QString::fromUtf16(b.name), QString::fromUtf16(b.caption));
        button->setCheckable(true);
        button->setChecked(b.mode == KostsumMode::Monat);
        modes->addButton(button);
        const KostsumMode mode = b.mode;
        connect(button, &QPushButton::clicked, this,
                [this, mode] { guarded(this, [&] { setMode(mode); }); });
        row->addWidget(button);
    }
    row->addSpacing(12);
    m_monthYear = new MonthYearBox(top);
    m_monthYear->setMonth(m_period.year, m_period.month);
    connect(m_monthYear, &MonthYearBox::changed, this, [this] { periodChosen(); });
    row->addWidget(m_monthYear);
    row->addStretch();
    auto* info = MakeFormButton(top, u"SpeedButton1"_s, u"&?Info?"_s);
    connect(info, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowHandbuchPage(u"kostenkontrolle.html"_s); }); });
    row->addWidget(info);
    return top;
}

QWidget* TF_Kostsum::buildButtons() {
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    QPushButton* print = MakeFormButton(side, u"sbtnPrint"_s, u"Druck"_s);
    QPushButton* preview = MakeFormButton(side, u"sbtnPreview"_s, u"Vorsc&hau"_s);
    MarkPreviewButton(preview);
    for (QPushButton* b : {print, preview}) {
        connect(b, &QPushButton::clicked, this,
                [this, b] { guarded(this, [&] { PrintClick(b); }); });
        column->addWidget(b);
    }
    if (m_decl.distribution) {
        column->addSpacing(12);
        QPushButton* umlage = MakeFormButton(side, u"sbtnUmlage"_s, u"&GMK verteilen"_s);
        umlage->setToolTip(u"Die Gemeinkosten des Hauptlagers auf alle Objekte verteilen"_s);
        connect(umlage, &QPushButton::clicked, this, [this] { sbtnUmlageClick(); });
        column->addWidget(umlage);
    }
    column->addStretch();
    QPushButton* close = MakeFormButton(side, u"btnClose"_s, u"S&chließen"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(close);
    return side;
}

QPushButton* TF_Kostsum::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void TF_Kostsum::setPrintFormChoosers(const PrintFormChoosers& choosers) {
    *m_choosers = choosers;
}

QColor TF_Kostsum::kostartColor(int row) const {
    if (m_decl.side != KostsumSide::Kostenarten || row >= m_headSource->rows().rowCount())
        return {};
    const QVariant kostart = m_headSource->rows().value(row, u"K_Kostart"_s);
    return m_overheadTypes.contains(kostart.toInt()) ? QColor(0, 255, 0) : QColor();
}

void TF_Kostsum::setMode(KostsumMode mode) {
    if (auto* b = button(mode == KostsumMode::Monat  ? u"btnMonat"_s
                         : mode == KostsumMode::Jahr ? u"btnJahr"_s
                                                     : u"btnGesamt"_s))
        b->setChecked(true);
    m_monthYear->setMonthEnabled(mode == KostsumMode::Monat);
    m_monthYear->setYearEnabled(mode != KostsumMode::Gesamt);
    periodChosen();
}

void TF_Kostsum::periodChosen() {
    guarded(this, [this] {
        const KostsumMode mode = button(u"btnGesamt"_s)->isChecked() ? KostsumMode::Gesamt
                                 : button(u"btnJahr"_s)->isChecked() ? KostsumMode::Jahr
                                                                     : KostsumMode::Monat;
        switch (mode) {
        case KostsumMode::Monat:
            m_period = KostsumPeriod::monthOf(m_monthYear->year(), m_monthYear->month());
            break;
        case KostsumMode::Jahr:
            m_period = KostsumPeriod::yearOf(m_monthYear->year());
            break;
        case KostsumMode::Gesamt:
            m_period = KostsumPeriod::total();
            break;
        }
        applyPeriod();
    });
}

void TF_Kostsum::applyPeriod() {
    if (!m_heads->isOpen())
        return;
    const bool hadRow = !m_heads->isEmpty();
    const QVariant key = hadRow ? m_heads->field(m_decl.keyField).value() : QVariant();
    {
        widgets::ControlsDisabled quietHeads(*m_headSource);
        widgets::ControlsDisabled quietDetails(*m_detailSource);
        m_heads->setFilter(m_period.headFilter(m_decl.side));
        m_heads->first();
        if (hadRow)
            m_heads->locate({m_decl.keyField}, {key});
    }
    m_headSource->notifyViewChanged();
    m_detailSource->notifyViewChanged();
}

void TF_Kostsum::refreshTables() {
    guarded(this, [this] {
        m_heads->refresh();
        m_details->refresh();
        m_headSource->notifyViewChanged();
        m_detailSource->notifyViewChanged();
    });
}

void TF_Kostsum::PrintClick(QAbstractButton* button) {
    PrintButtonClicked(button, {PrintVariant::A, m_decl.formType}, *m_choosers,
                       [&](bool preview, const QString& layout) {
                           m_decl.print(m_heads->filter(), TodayStr(), m_period.text(), preview,
                                        layout, this);
                       });
}

void TF_Kostsum::sbtnUmlageClick() {
    // Both tables show what was booked, also after a failure.
    const auto refresh = qScopeGuard([this] { refreshTables(); });
    guarded(this, [this] {
        if (m_period.mode != KostsumMode::Monat || m_period.year == 0 || m_period.month == 0) {
            ShowError(u"Die Gemeinkostenverteilung kann nur in\rder Monatsansicht vorgenommen "
                      "werden!"_s);
            return;
        }
        if (m_heads->isEmpty())
            return;
        const int kostart = FieldInt(*m_heads, u"K_Kostart"_s);
        if (!m_overheadTypes.contains(kostart) &&
            !AskYesNo(u"Die gewählte Kostenart gehört nicht zu den Gemeinkosten.!\rSoll die "
                      "Kostenart dennoch auf alle Objekte verteilt werden?"_s))
            return;
        OverheadDistribution distribution(kostart, m_period.year, m_period.month);
        if (!distribution.readMainStore()) {
            ShowError(u"Der Eintrag wurde bereits verteilt oder auf\rdem Hauptlager sind keine "
                      "Kosten gebucht!"_s);
            return;
        }
        const int key = m_chooseKey();
        if (key < 0 || key >= int(DistributionKeyTexts().size()))
            return;
        if (!distribution.plan(DistributionKey(key))) {
            ShowError(u"Es konnte kein Verteil-Schlüssel errechnet werden!"_s);
            return;
        }
        distribution.book();
    });
}

namespace {

void showView(const KostsumViewDecl& decl) {
    ModuleForm module;
    module.build = [&]() -> std::unique_ptr<QDialog> {
        auto form = std::make_unique<TF_Kostsum>(decl, QDate::currentDate(), MainForm());
        if (QWidget* main = MainForm())
            form->move(main->x(), main->y() + main->frameGeometry().height());
        return form;
    };
    OpenModuleOn(DataModule1(), {}, module);
}

} // namespace

void ShowKostsumOForm() {
    showView(KostsumODeclaration());
}

void ShowKostsumKForm() {
    showView(KostsumKDeclaration());
}
