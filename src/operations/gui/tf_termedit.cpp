#include "operations/gui/tf_termedit.h"

#include "commercial/documents/deliverynoteentries.h"
#include "core/data/appointmentrules.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/timerworkpause.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/moduleopener.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/values/calendar.h"
#include "core/values/datetimevalue.h"
#include "datasafety/autobackup.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/gridsearch.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/tf_seltour.h"
#include "operations/gui/janeindelegate.h"
#include "operations/gui/tf_multiterm.h"
#include "operations/gui/tourpanel.h"
#include "operations/termdone.h"
#include "operations/termfilter.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"
#include "printing/gui/printbutton.h"
#include "printing/termprints.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;
using widgets::guarded;

namespace {

constexpr int kRight = 20;
const QString kObjekt = u"T_Objekt"_s;
const QString kDate = u"T_Date"_s;
const QString kDone = u"T_Erledigt"_s;
const QString kLsId = u"T_LsID"_s;
const QString kTourNr = u"T_TourNr"_s;
const QString kTaglist = u"T_Taglist"_s;
const QString kAlarmDate = u"T_AlarmDate"_s;
// The background of the rows of done appointments.
const QColor kDoneColor(166, 252, 118);

TF_TermEdit* s_current = nullptr;

TF_TermEdit* termEditOf(TF_TableForm& form) {
    return qobject_cast<TF_TermEdit*>(&form);
}

// Runs an action of the form that the declaration names.
std::function<void(TF_TableForm&)> action(void (TF_TermEdit::*member)()) {
    return [member](TF_TableForm& form) {
        if (TF_TermEdit* f = termEditOf(form))
            (f->*member)();
    };
}

bool isField(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A date field's date; invalid for no date (null or the empty date).
QDate dateOf(table::Table& t, const QString& field) {
    const table::Field& f = t.field(field);
    if (f.isNull())
        return {};
    const QDate d = f.asDate();
    return DateTimeOfDate(d) == EmptyDate ? QDate() : d;
}

// Done rows light green, "Erled." as "Ja"/"Nein", and the number of the
// linked delivery note in the "Lieferschein" column.
class TermGridDelegate : public JaNeinDelegate {
public:
    TermGridDelegate(int doneColumn, int lsColumn, QObject* parent)
        : JaNeinDelegate(doneColumn, parent), m_lsColumn(lsColumn) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        JaNeinDelegate::initStyleOption(option, index);
        if (isSet(index))
            option->backgroundBrush = kDoneColor;
        if (index.column() == m_lsColumn)
            option->text = deliveryNoteNr(index.data(Qt::EditRole).toInt());
    }

private:
    static QString deliveryNoteNr(int lsId) {
        if (lsId == 0)
            return {};
        table::Table& heads = DataModule1().TabLSKopf();
        if (!heads.isOpen())
            return {};
        return heads.lookup({u"R_ID"_s}, {lsId}, u"R_Nr"_s).toString();
    }
    int m_lsColumn;
};

// The detail fields below the grid; their height is kept in the placement file.
class TermDetailPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Height READ height WRITE setStoredHeight)
public:
    using QWidget::QWidget;

private:
    void setStoredHeight(int height) { SetSplitterShare(*this, height); }
};

widgets::RightsCheck termRights() {
    return [](widgets::EditAction action) {
        switch (action) {
        case widgets::EditAction::Edit:
            return HasEditRight(kRight);
        case widgets::EditAction::Insert:
            return true; // the create right is the appointment rule's to check
        case widgets::EditAction::Delete:
            return HasDeleteRight(kRight);
        }
        return false;
    };
}

// Gives the appointment table back writable, however the form ends.
class WritableAgain {
public:
    explicit WritableAgain(table::Table& t) : m_table(t) {}
    ~WritableAgain() {
        try {
            if (!m_table.isOpen())
                m_table.setReadOnly(false);
            else if (HasDataModule1())
                DataModule1().SetTableReadOnly(m_table, false);
        } catch (...) {
            // The form is gone; the next opener sets the state again.
        }
    }
    WritableAgain(const WritableAgain&) = delete;
    WritableAgain& operator=(const WritableAgain&) = delete;

private:
    table::Table& m_table;
};

} // namespace

