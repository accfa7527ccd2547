#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/data/masterformhooks.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/data/rulebuilders.h"
#include "core/data/supplierarticles.h"
#include "core/data/turnover.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>

// The rule descriptions of the master tables with a number. The cascades
// list every dependent table in the order the rows are carried or removed.

namespace {

// A reference to a row that does not exist: the table's prefix and the
// catalog's text.
QString invalidNumber(const char* prefix) {
    return QString::fromUtf8(prefix) + LoadMessage(65245);
}

using namespace rulebuilders;

bool hasCurrentRecord(table::Table& t) {
    return t.state() == table::TableState::Browse && !t.isEmpty();
}

// The forms show the turnover of one year: the current record follows it at once.
void alignTurnoverYear(table::Table& t, const char* yearField) {
    if (!hasCurrentRecord(t))
        return;
    table::Field& year = t.field(QString::fromLatin1(yearField));
    if (year.asIntegerOr(0) == TodayYear)
        return;
    t.edit();
    year.setValue(TodayYear);
    t.post();
}

void redrawTurnoverChart(const MasterFormHooks& form) {
    if (form.turnoverShown() && form.redrawTurnoverChart)
        form.redrawTurnoverChart();
}

NumberedTableRules customers() {
    NumberedTableRules r = numbered("TabKunden", 2, "K_ID", "K_Nr", NextFreeKundenNr);
    r.defaults = [](table::Table& t) { setFields(t, {{"K_RechBed", 0}, {"K_Zahlart", 0}}); };
    stampWith(r, "K_");
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.skipQuestionWhileImport = true;
    r.skipCascadeWhileImport = false;
    r.renumber = {step("Objekte.DB", "O_Kunde", CascadeAction::Replace, {}, "TabKundObj")};
    r.onDelete = {step("Objekte.DB", "O_Kunde", CascadeAction::SetZero, {}, "TabKundObj")};
    r.alwaysOnDelete = {ownedRows("KundDV.DB", "OD_KundID", "TabKdDV")};
    r.numberTakenText = NumberTakenShortText();
    r.afterScroll = [](table::Table& t) {
        const MasterFormHooks& form = MasterFormHooksRegistry().customerForm;
        if (!form.turnoverShown())
            return;
        alignTurnoverYear(t, "K_Aktjahr");
        redrawTurnoverChart(form);
    };
    return r;
}

NumberedTableRules suppliers() {
    NumberedTableRules r = numbered("TabLieferant", 9, "K_ID", "K_Nr", NextFreeLieferantNr);
    r.zeroOnChangeText = NumberTakenShortText();
    r.defaults = [](table::Table& t) {
        setFields(t, {{"K_Match", QString()}, {"K_Aktjahr", QDate::currentDate().year()}});
    };
    stampWith(r, "K_");
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.numberTakenText = NumberTakenShortText();
    r.afterScroll = [](table::Table& t) {
        alignTurnoverYear(t, "K_Aktjahr");
        redrawTurnoverChart(MasterFormHooksRegistry().supplierForm);
    };
    return r;
}

double money(table::Table& t, const char* field) {
    return GetFieldFloatOrDefault(t.findField(QString::fromLatin1(field)), 0);
}

// Each rule writes fields that fire the others; its own guard stops the round trip.
template <bool& guard> void guarded(const std::function<void()>& body) {
    if (guard)
        return;
    guard = true;
    struct Reset {
        ~Reset() { guard = false; }
    } reset;
    body();
}
bool costPriceRunning = false;
bool salesPriceRunning = false;
bool profitRunning = false;

void staffCostPrice(table::Table& t) {
    guarded<costPriceRunning>([&t] {
        t.field(QStringLiteral("P_Einstandspreis"))
            .setValue(money(t, "P_Gemeinkosten") + money(t, "P_LNebenkosten") +
                      money(t, "P_Bruttolohn"));
    });
}

// A value of the company record; the shared object when it shows the record.
double companyNumber(const char* field) {
    table::Table& shared = DataModule1().TabFirmen();
    if (shared.isOpen() && (shared.isEditing() || !shared.isEmpty()))
        return GetFieldFloatOrDefault(shared.findField(QString::fromLatin1(field)), 0);
    auto company = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("Firmen.DB"));
    company->first();
    if (company->isEmpty())
        return 0;
    return GetFieldFloatOrDefault(company->findField(QString::fromLatin1(field)), 0);
}

