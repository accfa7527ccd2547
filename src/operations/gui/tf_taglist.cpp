#include "operations/gui/tf_taglist.h"

#include "commercial/documents/deliverynoteentries.h"
#include "core/data/appointmentrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "core/files/programdirs.h"
#include "core/gui/formstorage.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/settings/settingsfiles.h"
#include "core/values/calendar.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/dialogs/tf_rtfdlg.h"
#include "masterdata/dialogs/tf_seldaterange.h"
#include "masterdata/dialogs/tf_seltour.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/lookupfields.h"
#include "operations/dailylistedits.h"
#include "operations/dailylistformhooks.h"
#include "operations/dailylistgeneration.h"
#include "operations/dailylistprintdata.h"
#include "operations/gui/dailylistprintdialogs.h"
#include "operations/gui/zeiterfparts.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/dailylistprints.h"
#include "printing/documentprints.h"
#include "printing/gui/printbutton.h"
#include "printing/termprints.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

const QString kTourId = u"A_TourID"_s;
const QString kTourNr = u"A_TourNr"_s;
const QString kObjektNr = u"A_ObjektNr"_s;
const QString kTotId = u"A_TOTID"_s;
const QString kState = u"A_State"_s;
const QString kTitle = u"Neue Tour auswählen"_s;

TDataModule1& dm() {
    return DataModule1();
}
table::Table& tours() {
    return dm().TabTglTour();
}
table::Table& objects() {
    return dm().TabTglObjekt();
}
table::Table& activities() {
    return dm().TabTglTaetig();
}

bool hasRow(table::Table& t) {
    return t.isOpen() && !t.isEmpty();
}

QString dayText(const QDate& d) {
    return DateToStrDMY(DateTimeOfDate(d));
}

// A form file named without a folder lies in the client's form folder.
QString formFilePath(const QString& name) {
    if (name.isEmpty() || QFileInfo(name).isAbsolute())
        return name;
    return QDir(FormDir).filePath(name);
}

// The name kept in A_Param: without the folder when it is the form folder.
QString formFileName(const QString& path) {
    const QFileInfo info(path);
    return QDir(info.absolutePath()) == QDir(FormDir) ? info.fileName() : path;
}

} // namespace

TF_Taglist::TF_Taglist(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_Taglist"_s);
    setWindowTitle(u"Tageslisten"_s);
    m_day = DailyListToday();

    table::Table& a = activities();
    AddLookupFields(a, {{u"AStatusName"_s, table::FieldType::String, 20, kState, u"TgLStat.DB"_s,
                         u"St_Nr"_s, u"St_Text"_s},
                        {u"ASourceName"_s, table::FieldType::String, 20, u"A_Source"_s,
                         u"TgLSrc.DB"_s, u"So_Nr"_s, u"So_Text"_s}});
    table::Table& t = tours();
    if (t.isOpen())
        t.close();
    t.setIndexName(u"I_DateTour"_s);
    t.setFilter(u"A_Date="_s + dayText(m_day));
    t.setFiltered(true);
    t.open();

    m_tourSource = std::make_unique<widgets::DataSource>(t);
    m_objectSource = std::make_unique<widgets::DataSource>(objects());
    FollowSharedMasterRows(*m_objectSource, u"TabTglObjekt"_s);
    m_activitySource = std::make_unique<widgets::DataSource>(a);
    FollowSharedMasterRows(*m_activitySource, u"TabTglTaetig"_s);
    m_tourSource->setRightsCheck([this](widgets::EditAction action) {
        return action == widgets::EditAction::Edit     ? m_rights.editable
               : action == widgets::EditAction::Delete ? m_rights.deleting
                                                       : false;
    });
    m_objectSource->setRightsCheck([this](widgets::EditAction action) {
        return action == widgets::EditAction::Delete && m_rights.deleting;
    });
    m_activitySource->setRightsCheck([this](widgets::EditAction action) {
        return action == widgets::EditAction::Edit     ? m_rights.editable
               : action == widgets::EditAction::Delete ? m_rights.deleting
                                                       : false;
    });
    // The activity row goes with its object and daily tour once they are
    // empty; the navigator's own delete is not wanted.
    m_activitySource->setDeleteGuard([this] {
        if (!AsksToDelete(u"Datensatz löschen?"_s))
            throw Abort{};
        const int tourId = currentTourId();
        const int objektNr = currentObjektNr();
        DeleteDailyActivity(currentActivityId());
        reload(tourId, objektNr, 0);
        throw Abort{};
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    buildTop(*layout);
    buildGrids(*layout);
    buildBottom(*layout);
    buildMenus();

    for (const auto& [keys, days] : {std::pair{QKeySequence(Qt::ALT | Qt::Key_Up), 1},
                                     std::pair{QKeySequence(Qt::ALT | Qt::Key_Down), -1}})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, days] { guarded(this, [&] { shiftDay(days); }); });
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_K), this), &QShortcut::activated, this,
            [this] { guarded(this, [&] { pickDay(); }); });
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { guarded(this, [&] { postPending(); }); });
    connect(new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace), this), &QShortcut::activated,
            this, [this] {
                guarded(this, [&] {
                    if (activities().isEditing())
                        activities().cancel();
                    m_activitySource->notifyRecordChanged();
                });
            });

    connect(m_tourSource.get(), &widgets::DataSource::recordChanged, this,
            [this] { EnableDetailGrids(); });
    connect(m_tourSource.get(), &widgets::DataSource::viewChanged, this,
            [this] { EnableDetailGrids(); });

    AppointmentRuleHooksRegistry().enableDetailGrids = [this] { EnableDetailGrids(); };

    auto* storage = new FormStorage(this, kPlacementFile04, u"Taglist"_s);
    storage->setStoredProperties({u"GridTaetig.Columns"_s, u"GridObjekt.Columns"_s,
                                  u"GridTour.Columns"_s, u"lbSortObj.Caption"_s});
    resize(1240, 600);
    SetDay(m_day);
}