TableFormDecl TermEditDecl() {
    TableFormDecl f;
    f.formClass = u"TF_TermEdit"_s;
    f.caption = u"Erfassung Terminaufträge"_s;
    f.source = TableSource::Shared;
    f.table = u"TabTermObj"_s;
    f.gridName = u"GridMat"_s;
    f.columns = {{kObjekt, u"Obj.-Nr."_s, 7},
                 {kDate, u"Termin"_s, 10},
                 {u"T_Time"_s, u"Uhrzeit"_s, 6},
                 {u"T_ObjName"_s, u"Objekt-Bezeichnung"_s, 26},
                 {u"T_Kurztext"_s, u"Beschreibung"_s, 34},
                 {kDone, u"Erled."_s, 6, true},
                 {kLsId, u"Lieferschein"_s, 12, true}};
    f.columnActions = {{kDate, action(&TF_TermEdit::chooseDate)},
                       {kObjekt, action(&TF_TermEdit::chooseObjekt)},
                       {kDone, action(&TF_TermEdit::toggleDone)}};
    f.titleSort = TitleSort::ByField;
    f.initialSortField = kDate;
    f.navigatorButtons = {widgets::DbNavigator::First,  widgets::DbNavigator::Prior,
                          widgets::DbNavigator::Next,   widgets::DbNavigator::Last,
                          widgets::DbNavigator::Insert, widgets::DbNavigator::Delete,
                          widgets::DbNavigator::Refresh};
    f.postCancelButtons = true;
    FieldDecl staff{u"&Mitarbeiter"_s, u"T_PersNo"_s, FieldKind::Edit};
    staff.width = 8;
    staff.hint = u"Doppelklick oder Alt+W: Mitarbeiter auswählen"_s;
    staff.pick = [](QWidget&) {
        if (TF_TermEdit* form = TF_TermEdit::current())
            form->choosePersonal();
    };
    FieldDecl name{u"Mitarbeiter-Name"_s, u"T_Betreuer"_s, FieldKind::Edit};
    name.width = 30;
    name.readOnly = true;
    name.sameLine = true;
    FieldDecl amount{u"Brutto-Betrag"_s, u"T_GPreis"_s, FieldKind::Edit};
    amount.width = 12;
    amount.readOnly = true;
    amount.sameLine = true;
    f.fields = {staff, name, amount,
                FieldDecl{u"Arbeitsan&weisung"_s, u"T_Text"_s, FieldKind::RichText}};
    f.contextMenu = {{u"Mehrfachtermin"_s, action(&TF_TermEdit::seriesOfCurrent)},
                     {u"Erledigt setzen"_s,
                      [](TF_TableForm& form) {
                          if (TF_TermEdit* f = termEditOf(form))
                              f->setDone(true);
                      }},
                     {u"Offen setzen"_s,
                      [](TF_TableForm& form) {
                          if (TF_TermEdit* f = termEditOf(form))
                              f->setDone(false);
                      }},
                     {u"Eintrag hinzufügen"_s, action(&TF_TermEdit::addEntry)},
                     {u"&Abbrechen"_s, {}}};
    f.helpPage = u"termine.html"_s;
    f.minimumSize = {1000, 600};
    f.placement = {kPlacementFile04,
                   u"TermEdit"_s,
                   {u"GridMat.Columns"_s, u"PanelDetail.Height"_s, u"lbSortObj.Caption"_s}};
    return f;
}

TF_TermEdit* TF_TermEdit::current() {
    return s_current;
}

