#include "commercial/gui/tf_lsedit.h"

#include "commercial/documents/deliverynoteentries.h"
#include "commercial/documents/deliverynotes.h"
#include "commercial/documents/documentediting.h"
#include "commercial/documents/headfills.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/positiontable.h"
#include "commercial/gui/doceditparts.h"
#include "commercial/gui/documentnumberdialog.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/dbedit.h"

#include <QDate>
#include <QTimer>
#include <QWidget>
#include <memory>

using namespace Qt::StringLiterals;
using table::Table;
using widgets::FieldKind;

namespace {

const QString kCallerObjekt = u"callerObjekt"_s;
const QString kPrintForm = u"printForm"_s;
const QString kObjektFirst = u"Sie müssen zuerst das Objekt festlegen!"_s;
const QString kObjektFixed = u"Sie können die Objektzuordnung nicht mehr ändern!"_s;

using Design = std::shared_ptr<const TLsEditDesign>;

bool hasObjekt(TF_DocEdit& form) {
    return FieldInt(form.head(), u"R_ObjektNr"_s) != 0;
}

// Fields changed only through their dialogs.
void lockFields(TF_DocEdit& form) {
    for (const QString& field :
         {u"R_Nr"_s, u"R_ObjektNr"_s, u"R_KundenNr"_s, u"R_KMatch"_s, u"S_SrcNr"_s})
        if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(field))
            edit->setAlwaysReadOnly(true);
}

void pickObjekt(const Design& d, TF_DocEdit& form) {
    if (d->objektRefusal) {
        const QString refusal = d->objektRefusal(form);
        if (!refusal.isEmpty()) {
            ShowError(refusal);
            return;
        }
    }
    Table& head = form.head();
    const int nr = ChooseOtherObjekt(form);
    if (nr == 0)
        return;
    const int printForm = FirstUserPrintForm(d->formType);
    AssignDeliveryNoteObjekt(head, nr, printForm);
    form.state().insert(DocEditObjektId, GetObjektIdByNr(nr));
    form.state().insert(kPrintForm, printForm);
}

void pickKunde(const Design& d, TF_DocEdit& form) {
    if (d->customerChangeable && !d->customerChangeable(form))
        return;
    if (d->customerNeedsObjekt && !hasObjekt(form)) {
        ShowError(kObjektFirst);
        return;
    }
    Table& head = form.head();
    const int current = FieldInt(head, u"R_KundenNr"_s);
    const int nr =
        SelectKunde(current, 340, EditorLeft(form, 200), EditorTop(form, 240), form.sortField());
    if (nr == 0 || nr == current)
        return;
    const QString question = d->customerAddressQuestion;
    FillKopfFromKunde(head, nr, [question] { return AskYesNo(question); });
}

void pickNummer(const Design& d, TF_DocEdit& form, QWidget& editor) {
    if (!d->numberOnlyNew.isEmpty() && !form.isNew()) {
        ShowError(d->numberOnlyNew);
        return;
    }
    const QPoint below = editor.mapToGlobal(QPoint(0, editor.height()));
    ChangeDocumentNumber(d->kind, below.x(), below.y(), 190, form.head(), d->numberDialogCaption,
                         d->numberDateField);
}

// A date from the calendar; the lines take the VAT rates of the new date.
void pickDate(TF_DocEdit& form, QWidget& editor, const QString& name) {
    Table& head = form.head();
    const table::Field& field = head.field(name);
    TDateTime date = field.isNull() ? EmptyDate : DateTimeOfDate(field.asDate());
    if (!PickDateBelow(editor, date))
        return;
    Table& lines = form.lines();
    ChangeAllOrNothing(u"Das Datum konnte nicht geändert werden."_s, {&head, &lines}, [&] {
        if (lines.isEditing())
            lines.post();
        EnsureEditOrInsert(head);
        head.field(name).setValue(DateOfDateTime(date));
        head.post();
        RecalcDocumentWithVatRates(lines, head);
        if (head.isEditing())
            head.post();
    });
}

void pickPrintForm(const Design& d, TF_DocEdit& form, QWidget& editor) {
    const int id =
        ChoosePrintFormForField(&editor, &form.head().field(u"R_PrintFormNo"_s), d->formType, true);
    form.state().insert(kPrintForm, id);
}

