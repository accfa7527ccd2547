#include "commercial/gui/tf_gsedit.h"

#include "commercial/documents/creditnoteediting.h"
#include "commercial/documents/documentediting.h"
#include "commercial/documents/linerules.h"
#include "commercial/gui/doceditparts.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/gui/tf_lsedit.h"
#include "commercial/invoicing/invoiceediting.h"
#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/printforms.h"
#include "core/datagui/tf_selform.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"
#include "masterdata/dialogs/pickers.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"

#include <QAction>
#include <QDate>
#include <QMenu>
#include <QPushButton>
#include <memory>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

// Set once lines were copied from an invoice: the note counts as new no more.
const QString kCopied = u"copied"_s;
const QString kNewInvoiceCopies[] = {u"&Rechnung übernehmen"_s, u"OP-Rechnung übernehmen"_s};

bool stillNew(TF_DocEdit& form) {
    return form.isNew() && !form.state().value(kCopied).toBool();
}

// Customer and object belong to a note made here (or still new).
bool isManual(TF_DocEdit& form) {
    return form.isNew() || FieldInt(form.head(), u"R_Creator"_s) == 1;
}

void showCopyState(TF_DocEdit& form) {
    const bool isNew = stillNew(form);
    for (const QString& caption : kNewInvoiceCopies)
        if (QAction* a = TF_DocEdit::menuAction(form.copyMenu(), caption))
            a->setEnabled(isNew);
    if (QPushButton* b = form.button(u"Vorlage(F6)"_s))
        b->setEnabled(isNew);
}

void copyIntoGutschrift(TF_DocEdit& form, TDocSource source) {
    Table& head = form.head();
    // With an object only the object's invoices are offered.
    const int objektNr = FieldInt(head, u"R_ObjektNr"_s);
    QString nr;
    if (!SelectVorlage(source, 240, EditorLeft(form, 140), EditorTop(form, 80), {},
                       GetDocSourceCaption(source), objektNr, nr))
        return;
    const int copied = CopyInvoiceIntoGutschrift(source, nr, head, form.lines());
    if (copied < 0)
        return;
    form.state().insert(kCopied, true);
    form.state().insert(DocEditObjektId, GetObjektIdByNr(FieldInt(head, u"R_ObjektNr"_s)));
    showCopyState(form);
    form.headSource().notifyRecordChanged();
    if (copied == 0)
        ShowError(NoValidRecordsText);
}

} // namespace