TF_TermEdit::TF_TermEdit(QWidget* parent)
    : TF_TableForm(TermEditDecl(), DataModule1().TabTermObj(), parent),
      m_remembered(DailyListToday()) {
    s_current = this;
    AppointmentRuleHooks& hooks = AppointmentRuleHooksRegistry();
    hooks.initNewTermin = [](table::Table& t) {
        if (s_current)
            s_current->InitNewTermin(t);
    };
    hooks.rememberLastTermin = [](table::Table& t) {
        if (s_current)
            s_current->RememberLastTermin(t);
    };
    hooks.setObjekt = [](int nr) {
        if (s_current)
            s_current->SetObjekt(nr);
    };

    widgets::DataGrid& g = grid();
    const widgets::DataGridModel& model = g.gridModel();
    g.setItemDelegate(new TermGridDelegate(model.columnOf(kDone), model.columnOf(kLsId), &g));
    g.installEventFilter(this);
    m_sortObj = new QLabel(this);
    m_sortObj->setObjectName(u"lbSortObj"_s);
    m_sortObj->hide();
    buildTopRow();
    buildSplit();
    buildButtons();
    buildOptionsPanel();
    if (QMenu* menu = contextMenu())
        menu->setDefaultAction(menu->actions().value(0));
    source().setRightsCheck(termRights());
    source().setDeleteGuard([this] { guardDelete(); });
    connect(&g, &widgets::DataGrid::titleClicked, this,
            [this](int column) { m_sortColumn = column; });
    applyRights();
    // A current row is where the remembered date and object come from.
    if (table().isOpen() && !table().isEmpty())
        RememberLastTermin(table());
}

TF_TermEdit::~TF_TermEdit() {
    if (s_current == this) {
        s_current = nullptr;
        AppointmentRuleHooks& hooks = AppointmentRuleHooksRegistry();
        hooks.initNewTermin = {};
        hooks.rememberLastTermin = {};
        hooks.setObjekt = {};
    }
}

void TF_TermEdit::buildTopRow() {
    QHBoxLayout& row = topRow();
    int at = row.indexOf(&navigator()) + 3; // after "Überneh&men" and "&Abbrechen"
    m_filter = new QComboBox(this);
    m_filter->setObjectName(u"cbFilter"_s);
    m_filter->addItems(TermFilterCaptions());
    m_filter->setToolTip(u"Filter der Terminliste nach der aktuellen Zeile"_s);
    m_onlyOpen = new QCheckBox(u"Nur offene"_s, this);
    m_onlyOpen->setObjectName(u"CheckBox1"_s);
    auto* label = new QLabel(u"&Suchen"_s, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"EditSearch"_s);
    m_search->setToolTip(u"Suchbegriff eingeben"_s);
    m_search->setFixedWidth(m_search->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    label->setBuddy(m_search);
    row.insertSpacing(at++, 12);
    row.insertWidget(at++, m_filter);
    row.insertWidget(at++, m_onlyOpen);
    row.insertSpacing(at++, 12);
    row.insertWidget(at++, label);
    row.insertWidget(at++, m_search);
    m_gridSearch = new GridSearch(*m_search, grid(), [this] { return m_sortColumn; });
    connect(m_filter, &QComboBox::activated, this, [this] { filterChosen(); });
    connect(m_onlyOpen, &QCheckBox::clicked, this, [this] { filterChosen(); });
    m_filter->installEventFilter(this);
}

void TF_TermEdit::buildSplit() {
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    widgets::DataGrid& g = grid();
    const int at = layout->indexOf(&g);
    layout->removeWidget(&g);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(&g);
    if (widgets::FieldForm* details = fields()) {
        layout->removeWidget(details);
        auto* panel = new TermDetailPanel(split);
        panel->setObjectName(u"PanelDetail"_s);
        auto* inner = new QVBoxLayout(panel);
        inner->setContentsMargins(0, 0, 0, 0);
        details->setParent(panel);
        inner->addWidget(details);
        split->addWidget(panel);
        split->setStretchFactor(1, 1);
        if (QWidget* staff = details->editor(u"T_PersNo"_s))
            staff->installEventFilter(this);
    }
    split->setStretchFactor(0, 3);
    split->setChildrenCollapsible(false);
    layout->insertWidget(at, split, 1);
}

void TF_TermEdit::buildButtons() {
    QHBoxLayout& row = bottomRow();
    auto button = [this](const QString& caption, const QString& name, auto member) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this,
                [this, member] { guarded(this, [&] { (this->*member)(); }); });
        return b;
    };
    m_print = new QPushButton(u"Druck"_s, this);
    m_print->setObjectName(u"btnPrint"_s);
    m_preview = new QPushButton(u"Vorsc&hau"_s, this);
    m_preview->setObjectName(u"sbtnPreview"_s);
    MarkPreviewButton(m_preview);
    auto* sheets = new QGroupBox(u"Arbeitssch."_s, this);
    sheets->setObjectName(u"gbArbeitsschein"_s);
    auto* sheetRow = new QHBoxLayout(sheets);
    sheetRow->setContentsMargins(4, 2, 4, 2);
    m_sheetPrint = new QPushButton(u"Drucken"_s, sheets);
    m_sheetPrint->setObjectName(u"sbtnArbeitsscheinDruck"_s);
    m_sheetPreview = new QPushButton(u"Vorschau"_s, sheets);
    m_sheetPreview->setObjectName(u"sbtnArbeitsscheinPreview"_s);
    MarkPreviewButton(m_sheetPreview);
    sheetRow->addWidget(m_sheetPrint);
    sheetRow->addWidget(m_sheetPreview);
    for (QPushButton* b : {m_print, m_preview, m_sheetPrint, m_sheetPreview}) {
        b->setAutoDefault(false);
        const bool list = b == m_print || b == m_preview;
        connect(b, &QPushButton::clicked, this, [this, b, list] {
            guarded(this, [&] {
                if (list)
                    printList(IsPreviewButton(b));
                else
                    printWorkSheets(IsPreviewButton(b));
            });
        });
    }
    m_deliveryNote = button(u"&Liefersch."_s, u"btnCreateLS"_s, &TF_TermEdit::editDeliveryNote);
    m_deleteDone = button(u"Erl. lösch."_s, u"sbtnDeleteDone"_s, &TF_TermEdit::deleteDone);
    m_options = button(u"Optionen"_s, u"btnOptions"_s, &TF_TermEdit::toggleOptions);
    int at = 0;
    for (QWidget* w : std::initializer_list<QWidget*>{m_print, m_preview, sheets, m_deliveryNote,
                                                      m_deleteDone, m_options})
        row.insertWidget(at++, w);
    if (!DeliveryNoteEntriesRegistry().editLieferschein) {
        m_deliveryNote->setEnabled(false);
        m_deliveryNote->setToolTip(
            u"Der Lieferschein-Editor steht mit dem Lieferscheinmodul zur Verfügung."_s);
    }
}

