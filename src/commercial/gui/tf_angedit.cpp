#include "commercial/gui/tf_angedit.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/headfills.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/positiontable.h"
#include "commercial/gui/doceditparts.h"
#include "commercial/gui/documentnumberdialog.h"
#include "commercial/gui/offereditorhooks.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/printforms.h"
#include "core/datagui/gridservices.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"

#include <QDate>
#include <QEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kChangeable = u"changeable"_s;
const QString kPrintForm = u"printForm"_s;
const QString kCalcCaption = u"Kalukulat.(F7)"_s;
const QString kLetterCaption = u"Anschreib.(F9)"_s;
const QString kWaitingHint = u"Noch nicht verfügbar"_s;

using Params = std::shared_ptr<const TNumberedEditorParams>;

bool changeable(TF_DocEdit& form) {
    return form.state().value(kChangeable).toBool();
}

void setReadOnly(TF_DocEdit& form, const QString& field, bool readOnly) {
    if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(field))
        edit->setAlwaysReadOnly(readOnly);
}

// Object and dates only through their dialogs; the customer typed only while
// it may change.
void lockFields(TF_DocEdit& form, const TNumberedEditorParams& p) {
    setReadOnly(form, u"R_ObjektNr"_s, true);
    setReadOnly(form, u"R_DatumErstell"_s, true);
    setReadOnly(form, u"R_DatumDruck"_s, true);
    const bool customer = !p.customerAlways && changeable(form);
    setReadOnly(form, u"R_KundenNr"_s, !customer);
    setReadOnly(form, u"R_KMatch"_s, !customer);
    setReadOnly(form, u"S_SrcNr"_s, true);
}

bool objectChangeable(TF_DocEdit& form, const TNumberedEditorParams& p) {
    return p.objectOnlyWhenNew ? form.isNew() : changeable(form);
}

// Head fields.

void pickObjekt(TF_DocEdit& form, const TNumberedEditorParams& p) {
    if (!objectChangeable(form, p))
        return;
    Table& head = form.head();
    const int nr = ChooseOtherObjekt(form);
    if (nr == 0)
        return;
    THeadFillOptions options;
    options.withAccount = false;
    options.withAdrRefs = p.objectClearsAdrRefs;
    options.post = false;
    FillKopfFromObjekt(head, nr, options);
}

void pickKunde(TF_DocEdit& form, const TNumberedEditorParams& p) {
    if (!p.customerAlways && !changeable(form))
        return;
    Table& head = form.head();
    const int current = FieldInt(head, u"R_KundenNr"_s);
    const int nr = SelectKunde(current, 340, EditorLeft(form, 200),
                               EditorTop(form, p.customerAlways ? 140 : 240), form.sortField());
    if (nr == 0 || nr == current)
        return;
    THeadFillOptions options;
    options.withAccount = false;
    options.post = false;
    const QString question = p.customerQuestion;
    FillKopfFromKunde(
        head, nr, [question] { return AskYesNo(question); }, options);
}

// Either date: the calendar under the field; afterwards, chosen or not, the
// lines take the VAT rates of the document's date.
void pickDatum(TF_DocEdit& form, QWidget& editor, const QString& field) {
    Table& head = form.head();
    Table& lines = form.lines();
    const table::Field& f = head.field(field);
    TDateTime date = f.isNull() ? EmptyDate : DateTimeOfDate(f.asDate());
    const bool chosen = PickDateBelow(editor, date);
    ChangeAllOrNothing(u"Die Mehrwertsteuersätze konnten nicht neu berechnet werden."_s,
                       {&lines, &head}, [&] {
                           if (chosen) {
                               EnsureEditOrInsert(head);
                               head.field(field).setValue(DateOfDateTime(date));
                           }
                           if (lines.isEditing())
                               lines.post();
                           if (head.isEditing())
                               head.post();
                           RecalcDocumentWithVatRates(lines, head);
                           if (lines.isEditing())
                               lines.post();
                           if (head.isEditing())
                               head.post();
                       });
    RefreshIfActive(lines);
}

