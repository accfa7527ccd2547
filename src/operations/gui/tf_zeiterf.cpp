#include "operations/gui/tf_zeiterf.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/files/deleteguard.h"
#include "core/gui/formstorage.h"
#include "core/gui/mainform.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/selectrecord.h"
#include "masterdata/gui/detailgridpage.h"
#include "operations/dayrecords.h"
#include "operations/gui/zeitartform.h"
#include "operations/gui/zeiterfbuttons.h"
#include "operations/gui/zeiterfparts.h"
#include "operations/gui/zeitsumpanel.h"
#include "operations/timerecordservice.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/userprompts.h"

#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

const QString kArt = u"Z_Art"_s;
const QString kObjNr = u"Z_ObjNr"_s;
const QString kText = u"Z_Text"_s;
const QString kKostart = u"Z_Kostart"_s;
const QString kZeitartKurz = u"ZeitartKurz"_s;
const QString kObjektMatch = u"ObjektMatch"_s;

} // namespace

TF_Zeiterf::TF_Zeiterf(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_Zeiterf"_s);
    setWindowTitle(u"Arbeitszeit erfassen"_s);
    m_day = QDate::currentDate();
    TDataModule1& dm = DataModule1();

    m_records = std::make_unique<TimeRecordCursor>(TimeRecordOptions{[this] { return m_day; }});
    table::Table& t = m_records->table();
    AddDayRecordLookups(t);
    ShowTwoDecimals(t.field(u"Z_Stunden"_s));
    t.setIndexName(u"I_PersDatObj"_s);
    t.setMaster(&dm.TabPersonal(), {u"P_Nr"_s}, {u"Z_PersNr"_s});
    t.setFilter(u"Z_Datum="_s + m_day.toString(u"dd.MM.yyyy"_s));
    t.setFiltered(true);
    t.open();
    // Every change of the records shows in the sums and the week at once.
    for (auto* event : {&t.afterPost, &t.afterDelete})
        *event += [this](table::Table&) { UpdateSums(); };

    m_staffSource = std::make_unique<widgets::DataSource>(dm.TabPersonal());
    m_staffSource->setRightsCheck([](widgets::EditAction) { return false; });
    m_timeSource = std::make_unique<widgets::DataSource>(t);
    FollowMasterRows(*m_timeSource, dm.TabPersonal(), {u"P_Nr"_s}, {u"Z_PersNr"_s});
    m_timeSource->setRightsCheck([this](widgets::EditAction) { return m_editable; });
    m_timeSource->setDeleteGuard([] { ConfirmDelete(kZeiterfRight); });

    auto* layout = new QVBoxLayout(this);
    buildTop(*layout);
    buildGrids(*layout);
    buildSums(*layout);

    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { post(); });
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this), &QShortcut::activated,
            this, [this] { cancel(); });
    // The staff moves: his records, his month, his week.
    connect(m_staffSource.get(), &widgets::DataSource::recordChanged, this,
            [this] { guarded(this, [this] { UpdateSums(); }); });
    connect(m_staffSource.get(), &widgets::DataSource::viewChanged, this,
            [this] { guarded(this, [this] { UpdateSums(); }); });

    auto* storage = new FormStorage(this, kPlacementFile03, u"Zeiterfass"_s);
    storage->setStoredProperties(
        {u"GridZeiterf.Columns"_s, u"lbSortObj.Caption"_s, u"lbSortTaetig.Caption"_s});
    resize(1000, 600);
    SetFormDate(m_day);
    UpdateSums();
}

TF_Zeiterf::~TF_Zeiterf() {
    // The grids are bound to the data sources, the sources to the cursor.
    delete m_staffGrid;
    delete m_timeGrid;
    m_staffGrid = m_timeGrid = nullptr;
    m_timeSource.reset();
    m_staffSource.reset();
    m_records.reset();
}