void TF_TermEdit::buildOptionsPanel() {
    m_optionsPanel = new QFrame(this);
    m_optionsPanel->setObjectName(u"PanelOptions"_s);
    m_optionsPanel->setFrameShape(QFrame::StyledPanel);
    m_optionsPanel->setFrameShadow(QFrame::Raised);
    m_optionsPanel->setAutoFillBackground(true);
    m_optionsPanel->setToolTip(u"Mit der linken Maustaste verschieben"_s);
    FieldDecl taglist{u"Termin übernehmen in Tour"_s, kTaglist, FieldKind::CheckBox};
    FieldDecl tour{u"&Tour"_s, kTourNr, FieldKind::Edit};
    tour.width = 6;
    tour.hint = u"Doppelklick: Tour zuweisen"_s;
    tour.pick = [](QWidget&) {
        if (TF_TermEdit* form = TF_TermEdit::current())
            form->chooseTour();
    };
    FieldDecl alarm{u"Termin melden am"_s, u"T_Alarm"_s, FieldKind::CheckBox};
    FieldDecl alarmDate{QString(), kAlarmDate, FieldKind::Date};
    alarmDate.width = 10;
    alarmDate.sameLine = true;
    FieldDecl alarmTime{u"um"_s, u"T_AlarmTime"_s, FieldKind::Edit};
    alarmTime.width = 6;
    alarmTime.sameLine = true;
    m_optionFields = new widgets::FieldForm(source(), {taglist, tour, alarm, alarmDate, alarmTime},
                                            m_optionsPanel);
    auto* inner = new QVBoxLayout(m_optionsPanel);
    inner->setContentsMargins(6, 6, 6, 6);
    inner->addWidget(m_optionFields);
    m_optionsPanel->adjustSize();
    m_optionsPanel->hide();
    m_optionsPanel->installEventFilter(this);
    if (auto* box = m_optionFields->editorAs<QCheckBox>(kTaglist))
        connect(box, &QCheckBox::clicked, this, [this](bool checked) {
            guarded(this, [&] {
                table::Table& t = table();
                if (!checked && t.isOpen() && FieldInt(t, kTourNr) != 0) {
                    source().startEdit();
                    t.field(kTourNr).setValue(0);
                    source().notifyRecordChanged();
                }
            });
        });
    if (QWidget* date = m_optionFields->editor(kAlarmDate))
        date->installEventFilter(this);
    for (QWidget* w : m_optionFields->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            w->installEventFilter(this);
}

void TF_TermEdit::applyRights() {
    const bool edit = HasEditRight(kRight);
    m_print->setVisible(HasPrintRight(kRight));
    m_sheetPrint->setVisible(HasPrintRight(kRight));
    m_deliveryNote->setVisible(edit);
    m_options->setVisible(edit);
    grid().setContextMenuPolicy(edit ? Qt::CustomContextMenu : Qt::NoContextMenu);
    navigator().setButtonVisible(widgets::DbNavigator::Delete, HasDeleteRight(kRight));
    // A bulk deletion needs the right to delete, as a single one does.
    if (!HasDeleteRight(kRight)) {
        m_deleteDone->setEnabled(false);
        m_deleteDone->setToolTip(u"Sie haben keine Berechtigung zum Löschen."_s);
    }
}

void TF_TermEdit::postPending() {
    if (table().isOpen() && table().isEditing())
        table().post();
}

QDate TF_TermEdit::rowDate() {
    table::Table& t = table();
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return m_remembered;
    const QDate d = dateOf(t, kDate);
    return d.isValid() ? d : m_remembered;
}

void TF_TermEdit::refreshGrid() {
    source().refresh();
    grid().followCursor();
}

QString TF_TermEdit::objectSort() const {
    return m_sortObj->text();
}

void TF_TermEdit::InitNewTermin(table::Table& t) {
    t.field(kDate).setValue(m_remembered);
    t.field(u"T_Time"_s).setValue(QTime(0, 0));
    t.field(kObjekt).setValue(m_currentObjekt);
    const QVariantList objekt =
        m_currentObjekt != 0
            ? QVariantList{GetObjektMatchByNr(m_currentObjekt), LookupObjektKunde(m_currentObjekt)}
            : QVariantList{QString(), QVariant()};
    t.field(u"T_ObjName"_s).setValue(objekt.at(0).toString());
    // The customer of the object, also when the object is the remembered one.
    if (m_currentObjekt != 0)
        t.field(u"T_Kunde"_s).setValue(objekt.at(1));
    for (const char* empty : {"T_Kurztext", "T_RgNummer", "T_Betreuer", "T_Text"})
        t.field(QString::fromLatin1(empty)).setValue(QString());
    t.field(u"T_GPreis"_s).setValue(0.0);
    for (const char* zero : {"T_PersNo", "T_Druck", "T_MusterID", "T_LsID", "T_TourNr"})
        t.field(QString::fromLatin1(zero)).setValue(0);
    for (const char* no : {"T_Buchsperre", "T_Erledigt", "T_Alarm", "T_Taglist", "T_AlarmDone"})
        t.field(QString::fromLatin1(no)).setValue(false);
    t.field(u"T_SperrDatum"_s).setValue(m_remembered);
    t.field(u"T_AlarmTime"_s).setValue(QTime(0, 0));
    t.field(kAlarmDate).clear();
    SelectGridField(grid(), u"TabTermObjT_Objekt"_s);
}

void TF_TermEdit::RememberLastTermin(table::Table& t) {
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return;
    const QDate d = dateOf(t, kDate);
    m_remembered = d.isValid() ? d : DailyListToday();
    m_currentObjekt = FieldInt(t, kObjekt);
}

void TF_TermEdit::SetObjekt(int objektNr) {
    if (objektNr == m_currentObjekt)
        return;
    m_currentObjekt = objektNr;
    table::Table& t = table();
    if (!t.isEditing())
        return;
    t.field(u"T_Kunde"_s).setValue(LookupObjektKunde(objektNr));
    t.field(u"T_ObjName"_s).setValue(GetObjektMatchByNr(objektNr));
}

void TF_TermEdit::filterChosen() {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    postPending();
    const bool empty = t.isEmpty();
    const QString text = BuildTermFilter(
        TermFilterChoice(m_filter->currentIndex()), empty ? m_remembered : rowDate(),
        empty ? m_currentObjekt : FieldInt(t, kObjekt), m_onlyOpen->isChecked());
    // The row the filter was built from stays current when it passes.
    const table::Bookmark mark = t.bookmark();
    t.setFilter(text);
    t.setFiltered(!text.isEmpty());
    if (mark.valid && t.bookmarkValid(mark))
        t.gotoBookmark(mark);
    source().notifyViewChanged();
    grid().followCursor();
}

void TF_TermEdit::printList(bool preview) {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    postPending();
    const QString filter = t.isFiltered() ? t.filter() : QString();
    widgets::RowReader& rows = source().rows();
    const int count = rows.rowCount();
    auto dateAt = [&](int row) {
        const QVariant v = count > 0 ? rows.value(row, kDate) : QVariant();
        const QDate d = v.isNull() ? QDate() : v.toDate();
        return d.isValid() && DateTimeOfDate(d) != EmptyDate ? d : m_remembered;
    };
    const bool hasRow = !t.isEmpty();
    const TermListPrint list = TermListPrintOf(
        TermFilterChoice(m_filter->currentIndex()), dateAt(count - 1), dateAt(0), rowDate(),
        hasRow ? FieldInt(t, kObjekt) : 0, hasRow ? FieldText(t, u"T_ObjName"_s) : QString());
    const TermListEntry entry = FindTermListEntry(list.entry);
    if (!entry)
        throw DbError(u"Die Terminliste %1 gibt es nicht."_s.arg(list.entry));
    QAbstractButton* button = preview ? m_preview : m_print;
    PrintButtonClicked(button, {PrintVariant::A, list.formType}, WindowPrintFormChoosers(this),
                       [&](bool, const QString& layout) {
                           entry(preview, filter, list.dateText, list.objektText, layout);
                       });
    filterChosen();
}

void TF_TermEdit::printWorkSheets(bool preview) {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    postPending();
    const QDate start =
        !t.isEmpty() && dateOf(t, kDate).isValid() ? dateOf(t, kDate) : DailyListToday();
    TDateTime chosen = DateTimeOfDate(start);
    if (!PickDateBeside(chosen, *this, width() - 400, 240))
        return;
    const QDate day = DateOfDateTime(chosen);
    const table::Bookmark mark = t.bookmark();
    m_sortColumn = SortGridByField(kDate, grid(), true);
    if (mark.valid && t.bookmarkValid(mark))
        t.gotoBookmark(mark);
    grid().followCursor();
    const QList<TermWorkSheet> sheets =
        TermWorkSheetsOfDay(t.isFiltered() ? t.filter() : QString(), day, m_onlyOpen->isChecked());
    const PrintFormChoosers choosers = WindowPrintFormChoosers(this);
    for (const TermWorkSheet& sheet : sheets) {
        // Asked per object; a choice that is no work sheet ends the run.
        const PrintLayout layout = ResolvePrintLayout({PrintVariant::A, 41000}, choosers);
        if (!layout.prints())
            break;
        PrintArbeitsschein(preview, sheet.filter, sheet.dateText, sheet.objektText, sheet.address,
                           layout.layoutPath());
    }
}

void TF_TermEdit::editDeliveryNote() {
    const auto& edit = DeliveryNoteEntriesRegistry().editLieferschein;
    table::Table& t = table();
    if (!edit || !t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return;
    postPending();
    const int objektNr = FieldInt(t, kObjekt);
    if (objektNr == 0)
        return;
    const int linked = FieldInt(t, kLsId);
    QString nr;
    if (linked != 0)
        nr = GetLSNrById(linked);
    else
        FindOpenLSOfObjekt(objektNr, kLsTypTermine, nr);
    const int lsId = edit(nr, objektNr, true, kLsTypTermine, FieldInt(t, u"T_ID"_s));
    RefreshIfActive(DataModule1().TabLSKopf());
    source().startEdit();
    t.field(kLsId).setValue(lsId);
    t.field(u"T_GPreis"_s).setValue(lsId != 0 ? GetLSBrutto(lsId) : 0.0);
    t.post();
    source().notifyRecordChanged();
}

void TF_TermEdit::guardDelete() {
    table::Table& t = table();
    const int lsId = FieldInt(t, kLsId);
    const auto& remove = DeliveryNoteEntriesRegistry().deleteLieferschein;
    if (lsId == 0 || !remove || GetFieldBoolOrDefault(t.findField(kDone), false))
        return;
    if (AskYesNo(u"Soll der mit dem Termin verbundene Lieferschein ebenfalls gelöscht werden?"_s))
        remove(lsId);
}

void TF_TermEdit::deleteDone() {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    postPending();
    const QDate row = t.isEmpty() ? QDate() : dateOf(t, kDate);
    const QDate limit = row.isValid() ? row : DateOfDateTime(EmptyDate);
    if (!AskYesNo(u"Alle erledigten Termine bis einschließlich "_s +
                  limit.toString(u"dd.MM.yyyy"_s) + u" löschen?"_s))
        return;
    OfferAutomaticBackup(AutoBackupSwitch::Ask, u"Löschung von Terminen"_s,
                         u"Autosicherung vor Löschung von Terminen am "_s +
                             QDate::currentDate().toString(u"dd.MM.yyyy"_s));
    DeleteDoneAppointments(limit);
    refreshGrid();
}

void TF_TermEdit::toggleOptions() {
    if (m_optionsPanel->isVisible()) {
        m_optionsPanel->hide();
        return;
    }
    if (!m_optionsPlaced) {
        // At the lower right corner of the grid.
        const QRect g(grid().mapTo(this, QPoint(0, 0)), grid().size());
        m_optionsPanel->adjustSize();
        m_optionsPanel->move(qMax(0, g.right() - m_optionsPanel->width()),
                             qMax(0, g.bottom() - m_optionsPanel->height()));
        m_optionsPlaced = true;
    }
    m_optionsPanel->show();
    m_optionsPanel->raise();
}

void TF_TermEdit::setDone(bool done) {
    table::Table& t = table();
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return;
    // A pending edit is posted on its own: its refusal shows a message,
    // which must not wait inside the transaction of the change.
    postPending();
    SetTerminErledigt(DataModule1(), done);
    source().notifyRecordChanged();
    grid().viewport()->update();
}

void TF_TermEdit::toggleDone() {
    table::Table& t = table();
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return;
    setDone(!GetFieldBoolOrDefault(t.findField(kDone), false));
}

bool TF_TermEdit::doneKey(int key) {
    table::Table& t = table();
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()))
        return false;
    const bool was = GetFieldBoolOrDefault(t.findField(kDone), false);
    bool done = was;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        done = !was;
        break;
    case Qt::Key_J:
        done = true;
        break;
    case Qt::Key_N:
        done = false;
        break;
    default:
        return false;
    }
    guarded(this, [&] {
        grid().commitEdit();
        source().startEdit();
        t.field(kDone).setValue(done);
        t.post();
        source().notifyRecordChanged();
        t.next();
        grid().followCursor();
        grid().selectField(kDone);
    });
    return true;
}

