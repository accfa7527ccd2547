#include "operations/gui/tf_bericht.h"

#include "commercial/companysettings.h"
#include "commercial/scheduling/fixtermtable.h"
#include "core/data/berichteprompt.h"
#include "core/data/datamodule.h"
#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"
#include "core/data/reportsource.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/tf_selform.h"
#include "core/gui/placement.h"
#include "core/messages/manuals.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/values/datetimevalue.h"
#include "datasafety/autobackup.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/dialogs/tf_daterangedlg.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "platform/errors.h"
#include "platform/richtext/rtf.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/screenfit.h"
#include "platform/widgets/userprompts.h"
#include "printing/controlreportprints.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

constexpr int kRightsFunction = 19;
const QString kLumo = u"LumoDB"_s;
const QString kAblage = u"AblageDB"_s;
const QString kBackupQuestion =
    u"Sie sollten vor der Datenübertragung eine Datensicherung vornehmen!\rMöchten Sie jetzt die Daten sichern?"_s;

QString dateText(const QDate& d) {
    return d.isValid() ? d.toString(u"dd.MM.yyyy"_s) : QString();
}

QTableWidget* makeGrid(QWidget* parent, const QString& name, const QStringList& titles) {
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(name);
    grid->setColumnCount(int(titles.size()));
    grid->setHorizontalHeaderLabels(titles);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void setRow(QTableWidget* grid, int row, const QStringList& cells, int key) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c == 0)
            item->setData(Qt::UserRole, key);
        grid->setItem(row, c, item);
    }
}

int currentKey(const QTableWidget* grid) {
    const int row = grid->currentRow();
    if (row < 0 || !grid->item(row, 0))
        return 0;
    return grid->item(row, 0)->data(Qt::UserRole).toInt();
}

// Keeps the row of the same key current after a reload.
void selectKey(QTableWidget* grid, int key) {
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 0) && grid->item(r, 0)->data(Qt::UserRole).toInt() == key) {
            grid->setCurrentCell(r, 0);
            return;
        }
    if (grid->rowCount() > 0)
        grid->setCurrentCell(0, 0);
}

void fillObjects(QTableWidget* grid) {
    const int key = currentKey(grid);
    const QList<ReportObject> objects = ReportObjects();
    QSignalBlocker block(grid);
    grid->setRowCount(int(objects.size()));
    for (int r = 0; r < objects.size(); ++r)
        setRow(grid, r, {QString::number(objects[r].nr), objects[r].match, objects[r].kunde},
               objects[r].nr);
    selectKey(grid, key);
}

QList<ReportHead> fillHeads(QTableWidget* grid, const QString& alias, int objektNr) {
    const int key = currentKey(grid);
    const QList<ReportHead> heads = ReportHeads(alias, objektNr);
    QSignalBlocker block(grid);
    grid->setRowCount(int(heads.size()));
    for (int r = 0; r < heads.size(); ++r) {
        const ReportHead& h = heads[r];
        setRow(grid, r,
               {dateText(h.reportDate), dateText(h.first), dateText(h.last),
                QString::number(h.positions), QString::number(h.printed)},
               h.id);
    }
    selectKey(grid, key);
    return heads;
}

void fillLines(QTableWidget* grid, const QString& alias, const ReportHead* head) {
    const QList<ReportLine> lines =
        head ? ReportLines(alias, head->objektNr, head->reportDate) : QList<ReportLine>{};
    grid->setRowCount(int(lines.size()));
    for (int r = 0; r < lines.size(); ++r)
        setRow(grid, r,
               {QString::number(lines[r].taetigNr), lines[r].text, QString::number(lines[r].wieOft),
                dateText(lines[r].tourDate)},
               lines[r].id);
}

std::optional<ReportHead> headOf(const QString& alias, int objektNr, int headId) {
    for (const ReportHead& h : ReportHeads(alias, objektNr))
        if (h.id == headId)
            return h;
    return std::nullopt;
}

QStringList headTitles() {
    return {u"Drucktermin"_s, u"Zeitraum von"_s, u"Zeitraum bis"_s, u"Sätze"_s, u"Drucke"_s};
}
QStringList lineTitles() {
    return {u"T.-Nr"_s, u"Tätigkeit"_s, u"Ausf."_s, u"Datum"_s};
}
QStringList objectTitles() {
    return {u"Objekt"_s, u"Objektbezeichnung"_s, u"Kunde"_s};
}

// Positions the object grid on the first object whose number (digits) or
// search name (other text) starts with the text.
void searchObjects(QTableWidget* grid, const QString& text) {
    const QString wanted = text.trimmed().toUpper();
    if (wanted.isEmpty())
        return;
    bool number = false;
    wanted.toInt(&number);
    const int column = number ? 0 : 1;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, column) && grid->item(r, column)->text().toUpper() == wanted) {
            grid->setCurrentCell(r, 0);
            return;
        }
}