TDocEditDecl GsEditDeclaration() {
    TLsEditDesign d = LsEditDesign();
    d.formClass = u"TF_GsEdit"_s;
    d.designCaption = u"Gutschriften bearbeiten"_s;
    d.newCaption = u"Gutschrift erfassen"_s;
    d.editCaption = u"Gutschrift bearbeiten"_s;
    d.headTable = u"TabGsKopf"_s;
    d.lineTable = u"TabGsSatz"_s;
    d.focusHook = &DocumentFormHooks::FocusGsEditColumn;
    d.gridName = u"GridGs"_s;
    d.helpPage = u"rechnungen.html"_s;
    d.kind = TDocKind::Gutschrift;
    d.formType = 14000;
    d.documentGroup = u"Gutschrift"_s;
    d.addressGroup = u"Objekt / Rechnungsanschrift"_s;
    d.numberCaption = u"Gutschrift-Nr."_s;
    d.numberDialogCaption = u"Gutschriftnummer"_s;
    d.numberDateField = u"R_DatumDruck"_s;
    d.numberOnlyNew = {};
    d.dateFields = {{u"GS-Datum"_s, u"R_DatumDruck"_s}, {u"vom"_s, u"R_PlanDatum"_s}};
    d.documentFields = {
        ReadOnlyField(DocFieldOf(u"zu Rg-Nr."_s, u"R_ANr"_s, 12)),
        Hinted(DocFieldOf(u"Zahlbed."_s, u"R_ZahlBedID"_s, 4, PickZahlbed),
               u"Auswahl: Doppelclick"_s),
        SameLine(DocFieldOf({}, u"R_ZahlBed"_s)),
        DocFieldOf(u"Buchungstext"_s, u"R_Buchtext"_s),
        DocFieldOf(u"Erlöskonto"_s, u"R_FibuKonto2"_s, 8),
    };
    d.objektRefusal = [](TF_DocEdit& form) {
        return InvoiceObjektRefusal(isManual(form), form.hasLines());
    };
    d.customerNeedsObjekt = false;
    d.customerChangeable = isManual;
    d.customerAddressQuestion = u"Kundenadresse als Rechnungsanschrift verwenden?"_s;
    d.linesNeedObjekt = false;
    d.objectArticles = false;
    d.externalServices = false;
    d.columns = {
        {u"S_PosNr"_s, u"Pos"_s, 6},
        DocumentKindColumn(u"Art"_s, 9),
        {u"S_Menge"_s, u"Mge"_s, 7},
        {u"S_MengBez"_s, u"Einheit"_s, 7},
        {u"S_Kurztext"_s, u"Rechnungstext"_s, 26},
        {u"S_EPreis"_s, u"E.-Preis"_s, 9},
        {u"S_Mwst"_s, u"St %"_s, 5, true},
        {u"S_Netto"_s, u"Netto"_s, 9, true},
        {u"S_Brutto"_s, u"Brutto"_s, 9, true},
        {u"S_QuellNr"_s, u"Herkunft"_s, 10, true},
    };
    auto kostartPick = [](TF_DocEdit& form, QWidget&) {
        if (form.lineTakesCommands())
            PickKostart(form);
    };
    d.lineFields.append(Hinted(DocFieldOf(u"Kostenart"_s, u"S_ErloesKonto"_s, 6, kostartPick),
                               u"Auswahl: Doppelclick"_s));
    d.lineFields.append(SameLine(KostartNameField()));
    d.extraLineButtons = {{u"Kostenart (F5)"_s, Qt::Key_F5, PickKostart, false, true}};
    d.copyButton = u"Vorlage(F6)"_s;
    const TDocSource rechnung = TDocSource::Rechnung;
    d.copySources = {
        {u"&Rechnung übernehmen"_s, rechnung, true},
        {u"OP-Rechnung übernehmen"_s, TDocSource::OpRechnung},
        {u"Rechnung aus Ablage übernehmen"_s, ArchiveSource(rechnung)},
        {u"Rechnungs&vorlage übernehmen"_s, TDocSource::Rechnungsvorlage},
    };
    d.copyFrom = [](TF_DocEdit& form, TDocSource source) {
        // The invoices of the working tables only while the note is new.
        if ((source == TDocSource::Rechnung || source == TDocSource::OpRechnung) && !stillNew(form))
            return;
        copyIntoGutschrift(form, source);
    };
    d.putBackNumber = &PutBackGutschriftNr;
    d.createHead = [](TF_DocEdit& form) {
        AppendGutschriftHead(form.head(), DefaultPrintFormOfKind(int(TDocKind::Gutschrift)),
                             QDate::currentDate());
        form.state().insert(DocEditObjektId, 0);
    };
    d.openExisting = [](TF_DocEdit& form) {
        Table& head = form.head();
        form.state().insert(DocEditObjektId, GetObjektIdByNr(FieldInt(head, u"R_ObjektNr"_s)));
        if (FieldInt(head, u"R_PrintFormNo"_s) < 1)
            CancelEditOnError(head, [&] {
                head.edit();
                head[u"R_PrintFormNo"_s] = DefaultPrintFormOfKind(int(TDocKind::Gutschrift));
                head.post();
            });
        if (!form.lines().isEmpty())
            form.lines().first();
    };
    // A note that took an invoice over stays, also without lines.
    d.finish = [](TF_DocEdit& form) {
        return FinishDocumentEditing(form.head(), form.lines(), stillNew(form),
                                     &PutBackGutschriftNr);
    };
    TDocEditDecl decl = LsEditDeclaration(d);
    const auto ownSetup = decl.setup;
    decl.setup = [ownSetup](TF_DocEdit& form) {
        if (ownSetup)
            ownSetup(form);
        // Numbers and dialog-only fields change through their dialogs; the
        // number is typed only in service mode.
        for (const QString& field : {u"R_ObjektNr"_s, u"R_KundenNr"_s, u"R_KMatch"_s, u"S_SrcNr"_s,
                                     u"R_ZahlBedID"_s, u"S_ErloesKonto"_s})
            if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(field))
                edit->setAlwaysReadOnly(true);
        if (auto* edit = form.fieldEditorAs<widgets::DbEdit>(u"R_Nr"_s))
            edit->setAlwaysReadOnly(!ServiceMode);
        showCopyState(form);
    };
    return decl;
}

void EditGutschrift(const QString& nr) {
    TDocEditDecl decl = GsEditDeclaration();
    auto openedHere = std::make_shared<bool>(false);
    decl.openTables = [openedHere] {
        TDataModule1& dm = DataModule1();
        for (Table* t : {&dm.TabGsSatz(), &dm.TabGsKopf()}) {
            if (t->isOpen())
                continue;
            try {
                t->open();
            } catch (const std::exception& e) {
                ShowError(u"Beim Öffnen einer Datei ist ein Fehler aufgetreten!\rMessage: "_s +
                          QString::fromUtf8(e.what()) + u'\r' + t->tableName());
                WriteLog(t->tableName() + u": ERROR OPEN"_s);
                throw Abort{};
            }
            *openedHere = true;
        }
    };
    decl.closeTables = [openedHere] {
        if (*openedHere) {
            DataModule1().TabGsKopf().close();
            DataModule1().TabGsSatz().close();
        }
    };
    try {
        OpenDocumentEditor(decl, nr.isEmpty() ? QVariant() : QVariant(nr));
    } catch (const Abort&) {
    }
}

void FocusGsEditColumn(const QString& fieldComponentName) {
    if (const auto& hook = DocumentFormHooksRegistry().FocusGsEditColumn)
        hook(fieldComponentName);
}