void pickNummer(TF_DocEdit& form, QWidget& editor, const TNumberedEditorParams& p) {
    if (!p.numberOnlyWhenNew.isEmpty() && !form.isNew()) {
        ShowInfo(p.numberOnlyWhenNew);
        return;
    }
    const QPoint below = editor.mapToGlobal(QPoint(0, editor.height()));
    ChangeDocumentNumber(p.head.kind, EditorLeft(form, 460), below.y(), 260, form.head(),
                         p.numberDialogName, u"R_DatumDruck"_s);
}

void pickPrintForm(TF_DocEdit& form, QWidget& editor, int formType) {
    const int id =
        ChoosePrintFormForField(&editor, &form.head().field(u"R_PrintFormNo"_s), formType, true);
    form.state().insert(kPrintForm, id);
}

// Lines.

void pickArtikel(TF_DocEdit& form, const TNumberedEditorParams& p) {
    const int start = LinePosTyp(form) == 0 ? LineInt(form, u"S_MatID"_s) : 0;
    const int id =
        SelectArtikel(start, 0, 400, EditorLeft(form, 40), EditorTop(form, 80), form.sortField());
    if (id == 0)
        return;
    if (!p.fillArtikel(form.lines(), id))
        ShowError(DbEntryNotFoundText);
}

void pickTaetigkeit(TF_DocEdit& form, const TNumberedEditorParams& p) {
    const int start = LinePosTyp(form) == 1 ? LineInt(form, u"S_MatID"_s) : 0;
    const QString search = form.hasLines() ? FieldText(form.lines(), u"S_Kurztext"_s) : QString();
    const int id = SelectTaetigByID(start, 400, EditorLeft(form, 40), EditorTop(form, 80), search,
                                    form.sortField());
    if (id == 0)
        return;
    if (!p.fillTaetigkeit(form.lines(), id))
        ShowError(DbEntryNotFoundText);
}

// The picker the line came from: a service for a line taken from one, else an article.
void pickOfOrigin(TF_DocEdit& form, const TNumberedEditorParams& p) {
    if (LineInt(form, u"S_Origin"_s) == 8)
        pickTaetigkeit(form, p);
    else
        pickArtikel(form, p);
}

bool isOwnKind(TDocSource source, TDocKind kind) {
    const TDocSource own = kind == TDocKind::Auftrag ? TDocSource::Auftrag : TDocSource::Angebot;
    return source == own || source == ArchiveSource(own);
}

void copyFrom(TF_DocEdit& form, TDocSource source, const TNumberedEditorParams& p) {
    if (p.copyOnlyWhenNew && !form.isNew())
        return;
    Table& head = form.head();
    QString nr = isOwnKind(source, p.head.kind) ? FieldText(head, u"R_Nr"_s) : QString();
    if (!SelectVorlage(source, 240, EditorLeft(form, 140), EditorTop(form, 80), {},
                       GetDocSourceCaption(source), 0, nr))
        return;
    if (CopyIntoNumberedDocument(p.head, source, nr, head, form.lines()) == 0)
        ShowError(NoValidRecordsText);
    form.focusGrid();
}

// The calculation sheet and the cover letter see what the editor shows.
void postPending(TF_DocEdit& form) {
    form.grid().commitEdit();
    if (form.lines().isEditing())
        form.lines().post();
    if (form.head().isEditing())
        form.head().post();
}

void showCalc(TF_DocEdit& form) {
    const auto& hook = OfferEditorHooksRegistry().showCalc;
    if (!hook)
        return;
    SetGridColor(form.grid(), form.palette().color(QPalette::Base));
    struct Back {
        TF_DocEdit& form;
        ~Back() {
            form.showTablesAgain();
            form.focusGrid();
        }
    } back{form};
    postPending(form);
    hook(FieldInt(form.head(), u"R_ID"_s), FieldText(form.head(), u"R_Nr"_s));
    RefreshIfActive(form.lines());
}

void showLetter(TF_DocEdit& form) {
    const auto& hook = OfferEditorHooksRegistry().showNotes;
    if (!hook)
        return;
    postPending(form);
    hook(form.frameGeometry());
    form.showTablesAgain();
}