void TF_Zeiterf::buildTop(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(u"Zeiterfassung für"_s, this);
    m_datePicker = MakeDayPicker(this);
    m_datePicker->installEventFilter(this);
    label->setBuddy(m_datePicker);
    connect(m_datePicker, &QDateEdit::dateChanged, this, [this](const QDate& day) {
        if (day != m_day)
            guarded(this, [&] { SetDayFilter(day); });
    });
    row->addWidget(label);
    row->addWidget(m_datePicker);

    auto* pers = MakeFormButton(this, u"BitBtn1"_s, u"Zeit Pers. (F4)"_s,
                                u"Arbeitszeit des Mitarbeiters aus den Tageslisten"_s);
    auto* all = MakeFormButton(this, u"BitBtn2"_s, u"Zeit alle (F5)"_s,
                               u"Arbeitszeit aller Mitarbeiter aus den Tageslisten"_s);
    connect(pers, &QPushButton::clicked, this, [this] { CreateDayRecordsPers(); });
    connect(all, &QPushButton::clicked, this, [this] { CreateDayRecordsAll(); });
    row->addWidget(pers);
    row->addWidget(all);

    auto* hours = new QGroupBox(u"Stundensumme"_s, this);
    auto* hoursRow = new QHBoxLayout(hours);
    hoursRow->setContentsMargins(6, 2, 6, 2);
    m_week = ReadOnlyNumberEdit(this, 10);
    m_week->setObjectName(u"edWoche"_s);
    m_dayHours = ReadOnlyNumberEdit(this, 10);
    m_dayHours->setObjectName(u"edTag"_s);
    hoursRow->addWidget(new QLabel(u"Woche"_s, hours));
    hoursRow->addWidget(m_week);
    hoursRow->addWidget(new QLabel(u"Tag"_s, hours));
    hoursRow->addWidget(m_dayHours);
    row->addWidget(hours);
    row->addStretch();

    auto* postButton =
        MakeFormButton(this, u"SpeedButton1"_s, u"Übernehmen"_s, u"Eingaben übernehmen (F10)"_s);
    auto* cancelButton =
        MakeFormButton(this, u"SpeedButton2"_s, u"Abbrechen"_s, u"Eingaben verwerfen (Alt+Rück)"_s);
    auto* info = MakeFormButton(this, u"sbtnInfo"_s, u"?Info?"_s);
    connect(postButton, &QPushButton::clicked, this, [this] { post(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    connect(info, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowHandbuchPage(u"zeiterfassung.html"_s); }); });
    row->addWidget(postButton);
    row->addWidget(cancelButton);
    row->addWidget(info);
    layout.addLayout(row);

    // The last sorts of the object and activity pickers, kept with the placement.
    m_sortObj = new QLabel(this);
    m_sortObj->setObjectName(u"lbSortObj"_s);
    m_sortObj->hide();
    m_sortTaetig = new QLabel(this);
    m_sortTaetig->setObjectName(u"lbSortTaetig"_s);
    m_sortTaetig->hide();
}

