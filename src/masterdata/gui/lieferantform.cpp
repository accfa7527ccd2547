#include "masterdata/gui/lieferantform.h"

#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/liefartform.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/gui/turnoverpage.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "printing/listbutton.h"

#include <QPushButton>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kGrund = u"&Grunddaten"_s;
const QString kAnsprech = u"Ansprech&partner"_s;
const QString kBank = u"&Bank"_s;
const QString kDiverses = u"Versc&hiedenes"_s;

// Contact n: name, department, phone, fax and mobile in one box.
QList<FieldDecl> contact(int n) {
    const QString nr = QString::number(n);
    const QString group = u"Ansprechpartner "_s + nr;
    QList<FieldDecl> lines = {
        EditField(u"Name &"_s + nr, u"K_Ansprech"_s + nr, kAnsprech, 30),
        EditField(u"Abteilung"_s, u"K_AnsprechAbt"_s + nr, kAnsprech, 12),
        EditField(u"Telefon"_s, u"K_AnsprechTel"_s + nr, kAnsprech, 22),
        EditField(u"Fax"_s, u"K_AnsprechFax"_s + nr, kAnsprech, 22),
        EditField(u"Handy"_s, u"K_AnsprechHandy"_s + nr, kAnsprech, 22),
    };
    for (FieldDecl& line : lines)
        line.group = group;
    // Department beside the name, fax and mobile beside the phone.
    lines[1].sameLine = lines[3].sameLine = lines[4].sameLine = true;
    return lines;
}

FieldDecl turnover(const QString& caption, const QString& field) {
    FieldDecl d = EditField(caption, field, kDiverses, 12);
    d.group = u"Umsätze"_s;
    d.readOnly = true;
    return d;
}

QList<FieldDecl> lieferantFields() {
    QList<FieldDecl> f = {
        EditField(u"Lief-&Nr."_s, u"K_Nr"_s, kGrund, 8),
        EditField(u"Suchb&egriff"_s, u"K_Match"_s, kGrund, 40),
        EditField(u"Name &1"_s, u"K_Name1"_s, kGrund, 40),
        EditField(u"Name &2"_s, u"K_Name2"_s, kGrund, 40),
        EditField(u"Name &3"_s, u"K_Name3"_s, kGrund, 40),
        EditField(u"Stra&ße"_s, u"K_Strasse"_s, kGrund, 40),
        EditField(u"P&LZ/Ort"_s, u"K_Plz"_s, kGrund, 10),
        {.field = u"K_Ort"_s, .page = kGrund, .sameLine = true},
        EditField(u"&Telefon"_s, u"K_Tel1"_s, kGrund, 22),
        EditField(u"Hand&y"_s, u"K_Tel2"_s, kGrund, 22),
        EditField(u"&Fax"_s, u"K_Fax"_s, kGrund, 22),
        EditField(u"E-Ma&il"_s, u"K_Email"_s, kGrund),
        EditField(u"&Website"_s, u"K_Website"_s, kGrund),
        EditField(u"Eigene &Kundennr."_s, u"K_EigeneKdNr"_s, kGrund, 20),
    };
    for (int n = 1; n <= 4; ++n)
        f += contact(n);
    f += {
        EditField(u"Ban&kname"_s, u"K_Bankname"_s, kBank, 40),
        EditField(u"B&LZ"_s, u"K_Blz"_s, kBank, 10),
        EditField(u"K&onto"_s, u"K_Konto"_s, kBank, 11),
        ListField(u"&Zahlart"_s, u"K_Zahlart"_s, kBank, 30, u"ZA_ID"_s, u"ZA_Text"_s),
        EditField(u"Ansprechpar&tner"_s, u"K_BankAnsprech"_s, kBank, 40),
        EditField(u"T&elefon"_s, u"K_BankTelefon"_s, kBank, 22),
        {.caption = u"&Notiz"_s, .field = u"K_Memo"_s, .kind = FieldKind::RichText, .page = kBank},

        EditField(u"Kostenstelle &1"_s, u"K_KostenStelle1"_s, kDiverses, 10),
        EditField(u"Kostenstelle &2"_s, u"K_Kostenstelle2"_s, kDiverses, 10),
        EditField(u"Briefanr&ede"_s, u"K_BriefAnrede"_s, kDiverses),
        ListField(u"Zahlungsbedingunge&n"_s, u"K_Rechbed"_s, kDiverses, 40, u"Z_ID"_s, u"Z_Text"_s),
        EditField(u"&Fibu-Konto"_s, u"K_FibuKonto"_s, kDiverses, 10),
        EditField(u"Kred&itlimit"_s, u"K_Kreditlimit"_s, kDiverses, 12),
        turnover(u"Gesamt-Umsatz"_s, u"K_UmsGesamt"_s),
        turnover(u"Letzter Umsatz"_s, u"K_UmsLetzt"_s),
        turnover(u"Datum letzter Umsatz"_s, u"K_UmsLetztDat"_s),
        turnover(u"Offene Rechnungen"_s, u"K_Rechoffen"_s),
    };
    return f;
}