void TF_TermEdit::seriesOfCurrent() {
    table::Table& t = table();
    if (!t.isOpen() || t.isEmpty())
        return;
    postPending();
    const QDate d = dateOf(t, kDate);
    ShowMultiTermForm(FieldInt(t, kObjekt), d.isValid() ? d : DateOfDateTime(EmptyDate));
    refreshGrid();
}

void TF_TermEdit::addEntry() {
    if (!table().isOpen())
        return;
    postPending();
    grid().setFocus();
    source().insert();
}

void TF_TermEdit::chooseDate() {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    TDateTime date = DateTimeOfDate(m_remembered);
    if (!PickDateBeside(date, *this, 122, 128))
        return;
    const QDate chosen = DateOfDateTime(date);
    source().startEdit();
    t.field(kDate).setValue(chosen);
    m_remembered = chosen;
    source().notifyRecordChanged();
}

void TF_TermEdit::chooseObjekt() {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    const QRect at = frameGeometry();
    QString sort = m_sortObj->text();
    const int chosen = SelectObjekt(m_currentObjekt, 400, at.left() + 40, at.top() + 240, sort);
    m_sortObj->setText(sort);
    if (chosen == 0 || chosen == m_currentObjekt)
        return;
    source().startEdit();
    t.field(kObjekt).setValue(chosen); // the rule makes it the current object
    m_currentObjekt = chosen;
    t.field(u"T_ObjName"_s).setValue(GetObjektMatchByNr(chosen));
    source().notifyRecordChanged();
}

