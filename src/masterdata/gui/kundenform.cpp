#include "masterdata/gui/kundenform.h"

#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "masterdata/gui/docforms.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/kundenlistprint.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/turnoverpage.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/rowreader.h"
#include "printing/listbutton.h"

#include <QPushButton>
#include <algorithm>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

constexpr int kKunden = 2;
constexpr int kKundenstatistik = 3;
constexpr int kOffenePostenKunden = 4;
constexpr int kDokumenteKunden = 5;

const QString kGrund = u"&Grunddaten"_s;
const QString kAnsprech = u"Ansprech&partner"_s;
const QString kLiefer = u"&Lieferadresse"_s;
const QString kBank = u"&Bank"_s;
const QString kUmsatz = u"&Umsatz"_s;
const QString kVerschiedenes = u"Versc&hiedenes"_s;
const QString kObjekte = u"Ob&jekte"_s;
const QString kOffenePosten = u"Offene Posten"_s;
const QString kDokum = u"Dokum."_s;

FieldDecl shown(const QString& caption, const QString& field, const QString& page, int width) {
    FieldDecl f = EditField(caption, field, page, width);
    f.readOnly = true;
    return f;
}

QList<FieldDecl> contactPersons() {
    QList<FieldDecl> fields;
    for (int i = 1; i <= 4; ++i) {
        const QString n = QString::number(i);
        QList<FieldDecl> person = {
            EditField(u"Name &"_s + n, u"K_Ansprech"_s + n, kAnsprech, 30),
            BesideField(u"Abteilung"_s, u"K_AnsprechAbt"_s + n, kAnsprech, 12),
            EditField(u"Telefon"_s, u"K_AnsprechTel"_s + n, kAnsprech, 20),
            BesideField(u"Fax"_s, u"K_AnsprechFax"_s + n, kAnsprech, 20),
            BesideField(u"Handy"_s, u"K_AnsprechHandy"_s + n, kAnsprech, 20),
        };
        for (FieldDecl& f : person)
            f.group = n + u". Ansprechpartner"_s;
        fields += person;
    }
    return fields;
}

QList<FieldDecl> customerFields() {
    QList<FieldDecl> f = {
        EditField(u"Suchb&egriff"_s, u"K_Match"_s, kGrund, 30),
        EditField(u"Kd.-&Nr."_s, u"K_Nr"_s, kGrund, 8),
        EditField(u"Name &1"_s, u"K_Name1"_s, kGrund),
        EditField(u"Name &2"_s, u"K_Name2"_s, kGrund),
        EditField(u"Name &3"_s, u"K_Name3"_s, kGrund),
        EditField(u"St&raße"_s, u"K_Strasse"_s, kGrund),
        EditField(u"Pl&z/Ort"_s, u"K_Plz"_s, kGrund, 8),
        BesideField({}, u"K_Ort"_s, kGrund),
        EditField(u"&Telefon"_s, u"K_Tel1"_s, kGrund, 22),
        BesideField(u"Hand&y"_s, u"K_Tel2"_s, kGrund, 22),
        EditField(u"&Fax"_s, u"K_Fax"_s, kGrund, 22),
        EditField(u"E-Ma&il"_s, u"K_Email"_s, kGrund),
        EditField(u"&Website"_s, u"K_Website"_s, kGrund),
    };
    f += contactPersons();
    f += {
        EditField(u"Anschrift &1"_s, u"K_LAnschrift1"_s, kLiefer),
        EditField(u"Anschrift &2"_s, u"K_LAnschrift2"_s, kLiefer),
        EditField(u"Anschrift &3"_s, u"K_LAnschrift3"_s, kLiefer),
        EditField(u"St&raße"_s, u"K_LStrasse"_s, kLiefer),
        EditField(u"Pl&z/Ort"_s, u"K_LPlz"_s, kLiefer, 8),
        BesideField({}, u"K_LOrt"_s, kLiefer),
        EditField(u"Sachbearb&eiter"_s, u"K_LSachbearbeiter"_s, kLiefer),
        EditField(u"Lie&ferart"_s, u"K_LLiefart"_s, kLiefer, 30),
        EditField(u"&Telefon"_s, u"K_LTelefon"_s, kLiefer, 22),
        BesideField(u"Fa&x"_s, u"K_LFax"_s, kLiefer, 22),
        EditField(u"Hand&y"_s, u"K_LHandy"_s, kLiefer, 22),
    };
    f += {
        EditField(u"Bank&name"_s, u"K_Bankname"_s, kBank, 40),
        EditField(u"BL&Z"_s, u"K_Blz"_s, kBank, 10),
        EditField(u"&Konto-Nr."_s, u"K_Konto"_s, kBank, 14),
        ListField(u"Zahlar&t"_s, u"K_Zahlart"_s, kBank, 30, u"ZA_ID"_s, u"ZA_Text"_s),
        EditField(u"Ansp&rechpartner"_s, u"K_BankAnsprech"_s, kBank, 40),
        EditField(u"T&elefon"_s, u"K_BankTelefon"_s, kBank, 22),
        {.caption = u"Mem&o"_s, .field = u"K_Memo"_s, .kind = FieldKind::RichText, .page = kBank},
    };
    f += {
        {.caption = u"Mahnsp&erre"_s,
         .field = u"K_Mahnsperre"_s,
         .kind = FieldKind::Combo,
         .page = kVerschiedenes,
         .width = 6,
         .items = {u"Ja"_s, u"Nein"_s},
         .values = {true, false}},
        EditField(u"&Kreditlimit"_s, u"K_Kreditmax"_s, kVerschiedenes, 12),
        ListField(u"Zahlungsbedingu&ng"_s, u"K_RechBed"_s, kVerschiedenes, 40, u"Z_ID"_s,
                  u"Z_Text"_s),
        EditField(u"&FiBu-Konto"_s, u"K_FibuKonto"_s, kVerschiedenes, 10),
        EditField(u"Kostenstelle &1"_s, u"K_KostenStelle1"_s, kVerschiedenes, 10),
        EditField(u"Kostenstelle &2"_s, u"K_Kostenstelle2"_s, kVerschiedenes, 10),
        EditField(u"B&riefanrede"_s, u"K_BriefAnrede"_s, kVerschiedenes),
        shown(u"Offene Rechnungen"_s, u"K_Rechoffen"_s, kVerschiedenes, 12),
        shown(u"Letzter Umsatz am"_s, u"K_UmsLetztDat"_s, kVerschiedenes, 10),
        shown(u"Letzter Umsatz"_s, u"K_UmsLetzt"_s, kVerschiedenes, 12),
        shown(u"Umsatz gesamt"_s, u"K_UmsGesamt"_s, kVerschiedenes, 12),
    };
    return f;
}

