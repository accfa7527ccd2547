#include "masterdata/gui/smalltableforms.h"

#include "core/data/datamodule.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kGrund = u"&Grunddaten"_s;
const QString kSonst = u"S&onstiges"_s;

// A list over a shared table: the key stored, the text shown, and what a
// chosen row copies into the record.
FieldDecl list(const QString& caption, const QString& field, int width, const QString& key,
               const QString& text, QList<std::pair<QString, QString>> copies = {}) {
    return {.caption = caption,
            .field = field,
            .kind = FieldKind::LookupCombo,
            .page = kSonst,
            .width = width,
            .lookupKey = key,
            .lookupText = text,
            .lookupCopies = std::move(copies)};
}

// What the five members share: their own cursor, the full navigator, the
// list print and the help page.
TableFormDecl member(const QString& formClass, const QString& caption, const QString& table,
                     int formType, const QString& entry, const QString& help) {
    TableFormDecl d;
    d.formClass = formClass;
    d.caption = caption;
    d.source = TableSource::Own;
    d.table = table;
    d.gridName = u"DBGrid1"_s;
    d.prints = ListPrintButtons(formType, entry);
    d.helpPage = help;
    return d;
}

} // namespace

TableFormDecl ZahlBedFormDecl() {
    TableFormDecl d = member(u"TF_ZahlBed"_s, u"Zahlungsbedingungen"_s, u"Zahlbed.DB"_s, 53000,
                             u"PrintZahlbedList"_s, u"zahlungsbedingungen.html"_s);
    d.keyField = u"Z_ID"_s;
    d.newRowValues = {
        {u"Z_Kurz"_s, QString()}, {u"Z_Text"_s, QString()}, {u"Z_Tage"_s, 0}, {u"Z_Skonto"_s, 0}};
    d.deleteGuards = {{u"Kunden.DB"_s, u"K_Rechbed=%1"_s, u"Kundendatei"_s}};
    d.columns = {{u"Z_Kurz"_s, u"Kurztext"_s, 14},    {u"Z_Text"_s, u"Text"_s, 40},
                 {u"Z_Tage"_s, u"Skto1 Tg"_s, 7},     {u"Z_Skonto"_s, u"Skto1 %"_s, 7},
                 {u"Z_Tage2"_s, u"Skto2 Tg"_s, 7},    {u"Z_Skonto2"_s, u"Skto2 %"_s, 7},
                 {u"Z_NettoTage"_s, u"Netto Tg"_s, 7}};
    d.minimumSize = {760, 290};
    return d;
}

TableFormDecl ZahlartFormDecl() {
    TableFormDecl d = member(u"TF_Zahlart"_s, u"Zahlungsarten"_s, u"Zahlart.DB"_s, 52000,
                             u"PrintZahlartList"_s, u"zahlungsarten.html"_s);
    d.keyField = u"ZA_ID"_s;
    d.columns = {{u"ZA_Text"_s, u"Beschreibung"_s, 30}};
    return d;
}

TableFormDecl MengEinhFormDecl() {
    TableFormDecl d = member(u"TF_MengEinh"_s, u"Mengeneinheiten"_s, u"MgEinh.db"_s, 48000,
                             u"PrintMengEhList"_s, u"mengeneinheiten.html"_s);
    d.keyField = u"VE_ID"_s;
    d.newRowValues = {{u"VE_Kurz"_s, QString()}, {u"VE_Lang"_s, QString()}};
    d.columns = {{u"VE_Kurz"_s, u"Kurztext"_s, 8}, {u"VE_Lang"_s, u"Text"_s, 30}};
    return d;
}

