#include "commercial/gui/gutschriftlist.h"

#include "commercial/companysettings.h"
#include "commercial/documents/documentlists.h"
#include "commercial/gui/doceditdecl.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_doclist.h"
#include "commercial/gui/tf_gsedit.h"
#include "commercial/invoicing/creditnotes.h"
#include "commercial/invoicing/invoicemarks.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/dockinds.h"
#include "core/data/docnumbers.h"
#include "core/data/printforms.h"
#include "core/data/reportsource.h"
#include "core/gui/mainform.h"
#include "core/messages/messages.h"
#include "core/settings/formplacement.h"
#include "datasafety/autobackup.h"
#include "datasafety/documentarchive/archivewindows.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/rowreader.h"
#include "printing/documentprints.h"
#include "printing/gui/printbutton.h"
#include "printing/gui/ralistebutton.h"
#include "printing/printprotocol.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QCoreApplication>
#include <QScopeGuard>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const int kFormType = 14000;

Table& gsHeads() {
    return DataModule1().TabGsKopf();
}

void printNote(int id, bool preview, const QString& layout, QWidget* parent) {
    PrintCreditNote(id, false, preview, layout, parent);
}

// The layout of a run: each note's own form of the type, else the default
// credit-note form.
PrintLayout runLayout() {
    return PrintLayout::form(DefaultPrintFormOfKind(int(TDocKind::Gutschrift)));
}

QString printQuestion(int count) {
    return u"Sie haben %1 Gutschrift(en) gewählt.\rMöchten Sie diese Gutschrift(en) wirklich "
           u"drucken?"_s.arg(count);
}

// Mark mode on, the marked notes counted ("Es sind keine Sätze markiert!"
// when none, mark mode staying on); the count, 0 when none.
int beginMarked(TF_DocList& list) {
    int count = 0;
    list.head().beginMarkedCommand([&] {
        count = CountMarkedDocuments(u"LumoDB"_s, gsHeads().tableName());
        if (count == 0)
            ShowInfo(u"Es sind keine Sätze markiert!"_s);
        return count;
    });
    return count;
}

// Prints each marked note once; R_Drucke + 1 and unmarked after its print.
void printMarked(TF_DocList& list) {
    const PrintLayout fallback = runLayout();
    PrintMarkedDocuments(
        gsHeads(),
        [&](int id, int stored) {
            printNote(id, false, DocumentPrintLayout(stored, kFormType, fallback).layoutPath(),
                      &list);
            QCoreApplication::processEvents();
        },
        [] { ShowError(u"Beim Drucken ist ein Fehler aufgetreten!"_s); });
}

void drucken(TF_DocList& list) {
    const int count = beginMarked(list);
    if (count == 0 || !AskYesNo(printQuestion(count))) {
        list.head().setMarkMode(true);
        return;
    }
    OfferAutomaticBackup(
        CompanyFlag(DataModule1(), u"F_AutoSichernRechDruck"_s) ? AutoBackupSwitch::Unasked
                                                                : AutoBackupSwitch::Ask,
        u"Rechnungserstellung"_s, AutoBackupComment(u"Autosicherung vor Gutschriftendruck am "_s));
    list.head().setMarkMode(false);
    list.head().sortBy(u"R_ObjektNr"_s);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    BookMarkedGutschriften(gsHeads(), [](const QString& text) { ShowError(text); });
    list.refreshHeads();
    printMarked(list);
    UnmarkAllGutschriften(gsHeads());
}

void testdruck(TF_DocList& list) {
    const int count = beginMarked(list);
    list.head().setMarkMode(false);
    if (count == 0 || !AskYesNo(u"Probeausdruck:\r\r"_s + printQuestion(count)))
        return;
    const PrintLayout fallback = runLayout();
    int printed = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        // A test print changes nothing but the mark.
        for (int id : MarkedDocumentIds(gsHeads())) {
            Table& h = gsHeads();
            if (!h.locate({u"R_ID"_s}, {id}))
                continue;
            const int stored = FieldInt(h, u"R_PrintFormNo"_s);
            printNote(id, false, DocumentPrintLayout(stored, kFormType, fallback).layoutPath(),
                      &list);
            QCoreApplication::processEvents();
            if (h.locate({u"R_ID"_s}, {id}))
                WriteDocumentMark(h, false);
            ++printed;
        }
    }
    list.refreshHeads();
    ShowInfo(u"Es wurden %1 Datensätze gedruckt."_s.arg(printed));
}