// Entering the grid of a document without lines starts its first line.
class LineOnEntering : public QObject {
public:
    explicit LineOnEntering(TF_DocEdit& form) : QObject(&form), m_form(form) {
        form.grid().installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && !m_form.hasLines() && m_form.linesAllowed())
            QTimer::singleShot(0, &m_form, [f = &m_form] {
                if (f->hasLines() || !f->grid().hasFocus())
                    return;
                f->run([&] {
                    SetLastLineKey(0);
                    f->lineSource().insert();
                });
                f->selectColumn(f->declaration().quantityField);
            });
        return false;
    }

private:
    TF_DocEdit& m_form;
};

void setup(TF_DocEdit& form, const TNumberedEditorParams& p) {
    if (p.lineOnEnteringGrid)
        new LineOnEntering(form);
    if (!p.calcAndLetter)
        return;
    const std::pair<QString, bool> hooks[] = {
        {kCalcCaption, bool(OfferEditorHooksRegistry().showCalc)},
        {kLetterCaption, bool(OfferEditorHooksRegistry().showNotes)}};
    for (const auto& [caption, filled] : hooks)
        if (QPushButton* b = form.button(caption); b && !filled) {
            b->setEnabled(false);
            b->setToolTip(kWaitingHint);
        }
    // The keys work in the grid, as the buttons beside it.
    auto key = [&form](Qt::Key k, void (*command)(TF_DocEdit&)) {
        auto* shortcut = new QShortcut(QKeySequence(k), &form.grid());
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &form,
                         [&form, command] { form.run([&] { command(form); }); });
    };
    if (OfferEditorHooksRegistry().showCalc)
        key(Qt::Key_F7, showCalc);
    if (OfferEditorHooksRegistry().showNotes)
        key(Qt::Key_F9, showLetter);
}

void createHead(TF_DocEdit& form, const TNumberedEditorParams& p) {
    const int printForm = DefaultPrintFormOfKind(int(p.head.kind));
    AppendNumberedHead(form.head(), p.head, printForm, QDate::currentDate());
    form.state().insert(kChangeable, true);
    form.state().insert(kPrintForm, printForm);
    lockFields(form, p);
    if (p.gridAfterCreate)
        QTimer::singleShot(0, &form, [f = &form] { f->focusGrid(); });
}

void openExisting(TF_DocEdit& form, const TNumberedEditorParams& p) {
    Table& head = form.head();
    Table& lines = form.lines();
    form.state().insert(kChangeable, FieldInt(head, u"R_Creator"_s) == 1);
    int printForm = FieldInt(head, u"R_PrintFormNo"_s);
    if (printForm < 1) {
        printForm = DefaultPrintFormOfKind(int(p.head.kind));
        head.edit();
        head[u"R_PrintFormNo"_s] = printForm;
    }
    form.state().insert(kPrintForm, printForm);
    if (p.recalcOnOpen)
        RecalcDocumentSums(lines, head);
    // Numbers written before the scaled scheme.
    if (!lines.isEmpty() && FieldInt(lines, u"S_PosNr"_s) < MinPosNr)
        NormalizeAllPosNr(lines);
    if (!lines.isEmpty())
        lines.first();
    lockFields(form, p);
}

} // namespace

TNumberedEditorParams AngEditParams() {
    TNumberedEditorParams p;
    p.head = {TDocKind::Angebot, true, 1, TLineCopyTarget::Angebot};
    p.formClass = u"TF_AngEdit"_s;
    p.designCaption = u"Angebote bearbeiten"_s;
    p.newCaption = u"Angebot erfassen"_s;
    p.editCaption = u"Angebot bearbeiten"_s;
    p.headTable = u"TabAngKopf"_s;
    p.lineTable = u"TabAngSatz"_s;
    p.focusHook = &DocumentFormHooks::FocusAngEditColumn;
    p.headGroup = u"Angebot"_s;
    p.numberCaption = u"Angebots-Nr."_s;
    p.numberDialogName = u"Angebotsnummer"_s;
    p.dateCaption = u"Angebotsdatum"_s;
    p.textColumnTitle = u"Angebotstext"_s;
    p.customerQuestion = u"Kundenadresse als Angebotsanschrift verwenden?"_s;
    p.helpPage = u"angebote.html"_s;
    p.gridName = u"GridAng"_s;
    p.printFormType = 12000;
    p.putBackNumber = &PutBackAngebotNr;
    p.fillArtikel = FillOfferLineFromArtikel;
    p.fillTaetigkeit = FillOfferLineFromTaetigkeit;
    p.calcAndLetter = true;
    return p;
}

