#include "operations/gui/tf_zeiterf1.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/formstorage.h"
#include "core/gui/mainform.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "masterdata/gui/detailgridpage.h"
#include "operations/archivedtimerecords.h"
#include "operations/gui/tf_zeiterfo.h"
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

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

TF_Zeiterf1::TF_Zeiterf1(const QDate& day, QWidget* parent) : QDialog(parent), m_day(day) {
    setObjectName(u"TF_Zeiterf1"_s);
    setWindowTitle(u"Arbeitszeit erfassen (Ablage)"_s);
    TDataModule1& dm = DataModule1();

    m_records =
        std::make_unique<table::Table>(table::aliases::database(u"AblageDB"_s), u"Zeiterf.DB"_s);
    table::Table& t = *m_records;
    t.setReadOnly(true);
    AddDayRecordLookups(t);
    ShowTwoDecimals(t.field(u"Z_Stunden"_s));
    t.setIndexName(u"I_PersDatObj"_s);
    t.setMaster(&dm.TabPersonal(), {u"P_Nr"_s}, {u"Z_PersNr"_s});
    t.setFilter(u"Z_Datum="_s + m_day.toString(u"dd.MM.yyyy"_s));
    t.setFiltered(true);
    t.open();

    m_staffSource = std::make_unique<widgets::DataSource>(dm.TabPersonal());
    m_staffSource->setRightsCheck([](widgets::EditAction) { return false; });
    m_timeSource = std::make_unique<widgets::DataSource>(t);
    m_timeSource->setRightsCheck([](widgets::EditAction) { return false; });
    FollowMasterRows(*m_timeSource, dm.TabPersonal(), {u"P_Nr"_s}, {u"Z_PersNr"_s});

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(u"Zeiterfassung für"_s, this);
    m_datePicker = MakeDayPicker(this);
    m_datePicker->setDate(m_day);
    m_datePicker->installEventFilter(this);
    label->setBuddy(m_datePicker);
    connect(m_datePicker, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (d != m_day)
            guarded(this, [&] { SetDayFilter(d); });
    });
    top->addWidget(label);
    top->addWidget(m_datePicker);
    top->addStretch();
    auto* info = MakeFormButton(this, u"sbtnInfo"_s, u"?Info?"_s);
    connect(info, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowHandbuchPage(u"zeiterfassung.html"_s); }); });
    top->addWidget(info);
    layout->addLayout(top);

    auto* row = new QHBoxLayout;
    m_staffGrid = MakeStaffGrid(*m_staffSource, this);
    m_timeGrid = new widgets::DataGrid(*m_timeSource, this);
    m_timeGrid->setObjectName(u"GridZeiterf"_s);
    m_timeGrid->setColumns(DayRecordColumns());
    m_timeGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (widgets::DataGrid* grid : {m_staffGrid, m_timeGrid}) {
        grid->installEventFilter(this);
        SetGridColor(*grid, palette().color(QPalette::Base));
        grid->gridModel().setMessageParent(this);
    }
    row->addWidget(m_staffGrid);
    row->addWidget(m_timeGrid, 1);

    auto* side = new QVBoxLayout;
    auto* overview = new QGroupBox(u"Übersicht"_s, this);
    auto* overviewColumn = new QVBoxLayout(overview);
    overviewColumn->setContentsMargins(6, 2, 6, 6);
    auto* objekte = MakeFormButton(overview, u"sbtnPrintObj"_s, u"Objekte"_s,
                                   u"Zeitdaten-Übersicht nach Objekten"_s);
    auto* mitarbeiter = MakeFormButton(overview, u"sbtnPrintPers"_s, u"Mitarbeiter"_s,
                                       u"Zeitdaten-Übersicht nach Mitarbeitern"_s);
    connect(objekte, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowZeiterfOForm(true); }); });
    connect(mitarbeiter, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowZeiterfPForm(true); }); });
    overviewColumn->addWidget(objekte);
    overviewColumn->addWidget(mitarbeiter);
    side->addWidget(overview);
    side->addStretch();
    auto* close = MakeFormButton(this, u"btnClose"_s, u"S&chließen"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    side->addWidget(close);
    row->addLayout(side);
    layout->addLayout(row, 1);

    m_sums = new ZeitsumPanel(this);
    m_sums->setCaptionsFromZeitart();
    layout->addWidget(m_sums);

    // The staff or the archived records move: that employee's month.
    for (widgets::DataSource* source : {m_staffSource.get(), m_timeSource.get()}) {
        connect(source, &widgets::DataSource::recordChanged, this,
                [this] { guarded(this, [this] { UpdateSums(); }); });
        connect(source, &widgets::DataSource::viewChanged, this,
                [this] { guarded(this, [this] { UpdateSums(); }); });
    }

    new FormStorage(this, kPlacementFile03, u"ZeiterfAblg"_s);
    // Every column of the day's records visible beside the staff and the buttons.
    setMinimumWidth(1100);
    resize(1100, 600);
    widgets::KeepOnScreen(*this);
    UpdateSums();
}

TF_Zeiterf1::~TF_Zeiterf1() {
    delete m_staffGrid;
    delete m_timeGrid;
    m_staffGrid = m_timeGrid = nullptr;
    m_timeSource.reset();
    m_staffSource.reset();
    m_records.reset();
}

QPushButton* TF_Zeiterf1::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void TF_Zeiterf1::SetDayFilter(const QDate& day) {
    m_day = day;
    {
        const QSignalBlocker quiet(m_datePicker);
        m_datePicker->setDate(day);
    }
    {
        widgets::ControlsDisabled quiet(*m_timeSource);
        m_records->setFilter(u"Z_Datum="_s + day.toString(u"dd.MM.yyyy"_s));
        m_records->first();
    }
    m_timeSource->notifyViewChanged();
    UpdateSums();
}

void TF_Zeiterf1::UpdateSums() {
    if (!m_sums)
        return;
    TimeRecordService service;
    m_sums->showSums(service.monthSums(SelectedStaffNr(), m_day));
}

bool TF_Zeiterf1::eventFilter(QObject* watched, QEvent* event) {
    const bool staff = watched == m_staffGrid;
    const bool time = watched == m_timeGrid;
    const bool picker = watched == m_datePicker;
    if (IsKeyPress(event, Qt::Key_PageDown, Qt::ControlModifier) && (staff || time || picker)) {
        if (time)
            m_datePicker->setFocus();
        else
            m_timeGrid->setFocus();
        return true;
    }
    if (IsKeyPress(event, Qt::Key_PageUp, Qt::ControlModifier) && (staff || time)) {
        if (time)
            m_staffGrid->setFocus();
        else
            m_datePicker->setFocus();
        return true;
    }
    if (staff || time) {
        ShowGridFocus(*static_cast<widgets::DataGrid*>(watched), event);
    }
    return QDialog::eventFilter(watched, event);
}

void ShowZeiterfAblageForm() {
    if (!ArchivedZeiterfExist()) {
        ShowError(u"Es sind keine Arbeitszeitdaten in der Datenablage vorhanden!"_s);
        return;
    }
    TDataModule1& dm = DataModule1();
    const TimerWorkPause paused;
    const TablesOpenedHere opened({&dm.TabPersonal(), &dm.TabZeitart()});
    TF_Zeiterf1 form(QDate::currentDate(), MainForm());
    PlaceBelowMainForm(&form, 0, 0, 0);
    form.exec();
}