TF_Taglist::~TF_Taglist() {
    AppointmentRuleHooksRegistry().enableDetailGrids = nullptr;
    if (m_running)
        QApplication::restoreOverrideCursor();
    m_objectsDetached.reset();
    m_activitiesDetached.reset();
    // The widgets are bound to the data sources, the sources to the tables.
    delete m_navigator;
    delete m_tourText;
    delete m_controlText;
    delete m_tourGrid;
    delete m_objectGrid;
    delete m_activityGrid;
    m_navigator = nullptr;
    m_tourText = m_controlText = nullptr;
    m_tourGrid = m_objectGrid = m_activityGrid = nullptr;
    m_activitySource.reset();
    m_objectSource.reset();
    m_tourSource.reset();
}

void TF_Taglist::buildTop(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(u"&Datum:"_s, this);
    m_dateEdit = new QLineEdit(this);
    m_dateEdit->setObjectName(u"EditDate"_s);
    m_dateEdit->setFixedWidth(m_dateEdit->fontMetrics().horizontalAdvance(u"00.00.00000"_s) + 16);
    m_dateEdit->installEventFilter(this);
    label->setBuddy(m_dateEdit);
    connect(m_dateEdit, &QLineEdit::editingFinished, this,
            [this] { guarded(this, [&] { dateEntered(); }); });
    auto* up = new QToolButton(this);
    up->setObjectName(u"UpDownDateUp"_s);
    up->setArrowType(Qt::UpArrow);
    up->setToolTip(u"Nächster Tag (Alt+Pfeil oben)"_s);
    auto* down = new QToolButton(this);
    down->setObjectName(u"UpDownDateDown"_s);
    down->setArrowType(Qt::DownArrow);
    down->setToolTip(u"Voriger Tag (Alt+Pfeil unten)"_s);
    connect(up, &QToolButton::clicked, this, [this] { guarded(this, [&] { shiftDay(1); }); });
    connect(down, &QToolButton::clicked, this, [this] { guarded(this, [&] { shiftDay(-1); }); });
    m_weekday = new QLabel(this);
    m_weekday->setObjectName(u"lbWochentag"_s);
    m_weekday->setMinimumWidth(80);
    row->addWidget(label);
    row->addWidget(m_dateEdit);
    row->addWidget(up);
    row->addWidget(down);
    row->addWidget(m_weekday);

    m_stateText = new QLabel(this);
    m_stateText->setObjectName(u"lbStateTxt"_s);
    m_stateNum = new QLabel(this);
    m_stateNum->setObjectName(u"lbStateNum"_s);
    m_stateNum->setFont(QFont(u"Monospace"_s));
    // The panel keeps its room while hidden, so the window does not grow
    // when a run shows it.
    for (QLabel* l : {m_stateText, m_stateNum}) {
        QSizePolicy policy = l->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        l->setSizePolicy(policy);
        l->hide();
    }
    m_stateText->setText(u"Tageslisten-Erstellung:"_s);
    m_stateNum->setText(u"    0    0"_s);
    row->addWidget(m_stateText);
    row->addWidget(m_stateNum);
    row->addStretch();

    m_create = MakeFormButton(this, u"btnCreateTL"_s, u"Er&zeugen"_s, u"Tageslisten erzeugen"_s);
    m_preview = MakeFormButton(this, u"sbtnPreview"_s, u"Vorsc&hau"_s,
                               u"Tagesliste und Arbeitsbericht der Tour ansehen"_s);
    MarkPreviewButton(m_preview);
    m_print =
        MakeFormButton(this, u"sbtnPrint"_s, u"Dr&uck"_s, u"Tageslisten eines Zeitraums drucken"_s);
    m_material = MakeFormButton(this, u"btnMaterial"_s, u"&Liefersch"_s,
                                u"Material des Objekts auf einem Lieferschein erfassen"_s);
    m_overview =
        MakeFormButton(this, u"sbtnMonplan"_s, u"Übersicht"_s, u"Monatsübersicht der Touren"_s);
    auto* info = MakeFormButton(this, u"sbtnInfo"_s, u"&?Info?"_s);
    auto* close = MakeFormButton(this, u"btnClose"_s, u"S&chließen"_s);
    connect(m_create, &QPushButton::clicked, this,
            [this] { held(m_create, [&] { createLists(); }); });
    connect(m_preview, &QPushButton::clicked, this,
            [this] { held(m_preview, [&] { previewList(); }); });
    connect(m_print, &QPushButton::clicked, this, [this] { held(m_print, [&] { printRange(); }); });
    connect(m_material, &QPushButton::clicked, this,
            [this] { held(m_material, [&] { editMaterial(); }); });
    connect(m_overview, &QPushButton::clicked, this,
            [this] { held(m_overview, [&] { showOverview(); }); });
    connect(info, &QPushButton::clicked, this,
            [this] { guarded(this, [] { ShowHandbuchPage(u"Tageslisten.html"_s); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* b : {m_create, m_preview, m_print, m_material, m_overview, info, close})
        row->addWidget(b);
    layout.addLayout(row);
}

void TF_Taglist::buildGrids(QVBoxLayout& layout) {
    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* left = new QSplitter(Qt::Vertical, split);
    m_tourGrid = new widgets::DataGrid(*m_tourSource, left);
    m_tourGrid->setObjectName(u"GridTour"_s);
    m_tourGrid->setColumns({{kTourNr, u"Tour-Nr"_s, 7},
                            {u"A_Pattern"_s, u"Dienst"_s, 6},
                            {u"A_Bezeichnung"_s, u"Beschreibung"_s, 20},
                            {u"A_PersNr"_s, u"PersNr"_s, 6},
                            {u"A_PersName"_s, u"Mitarbeiter"_s, 16}});
    m_objectGrid = new widgets::DataGrid(*m_objectSource, left);
    m_objectGrid->setObjectName(u"GridObjekt"_s);
    m_objectGrid->setColumns({{kObjektNr, u"Obj.-Nr."_s, 7, true},
                              {u"A_ObjektBez"_s, u"Objektbezeichnung"_s, 24, true},
                              {u"A_VonUhr"_s, u"von Uhr"_s, 6, true},
                              {u"A_BisUhr"_s, u"bis Uhr"_s, 6, true}});
    m_objectGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* right = new QWidget(split);
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    m_activityGrid = new widgets::DataGrid(*m_activitySource, right);
    m_activityGrid->setObjectName(u"GridTaetig"_s);
    m_activityGrid->setColumns({{u"A_TaetigNr"_s, u"Tät.-Nr."_s, 6, true},
                                {u"A_ServiceID"_s, u"D"_s, 2, true},
                                {u"A_ZusatzText"_s, u"Benennung der Tätigkeit"_s, 28, true},
                                {u"AStatusName"_s, u"Status"_s, 11, true},
                                {u"ASourceName"_s, u"Erstellt"_s, 11, true},
                                {u"A_Rueckstand"_s, u"R"_s, 3, true},
                                {u"A_Param"_s, u"Zusatz"_s, 14, true}});
    m_activityGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rightColumn->addWidget(m_activityGrid, 1);

    auto* navRow = new QHBoxLayout;
    m_navigator = new widgets::DbNavigator(*m_tourSource, right);
    m_navigator->setObjectName(u"DBNavigator1"_s);
    for (auto b : {widgets::DbNavigator::Insert, widgets::DbNavigator::Edit,
                   widgets::DbNavigator::Post, widgets::DbNavigator::Cancel})
        m_navigator->setButtonVisible(b, false);
    // The navigator's insert on the activities adds an activity as the menu does.
    m_insert = new QToolButton(right);
    m_insert->setObjectName(u"btnInsertTaetig"_s);
    m_insert->setText(u"+"_s);
    m_insert->setToolTip(u"Tätigkeit hinzufügen"_s);
    connect(m_insert, &QToolButton::clicked, this,
            [this] { guarded(this, [&] { addActivity(); }); });
    auto* post =
        MakeFormButton(right, u"SpeedButton1"_s, u"Überneh&men"_s, u"Eingaben übernehmen (F10)"_s);
    auto* cancel = MakeFormButton(right, u"SpeedButton2"_s, u"&Abbrechen"_s,
                                  u"Eingaben verwerfen (Alt+Rück)"_s);
    connect(post, &QPushButton::clicked, this, [this] { guarded(this, [&] { postPending(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] {
        guarded(this, [&] {
            for (table::Table* t : {&tours(), &activities()})
                if (t->isOpen() && t->isEditing())
                    t->cancel();
            m_tourSource->notifyRecordChanged();
            m_activitySource->notifyRecordChanged();
        });
    });
    navRow->addWidget(m_navigator);
    navRow->addWidget(m_insert);
    navRow->addStretch();
    navRow->addWidget(post);
    navRow->addWidget(cancel);
    rightColumn->addLayout(navRow);

    for (widgets::DataGrid* grid : {m_tourGrid, m_objectGrid, m_activityGrid}) {
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
        grid->gridModel().setMessageParent(this);
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        SetGridColor(*grid, palette().color(QPalette::Base));
    }
    connect(m_tourGrid, &widgets::DataGrid::titleClicked, this, [this](int, const QString& field) {
        guarded(this, [&] { SortGridByField(field, *m_tourGrid, true); });
    });
    connect(m_objectGrid, &QAbstractItemView::doubleClicked, this,
            [this] { guarded(this, [&] { addObject(); }); });
    connect(m_activityGrid, &QAbstractItemView::doubleClicked, this,
            [this] { guarded(this, [&] { addActivity(); }); });
    left->setStretchFactor(0, 1);
    left->setStretchFactor(1, 2);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    layout.addWidget(split, 1);
    gridEntered(m_tourGrid);
}

void TF_Taglist::buildBottom(QVBoxLayout& layout) {
    auto* row = new QHBoxLayout;
    auto pane = [&](const QString& name, const QString& caption, const QString& field,
                    widgets::DbRichEdit*& edit) {
        auto* box = new QGroupBox(caption, this);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(4, 2, 4, 4);
        edit = new widgets::DbRichEdit(*m_activitySource, field, box);
        edit->setObjectName(name);
        edit->setMinimumHeight(70);
        edit->setMaximumHeight(96);
        column->addWidget(edit);
        // A click on the caption opens the editor as a click on the text does.
        box->installEventFilter(this);
        box->setProperty("richEdit", QVariant::fromValue(static_cast<QObject*>(edit)));
        row->addWidget(box, 2);
    };
    pane(u"REditTourText"_s, u"Text Tagesliste"_s, u"A_TourText"_s, m_tourText);
    pane(u"REditKontrollText"_s, u"Text  Kontrollbericht"_s, u"A_KontrollText"_s, m_controlText);

    auto* terms = new QGroupBox(u"Termine"_s, this);
    terms->setObjectName(u"GbTermine"_s);
    auto* termColumn = new QVBoxLayout(terms);
    termColumn->setContentsMargins(4, 2, 4, 4);
    m_termList =
        MakeFormButton(terms, u"sbtnTermine"_s, u"Ansehen"_s, u"Termine des Tages ansehen"_s);
    m_termPreview = MakeFormButton(terms, u"sbtnTerminPrev"_s, u"Vorschau"_s,
                                   u"Arbeitsscheine und Lieferscheine der Termine ansehen"_s);
    MarkPreviewButton(m_termPreview);
    m_termPrint = MakeFormButton(terms, u"sbtnTermPrint"_s, u"Drucken"_s,
                                 u"Arbeitsscheine und Lieferscheine der Termine drucken"_s);
    connect(m_termList, &QPushButton::clicked, this,
            [this] { guarded(this, [&] { showAppointments(); }); });
    connect(m_termPreview, &QPushButton::clicked, this,
            [this] { held(m_termPreview, [&] { printAppointmentSheets(true); }); });
    connect(m_termPrint, &QPushButton::clicked, this,
            [this] { held(m_termPrint, [&] { printAppointmentSheets(false); }); });
    for (QPushButton* b : {m_termList, m_termPreview, m_termPrint})
        termColumn->addWidget(b);
    row->addWidget(terms);
    layout.addLayout(row);

    // The appointment list of the day, over the grids while shown.
    m_termBox = new QGroupBox(this);
    m_termBox->setObjectName(u"GbTerminListe"_s);
    auto* listColumn = new QVBoxLayout(m_termBox);
    m_termLines = new QListWidget(m_termBox);
    m_termLines->setObjectName(u"List1"_s);
    m_termLines->setFont(QFont(u"Monospace"_s));
    m_termLines->installEventFilter(this);
    auto* closeList = MakeFormButton(m_termBox, u"btnCloseList"_s, u"Schließen"_s);
    connect(closeList, &QPushButton::clicked, this, [this] {
        m_termBox->hide();
        m_termList->setEnabled(true);
    });
    listColumn->addWidget(m_termLines, 1);
    listColumn->addWidget(closeList, 0, Qt::AlignRight);
    m_termBox->hide();

    m_sortObj = new QLabel(this);
    m_sortObj->setObjectName(u"lbSortObj"_s);
    m_sortObj->hide();
}

void TF_Taglist::buildMenus() {
    auto act = [this](QMenu* menu, const QString& name, const QString& caption,
                      std::function<void()> run) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, run] { guarded(this, run); });
        return a;
    };
    m_tourMenu = new QMenu(this);
    m_tourMenu->setObjectName(u"PopupGridOptions"_s);
    m_allToursDone = act(m_tourMenu, u"AlleTourenerledigen1"_s, u"Alle Touren erledigen"_s,
                         [this] { allToursDone(); });
    m_tourDone = act(m_tourMenu, u"Alleerledigtsetzen1"_s,
                     u"Alle offenen Positionen erledigt setzen"_s, [this] { tourDone(); });
    m_closing = act(m_tourMenu, u"AlleTourenbisDatumerledigen1"_s,
                    u"Alle Touren bis Datum erledigen"_s, [this] { closeOldLists(); });
    m_openList = act(m_tourMenu, u"OffenlistealleTouren1"_s, u"Offenliste alle Touren"_s,
                     [this] { showOpenList(); });

    m_objectMenu = new QMenu(this);
    m_objectMenu->setObjectName(u"PopupObjekt"_s);
    m_objectDone = act(m_objectMenu, u"Alleerledigtsetzen2"_s,
                       u"Alle offenen Positionen erledigt setzen"_s, [this] { objectDone(); });
    m_addObject =
        act(m_objectMenu, u"Objekthinzufuegen"_s, u"Objekt hinzufügen"_s, [this] { addObject(); });
    m_moveObject = m_objectMenu->addMenu(u"Objekt verlegen"_s);
    m_moveObject->setObjectName(u"Objektverlegen1"_s);
    act(m_moveObject, u"GleichesDatum1"_s, u"Gleiches Datum"_s, [this] { moveObject(true); });
    act(m_moveObject, u"AnderesDatum1"_s, u"Anderes Datum"_s, [this] { moveObject(false); });

    m_activityMenu = new QMenu(this);
    m_activityMenu->setObjectName(u"PopupTaetig"_s);
    m_addActivity = act(m_activityMenu, u"TaetigHinzufuegen"_s, u"Tätigkeit hinzufügen"_s,
                        [this] { addActivity(); });
    m_formFile = act(m_activityMenu, u"Formularzuweisen1"_s, u"Formular zuweisen/bearbeiten"_s,
                     [this] { editFormFile(); });
    m_activityMenu->addSeparator();
    m_done = act(m_activityMenu, u"Erledigtsetzen1"_s, u"Erledigt setzen"_s,
                 [this] { stateKey(StateKey::Done); });
    m_transfer = act(m_activityMenu, u"Uebertragen1"_s, u"Übertragen auf Folgetour"_s,
                     [this] { stateKey(StateKey::Transfer); });
    m_move = act(m_activityMenu, u"Verlegen1"_s, u"Verlegen in andere Tour"_s,
                 [this] { stateKey(StateKey::Move); });
    m_skip =
        act(m_activityMenu, u"Auslassen1"_s, u"Auslassen"_s, [this] { stateKey(StateKey::Skip); });
    m_open = act(m_activityMenu, u"Offensetzen1"_s, u"Offen setzen"_s,
                 [this] { stateKey(StateKey::Open); });

    const std::pair<widgets::DataGrid*, QMenu*> menus[] = {
        {m_tourGrid, m_tourMenu}, {m_objectGrid, m_objectMenu}, {m_activityGrid, m_activityMenu}};
    for (const auto& [grid, menu] : menus)
        connect(grid, &QWidget::customContextMenuRequested, this,
                [this, grid, menu](const QPoint& at) {
                    if (!m_rights.popups)
                        return;
                    guarded(this, [&] { updateMenus(); });
                    menu->popup(grid->viewport()->mapToGlobal(at));
                });
}

void TF_Taglist::updateMenus() {
    const QDate today = DailyListToday();
    const ListDay day = m_day < today    ? ListDay::Past
                        : m_day == today ? ListDay::Today
                                         : ListDay::Future;
    const bool tour = hasRow(tours());
    const bool object = tour && hasRow(objects());
    const bool row = object && hasRow(activities());
    const TourMenu t = TourMenuFor(day, tour);
    m_allToursDone->setEnabled(t.allToursDone);
    m_tourDone->setEnabled(t.tourDone);
    m_closing->setEnabled(t.closing);
    m_openList->setEnabled(bool(DailyListFormHooksRegistry().showOpenList));
    const ObjectMenu o = ObjectMenuFor(day, tour, object);
    m_objectDone->setEnabled(o.objectDone);
    m_addObject->setEnabled(o.addObject);
    m_moveObject->setEnabled(o.moveObject);
    const bool function = row && ActivityHasFunction(currentTourId(), currentObjektNr(),
                                                     FieldInt(activities(), u"A_TaetigNr"_s));
    const ActivityMenu a =
        ActivityMenuFor(day, object, row ? FieldInt(activities(), kState) : -1, function);
    m_addActivity->setEnabled(a.addActivity);
    m_formFile->setEnabled(a.form);
    m_done->setEnabled(a.done);
    m_transfer->setEnabled(a.transfer);
    m_move->setEnabled(a.move);
    m_skip->setEnabled(a.skip);
    m_open->setEnabled(a.open);
}

void TF_Taglist::SetDay(const QDate& day) {
    m_day = day;
    m_dateEdit->setText(dayText(day));
    m_weekday->setText(QLocale(QLocale::German, QLocale::Germany).dayName(day.dayOfWeek()));
    applyRights();
    table::Table& t = tours();
    if (t.isOpen() && t.isEditing())
        t.post();
    t.setFilter(u"A_Date="_s + dayText(day));
    t.setFiltered(true);
    if (t.isOpen()) {
        t.first();
        m_tourSource->refresh();
        m_objectSource->notifyViewChanged();
        m_activitySource->notifyViewChanged();
    }
    EnableDetailGrids();
}

void TF_Taglist::applyRights() {
    m_rights = DailyListRightsFor(m_day < DailyListToday());
    m_print->setVisible(m_rights.print);
    m_create->setVisible(m_rights.create);
    m_material->setVisible(m_rights.material);
    m_material->setEnabled(bool(DeliveryNoteEntriesRegistry().editLieferschein));
    if (!m_material->isEnabled())
        m_material->setToolTip(
            u"Der Lieferschein-Editor ist in diesem Programm nicht verfügbar."_s);
    m_overview->setVisible(m_rights.overview);
    m_overview->setEnabled(bool(DailyListFormHooksRegistry().showMonthlyOverview));
    for (widgets::DbRichEdit* edit : {m_tourText, m_controlText})
        if (edit)
            edit->setEnabled(m_rights.editable);
    m_navigator->setButtonVisible(widgets::DbNavigator::Delete, m_rights.deleting);
    for (widgets::DataSource* s :
         {m_tourSource.get(), m_objectSource.get(), m_activitySource.get()})
        Q_EMIT s->stateChanged();
}

void TF_Taglist::EnableDetailGrids() {
    if (!m_objectGrid || !tours().isOpen() || !objects().isOpen() || !activities().isOpen())
        return;
    const bool any = !tours().isEmpty();
    m_objectGrid->setEnabled(any && !m_running);
    m_activityGrid->setEnabled(any && !m_running);
}

void TF_Taglist::gridEntered(widgets::DataGrid* grid) {
    for (widgets::DataGrid* g : {m_tourGrid, m_objectGrid, m_activityGrid})
        SetGridColor(*g, g == grid ? QColor(255, 255, 225) : palette().color(QPalette::Base));
    m_navigator->setDataSource(grid->source());
    m_insert->setVisible(grid == m_activityGrid);
    if (grid == m_activityGrid)
        grid->selectField(u"AStatusName"_s);
}

int TF_Taglist::currentTourId() const {
    return hasRow(tours()) ? FieldInt(tours(), kTourId) : 0;
}
int TF_Taglist::currentTourNr() const {
    return hasRow(tours()) ? FieldInt(tours(), kTourNr) : 0;
}
int TF_Taglist::currentObjektNr() const {
    return hasRow(tours()) && hasRow(objects()) ? FieldInt(objects(), kObjektNr) : 0;
}
int TF_Taglist::currentActivityId() const {
    return currentObjektNr() != 0 && hasRow(activities()) ? FieldInt(activities(), kTotId) : 0;
}

void TF_Taglist::postPending() {
    for (widgets::DataGrid* g : {m_tourGrid, m_activityGrid})
        g->commitEdit();
    for (table::Table* t : {&tours(), &activities()})
        if (t->isOpen() && t->isEditing())
            t->post();
}

void TF_Taglist::reload(int tourId, int objektNr, int totId) {
    table::Table& t = tours();
    if (!t.isOpen())
        return;
    m_tourSource->refresh();
    if (tourId != 0)
        t.locate({kTourId}, {tourId});
    objects().refresh();
    m_objectSource->notifyViewChanged();
    if (objektNr != 0 && hasRow(objects()))
        objects().locate({kObjektNr}, {objektNr});
    activities().refresh();
    m_activitySource->notifyViewChanged();
    if (totId != 0 && hasRow(activities()))
        activities().locate({kTotId}, {totId});
    for (widgets::DataGrid* g : {m_tourGrid, m_objectGrid, m_activityGrid})
        g->followCursor();
    EnableDetailGrids();
}

void TF_Taglist::held(QPushButton* button, const std::function<void()>& action) {
    button->setEnabled(false);
    button->setDown(true);
    guarded(this, action);
    button->setDown(false);
    button->setEnabled(true);
}

void TF_Taglist::shiftDay(int days) {
    postPending();
    SetDay(m_day.addDays(days));
    m_tourGrid->setFocus();
}

void TF_Taglist::pickDay() {
    TDateTime chosen = DateTimeOfDate(m_day);
    if (PickDateBeside(chosen, *this, 122, 128))
        SetDay(DateOfDateTime(chosen));
    else
        SetDay(m_day);
    m_tourGrid->setFocus();
}

void TF_Taglist::dateEntered() {
    const QString text = m_dateEdit->text().trimmed();
    if (IsValidDateStr(text)) {
        const QDate typed = DateOfDateTime(StrToDateDMY(text));
        if (typed != m_day)
            SetDay(typed);
        return;
    }
    m_dateEdit->setText(dayText(m_day));
}

bool TF_Taglist::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_dateEdit) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            guarded(this, [&] { pickDay(); });
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(event);
            if (k->modifiers() == Qt::NoModifier &&
                (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
                guarded(this, [&] { shiftDay(k->key() == Qt::Key_Up ? 1 : -1); });
                return true;
            }
        }
    }
    for (widgets::DataGrid* g : {m_tourGrid, m_objectGrid, m_activityGrid})
        if (g && watched == g && event->type() == QEvent::FocusIn)
            gridEntered(g);
    if (watched == m_activityGrid && event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        switch (k->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Escape:
            return false;
        case Qt::Key_Delete:
            return !(k->modifiers() & Qt::ControlModifier);
        case Qt::Key_Insert:
            guarded(this, [&] { addActivity(); });
            return true;
        default:
            break;
        }
        if (k->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
            return false; // shortcuts and mnemonics
        const StateKey key = StateKeyOf(k->key(), k->text());
        if (key != StateKey::None)
            guarded(this, [&] { stateKey(key); });
        return true; // every other key is swallowed
    }
    if (watched == m_objectGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
        guarded(this, [&] { addObject(); });
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (auto* edit = qobject_cast<widgets::DbRichEdit*>(
                watched->property("richEdit").value<QObject*>())) {
            guarded(this, [&] { edit->openEditor(); });
            return true;
        }
    }
    if (watched == m_termLines && event->type() == QEvent::FocusOut) {
        m_termBox->hide();
        m_termList->setEnabled(true);
    }
    return QDialog::eventFilter(watched, event);
}

void TF_Taglist::done(int result) {
    guarded(this, [&] { postPending(); });
    if (m_recorded)
        ShowInfo(u"Denken Sie bitte daran, erledigte Tageslisten in die\rKontrollberichtsdatei zu "
                 u"überstellen (\"->Berichte -> Erzeugen\")."_s);
    QDialog::done(result);
}

// ---------------------------------------------------------------------------
// Generation

void TF_Taglist::setRunning(bool running) {
    if (running == m_running)
        return;
    m_running = running;
    if (running) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_objectsDetached = std::make_unique<widgets::ControlsDisabled>(*m_objectSource);
        m_activitiesDetached = std::make_unique<widgets::ControlsDisabled>(*m_activitySource);
        m_stateText->show();
        m_stateNum->show();
    } else {
        m_activitiesDetached.reset();
        m_objectsDetached.reset();
        m_stateText->hide();
        m_stateNum->hide();
        QApplication::restoreOverrideCursor();
    }
    EnableDetailGrids();
}