TableFormDecl KrankenkasseFormDecl() {
    TableFormDecl d = member(u"TF_Krankenkasse"_s, u"Krankenkassen"_s, u"Krkassen.db"_s, 46000,
                             u"PrintKrKassList"_s, u"krankenkassen.html"_s);
    d.keyField = u"KK_ID"_s;
    d.newRowValues = {{u"KK_Match"_s, QString()},
                      {u"KK_Langbezeich"_s, QString()},
                      {u"KK_Nummer"_s, QString()},
                      {u"KK_Satz"_s, 0}};
    d.columns = {{u"KK_Match"_s, u"Suchbegriff"_s, 16},
                 {u"KK_Langbezeich"_s, u"Kassen-Name"_s, 30},
                 {u"KK_Nummer"_s, u"Kassen-Nummer"_s, 14},
                 {u"KK_Satz"_s, u"Beitragssatz %"_s, 8},
                 {u"KK_Telefon"_s, u"Telefon"_s, 16}};
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.fields = {
        EditField(u"Matchco&de"_s, u"KK_Match"_s, kGrund, 30),
        EditField(u"Name &1"_s, u"KK_Adresse1"_s, kGrund),
        EditField(u"Name &2"_s, u"KK_Adresse2"_s, kGrund),
        EditField(u"Stra&ße"_s, u"KK_Strasse"_s, kGrund),
        EditField(u"Pl&z/Ort"_s, u"KK_Plz"_s, kGrund, 10),
        {.field = u"KK_Ort"_s, .page = kGrund, .sameLine = true},
        EditField(u"Tele&fon"_s, u"KK_Telefon"_s, kGrund, 22),
        EditField(u"Fa&x"_s, u"KK_Fax"_s, kGrund, 22),
        EditField(u"Ema&il"_s, u"KK_Email"_s, kGrund),
        EditField(u"&Sachbearbeiter"_s, u"KK_Sachbearbeiter"_s, kGrund),
        EditField(u"&Tel. Sachbearb."_s, u"KK_SachBtelefon"_s, kGrund, 22),
        list(u"Bank&name"_s, u"KK_BankName"_s, 40, u"BankName"_s, u"BankName"_s,
             {{u"BankBLZ"_s, u"KK_BankBlz"_s}}),
        list(u"BL&Z"_s, u"KK_BankBlz"_s, 10, u"BankBLZ"_s, u"BankBLZ"_s,
             {{u"BankName"_s, u"KK_BankName"_s}}),
        EditField(u"&Konto-Nr"_s, u"KK_BankKontoNr"_s, kSonst, 11),
        list(u"Zahlar&t"_s, u"KK_BankZahlart"_s, 30, u"ZA_ID"_s, u"ZA_Text"_s),
    };
    d.lookups = {{u"KK_BankName"_s, u"TabBanken"_s},
                 {u"KK_BankBlz"_s, u"TabBanken"_s},
                 {u"KK_BankZahlart"_s, u"TabZahlart"_s}};
    d.minimumSize = {720, 640};
    return d;
}

TableFormDecl BankenFormDecl() {
    // The bank name is the key: a new row starts empty.
    TableFormDecl d = member(u"TF_Banken"_s, u"Banken"_s, u"Banken.DB"_s, 45000, u"PrintBankList"_s,
                             u"banken.html"_s);
    d.columns = {{u"BankName"_s, u"Name der Bank"_s, 40}, {u"BankBLZ"_s, u"BLZ"_s, 10}};
    return d;
}

void ShowZahlBedForm(bool append) {
    OpenTableForm(ZahlBedFormDecl(), append);
}

void ShowZahlartForm(bool append) {
    OpenTableForm(ZahlartFormDecl(), append);
}

void ShowMengEinhForm(bool append) {
    OpenTableForm(MengEinhFormDecl(), append);
}

void ShowKrankenkasseForm(bool append) {
    OpenTableForm(KrankenkasseFormDecl(), append);
}

void ShowBankenForm(bool append) {
    table::Table& shared = DataModule1().TabBanken();
    if (shared.isEditing())
        shared.post();
    OpenTableForm(BankenFormDecl(), append);
}
