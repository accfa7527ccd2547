#include "operations/gui/tourform.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/data/timerworkpause.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/values/calendar.h"
#include "core/values/datetimevalue.h"
#include "core/values/holidays.h"
#include "core/values/numberparsing.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/dialoghooks.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/tourlookupfields.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/showntables.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "operations/gui/tourpanel.h"
#include "operations/tourduplicate.h"
#include "operations/tournextdate.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"
#include "printing/listbutton.h"

#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

constexpr int kRight = 14;
const QString kFormClass = u"TF_Tour"_s;
const QString kNr = u"TO_Nr"_s;
const QString kNextDate = u"TO_NextDate"_s;
const QString kWeekday = u"TO_Wochentag"_s;

TF_ListForm* listFormOf(TF_TableForm& form) {
    return qobject_cast<TF_ListForm*>(&form);
}

QString weekdayName(int weekday) {
    return weekday >= 1 && weekday <= 7 ? GetDayName(weekday) : QString();
}

// The weekday column shows the day's name and offers the seven days and
// "no weekday" in a list.
class WeekdayDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale&) const override {
        return value.toString().isEmpty() ? QString() : weekdayName(value.toInt());
    }
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->addItem(u"(keiner)"_s, 0);
        for (int day = 1; day <= 7; ++day)
            box->addItem(GetDayName(day), day);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentIndex(qMax(0, box->findData(index.data(Qt::EditRole).toInt())));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
    }
};

// A next date that is a public holiday is written in red.
class NextDateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QDate date = QDate::fromString(index.data().toString(), u"dd.MM.yyyy"_s);
        if (date.isValid() && IsHoliday(date.year(), date.month(), date.day()))
            option->palette.setColor(QPalette::Text, Qt::red);
    }
};

// What the form builds beside its declaration, found again by its name.
class TourExtras : public QObject {
public:
    explicit TourExtras(TF_ListForm& form) : QObject(&form) { setObjectName(u"TourExtras"_s); }
    TourPanel* panel = nullptr;
    QLabel* holiday = nullptr;
    bool showing = false; // the record is being shown: a post inside does not show it again
};

TourExtras* extrasOf(TF_ListForm& form) {
    return form.findChild<TourExtras*>(u"TourExtras"_s, Qt::FindDirectChildrenOnly);
}

// The tables the form shows: open while it is shown (the staff rows open
// with the tours).
const QStringList kShownTables = {u"TabTour"_s, u"TabTourObj"_s, u"TabTourTaetig"_s};

// Ctrl+PgUp to the search line and Ctrl+PgDn to the objects from the tour
// grid and the search line; Alt+K on the date column opens the calendar.
class TourKeys : public QObject {
public:
    explicit TourKeys(TF_ListForm& form) : QObject(&form), m_form(form) {
        form.grid().installEventFilter(this);
        form.searchEdit().installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        TourExtras* x = extrasOf(m_form);
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_PageUp) {
            m_form.searchEdit().setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_PageDown && x &&
            x->panel) {
            x->panel->objects().setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (watched == &m_form.grid() && key->modifiers() == Qt::AltModifier &&
            key->key() == Qt::Key_K &&
            m_form.grid().selectedField().compare(kNextDate, Qt::CaseInsensitive) == 0)
            return m_form.runColumnAction(kNextDate);
        return false;
    }

private:
    TF_ListForm& m_form;
};

void renumber(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    const table::Field& nr = t.field(kNr);
    if (!nr.isNull() && nr.asIntegerOr(0) != 0 &&
        !AskYesNo(u"Möchten Sie die Touren-Nummer wirklich ändern?"_s))
        return;
    const int proposal = NextFreeTourNr();
    form.source().startEdit();
    t.field(kNr).setValue(proposal);
    form.source().notifyRecordChanged();
}

void chooseDate(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    TDateTime date = DateTimeOfDate(t.field(kNextDate).asDateOr(QDate::currentDate()));
    if (!PickDateBeside(date, form, 32, 128))
        return;
    form.source().startEdit();
    t.field(kNextDate).setValue(DateOfDateTime(date));
    AdvanceNextDate(t, DateTimeOfDate(QDate::currentDate()));
    form.source().notifyRecordChanged();
    if (TF_ListForm* list = listFormOf(form))
        ShowTourRecord(*list);
}

