#include "operations/timerecordarchive.h"

#include "datasafety/documentarchive/archiveconnection.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kZeiterf = u"Zeiterf.DB"_s;
const QString kKosten = u"Kosten.DB"_s;
const QString kArchiveSchema = u"ablage"_s;

// A source record to move: its row and the cost entry it names.
struct MovedRecord {
    qint64 row = 0;
    qint64 kostId = 0;
};

// "ablage"."Zeiterf": the archive table's name for statements; the table may
// have been created by this very transaction, which the archive's own
// connection cannot see yet.
QString archiveName(const table::TableDef& def) {
    return table::quoted(kArchiveSchema) + u'.' + table::quoted(table::physicalName(def.name));
}

QString fieldIn(const table::TableDef& def, const QString& name) {
    for (const auto& f : def.fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return f.name;
    return {};
}

// INSERT INTO archive(id, fields...) SELECT ?, source fields... FROM source
// WHERE rowid = ?: every archive field after the id from the source field of
// the same name, empty where the source has none.
QString copyStatement(const table::TableDef& archive, const table::TableDef& source,
                      const QString& sourceName) {
    QStringList targets{table::quoted(archive.fields.first().name)};
    QStringList values{u"?"_s};
    for (qsizetype i = 1; i < archive.fields.size(); ++i) {
        targets << table::quoted(archive.fields[i].name);
        const QString from = fieldIn(source, archive.fields[i].name);
        values << (from.isEmpty() ? u"NULL"_s : table::quoted(from));
    }
    return u"INSERT INTO %1(%2) SELECT %3 FROM %4 WHERE rowid = ?"_s.arg(
        archiveName(archive), targets.join(u','), values.join(u','), sourceName);
}

} // namespace

void CreateZeiterfArchiveTable(ArchiveConnection& connection) {
    table::Database& db = connection.database();
    if (db.existsIn(kArchiveSchema, kZeiterf))
        return;
    db.createTableIn(kArchiveSchema, connection.workingDef(kZeiterf));
}

TimeArchiveResult ArchiveZeiterf(ArchiveConnection& connection, const QDate& limit,
                                 const TimeArchiveProgress& progress) {
    table::Database& db = connection.database();
    const table::TableDef source = connection.workingDef(kZeiterf);
    const QString sourceName = connection.workingTable(kZeiterf);
    const table::FieldDef dateField{u"Z_Datum"_s, table::FieldType::Date};
    TimeArchiveResult result;

    // Read before the transaction: a table made in it has the client's layout.
    const bool existed = db.existsIn(kArchiveSchema, kZeiterf);
    const table::TableDef archive = existed ? connection.archiveDef(kZeiterf) : source;

    table::Transaction tx(db);
    if (!existed)
        db.createTableIn(kArchiveSchema, source);
    const QString idField = table::quoted(archive.fields.first().name);

    // The records up to the limit in date order (those without date first),
    // read before anything moves.
    std::vector<MovedRecord> records;
    {
        const QString kostField = fieldIn(source, u"Z_KostID"_s);
        auto s = db.connection().prepare(
            u"SELECT rowid, %1 FROM %2 WHERE \"Z_Datum\" IS NULL OR \"Z_Datum\" <= ? "
            "ORDER BY \"Z_Datum\", \"Z_PersNr\", \"Z_ObjNr\", rowid"_s.arg(
                kostField.isEmpty() ? u"NULL"_s : table::quoted(kostField), sourceName));
        table::bindTyped(*s, 1, dateField, limit);
        while (s->step())
            records.push_back({s->int64(0), s->isNull(1) ? 0 : s->int64(1)});
    }

    qint64 nextId =
        db.selectValue(u"SELECT COALESCE(MAX(%1), 0) FROM %2"_s.arg(idField, archiveName(archive)))
            .toLongLong();
    if (nextId > std::numeric_limits<qint32>::max() - qint64(records.size()))
        throw DbError(u"Die Arbeitszeiten können nicht ausgelagert werden: Die Nummern der "
                      "Datenablage sind erschöpft."_s);

    auto copy = db.connection().prepare(copyStatement(archive, source, sourceName));
    auto remove = db.connection().prepare(u"DELETE FROM %1 WHERE rowid = ?"_s.arg(sourceName));
    for (const MovedRecord& r : records) {
        copy->bindInt64(1, ++nextId);
        copy->bindInt64(2, r.row);
        copy->step();
        copy->reset();
        remove->bindInt64(1, r.row);
        remove->step();
        remove->reset();
        ++result.moved;
        if (progress)
            progress(TimeArchivePhase::Records, result.moved);
    }

    // Only the cost entries of the moved records: entries of incoming
    // invoices and material stay, and so do the cost statistics.
    const table::TableDef kosten = connection.workingDef(kKosten);
    auto removeCost = db.connection().prepare(u"DELETE FROM %1 WHERE %2 = ?"_s.arg(
        connection.workingTable(kKosten), table::quoted(kosten.fields.first().name)));
    for (const MovedRecord& r : records) {
        if (r.kostId == 0)
            continue;
        removeCost->bindInt64(1, r.kostId);
        removeCost->step();
        const int changed = db.connection().changes();
        removeCost->reset();
        if (changed == 0)
            continue;
        result.costEntriesDeleted += changed;
        if (progress)
            progress(TimeArchivePhase::CostEntries, result.costEntriesDeleted);
    }
    tx.commit();
    return result;
}
