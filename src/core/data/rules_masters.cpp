#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/messages.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>

// The rule descriptions of the master tables with a number. The cascades
// list every dependent table in the order the rows are carried or removed.

namespace {

NumberedTableRules customers() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabKunden");
    r.createRight = 2;
    r.keyField = QStringLiteral("K_ID");
    r.numberField = QStringLiteral("K_Nr");
    r.propose = NextFreeKundenNr;
    r.defaults = [](table::Table& t) {
        t.field(QStringLiteral("K_RechBed")).setValue(0);
        t.field(QStringLiteral("K_Zahlart")).setValue(0);
    };
    r.stampAccessField = QStringLiteral("K_LastAccess");
    r.stampUserField = QStringLiteral("K_LastUser");
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.skipQuestionWhileImport = true;
    r.skipCascadeWhileImport = false;
    r.renumber = {{QStringLiteral("Objekte.DB"),
                   QStringLiteral("O_Kunde"),
                   CascadeAction::Replace,
                   false,
                   {},
                   QStringLiteral("TabKundObj")}};
    r.onDelete = {{QStringLiteral("Objekte.DB"),
                   QStringLiteral("O_Kunde"),
                   CascadeAction::SetZero,
                   false,
                   {},
                   QStringLiteral("TabKundObj")}};
    r.alwaysOnDelete = {{QStringLiteral("KundDV.DB"),
                         QStringLiteral("OD_KundID"),
                         CascadeAction::Delete,
                         true,
                         {},
                         QStringLiteral("TabKdDV"),
                         false}};
    r.numberTakenText = NumberTakenShortText();
    return r;
}

NumberedTableRules suppliers() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabLieferant");
    r.createRight = 9;
    r.keyField = QStringLiteral("K_ID");
    r.numberField = QStringLiteral("K_Nr");
    r.propose = NextFreeLieferantNr;
    r.zeroOnChangeText = NumberTakenShortText();
    r.defaults = [](table::Table& t) {
        t.field(QStringLiteral("K_Match")).setValue(QString());
        t.field(QStringLiteral("K_Aktjahr")).setValue(QDate::currentDate().year());
    };
    r.stampAccessField = QStringLiteral("K_LastAccess");
    r.stampUserField = QStringLiteral("K_LastUser");
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.numberTakenText = NumberTakenShortText();
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

std::vector<std::pair<QString, std::function<void(table::Table&)>>> staffPriceRules() {
    auto costPrice = [](table::Table& t) {
        guarded<costPriceRunning>([&t] {
            t.field(QStringLiteral("P_Einstandspreis"))
                .setValue(money(t, "P_Gemeinkosten") + money(t, "P_LNebenkosten") +
                          money(t, "P_Bruttolohn"));
        });
    };
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
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabPersonal");
    r.createRight = 6;
    r.keyField = QStringLiteral("P_ID");
    r.numberField = QStringLiteral("P_Nr");
    r.propose = NextFreePersonalNr;
    r.fieldRules = staffPriceRules();
    // No uniqueness check: the unique number index reports a duplicate at post.
    r.refuseZeroNumberBeforePost = true;
    r.onDelete = {{QStringLiteral("Touren.DB"),
                   QStringLiteral("TO_Person"),
                   CascadeAction::SetZero,
                   false,
                   {},
                   QStringLiteral("TabTour")}};
    r.alwaysOnDelete = {{QStringLiteral("PersDV.DB"),
                         QStringLiteral("OD_PersID"),
                         CascadeAction::Delete,
                         true,
                         {},
                         QStringLiteral("TabPersDV"),
                         false}};
    r.numberTakenText = NumberTakenShortText();
    return r;
}

NumberedTableRules emergencyServices() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabNotdienst");
    r.keyField = QStringLiteral("ND_ID");
    r.numberField = QStringLiteral("ND_Nr");
    r.propose = NextFreeNotdienstNr;
    r.refuseZeroNumberBeforePost = true;
    r.onDelete = {{QStringLiteral("ObjektND.DB"),
                   QStringLiteral("OND_NdNr"),
                   CascadeAction::Delete,
                   false,
                   {},
                   QStringLiteral("TabObjND")}};
    r.numberTakenText = QStringLiteral("Die eingegebene Nummmer ist bereits vergeben!");
    return r;
}