void choosePerson(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return;
    const int start = FieldInt(t, u"TO_Person"_s);
    const QRect at = form.frameGeometry();
    const int chosen = SelectPersonal(start, 400, at.left(), at.top() + 70, QString());
    if (chosen == start)
        return;
    form.source().startEdit();
    t.field(u"TO_Person"_s).setValue(chosen);
    form.source().notifyRecordChanged();
}

void newTour(TF_TableForm& form) {
    form.grid().setFocus();
    form.source().insert();
    form.grid().selectField(u"TO_Beschreibung"_s);
}

QList<PrintButtonDecl> tourPrints() {
    QList<PrintButtonDecl> prints = DruckVorschauButtons(23000, u"PrintTourList"_s);
    const auto tourNr = [](TF_TableForm& form, ListPrintButton& b) {
        b.args.tourNr = FieldInt(form.table(), kNr);
    };
    prints.append({u"Druck"_s, 24000, u"PrintTourObj"_s, 0, tourNr, u"Objekte"_s});
    prints.append({u"Vorschau"_s, 24000, u"PrintTourObj"_s, 1, tourNr, u"Objekte"_s});
    return prints;
}

// The rules focus the object column of a new tour object.
void installFocusHook() {
    InstallFieldFocus(u"TabTourObj"_s, [](const QString& field) {
        TF_ListForm* form = FindListForm(kFormClass);
        if (TourPanel* panel = form ? TourPanelOf(*form) : nullptr)
            panel->objects().selectField(field);
    });
}

void buildForm(TF_ListForm& form) {
    auto* x = new TourExtras(form);
    // The names of weekday and staff member, read beside the tour table.
    AddTourLookupFields(form.table());
    form.source().rows().release();
    form.source().notifyViewChanged();

    widgets::DataGrid& grid = form.grid();
    const widgets::DataGridModel& model = grid.gridModel();
    grid.setItemDelegateForColumn(model.columnOf(kWeekday), new WeekdayDelegate(&grid));
    grid.setItemDelegateForColumn(model.columnOf(kNextDate), new NextDateDelegate(&grid));

    auto* layout = qobject_cast<QVBoxLayout*>(form.layout());
    const int at = layout->indexOf(&grid);
    layout->removeWidget(&grid);
    auto* split = new QSplitter(Qt::Vertical, &form);
    split->addWidget(&grid);
    x->panel = new TourPanel(form);
    split->addWidget(x->panel);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    layout->insertWidget(at, split, 1);

    x->holiday = new QLabel(&form);
    x->holiday->setObjectName(u"lbFeiertag"_s);
    x->holiday->setStyleSheet(u"color: red; font-weight: bold"_s);
    form.bottomRow().insertWidget(0, x->holiday);
    new TourKeys(form);
    new ShownTables(form, kShownTables, [&form] {
        if (TourPanel* panel = TourPanelOf(form))
            panel->leaveDetails();
    });
    installFocusHook();
}

void applyRights(TF_ListForm& form) {
    form.grid().setContextMenuPolicy(HasCreateRight(kRight) ? Qt::CustomContextMenu
                                                            : Qt::NoContextMenu);
    if (TourPanel* panel = TourPanelOf(form))
        panel->applyRights();
}

} // namespace

ListFormDecl TourFormDecl() {
    ListFormDecl d;
    TableFormDecl& f = d.form;
    f.formClass = kFormClass;
    f.caption = u"Touren"_s;
    f.table = u"TabTour"_s;
    f.gridName = u"GridTour"_s;
    f.columns = {{kNr, u"Tour-Nr"_s, 7},
                 {u"TO_Beschreibung"_s, u"Beschreibung"_s, 28},
                 {kWeekday, u"Wochentag"_s, 11},
                 {kNextDate, u"N. Termin"_s, 10},
                 {u"TO_PersonName"_s, u"Mitarbeiter"_s, 22, true},
                 {u"TO_ServPatt"_s, u"Dienste"_s, 8}};
    f.columnActions = {{kNr, &renumber},
                       {u"TO_Beschreibung"_s, &renumber},
                       {kNextDate, &chooseDate},
                       {u"TO_PersonName"_s, &choosePerson}};
    f.titleSort = TitleSort::ByColumn;
    f.initialSortField = kNr;
    f.navigatorButtons = BrowseNavigator();
    f.postCancelButtons = true;
    f.contextMenu = {{u"Neue Tour anlegen"_s, &newTour},
                     {u"Tour duplizieren"_s, [](TF_TableForm& form) {
                          if (TF_ListForm* list = listFormOf(form))
                              DuplicateCurrentTour(*list);
                      }}};
    f.prints = tourPrints();
    f.helpPage = u"Touren.html"_s;
    f.minimumSize = {980, 560};
    f.placement = {kPlacementFile02,
                   u"Tour"_s,
                   {u"GridTour.Columns"_s, u"GridObjekte.Width"_s, u"GridObjekte.Columns"_s,
                    u"Panel5.Height"_s, u"lbSortObj.Caption"_s}};
    d.right = kRight;
    d.splashName = u"Tour"_s;
    d.remember = [] { RememberTourNr(); };
    d.recordPosition = true;
    d.build = &buildForm;
    d.applyRights = &applyRights;
    d.activated = [](TF_ListForm& form) {
        RememberTourNr();
        ShowTourRecord(form);
    };
    d.recordShown = &ShowTourRecord;
    return d;
}

