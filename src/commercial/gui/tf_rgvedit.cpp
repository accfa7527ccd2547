#include "commercial/gui/tf_rgvedit.h"

#include "commercial/billing/rgvediting.h"
#include "commercial/billing/rgvtables.h"
#include "commercial/documents/documentediting.h"
#include "commercial/documents/headfills.h"
#include "commercial/gui/doceditparts.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/data/staffnames.h"
#include "core/datagui/moduleopener.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"

#include <QDate>
#include <QWidget>

using namespace Qt::StringLiterals;
using table::Table;
using widgets::FieldKind;

namespace {

constexpr int kInvoiceFormType = 10000;
const QString kChoose = u"Auswahl: Doppelclick"_s;
const QString kChange = u"Ändern: Doppelclick"_s;

void setReadOnly(TF_DocEdit& form, const QString& field) {
    if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(field))
        edit->setAlwaysReadOnly(true);
}

// Object and dates change only through their dialogs.
void lockFields(TF_DocEdit& form) {
    for (const QString& field : {u"R_ObjektNr"_s, u"R_DatumDruck"_s, u"S_SrcNr"_s})
        setReadOnly(form, field);
}

int objektNr(TF_DocEdit& form) {
    return FieldInt(form.head(), u"R_ObjektNr"_s);
}

// Head fields.

void pickObjekt(TF_DocEdit& form, QWidget&) {
    Table& head = form.head();
    const int nr = ChooseOtherObjekt(form);
    if (nr == 0)
        return;
    SetRgvObjekt(head, nr);
}

void pickKunde(TF_DocEdit& form, QWidget&) {
    Table& head = form.head();
    const int current = FieldInt(head, u"R_KundenNr"_s);
    const int nr =
        SelectKunde(current, 340, EditorLeft(form, 200), EditorTop(form, 140), form.sortField());
    if (nr == 0 || nr == current)
        return;
    FillKopfFromKunde(head, nr, [] { return AskYesNo(UseCustomerAddressText); });
}

void pickNotBefore(TF_DocEdit& form, QWidget& editor) {
    const table::Field& field = form.head().field(u"R_DatumDruck"_s);
    TDateTime date = field.isNull() ? EmptyDate : DateTimeOfDate(field.asDate());
    if (!PickDateBelow(editor, date))
        return;
    ChangeRgvNotBefore(form.head(), form.lines(), DateOfDateTime(date));
}

void pickPrintForm(TF_DocEdit& form, QWidget& editor) {
    ChoosePrintFormForField(&editor, &form.head().field(u"R_PrintFormNo"_s), kInvoiceFormType,
                            true);
}

// Lines.

// General articles; the same article again fills the line again, and the
// line keeps its source.
void pickArtikel(TF_DocEdit& form) {
    const int start = LinePosTyp(form) == 0 ? LineInt(form, u"S_MatID"_s) : 0;
    const int id =
        SelectArtikel(start, 0, 400, EditorLeft(form, 40), EditorTop(form, 80), form.sortField());
    if (id == 0)
        return;
    TLineFillOptions options;
    options.resetSource = false;
    if (!FillLineFromArtikel(form.lines(), id, options))
        ShowError(DbEntryNotFoundText);
}

void pickTaetigkeit(TF_DocEdit& form) {
    const int start = LinePosTyp(form) == 1 ? LineInt(form, u"S_MatID"_s) : 0;
    const QString search = form.hasLines() ? FieldText(form.lines(), u"S_Kurztext"_s) : QString();
    const int id = SelectTaetigByID(start, 400, EditorLeft(form, 40), EditorTop(form, 80), search,
                                    form.sortField());
    if (id == 0 || id == start)
        return;
    if (form.hasLines() && !RgvActivityAllowed(form.lines(), objektNr(form), GetTaetigNrById(id))) {
        ShowError(RgvRechmodeRefusedText);
        return;
    }
    TLineFillOptions options;
    options.resetSource = false;
    options.activityPrice = false;
    if (!FillLineFromTaetigkeit(form.lines(), id, options))
        ShowError(DbEntryNotFoundText);
}

// Activities for a line that came from one, articles otherwise.
void pickOfLineOrigin(TF_DocEdit& form) {
    if (LineInt(form, u"S_Origin"_s) == 8)
        pickTaetigkeit(form);
    else
        pickArtikel(form);
}