void TF_Zeiterf::buildGrids(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    m_staffGrid = MakeStaffGrid(*m_staffSource, this);
    m_timeGrid = new widgets::DataGrid(*m_timeSource, this);
    m_timeGrid->setObjectName(u"GridZeiterf"_s);
    m_timeGrid->setColumns(DayRecordColumns());
    for (widgets::DataGrid* grid : {m_staffGrid, m_timeGrid}) {
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
        SetGridColor(*grid, palette().color(QPalette::Base));
        grid->gridModel().setMessageParent(this);
    }
    m_menu = new QMenu(this);
    m_menu->addAction(u"Löschen"_s, this, [this] { deleteCurrent(); });
    m_menu->addAction(u"Abbrechen"_s, this, [] {});
    m_timeGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_timeGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_editable)
            m_menu->popup(m_timeGrid->viewport()->mapToGlobal(at));
    });
    row->addWidget(m_staffGrid);
    row->addWidget(m_timeGrid, 1);

    auto* side = new QVBoxLayout;
    auto* overview = new QGroupBox(u"Übersicht"_s, this);
    auto* overviewColumn = new QVBoxLayout(overview);
    overviewColumn->setContentsMargins(6, 2, 6, 6);
    const struct {
        const char16_t* name;
        const char16_t* caption;
        const char16_t* hint;
        std::function<void(TF_Zeiterf&)> ZeiterfButtonHooks::*hook;
        bool inOverview;
    } buttons[] = {
        {u"sbtnPrintObj", u"Objekte", u"Zeitdaten-Übersicht nach Objekten",
         &ZeiterfButtonHooks::objekte, true},
        {u"sbtnPrintPers", u"Mitarbeiter", u"Zeitdaten-Übersicht nach Mitarbeitern",
         &ZeiterfButtonHooks::mitarbeiter, true},
        {u"sbtnImport", u"Import 1", u"Zeitdaten nach Datum importieren",
         &ZeiterfButtonHooks::import1, false},
        {u"SpeedButton3", u"Import 2", u"Zeitdaten nach Wochentags-Schema importieren",
         &ZeiterfButtonHooks::import2, false},
        {u"sbtnAuslag", u"Auslagern", u"Zeitdaten in die Ablage verlegen",
         &ZeiterfButtonHooks::auslagern, false},
        {u"sbtnChipdrive", u"Chipdrive", u"Daten der externen Zeiterfassung einlesen",
         &ZeiterfButtonHooks::chipdrive, false},
    };
    side->addWidget(overview);
    for (const auto& b : buttons) {
        QWidget* owner = b.inOverview ? static_cast<QWidget*>(overview) : this;
        QPushButton* button =
            MakeFormButton(owner, QString::fromUtf16(b.name), QString::fromUtf16(b.caption),
                           QString::fromUtf16(b.hint));
        const auto hook = b.hook;
        // Live once the module behind it has registered its opener.
        button->setEnabled(bool(ZeiterfButtonHooksRegistry().*hook));
        connect(button, &QPushButton::clicked, this, [this, hook] { runHook(hook); });
        if (b.inOverview)
            overviewColumn->addWidget(button);
        else
            side->addWidget(button);
    }
    side->addStretch();
    auto* close = MakeFormButton(this, u"btnClose"_s, u"S&chließen"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    side->addWidget(close);
    row->addLayout(side);
    layout.addLayout(row, 1);
}

void TF_Zeiterf::buildSums(QVBoxLayout& layout) {
    m_sums = new ZeitsumPanel(this);
    m_sums->setCaptionsFromZeitart();
    layout.addWidget(m_sums);
}

QPushButton* TF_Zeiterf::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

QString TF_Zeiterf::sumCaption(int column) const {
    return m_sums->caption(column);
}
QString TF_Zeiterf::sumHoursText(int column) const {
    return m_sums->hoursText(column);
}
QString TF_Zeiterf::sumCostsText(int column) const {
    return m_sums->costsText(column);
}

void TF_Zeiterf::ApplyRights(int rightNr) {
    const bool overviews = HasViewRight(kZeiterfOverviewRight);
    button(u"sbtnPrintObj"_s)->setVisible(overviews);
    button(u"sbtnPrintPers"_s)->setVisible(overviews);
    if (auto* box = button(u"sbtnPrintObj"_s)->parentWidget(); box != this)
        box->setVisible(overviews);
    button(u"sbtnChipdrive"_s)->setVisible(HasViewRight(kChipdriveRight));
    m_editable = HasEditRight(rightNr);
    button(u"BitBtn1"_s)->setVisible(m_editable);
    m_timeSource->notifyViewChanged();
}

bool TF_Zeiterf::mayChange() const {
    return m_editable && m_records->table().isOpen();
}

void TF_Zeiterf::SetFormDate(const QDate& day) {
    m_day = day;
    const QSignalBlocker quiet(m_datePicker);
    m_datePicker->setDate(day);
}

void TF_Zeiterf::SetDayFilter(const QDate& day) {
    table::Table& t = m_records->table();
    m_timeGrid->commitEdit();
    try {
        if (t.isEditing())
            t.post();
    } catch (...) {
        // The day stays while its record cannot be posted.
        SetFormDate(m_day);
        throw;
    }
    SetFormDate(day);
    {
        widgets::ControlsDisabled quiet(*m_timeSource);
        t.setFilter(u"Z_Datum="_s + day.toString(u"dd.MM.yyyy"_s));
        t.first();
    }
    m_timeSource->notifyViewChanged();
    UpdateSums();
}

void TF_Zeiterf::UpdateSums() {
    if (!m_records)
        return;
    TimeRecordService& service = m_records->service();
    const int persNr = SelectedStaffNr();
    m_sums->showSums(service.monthSums(persNr, m_day));
    const WeekDayHours hours = service.weekDayHours(persNr, m_day);
    const auto show = [](QLineEdit& edit, double value, bool above) {
        edit.setText(WeekDayHoursText(value));
        QPalette p = edit.palette();
        p.setColor(QPalette::Text, above ? Qt::red : Qt::black);
        edit.setPalette(p);
    };
    show(*m_week, hours.week, persNr != 0 && hours.weekAboveLimit());
    show(*m_dayHours, hours.day, persNr != 0 && hours.dayAboveLimit());
}