// The staff member's overhead and wage-cost rates per hour follow the
// company's figures; a record that differs is left in edit with the new rates.
void staffRates(table::Table& t) {
    if (!t.isEditing() && !hasCurrentRecord(t))
        return;
    const double hours = companyNumber("F_StundenproJahr");
    if (hours == 0)
        return;
    const double overhead = RoundCents(companyNumber("F_Gemeinkosten") / hours);
    const double wageCosts =
        RoundCents((companyNumber("F_Lohnkosten") + companyNumber("F_LNebenkosten")) / hours);
    if (RoundCents(money(t, "P_Gemeinkosten")) == overhead &&
        RoundCents(money(t, "P_LNebenkosten")) == wageCosts)
        return;
    EnsureEditOrInsert(t);
    t.field(QStringLiteral("P_Gemeinkosten")).setValue(overhead);
    t.field(QStringLiteral("P_LNebenkosten")).setValue(wageCosts);
    staffCostPrice(t);
}

std::vector<std::pair<QString, std::function<void(table::Table&)>>> staffPriceRules() {
    auto costPrice = staffCostPrice;
    auto salesPrice = [](table::Table& t) {
        guarded<salesPriceRunning>([&t] {
            t.field(QStringLiteral("P_LohnVkPreis"))
                .setValue(money(t, "P_Selbstkostenpreis") + money(t, "P_Gewinnaufschlag"));
        });
    };
    auto profit = [](table::Table& t) {
        guarded<profitRunning>([&t] {
            t.field(QStringLiteral("P_Gewinnaufschlag"))
                .setValue(money(t, "P_LohnVkPreis") - money(t, "P_Selbstkostenpreis"));
        });
    };
    return {{QStringLiteral("P_Bruttolohn"), costPrice},
            {QStringLiteral("P_Selbstkostenpreis"), salesPrice},
            {QStringLiteral("P_Gewinnaufschlag"), salesPrice},
            {QStringLiteral("P_LohnVkPreis"), profit}};
}

NumberedTableRules staff() {
    NumberedTableRules r = numbered("TabPersonal", 6, "P_ID", "P_Nr", NextFreePersonalNr);
    r.fieldRules = staffPriceRules();
    r.afterOpen = staffRates;
    r.afterScroll = staffRates;
    // No uniqueness check: the unique number index reports a duplicate at post.
    r.refuseZeroNumberBeforePost = true;
    r.onDelete = {step("Touren.DB", "TO_Person", CascadeAction::SetZero, {}, "TabTour")};
    r.alwaysOnDelete = {ownedRows("PersDV.DB", "OD_PersID", "TabPersDV")};
    r.numberTakenText = NumberTakenShortText();
    return r;
}

NumberedTableRules emergencyServices() {
    NumberedTableRules r = numbered("TabNotdienst", 0, "ND_ID", "ND_Nr", NextFreeNotdienstNr);
    r.formShowsRecord = true;
    r.refuseZeroNumberBeforePost = true;
    r.onDelete = {step("ObjektND.DB", "OND_NdNr", CascadeAction::Delete, {}, "TabObjND")};
    r.numberTakenText = QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!");
    r.closingNotice = false;
    return r;
}