QTableWidget* makeMarkGrid(QWidget* parent) {
    auto* grid =
        makeGrid(parent, u"DBGridMark"_s,
                 {u"Objekt-Nr"_s, u"Objekt-Bezeichnung"_s, u"Drucktermin"_s, u"Zeitraum von"_s,
                  u"Zeitraum bis"_s, u"Sätze"_s, u"Drucke"_s, u"Wahl"_s});
    grid->hide();
    return grid;
}

void loadMarkGrid(QTableWidget* grid, const QString& alias) {
    const int key = currentKey(grid);
    const QList<ReportHead> heads = ReportHeads(alias, -1);
    grid->setRowCount(int(heads.size()));
    for (int r = 0; r < heads.size(); ++r) {
        const ReportHead& h = heads[r];
        setRow(grid, r,
               {QString::number(h.objektNr), h.objektName, dateText(h.reportDate),
                dateText(h.first), dateText(h.last), QString::number(h.positions),
                QString::number(h.printed), h.selected ? u"Ja"_s : u"Nein"_s},
               h.id);
    }
    selectKey(grid, key);
}

// setTo: 1 marks, 0 unmarks, -1 toggles the current head.
void toggleMark(QTableWidget* grid, const QString& alias, int setTo) {
    const int row = grid->currentRow();
    if (row < 0 || !grid->item(row, 7))
        return;
    const bool marked = grid->item(row, 7)->text() == u"Ja"_s;
    const bool now = setTo < 0 ? !marked : setTo == 1;
    SetBerichtMark(currentKey(grid), now, alias);
    grid->item(row, 7)->setText(now ? u"Ja"_s : u"Nein"_s);
}

// The keys and clicks of the marking mode on the marking grid: Enter or
// Space toggle, "J"/"j" mark, "N"/"n" unmark (each moving down), Escape
// closes. True when the event was used.
bool markingEvent(QWidget* form, QTableWidget* grid, const QString& alias, QObject* watched,
                  QEvent* event, const std::function<void()>& close) {
    if (event->type() == QEvent::KeyPress && watched == grid) {
        auto* key = static_cast<QKeyEvent*>(event);
        int setTo = 0;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            setTo = -1;
            break;
        case Qt::Key_J:
            setTo = 1;
            break;
        case Qt::Key_N:
            setTo = 0;
            break;
        case Qt::Key_Escape:
            close();
            return true;
        default:
            return false;
        }
        const int row = grid->currentRow();
        guarded(form, [&] { toggleMark(grid, alias, setTo); });
        if (row + 1 < grid->rowCount())
            grid->setCurrentCell(row + 1, grid->currentColumn());
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == grid->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && grid->indexAt(mouse->pos()).isValid())
            guarded(form, [&] { toggleMark(grid, alias, -1); });
    }
    return false;
}

} // namespace

namespace {
QPushButton* namedButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// The report windows open below the main window and stay on the screen.
void setUpReportWindow(QDialog& window, const QString& name, const QString& title) {
    window.setObjectName(name);
    window.setWindowTitle(title);
    window.resize(960, 640);
    PlaceBelowMainForm(&window, 0, 0, 0);
    window.resize(960, 640);
    widgets::KeepOnScreen(window);
}
} // namespace

// ---------------------------------------------------------------- TF_Bericht

namespace {
void previewReport(QWidget* form, const QString& alias, int objektNr, int headId);
}