void copyIntoNote(TF_DocEdit& form, TDocSource source) {
    if (!hasObjekt(form)) {
        ShowError(kObjektFirst);
        return;
    }
    Table& head = form.head();
    // Orders are offered of the note's object only.
    const int objektNr = source == TDocSource::Auftrag ? FieldInt(head, u"R_ObjektNr"_s) : 0;
    QString nr;
    if (!SelectVorlage(source, 240, EditorLeft(form, 140), EditorTop(form, 80), {},
                       GetDocSourceCaption(source), objektNr, nr))
        return;
    if (CopyIntoDeliveryNote(source, nr, head, form.lines()) == 0)
        ShowError(NoValidRecordsText);
}

// The origin of a note made by another module.
TDocField originField() {
    TDocField f = DocFieldOf(u"Herkunft"_s, u"LsOrigin"_s);
    f.decl.kind = FieldKind::Display;
    f.decl.display = [](Table& head) {
        switch (FieldInt(head, u"R_LsTyp"_s)) {
        case 1:
            return u"Tageslisten-Rückerfassung"_s;
        case 2:
            return u"Terminverwaltung"_s;
        default:
            return QString();
        }
    };
    return f;
}

} // namespace

TLsEditDesign LsEditDesign(const TLsEditCall& call) {
    TLsEditDesign d;
    TDocField autoInvoice = DocFieldOf(u"Automatische Rechnung"_s, u"R_AutoLS"_s);
    autoInvoice.decl.kind = FieldKind::CheckBox;
    d.documentFields = {ReadOnlyField(DocFieldOf(u"Rg-Nr."_s, u"R_RechNr"_s, 12)), autoInvoice,
                        originField()};
    // Only a new note that no caller tied to an object.
    d.objektRefusal = [](TF_DocEdit& form) {
        return form.isNew() && !form.state().value(kCallerObjekt).toBool() ? QString()
                                                                           : kObjektFixed;
    };
    d.columns = {
        {u"S_PosNr"_s, u"Pos"_s, 6},
        DocumentKindColumn(u"Art"_s, 9),
        {u"S_Menge"_s, u"Mge"_s, 7},
        {u"S_MengBez"_s, u"Einheit"_s, 7},
        {u"S_Kurztext"_s, u"Lieferscheintext"_s, 28},
        {u"S_EPreis"_s, u"E.-Preis"_s, 9},
        {u"S_Mwst"_s, u"St %"_s, 5, true},
        {u"S_Netto"_s, u"Netto"_s, 9, true},
        {u"S_MengeGeliefert"_s, u"Berech."_s, 7, true},
        {u"S_QuellNr"_s, u"Herkunft"_s, 10, true},
    };
    auto lineTypePick = [](TF_DocEdit& form, QWidget&) {
        if (form.lineTakesCommands())
            PickOfLineType(form);
    };
    d.lineFields = {
        Hinted(DocFieldOf(u"Art./Lst-Nr."_s, u"S_SrcNr"_s, 0, lineTypePick),
               u"Auswahl: Doppelclick"_s),
    };
    const TDocSource angebot = TDocSource::Angebot;
    const TDocSource auftrag = TDocSource::Auftrag;
    const TDocSource rechnung = TDocSource::Rechnung;
    d.copySources = {
        {u"&Angebot übernehmen"_s, angebot},
        {u"A&uftrag übernehmen"_s, auftrag, true},
        {u"&Rechnung übernehmen"_s, rechnung},
        {u"Rechnungs&vorlage übernehmen"_s, TDocSource::Rechnungsvorlage},
        {u"Angebot aus Ablage übernehmen"_s, ArchiveSource(angebot)},
        {u"Auftrag aus Ablage übernehmen"_s, ArchiveSource(auftrag)},
        {u"Rechnung aus Ablage übernehmen"_s, ArchiveSource(rechnung)},
    };
    d.copyFrom = copyIntoNote;
    d.putBackNumber = &PutBackLieferscheinNr;

    const int formType = d.formType;
    d.createHead = [call, formType](TF_DocEdit& form) {
        const int printForm = DefaultPrintFormOfKind(int(TDocKind::Lieferschein));
        TNewDeliveryNote values;
        values.objektNr = call.objektNr;
        values.autoInvoice = call.autoInvoice;
        values.lsTyp = call.lsTyp;
        values.creatorId = call.creatorId;
        values.printFormNo = printForm;
        AppendDeliveryNoteHead(form.head(), values, QDate::currentDate());
        form.state().insert(kCallerObjekt, call.objektNr != 0);
        form.state().insert(kPrintForm, printForm);
        form.state().insert(DocEditObjektId, 0);
        if (call.objektNr != 0) {
            AssignDeliveryNoteObjekt(form.head(), call.objektNr, FirstUserPrintForm(formType));
            form.state().insert(DocEditObjektId, GetObjektIdByNr(call.objektNr));
            // With its object the note goes straight on to its lines.
            QTimer::singleShot(0, &form, [&form] { form.focusGrid(); });
        }
        lockFields(form);
    };
    d.openExisting = [formType](TF_DocEdit& form) {
        Table& head = form.head();
        Table& lines = form.lines();
        form.state().insert(DocEditObjektId, GetObjektIdByNr(FieldInt(head, u"R_ObjektNr"_s)));
        int printForm = FieldInt(head, u"R_PrintFormNo"_s);
        if (!SameFormType(printForm, formType)) {
            printForm = DefaultPrintFormOfKind(int(TDocKind::Lieferschein));
            head.edit();
            CancelEditOnError(head, [&] {
                head[u"R_PrintFormNo"_s] = printForm;
                head.post();
            });
        }
        form.state().insert(kPrintForm, printForm);
        // Numbers written before the scaled scheme.
        if (!lines.isEmpty() && FieldInt(lines, u"S_PosNr"_s) < MinPosNr)
            NormalizeAllPosNr(lines);
        if (!lines.isEmpty())
            lines.first();
        lockFields(form);
    };
    return d;
}