NumberedTableRules activities() {
    NumberedTableRules r = numbered("TabTaetig", 8, "T_ID", "T_Nr", ProposeTaetigNr);
    r.formShowsRecord = true;
    // A new activity is a plain activity (function 0), as the form's list
    // and grid show it, not a row without function.
    r.defaults = [](table::Table& t) { setFields(t, {{"T_Func", 0}}); };
    r.fieldRules = {
        // The texts for the tour and the control list start as the search word.
        {QStringLiteral("T_Match"),
         [](table::Table& t) {
             const QString match =
                 GetFieldStrOrDefault(t.findField(QStringLiteral("T_Match")), QString());
             for (const char* text : {"T_TextTour", "T_TextKontroll"}) {
                 table::Field& f = t.field(QString::fromLatin1(text));
                 if (f.asStringOr(QString()).isEmpty())
                     f.setValue(match);
             }
         }},
        {QStringLiteral("T_KostArt"),
         [](table::Table& t) {
             const int kostart = GetFieldIntOrDefault(t.findField(QStringLiteral("T_KostArt")), 0);
             if (kostart != 0 && !KostartExists(kostart)) {
                 ShowError(invalidNumber("Kostenart: "));
                 throw Abort{};
             }
         }},
    };
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.skipQuestionWhileImport = true;
    r.skipCascadeWhileImport = true;
    r.renumber = {step("ObjTaet.db", "TS_Taetigkeit", CascadeAction::Replace, {}, "TabObjTaetig")};
    r.onDelete = {step("ObjTaet.db", "TS_Taetigkeit", CascadeAction::Delete, {}, "TabObjTaetig")};
    r.numberTakenText = NumberTakenShortText();
    return r;
}

// The second cursor on the activities edits under the same rules, each on
// the record it shows itself, so that a post through it is checked and
// carried like one through the activity form.
NumberedTableRules activityLookups() {
    NumberedTableRules r = activities();
    r.tableObject = QStringLiteral("TabLUTaetig");
    r.formShowsRecord = false;
    return r;
}

NumberedTableRules objects() {
    NumberedTableRules r = numbered("TabObjekt", 10, "O_ID", "O_Nr", ProposeObjektNr);
    r.formShowsRecord = true;
    r.defaults = [](table::Table& t) {
        for (const char* one : {"O_FormZusatzpos", "O_BerichtModus", "O_BerichtUnerledigt",
                                "O_BerichtIntervall", "O_Zahlintervall", "O_Zahlintervall2",
                                "O_Zahlintervall3", "O_KopienRG", "O_KopienKB"})
            t.field(QString::fromLatin1(one)).setValue(1);
        for (const char* zero : {"O_FormularNo", "O_PrintFormNo", "O_RgZahlbed1", "O_RgZahlbed2",
                                 "O_RgZahlbed3", "O_KopfNo1", "O_KopfNo2", "O_KopfNo3"})
            t.field(QString::fromLatin1(zero)).setValue(0);
        setFields(t, {{"O_UseKundenAdresseKb", false},
                      {"O_Aktiv", true},
                      {"O_Vertragsbeginn", QDate::currentDate()}});
    };
    stampWith(r, "O_");
    r.invalidNumberText = InvalidNumberText();
    r.skipQuestionWhileImport = true;
    r.skipCascadeWhileImport = true;
    r.renumberLogPrefix = QStringLiteral("OBJ-Renumber:");
    const QString fixed = LinksCorrectedText();
    const auto R = CascadeAction::Replace;
    r.renumber = {
        step("ObjTaet.db", "TS_Objekt", R, fixed + QStringLiteral(":Tätigkeiten"), "TabObjTaetig"),
        step("OMieter.DB", "OM_ONr", R, fixed + QStringLiteral(":Mieter"), "TabMieter"),
        step("ObjektND.DB", "OND_ObjNr", R, fixed + QStringLiteral(":Notdienste"), "TabObjND"),
        step("ORgDef.db", "T_ObjektNr", R, fixed + QStringLiteral(":Standardrechnungen")),
        step("TourObj.db", "TO_Objekt", R, fixed + QStringLiteral(":Touren"), "TabObjTour"),
        step("TermObj.DB", "T_Objekt", R, fixed + QStringLiteral(":Objekt-Termine")),
        step("TglFterm.DB", "TF_ObjNr", R, fixed + QStringLiteral(":Fixtermine")),
        step("TglObj.DB", "A_ObjektNr", R, {}),
        step("TglTaet.DB", "A_ObjNr", R, {}),
        step("KostsumH.DB", "K_ObjektNr", R, {}),
        step("KostsumD.DB", "K_ObjektNr", R, {}),
    };
    const QString gone = LinksDeletedText();
    const auto D = CascadeAction::Delete;
    r.onDelete = {
        step("ObjTaet.db", "TS_Objekt", D, gone + QStringLiteral(":Objekt-Tätigkeiten"),
             "TabObjTaetig"),
        step("OMieter.DB", "OM_ONr", D, gone + QStringLiteral(":Mieter.DB"), "TabMieter"),
        step("ObjektND.DB", "OND_ObjNr", D, gone + QStringLiteral(":Notdienste"), "TabObjND"),
        step("ORgDef.db", "T_ObjektNr", D, gone + QStringLiteral(":Standard-Rechnungnen")),
        step("TourObj.db", "TO_Objekt", D, fixed + QStringLiteral(":Touren"), "TabObjTour"),
        step("TglFTerm.DB", "TF_ObjNr", D, gone + QStringLiteral(":Fixtermine")),
        step("TermObj.DB", "T_Objekt", D, fixed + QStringLiteral(":Objekt-Termine")),
        step("TglObj.DB", "A_ObjektNr", D, {}),
        step("TglTaet.DB", "A_ObjNr", D, gone + QStringLiteral(":Tageslisten")),
    };
    r.alwaysOnDelete = {ownedRows("ObjDV.db", "OD_ObjID", "TabObjDV")};
    r.numberTakenText = NumberTakenShortText();
    r.postErrorShowAndAbort = true;
    return r;
}