TF_Bericht::TF_Bericht(QWidget* parent) : QDialog(parent) {
    setUpReportWindow(*this, u"TF_Bericht"_s, u"Kontrollberichte"_s);

    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    m_create = namedButton(u"Er&zeugen"_s, u"btnCreateBer"_s, this);
    m_markButton = namedButton(u"W&ählen"_s, u"sbtnMark"_s, this);
    m_markButton->setCheckable(true);
    auto* print = namedButton(u"Dr&uck"_s, u"sbtnPrint"_s, this);
    auto* del = namedButton(u"&Löschen"_s, u"sbtnDel"_s, this);
    auto* printDel = namedButton(u"Druck+L."_s, u"sbtnPrintDel"_s, this);
    auto* move = namedButton(u"Abla&ge"_s, u"sbtnMove"_s, this);
    auto* printMove = namedButton(u"Druck+A."_s, u"sbtnPrintMove"_s, this);
    m_texts = namedButton(u"&Zusatztext"_s, u"btnEdTexte"_s, this);
    m_texts->setVisible(HasEditRight(kRightsFunction));
    auto* info = namedButton(u"&?Info?"_s, u"sbtnInfo"_s, this);
    auto* close = new QPushButton(u"S&chließen"_s, this);
    auto* searchLabel = new QLabel(u"&Suchen"_s, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"EditSearch"_s);
    searchLabel->setBuddy(m_search);
    for (QPushButton* b :
         {m_create, m_markButton, print, del, printDel, move, printMove, m_texts, info, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search);
    searchRow->addStretch();
    layout->addLayout(searchRow);

    m_create->setVisible(HasCreateRight(kRightsFunction));
    del->setVisible(HasDeleteRight(kRightsFunction));
    move->setVisible(HasExportRight(kRightsFunction));
    print->setVisible(HasPrintRight(kRightsFunction));
    printDel->setVisible(HasPrintRight(kRightsFunction) && HasDeleteRight(kRightsFunction));
    printMove->setVisible(HasPrintRight(kRightsFunction) && HasExportRight(kRightsFunction));
    m_markButton->setVisible(HasDeleteRight(kRightsFunction) || HasPrintRight(kRightsFunction) ||
                             HasExportRight(kRightsFunction));

    m_objects = makeGrid(this, u"GridObjekt"_s, objectTitles());
    m_heads = makeGrid(this, u"GridBerkopf"_s, headTitles());
    m_lines = makeGrid(this, u"GridBerSatz"_s, lineTitles());
    m_mark = makeGrid(this, u"DBGridMark"_s,
                      {u"Objekt-Nr"_s, u"Objekt-Bezeichnung"_s, u"Drucktermin"_s, u"Zeitraum von"_s,
                       u"Zeitraum bis"_s, u"Sätze"_s, u"Drucke"_s, u"Wahl"_s});
    m_mark->setContextMenuPolicy(Qt::CustomContextMenu);
    m_mark->hide();

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_objects);
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_heads, 1);
    auto* linesTitle = new QLabel(u"Keine Änderungen möglich"_s, right);
    rightLayout->addWidget(linesTitle);
    rightLayout->addWidget(m_lines, 2);
    splitter->addWidget(right);
    splitter->setSizes({380, 560});
    m_mainArea = splitter;
    layout->addWidget(splitter, 1);
    layout->addWidget(m_mark, 1);

    m_state = new QLabel(this);
    m_state->setObjectName(u"PanelState"_s);
    m_state->setFrameShape(QFrame::Panel);
    m_state->hide();
    layout->addWidget(m_state);

    for (QTableWidget* grid : {m_objects, m_heads, m_mark})
        grid->installEventFilter(this);
    for (QTableWidget* grid : {m_objects, m_heads})
        grid->viewport()->installEventFilter(this);
    m_mark->viewport()->installEventFilter(this);

    connect(m_objects, &QTableWidget::currentCellChanged, this,
            [this] { guarded(this, [this] { loadHeads(); }); });
    connect(m_heads, &QTableWidget::currentCellChanged, this,
            [this] { guarded(this, [this] { loadLines(); }); });
    connect(m_create, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { createReports(); }); });
    connect(m_markButton, &QPushButton::clicked, this,
            [this](bool on) { guarded(this, [this, on] { setMarkMode(on); }); });
    const std::pair<QPushButton*, int> verbs[] = {
        {print, 0}, {del, 1}, {printDel, 2}, {move, 3}, {printMove, 4}};
    for (const auto& [button, tag] : verbs)
        connect(button, &QPushButton::clicked, this,
                [this, tag] { guarded(this, [this, tag] { printDeleteMove(tag); }); });
    m_heads->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_heads, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        QAction* show = menu.addAction(u"Vorschau"_s);
        menu.setDefaultAction(show);
        menu.addAction(u"Abbrechen"_s);
        if (menu.exec(m_heads->viewport()->mapToGlobal(pos)) == show)
            guarded(this, [this] { preview(); });
    });
    connect(m_heads, &QTableWidget::cellDoubleClicked, this,
            [this] { guarded(this, [this] { preview(); }); });
    connect(m_texts, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { ShowBerTextForm(this); }); });
    connect(info, &QPushButton::clicked, this, [] { ShowHandbuchPage(u"berichte.html"_s); });
    connect(close, &QPushButton::clicked, this, &TF_Bericht::reject);
    connect(m_search, &QLineEdit::textChanged, this,
            [this](const QString& text) { searchObjects(m_objects, text); });
    connect(m_mark, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { guarded(this, [this, pos] { markMenu(pos); }); });
    reload();
}

void TF_Bericht::reload() {
    fillObjects(m_objects);
    loadHeads();
    if (m_markMode)
        loadMarks();
}

void TF_Bericht::loadHeads() {
    fillHeads(m_heads, kLumo,
              currentKey(m_objects) == 0 && m_objects->rowCount() == 0 ? 0 : currentKey(m_objects));
    loadLines();
}

void TF_Bericht::loadLines() {
    const std::optional<ReportHead> head =
        headOf(kLumo, currentKey(m_objects), currentKey(m_heads));
    fillLines(m_lines, kLumo, head ? &*head : nullptr);
}

void TF_Bericht::loadMarks() {
    loadMarkGrid(m_mark, kLumo);
}