void pickProvision(TF_DocEdit& form, QWidget&) {
    if (!form.lineTakesCommands())
        return;
    Table& lines = form.lines();
    const int nr =
        SelectPersonal(0, 200, EditorLeft(form, 200), EditorTop(form, 140), form.sortField());
    if (nr == 0)
        return;
    EnsureEditOrInsert(lines);
    lines[u"S_ProvisID"_s] = GetPersonalIdByNr(nr);
}

QString staffOf(Table& lines) {
    const int id = FieldInt(lines, u"S_ProvisID"_s);
    if (id == 0)
        return {};
    auto staff = OpenTempTable(u"LumoDB"_s, u"Personal.DB"_s);
    if (!staff->locate({u"P_ID"_s}, {id}))
        return {};
    return u"%1 (%2)"_s.arg(FieldText(*staff, u"P_Name1"_s)).arg(FieldInt(*staff, u"P_Nr"_s));
}

// "Berechnung": the calculation modes by their long texts.
TDocField rechmodeField() {
    TDocField f = DocFieldOf(u"Berechnung"_s, u"S_Rechmode"_s, 22);
    f.decl.kind = FieldKind::Combo;
    auto modes = OpenTempTable(u"LumoDB"_s, u"RechMode.DB"_s);
    for (modes->first(); !modes->eof() && !modes->isEmpty(); modes->next()) {
        f.decl.items.append(FieldText(*modes, u"B_Lang"_s));
        f.decl.values.append(FieldInt(*modes, u"B_Nr"_s));
    }
    return f;
}

TDocField checkBox(const QString& caption, const QString& name, bool sameLine = false) {
    TDocField f = DocFieldOf(caption, name);
    f.decl.kind = FieldKind::CheckBox;
    f.decl.sameLine = sameLine;
    return f;
}

void copyFrom(TF_DocEdit& form, TDocSource source) {
    QString nr;
    if (!SelectVorlage(source, 240, EditorLeft(form, 140), EditorTop(form, 80), {},
                       GetDocSourceCaption(source), 0, nr))
        return;
    if (CopyIntoRgv(source, nr, form.head(), form.lines()) == 0)
        ShowError(NoValidRecordsText);
}

// The session.

void createTemplate(TF_DocEdit& form) {
    AppendNewRgvHead(form.head(), DefaultPrintFormOfKind(int(TDocKind::Rechnung)));
    lockFields(form);
}

void openTemplate(TF_DocEdit& form) {
    Table& head = form.head();
    if (FieldInt(head, u"R_PrintFormNo"_s) < 1) {
        head.edit();
        head[u"R_PrintFormNo"_s] = DefaultPrintFormOfKind(int(TDocKind::Rechnung));
    }
    lockFields(form);
}

// Pending edits are posted; a new template stays, also without lines.
bool finishTemplate(TF_DocEdit& form) {
    if (form.lines().isEditing())
        form.lines().post();
    if (form.head().isEditing())
        form.head().post();
    return false;
}

void setupTemplate(TF_DocEdit& form) {
    // "Berechnung" only on lines of kinds 0 to 2.
    QWidget* mode = form.fieldEditor(u"S_Rechmode"_s);
    auto enable = [&form, mode] {
        if (mode)
            mode->setEnabled(form.lineTakesCommands());
    };
    QObject::connect(&form.lineSource(), &widgets::DataSource::recordChanged, &form, enable);
    QObject::connect(&form.lineSource(), &widgets::DataSource::viewChanged, &form, enable);
}

} // namespace

