#include "masterdata/gui/personalform.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/numberproposals.h"
#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/gui/docforms.h"
#include "masterdata/gui/fieldbeside.h"
#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/tableformactions.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"
#include "masterdata/pickedvalue.h"
#include "masterdata/staffchoices.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcombobox.h"

#include <QPushButton>

using namespace Qt::StringLiterals;
using widgets::FieldDecl;
using widgets::FieldKind;

namespace {

const QString kGrund = u"&Grunddaten"_s;
const QString kAdresse = u"Adresse/&Bank"_s;
const QString kAnstellung = u"Anstell&ung"_s;
const QString kLohndaten = u"&Lohndaten"_s;
const QString kBerechnung = u"Loh&nberechnung"_s;
const QString kDiverses = u"Di&verses"_s;
const QString kVerkauf = u"Verkaufspreisberechnung"_s;
const QString kZuordnung = u"Kostenarten-Zuordnung"_s;

TF_TableForm* formOf(QWidget& editor) {
    return qobject_cast<TF_TableForm*>(editor.window());
}

// A date field whose calendar also opens from the fields beside it.
FieldDecl calendarFrom(const QString& caption, const QString& field, const QString& page,
                       const QString& dateField, int width = 0) {
    FieldDecl d = EditField(caption, field, page, width);
    d.pick = [dateField](QWidget& editor) {
        TF_TableForm* form = formOf(editor);
        if (!form)
            return;
        table::Table& t = form->table();
        const table::Field& stored = t.field(dateField);
        TDateTime date = DateTimeOfDate(stored.isNull() ? QDate::currentDate() : stored.asDate());
        const QPoint at = editor.mapTo(form, QPoint(0, 0));
        if (!PickDateBeside(date, *form, at.x(), at.y() - 128))
            return;
        EnsureEditOrInsert(t);
        t[dateField] = DateOfDateTime(date);
        form->source().notifyRecordChanged();
    };
    return d;
}

// An amount of the wage calculation; the wage costs are computed, not typed.
FieldDecl wageLine(const QString& caption, const QString& field, const QString& group = {},
                   bool computed = false) {
    FieldDecl d = EditField(caption, field, kBerechnung, 10);
    d.group = group;
    d.readOnly = computed;
    return d;
}

FieldDecl choiceField(const QString& caption, const QString& page, int width,
                      const FixedChoiceList& list) {
    return {.caption = caption,
            .field = list.field,
            .kind = FieldKind::Combo,
            .page = page,
            .width = width,
            .items = list.texts,
            .values = list.values};
}

FieldDecl kostartLine(int zeitart) {
    FieldDecl d = EditField(u"Zeitart &"_s + QString::number(zeitart),
                            PersonalKostartField(zeitart), kBerechnung, 6);
    d.group = kZuordnung;
    d.hint = u"Vorgaben übernehmen : rechte Maustaste"_s;
    d.menu = {{u"Vorgaben übernehmen"_s, {}, [](QWidget& editor) {
                   if (TF_TableForm* form = formOf(editor)) {
                       TakeZeitartKostarten(form->table());
                       form->source().notifyRecordChanged();
                   }
               }}};
    d.pick = [zeitart](QWidget& editor) {
        if (TF_TableForm* form = formOf(editor))
            ChoosePersonalKostart(*form, zeitart);
    };
    return d;
}

QList<FieldDecl> personalFields() {
    QHash<QString, FixedChoiceList> lists;
    for (const FixedChoiceList& list : PersonalChoiceLists())
        lists.insert(list.field, list);
    QList<FieldDecl> f = {
        EditField(u"Suchbegri&ff"_s, u"P_Match"_s, kGrund, 20),
        EditField(u"Anre&de"_s, u"P_Anrede"_s, kGrund, 10),
        EditField(u"Nam&e"_s, u"P_Name1"_s, kGrund, 30),
        EditField(u"Vo&rname"_s, u"P_Vorname"_s, kGrund, 30),
        EditField(u"Name &2"_s, u"P_Name2"_s, kGrund, 30),
        EditField(u"&Telefon"_s, u"P_Telefon"_s, kGrund, 22),
        EditField(u"Hand&y"_s, u"P_Handy"_s, kGrund, 22),
        EditField(u"Fa&x"_s, u"P_Fax"_s, kGrund, 22),
        EditField(u"E-Ma&il"_s, u"P_Email"_s, kGrund, 30),
        EditField(u"&Personal-Nr"_s, u"P_Nr"_s, kGrund, 8),

        EditField(u"St&raße"_s, u"P_Strasse"_s, kAdresse, 30),
        EditField(u"&PLZ/Ort"_s, u"P_Plz"_s, kAdresse, 10),
        {.field = u"P_Ort"_s, .page = kAdresse, .sameLine = true},
        EditField(u"Lan&d"_s, u"P_Land"_s, kAdresse, 30),
        EditField(u"Ban&kname"_s, u"P_Bankname"_s, kAdresse, 30),
        EditField(u"BL&Z"_s, u"P_BankBlz"_s, kAdresse, 10),
        EditField(u"K&onto-Nr"_s, u"P_BankKontoNr"_s, kAdresse, 11),
        ListField(u"Zahlar&t"_s, u"P_BankZahlart"_s, kAdresse, 30, u"ZA_ID"_s, u"ZA_Text"_s),

        choiceField(u"Ans&tellungsart"_s, kAnstellung, 20, lists.value(u"P_Anstellart"_s)),
        choiceField(u"Tät&igkeit"_s, kAnstellung, 30, lists.value(u"P_Job"_s)),
        choiceField(u"&Pkw"_s, kAnstellung, 30, lists.value(u"P_Pkw"_s)),
        {.caption = u"Geburts&datum"_s,
         .field = u"P_Geburtsdatum"_s,
         .kind = FieldKind::Date,
         .page = kAnstellung,
         .width = 10},
        calendarFrom(u"Geburtsnam&e"_s, u"P_GebName"_s, kAnstellung, u"P_Geburtsdatum"_s, 30),
        calendarFrom(u"Geburts&ort"_s, u"P_GebOrt"_s, kAnstellung, u"P_Geburtsdatum"_s, 30),
        {.caption = u"Eint&ritt"_s,
         .field = u"P_Eintritt"_s,
         .kind = FieldKind::Date,
         .page = kAnstellung,
         .width = 10},
        {.caption = u"Zu&wendungen Lohn"_s,
         .field = u"P_LohnZuwendung"_s,
         .kind = FieldKind::Memo,
         .page = kAnstellung},

        choiceField(u"&Familienstand"_s, kLohndaten, 20, lists.value(u"P_Familienstand"_s)),
        choiceField(u"S&teuerklasse"_s, kLohndaten, 26, lists.value(u"P_Steuerklasse"_s)),
        choiceField(u"&Kinder"_s, kLohndaten, 6, lists.value(u"P_Kinder"_s)),
        choiceField(u"&Religion"_s, kLohndaten, 26, lists.value(u"P_Religion"_s)),
        ListField(u"Krank&enkasse"_s, u"P_Krankenkasse"_s, kLohndaten, 30, u"KK_Match"_s,
                  u"KK_Langbezeich"_s),
        EditField(u"KK-Mitglie&dsnr."_s, u"P_KKmitgliedsNr"_s, kLohndaten, 30),
        EditField(u"S&ozialvers.-Nr."_s, u"P_SozialVersNr"_s, kLohndaten, 30),
        EditField(u"Arbeits&zeit"_s, u"P_Arbeitszeit"_s, kLohndaten, 30),
        EditField(u"Nationalit&ät"_s, u"P_Nationalitaet"_s, kLohndaten, 30),
        EditField(u"V&WL"_s, u"P_VWL"_s, kLohndaten, 30),
        {.caption = u"Fre&istellung"_s,
         .field = u"P_Freistellung"_s,
         .kind = FieldKind::CheckBox,
         .page = kLohndaten},

        EditField(u"Stunden pro &Tag"_s, u"P_StundenProTag"_s, kBerechnung, 8),
        EditField(u"Stunden pro M&onat"_s, u"P_StundenProMonat"_s, kBerechnung, 8),
        EditField(u"Max. Stunden/&Woche"_s, u"P_StundenWocheMax"_s, kBerechnung, 8),
        EditField(u"Ma&x. Stunden/Monat"_s, u"P_StundenMonatMax"_s, kBerechnung, 8),
        wageLine(u"Stundenlohn b&rutto"_s, u"P_Bruttolohn"_s),
        wageLine(u"+ anteilige Lohnnebenkosten"_s, u"P_LNebenkosten"_s, {}, true),
        wageLine(u"+ anteilige Gemeinkosten"_s, u"P_Gemeinkosten"_s, {}, true),
        wageLine(u"= Einstandspreis"_s, u"P_Einstandspreis"_s),
        wageLine(u"Kalkulations&preis"_s, u"P_Selbstkostenpreis"_s, kVerkauf),
        wageLine(u"G&ewinnaufschlag"_s, u"P_Gewinnaufschlag"_s, kVerkauf),
        wageLine(u"Ver&kaufspreis"_s, u"P_LohnVkPreis"_s, kVerkauf),
    };
    for (int zeitart = 1; zeitart <= 8; ++zeitart)
        f.append(kostartLine(zeitart));
    f += {
        {.caption = u"M&emo"_s, .field = u"P_Memo"_s, .kind = FieldKind::Memo, .page = kDiverses},
        EditField(u"Ehepar&tner"_s, u"P_EhefrauName"_s, kDiverses, 30),
        {.caption = u"Geburts&datum Ehepartner"_s,
         .field = u"P_EhefrauGebDat"_s,
         .kind = FieldKind::Date,
         .page = kDiverses,
         .width = 10},
        calendarFrom(u"Geburts&ort Ehepartner"_s, u"P_EhefrauGebOrt"_s, kDiverses,
                     u"P_EhefrauGebDat"_s, 30),
    };
    return f;
}

// The open lists also take a typed text; the closed ones only their entries.
void openTheOpenLists(TF_TableForm& form) {
    for (const FixedChoiceList& list : PersonalChoiceLists()) {
        if (list.closed)
            continue;
        if (auto* box = form.fields()->editorAs<widgets::DbComboBox>(list.field)) {
            box->setEditable(true);
            box->setItems(list.texts, list.values);
        }
    }
}

// The name of each time type's cost type beside its number.
void showCostTypeNames(TF_TableForm& form) {
    for (int zeitart = 1; zeitart <= 8; ++zeitart)
        AddTextBesideField(form, PersonalKostartField(zeitart), 30, [](const QString& nr) {
            return nr.isEmpty() ? QString() : GetKostartText(nr.toInt(), QString());
        });
}

} // namespace