GridPageDecl objectsPage() {
    GridPageDecl p;
    p.title = kObjekte;
    p.gridName = u"GridKundObj"_s;
    p.table = u"TabKundObj"_s;
    p.columns = {
        {u"O_Nr"_s, u"Obj.-Nr"_s, 7},      {u"O_Match"_s, u"Suchbegriff"_s, 16},
        {u"O_Strasse"_s, u"Straße"_s, 24}, {u"O_Plz"_s, u"Plz"_s, 6},
        {u"O_Ort"_s, u"Ort"_s, 18},        {u"O_DatumLetzteRech"_s, u"Letzt. Rechn."_s, 10}};
    return p;
}

// The customer's open items, read by a cursor of the page's own that is
// open only while the page is in front.
GridPageDecl openItemsPage() {
    GridPageDecl p;
    p.title = kOffenePosten;
    p.gridName = u"GridOP"_s;
    p.source = TableSource::Own;
    p.table = u"OpKopf.DB"_s;
    p.index = u"R_IKundeObj"_s;
    p.masterFields = {u"K_Nr"_s};
    p.detailFields = {u"R_KundenNr"_s};
    p.openWhileShown = true;
    p.columns = {{u"R_Nr"_s, u"Rechn.-Nr."_s, 10},     {u"R_DatumDruck"_s, u"Datum"_s, 10},
                 {u"R_ANr"_s, u"Vorlage"_s, 10},       {u"R_ObjektNr"_s, u"Obj.-Nr"_s, 7},
                 {u"R_OMatch"_s, u"Objekt"_s, 16},     {u"R_Brutto"_s, u"Brutto"_s, 11},
                 {u"O_ZahlSumme"_s, u"Bezahlt"_s, 11}, {u"O_OffenSumme"_s, u"Offen"_s, 11},
                 {u"O_Mahnungen"_s, u"Mahn"_s, 4}};
    p.rowBrush = &SettledItemBrush;
    return p;
}

void applyCustomerRights(TF_ListForm& form) {
    if (QPushButton* documents = form.button(kDokum))
        documents->setVisible(HasViewRight(kDokumenteKunden));
    if (!HasViewRight(kKundenstatistik)) {
        form.takeAwayPage(kUmsatz);
        form.takeAwayField(u"K_UmsGesamt"_s);
        form.takeAwayField(u"K_UmsLetzt"_s);
    }
    if (!HasViewRight(kOffenePostenKunden)) {
        form.takeAwayPage(kOffenePosten);
        form.takeAwayField(u"K_Rechoffen"_s);
    }
    if (!HasEditRight(kKunden))
        form.takeAwayPage(kBank);
}