TDocEditDecl RgvEditDeclaration(widgets::DataSource& intervals) {
    TDocEditDecl d;
    d.formClass = u"TF_RgvEdit"_s;
    d.designCaption = u"Layout Rechnungsformular"_s;
    d.newCaption = d.designCaption;
    d.editCaption = d.designCaption;
    d.keyField = u"R_ID"_s;
    d.focusHook = &DocumentFormHooks::FocusRgvEditColumn;

    TDocField interval = Hinted(DocFieldOf(u"&Intervall"_s, u"R_Intervall"_s),
                                u"Intervall für Rechnungserstellung auswählen"_s);
    interval.decl.kind = FieldKind::LookupCombo;
    interval.decl.lookup = &intervals;
    interval.decl.lookupKey = u"I_DefNo"_s;
    interval.decl.lookupText = u"I_Comment"_s;
    d.head = {
        {ObjectAddressGroup(pickObjekt), 6},
        {Grouped(
             u"Rechnungsvorlage"_s,
             {DocFieldOf(u"Lfd. &Nr."_s, u"R_Nr"_s, 12), interval,
              Hinted(DocFieldOf(u"Rg.nicht &vor"_s, u"R_DatumDruck"_s, 10, pickNotBefore), kChange),
              SameLine(DocFieldOf(u"Kop&ien"_s, u"R_Drucke"_s, 3)),
              Hinted(DocFieldOf(u"K&unde"_s, u"R_KundenNr"_s, 6, pickKunde), kChoose),
              SameLine(DocFieldOf({}, u"R_KMatch"_s)),
              Hinted(DocFieldOf(u"&Zahlbed."_s, u"R_ZahlBed"_s, 0, PickZahlbed, true), kChoose),
              DocFieldOf(u"Skonto Tage"_s, u"R_ZahlBedTage"_s, 3),
              SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto"_s, 5)),
              SameLine(DocFieldOf(u"2"_s, u"R_ZahlBedTage2"_s, 3)),
              SameLine(DocFieldOf(u"%"_s, u"R_ZahlBedSkonto2"_s, 5)),
              DocFieldOf(u"Netto Tage"_s, u"R_ZahlBedNettoTage"_s, 3),
              ReadOnlyField(DocFieldOf(u"Letzte Rg."_s, u"R_DatumErstell"_s, 10)),
              SameLine(ReadOnlyField(DocFieldOf(u"Nächste"_s, u"R_PlanDatum"_s, 10)))}),
         6},
        {Grouped(u"Sonstiges"_s,
                 {Hinted(DocFieldOf(u"Sachbearb."_s, u"R_Betreuer"_s, 0, PickBetreuer), kChoose),
                  Hinted(DocFieldOf(u"Formular"_s, u"R_PrintFormNo"_s, 6, pickPrintForm), kChoose),
                  PrintFormNameField(pickPrintForm),
                  Hinted(DocFieldOf(u"Buchungstext"_s, u"R_Buchtext"_s),
                         u"Buchungstext für Fibu-Export"_s),
                  Hinted(DocFieldOf(u"Erlöskonto"_s, u"R_FibuKonto2"_s, 7),
                         u"Erlös-(Gegen-)Konto für Fibu-Export"_s),
                  DocFieldOf(u"Beschreibung"_s, u"R_Beschreibung"_s),
                  checkBox(u"LS einbeziehen"_s, u"R_AutoLS"_s),
                  checkBox(u"Ausgesetzt"_s, u"R_Ausgesetzt"_s, true),
                  checkBox(u"Leerrechnung erlaubt"_s, u"R_LeerRechnungErlaubt"_s)}),
         5},
    };
    d.headFooter = DocumentSumsFooter();
    d.addressMenu = HeadAddressActions();
    d.headButtons = {{u"Berechnen"_s, [](TF_DocEdit& form) {
                          RecalcRgv(form.head(), form.lines(), QDate::currentDate());
                      }}};

    d.gridName = u"GridRgv"_s;
    d.columns = {
        {u"S_PosNr"_s, u"Pos"_s, 6},
        DocumentKindColumn(u"Posart"_s, 9),
        {u"S_Menge"_s, u"Mge"_s, 6},
        {u"S_MengBez"_s, u"Einheit"_s, 6},
        {u"S_Kurztext"_s, u"Rechnungstext"_s, 26},
        {u"S_EPreis"_s, u"E.-Preis"_s, 9},
        {u"S_Mwst"_s, u"St %"_s, 5},
        {u"S_MwstBetrag"_s, u"Mwst"_s, 8, true},
        {u"S_Netto"_s, u"Netto"_s, 9, true},
        {u"S_Brutto"_s, u"Brutto"_s, 9, true},
    };
    d.columnActions = {
        {u"S_Menge"_s, pickOfLineOrigin},
        {u"S_Mwst"_s, PickLineVatRate},
        {u"S_MengBez"_s, PickLineUnit},
    };
    auto originPick = [](TF_DocEdit& form, QWidget&) {
        if (form.lineTakesCommands())
            pickOfLineOrigin(form);
    };
    TDocField provision = DocFieldOf(u"Provision"_s, u"S_ProvisID"_s, 6, pickProvision);
    TDocField provisionName = SameLine(DocFieldOf({}, u"ProvisName"_s));
    provisionName.decl.kind = FieldKind::Display;
    provisionName.decl.display = staffOf;
    d.lineFields = {
        Hinted(DocFieldOf(u"K&ostenart"_s, u"S_ErloesKonto"_s, 6,
                          [](TF_DocEdit& form, QWidget&) {
                              if (form.lineTakesCommands())
                                  PickKostart(form);
                          }),
               kChoose),
        KostartNameField(),
        Hinted(DocFieldOf(u"Art./Lst-Nr."_s, u"S_SrcNr"_s, 0, originPick), kChoose),
        DocFieldOf(u"Kurztext"_s, u"S_Kurztext"_s, 0, originPick),
        rechmodeField(),
        Hinted(provision, kChoose),
        provisionName,
    };
    d.lineButtons = {
        {u"Artikel (F3)"_s, Qt::Key_F3, pickArtikel},
        {u"Leistung (F4)"_s, Qt::Key_F4, pickTaetigkeit},
    };
    d.swallowedKeys = {Qt::Key_F7};
    d.copyButton = u"Vorlage (F6)"_s;
    d.copyKey = Qt::Key_F6;
    d.copyKeyOutsideGrid = true;
    d.copyEnabled = [](TF_DocEdit& form) { return form.isNew(); };
    d.copySources = {
        {u"Rechnungs&vorlage übernehmen"_s, TDocSource::Rechnungsvorlage, true},
        {u"&Angebot übernehmen"_s, TDocSource::Angebot},
        {u"A&uftrag übernehmen"_s, TDocSource::Auftrag},
        {u"&Lieferschein übernehmen"_s, TDocSource::Lieferschein},
        {u"&Rechnung übernehmen"_s, TDocSource::Rechnung},
        {u"Gutschrift übernehmen"_s, TDocSource::Gutschrift},
        {u"Angebot aus Ablage einfügen"_s, ArchiveSource(TDocSource::Angebot)},
        {u"Auftrag aus Ablage einfügen"_s, ArchiveSource(TDocSource::Auftrag)},
        {u"Lieferschein aus Ablage einfügen"_s, ArchiveSource(TDocSource::Lieferschein)},
        {u"Rechnung aus Ablage einfügen"_s, ArchiveSource(TDocSource::Rechnung)},
        {u"Gutschrift aus Ablage einfügen"_s, ArchiveSource(TDocSource::Gutschrift)},
    };
    d.copyFrom = copyFrom;
    d.positionCopyAlwaysEnabled = true;
    d.lineTextKey = true;
    d.linesAllowed = [](TF_DocEdit& form) { return objektNr(form) != 0; };
    d.linesRefusal = u"Sie müssen eine gültige Objektnummer eingeben!"_s;
    d.helpPage = u"Dauerrechnungen.html"_s;
    d.createHead = createTemplate;
    d.openExisting = openTemplate;
    d.finish = finishTemplate;
    d.setup = setupTemplate;
    return d;
}

int ShowRgvEditForm(int id, int* current) {
    TDataModule1& dm = DataModule1();
    auto db = table::aliases::database(u"LumoDB"_s);
    Table head(db, u"Rgvkopf.db"_s);
    Table lines(db, u"RgvSatz.DB"_s);
    lines.setMaster(&head, {u"R_ID"_s}, {u"S_Ref"_s});
    BindRgvTableRules(dm, head, lines);
    OpenForCall definitions(dm.TabDefYearH());
    widgets::DataSource intervals(dm.TabDefYearH());
    // Open here, so that the template the editor ended on can still be read
    // when an error ended it.
    TablesOpenedHere opened({&head, &lines});
    TDocEditDecl decl = RgvEditDeclaration(intervals);
    // The template the session works on, once it has one.
    int working = id;
    decl.createHead = [create = decl.createHead, &working](TF_DocEdit& form) {
        create(form);
        working = FieldInt(form.head(), u"R_ID"_s);
    };
    try {
        const int result = OpenDocumentEditorOn(decl, head, lines, id);
        if (current)
            *current = result;
        return result;
    } catch (...) {
        if (current)
            *current = working;
        throw;
    }
}

void FocusRgvEditColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusRgvEditColumn)
        hook(fieldComponentName);
}