void loeschen(TF_DocList& list) {
    const int count = beginMarked(list);
    if (count == 0)
        return;
    const bool confirmed = AskYesNo(u"Möchten Sie diese Gutschrift(en) wirklich löschen?"_s);
    if (confirmed)
        OfferAutomaticBackup(AutoBackupSwitch::Ask, u"Löschen der Gutschriften"_s,
                             AutoBackupComment(u"Autosicherung vor Gutschriftenlöschung am "_s));
    list.head().setMarkMode(false);
    if (!confirmed)
        return;
    int deleted = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        deleted = DeleteMarkedGutschriften(gsHeads());
    }
    list.refreshHeads();
    ShowInfo(u"Es wurden %1 Datensätze gelöscht."_s.arg(deleted));
}

void ablage(TF_DocList& list) {
    Table& h = gsHeads();
    UnmarkAllGutschriften(h);
    list.refreshHeads();
    if (h.isEmpty())
        return;
    if (!AskYesNo(u"Möchten Sie die markierte Gutschrift in die Datenablage überstellen?"_s))
        return;
    if ((FieldInt(h, u"R_Buchung"_s) & kGutschriftBooked) == 0) {
        ShowError(u"Die gewählte Gutschrift wurde noch nicht gedruckt!"_s);
        return;
    }
    const QString nr = FieldText(h, u"R_Nr"_s);
    if (DocNrExists(nr, u"AblageDB"_s, h.tableName())) {
        ShowError(u"Gutschrift-Nr "_s + nr + u" ist bereits in der Datenablage enthalten!"_s);
        return;
    }
    try {
        JournalGutschriftForArchive(DataModule1(), h);
    } catch (const DbError& e) {
        // Shown after the rollback, never inside the open transaction.
        list.refreshHeads();
        ShowError(u"Fehler beim Eintrag in die RA-Liste!\r"_s + e.message());
        return;
    }
    {
        // The archive run may close the shared tables; the list needs them
        // open again, also after a failure.
        auto reopen = qScopeGuard([] {
            TDataModule1& dm = DataModule1();
            for (Table* t : {&dm.TabGsKopf(), &dm.TabPosArt(), &dm.TabGsSatz()})
                if (!t->isOpen())
                    t->open();
        });
        ArchiveDocuments(ArchiveFamily::CreditNotes);
    }
    // What stayed (refused or cancelled) keeps its journal row, not its mark.
    UnmarkAllGutschriften(gsHeads());
}

void openEditor(const QString& nr) {
    if (nr.isEmpty()) {
        EditGutschrift(nr);
        return;
    }
    Table& h = gsHeads();
    if (FieldInt(h, u"R_Buchung"_s) & kGutschriftInFibu) {
        ShowError(FibuHandedOverText());
        return;
    }
    if ((FieldInt(h, u"R_Buchung"_s) & kGutschriftBooked) && !AskYesNo(GutschriftClosedQuestion()))
        return;
    EditWithGutschriftEffects(h, [&] { EditGutschrift(nr); });
}

QBrush rowBrush(widgets::RowReader& rows, int row) {
    const int buchung = rows.value(row, u"R_Buchung"_s).toInt();
    if (buchung & kGutschriftJournalled)
        return QColor(0x88, 0x88, 0x88);
    if (buchung & kGutschriftInFibu)
        return QColor(0x66, 0xAA, 0xCC);
    if (buchung & kGutschriftBooked)
        return QColor(0x7C, 0x76, 0xFC);
    return Qt::NoBrush;
}

} // namespace