void TF_Taglist::createLists() {
    postPending();
    DailyListRunHooks hooks;
    hooks.pickRange = [](QDate& from, QDate& to) {
        TDateTime f = DateTimeOfDate(from);
        TDateTime t = DateTimeOfDate(to);
        if (!PickDateRange(f, t))
            return false;
        from = DateOfDateTime(f);
        to = DateOfDateTime(t);
        return true;
    };
    hooks.setRunning = [this](bool running) { setRunning(running); };
    hooks.showDay = [this](const QDate& day) { SetDay(day); };
    hooks.showState = [this](const QString& caption, const QString& counts) {
        m_stateText->setText(caption);
        m_stateNum->setText(counts);
    };
    hooks.processEvents = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // Cursor, panel and grids come back however the run ends.
    struct Restore {
        TF_Taglist* form;
        ~Restore() {
            form->setRunning(false);
            form->EnableDetailGrids();
        }
    } restore{this};
    // A copy: the run moves the shown day.
    const QDate shown = m_day;
    CreateDailyLists(dm(), DailyListToday(), shown, hooks);
    reload(0, 0, 0);
}

// ---------------------------------------------------------------------------
// State keys, moves and additions

bool TF_Taglist::askMoveDate(QDate& date) {
    QWidget* main = MainForm();
    const QAction* withCalendar =
        main ? main->findChild<QAction*>(u"VerlegenmitKalender1"_s) : nullptr;
    if (!withCalendar || !withCalendar->isChecked())
        return true;
    for (;;) {
        TDateTime chosen = DateTimeOfDate(date);
        if (!PickDateBeside(chosen, *this, 122, 128))
            return false;
        const QDate picked = DateOfDateTime(chosen);
        if (picked.dayOfWeek() == date.dayOfWeek()) {
            date = picked;
            return true;
        }
        ShowError(u"Zum gewünschten Datum ist die Tour nicht verfügbar!"_s);
    }
}