// Every field of the schema that holds a cost-type number, also as a revenue account.
std::vector<CascadeStep> costTypeFields() {
    const char* const fields[][2] = {
        {"Artikel.DB", "A_Kostart"},     {"Taetig.DB", "T_KostArt"},
        {"Kosten.DB", "K_KostArt"},      {"KostSumH.db", "K_Kostart"},
        {"KostSumD.db", "K_Kostart"},    {"RechSatz.DB", "S_ErloesKonto"},
        {"GsSatz.DB", "S_ErloesKonto"},  {"OpSatz.DB", "S_ErloesKonto"},
        {"ORgDef.db", "T_ErloesKonto"},  {"ERSatz.DB", "S_KostArt"},
        {"OERsatz.DB", "S_KostArt"},     {"Fremdlst.DB", "S_KostArt"},
        {"Zeiterf.DB", "Z_Kostart"},     {"Zeitart.DB", "ZA_Kostart"},
        {"RgvSatz.DB", "S_ErloesKonto"}, {"BestSatz.DB", "S_KostenKonto"},
        {"Personal.DB", "P_Kostart1"},   {"Personal.DB", "P_Kostart2"},
        {"Personal.DB", "P_Kostart3"},   {"Personal.DB", "P_Kostart4"},
        {"Personal.DB", "P_Kostart5"},   {"Personal.DB", "P_Kostart6"},
        {"Personal.DB", "P_Kostart7"},   {"Personal.DB", "P_Kostart8"},
    };
    std::vector<CascadeStep> steps;
    for (const auto& f : fields)
        steps.push_back({QString::fromLatin1(f[0]), QString::fromLatin1(f[1])});
    return steps;
}

[[noreturn]] void refuseCostTypeField(const char* fieldObject, const char* text) {
    if (const auto& focus = RecordRuleHooksRegistry().focusField)
        focus(QString::fromLatin1(fieldObject));
    throw DbError(QString::fromUtf8(text));
}

// Cost types belong to one of the four rubrics.
int checkedRubric(table::Table& t) {
    const int rubric = GetFieldIntOrDefault(t.findField(QStringLiteral("A_RubrikNr")), 0);
    if (rubric < 1 || rubric > 4)
        refuseCostTypeField("TabKostartA_RubrikNr",
                            "Sie müssen eine Rubriknummer zwischen 1 und 4 eingeben!\r(Auswahl "
                            "mit ALT+W oder Doppelclick)");
    return rubric;
}