TDocEditDecl LsEditDeclaration(const TLsEditDesign& design) {
    const Design d = std::make_shared<const TLsEditDesign>(design);
    TDocEditDecl decl;
    decl.formClass = d->formClass;
    decl.designCaption = d->designCaption;
    decl.newCaption = d->newCaption;
    decl.editCaption = d->editCaption;
    decl.headTable = d->headTable;
    decl.lineTable = d->lineTable;
    decl.focusHook = d->focusHook;

    const QString choose = u"Auswahl: Doppelclick"_s;
    QList<TDocField> document = {
        Hinted(DocFieldOf(d->numberCaption, u"R_Nr"_s, 12,
                          [d](TF_DocEdit& form, QWidget& editor) { pickNummer(d, form, editor); }),
               u"Ändern: Doppelclick"_s),
    };
    for (const auto& [caption, field] : d->dateFields) {
        TDocField date =
            DocFieldOf(caption, field, 10,
                       [name = field](TF_DocEdit& form, QWidget& e) { pickDate(form, e, name); });
        document.append(ReadOnlyField(Hinted(date, choose)));
        document.last().decl.readOnly = false;
    }
    document.append(Hinted(DocFieldOf(u"K&unde"_s, u"R_KundenNr"_s, 6,
                                      [d](TF_DocEdit& form, QWidget&) { pickKunde(d, form); }),
                           choose));
    document.append(SameLine(DocFieldOf({}, u"R_KMatch"_s)));
    document.append(d->documentFields);
    decl.head = {
        {Grouped(d->addressGroup,
                 ObjectAddressGroup([d](TF_DocEdit& form, QWidget&) { pickObjekt(d, form); })),
         6},
        {Grouped(d->documentGroup, document), 5},
        {Grouped(u"Sonstiges"_s,
                 {Hinted(DocFieldOf(u"Sachbearb."_s, u"R_Betreuer"_s, 0, PickBetreuer), choose),
                  Hinted(DocFieldOf(u"Formular"_s, u"R_PrintFormNo"_s, 6,
                                    [d](TF_DocEdit& form, QWidget& editor) {
                                        pickPrintForm(d, form, editor);
                                    }),
                         choose),
                  PrintFormNameField(
                      [d](TF_DocEdit& form, QWidget& editor) { pickPrintForm(d, form, editor); }),
                  DocFieldOf(u"Beschreibung"_s, u"R_Beschreibung"_s)}),
         5},
    };
    decl.headFooter = DocumentSumsFooter();
    decl.addressMenu = HeadAddressActions();

    decl.gridName = d->gridName;
    decl.columns = d->columns;
    // Alt+W and the double-click: the picker of the line's type on the
    // quantity, the unit and the VAT rate on theirs.
    decl.columnActions = {
        {u"S_Menge"_s, PickOfLineType},
        {u"S_Mwst"_s, PickLineVatRate},
        {u"S_MengBez"_s, PickLineUnit},
    };
    decl.lineFields = d->lineFields;
    // The buttons act on article, service and external-service lines; their
    // keys in the grid on any line.
    decl.lineButtons = {
        {u"Artikel (F3)"_s, Qt::Key_F3, [](TF_DocEdit& form) { PickLineArtikel(form, false); },
         false, true},
        {u"Leistung (F4)"_s, Qt::Key_F4, PickLineTaetigkeit, false, true},
    };
    if (d->objectArticles)
        decl.lineButtons.append({u"Objekt-Art.(F7)"_s, Qt::Key_F7,
                                 [](TF_DocEdit& form) { PickLineArtikel(form, true); }, false,
                                 true});
    if (d->externalServices)
        decl.lineButtons.append(
            {u"Fremdleist.(F8)"_s, Qt::Key_F8, PickLineFremdleistung, false, true});
    decl.lineButtons.append(d->extraLineButtons);
    decl.copyButton = d->copyButton;
    decl.copyKey = Qt::Key_F6;
    decl.copySources = d->copySources;
    decl.copyFrom = d->copyFrom;
    decl.copyEnabled = d->copyEnabled;
    decl.lineMenu = {{u"Preis als Sonderpreis merken"_s, RememberSpecialPrice}};
    decl.lineMenuWhen = [](TF_DocEdit& form) { return LinePosTyp(form) == 0; };
    decl.helpPage = d->helpPage;
    if (d->linesNeedObjekt) {
        decl.linesAllowed = [](TF_DocEdit& form) {
            return hasObjekt(form) || form.state().value(kCallerObjekt).toBool();
        };
        decl.linesRefusal = kObjektFirst;
    }
    decl.createHead = d->createHead;
    decl.openExisting = d->openExisting;
    decl.finish = d->finish ? d->finish : [d](TF_DocEdit& form) {
        // An empty new document goes, and its number with it.
        return FinishDocumentEditing(form.head(), form.lines(), form.isNew(), d->putBackNumber);
    };
    return decl;
}

