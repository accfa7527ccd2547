#include "commercial/gui/tf_rgedit.h"

#include "commercial/documents/documentediting.h"
#include "commercial/documents/documentrules.h"
#include "commercial/documents/documentservices.h"
#include "commercial/documents/documentsupport.h"
#include "commercial/documents/headaddresses.h"
#include "commercial/documents/headfills.h"
#include "commercial/documents/linerules.h"
#include "commercial/documents/positionnumbers.h"
#include "commercial/documents/positiontable.h"
#include "commercial/gui/doceditparts.h"
#include "commercial/gui/documentnumberdialog.h"
#include "commercial/gui/documentpickers.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/datagui/tf_selform.h"
#include "core/gui/placement.h"
#include "core/messages/messages.h"
#include "core/settings/programsettings.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/table/table.h"
#include "platform/widgets/dbedit.h"

#include <QDate>
#include <QWidget>

using namespace Qt::StringLiterals;
using table::Table;
using widgets::FieldKind;

namespace {

const QString kManual = u"manual"_s;
const QString kObjektId = DocEditObjektId;
const QString kPrintForm = u"printForm"_s;
constexpr int kInvoiceFormType = 10000;

bool newOrManual(TF_DocEdit& form) {
    return form.isNew() || form.state().value(kManual).toBool();
}

void setReadOnly(TF_DocEdit& form, const QString& field, bool readOnly) {
    if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(field))
        edit->setAlwaysReadOnly(readOnly);
}

// Which head fields may be typed into: the number only in service mode, the
// customer only on a manual invoice; object and dates only through their
// dialogs.
void lockFields(TF_DocEdit& form) {
    setReadOnly(form, u"R_Nr"_s, !ServiceMode);
    setReadOnly(form, u"R_ObjektNr"_s, true);
    setReadOnly(form, u"R_DatumDruck"_s, true);
    const bool manual = newOrManual(form);
    setReadOnly(form, u"R_KundenNr"_s, !manual);
    setReadOnly(form, u"R_KMatch"_s, !manual);
    setReadOnly(form, u"S_SrcNr"_s, true);
}

// Head fields.

void pickObjekt(TF_DocEdit& form, QWidget&) {
    const QString refusal = InvoiceObjektRefusal(newOrManual(form), form.hasLines());
    if (!refusal.isEmpty()) {
        ShowError(refusal);
        return;
    }
    Table& head = form.head();
    const int nr = ChooseOtherObjekt(form);
    if (nr == 0)
        return;
    FillKopfFromObjekt(head, nr);
    form.state().insert(kObjektId, GetObjektIdByNr(nr));
}

void pickKunde(TF_DocEdit& form, QWidget&) {
    if (!InvoiceCustomerChangeable(newOrManual(form), ServiceMode))
        return;
    Table& head = form.head();
    const int current = FieldInt(head, u"R_KundenNr"_s);
    const int nr =
        SelectKunde(current, 340, EditorLeft(form, 200), EditorTop(form, 240), form.sortField());
    if (nr == 0 || nr == current)
        return;
    FillKopfFromKunde(head, nr, [] { return AskYesNo(UseCustomerAddressText); });
}

void pickDatum(TF_DocEdit& form, QWidget& editor) {
    Table& head = form.head();
    const table::Field& field = head.field(u"R_DatumDruck"_s);
    TDateTime date = field.isNull() ? EmptyDate : DateTimeOfDate(field.asDate());
    if (!PickDateBelow(editor, date))
        return;
    ChangeInvoiceDate(head, form.lines(), DateOfDateTime(date));
}

void pickNummer(TF_DocEdit& form, QWidget& editor) {
    Table& head = form.head();
    if (!InvoiceIsBooked(head)) {
        ShowError(ProvisionalInvoiceNrText);
        return;
    }
    const QPoint below = editor.mapToGlobal(QPoint(0, editor.height()));
    ChangeDocumentNumber(TDocKind::Rechnung, below.x(), below.y(), 260, head, u"Rechnungsnummer"_s,
                         u"R_DatumDruck"_s);
}

void pickPrintForm(TF_DocEdit& form, QWidget& editor) {
    const int id = ChoosePrintFormForField(&editor, &form.head().field(u"R_PrintFormNo"_s),
                                           kInvoiceFormType, true);
    form.state().insert(kPrintForm, id);
}