NumberedTableRules costTypes() {
    NumberedTableRules r = numbered("TabKostart", 0, "A_ID", "A_Nr", ProposeKostartNr);
    r.defaults = [](table::Table& t) {
        setFields(t, {{"A_Text", QString()},
                      {"A_RubrikNr", 0},
                      {"A_Rubrikname", QString()},
                      {"A_Personal", false},
                      {"A_MwstKz", 1}, // the default VAT code: full rate
                      {"A_Marked", false}});
    };
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.focusOnNew = QStringLiteral("TabKostartA_Nr");
    r.focusOnNumberError = QStringLiteral("TabKostartA_Nr");
    r.fieldRules = {
        {QStringLiteral("A_RubrikNr"),
         [](table::Table& t) {
             t.field(QStringLiteral("A_Rubrikname")).setValue(GetRubrikText(checkedRubric(t)));
         }},
        {QStringLiteral("A_MwstKz"), [](table::Table& t) {
             const table::Field& code = t.field(QStringLiteral("A_MwstKz"));
             if (code.isNull() || code.asInteger() < 0 || code.asInteger() > 2)
                 refuseCostTypeField("TabKostartA_MwstKz",
                                     "Sie müssen ein Steuerkennzeichen im Bereich 0 bis 2 "
                                     "eingeben!\r(Auswahl mit ALT+W oder Doppelclick)");
         }}};
    r.postCheck = [](table::Table& t) { checkedRubric(t); };
    r.askBeforeRenumber = false;
    r.skipCascadeWhileImport = false;
    r.cascadeMessageList = false;
    r.renumber = costTypeFields();
    return r;
}

NumberedTableRules tours() {
    NumberedTableRules r = numbered("TabTour", 14, "TO_ID", "TO_Nr", NextFreeTourNr);
    r.formShowsRecord = true;
    // The next date decides the holiday note the form shows.
    r.fieldRules = {{QStringLiteral("TO_NextDate"), [](table::Table&) {
                         if (const auto& shown = RecordRuleHooksRegistry().recordShown)
                             shown(QStringLiteral("TabTour"));
                     }}};
    r.defaults = [](table::Table& t) {
        setFields(t, {{"TO_Kind", 0},
                      {"TO_Wochentag", 0},
                      {"TO_ServPatt", QStringLiteral("*")},
                      {"TO_Person", 0}});
    };
    r.invalidNumberText = InvalidNumberText();
    r.skipQuestionWhileImport = false;
    r.skipCascadeWhileImport = false;
    const QString fixed = LinksCorrectedText();
    const QString gone = LinksDeletedText();
    const auto R = CascadeAction::Replace;
    const auto D = CascadeAction::Delete;
    r.renumber = {
        step("TourObj.db", "TO_TourNr", R, fixed + QStringLiteral(":Objekte"), "TabTourObj"),
        step("TourPers.DB", "TP_TourNr", R, fixed + QStringLiteral(":Mitarbeiter"), "TabTourPers"),
        step("TglFterm.DB", "TF_TourNr", R, fixed + QStringLiteral(":Fixtermine")),
        step("TglTour.DB", "A_TourNr", R, {}),
    };
    // The daily-list rows go through their shared object so that their own
    // delete rules run; when they keep a row, the tour is not deleted at all.
    r.onDelete = {
        step("TourObj.db", "TO_TourNr", D, gone + QStringLiteral(":Objekte"), "TabTourObj"),
        step("TourPers.DB", "TP_TourNr", D, gone + QStringLiteral(":Mitarbeiter"), "TabTourPers"),
        step("TglFTerm.DB", "TF_TourNr", D, gone + QStringLiteral(":Fixtermine")),
        step("TglTour.DB", "A_TourNr", CascadeAction::DeleteThroughShared, {}, "TabTglTour"),
    };
    r.onDelete.back().keptText = QStringLiteral(
        "Die Tour kann nicht gelöscht werden, weil ihre Tageslisten noch Einträge enthalten, "
        "die nicht automatisch erzeugt wurden.\rEs wurde nichts gelöscht.");
    r.numberTakenText = NumberTakenShortText();
    return r;
}

