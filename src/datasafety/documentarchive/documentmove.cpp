#include "datasafety/documentarchive/documentmove.h"

#include "datasafety/documentarchive/archiveconnection.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;
using table::quoted;

namespace {

const QList<std::pair<ArchiveFamily, ArchiveTables>>& familyTables() {
    static const QList<std::pair<ArchiveFamily, ArchiveTables>> tables = {
        {ArchiveFamily::Offers,
         {u"Angkopf.DB"_s, u"AngSatz.DB"_s, u"Angkopf.DB"_s, u"AngSatz.DB"_s}},
        {ArchiveFamily::Orders,
         {u"Auftkopf.DB"_s, u"Auftsatz.DB"_s, u"Auftkopf.DB"_s, u"Auftsatz.DB"_s}},
        {ArchiveFamily::DeliveryNotes,
         {u"LSkopf.DB"_s, u"LSsatz.DB"_s, u"LSkopf.DB"_s, u"LSsatz.DB"_s}},
        {ArchiveFamily::CreditNotes,
         {u"GSkopf.DB"_s, u"GSSatz.DB"_s, u"GSkopf.DB"_s, u"GSSatz.DB"_s}},
        {ArchiveFamily::OpenItems,
         {u"OpKopf.DB"_s, u"OPSatz.db"_s, u"Rechkopf.DB"_s, u"Rechsatz.db"_s}},
        {ArchiveFamily::OpenIncomingInvoices,
         {u"OERkopf.DB"_s, u"OERsatz.db"_s, u"ERkopf.DB"_s, u"ERsatz.db"_s}},
        {ArchiveFamily::PurchaseOrders,
         {u"bestkopf.db"_s, u"bestsatz.db"_s, u"bestkopf.db"_s, u"bestsatz.db"_s}},
    };
    return tables;
}

int fieldIndex(const table::TableDef& def, const QString& name) {
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const QString& requireField(const table::TableDef& def, const QString& name) {
    const int i = fieldIndex(def, name);
    if (i < 0)
        throw DbError(u"Die Tabelle %1 hat kein Feld %2."_s.arg(def.name, name));
    return def.fields[i].name;
}

// The fields copied by name: every field of the source from the second one
// on that the target has too, except those the move sets itself.
struct CopiedFields {
    QStringList source, target;
};

CopiedFields copiedFields(const table::TableDef& from, const table::TableDef& to,
                          const QStringList& setByMove) {
    CopiedFields fields;
    for (int i = 1; i < from.fields.size(); ++i) {
        const QString& name = from.fields[i].name;
        const int at = fieldIndex(to, name);
        if (at <= 0 || setByMove.contains(name, Qt::CaseInsensitive))
            continue;
        fields.source.append(quoted(name));
        fields.target.append(quoted(to.fields[at].name));
    }
    return fields;
}

QString joined(const QStringList& names) {
    return names.isEmpty() ? QString() : u", "_s + names.join(u", "_s);
}

// The order of the line index S_IRef ("S_Ref;S_PosNr"), ties by key: the
// order in which the lines are numbered in the archive.
QString lineOrder(const table::TableDef& lines, const QString& ref, const QString& key) {
    QStringList order;
    for (const table::IndexDef& index : lines.indexes)
        if (index.name.compare(u"S_IRef"_s, Qt::CaseInsensitive) == 0) {
            for (const QString& f : index.fields)
                if (f.compare(ref, Qt::CaseInsensitive) != 0)
                    order.append(quoted(requireField(lines, f)));
            break;
        }
    order.append(quoted(key));
    return order.join(u", "_s);
}

// The field as the left side of an equality the engine answers from an
// index: a case-insensitive index compares in the program's collation, and
// only a comparison in the same collation may use it.
QString seekExpr(const table::TableDef& def, const QString& field) {
    for (const table::IndexDef& index : def.indexes)
        if (!index.fields.isEmpty() &&
            index.fields.first().compare(field, Qt::CaseInsensitive) == 0)
            return quoted(field) + (index.caseInsensitive ? u" COLLATE DE"_s : QString());
    return quoted(field);
}

// A prepared statement that is reset when its use ends, also by an error.
class Prepared {
public:
    Prepared(table::Database& db, const QString& sql) : m_s(db.connection().prepare(sql)) {}
    table::Statement& use(const QVariantList& params) {
        m_s->reset();
        m_s->bindAll(params);
        return *m_s;
    }
    qint64 scalar(const QVariantList& params) {
        table::Statement& s = use(params);
        const qint64 value = s.step() && !s.isNull(0) ? s.int64(0) : 0;
        s.reset();
        return value;
    }
    int run(table::Database& db, const QVariantList& params) {
        table::Statement& s = use(params);
        while (s.step()) {
        }
        s.reset();
        return db.connection().changes();
    }

private:
    std::unique_ptr<table::Statement> m_s;
};

int checkedKey(qint64 key, const QString& table) {
    if (key > std::numeric_limits<int>::max())
        throw DbError(
            u"In der Tabelle %1 der Datenablage ist kein neuer Schlüssel mehr frei."_s.arg(table));
    return int(key);
}

// Errors that belong to one document: the archive refuses its rows. Any other
// error (busy, full or damaged database) ends the move.
bool documentError(const table::TableError& e) {
    switch (e.kind()) {
    case table::TableError::KeyViolation:
    case table::TableError::InvalidValue:
    case table::TableError::RecordDeleted:
    case table::TableError::Other:
        return true;
    default:
        return false;
    }
}

QString reasonOf(const table::TableError& e) {
    if (e.kind() == table::TableError::KeyViolation)
        return u"Die Nummer ist in der Datenablage bereits vorhanden."_s;
    return e.message();
}

} // namespace

const ArchiveTables& ArchiveTablesOf(ArchiveFamily family) {
    for (const auto& [f, tables] : familyTables())
        if (f == family)
            return tables;
    throw DbError(u"Unbekannte Belegart für die Datenablage."_s);
}

const QList<ArchiveFamily>& ArchiveFamilies() {
    static const QList<ArchiveFamily> families = [] {
        QList<ArchiveFamily> list;
        for (const auto& entry : familyTables())
            list.append(entry.first);
        return list;
    }();
    return families;
}

DocumentMoveResult MoveSelectedDocuments(ArchiveConnection& connection, const ArchiveTables& tables,
                                         const DocumentMoveProgress& progress) {
    const table::TableDef srcHead = connection.workingDef(tables.sourceHead);
    const table::TableDef srcLines = connection.workingDef(tables.sourceLines);
    const table::TableDef dstHead = connection.archiveDef(tables.archiveHead);
    const table::TableDef dstLines = connection.archiveDef(tables.archiveLines);
    const QString srcH = connection.workingTable(tables.sourceHead);
    const QString srcL = connection.workingTable(tables.sourceLines);
    const QString dstH = connection.archiveTable(tables.archiveHead);
    const QString dstL = connection.archiveTable(tables.archiveLines);

    // The first field of every head and line table is its key.
    const QString headKey = quoted(srcHead.fields.first().name);
    const QString newHeadKey = quoted(dstHead.fields.first().name);
    const QString lineKey = quoted(srcLines.fields.first().name);
    const QString newLineKey = quoted(dstLines.fields.first().name);
    const QString ref = requireField(srcLines, u"S_Ref"_s);
    const QString newRef = requireField(dstLines, u"S_Ref"_s);
    const QString selected = quoted(requireField(srcHead, u"R_Selected"_s));
    const int nrIndex = fieldIndex(srcHead, u"R_Nr"_s);
    const QString number = nrIndex >= 0 ? quoted(srcHead.fields[nrIndex].name) : headKey;

    const CopiedFields head = copiedFields(srcHead, dstHead, {});
    const CopiedFields lines = copiedFields(srcLines, dstLines, {ref});

    table::Database& db = connection.database();
    Prepared nextHeadId(db, u"SELECT max(%1) FROM %2"_s.arg(newHeadKey, dstH));
    Prepared nextLineId(db, u"SELECT max(%1) FROM %2"_s.arg(newLineKey, dstL));
    const QString byRef = seekExpr(srcLines, ref);
    Prepared lineCount(db, u"SELECT count(*) FROM %1 WHERE %2 = ?"_s.arg(srcL, byRef));
    Prepared insertHead(
        db, u"INSERT INTO %1(%2%3) SELECT ?%4 FROM %5 WHERE %6 = ?"_s.arg(
                dstH, newHeadKey, joined(head.target), joined(head.source), srcH, headKey));
    Prepared insertLines(
        db,
        u"INSERT INTO %1(%2, %3%4) SELECT ? + row_number() OVER (ORDER BY %5), ?%6 FROM %7 "
        "WHERE %8 = ?"_s.arg(dstL, newLineKey, quoted(newRef), joined(lines.target),
                             lineOrder(srcLines, ref, lineKey), joined(lines.source), srcL, byRef));
    Prepared deleteLines(db, u"DELETE FROM %1 WHERE %2 = ?"_s.arg(srcL, byRef));
    Prepared deleteHead(db, u"DELETE FROM %1 WHERE %2 = ?"_s.arg(srcH, headKey));

    // The marked heads as the move starts, in primary order.
    QList<std::pair<qint64, QString>> marked;
    {
        Prepared list(db, u"SELECT %1, %2 FROM %3 WHERE %4 = ? ORDER BY %1"_s.arg(headKey, number,
                                                                                  srcH, selected));
        const QVariant yes = table::toStored({u"R_Selected"_s, table::FieldType::Boolean}, true);
        table::Statement& s = list.use({yes});
        while (s.step())
            marked.append({s.int64(0), s.text(1)});
        s.reset();
    }

    DocumentMoveResult result;
    result.marked = int(marked.size());
    int done = 0;
    if (progress)
        progress(0, result.marked);
    for (const auto& [id, nr] : marked) {
        try {
            table::Transaction tx(db);
            const int newId = checkedKey(nextHeadId.scalar({}) + 1, tables.archiveHead);
            if (insertHead.run(db, {newId, id}) != 1)
                throw table::TableError(table::TableError::RecordDeleted,
                                        u"Der Beleg ist nicht mehr vorhanden."_s);
            const qint64 count = lineCount.scalar({id});
            const qint64 lastLine = nextLineId.scalar({});
            checkedKey(lastLine + count, tables.archiveLines);
            if (insertLines.run(db, {lastLine, newId, id}) != count)
                throw table::TableError(table::TableError::Other,
                                        u"Die Positionen wurden nicht vollständig übertragen."_s);
            deleteLines.run(db, {id});
            deleteHead.run(db, {id});
            tx.commit();
            result.movedIds.append(int(id));
        } catch (const table::TableError& e) {
            if (!documentError(e))
                throw;
            result.notMoved.append({nr, reasonOf(e)});
        }
        ++done;
        if (progress)
            progress(done, result.marked);
    }
    return result;
}

QString DocumentsNotMovedText(const QList<DocumentNotMoved>& notMoved) {
    if (notMoved.isEmpty())
        return {};
    // A box stays readable: the first documents, then how many more.
    constexpr int kShown = 20;
    QString text = u"Folgende Belege wurden nicht ausgelagert:"_s;
    for (int i = 0; i < notMoved.size() && i < kShown; ++i)
        text += u"\r"_s + notMoved[i].number + u": "_s + notMoved[i].reason;
    if (notMoved.size() > kShown)
        text += u"\r… und %1 weitere"_s.arg(notMoved.size() - kShown);
    return text;
}