void copyFrom(TF_DocEdit& form, TDocSource source) {
    Table& head = form.head();
    QString nr = source == TDocSource::Rechnung ? FieldText(head, u"R_Nr"_s) : QString();
    const int objektNr = source == TDocSource::Auftrag || source == TDocSource::Lieferschein
                             ? GetObjektNrById(form.state().value(kObjektId).toInt())
                             : 0;
    if (!SelectVorlage(source, 240, EditorLeft(form, 140), EditorTop(form, 80), {},
                       GetDocSourceCaption(source), objektNr, nr))
        return;
    if (CopyIntoInvoice(source, nr, head, form.lines()) == 0)
        ShowError(NoValidRecordsText);
}

// The session.

void createInvoice(TF_DocEdit& form) {
    const int printForm = DefaultPrintFormOfKind(int(TDocKind::Rechnung));
    AppendManualInvoiceHead(form.head(), printForm, QDate::currentDate());
    form.state().insert(kManual, true);
    form.state().insert(kObjektId, 0);
    form.state().insert(kPrintForm, printForm);
    lockFields(form);
}

void openInvoice(TF_DocEdit& form) {
    Table& head = form.head();
    Table& lines = form.lines();
    form.state().insert(kManual, FieldInt(head, u"R_Creator"_s) == 1);
    form.state().insert(kObjektId, GetObjektIdByNr(FieldInt(head, u"R_ObjektNr"_s)));
    int printForm = FieldInt(head, u"R_PrintFormNo"_s);
    if (printForm < 1) {
        printForm = DefaultPrintFormOfKind(int(TDocKind::Rechnung));
        head.edit();
        head[u"R_PrintFormNo"_s] = printForm;
    }
    form.state().insert(kPrintForm, printForm);
    // Numbers written before the scaled scheme.
    if (!lines.isEmpty() && FieldInt(lines, u"S_PosNr"_s) < MinPosNr)
        NormalizeAllPosNr(lines);
    if (!lines.isEmpty())
        lines.first();
    lockFields(form);
}

} // namespace