void TF_TermEdit::choosePersonal() {
    table::Table& t = table();
    if (!t.isOpen())
        return;
    const int start = FieldInt(t, u"T_PersNo"_s);
    const QRect at = frameGeometry();
    const int chosen = SelectPersonal(start, 200, at.left(), at.top() + 20, QString());
    if (chosen == start)
        return;
    source().startEdit();
    t.field(u"T_PersNo"_s).setValue(chosen);
    source().notifyRecordChanged();
}

void TF_TermEdit::chooseTour() {
    table::Table& t = table();
    if (!t.isOpen() || !GetFieldBoolOrDefault(t.findField(kTaglist), false))
        return;
    const QDate d = dateOf(t, kDate);
    const int weekday = WeekdayOfDate(d.isValid() ? DateTimeOfDate(d) : EmptyDate);
    const QRect at = frameGeometry();
    const int chosen = SelectOtherTourOfDay(FieldInt(t, kTourNr), weekday, at.left() + 40,
                                            at.top() + 40, u"Tour zuweisen"_s);
    source().startEdit();
    // A cancelled choice takes the appointment off the daily lists.
    t.field(kTourNr).setValue(chosen < 0 ? 0 : chosen);
    t.post();
    source().notifyRecordChanged();
}

void TF_TermEdit::alarmDateEntered() {
    table::Table& t = table();
    if (!t.isOpen() || (t.isEmpty() && !t.isEditing()) || dateOf(t, kAlarmDate).isValid())
        return;
    const QDate d = dateOf(t, kDate);
    if (!d.isValid())
        return;
    source().startEdit();
    t.field(kAlarmDate).setValue(d);
    source().notifyRecordChanged();
}