NumberedTableRules activities() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabTaetig");
    r.createRight = 8;
    r.keyField = QStringLiteral("T_ID");
    r.numberField = QStringLiteral("T_Nr");
    r.propose = ProposeTaetigNr;
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.skipQuestionWhileImport = true;
    r.skipCascadeWhileImport = true;
    r.renumber = {{QStringLiteral("ObjTaet.db"),
                   QStringLiteral("TS_Taetigkeit"),
                   CascadeAction::Replace,
                   false,
                   {},
                   QStringLiteral("TabObjTaetig")}};
    r.onDelete = {{QStringLiteral("ObjTaet.db"),
                   QStringLiteral("TS_Taetigkeit"),
                   CascadeAction::Delete,
                   false,
                   {},
                   QStringLiteral("TabObjTaetig")}};
    r.numberTakenText = NumberTakenShortText();
    return r;
}

CascadeStep objectStep(const char* file, const char* field, CascadeAction action,
                       const QString& line, const char* refresh = nullptr) {
    return {QString::fromLatin1(file),
            QString::fromLatin1(field),
            action,
            false,
            line,
            refresh ? QString::fromLatin1(refresh) : QString()};
}

NumberedTableRules objects() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabObjekt");
    r.createRight = 10;
    r.keyField = QStringLiteral("O_ID");
    r.numberField = QStringLiteral("O_Nr");
    r.propose = ProposeObjektNr;
    r.defaults = [](table::Table& t) {
        for (const char* one : {"O_FormZusatzpos", "O_BerichtModus", "O_BerichtUnerledigt",
                                "O_BerichtIntervall", "O_Zahlintervall", "O_Zahlintervall2",
                                "O_Zahlintervall3", "O_KopienRG", "O_KopienKB"})
            t.field(QString::fromLatin1(one)).setValue(1);
        for (const char* zero : {"O_FormularNo", "O_PrintFormNo", "O_RgZahlbed1", "O_RgZahlbed2",
                                 "O_RgZahlbed3", "O_KopfNo1", "O_KopfNo2", "O_KopfNo3"})
            t.field(QString::fromLatin1(zero)).setValue(0);
        t.field(QStringLiteral("O_UseKundenAdresseKb")).setValue(false);
        t.field(QStringLiteral("O_Aktiv")).setValue(true);
        t.field(QStringLiteral("O_Vertragsbeginn")).setValue(QDate::currentDate());
    };
    r.stampAccessField = QStringLiteral("O_LastAccess");
    r.stampUserField = QStringLiteral("O_LastUser");
    r.invalidNumberText = InvalidNumberText();
    r.skipQuestionWhileImport = true;
    r.skipCascadeWhileImport = true;
    r.renumberLogPrefix = QStringLiteral("OBJ-Renumber:");
    const QString fixed = LinksCorrectedText();
    const auto R = CascadeAction::Replace;
    r.renumber = {
        objectStep("ObjTaet.db", "TS_Objekt", R, fixed + QStringLiteral(":Tätigkeiten"),
                   "TabObjTaetig"),
        objectStep("OMieter.DB", "OM_ONr", R, fixed + QStringLiteral(":Mieter"), "TabMieter"),
        objectStep("ObjektND.DB", "OND_ObjNr", R, fixed + QStringLiteral(":Notdienste"),
                   "TabObjND"),
        objectStep("ORgDef.db", "T_ObjektNr", R, fixed + QStringLiteral(":Standardrechnungen")),
        objectStep("TourObj.db", "TO_Objekt", R, fixed + QStringLiteral(":Touren"), "TabObjTour"),
        objectStep("TermObj.DB", "T_Objekt", R, fixed + QStringLiteral(":Objekt-Termine")),
        objectStep("TglFterm.DB", "TF_ObjNr", R, fixed + QStringLiteral(":Fixtermine")),
        objectStep("TglObj.DB", "A_ObjektNr", R, {}),
        objectStep("TglTaet.DB", "A_ObjNr", R, {}),
        objectStep("KostsumH.DB", "K_ObjektNr", R, {}),
        objectStep("KostsumD.DB", "K_ObjektNr", R, {}),
    };
    const QString gone = LinksDeletedText();
    const auto D = CascadeAction::Delete;
    r.onDelete = {
        objectStep("ObjTaet.db", "TS_Objekt", D, gone + QStringLiteral(":Objekt-Tätigkeiten"),
                   "TabObjTaetig"),
        objectStep("OMieter.DB", "OM_ONr", D, gone + QStringLiteral(":Mieter.DB"), "TabMieter"),
        objectStep("ObjektND.DB", "OND_ObjNr", D, gone + QStringLiteral(":Notdienste"), "TabObjND"),
        objectStep("ORgDef.db", "T_ObjektNr", D, gone + QStringLiteral(":Standard-Rechnungnen")),
        objectStep("TourObj.db", "TO_Objekt", D, fixed + QStringLiteral(":Touren"), "TabObjTour"),
        objectStep("TglFTerm.DB", "TF_ObjNr", D, gone + QStringLiteral(":Fixtermine")),
        objectStep("TermObj.DB", "T_Objekt", D, fixed + QStringLiteral(":Objekt-Termine")),
        objectStep("TglObj.DB", "A_ObjektNr", D, {}),
        objectStep("TglTaet.DB", "A_ObjNr", D, gone + QStringLiteral(":Tageslisten")),
    };
    r.alwaysOnDelete = {{QStringLiteral("ObjDV.db"),
                         QStringLiteral("OD_ObjID"),
                         CascadeAction::Delete,
                         true,
                         {},
                         QStringLiteral("TabObjDV"),
                         false}};
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