void TF_Bericht::setMarkMode(bool on) {
    m_markMode = on;
    m_markButton->setChecked(on);
    m_create->setEnabled(!on);
    m_texts->setEnabled(!on);
    m_mainArea->setVisible(!on);
    m_mark->setVisible(on);
    if (on) {
        loadMarks();
        if (m_mark->rowCount() > 0)
            m_mark->setCurrentCell(0, 0);
        m_mark->setFocus();
    } else {
        reload();
    }
}

bool TF_Bericht::eventFilter(QObject* watched, QEvent* event) {
    if (m_markMode &&
        markingEvent(this, m_mark, kLumo, watched, event, [this] { setMarkMode(false); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TF_Bericht::markMenu(const QPoint& pos) {
    QMenu menu(this);
    QAction* none = menu.addAction(u"Alle aus"_s);
    QAction* all = menu.addAction(u"Alle ein"_s);
    QAction* summary = menu.addAction(u"summarisch ein"_s);
    QAction* counted = menu.addAction(u"gezählt ein"_s);
    QAction* complete = menu.addAction(u"komplett ein"_s);
    QAction* range = menu.addAction(u"wählen von-bis"_s);
    menu.addAction(u"Abbruch"_s);
    QAction* chosen = menu.exec(m_mark->viewport()->mapToGlobal(pos));
    if (!chosen)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    if (chosen == none || chosen == all)
        MarkAllBerichte(chosen == all);
    else if (chosen == summary)
        MarkBerichteByModus(ModeSummary);
    else if (chosen == counted)
        MarkBerichteByModus(ModeCounted);
    else if (chosen == complete)
        MarkBerichteByModus(ModeComplete);
    else if (chosen == range) {
        QDate from, to;
        ProposedMarkRange(from, to);
        TDateTime f = DateTimeOfDate(from), t = DateTimeOfDate(to);
        QApplication::restoreOverrideCursor();
        const bool ok = EnterDateRange(f, t, x() + 122, y() + 128, u"Berichtssätze markieren"_s);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (!ok)
            return;
        MarkBerichteByDate(DateOfDateTime(f), DateOfDateTime(t));
    } else
        return;
    loadMarks();
}

void TF_Bericht::showState(const QString& text, int count) {
    m_state->setText(text + u"   "_s + QString::number(count).rightJustified(5, u' '));
    m_state->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TF_Bericht::hideState() {
    m_state->hide();
}

void TF_Bericht::createReports() {
    if (!ConfirmCreateBerichte())
        return;
    WriteLog(u"Berichte:Create"_s);
    m_create->setEnabled(false);
    struct Release {
        TF_Bericht* form;
        QPushButton* button;
        ~Release() {
            button->setEnabled(true);
            form->hideState();
            QApplication::restoreOverrideCursor();
        }
    } release{this, m_create};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    showState(u"Datenübernahme"_s, 0);
    OfferAutomaticBackup(
        CompanyFlag(DataModule1(), u"F_AutoSichernKontroll"_s) ? AutoBackupSwitch::Unasked
                                                               : AutoBackupSwitch::Ask,
        u"Datenübertragung"_s, AutoBackupComment(u"Autosicherung vor Berichtserstellung am  "_s));
    const QDate today = QDate::currentDate();
    ReportBuildResult result;
    {
        const TimerWorkPause pause;
        result =
            CreateBerichte(today, [this](int taken) { showState(u"Datenübernahme"_s, taken); });
    }
    if (result.taken > 0)
        showState(u"Leersätze löschen"_s, result.taken);
    reload();
    QApplication::restoreOverrideCursor();
    ShowInfo(u"Es wurden %1 Datensätze in die Berichtsdatei übernommen."_s.arg(result.taken));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    AdvanceFixTermine(DataModule1(), today);
}

void TF_Bericht::printDeleteMove(int tag) {
    static const char* const verbs[] = {"drucken", "löschen", "drucken und löschen", "auslagern",
                                        "drucken und auslagern"};
    const QString verb = QString::fromUtf8(verbs[std::clamp(tag, 0, 4)]);
    const bool prints = tag == 0 || tag == 2 || tag == 4;
    const bool toArchive = tag == 3 || tag == 4;
    if (!m_markMode)
        setMarkMode(true);
    const int marked = CountMarkedBerichte();
    bool go = false;
    if (marked > 0)
        go = AskYesNo(
            u"Es sind %1 Berichte markiert\rMöchten Sie diese Kontrollberichte wirklich %2"_s
                .arg(marked)
                .arg(verb));
    else
        ShowInfo(u"Es sind keine Sätze markiert!"_s);
    setMarkMode(false);
    if (!go)
        return;
    if (prints) {
        const TimerWorkPause pause;
        printMarked(tag == 0);
    }
    if (tag == 0)
        return;
    const QString word = toArchive ? u"Auslagerung"_s : u"Löschung"_s;
    OfferAutomaticBackup(
        CompanyFlag(DataModule1(), u"F_AutoSichernAblage"_s) ? AutoBackupSwitch::Unasked
                                                             : AutoBackupSwitch::Ask,
        u"Datenübertragung"_s, AutoBackupComment(u"Autosicherung vor %1 am  "_s.arg(word)));
    const QString suffix = toArchive ? u" in die Datenablage überstellt."_s : u" gelöscht."_s;
    int lines = 0;
    auto report = [&] {
        hideState();
        QApplication::restoreOverrideCursor();
        reload();
        ShowInfo(u"Es wurden %1 Berichtssätze"_s.arg(lines) + suffix);
    };
    const TimerWorkPause pause;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    showState(word, 0);
    auto progress = [&](int n) {
        lines = n;
        showState(word, n);
    };
    try {
        if (toArchive)
            MoveMarkedBerichte(progress);
        else
            DeleteMarkedBerichte(progress);
    } catch (...) {
        report();
        throw;
    }
    report();
}

namespace {

struct ObjectReportSettings {
    bool exists = false;
    int mode = 1;
    bool skippedIgnored = true;
    int copies = 1;
    int form = 0;
};

// The report settings of the object as the prints use them.
ObjectReportSettings reportSettingsOf(int objektNr) {
    ObjectReportSettings r;
    table::Table& objects = DataModule1().TabLUObjekt();
    if (!objects.isOpen())
        objects.open();
    if (!objects.locate({u"O_Nr"_s}, {objektNr}))
        return r;
    r.exists = true;
    auto intOf = [&](const char* name, int fallback) {
        const table::Field& f = objects.field(QString::fromLatin1(name));
        return f.isNull() ? fallback : f.value().toInt();
    };
    r.mode = intOf("O_BerichtModus", 1);
    r.skippedIgnored = intOf("O_BerichtUnerledigt", 1) == 1;
    r.copies = std::max(1, intOf("O_KopienKB", 1));
    r.form = intOf("O_PrintFormNoKB", 0);
    return r;
}

// "Vorschau" of one report of the alias's tables.
void previewReport(QWidget* form, const QString& alias, int objektNr, int headId) {
    const std::optional<ReportHead> head = headOf(alias, objektNr, headId);
    if (!head || ReportLines(alias, head->objektNr, head->reportDate).isEmpty()) {
        ShowError(u"Es wurden keine passenden Datensätze gefunden!"_s);
        return;
    }
    const ObjectReportSettings settings = reportSettingsOf(head->objektNr);
    const int type = BerichtFormType(settings.mode);
    int chosen = ChoosePrintForm(type, 0, form->x() + 100, form->y() + 140);
    if (chosen == 0)
        return;
    if (!PrintFormExists(chosen))
        chosen = FirstUserPrintForm(type);
    PrintKbericht(type, head->objektNr, 1,
                  BerichtFilter(head->objektNr, head->reportDate, settings.skippedIgnored),
                  head->reportDate, true, LayoutFilePath(chosen));
}

} // namespace

void TF_Bericht::preview() {
    previewReport(this, kLumo, currentKey(m_objects), currentKey(m_heads));
}

int TF_Bericht::printMarked(bool clearMarks) {
    int printed = 0;
    auto report = [&] { ShowInfo(u"Es wurden %1 Berichte gedruckt."_s.arg(printed)); };
    try {
        for (const ReportHead& head : ReportHeads(kLumo, -1)) {
            if (!head.selected)
                continue;
            const ObjectReportSettings settings = reportSettingsOf(head.objektNr);
            if (!settings.exists)
                continue;
            const int type = BerichtFormType(settings.mode);
            int form = settings.form;
            if (!PrintFormExists(form))
                form = FirstUserPrintForm(type);
            if (form == 0)
                continue; // no form of the type: the mark stays
            const QString filter =
                BerichtFilter(head.objektNr, head.reportDate, settings.skippedIgnored);
            for (int copy = 0; copy < settings.copies; ++copy) {
                PrintKbericht(type, head.objektNr, 1, filter, head.reportDate, false,
                              LayoutFilePath(form));
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            CountBerichtPrinted(head.id, clearMarks);
            ++printed;
        }
    } catch (...) {
        report();
        reload();
        throw;
    }
    report();
    reload();
    return printed;
}

void TF_Bericht::reject() {
    if (m_markMode) {
        setMarkMode(false);
        return;
    }
    QDialog::reject();
}

void ShowBerichtForm() {
    TF_Bericht form(MainForm());
    WriteLog(u"Berichte IN"_s);
    form.objectGrid()->setFocus();
    form.exec();
    if (HasDataModule1())
        for (table::Table* t : {&DataModule1().TabObjekt()})
            if (t->isOpen())
                t->refresh();
}

// --------------------------------------------------------------- TF_Openlist

TF_Openlist::TF_Openlist(QWidget* parent) : QDialog(parent) {
    setObjectName(u"TF_Openlist"_s);
    setWindowTitle(u"Soforterledigung offener Tätigkeiten"_s);
    resize(900, 560);
    if (QWidget* main = MainForm())
        if (main->width() > 400)
            resize(main->width() - 200, 560);
    PlaceBelowMainForm(this, 100, 100, -200);
    resize(width(), 560);
    widgets::KeepOnScreen(*this);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_useDate = new QCheckBox(u"Erledigungsdatum setzen auf den "_s, this);
    m_useDate->setObjectName(u"cbDate"_s);
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setObjectName(u"EditDate"_s);
    m_date->setDisplayFormat(u"dd.MM.yyyy"_s);
    m_date->setCalendarPopup(true);
    m_date->setEnabled(false);
    top->addWidget(m_useDate);
    top->addWidget(m_date);
    top->addStretch();
    layout->addLayout(top);

    m_grid = makeGrid(this, u"GridSelect"_s,
                      {u"Datum"_s, u"Tour-Nr."_s, u"Bezeichnung"_s, u"Obj-Nr."_s,
                       u"Objektbezeichnung"_s, u"Tätigkeit"_s});
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_grid, 3);
    m_protocol = new QPlainTextEdit(this);
    m_protocol->setObjectName(u"Memo1"_s);
    m_protocol->setReadOnly(true);
    layout->addWidget(m_protocol, 1);
    m_tourText = new QPlainTextEdit(this);
    m_tourText->setObjectName(u"DBRichEdit1"_s);
    m_tourText->setReadOnly(true);
    m_tourText->setMaximumHeight(60);
    layout->addWidget(m_tourText);

    auto* buttons = new QHBoxLayout;
    auto* complete = namedButton(u"Erledigen"_s, u"btnErledigen"_s, this);
    complete->setDefault(true);
    auto* close = namedButton(u"S&chließen"_s, u"btnClose"_s, this);
    close->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(complete);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_useDate, &QCheckBox::toggled, m_date, &QWidget::setEnabled);
    connect(complete, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { completeMarked(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        m_tourText->clear();
        if (row >= 0 && row < m_rows.size())
            guarded(this, [this, row] {
                m_tourText->setPlainText(
                    richtext::fromRtfOrPlainText(m_rows[row].tourText)->toPlainText());
            });
    });
    reload();
}

void TF_Openlist::reload() {
    m_rows = OpenActivitiesBefore(QDate::currentDate());
    m_grid->clearSelection();
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        const OpenActivity& a = m_rows[r];
        setRow(m_grid, r,
               {dateText(a.date), QString::number(a.tourNr), a.tourName,
                QString::number(a.objektNr), a.objektName, QString::number(a.taetigNr)},
               a.totId);
    }
}

void TF_Openlist::completeMarked() {
    m_protocol->clear();
    QList<int> marked;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedRows())
        marked.append(index.row());
    std::sort(marked.begin(), marked.end());
    if (marked.isEmpty()) {
        ShowError(u"Keine Datensätze markiert!"_s);
        return;
    }
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        TF_Openlist* form;
        ~Restore() {
            form->setEnabled(true);
            QApplication::restoreOverrideCursor();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    };
    {
        Restore restore{this};
        const QDate date = m_useDate->isChecked() ? m_date->date() : QDate();
        for (int row : marked) {
            m_grid->setCurrentCell(row, 0);
            const CompletedActivity done = CompleteOpenActivity(m_rows[row], date);
            m_protocol->appendPlainText(CompletionProtocolLine(m_rows[row].taetigNr, done));
        }
        m_protocol->appendPlainText(u"Beendet"_s);
    }
    reload();
}

void ShowOpenlistForm() {
    TF_Openlist form(MainForm());
    form.exec();
}

// -------------------------------------------------------------- TF_BerAblage

TF_BerAblage::TF_BerAblage(QWidget* parent) : QDialog(parent) {
    setUpReportWindow(*this, u"TF_BerAblage"_s, u"Kontrollberichte [Ablage]"_s);

    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    m_markButton = namedButton(u"W&ählen"_s, u"btnMark"_s, this);
    m_markButton->setCheckable(true);
    auto* print = namedButton(u"Dr&uck"_s, u"btnPrint"_s, this);
    auto* del = namedButton(u"&Löschen"_s, u"sbtnDel"_s, this);
    m_deleteHead = namedButton(u"Bericht löschen"_s, u"DBNavigatorDelete"_s, this);
    m_deleteHead->setToolTip(u"Den gewählten Bericht der Datenablage löschen"_s);
    auto* info = new QPushButton(u"&?Info?"_s, this);
    auto* close = new QPushButton(u"S&chließen"_s, this);
    auto* searchLabel = new QLabel(u"&Suchen"_s, this);
    auto* search = new QLineEdit(this);
    search->setObjectName(u"EditSearch"_s);
    searchLabel->setBuddy(search);
    for (QPushButton* b : {m_markButton, print, del, m_deleteHead, info, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addSpacing(20);
    buttons->addWidget(searchLabel);
    buttons->addWidget(search);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_objects = makeGrid(this, u"GridObjekt"_s, objectTitles());
    m_heads = makeGrid(this, u"GridBerkopf"_s, headTitles());
    m_lines = makeGrid(this, u"GridBerSatz"_s, {u"T.-Nr"_s, u"Tätigkeit"_s, u"Ausf."_s});
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_objects);
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_heads, 1);
    rightLayout->addWidget(new QLabel(u"Keine Änderungen möglich"_s, right));
    rightLayout->addWidget(m_lines, 2);
    splitter->addWidget(right);
    splitter->setSizes({380, 560});
    m_mainArea = splitter;
    layout->addWidget(splitter, 1);
    m_mark = makeMarkGrid(this);
    layout->addWidget(m_mark, 1);
    m_mark->installEventFilter(this);
    m_mark->viewport()->installEventFilter(this);
    for (QTableWidget* grid : {m_heads, m_mark}) {
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& pos) {
            QMenu menu(this);
            QAction* show = menu.addAction(u"Vorschau"_s);
            menu.setDefaultAction(show);
            menu.addAction(u"Abbrechen"_s);
            if (menu.exec(grid->viewport()->mapToGlobal(pos)) != show)
                return;
            guarded(this, [this, grid] {
                const int headId = currentKey(grid);
                int objektNr = currentKey(m_objects);
                if (grid == m_mark && grid->currentRow() >= 0 && grid->item(grid->currentRow(), 0))
                    objektNr = grid->item(grid->currentRow(), 0)->text().toInt();
                previewReport(this, kAblage, objektNr, headId);
            });
        });
    }
    connect(m_heads, &QTableWidget::cellDoubleClicked, this, [this] {
        guarded(this, [this] {
            previewReport(this, kAblage, currentKey(m_objects), currentKey(m_heads));
        });
    });
    connect(m_markButton, &QPushButton::clicked, this,
            [this](bool on) { guarded(this, [this, on] { setMarkMode(on); }); });
    connect(print, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { printMarked(); }); });

    connect(m_objects, &QTableWidget::currentCellChanged, this,
            [this] { guarded(this, [this] { loadHeads(); }); });
    connect(m_heads, &QTableWidget::currentCellChanged, this,
            [this] { guarded(this, [this] { loadLines(); }); });
    connect(del, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { deleteClicked(); }); });
    connect(m_deleteHead, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { deleteCurrentHead(); }); });
    connect(info, &QPushButton::clicked, this, [] { ShowHandbuchPage(u"datenablage.html"_s); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(search, &QLineEdit::textChanged, this,
            [this](const QString& text) { searchObjects(m_objects, text); });
    reload();
}

void TF_BerAblage::reload() {
    fillObjects(m_objects);
    loadHeads();
}

void TF_BerAblage::loadHeads() {
    fillHeads(m_heads, kAblage, currentKey(m_objects));
    m_deleteHead->setEnabled(m_heads->rowCount() > 0);
    loadLines();
}

void TF_BerAblage::loadLines() {
    const std::optional<ReportHead> head =
        headOf(kAblage, currentKey(m_objects), currentKey(m_heads));
    const QList<ReportLine> lines =
        head ? ReportLines(kAblage, head->objektNr, head->reportDate) : QList<ReportLine>{};
    m_lines->setRowCount(int(lines.size()));
    for (int r = 0; r < lines.size(); ++r)
        setRow(
            m_lines, r,
            {QString::number(lines[r].taetigNr), lines[r].text, QString::number(lines[r].wieOft)},
            lines[r].id);
}

void TF_BerAblage::setMarkMode(bool on) {
    m_markMode = on;
    m_markButton->setChecked(on);
    m_mainArea->setVisible(!on);
    m_mark->setVisible(on);
    if (on) {
        loadMarkGrid(m_mark, kAblage);
        // On the current archived head, else on the first.
        selectKey(m_mark, currentKey(m_heads));
        m_mark->setFocus();
    } else {
        reload();
    }
}

bool TF_BerAblage::eventFilter(QObject* watched, QEvent* event) {
    if (m_markMode &&
        markingEvent(this, m_mark, kAblage, watched, event, [this] { setMarkMode(false); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TF_BerAblage::reject() {
    if (m_markMode) {
        setMarkMode(false);
        return;
    }
    QDialog::reject();
}

void TF_BerAblage::printMarked() {
    if (m_printing)
        return;
    if (!m_markMode)
        setMarkMode(true);
    const int marked = CountMarkedBerichte(kAblage);
    bool go = false;
    if (marked > 0)
        go = AskYesNo(u"Es sind %1 Objekte markiert\rMöchten Sie diese Kontrollberichte wirklich "
                      u"drucken?"_s.arg(marked));
    else
        ShowInfo(u"Es sind keine Objekte markiert!"_s);
    setMarkMode(false);
    if (!go)
        return;
    m_printing = true;
    const TimerWorkPause pause;
    int printed = 0;
    auto finish = [&] {
        m_printing = false;
        QApplication::restoreOverrideCursor();
        ShowInfo(u"Es wurden %1 Kontrollberichte gedruckt."_s.arg(printed));
        reload();
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        for (const ReportHead& head : ReportHeads(kAblage, -1)) {
            if (!head.selected)
                continue;
            const ObjectReportSettings settings = reportSettingsOf(head.objektNr);
            if (!settings.exists)
                continue;
            const int type = BerichtFormType(settings.mode);
            int form = settings.form;
            if (!PrintFormExists(form))
                form = FirstUserPrintForm(type);
            // Without any form of the type the report prints in its designed layout.
            const QString layout = form == 0 ? QString() : LayoutFilePath(form);
            const QString filter =
                BerichtFilter(head.objektNr, head.reportDate, settings.skippedIgnored);
            for (int copy = 0; copy < settings.copies; ++copy)
                PrintKbericht(type, head.objektNr, 1, filter, head.reportDate, false, layout);
            SetArchivedBerichtPrinted(head.id);
            ++printed;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TF_BerAblage::deleteCurrentHead() {
    const int id = currentKey(m_heads);
    if (id == 0 || !AskYesNo(u"Datensatz löschen?"_s))
        return;
    DeleteBericht(kAblage, id);
    loadHeads();
}

void TF_BerAblage::deleteClicked() {
    TDateTime limit = DateTimeOfDate(QDate(QDate::currentDate().year(), 1, 1).addDays(-1));
    if (!EnterLimitDate(limit, x() + 542, y() + 376, EmptyDate,
                        u"Kontrollberichte löschen bis einschließlich"_s, QString()))
        return;
    OfferAutomaticBackupAsking(AutoBackupSwitch::Ask, kBackupQuestion,
                               AutoBackupComment(u"Autosicherung vor Berichtserstellung am  "_s));
    deleteUpTo(DateOfDateTime(limit));
}

void TF_BerAblage::deleteUpTo(const QDate& limit) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        DeleteArchivedBerichteUpTo(limit);
    } catch (const Abort&) {
        QApplication::restoreOverrideCursor();
        throw;
    } catch (const std::exception&) {
        QApplication::restoreOverrideCursor();
        ShowError(u"Beim Löschen der Berichte ist ein Fehler aufgetreten!"_s);
        reload();
        return;
    }
    QApplication::restoreOverrideCursor();
    reload();
}

void ShowBerAblageForm() {
    const ReportDatabaseScope archive(kAblage);
    TF_BerAblage form(MainForm());
    form.objectGrid()->setFocus();
    form.exec();
}

// --------------------------------------------------------------- TF_EdBerTxt

struct TF_EdBerTxt::Texts {
    std::unique_ptr<table::Table> row;
    std::unique_ptr<widgets::DataSource> source;
};

TF_EdBerTxt::TF_EdBerTxt(QWidget* parent) : QDialog(parent), m_texts(std::make_unique<Texts>()) {
    setObjectName(u"TF_EdBerTxt"_s);
    setWindowTitle(u"Berichts-Zusatztexte bearbeiten"_s);
    resize(640, 460);
    if (parent)
        move(parent->x(), parent->y() + 24);
    widgets::KeepOnScreen(*this);

    // The first row is the one every report prints; a client without one gets it.
    auto db = table::aliases::database(kLumo);
    m_texts->row = std::make_unique<table::Table>(db, u"BerText.db"_s);
    m_texts->row->open();
    if (m_texts->row->isEmpty()) {
        m_texts->row->append();
        m_texts->row->field(u"ID"_s).setValue(1);
        m_texts->row->post();
    }
    m_texts->row->first();
    m_texts->source = std::make_unique<widgets::DataSource>(*m_texts->row);

    auto* layout = new QVBoxLayout(this);
    auto addText = [&](const QString& caption, const QString& field, const QString& name) {
        auto* open = new QPushButton(caption, this);
        open->setFlat(true);
        open->setAutoDefault(false);
        open->setToolTip(u"Text im Editor bearbeiten"_s);
        auto* edit = new widgets::DbRichEdit(*m_texts->source, field, this);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        layout->addWidget(open, 0, Qt::AlignLeft);
        layout->addWidget(edit, 1);
        connect(open, &QPushButton::clicked, this,
                [this, edit] { guarded(this, [this, edit] { ShowRtfEditor(this, *edit); }); });
    };
    addText(u"Vorspann-Text"_s, u"E_Head"_s, u"DBRichEdit1"_s);
    addText(u"Nachspann-Text"_s, u"E_Foot"_s, u"DBRichEdit2"_s);
    auto* close = new QPushButton(u"S&chließen"_s, this);
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

TF_EdBerTxt::~TF_EdBerTxt() {
    // A changed text is kept also when the dialog ended by an error.
    try {
        if (m_texts->row && m_texts->row->isEditing())
            m_texts->row->post();
    } catch (...) {
        m_texts->row->cancel();
    }
}

void ShowBerTextForm(QWidget* parent) {
    TF_EdBerTxt form(parent);
    form.exec();
}