void TF_Taglist::stateKey(StateKey key) {
    if (key == StateKey::None || currentActivityId() == 0)
        return;
    postPending();
    const int tourId = currentTourId();
    const int objektNr = currentObjektNr();
    const int totId = currentActivityId();
    bool changed = false;
    bool gone = false;
    if (const int state = StateOfKey(key); state >= 0) {
        changed = SetDailyActivityState(totId, state);
    } else {
        int tourNr = currentTourNr();
        if (key == StateKey::Move) {
            const QRect at = frameGeometry();
            tourNr = SelectTour(tourNr, at.left() + 40, at.top() + 240, kTitle);
            if (tourNr < 0)
                return;
        }
        QDate date = NextTourDate(tourNr, m_day);
        if (!askMoveDate(date))
            return;
        if (tourNr == currentTourNr() && date == m_day)
            return;
        changed = gone = MoveDailyActivity(dm(), totId, tourNr, date);
    }
    if (!changed)
        return;
    if (m_day < DailyListToday())
        m_recorded = true;
    // The key then acts as Down: the next row.
    reload(tourId, objektNr, totId);
    if (!gone && hasRow(activities())) {
        activities().next();
        m_activityGrid->followCursor();
    }
}

void TF_Taglist::addObject() {
    if (currentTourId() == 0 || m_day < DailyListToday() || !m_rights.editable)
        return;
    postPending();
    const QRect at = frameGeometry();
    QString sort = m_sortObj->text();
    const int nr = SelectObjekt(0, 400, at.left() + 40, at.top() + 40, sort);
    m_sortObj->setText(sort);
    if (nr <= 0)
        return;
    const int tourId = currentTourId();
    switch (AddObjectToDailyTour(dm(), tourId, nr)) {
    case ManualAdd::AlreadyListed:
        ShowError(u"Dieses Objekt ist bereits in der Tour enthalten!"_s);
        return;
    case ManualAdd::NotFound:
        ShowError(u"Das Objekt %1 ist nicht vorhanden oder nicht aktiv."_s.arg(nr));
        return;
    case ManualAdd::Added:
        reload(tourId, nr, 0);
        return;
    }
}