TDocEditDecl NumberedEditorDeclaration(const TNumberedEditorParams& params) {
    const Params p = std::make_shared<const TNumberedEditorParams>(params);
    TDocEditDecl d;
    d.formClass = p->formClass;
    d.designCaption = p->designCaption;
    d.newCaption = p->newCaption;
    d.editCaption = p->editCaption;
    d.headTable = p->headTable;
    d.lineTable = p->lineTable;
    d.focusHook = p->focusHook;

    const QString change = u"Ändern: Doppelclick"_s;
    const QString choose = u"Auswahl: Doppelclick"_s;
    auto datePick = [](const QString& field) {
        return [field](TF_DocEdit& form, QWidget& editor) { pickDatum(form, editor, field); };
    };
    const int formType = p->printFormType;
    auto printPick = [formType](TF_DocEdit& form, QWidget& editor) {
        pickPrintForm(form, editor, formType);
    };
    d.head = {
        {ObjectAddressGroup([p](TF_DocEdit& form, QWidget&) { pickObjekt(form, *p); }), 6},
        {Grouped(
             p->headGroup,
             {Hinted(DocFieldOf(
                         p->numberCaption, u"R_Nr"_s, 10,
                         [p](TF_DocEdit& form, QWidget& editor) { pickNummer(form, editor, *p); }),
                     change),
              Hinted(DocFieldOf(u"Erstell-&Datum"_s, u"R_DatumErstell"_s, 10,
                                datePick(u"R_DatumErstell"_s)),
                     change),
              Hinted(DocFieldOf(p->dateCaption, u"R_DatumDruck"_s, 10, datePick(u"R_DatumDruck"_s)),
                     change),
              Hinted(DocFieldOf(u"K&unde"_s, u"R_KundenNr"_s, 6,
                                [p](TF_DocEdit& form, QWidget&) { pickKunde(form, *p); }),
                     choose),
              SameLine(DocFieldOf({}, u"R_KMatch"_s)),
              Hinted(DocFieldOf(u"&Zahlbed."_s, u"R_ZahlBed"_s, 0, PickZahlbed, true), choose),
              DocFieldOf(u"Skonto &Tage"_s, u"R_ZahlBedTage"_s, 3),
              SameLine(DocFieldOf(u"Skonto &%"_s, u"R_ZahlBedSkonto"_s, 5)),
              DocFieldOf(u"Skonto 2 Tage"_s, u"R_ZahlBedTage2"_s, 3),
              SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto2"_s, 5)),
              DocFieldOf(u"Netto Tage"_s, u"R_ZahlBedNettoTage"_s, 3)}),
         6},
        {Grouped(u"Sonstiges"_s,
                 {Hinted(DocFieldOf(u"Sachbearb."_s, u"R_Betreuer"_s, 0, PickBetreuer), choose),
                  Hinted(DocFieldOf(u"Druckformular"_s, u"R_PrintFormNo"_s, 6, printPick), choose),
                  PrintFormNameField(printPick),
                  DocFieldOf(u"Beschreibung"_s, u"R_Beschreibung"_s)}),
         5},
    };
    d.headFooter = DocumentSumsFooter();
    d.addressMenu = HeadAddressActions();

    d.gridName = p->gridName;
    d.columns = {
        {u"S_PosNr"_s, u"Pos"_s, 6},
        DocumentKindColumn(u"Art"_s, 9),
        {u"S_Menge"_s, u"Mge"_s, 7},
        {u"S_MengBez"_s, u"Einheit"_s, 7},
        {u"S_Kurztext"_s, p->textColumnTitle, 28},
        {u"S_EPreis"_s, u"E.-Preis"_s, 9},
        {u"S_Mwst"_s, u"St %"_s, 5, true},
        {u"S_MwstBetrag"_s, u"Mwst"_s, 8, true},
        {u"S_Netto"_s, u"Netto"_s, 9, true},
        {u"S_Brutto"_s, u"Brutto"_s, 9, true},
    };
    d.columns.append(p->extraColumns);
    d.columnActions = {
        {u"S_Menge"_s,
         [p](TF_DocEdit& form) {
             if (p->quantityPicksUnit)
                 PickLineUnit(form);
             else
                 pickOfOrigin(form, *p);
         }},
        {u"S_Mwst"_s, PickLineVatRate},
        {u"S_MengBez"_s, PickLineUnit},
    };
    auto originPick = [p](TF_DocEdit& form, QWidget&) {
        if (form.lineTakesCommands())
            pickOfOrigin(form, *p);
    };
    TDocField interval = DocFieldOf(u"Ausführung"_s, u"IntervallText"_s);
    interval.decl.kind = widgets::FieldKind::Display;
    interval.decl.display = [p](Table& lines) {
        const int id = FieldInt(lines, p->intervalField);
        if (id == 0)
            return QString();
        auto t = OpenTempTableWhere(u"LumoDB"_s, p->intervalTable,
                                    u"%1=%2"_s.arg(p->intervalKey).arg(id));
        return t->isEmpty() ? QString() : FieldText(*t, p->intervalText);
    };
    d.lineFields = {
        Hinted(DocFieldOf(u"Art./Lst-Nr."_s, u"S_SrcNr"_s, 0, originPick), choose),
        DocFieldOf(u"Kurztext"_s, u"S_Kurztext"_s),
        interval,
    };
    d.lineButtons = {
        {u"Artikel (F3)"_s, Qt::Key_F3, [p](TF_DocEdit& form) { pickArtikel(form, *p); }, false,
         true},
        {u"Leistung (F4)"_s, Qt::Key_F4, [p](TF_DocEdit& form) { pickTaetigkeit(form, *p); }},
    };
    d.copyButton = u"Vorlage (F6)"_s;
    d.copyKey = Qt::Key_F6;
    d.copyKeyOutsideGrid = true;
    if (p->copyOnlyWhenNew)
        d.copyEnabled = [](TF_DocEdit& form) { return form.isNew(); };
    d.copyKeyEnabled = [](TF_DocEdit& form) { return form.isNew(); };
    d.copySources = {
        {u"&Angebot kopieren"_s, TDocSource::Angebot, true},
        {u"A&uftrag kopieren"_s, TDocSource::Auftrag},
        {u"&Rechnung kopieren"_s, TDocSource::Rechnung},
        {u"Rechnungs&vorlage kopieren"_s, TDocSource::Rechnungsvorlage},
        {u"Angebot aus Ablage kopieren"_s, ArchiveSource(TDocSource::Angebot)},
        {u"Auftrag aus Ablage kopieren"_s, ArchiveSource(TDocSource::Auftrag)},
        {u"Rechnung aus Ablage kopieren"_s, ArchiveSource(TDocSource::Rechnung)},
    };
    d.copyFrom = [p](TF_DocEdit& form, TDocSource source) { copyFrom(form, source, *p); };
    if (p->calcAndLetter)
        d.headButtons = {{kCalcCaption, showCalc}, {kLetterCaption, showLetter}};
    d.helpPage = p->helpPage;
    d.createHead = [p](TF_DocEdit& form) { createHead(form, *p); };
    d.openExisting = [p](TF_DocEdit& form) { openExisting(form, *p); };
    d.setup = [p](TF_DocEdit& form) { setup(form, *p); };
    d.finish = [p](TF_DocEdit& form) {
        return FinishDocumentEditing(form.head(), form.lines(), form.isNew(), p->putBackNumber);
    };
    return d;
}

TDocEditDecl AngEditDeclaration() {
    return NumberedEditorDeclaration(AngEditParams());
}

void ShowAngEditForm(const QString& nr) {
    OpenDocumentEditor(AngEditDeclaration(), nr);
}

void FocusAngEditColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusAngEditColumn)
        hook(fieldComponentName);
}
