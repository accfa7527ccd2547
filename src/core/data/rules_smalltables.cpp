#include "core/data/counters.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "platform/table/table.h"

#include <QDate>

// The address book and the small tables: keys, defaults and the address's
// delete with its contacts.

namespace {

void setFields(table::Table& t, const QList<std::pair<const char*, QVariant>>& values) {
    for (const auto& [name, value] : values)
        t.field(QString::fromLatin1(name)).setValue(value);
}

NumberedTableRules keyOnly(const char* tableObject, const char* keyField,
                           std::function<void(table::Table&)> defaults = {}) {
    NumberedTableRules r;
    r.tableObject = QString::fromLatin1(tableObject);
    r.keyField = QString::fromLatin1(keyField);
    r.defaults = std::move(defaults);
    return r;
}

NumberedTableRules addresses() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabAdress");
    r.keyField = QStringLiteral("A_ID");
    r.numberField = QStringLiteral("A_Nr");
    r.propose = ProposeAdressNr;
    r.stampAccessField = QStringLiteral("A_LastAccess");
    r.stampUserField = QStringLiteral("A_LastUser");
    r.confirmDeleteFunction = 62;
    r.alwaysOnDelete = {{QStringLiteral("Aansp.DB"),
                         QStringLiteral("AA_RefID"),
                         CascadeAction::Delete,
                         true,
                         {},
                         QStringLiteral("TabAAnsprech"),
                         false}};
    r.numberTakenText = NumberTakenShortText();
    r.postErrorShowAndAbort = true;
    return r;
}

NumberedTableRules billingDefinitions() {
    NumberedTableRules r;
    r.tableObject = QStringLiteral("TabDefYearH");
    r.keyField = QStringLiteral("I_ID");
    r.numberField = QStringLiteral("I_DefNo");
    r.propose = [] {
        return GetFirstFreeNr(QStringLiteral("LumoDB"), QStringLiteral("IvDefH.DB"),
                              QStringLiteral("I_DefNo"), 1);
    };
    // The definition's rows go with it.
    r.alwaysOnDelete = {{QStringLiteral("IvDef.DB"),
                         QStringLiteral("Def"),
                         CascadeAction::Delete,
                         false,
                         {},
                         QStringLiteral("TabDefYear"),
                         false}};
    return r;
}

} // namespace

const std::vector<NumberedTableRules>& SmallTableRules() {
    static const std::vector<NumberedTableRules> rules = {
        addresses(),
        billingDefinitions(),
        keyOnly("TabDefYear", "ID",
                [](table::Table& t) {
                    table::Table& head = DataModule1().TabDefYearH();
                    t.field(QStringLiteral("Def"))
                        .setValue(head.isOpen() ? GetFieldIntOrDefault(
                                                      head.findField(QStringLiteral("I_DefNo")), 0)
                                                : 0);
                }),
        keyOnly("TabDvGroups", "DG_ID",
                [](table::Table& t) {
                    setFields(t, {{"DG_Type", 0},
                                  {"DG_Prefix", QStringLiteral("File://")},
                                  {"DG_Name", QString()},
                                  {"DG_Mask", QString()},
                                  {"DG_Suffix", QString()},
                                  {"DG_Defpath", QString()}});
                }),
        keyOnly("TabKdDV", "OD_ID"),
        keyOnly("TabObjDV", "OD_ID"),
        keyOnly("TabPersDV", "OD_ID"),
        keyOnly("TabSchluessel", "S_ID",
                [](table::Table& t) {
                    setFields(t, {{"S_Objekt", QString()},
                                  {"S_Halter", QString()},
                                  {"S_Bezeichnung", QString()},
                                  {"S_Nr", 0},
                                  {"S_PersNo", 0},
                                  {"S_Gegeben", QDate::currentDate()}});
                }),
        keyOnly("TabBerText", "ID"),
        keyOnly("TabAusfInterv", "AI_ID"),
        keyOnly("TabZahlbed", "Z_ID"),
        keyOnly("TabWochentage", "WT_ID"),
        keyOnly("TabVE", "VE_ID"),
        keyOnly("TabFirmen", "F_ID"),
    };
    return rules;
}