NumberedTableRules costTypes() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabKostart");
    r.keyField = QStringLiteral("A_ID");
    r.numberField = QStringLiteral("A_Nr");
    r.propose = ProposeKostartNr;
    r.defaults = [](table::Table& t) {
        t.field(QStringLiteral("A_Text")).setValue(QString());
        t.field(QStringLiteral("A_RubrikNr")).setValue(0);
        t.field(QStringLiteral("A_Rubrikname")).setValue(QString());
        t.field(QStringLiteral("A_Personal")).setValue(false);
        t.field(QStringLiteral("A_MwstKz")).setValue(1); // the default VAT code: full rate
        t.field(QStringLiteral("A_Marked")).setValue(false);
    };
    r.checkNumberBeforePost = true;
    r.checkNumberOnChange = true;
    r.askBeforeRenumber = false;
    r.skipCascadeWhileImport = false;
    r.renumber = costTypeFields();
    return r;
}

NumberedTableRules tours() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabTour");
    r.createRight = 14;
    r.keyField = QStringLiteral("TO_ID");
    r.numberField = QStringLiteral("TO_Nr");
    r.propose = NextFreeTourNr;
    r.defaults = [](table::Table& t) {
        t.field(QStringLiteral("TO_Kind")).setValue(0);
        t.field(QStringLiteral("TO_Wochentag")).setValue(0);
        t.field(QStringLiteral("TO_ServPatt")).setValue(QStringLiteral("*"));
        t.field(QStringLiteral("TO_Person")).setValue(0);
    };
    r.invalidNumberText = InvalidNumberText();
    r.skipQuestionWhileImport = false;
    r.skipCascadeWhileImport = false;
    const QString fixed = LinksCorrectedText();
    const QString gone = LinksDeletedText();
    const auto R = CascadeAction::Replace;
    const auto D = CascadeAction::Delete;
    r.renumber = {
        objectStep("TourObj.db", "TO_TourNr", R, fixed + QStringLiteral(":Objekte"), "TabTourObj"),
        objectStep("TourPers.DB", "TP_TourNr", R, fixed + QStringLiteral(":Mitarbeiter"),
                   "TabTourPers"),
        objectStep("TglFterm.DB", "TF_TourNr", R, fixed + QStringLiteral(":Fixtermine")),
        objectStep("TglTour.DB", "A_TourNr", R, {}),
    };
    // The daily-list rows go through their shared object so that their own
    // delete rules run; when they keep a row, the tour is not deleted at all.
    r.onDelete = {
        objectStep("TourObj.db", "TO_TourNr", D, gone + QStringLiteral(":Objekte"), "TabTourObj"),
        objectStep("TourPers.DB", "TP_TourNr", D, gone + QStringLiteral(":Mitarbeiter"),
                   "TabTourPers"),
        objectStep("TglFTerm.DB", "TF_TourNr", D, gone + QStringLiteral(":Fixtermine")),
        objectStep("TglTour.DB", "A_TourNr", CascadeAction::DeleteThroughShared, {}, "TabTglTour"),
    };
    r.numberTakenText = NumberTakenShortText();
    return r;
}

