#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/data/rulebuilders.h"
#include "platform/table/table.h"

#include <QDate>
#include <QTime>

// The address book and the small tables: keys, defaults and the address's
// delete with its contacts.

namespace {

using namespace rulebuilders;

NumberedTableRules addresses() {
    NumberedTableRules r = numbered("TabAdress", 0, "A_ID", "A_Nr", ProposeAdressNr);
    stampWith(r, "A_");
    r.confirmDeleteFunction = 62;
    r.formShowsRecord = true;
    r.formShowsRecordAlsoOnEditAndPost = true;
    r.alwaysOnDelete = {ownedRows("Aansp.DB", "AA_RefID", "TabAAnsprech")};
    r.numberTakenText = NumberTakenShortText();
    r.postErrorShowAndAbort = true;
    return r;
}

NumberedTableRules billingDefinitions() {
    NumberedTableRules r = numbered("TabDefYearH", 0, "I_ID", "I_DefNo", [] {
        return GetFirstFreeNr(QStringLiteral("LumoDB"), QStringLiteral("IvDefH.DB"),
                              QStringLiteral("I_DefNo"), 1);
    });
    // The definition's rows go with it.
    r.alwaysOnDelete = {ownedRows("IvDef.DB", "Def", "TabDefYear", false)};
    return r;
}

NumberedTableRules keys() {
    NumberedTableRules r = keyed("TabSchluessel", "S_ID", [](table::Table& t) {
        setFields(t, {{"S_Objekt", QString()},
                      {"S_Halter", QString()},
                      {"S_Bezeichnung", QString()},
                      {"S_Nr", 0},
                      {"S_PersNo", 0},
                      {"S_Gegeben", QDate::currentDate()}});
    });
    r.formShowsRecord = true;
    return r;
}

} // namespace

const std::vector<NumberedTableRules>& SmallTableRules() {
    static const std::vector<NumberedTableRules> rules = {
        addresses(),
        billingDefinitions(),
        keyed("TabDefYear", "ID",
              [](table::Table& t) {
                  table::Table& head = DataModule1().TabDefYearH();
                  t.field(QStringLiteral("Def"))
                      .setValue(head.isOpen() ? GetFieldIntOrDefault(
                                                    head.findField(QStringLiteral("I_DefNo")), 0)
                                              : 0);
              }),
        keyed("TabDvGroups", "DG_ID",
              [](table::Table& t) {
                  setFields(t, {{"DG_Type", 0},
                                {"DG_Prefix", QStringLiteral("File://")},
                                {"DG_Name", QString()},
                                {"DG_Mask", QString()},
                                {"DG_Suffix", QString()},
                                {"DG_Defpath", QString()}});
              }),
        // A protocol row starts as a manual entry of now.
        keyed("TabProto", "AP_ID",
              [](table::Table& t) {
                  setFields(t, {{"AP_Date", QDate::currentDate()},
                                {"AP_Time", QTime::currentTime()},
                                {"AP_Art", 0}});
              }),
        keyed("TabAAnsprech", "AA_ID"),
        // A journal entry is written at once, as a note of now.
        keyed("TabJour", "AJ_ID",
              [](table::Table& t) {
                  setFields(t,
                            {{"AJ_Date", QDate::currentDate()}, {"AJ_TIme", QTime::currentTime()}});
              }),
        keyed("TabKdDV", "OD_ID"),
        keyed("TabObjDV", "OD_ID"),
        keyed("TabPersDV", "OD_ID"),
        keys(),
        keyed("TabBerText", "ID"),
        keyed("TabAusfInterv", "AI_ID"),
        keyed("TabZahlbed", "Z_ID"),
        keyed("TabWochentage", "WT_ID"),
        keyed("TabVE", "VE_ID"),
        keyed("TabFirmen", "F_ID"),
    };
    return rules;
}