void TF_Taglist::addActivity() {
    if (currentObjektNr() == 0 || m_day < DailyListToday() || !m_rights.editable)
        return;
    postPending();
    const QRect at = frameGeometry();
    const int nr = SelectTaetig(0, 400, at.left(), at.top(), {}, {});
    if (nr <= 0)
        return;
    const int tourId = currentTourId();
    const int objektNr = currentObjektNr();
    switch (AddActivityToDailyObject(dm(), tourId, objektNr, nr)) {
    case ManualAdd::AlreadyListed:
        ShowError(u"Diese Tätigkeit ist bereits in der Tagesliste enthalten!"_s);
        return;
    case ManualAdd::NotFound:
        ShowError(u"Die Tätigkeit %1 ist nicht vorhanden."_s.arg(nr));
        return;
    case ManualAdd::Added:
        reload(tourId, objektNr, 0);
        if (hasRow(activities()))
            activities().locate({u"A_TaetigNr"_s}, {nr});
        m_activityGrid->followCursor();
        return;
    }
}

void TF_Taglist::moveObject(bool sameDate) {
    const int objektNr = currentObjektNr();
    if (objektNr == 0)
        return;
    postPending();
    const QRect at = frameGeometry();
    QDate date = m_day;
    if (!sameDate) {
        TDateTime chosen = DateTimeOfDate(m_day.addDays(1));
        if (!PickDateBeside(chosen, *this, 122, 128))
            return;
        date = DateOfDateTime(chosen);
        if (date < DailyListToday()) {
            ShowError(u"Das gewünschte Datum ist bereits abgelaufen!"_s);
            return;
        }
    }
    const int weekday = WeekdayOfDate(DateTimeOfDate(date));
    const int tourNr = SelectOtherTourOfDay(sameDate ? currentTourNr() : 0, weekday, at.left() + 40,
                                            at.top() + 40, kTitle);
    if (tourNr < 0)
        return;
    const int tourId = currentTourId();
    if (tourNr == currentTourNr() && date == m_day) {
        ShowError(u"Quell- und Zieltour sind identisch!"_s);
        return;
    }
    switch (MoveDailyObject(dm(), tourId, objektNr, tourNr, date)) {
    case ObjectMove::SameList:
        ShowError(u"Quell- und Zieltour sind identisch!"_s);
        return;
    case ObjectMove::NotMoved:
        return;
    case ObjectMove::Moved:
        reload(tourId, 0, 0);
        return;
    }
}