void showAssortment(TF_TableForm& form) {
    table::Table& t = form.table();
    if (!t.isOpen() || t.isEmpty())
        throw Abort{};
    if (t.isEditing())
        t.post();
    ShowLiefArtForm(FieldInt(t, u"K_ID"_s), FieldInt(t, u"K_Nr"_s));
}

} // namespace

TableFormDecl LieferantPagesDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Lieferant"_s;
    d.caption = u"Lieferanten"_s;
    d.source = TableSource::Shared;
    d.table = u"TabLieferant"_s;
    d.gridName = u"GridKunden"_s;
    d.columns = {{u"K_Nr"_s, u"Lief-Nr."_s, 7},   {u"K_Match"_s, u"Suchbegriff"_s, 18},
                 {u"K_Name1"_s, u"Name 1"_s, 24}, {u"K_Name2"_s, u"Name 2"_s, 20},
                 {u"K_Plz"_s, u"PLZ"_s, 6},       {u"K_Ort"_s, u"Ort"_s, 18}};
    d.titleSort = TitleSort::ByColumn;
    d.initialSortField = u"K_Nr"_s;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.fields = lieferantFields();
    d.lookups = {{u"K_Zahlart"_s, u"TabZahlart"_s}, {u"K_Rechbed"_s, u"TabZahlbed"_s}};
    d.buttons = {{u"Sortiment"_s, &showAssortment}};
    // A chosen form must exist; the tag's bits give preview and filter.
    const auto protocol = [](TF_TableForm&, ListPrintButton& list) {
        list.variant = PrintVariant::C;
        list.args.useFilter = list.tag > 1;
    };
    d.prints = {{u"&Vorschau"_s, 79000, u"PrintLiefList"_s, 1, protocol},
                {u"&Druck"_s, 79000, u"PrintLiefList"_s, 0, protocol}};
    d.helpPage = u"Lieferanten.html"_s;
    d.minimumSize = {800, 740};
    d.placement = {kPlacementFile03, u"Lieferanten"_s, {u"GridKunden.Columns"_s}};
    return d;
}

ListFormDecl LieferantFormDecl() {
    ListFormDecl d;
    d.form = LieferantPagesDecl();
    d.right = 9;
    d.numberProposal = {u"K_Nr"_s, u"Möchten Sie die Lieferanten-Nummer wirklich ändern?"_s,
                        &NextFreeLieferantNr};
    d.bankPair = {u"K_Bankname"_s, u"K_Blz"_s};
    d.remember = &RememberLieferantNr;
    // "Off. &Rechnungen" holds Alt+R here.
    AddTurnoverPage(d, {u"&Umsatz"_s, kDiverses, u"TabLUmsatz"_s, u"K_Aktjahr"_s, u"GridUmsatzL"_s,
                        false, u"&Jahr"_s});
    d.masterHooks = &MasterFormHookSet::supplierForm;
    // The supplier's incoming invoices, on a cursor of the form's own while
    // the tab is in front; settled ones on light green.
    d.gridPages = {{.title = u"Off. &Rechnungen"_s,
                    .gridName = u"GridOP"_s,
                    .source = TableSource::Own,
                    .table = u"OERkopf.DB"_s,
                    .index = u"R_IKundenNr"_s,
                    .masterFields = {u"K_Nr"_s},
                    .detailFields = {u"R_KundenNr"_s},
                    .openWhileShown = true,
                    .columns = {{u"R_Nr"_s, u"Rechnungs-Nr."_s, 12},
                                {u"E_LiefRgNr"_s, u"Lief.- Rechn.-Nr."_s, 14},
                                {u"R_DatumErstell"_s, u"Rechnungsdatum"_s, 11},
                                {u"R_DatumEingang"_s, u"Eingang"_s, 10},
                                {u"R_FaelligDatum"_s, u"Fälligkeit zum"_s, 11},
                                {u"R_Brutto"_s, u"Bruttobetrag"_s, 11},
                                {u"O_ZahlSumme"_s, u"Bezahlt"_s, 10},
                                {u"O_OffenSumme"_s, u"Offen"_s, 10}},
                    .rowBrush = &SettledItemBrush}};
    d.applyRights = [](TF_ListForm& form) {
        if (QPushButton* assortment = form.button(u"Sortiment"_s))
            assortment->setVisible(HasExportRight(9));
    };
    return d;
}

void ShowLieferantForm() {
    ShowTurnoverForm(u"TF_Lieferant"_s);
}