NumberedTableRules vatRates() {
    NumberedTableRules r = keyed("TabMwst", "Mwst_ID", [](table::Table& t) {
        setFields(t, {{"Mwst_Nr", 0},
                      {"Mwst_Kurz", QString()},
                      {"Mwst_Lang", QString()},
                      {"Mwst_Satz", 0},
                      {"Mwst_GueltigVon", QStringLiteral("01.01.2000")},
                      {"Mwst_GueltigBis", QStringLiteral("31.12.2100")}});
    });
    r.fieldRules = {{QStringLiteral("Mwst_Nr"), [](table::Table& t) {
                         if (GetFieldIntOrDefault(t.findField(QStringLiteral("Mwst_Nr")), 0) > 2) {
                             ShowError(QStringLiteral(
                                 "Ungültiges Steuerkennzeichen!\rGültige Werte sind :\r     0 = "
                                 "steuerfrei\r     1 = voller Steuersatz\r     2 = verminderter "
                                 "Steuersatz"));
                             throw Abort{};
                         }
                     }}};
    // The three rates delivered with the database stay.
    r.deleteCheck = [](table::Table& t) {
        if (GetFieldIntOrDefault(t.findField(QStringLiteral("Mwst_ID")), 0) < 4)
            throw DbError(QStringLiteral(
                "Dieser Mehrwertsteuereintrag kann nicht gelöscht werden!\r\rVerwenden Sie die "
                "Datumsfelder, um nicht benötigte\rEinträge zu deaktivieren."));
    };
    return r;
}

} // namespace

QString InvalidObjTaetigText() {
    return invalidNumber("Objekt-Tätigkeit: ");
}

namespace {

// The activity of an object's activity row must exist; its function is taken over.
void checkObjectActivity(table::Table& t, bool takeFunction) {
    const table::Field& f = t.field(QStringLiteral("TS_Taetigkeit"));
    if (f.isNull() && takeFunction)
        return;
    auto activities = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("Taetig.DB"));
    if (!activities->locate({QStringLiteral("T_Nr")}, {f.asIntegerOr(0)}))
        throw DbError(InvalidObjTaetigText());
    if (takeFunction)
        t.field(QStringLiteral("TS_Func"))
            .setValue(GetFieldIntOrDefault(activities->findField(QStringLiteral("T_Func")), 0));
}

NumberedTableRules objectActivities() {
    NumberedTableRules r = keyed("TabObjTaetig", "TS_ID", [](table::Table& t) {
        setFields(t, {{"TS_Modus", 1},
                      {"TS_Taetigkeit", 0},
                      {"TS_StartDatum", QDate::currentDate()},
                      {"TS_Func", 0},
                      {"TS_Param", QString()}});
    });
    r.focusOnNew = QStringLiteral("TabObjTaetigTS_Taetigkeit");
    r.fieldRules = {
        {QStringLiteral("TS_Taetigkeit"), [](table::Table& t) { checkObjectActivity(t, true); }}};
    r.postCheck = [](table::Table& t) { checkObjectActivity(t, false); };
    return r;
}

bool chosenNumberRunning = false;

// A typed number that the master file lacks is replaced by the number the
// form's picker offers for it; without a valid one the value is refused.
void takeChosenNumber(table::Table& t, const char* targetField, const char* file, const char* field,
                      const std::function<int(int)>& picker, const char* errorPrefix) {
    guarded<chosenNumberRunning>([&] {
        const auto exists = [&](int nr) {
            return IntValueExists(QStringLiteral("LumoDB"), QString::fromLatin1(file),
                                  QString::fromLatin1(field), nr);
        };
        table::Field& target = t.field(QString::fromLatin1(targetField));
        const int typed = target.asIntegerOr(0);
        if (exists(typed))
            return;
        const int chosen = picker ? picker(typed) : 0;
        if (chosen == 0 || !exists(chosen))
            throw DbError(invalidNumber(errorPrefix));
        target.setValue(chosen);
    });
}