void TF_Taglist::allToursDone() {
    postPending();
    SetDayDone(m_day);
    m_recorded = true;
    reload(currentTourId(), currentObjektNr(), currentActivityId());
}

void TF_Taglist::tourDone() {
    if (currentTourId() == 0)
        return;
    postPending();
    SetDailyTourDone(currentTourId());
    m_recorded = true;
    reload(currentTourId(), currentObjektNr(), currentActivityId());
}

void TF_Taglist::objectDone() {
    if (currentObjektNr() == 0)
        return;
    postPending();
    SetDailyObjectDone(currentTourId(), currentObjektNr());
    m_recorded = true;
    reload(currentTourId(), currentObjektNr(), currentActivityId());
}

void TF_Taglist::closeOldLists() {
    postPending();
    const QDate today = DailyListToday();
    TDateTime limit = DateTimeOfDate(today.addDays(-30));
    const QRect at = frameGeometry();
    if (!EnterLimitDate(
            limit, at.left() + 200, at.top() + 200, DateTimeOfDate(FirstDailyListDate(today)),
            u"Unbearbeitete Tätigkeiten erledigt setzen bis"_s, u"Einträge sind vorhanden ab"_s))
        return;
    const QDate chosen = ClosingLimit(DateOfDateTime(limit), today);
    const QDate before = m_day;
    const int tourId = currentTourId();
    struct Back {
        TF_Taglist* form;
        QDate day;
        int tourId;
        ~Back() {
            try {
                form->SetDay(day);
                form->reload(tourId, 0, 0);
            } catch (...) {
                // The error of the run is the one the user sees.
            }
        }
    } back{this, std::max(before, chosen.addDays(1)), tourId};
    const int changed = CloseDailyListsUpTo(chosen, [this](const QDate& day) {
        SetDay(day);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (changed > 0)
        m_recorded = true;
}

void TF_Taglist::editFormFile() {
    if (currentActivityId() == 0)
        return;
    postPending();
    table::Table& a = activities();
    const QString name = FieldText(a, u"A_Param"_s);
    const QRect at = frameGeometry();
    const QString chosen =
        EditRtfFile(formFilePath(name), u"Formularvorlagen bearbeiten"_s, FormDir, at.left() + 100,
                    at.top() + 32, 640, 400, at.left(), at.top(), at.width(), at.height());
    if (chosen.isEmpty() || formFileName(chosen) == name)
        return;
    m_activitySource->startEdit();
    a.field(u"A_Param"_s).setValue(formFileName(chosen));
    a.post();
    m_activitySource->notifyRecordChanged();
}

// ---------------------------------------------------------------------------
// Delivery note, overview, open list

void TF_Taglist::editMaterial() {
    const auto& edit = DeliveryNoteEntriesRegistry().editLieferschein;
    if (!edit)
        return;
    postPending();
    if (currentTourId() == 0) {
        ShowError(u"Für diesen Tag ist keine Tagesliste vorhanden!"_s);
        return;
    }
    const int objektNr = currentObjektNr();
    if (objektNr == 0)
        return;
    table::Table& o = objects();
    int lsId = FieldInt(o, u"A_LsID"_s);
    if (lsId == 0 && hasRow(activities()))
        lsId = FieldInt(activities(), u"A_LsID"_s);
    QString nr = lsId != 0 ? GetOpenLSNrById(lsId) : QString();
    if (nr.isEmpty())
        FindOpenLSOfObjekt(objektNr, kLsTypTageslisten, nr);
    const int toid = FieldInt(o, u"A_TOID"_s);
    const int result = edit(nr, objektNr, true, kLsTypTageslisten, toid);
    const int tourId = currentTourId();
    // Written through a cursor of its own: the object grid is read-only.
    auto rows = OpenTempTable(u"LumoDB"_s, u"TglObj.DB"_s);
    if (rows->locate({u"A_TOID"_s}, {toid})) {
        rows->edit();
        rows->field(u"A_LsID"_s).setValue(result);
        rows->post();
    }
    reload(tourId, objektNr, currentActivityId());
}

void TF_Taglist::withToursClosed(bool filterOff, const std::function<void()>& call) {
    postPending();
    table::Table& t = tours();
    const bool wasOpen = t.isOpen();
    t.close();
    if (filterOff)
        t.setFiltered(false);
    struct Reopen {
        TF_Taglist* form;
        bool open;
        ~Reopen() {
            try {
                if (open)
                    tours().open();
                form->SetDay(form->day());
            } catch (...) {
                // The call's own error is the one the user sees.
            }
        }
    } reopen{this, wasOpen};
    call();
}

void TF_Taglist::showOverview() {
    const auto& overview = DailyListFormHooksRegistry().showMonthlyOverview;
    if (!overview)
        return;
    withToursClosed(false, [&] { overview(m_day); });
}

void TF_Taglist::showOpenList() {
    const auto& openList = DailyListFormHooksRegistry().showOpenList;
    if (!openList)
        return;
    withToursClosed(true, [&] { openList(); });
}

// ---------------------------------------------------------------------------
// Prints

void TF_Taglist::previewList() {
    postPending();
    if (currentTourId() == 0) {
        ShowError(u"Es wurden keine Tageslisten gefunden!"_s);
        return;
    }
    const QString date = dayText(m_day);
    const int tourNr = currentTourNr();
    const QString tourText = QString::number(tourNr);
    const QString persName = FieldText(tours(), u"A_PersName"_s);
    const PrintFormChoosers choosers = WindowPrintFormChoosers(this);
    if (const PrintLayout l = ResolvePrintLayout({PrintVariant::A, 25000}, choosers); l.prints())
        PrintTagList(date, tourText, persName, true, l.layoutPath());
    if (const PrintLayout l = ResolvePrintLayout({PrintVariant::A, 35000}, choosers); l.prints())
        PrintArbeitsbericht(date, tourText, persName, true, l.layoutPath());
    if (HasDailyListFunctions(tourNr, m_day) && AskYesNo(u"Sonderfunktionen ausführen?"_s))
        runDailyListFunctions(tourNr, true, m_day);
}

void TF_Taglist::runDailyListFunctions(int tourNr, bool preview, const QDate& date) {
    const QDate today = DailyListToday();
    for (const DailyListFunction& f : DailyListFunctionsOf(tourNr, date))
        if (f.type == 1 && !f.param.isEmpty())
            ShowListView(u"Formular-Ansicht"_s, {}, formFilePath(f.param), preview,
                         ListViewValues(tourNr, date, f.objektNr, today));
    const QByteArray reminders =
        ReminderListRtf(tourNr, date, today, QFont(PrintFont.name, PrintFont.size));
    if (reminders.isEmpty())
        return;
    const QString path = QDir(TempDir).filePath(u"Temp.rtf"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reminders) != reminders.size())
        throw DbError(u"Die Datei %1 kann nicht geschrieben werden."_s.arg(path));
    file.close();
    // The reminder lines carry their objects' values already.
    ShowListView(u"Erinnerungsliste"_s, {}, path, preview, ListViewValues(tourNr, date, 0, today));
}

void TF_Taglist::printRange() {
    postPending();
    const std::optional<PrintRange> proposed = ProposedPrintRange();
    if (!proposed) {
        ShowError(u"Es wurden keine Tageslisten gefunden!"_s);
        return;
    }
    TDateTime from = DateTimeOfDate(proposed->from);
    TDateTime to = DateTimeOfDate(proposed->to);
    if (!PickDateRange(from, to))
        return;
    const PrintRange range{DateOfDateTime(from), DateOfDateTime(to)};
    if (PrintRangeNeedsQuestion(range) && !AskYesNo(PrintRangeQuestion(range)))
        return;
    DailyListPrintOptions options;
    options.taglistFormId = FirstUserPrintForm(25000);
    options.worklistFormId = FirstUserPrintForm(35000);
    if (!SelectDailyListPrintOptions(options, range.from, range.to))
        return;
    const PrintFormChoosers choosers = WindowPrintFormChoosers(this);
    const PrintLayout taglist =
        ResolvePrintLayout({PrintVariant::F, 25000, options.taglistFormId}, choosers);
    const PrintLayout worklist =
        ResolvePrintLayout({PrintVariant::F, 35000, options.worklistFormId}, choosers);
    for (const DailyListHead& list : DailyListsInRange(range)) {
        if (options.printTaglists && taglist.prints())
            PrintTagList(list.dateText, list.tourNrText, list.persName, false,
                         taglist.layoutPath());
        if (options.printWorkReports && worklist.prints())
            PrintArbeitsbericht(list.dateText, list.tourNrText, list.persName, false,
                                worklist.layoutPath());
        if (options.printExtraForms && HasDailyListFunctions(list.tourNr, list.date))
            runDailyListFunctions(list.tourNr, false, list.date);
    }
}

void TF_Taglist::showAppointments() {
    const QStringList lines = AppointmentLinesOfDay(m_day);
    if (lines.isEmpty()) {
        ShowError(u"Es wurden keine passenden Datensätze gefunden!"_s);
        return;
    }
    m_termLines->clear();
    m_termLines->addItems(lines);
    m_termBox->setTitle(u"Terminliste für den"_s + u' ' + dayText(m_day));
    const QRect over = m_activityGrid->geometry();
    m_termBox->setGeometry(QRect(m_activityGrid->mapTo(this, QPoint(0, 0)), over.size()));
    m_termBox->show();
    m_termBox->raise();
    m_termList->setEnabled(false);
    m_termLines->setFocus();
}

void TF_Taglist::printAppointmentSheets(bool preview) {
    postPending();
    const PrintFormChoosers choosers = WindowPrintFormChoosers(this);
    for (const DayWorkSheet& day : AppointmentWorkSheetsOfDay(m_day)) {
        // A cancelled or unfitting choice ends the run.
        const PrintLayout layout = ResolvePrintLayout({PrintVariant::A, 41000}, choosers);
        if (!layout.prints())
            return;
        PrintArbeitsschein(preview, day.sheet.filter, day.sheet.dateText, day.sheet.objektText,
                           day.sheet.address, layout.layoutPath());
        if (day.lsId == 0)
            continue;
        const std::optional<int> stored = DeliveryNotePrintForm(day.lsId);
        if (!stored)
            continue;
        const PrintLayout note = *stored != 0
                                     ? PrintLayout::form(*stored)
                                     : ResolvePrintLayout({PrintVariant::A, 40000}, choosers);
        if (!note.prints())
            continue;
        if (!preview)
            MarkDeliveryNotePrinted(day.lsId, DailyListToday());
        PrintDeliveryNote(day.lsId, preview, note.layoutPath(), this);
    }
}

// ---------------------------------------------------------------------------

void ShowTaglistForm() {
    if (!CheckViewRight(kDailyListFunction))
        return;
    const TimerWorkPause pause;
    // The daily tours close and lose the day filter however the form ends.
    struct CloseTours {
        ~CloseTours() {
            try {
                table::Table& t = tours();
                if (t.isOpen())
                    t.close();
                t.setFiltered(false);
                t.setFilter({});
            } catch (...) {
                // Closing discards; nothing is left to report.
            }
        }
    } closeTours;
    TF_Taglist form(MainForm());
    PlaceBelowMainForm(&form, 0, 0, 0);
    widgets::FitToScreen(form);
    form.exec();
}