void TF_TermEdit::showEvent(QShowEvent* event) {
    const bool first = !m_shownOnce;
    m_shownOnce = true;
    TF_TableForm::showEvent(event);
    // The first show sorts the grid; the search line searches that column.
    if (first && table().isOpen())
        m_sortColumn = LastSortColumn();
}

bool TF_TermEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_optionsPanel) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragOffset = mouse->position().toPoint();
            return true;
        }
        if (event->type() == QEvent::MouseMove && m_dragging) {
            QPoint to = m_optionsPanel->mapToParent(mouse->position().toPoint() - m_dragOffset);
            to.setX(qBound(0, to.x(), qMax(0, width() - m_optionsPanel->width())));
            to.setY(qBound(0, to.y(), qMax(0, height() - m_optionsPanel->height())));
            m_optionsPanel->move(to);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease && m_dragging) {
            m_dragging = false;
            return true;
        }
        return false;
    }
    if (m_optionFields && watched == m_optionFields->editor(kAlarmDate) &&
        event->type() == QEvent::FocusIn)
        guarded(this, [&] { alarmDateEntered(); });
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_filter && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            grid().setFocus();
            return true;
        }
        if (watched == &grid()) {
            if (key->modifiers() == Qt::AltModifier && key->key() == Qt::Key_K)
                return runColumnAction(grid().selectedField());
            if (key->modifiers() == Qt::NoModifier && isField(grid().selectedField(), kDone) &&
                !grid().isPersistentEditorOpen(grid().currentIndex()) && doneKey(key->key()))
                return true;
        }
    }
    return TF_TableForm::eventFilter(watched, event);
}

void ShowTermEditForm(int termId) {
    TDataModule1& dm = DataModule1();
    const TimerWorkPause pause;
    table::Table& appointments = dm.TabTermObj();
    const TablesOpenedHere opened({&appointments, &dm.TabLSKopf()});
    // Before the tables close: a closed table keeps its read-only switch.
    const WritableAgain writable(appointments);
    dm.SetTableReadOnly(appointments, !HasEditRight(kRight));
    if (termId != 0)
        appointments.locate({u"T_ID"_s}, {termId});
    TF_TermEdit form(MainForm());
    PlaceBelowMainForm(&form, 0, 0, 0);
    form.exec();
}

#include "tf_termedit.moc"