// A list longer than a report takes is printed from the current row on, by
// a range filter on the sort field that the print copies; the returned step
// switches it off again.
std::function<void()> rangeOfLongList(TF_ListForm& form, ListEntryArgs& args) {
    table::Table& t = form.table();
    if (!t.isOpen())
        return {};
    if (t.isEditing())
        t.post();
    const int count = t.recordCount();
    if (count <= kMaxReportRows)
        return {};
    ShowInfo(TooManyCustomersText(count));
    const QString field = form.sortField().isEmpty() ? u"K_Nr"_s : form.sortField();
    widgets::RowReader& rows = form.source().rows();
    const int first = std::max(t.recNo() - 1, 0);
    const int last = std::min(first + kMaxReportRows, rows.rowCount() - 1);
    const QString filter = RangeFilterText(field, t.field(field).type(), rows.value(first, field),
                                           rows.value(last, field));
    const table::Bookmark here = t.bookmark();
    const QString oldFilter = t.filter();
    const bool wasFiltered = t.isFiltered();
    t.setFilter(filter);
    t.setFiltered(true);
    form.source().notifyViewChanged();
    args.useFilter = true;
    return [&t, &form, here, oldFilter, wasFiltered] {
        t.setFiltered(wasFiltered);
        t.setFilter(oldFilter);
        if (t.bookmarkValid(here))
            t.gotoBookmark(here);
        form.source().notifyViewChanged();
    };
}

void prepareListPrint(TF_TableForm& base, ListPrintButton& button) {
    button.args.tableName = u"Kunden"_s;
    if (auto* form = qobject_cast<TF_ListForm*>(&base))
        button.around = [form](ListEntryArgs& args) { return rangeOfLongList(*form, args); };
}

void showDocuments(TF_TableForm& form) {
    table::Table& t = form.table();
    // The documents belong to a stored customer.
    if (t.isEditing())
        t.post();
    ShowKdDokuForm();
}

} // namespace

ListFormDecl KundenFormDecl() {
    ListFormDecl d;
    TableFormDecl& f = d.form;
    f.formClass = u"TF_Kunden"_s;
    f.caption = u"Kunden"_s;
    f.table = u"TabKunden"_s;
    f.gridName = u"GridKunden"_s;
    f.columns = {{u"K_Nr"_s, u"Kd-Nr."_s, 7},     {u"K_Match"_s, u"Suchbegriff"_s, 16},
                 {u"K_Name1"_s, u"Name 1"_s, 26}, {u"K_Name2"_s, u"Name 2"_s, 20},
                 {u"K_Plz"_s, u"Plz"_s, 6},       {u"K_Ort"_s, u"Ort"_s, 18}};
    f.titleSort = TitleSort::ByColumn;
    f.initialSortField = u"K_Nr"_s;
    f.fields = customerFields();
    f.lookups = {{u"K_Zahlart"_s, u"TabZahlart"_s}, {u"K_RechBed"_s, u"TabZahlbed"_s}};
    f.buttons = {{kDokum, &showDocuments}};
    f.prints = {{u"&Druck"_s, 18000, u"PrintKundList"_s, 0, &prepareListPrint},
                {u"&Vorschau"_s, 18000, u"PrintKundList"_s, 1, &prepareListPrint}};
    f.helpPage = u"kunden.html"_s;
    f.minimumSize = {940, 760};
    f.placement = {kPlacementFile03,
                   u"Kunden"_s,
                   {u"GridKunden.Columns"_s, u"GridUmsatzK.Columns"_s, u"lbSort.Caption"_s},
                   StorePositionAndState};

    d.right = kKunden;
    d.remember = &RememberKundenNr;
    d.numberProposal = {u"K_Nr"_s, u"Möchten Sie die KundenNummer wirklich ändern?"_s,
                        &NextFreeKundenNr};
    d.bankPair = {u"K_Bankname"_s, u"K_Blz"_s};
    d.altPageMoves = true;
    AddTurnoverPage(
        d, {kUmsatz, kVerschiedenes, u"TabKUmsatz"_s, u"K_Aktjahr"_s, u"GridUmsatzK"_s, true});
    d.gridPages = {objectsPage(), openItemsPage()};
    d.masterHooks = &MasterFormHookSet::customerForm;
    d.applyRights = &applyCustomerRights;
    return d;
}

void ShowKundenForm() {
    ShowTurnoverForm(u"TF_Kunden"_s);
}