void ChoosePersonalKostart(TF_TableForm& form, int zeitart) {
    if (zeitart < 1 || zeitart > 8)
        return;
    table::Table& t = form.table();
    const QString field = PersonalKostartField(zeitart);
    const int chosen =
        SelectKostart(FieldInt(t, field), 280, form.x() + 250, form.y() + 140, u"A_Nr"_s);
    if (StorePickedValue(t, field, chosen, true))
        form.source().notifyRecordChanged();
}

TableFormDecl PersonalPagesDecl() {
    TableFormDecl d;
    d.formClass = u"TF_Personal"_s;
    d.caption = u"Mitarbeiter"_s;
    d.source = TableSource::Shared;
    d.table = u"TabPersonal"_s;
    d.gridName = u"GridPersonal"_s;
    d.columns = {{u"P_Nr"_s, u"P.-Nr"_s, 6},        {u"P_Match"_s, u"Suchbegriff"_s, 16},
                 {u"P_Name1"_s, u"Name"_s, 20},     {u"P_Vorname"_s, u"Vorname"_s, 16},
                 {u"P_Plz"_s, u"PLZ"_s, 6},         {u"P_Ort"_s, u"Ort"_s, 18},
                 {u"P_Telefon"_s, u"Telefon"_s, 16}};
    d.titleSort = TitleSort::ByField;
    d.initialSortField = u"P_Nr"_s;
    d.navigatorButtons = BrowseNavigator();
    d.postCancelButtons = true;
    d.fields = personalFields();
    d.lookups = {{u"P_BankZahlart"_s, u"TabZahlart"_s},
                 {u"P_Krankenkasse"_s, u"TabKrankenkassen"_s}};
    d.openTables = {u"TabKostart"_s};
    d.buttons = {{u"Dokum."_s, [](TF_TableForm&) { ShowPersDokuForm(); }}};
    d.prints = {{u"Vorsc&hau"_s, 20000, u"PrintPersList"_s, 1},
                {u"Druck"_s, 20000, u"PrintPersList"_s, 0}};
    d.helpPage = u"Mitarbeiter.html"_s;
    d.minimumSize = {780, 700};
    d.placement = {kPlacementFile01, u"Personal"_s, {u"GridPersonal.Columns"_s}};
    d.setup = [](TF_TableForm& form) {
        openTheOpenLists(form);
        showCostTypeNames(form);
    };
    return d;
}

ListFormDecl PersonalFormDecl() {
    ListFormDecl d;
    d.form = PersonalPagesDecl();
    d.right = 6;
    d.numberProposal = {u"P_Nr"_s, u"Möchten Sie die Personalnummer wirklich ändern?"_s,
                        &NextFreePersonalNr};
    d.bankPair = {u"P_Bankname"_s, u"P_BankBlz"_s};
    // The health insurers are listed for as long as the form exists.
    d.build = [](TF_ListForm& form) {
        table::Table& insurers = DataModule1().TabKrankenkassen();
        if (!insurers.isOpen())
            DataModule1().OpenDataTable(insurers);
        QObject::connect(&form, &QObject::destroyed, [] {
            if (HasDataModule1() && DataModule1().hasTables() &&
                DataModule1().TabKrankenkassen().isOpen())
                DataModule1().TabKrankenkassen().close();
        });
    };
    d.applyRights = [](TF_ListForm& form) {
        if (QPushButton* documents = form.button(u"Dokum."_s))
            documents->setVisible(HasViewRight(7));
    };
    return d;
}

void ShowPersonalForm() {
    ShowListForm(u"TF_Personal"_s);
}
