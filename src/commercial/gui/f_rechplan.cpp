#include "commercial/gui/f_rechplan.h"

#include "commercial/billing/recurringbilling.h"
#include "commercial/gui/f_createrg.h"
#include "core/data/datamodule.h"
#include "core/gui/mainform.h"
#include "core/gui/placement.h"
#include "masterdata/dialogs/choicecontrols.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "printing/gui/printbutton.h"
#include "printing/rechplanprint.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TF_Rechplan::TF_Rechplan(QWidget* parent) : QDialog(parent) {
    setObjectName(u"F_Rechplan"_s);
    setWindowTitle(u"Rechnungs-Vorschau"_s);
    m_table =
        std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), u"Rechplan.db"_s);
    m_table->open();
    m_source = new widgets::DataSource(*m_table, this);

    DBNavigator1 = MakeMoveNavigator(*m_source, this);
    DBNavigator1->setObjectName(u"DBNavigator1"_s);
    DBNavigator1->setButtonVisible(widgets::DbNavigator::Refresh, true);

    DBGrid1 = new widgets::DataGrid(*m_source, this);
    DBGrid1->setObjectName(u"DBGrid1"_s);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setColumns({{u"RP_LfdNr"_s, u"Nr."_s, 4},
                         {u"RP_ObjektNr"_s, u"Obj-Nr."_s, 6},
                         {u"RP_ObjMatch"_s, u"Objektbezeichnung"_s, 20},
                         {u"RP_ErstellDatum"_s, u"Erst-Datum"_s, 10},
                         {u"RP_RgDatum"_s, u"Rg.-Datum"_s, 10},
                         {u"RP_VonDatum"_s, u"Von Datum"_s, 10},
                         {u"RP_BisDatum"_s, u"Bis Datum"_s, 10},
                         {u"RP_FrmNr"_s, u"Vorlage"_s, 10},
                         {u"RP_SummeRG"_s, u"Summe R."_s, 9},
                         {u"RP_SummeLS"_s, u"Summe LS"_s, 9},
                         {u"RP_SummeGesamt"_s, u"Gesamt"_s, 9},
                         {u"RP_SummeBerechnet"_s, u"Berechnet"_s, 9},
                         {u"RP_SummeDiff"_s, u"Differenz"_s, 9}});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(u"Gewählte Rechnung erstellen"_s, this,
                          &TF_Rechplan::CreateSelectedInvoice);
    PopupMenu1->addAction(u"Abbrechen"_s);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });

    btnErzeugen = new QPushButton(u"Er&zeugen"_s, this);
    btnErzeugen->setObjectName(u"btnErzeugen"_s);
    btnVorschau = new QPushButton(u"&Vorschau"_s, this);
    btnVorschau->setObjectName(u"btnVorschau"_s);
    btnDrucken = new QPushButton(u"Dr&ucken"_s, this);
    btnDrucken->setObjectName(u"btnDrucken"_s);
    btnDrucken->setToolTip(u"Notiz ausdrucken"_s);
    MarkPreviewButton(btnVorschau);
    for (QPushButton* b : {btnVorschau, btnDrucken})
        connect(b, &QPushButton::clicked, this, &TF_Rechplan::printClicked);
    btnClose = new QPushButton(u"S&chließen"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    connect(btnErzeugen, &QPushButton::clicked, this, &TF_Rechplan::btnErzeugenClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(DBNavigator1);
    top->addStretch(1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnErzeugen, btnVorschau, btnDrucken})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    resize(1180, 480);
    readPlanRange();
}

TF_Rechplan::~TF_Rechplan() {
    // The grid and its source go before the table they read.
    delete DBGrid1;
    delete DBNavigator1;
    delete m_source;
    m_table->close();
}

void TF_Rechplan::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceBelowMainForm(this, 0, 0, 0);
    DBGrid1->setFocus();
}

void TF_Rechplan::readPlanRange() {
    const QDate today = QDate::currentDate();
    m_from = m_to = today;
    if (m_table->isEmpty())
        return;
    m_table->last();
    m_from = m_table->field(u"RP_VonDatum"_s).asDateOr(today);
    m_to = m_table->field(u"RP_BisDatum"_s).asDateOr(today);
    m_table->first();
    DBGrid1->followCursor();
}

QString TF_Rechplan::titleText() const {
    const auto text = [](const QDate& d) { return d.toString(u"dd.MM.yyyy"_s); };
    return u"vom "_s + text(m_from) + u" bis "_s + text(m_to);
}

void TF_Rechplan::btnErzeugenClick() {
    btnErzeugen->setEnabled(false);
    // The table shows the new plan also when the run ended in an error.
    struct Afterwards {
        TF_Rechplan& form;
        ~Afterwards() {
            form.m_table->refresh();
            form.readPlanRange();
            QCoreApplication::processEvents();
            form.btnErzeugen->setEnabled(true);
        }
    } afterwards{*this};
    RunRecurringBilling(RecurringFillPlan);
}

void TF_Rechplan::printClicked() {
    auto* button = qobject_cast<QPushButton*>(sender());
    const QString title = titleText();
    PrintButtonClicked(button, {PrintVariant::A, 74000}, WindowPrintFormChoosers(this),
                       [this, title](bool preview, const QString& layout) {
                           PrintRechplan(preview, title, layout, this);
                       });
}

void TF_Rechplan::CreateSelectedInvoice() {
    table::Table& t = *m_table;
    const bool row = !t.isEmpty();
    const int objektNr = row ? t.field(u"RP_ObjektNr"_s).asIntegerOr(0) : 0;
    const QString rgvNr = row ? t.field(u"RP_FrmNr"_s).asStringOr({}) : QString();
    const QDate planDate = row ? t.field(u"RP_ErstellDatum"_s).asDateOr({}) : QDate();
    CreateSingleRecurringInvoice(DataModule1(), objektNr, rgvNr, planDate, QDate::currentDate());
}

void ShowRechplanForm() {
    TF_Rechplan form(MainForm());
    form.exec();
}