void TF_Zeiterf::post() {
    guarded(this, [this] {
        m_timeGrid->commitEdit();
        table::Table& t = m_records->table();
        if (t.isEditing())
            t.post();
    });
}

void TF_Zeiterf::cancel() {
    guarded(this, [this] {
        table::Table& t = m_records->table();
        if (t.isEditing())
            t.cancel();
    });
}

void TF_Zeiterf::deleteCurrent() {
    guarded(this, [this] {
        table::Table& t = m_records->table();
        if (!mayChange() || (t.isEmpty() && !t.isEditing()))
            return;
        if (!AskYesNo(u"Möchten Sie den Datensatz löschen?"_s))
            return;
        t.deleteRecord();
    });
}

void TF_Zeiterf::enterTimeGrid() {
    guarded(this, [this] {
        table::Table& t = m_records->table();
        if (!mayChange() || SelectedStaffNr() == 0 || !t.isEmpty() || t.isEditing())
            return;
        // Only a user who may add records gets the new row at once.
        if (!HasCreateRight(kZeiterfRight))
            return;
        t.append();
        m_timeGrid->selectField(kZeitartKurz);
    });
}

void TF_Zeiterf::CreateDayRecordsPers() {
    guarded(this, [this] {
        if (!mayChange())
            return;
        post();
        if (m_records->table().isEditing())
            return;
        TimeRecordCursor writer;
        DayRecords dayRecords(writer);
        dayRecords.CreateDayRecords(SelectedStaffNr(), false, m_day);
    });
    m_timeSource->refresh();
    UpdateSums();
}

void TF_Zeiterf::CreateDayRecordsAll() {
    guarded(this, [this] {
        post();
        if (m_records->table().isEditing())
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        TimeRecordCursor writer;
        DayRecords dayRecords(writer);
        dayRecords.CreateDayRecordsForAll(m_day, [] { QCoreApplication::processEvents(); });
    });
    m_timeSource->refresh();
    UpdateSums();
}

void TF_Zeiterf::runHook(std::function<void(TF_Zeiterf&)> ZeiterfButtonHooks::*hook) {
    const auto& open = ZeiterfButtonHooksRegistry().*hook;
    if (!open)
        return;
    post();
    if (m_records->table().isEditing())
        return;
    guarded(this, [&] { open(*this); });
    // What the module wrote shows, also after it failed.
    guarded(this, [this] {
        m_records->table().refresh();
        SetDayFilter(m_datePicker->date());
    });
}

int TF_Zeiterf::PickZeitart(int start) {
    const LookupGrid grid{{{u"ZA_Type"_s, u"Typ"_s, 4},
                           {u"ZA_Kurztext"_s, u"Kurztext"_s, 10},
                           {u"ZA_Langtext"_s, u"Langtext"_s, 20}},
                          0,
                          240};
    QVariant type = start;
    QString sort;
    if (!SelectRecordUnfiltered(grid, u"ZA_Type"_s, type, x() + 40, y() + 240,
                                u"Zeitart auswählen"_s, u"LumoDB"_s, u"Zeitart.db"_s, sort))
        return 0;
    return type.toInt();
}

void TF_Zeiterf::chooseZeitart() {
    table::Table& t = m_records->table();
    const int start = FieldInt(t, kArt);
    const int type = PickZeitart(start);
    if (type == 0 || type == start)
        return;
    EnsureEditOrInsert(t);
    // The type's rule gives rate and cost type.
    t[kArt] = type;
}

void TF_Zeiterf::chooseObjekt() {
    table::Table& t = m_records->table();
    const int start = FieldInt(t, kObjNr);
    QString sort = m_sortObj->text();
    const int chosen = SelectObjekt(start, 320, x() + 200, y() + 200, sort);
    m_sortObj->setText(sort);
    if (chosen == start)
        return;
    EnsureEditOrInsert(t);
    t[kObjNr] = chosen;
}