NumberedTableRules objectServices() {
    NumberedTableRules r = keyed("TabObjND", "OND_ID");
    r.fieldRules = {
        {QStringLiteral("OND_NdNr"), [](table::Table& t) {
             const table::Field& f = t.field(QStringLiteral("OND_NdNr"));
             if (f.isNull())
                 return;
             const int objekt = GetFieldIntOrDefault(
                 DataModule1().TabObjekt().findField(QStringLiteral("O_Nr")), 0);
             if (IntPairExists(QStringLiteral("LumoDB"), QStringLiteral("ObjektND.DB"),
                               QStringLiteral("OND_ObjNr;OND_NdNr"), objekt, f.asIntegerOr(0)))
                 throw DbError(QStringLiteral("Der Eintrag ist bereits vorhanden!"));
             takeChosenNumber(t, "OND_NdNr", "Notdnst.DB", "ND_Nr",
                              RecordRuleHooksRegistry().selectNotdienst, "Objekt-Notdienst: ");
         }}};
    r.numberTakenText = QStringLiteral("Notdienste: Der Eintrag ist bereits vorhanden!");
    r.postErrorShowAndAbort = true;
    r.postCheck = [](table::Table& t) {
        if (!IntValueExists(QStringLiteral("LumoDB"), QStringLiteral("Notdnst.DB"),
                            QStringLiteral("ND_Nr"),
                            GetFieldIntOrDefault(t.findField(QStringLiteral("OND_NdNr")), 0))) {
            ShowError(invalidNumber("Notdienste: "));
            throw Abort{};
        }
    };
    return r;
}

NumberedTableRules tourObjects() {
    NumberedTableRules r = keyed("TabTourObj", "T_TourID");
    r.focusOnNew = QStringLiteral("TabTourObjTO_Objekt");
    r.fieldRules = {{QStringLiteral("TO_Objekt"), [](table::Table& t) {
                         const table::Field& f = t.field(QStringLiteral("TO_Objekt"));
                         if (!f.isNull())
                             takeChosenNumber(t, "TO_Objekt", "Objekte.DB", "O_Nr",
                                              RecordRuleHooksRegistry().selectTourObjekt,
                                              "Tour-Objekt: ");
                     }}};
    r.postCheck = [](table::Table& t) {
        const int nr = GetFieldIntOrDefault(t.findField(QStringLiteral("TO_Objekt")), 0);
        if (nr == 0 || !IntValueExists(QStringLiteral("LumoDB"), QStringLiteral("Objekte.DB"),
                                       QStringLiteral("O_Nr"), nr))
            throw DbError(invalidNumber("Tour-Objekt: "));
    };
    return r;
}

bool articleNumberRunning = false;

// An empty article number, or one that another article of the same list has,
// is set back to the number as last read.
void articleNumberRule(table::Table& t) {
    if (DataModule1().IsImportRunning())
        return;
    guarded<articleNumberRunning>([&t] {
        const QString artNo =
            GetFieldStrOrDefault(t.findField(QStringLiteral("A_ArtNo")), QString());
        const int objId = GetFieldIntOrDefault(t.findField(QStringLiteral("A_ObjID")), 0);
        const int id = GetFieldIntOrDefault(t.findField(QStringLiteral("A_ID")), 0);
        bool taken = artNo.isEmpty();
        if (!taken) {
            auto others = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("Artikel.DB"));
            others->setFilter(QStringLiteral("A_ObjID=%1").arg(objId));
            others->setFiltered(true);
            for (others->first(); !taken && !others->eof() && !others->isEmpty(); others->next())
                taken = others->field(QStringLiteral("A_ArtNo")).asStringOr(QString()) == artNo &&
                        others->field(QStringLiteral("A_ID")).asIntegerOr(0) != id;
        }
        if (taken) {
            t.field(QStringLiteral("A_ArtNo")).setValue(OldArtikelArtNo());
            throw DbError(QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!"));
        }
        RememberArtikelArtNo();
    });
}

