#include "masterdata/lookupfields.h"

#include "platform/table/database.h"
#include "platform/table/table.h"

#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Read-only cursors of the looked-up tables, opened on first use.
class LookupCursors {
public:
    explicit LookupCursors(table::Table& owner) : m_owner(owner) {}
    QVariant value(const QString& alias, const QString& tableName, const QString& key,
                   const QVariant& keyValue, const QString& result) {
        if (keyValue.isNull() || !keyValue.isValid())
            return {};
        std::unique_ptr<table::Table>& cursor =
            m_cursors[alias.toLower() + u'/' + tableName.toLower()];
        if (!cursor) {
            std::shared_ptr<table::Database> db =
                alias.isEmpty()
                    ? std::shared_ptr<table::Database>(std::shared_ptr<void>(), m_owner.database())
                    : table::aliases::database(alias);
            cursor = std::make_unique<table::Table>(std::move(db), tableName);
            cursor->setReadOnly(true);
        }
        // Also after a backup closed every cursor of the database and opens
        // them again in an order of its own: the owner may come first.
        if (!cursor->isOpen())
            cursor->open();
        if (!cursor->locate({key}, {keyValue}))
            return {};
        const table::Field& f = cursor->field(result);
        return f.isNull() ? QVariant() : f.value();
    }

private:
    table::Table& m_owner;
    std::map<QString, std::unique_ptr<table::Table>> m_cursors;
};

} // namespace

void AddLookupFields(table::Table& t, const QList<LookupFieldDecl>& fields) {
    if (fields.isEmpty() || t.findField(fields.first().name))
        return;
    const bool wasOpen = t.isOpen();
    if (wasOpen)
        t.close();
    for (const LookupFieldDecl& f : fields)
        t.addCalculatedField(f.name, f.type, f.size);
    auto cursors = std::make_shared<LookupCursors>(t);
    t.onCalcFields += [cursors, fields](table::Table& row) {
        for (const LookupFieldDecl& f : fields)
            row.field(f.name).setValue(
                cursors->value(f.alias, f.table, f.key, row.field(f.ownKey).value(), f.result));
    };
    if (wasOpen)
        t.open();
}

void AddObjTaetigLookupFields(table::Table& rows) {
    using table::FieldType;
    const QString taetig = u"Taetig.DB"_s;
    AddLookupFields(rows, {
                              {u"TsTaetigname"_s, FieldType::String, 40, u"TS_Taetigkeit"_s, taetig,
                               u"T_Nr"_s, u"T_Match"_s},
                              {u"TsTaetigSaisonVon"_s, FieldType::Date, 0, u"TS_Taetigkeit"_s,
                               taetig, u"T_Nr"_s, u"T_SaisonVon"_s},
                              {u"TsTaetigSaisonBis"_s, FieldType::Date, 0, u"TS_Taetigkeit"_s,
                               taetig, u"T_Nr"_s, u"T_SaisonBis"_s},
                              {u"TsGruppe"_s, FieldType::String, 20, u"TS_Taetigkeit"_s, taetig,
                               u"T_Nr"_s, u"T_Gruppe"_s},
                              {u"ModusName"_s, FieldType::String, 40, u"TS_Modus"_s, u"AusfIV.DB"_s,
                               u"AI_ID"_s, u"AI_Text"_s},
                          });
}

void AddObjNotdienstLookupFields(table::Table& rows) {
    QList<LookupFieldDecl> fields;
    for (const char* f : {"ND_Match", "ND_Branche", "ND_Name1", "ND_Strasse", "ND_Plz", "ND_Ort",
                          "ND_Handy", "ND_Telefon", "ND_Fax", "ND_Email", "ND_Sachbearbeiter"})
        fields.append({QString::fromLatin1(f), table::FieldType::String, 80, u"OND_NdNr"_s,
                       u"Notdnst.DB"_s, u"ND_Nr"_s, QString::fromLatin1(f)});
    AddLookupFields(rows, fields);
}

void AddObjTourLookupFields(table::Table& rows) {
    using table::FieldType;
    AddLookupFields(rows, {
                              {u"TourWochentagNr"_s, FieldType::Integer, 0, u"TO_TourNr"_s,
                               u"Touren.DB"_s, u"TO_Nr"_s, u"TO_Wochentag"_s},
                              {u"TourWochentag"_s, FieldType::String, 20, u"TourWochentagNr"_s,
                               u"Wochtag.db"_s, u"WT_Nr"_s, u"WT_Name"_s},
                              {u"TourDienste"_s, FieldType::String, 40, u"TO_TourNr"_s,
                               u"Touren.DB"_s, u"TO_Nr"_s, u"TO_ServPatt"_s},
                          });
}