void TF_Zeiterf::chooseTaetigkeit() {
    table::Table& t = m_records->table();
    QString sort = m_sortTaetig->text();
    const int id = SelectTaetigByID(0, 400, x() + 40, y() + 80, FieldText(t, kText), sort);
    m_sortTaetig->setText(sort);
    if (id == 0)
        return;
    auto activities = OpenTempTable(u"LumoDB"_s, u"Taetig.DB"_s);
    if (!activities->locate({u"T_ID"_s}, {id}))
        return;
    EnsureEditOrInsert(t);
    t[kText] = FieldText(*activities, u"T_Match"_s).left(40);
    t[kKostart] = FieldInt(*activities, u"T_KostArt"_s);
}

void TF_Zeiterf::chooseKostart() {
    table::Table& t = m_records->table();
    const int start = FieldInt(t, kKostart);
    const int chosen = SelectKostart(start, 280, x() + 250, y() + 140, u"A_Text"_s);
    if (chosen == 0 || chosen == start)
        return;
    EnsureEditOrInsert(t);
    t[kKostart] = chosen;
}

bool TF_Zeiterf::runColumnAction(const QString& field) {
    void (TF_Zeiterf::*action)() = nullptr;
    if (field == kObjNr || field == kObjektMatch)
        action = &TF_Zeiterf::chooseObjekt;
    else if (field == kText)
        action = &TF_Zeiterf::chooseTaetigkeit;
    else if (field == kKostart)
        action = &TF_Zeiterf::chooseKostart;
    else if (field == kZeitartKurz)
        action = &TF_Zeiterf::chooseZeitart;
    if (!action)
        return false;
    if (!mayChange() || SelectedStaffNr() == 0)
        return true;
    m_timeGrid->selectField(field);
    guarded(this, [&] { (this->*action)(); });
    m_timeSource->notifyRecordChanged();
    return true;
}

bool TF_Zeiterf::eventFilter(QObject* watched, QEvent* event) {
    const bool staff = watched == m_staffGrid;
    const bool time = watched == m_timeGrid;
    const bool picker = watched == m_datePicker;
    if (staff || time || picker) {
        if (IsKeyPress(event, Qt::Key_F4)) {
            if (m_editable)
                CreateDayRecordsPers();
            return true;
        }
        if (IsKeyPress(event, Qt::Key_F5)) {
            CreateDayRecordsAll();
            return true;
        }
        if (IsKeyPress(event, Qt::Key_PageDown, Qt::ControlModifier)) {
            if (time)
                m_datePicker->setFocus();
            else
                m_timeGrid->setFocus();
            return true;
        }
        if (IsKeyPress(event, Qt::Key_PageUp, Qt::ControlModifier) && !picker) {
            if (time)
                m_staffGrid->setFocus();
            else
                m_datePicker->setFocus();
            return true;
        }
    }
    if (staff || time) {
        ShowGridFocus(*static_cast<widgets::DataGrid*>(watched), event);
        if (time && event->type() == QEvent::FocusIn)
            enterTimeGrid();
    }
    if (time && IsKeyPress(event, Qt::Key_W, Qt::AltModifier))
        return runColumnAction(m_timeGrid->selectedField());
    if (watched == m_timeGrid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QModelIndex at =
            m_timeGrid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (at.isValid()) {
            const QString field = m_timeGrid->gridModel().fieldAt(at.column());
            m_timeGrid->setCurrentIndex(at);
            if (runColumnAction(field))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Zeiterf::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    fitOnScreen();
    m_staffGrid->setFocus();
}

void TF_Zeiterf::fitOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = frameGeometry();
    const int extraHeight = frame.height() - height();
    if (frame.height() > available.height())
        resize(width(), available.height() - extraHeight);
    frame = frameGeometry();
    if (frame.bottom() > available.bottom())
        move(x(), std::max(available.top(), available.bottom() - frame.height() + 1));
}

void ShowZeiterfForm() {
    TDataModule1& dm = DataModule1();
    const TimerWorkPause paused;
    const TablesOpenedHere opened({&dm.TabPersonal(), &dm.TabZeitart()});
    TF_Zeiterf form(MainForm());
    form.ApplyRights(kZeiterfRight);
    PlaceBelowMainForm(&form, 0, 0, 0);
    form.exec();
}