NumberedTableRules vatRates() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabMwst");
    r.keyField = QStringLiteral("Mwst_ID");
    r.defaults = [](table::Table& t) {
        t.field(QStringLiteral("Mwst_Nr")).setValue(0);
        t.field(QStringLiteral("Mwst_Kurz")).setValue(QString());
        t.field(QStringLiteral("Mwst_Lang")).setValue(QString());
        t.field(QStringLiteral("Mwst_Satz")).setValue(0);
        t.field(QStringLiteral("Mwst_GueltigVon")).setValue(QStringLiteral("01.01.2000"));
        t.field(QStringLiteral("Mwst_GueltigBis")).setValue(QStringLiteral("31.12.2100"));
    };
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

NumberedTableRules keyed(const char* tableObject, const char* keyField) {
    NumberedTableRules r;
    r.tableObject = QString::fromLatin1(tableObject);
    r.keyField = QString::fromLatin1(keyField);
    return r;
}

QString invalidNumber(const char* prefix) {
    return QString::fromUtf8(prefix) + QStringLiteral("Sie müssen eine gültige Nummer eingeben");
}

// The activity of an object's activity row must exist; its function is taken over.
void checkObjectActivity(table::Table& t, bool takeFunction) {
    const table::Field& f = t.field(QStringLiteral("TS_Taetigkeit"));
    if (f.isNull() && takeFunction)
        return;
    auto activities = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("Taetig.DB"));
    if (!activities->locate({QStringLiteral("T_Nr")}, {f.asIntegerOr(0)}))
        throw DbError(invalidNumber("Objekt-Tätigkeit: "));
    if (takeFunction)
        t.field(QStringLiteral("TS_Func"))
            .setValue(GetFieldIntOrDefault(activities->findField(QStringLiteral("T_Func")), 0));
}

NumberedTableRules objectActivities() {
    NumberedTableRules r = keyed("TabObjTaetig", "TS_ID");
    r.defaults = [](table::Table& t) {
        t.field(QStringLiteral("TS_Modus")).setValue(1);
        t.field(QStringLiteral("TS_Taetigkeit")).setValue(0);
        t.field(QStringLiteral("TS_StartDatum")).setValue(QDate::currentDate());
        t.field(QStringLiteral("TS_Func")).setValue(0);
        t.field(QStringLiteral("TS_Param")).setValue(QString());
    };
    r.fieldRules = {
        {QStringLiteral("TS_Taetigkeit"), [](table::Table& t) { checkObjectActivity(t, true); }}};
    r.postCheck = [](table::Table& t) { checkObjectActivity(t, false); };
    return r;
}