TDocListDecl GutschriftListDeclaration() {
    TDocListDecl d;
    d.formName = u"TF_Gutschrift"_s;
    d.caption = u"Gutschriften"_s;
    d.right = 25;
    d.placementFile = kPlacementFile02;
    d.placementSection = u"Gutschrift"_s;
    d.helpPage = u"Rechnungen.html"_s;
    d.headTable = u"TabGsKopf"_s;
    d.lineTable = u"TabGsSatz"_s;
    d.lookupTables = {u"TabPosArt"_s};
    d.headGridName = u"GridGsKopf"_s;
    widgets::GridColumn mark{u"R_Selected"_s, u"  Wahl  "_s, 6};
    mark.items = {u"Ja"_s, u"Nein"_s};
    mark.values = {true, false};
    d.headColumns = {
        {u"R_Nr"_s, u"Gutschr.-Nr."_s, 10}, {u"R_DatumDruck"_s, u"GS-Datum"_s, 10},
        {u"R_ObjektNr"_s, u"O-Nr."_s, 6},   {u"R_OMatch"_s, u"Objekt-Bezeichnung"_s, 24},
        {u"R_KundenNr"_s, u"Kdnr."_s, 6},   {u"R_KMatch"_s, u"Kundenname"_s, 24},
        {u"R_Brutto"_s, u"Brutto"_s, 10},   mark};
    d.hiddenWhileMarking = u"R_Brutto"_s;
    d.firstSortField = u"R_ObjektNr"_s;
    d.lineColumns = {{u"S_PosNr"_s, u"Pos"_s, 6},          DocumentKindColumn(u"Art"_s, 9),
                     {u"S_SrcNr"_s, u"Art./Lst-Nr"_s, 10}, {u"S_Menge"_s, u"Mge"_s, 7},
                     {u"S_MengBez"_s, u"Einheit"_s, 7},    {u"S_Kurztext"_s, u"Kurztext"_s, 28},
                     {u"S_EPreis"_s, u"E-Preis"_s, 9},     {u"S_Mwst"_s, u"Mwst %"_s, 6},
                     {u"S_Netto"_s, u"Netto"_s, 10}};
    d.formType = kFormType;
    d.print = printNote;
    d.noun = u"Gutschriften"_s;
    d.archive = ArchiveFamily::CreditNotes;
    d.listTitle = u"Gutschriften"_s;
    d.listTableName = u"GSkopf.DB"_s;
    d.openEditor = openEditor;
    d.editHint = u"Gewählte Gutschrift bearbeiten"_s;
    d.newHint = u"Neue Gutschrift schreiben"_s;
    d.extraButtons = {{u"Testdr&uck"_s, u"btnTestdruck"_s,
                       u"Markierte Gutschriften zur Probe drucken"_s, TDocListRight::Print,
                       testdruck},
                      {u"&RA-Liste"_s, u"btnRaListe"_s, u"Rechnungsausgangsliste drucken"_s,
                       TDocListRight::Always,
                       [](TF_DocList& list) { RunRaListeButton(&list, 1, gsHeads().indexName()); }},
                      {u"RGV"_s, u"btnRgv"_s, u"Rechnungsvorlagen einblenden"_s,
                       TDocListRight::Always, [](TF_DocList&) { ShowRgvListForm(); }}};
    d.setMark = [](Table& head, bool on) { return SetGutschriftMark(head, on); };
    d.headRowBrush = rowBrush;
    d.ownCommands = {
        {u"btnDrucken"_s, drucken}, {u"btnLoeschen"_s, loeschen}, {u"btnAblage"_s, ablage}};
    d.searchLineWidget = [](TF_DocList& list) {
        auto* kopie = new QCheckBox(u"Zweitdruck mit Kopievermerk"_s, &list);
        kopie->setObjectName(u"cbKopie"_s);
        kopie->setChecked(GetKopieVermerk());
        QObject::connect(kopie, &QCheckBox::toggled, kopie, [](bool on) { SetKopieVermerk(on); });
        return kopie;
    };
    return d;
}

void ShowGutschriftForm() {
    RgPrintSourceScope source(0);
    ShowDocumentList(GutschriftListDeclaration());
}
