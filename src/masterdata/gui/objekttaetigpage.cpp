#include "masterdata/gui/objekttaetigpage.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "core/values/datetimevalue.h"
#include "core/messages/messagecatalog.h"
#include "core/files/programdirs.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/selectrecord.h"
#include "masterdata/dialogs/tf_rtfdlg.h"
#include "masterdata/gui/detailfocus.h"
#include "masterdata/gui/detailgridpage.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/lookupfields.h"
#include "masterdata/objektchoices.h"
#include "masterdata/objtaetigrows.h"
#include "masterdata/offertakeover.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/userprompts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using widgets::guarded;

namespace {

const QString kActivity = u"TS_Taetigkeit"_s;

table::Table& rows() {
    return DataModule1().TabObjTaetig();
}

} // namespace

ObjektTaetigPage::ObjektTaetigPage(TF_ListForm& form) : QWidget(&form), m_form(form) {
    AddObjTaetigLookupFields(rows());
    m_source = std::make_unique<widgets::DataSource>(rows());
    // The grid lists the current object's rows only, as the table does.
    FollowSharedMasterRows(*m_source, u"TabObjTaetig"_s);
    m_source->setDeleteGuard([&form] { form.guardDelete(); });
    auto* layout = new QVBoxLayout(this);
    m_grid = new widgets::DataGrid(*m_source, this);
    m_grid->setObjectName(u"GridOTaetig"_s);
    m_grid->setColumns({{kActivity, u"T.-Nr."_s, 6},
                        {u"TsTaetigname"_s, u"Bezeichnung der Tätigkeit"_s, 30, true},
                        {u"TS_StartDatum"_s, u"Ersttermin"_s, 10},
                        {u"ModusName"_s, u"Ausf.-Intervall"_s, 18, true},
                        {u"TS_Wtag"_s, u"Wochentage"_s, 9},
                        {u"TS_ServiceID"_s, u"D"_s, 3},
                        {u"TS_Param"_s, u"Zusatz"_s, 20}});
    layout->addWidget(m_grid);
    m_focus = new DetailFocus(form, *m_source, *m_grid);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    m_grid->viewport()->setAcceptDrops(true);
    m_grid->setAcceptDrops(true);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { SelectTaetigkeit(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (previous.isValid() && current.column() != previous.column())
                    columnLeft(previous.column(), current.column());
            });
    buildMenu();
}

ObjektTaetigPage::~ObjektTaetigPage() = default;

void ObjektTaetigPage::buildMenu() {
    m_menu = new QMenu(this);
    auto add = [this](const QString& caption, std::function<void()> run) {
        QAction* a = m_menu->addAction(caption);
        a->setObjectName(caption);
        if (run)
            connect(a, &QAction::triggered, this, [this, run] { guarded(this, run); });
        return a;
    };
    add(u"nach oben"_s, [this] { move(true); });
    add(u"nach unten"_s, [this] { move(false); });
    QAction* adding = add(u"Tätigkeit hinzufügen"_s, [this] { addRow(); });
    m_menu->addSeparator();
    QAction* preview = add(u"Termin-Vorschau"_s, [this] { showTermPreview(); });
    add(u"Angebot übernehmen"_s, [this] { takeOverOffer(); });
    QAction* plan = add(u"Kontroll-Liste erstellen"_s, [] {
        if (const auto& show = ObjektFormHooksRegistry().showPlanCheck)
            show();
    });
    m_menu->addSeparator();
    add(u"Abbruch"_s, {});
    m_menu->setToolTipsVisible(true);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this, adding, plan, preview](const QPoint& at) {
                adding->setEnabled(m_grid->currentIndex().column() <= 1);
                plan->setEnabled(bool(ObjektFormHooksRegistry().showPlanCheck));
                preview->setEnabled(bool(ObjektFormHooksRegistry().showTermPreview));
                m_menu->popup(m_grid->viewport()->mapToGlobal(at));
            });
}

void ObjektTaetigPage::showTermPreview() {
    const auto& show = ObjektFormHooksRegistry().showTermPreview;
    table::Table& t = rows();
    if (!show || !t.isOpen() || t.isEmpty())
        return;
    if (t.isEditing())
        t.post();
    show(FieldInt(t, u"TS_ID"_s));
}