NumberedTableRules objectServices() {
    NumberedTableRules r = keyed("TabObjND", "OND_ID");
    r.fieldRules = {{QStringLiteral("OND_NdNr"), [](table::Table& t) {
                         const table::Field& f = t.field(QStringLiteral("OND_NdNr"));
                         if (f.isNull())
                             return;
                         const int objekt = GetFieldIntOrDefault(
                             DataModule1().TabObjekt().findField(QStringLiteral("O_Nr")), 0);
                         if (IntPairExists(QStringLiteral("LumoDB"), QStringLiteral("ObjektND.DB"),
                                           QStringLiteral("OND_ObjNr;OND_NdNr"), objekt,
                                           f.asIntegerOr(0)))
                             throw DbError(QStringLiteral("Der Eintrag ist bereits vorhanden!"));
                         if (!IntValueExists(QStringLiteral("LumoDB"), QStringLiteral("Notdnst.DB"),
                                             QStringLiteral("ND_Nr"), f.asIntegerOr(0)))
                             throw DbError(invalidNumber("Objekt-Notdienst: "));
                     }}};
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
    auto check = [](table::Table& t) {
        const int nr = GetFieldIntOrDefault(t.findField(QStringLiteral("TO_Objekt")), 0);
        if (nr == 0 || !IntValueExists(QStringLiteral("LumoDB"), QStringLiteral("Objekte.DB"),
                                       QStringLiteral("O_Nr"), nr))
            throw DbError(invalidNumber("Tour-Objekt: "));
    };
    r.fieldRules = {{QStringLiteral("TO_Objekt"), check}};
    r.postCheck = check;
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
    NumberedTableRules r = keyed("TabArtikel", "A_ID");
    r.createRight = 1;
    r.defaults = [](table::Table& t) {
        const int year = QDate::currentDate().year();
        t.field(QStringLiteral("A_ObjID")).setValue(DataModule1().ArtikelObjId());
        t.field(QStringLiteral("A_ArtNo")).setValue(NextFreeArtikelNr());
        t.field(QStringLiteral("A_HauptLiefID")).setValue(0);
        t.field(QStringLiteral("A_Bestandsfuehrung")).setValue(true);
        for (const char* zero :
             {"A_Lagermenge", "A_Lagerwert", "A_VerpackMenge", "A_Gewicht", "A_SollBestand",
              "A_IstBestand", "A_BestellBestand", "A_Vormerkung", "A_Bestellt", "A_EkPreis",
              "A_Preis1", "A_VerpackEinheit"})
            t.field(QString::fromLatin1(zero)).setValue(0);
        t.field(QStringLiteral("A_Mwst")).setValue(1); // the default VAT code: full rate
        t.field(QStringLiteral("A_AktJahr")).setValue(year);
        t.field(QStringLiteral("A_VorJahr")).setValue(year - 1);
        table::Table& company = DataModule1().TabFirmen();
        t.field(QStringLiteral("A_Aufschlag1"))
            .setValue(company.isOpen() ? GetFieldFloatOrDefault(
                                             company.findField(QStringLiteral("F_Aufschlag1")), 0)
                                       : 0.0);
    };
    r.afterScroll = [](table::Table& t) {
        if (t.state() == table::TableState::Browse)
            RememberArtikelArtNo();
    };
    r.fieldRules = {
        {QStringLiteral("A_ArtNo"), articleNumberRule},
        {QStringLiteral("A_Kostart"),
         [](table::Table& t) {
             const int kostart = GetFieldIntOrDefault(t.findField(QStringLiteral("A_Kostart")), 0);
             if (kostart != 0 &&
                 !IntValueExists(QStringLiteral("LumoDB"), QStringLiteral("Kostart.DB"),
                                 QStringLiteral("A_Nr"), kostart)) {
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

} // namespace

const std::vector<NumberedTableRules>& MasterTableRules() {
    static const std::vector<NumberedTableRules> rules = {customers(),
                                                          suppliers(),
                                                          staff(),
                                                          emergencyServices(),
                                                          activities(),
                                                          objects(),
                                                          costTypes(),
                                                          tours(),
                                                          vatRates(),
                                                          objectActivities(),
                                                          objectServices(),
                                                          tourObjects(),
                                                          keyed("TabMieter", "OM_ID"),
                                                          keyed("TabTourPers", "TP_ID"),
                                                          keyed("TabLiefArt", "A_ID"),
                                                          keyed("TabKUmsatz", "U_ID"),
                                                          keyed("TabAUmsatz", "U_ID"),
                                                          keyed("TabLUmsatz", "U_ID"),
                                                          articles()};
    return rules;
}