int EditLieferschein(const QString& nr, int objektNr, bool autoInvoice, int lsTyp, int creatorId) {
    TLsEditCall call;
    call.objektNr = objektNr;
    call.autoInvoice = autoInvoice;
    call.lsTyp = lsTyp;
    call.creatorId = creatorId;
    TDocEditDecl decl = LsEditDeclaration(LsEditDesign(call));
    // The head table stays as the caller had it: opened for the session
    // only when it was closed.
    auto openedHere = std::make_shared<bool>(false);
    decl.openTables = [openedHere] {
        Table& head = DataModule1().TabLSKopf();
        if (head.isOpen())
            return;
        try {
            head.open();
        } catch (const std::exception& e) {
            ShowError(u"Beim Öffnen einer Datei ist ein Fehler aufgetreten!\rMessage: "_s +
                      QString::fromUtf8(e.what()) + u'\r' + head.tableName());
            WriteLog(head.tableName() + u": ERROR OPEN"_s);
            throw Abort{};
        }
        *openedHere = true;
    };
    decl.closeTables = [openedHere] {
        if (*openedHere)
            DataModule1().TabLSKopf().close();
    };
    try {
        return OpenDocumentEditor(decl, nr);
    } catch (const Abort&) {
        return 0;
    }
}

bool DeleteLieferschein() {
    TDataModule1& dm = DataModule1();
    Table& head = dm.TabLSKopf();
    if (!head.isOpen() || head.isEmpty())
        return false;
    const QString question = DeliveryNoteDeletionQuestion(head);
    if (!question.isEmpty() && !AskYesNo(question))
        return false;
    try {
        DeleteDeliveryNote(head, dm.TabLSSatz());
        return true;
    } catch (const Abort&) {
        return false;
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
        return false;
    }
}

bool DeleteLieferscheinById(int lsId) {
    Table& head = DataModule1().TabLSKopf();
    OpenForCall open(head);
    if (head.isEditing())
        head.post();
    if (!head.locate({u"R_ID"_s}, {lsId}))
        return false;
    return DeleteLieferschein();
}

void FocusLSEditColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusLSEditColumn)
        hook(fieldComponentName);
}
