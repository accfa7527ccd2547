#include "commercial/bookings/umsatztemptable.h"

#include "platform/table/database.h"

using table::FieldType;

table::TableDef UmsatzTempTableDef() {
    table::TableDef def;
    def.fields = {
        {QStringLiteral("R_ID"), FieldType::Integer},
        {QStringLiteral("R_Nr"), FieldType::String, 20},
        {QStringLiteral("R_KundenNr"), FieldType::Integer},
        {QStringLiteral("R_KMatch"), FieldType::String, 40},
        {QStringLiteral("R_ObjektNr"), FieldType::Integer},
        {QStringLiteral("R_OMatch"), FieldType::String, 40},
        {QStringLiteral("R_DatumDruck"), FieldType::Date},
        {QStringLiteral("R_Netto"), FieldType::Currency},
        {QStringLiteral("R_Netto0"), FieldType::Currency},
        {QStringLiteral("R_Netto1"), FieldType::Currency},
        {QStringLiteral("R_Netto2"), FieldType::Currency},
        {QStringLiteral("R_Brutto"), FieldType::Currency},
        {QStringLiteral("R_Mwst"), FieldType::Currency},
        {QStringLiteral("R_Mwst0"), FieldType::Currency},
        {QStringLiteral("R_Mwst1"), FieldType::Currency},
        {QStringLiteral("R_Mwst2"), FieldType::Currency},
        {QStringLiteral("R_FaelligDatum"), FieldType::Date},
        {QStringLiteral("R_Selected"), FieldType::Boolean},
        {QStringLiteral("R_Satzart"), FieldType::Smallint},
        {QStringLiteral("R_Buchtext"), FieldType::String, 40},
    };
    def.indexes = {
        {QStringLiteral("I_KdObjSaDat"),
         {QStringLiteral("R_KundenNr"), QStringLiteral("R_ObjektNr"), QStringLiteral("R_Satzart"),
          QStringLiteral("R_DatumDruck")}},
        {QStringLiteral("I_ObjSaDat"),
         {QStringLiteral("R_ObjektNr"), QStringLiteral("R_Satzart"),
          QStringLiteral("R_DatumDruck")}},
    };
    return def;
}

void CreateUmsatzTempTable(const QString& databaseName, const QString& tableName) {
    table::TableDef def = UmsatzTempTableDef();
    def.name = tableName;
    table::aliases::database(databaseName)->createTable(def);
}