NumberedTableRules articles() {
    NumberedTableRules r = keyed("TabArtikel", "A_ID", [](table::Table& t) {
        const int year = QDate::currentDate().year();
        table::Table& company = DataModule1().TabFirmen();
        const double markup =
            company.isOpen()
                ? GetFieldFloatOrDefault(company.findField(QStringLiteral("F_Aufschlag1")), 0)
                : 0.0;
        setFields(t, {{"A_ObjID", DataModule1().ArtikelObjId()},
                      {"A_ArtNo", NextFreeArtikelNr()},
                      {"A_HauptLiefID", 0},
                      {"A_Bestandsfuehrung", true},
                      {"A_Mwst", 1}, // the default VAT code: full rate
                      {"A_AktJahr", year},
                      {"A_VorJahr", year - 1},
                      {"A_Aufschlag1", markup}});
        for (const char* zero :
             {"A_Lagermenge", "A_Lagerwert", "A_VerpackMenge", "A_Gewicht", "A_SollBestand",
              "A_IstBestand", "A_BestellBestand", "A_Vormerkung", "A_Bestellt", "A_EkPreis",
              "A_Preis1", "A_VerpackEinheit"})
            t.field(text(zero)).setValue(0);
    });
    r.createRight = 1;
    r.afterScroll = [](table::Table& t) {
        if (!hasCurrentRecord(t))
            return;
        RememberArtikelArtNo();
        const MasterFormHooks& form = MasterFormHooksRegistry().articleForm;
        if (form.showRecordPosition) {
            FilterLiefArtByArtNo(OldArtikelArtNo());
            form.showRecordPosition();
        }
        alignTurnoverYear(t, "A_AktJahr");
        redrawTurnoverChart(form);
    };
    r.numberTakenText = NumberTakenShortText();
    r.resetNumber = [](table::Table& t) {
        // The number as last read goes back without its change rule.
        guarded<articleNumberRunning>(
            [&t] { t.field(QStringLiteral("A_ArtNo")).setValue(OldArtikelArtNo()); });
    };
    r.fieldRules = {
        {QStringLiteral("A_ArtNo"), articleNumberRule},
        {QStringLiteral("A_Kostart"),
         [](table::Table& t) {
             const int kostart = GetFieldIntOrDefault(t.findField(QStringLiteral("A_Kostart")), 0);
             if (kostart != 0 && !KostartExists(kostart)) {
                 ShowError(
                     QStringLiteral("Sie müssen eine gültige Kostenart eingeben!\rAuswahl mit "
                                    "Doppelclick oder \"ALT+W\".\rAbbrechen mit \"ESC\"."));
                 throw Abort{};
             }
         }},
    };
    // An empty description is made of the names.
    r.postCheck = [](table::Table& t) {
        if (!GetFieldStrOrDefault(t.findField(QStringLiteral("A_Beschreibung")), QString())
                 .isEmpty())
            return;
        QString text = GetFieldStrOrDefault(t.findField(QStringLiteral("A_Bezeich1")), QString());
        for (const char* more : {"A_Bezeich2", "A_Bezeich3"}) {
            const QString part =
                GetFieldStrOrDefault(t.findField(QString::fromLatin1(more)), QString());
            if (!part.isEmpty())
                text += QStringLiteral(", ") + part;
        }
        t.field(QStringLiteral("A_Beschreibung")).setValue(text);
    };
    return r;
}

NumberedTableRules supplierArticles() {
    NumberedTableRules r = keyed("TabLiefArt", "A_ID", [](table::Table& t) {
        t.field(QStringLiteral("A_LieferantID")).setValue(LiefArtLieferantId());
    });
    r.fieldRules = {{QStringLiteral("A_ArtNo"), LiefArtArtNoChanged}};
    r.postCheck = CheckLiefArtArtikel;
    return r;
}

} // namespace

const std::vector<NumberedTableRules>& MasterTableRules() {
    static const std::vector<NumberedTableRules> rules = {customers(),
                                                          suppliers(),
                                                          staff(),
                                                          emergencyServices(),
                                                          activities(),
                                                          activityLookups(),
                                                          objects(),
                                                          costTypes(),
                                                          tours(),
                                                          vatRates(),
                                                          objectActivities(),
                                                          objectServices(),
                                                          tourObjects(),
                                                          keyed("TabMieter", "OM_ID"),
                                                          keyed("TabTourPers", "TP_ID"),
                                                          supplierArticles(),
                                                          keyed("TabKUmsatz", "U_ID"),
                                                          keyed("TabAUmsatz", "U_ID"),
                                                          keyed("TabLUmsatz", "U_ID"),
                                                          articles()};
    return rules;
}