TourPanel* TourPanelOf(TF_ListForm& form) {
    TourExtras* x = extrasOf(form);
    return x ? x->panel : nullptr;
}

QString TourHolidayText(TF_ListForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen() || t.isEmpty())
        return {};
    const QDate date = t.field(kNextDate).asDateOr(QDate());
    if (!date.isValid() || !IsHoliday(date.year(), date.month(), date.day()))
        return {};
    return GetHolidayName(date.year(), date.month(), date.day());
}

void ShowTourRecord(TF_ListForm& form) {
    TourExtras* x = extrasOf(form);
    table::Table& t = form.table();
    if (!x || x->showing || !t.isOpen())
        return;
    x->showing = true;
    const bool shown = guarded(&form, [&] {
        // A new tour is being filled: its date is the user's to give.
        if (t.state() == table::TableState::Browse &&
            AdvanceNextDate(t, DateTimeOfDate(QDate::currentDate())))
            form.source().notifyRecordChanged();
    });
    x->showing = false;
    Q_UNUSED(shown);
    x->holiday->setText(TourHolidayText(form));
    if (x->panel)
        x->panel->repaintActivities();
    form.grid().viewport()->update();
}

void DuplicateCurrentTour(TF_ListForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen() || t.isEmpty())
        return;
    if (t.isEditing())
        t.post();
    const int oldNr = FieldInt(t, kNr);
    const TimerWorkPause pause;
    QString text = QString::number(NextFreeTourNr());
    for (;;) {
        QInputDialog dialog(&form);
        dialog.setObjectName(u"TourNrDialog"_s);
        dialog.setWindowTitle(u"Tournummer eingeben"_s);
        dialog.setLabelText(u"Neue Tournummer:"_s);
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setTextValue(text);
        dialog.setMinimumWidth(320); // the caption must not be cut
        if (dialog.exec() != QDialog::Accepted)
            return;
        text = dialog.textValue();
        const int nr = StrToIntZero(text);
        if (const QString problem = NewTourNumberProblem(nr); !problem.isEmpty()) {
            ShowError(problem);
            continue;
        }
        DuplicateTour(oldNr, nr);
        t.refresh();
        t.locate({kNr}, {nr});
        form.source().notifyViewChanged();
        form.grid().followCursor();
        return;
    }
}

void ShowTourForm() {
    table::Table& t = DataModule1().TabTour();
    const QVariant nr = RememberedNr(u"TabTour"_s);
    if (t.isOpen() && nr.isValid())
        t.locate({kNr}, {nr});
    ShowListForm(kFormClass);
}

int SelectTourObjekt(int objektNr) {
    const QPoint corner = ActiveFormCorner();
    TF_ListForm* form = FindListForm(kFormClass);
    TourPanel* panel = form ? TourPanelOf(*form) : nullptr;
    QString sort = panel ? panel->objectSort() : QString();
    const int chosen = SelectObjekt(objektNr, 240, corner.x() + 40, corner.y() + 200, sort);
    if (panel)
        panel->setObjectSort(sort);
    return chosen;
}

void InstallTourForm() {
    AddListFormEntry({kFormClass, &TourFormDecl}, u"TF_Taetig"_s);
    RecordRuleHooksRegistry().selectTourObjekt = &SelectTourObjekt;
    installFocusHook();
}