void ObjektTaetigPage::SelectTaetigkeit() {
    guarded(this, [this] {
        table::Table& t = rows();
        const QString field = m_grid->selectedField();
        const table::Field* f = t.isOpen() ? t.findField(field) : nullptr;
        if (!f)
            return;
        const QRect form = m_form.frameGeometry();
        switch (TaetigEditorFor(field, f->isCalculated(), FieldInt(t, u"TS_Func"_s))) {
        case TaetigEditor::Taetigkeit: {
            const int chosen = SelectTaetig(FieldInt(t, kActivity), 440, form.left(), form.top(),
                                            FieldText(t, u"TsTaetigname"_s), {});
            TakeChosenNumber(t, kActivity, chosen);
            break;
        }
        case TaetigEditor::Intervall: {
            LookupGrid grid{
                {{u"A_Sort"_s, u"Nr."_s, 5}, {u"AI_Text"_s, u"Ausführungsintervall"_s, 30}},
                0,
                365};
            QVariant key = FieldInt(t, u"TS_Modus"_s);
            QString sort = u"A_Sort"_s;
            if (SelectRecordUnfiltered(grid, u"AI_ID"_s, key, form.left() + 40, form.top() + 140,
                                       u"Ausführungsintervall auswählen"_s, u"LumoDB"_s,
                                       u"AusfIV.DB"_s, sort)) {
                EnsureEditOrInsert(t);
                t.field(u"TS_Modus"_s).setValue(key);
            }
            break;
        }
        case TaetigEditor::Ersttermin: {
            const QDate start = t.field(u"TS_StartDatum"_s).asDateOr(QDate::currentDate());
            TDateTime date = DateTimeOfDate(start);
            const int pagesTop = mapTo(&m_form, QPoint(0, 0)).y();
            if (PickDateBeside(date, m_form, 370, pagesTop + 100)) {
                EnsureEditOrInsert(t);
                t.field(u"TS_StartDatum"_s).setValue(DateOfDateTime(date));
            }
            break;
        }
        case TaetigEditor::Formular: {
            const QString old = FieldText(t, u"TS_Param"_s);
            const QString chosen =
                EditRtfFile(old, LoadMessage(64913), FormDir, form.left() + 100, form.top() + 32,
                            640, 400, form.left(), form.top(), form.width(), form.height());
            if (chosen != old) {
                CancelEditOnError(t, [&] {
                    EnsureEditOrInsert(t);
                    t.field(u"TS_Param"_s).setValue(chosen);
                    t.post();
                });
            }
            break;
        }
        case TaetigEditor::None:
            break;
        }
    });
}

void ObjektTaetigPage::FocusTaetigColumn(const QString& fieldObject) {
    // The field object is the table object's name followed by the field's.
    const QString prefix = u"TabObjTaetig"_s;
    if (!fieldObject.startsWith(prefix, Qt::CaseInsensitive))
        return;
    m_grid->selectField(fieldObject.mid(prefix.size()));
}

void ObjektTaetigPage::addRow() {
    m_source->insert();
    m_grid->selectField(kActivity);
    SelectTaetigkeit();
}

void ObjektTaetigPage::move(bool up) {
    const int column = m_grid->currentIndex().column();
    MoveObjTaetigRow(rows(), up);
    m_source->notifyViewChanged();
    m_grid->followCursor();
    if (column >= 0)
        m_grid->setCurrentIndex(m_grid->model()->index(m_grid->currentIndex().row(), column));
}

void ObjektTaetigPage::takeOverOffer() {
    const QRect form = m_form.frameGeometry();
    QString offerNr;
    if (!SelectVorlage(TDocSource::Angebot, 240, form.left() + 140, form.top() + 80, {},
                       GetDocSourceCaption(TDocSource::Angebot), 0, offerNr))
        return;
    TakeOverOfferActivities(rows(), offerNr);
    m_source->notifyViewChanged();
}

void ObjektTaetigPage::drop(int taetigNr) {
    guarded(this, [&] {
        DropTaetigkeit(rows(), taetigNr);
        m_source->notifyViewChanged();
    });
}

void ObjektTaetigPage::columnLeft(int previousColumn, int currentColumn) {
    if (m_checking)
        return;
    m_checking = true;
    const bool passed = guarded(this, [&] {
        CheckObjTaetigColumnExit(rows(), [&] {
            QSignalBlocker block(m_grid->selectionModel());
            m_grid->setCurrentIndex(
                m_grid->model()->index(m_grid->currentIndex().row(), previousColumn));
            SelectTaetigkeit();
        });
    });
    QSignalBlocker block(m_grid->selectionModel());
    m_grid->setCurrentIndex(m_grid->model()->index(m_grid->currentIndex().row(),
                                                   passed ? currentColumn : previousColumn));
    m_checking = false;
}

bool ObjektTaetigPage::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::AltModifier &&
            (key->key() == Qt::Key_K || key->key() == Qt::Key_W)) {
            // Ahead of the mnemonics of captions elsewhere on the form.
            if (event->type() == QEvent::ShortcutOverride)
                event->accept();
            else
                SelectTaetigkeit();
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        const auto& taetigNr = ObjektFormHooksRegistry().taetigNrOfDrag;
        if (taetigNr && drag->mimeData() && taetigNr(*drag->mimeData()) != 0) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drag = static_cast<QDropEvent*>(event);
        const auto& taetigNr = ObjektFormHooksRegistry().taetigNrOfDrag;
        const int nr = taetigNr && drag->mimeData() ? taetigNr(*drag->mimeData()) : 0;
        if (nr != 0) {
            drag->acceptProposedAction();
            drop(nr);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