TDocEditDecl RgEditDeclaration() {
    TDocEditDecl d;
    d.formClass = u"TF_RgEdit"_s;
    d.designCaption = u"Rechnungen bearbeiten"_s;
    d.newCaption = u"Rechnung erfassen"_s;
    d.editCaption = u"Rechnung bearbeiten"_s;
    d.headTable = u"TabRechKopf"_s;
    d.lineTable = u"TabRechSatz"_s;
    d.openTables = [] { OpenRechnungTables(DataModule1(), false); };
    d.closeTables = [] { CloseRechnungTables(DataModule1()); };
    d.focusHook = &DocumentFormHooks::FocusRgEditColumn;

    const QString change = u"Ändern: Doppelclick"_s;
    const QString choose = u"Auswahl: Doppelclick"_s;
    TDocField printName = PrintFormNameField(pickPrintForm);
    d.head = {
        {ObjectAddressGroup(pickObjekt), 6},
        {Grouped(u"Rechnung"_s,
                 {Hinted(DocFieldOf(u"Rg-&Nr."_s, u"R_Nr"_s, 9, pickNummer), change),
                  Hinted(DocFieldOf(u"Rg-&Datum"_s, u"R_DatumDruck"_s, 10, pickDatum), change),
                  DocFieldOf(u"Zeit&raum"_s, u"R_ZeitraumTxt"_s),
                  Hinted(DocFieldOf(u"K&unde"_s, u"R_KundenNr"_s, 6, pickKunde), choose),
                  SameLine(DocFieldOf({}, u"R_KMatch"_s)),
                  Hinted(DocFieldOf(u"&Zahlbed."_s, u"R_ZahlBed"_s, 0, PickZahlbed, true), choose),
                  DocFieldOf(u"Skonto Tage"_s, u"R_ZahlBedTage"_s, 3),
                  SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto"_s, 5)),
                  DocFieldOf(u"Skonto 2 Tage"_s, u"R_ZahlBedTage2"_s, 3),
                  SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto2"_s, 5)),
                  DocFieldOf(u"Netto Tage"_s, u"R_ZahlBedNettoTage"_s, 3),
                  SameLine(ReadOnlyField(DocFieldOf(u"fällig"_s, u"R_FaelligDatum"_s, 10)))}),
         6},
        {Grouped(u"Sonstiges"_s,
                 {Hinted(DocFieldOf(u"Sachbearb."_s, u"R_Betreuer"_s, 0, PickBetreuer), choose),
                  Hinted(DocFieldOf(u"Formular"_s, u"R_PrintFormNo"_s, 6, pickPrintForm), choose),
                  printName,
                  Hinted(DocFieldOf(u"Buchungstext"_s, u"R_Buchtext"_s),
                         u"Buchungstext für Fibu-Übergabe"_s),
                  Hinted(DocFieldOf(u"Erlöskonto"_s, u"R_FibuKonto2"_s, 7),
                         u"Erlös-(Gegen-)Konto für Fibu-Übergabe"_s),
                  DocFieldOf(u"Beschreibung"_s, u"R_Beschreibung"_s)}),
         5},
    };
    d.headFooter = DocumentSumsFooter();
    d.addressMenu = HeadAddressActions();

    d.gridName = u"GridRech"_s;
    d.columns = {
        {u"S_PosNr"_s, u"Pos"_s, 6},
        DocumentKindColumn(u"Art"_s, 9),
        {u"S_Menge"_s, u"Mge"_s, 7},
        {u"S_MengBez"_s, u"Einheit"_s, 7},
        {u"S_Kurztext"_s, u"Rechnungstext"_s, 28},
        {u"S_EPreis"_s, u"E.-Preis"_s, 9},
        {u"S_Mwst"_s, u"St %"_s, 5, true},
        {u"S_Netto"_s, u"Netto"_s, 9, true},
        {u"S_Brutto"_s, u"Brutto"_s, 9, true},
        {u"S_QuellNr"_s, u"Herkunft"_s, 10, true},
    };
    d.columnActions = {
        {u"S_Menge"_s, PickOfLineType},
        {u"S_Mwst"_s, PickLineVatRate},
        {u"S_MengBez"_s, PickLineUnit},
    };
    TDocField kostartName = KostartNameField();
    auto lineTypePick = [](TF_DocEdit& form, QWidget&) {
        if (form.lineTakesCommands())
            PickOfLineType(form);
    };
    d.lineFields = {
        Hinted(DocFieldOf(u"K&ostenart"_s, u"S_ErloesKonto"_s, 6,
                          [](TF_DocEdit& form, QWidget&) {
                              if (form.lineTakesCommands())
                                  PickKostart(form);
                          }),
               choose),
        kostartName,
        Hinted(DocFieldOf(u"Art./Lst-Nr."_s, u"S_SrcNr"_s, 0, lineTypePick), choose),
        DocFieldOf(u"Kurztext"_s, u"S_Kurztext"_s, 0, lineTypePick),
    };
    d.lineButtons = {
        {u"Artikel (F3)"_s, Qt::Key_F3, [](TF_DocEdit& form) { PickLineArtikel(form, false); }},
        {u"Leistung (F4)"_s, Qt::Key_F4, PickLineTaetigkeit},
        {u"Kostenart (F5)"_s, Qt::Key_F5, PickKostart},
        {u"ObjektArt. (F7)"_s, Qt::Key_F7, [](TF_DocEdit& form) { PickLineArtikel(form, true); }},
        {u"Fremdleist. (F8)"_s, Qt::Key_F8, PickLineFremdleistung},
    };
    d.copyButton = u"Vorlage(F6)"_s;
    d.copyKey = Qt::Key_F6;
    const TDocSource lieferschein = TDocSource::Lieferschein;
    d.copySources = {
        {u"&Lieferschein übernehmen"_s, lieferschein, true},
        {u"Rechnungs&vorlage übernehmen"_s, TDocSource::Rechnungsvorlage},
        {u"&Angebot übernehmen"_s, TDocSource::Angebot},
        {u"A&uftrag übernehmen"_s, TDocSource::Auftrag},
        {u"&Rechnung übernehmen"_s, TDocSource::Rechnung},
        {u"Gutschrift übernehmen"_s, TDocSource::Gutschrift},
        {u"Lieferschein aus Ablage einfügen"_s, ArchiveSource(lieferschein)},
        {u"Angebot aus Ablage einfügen"_s, ArchiveSource(TDocSource::Angebot)},
        {u"Auftrag aus Ablage einfügen"_s, ArchiveSource(TDocSource::Auftrag)},
        {u"Rechnung aus Ablage einfügen"_s, ArchiveSource(TDocSource::Rechnung)},
        {u"Gutschrift aus Ablage einfügen"_s, ArchiveSource(TDocSource::Gutschrift)},
    };
    d.copyFrom = copyFrom;
    d.lineMenu = {{u"Preis als Sonderpreis merken"_s, RememberSpecialPrice}};
    d.lineMenuWhen = [](TF_DocEdit& form) { return LinePosTyp(form) == 0; };
    d.helpPage = u"Rechnungen.html"_s;
    d.createHead = createInvoice;
    d.openExisting = openInvoice;
    return d;
}

void ShowRgEditForm(const QString& nr) {
    OpenDocumentEditor(RgEditDeclaration(), nr);
}

void FocusRgEditColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusRgEditColumn)
        hook(fieldComponentName);
}
