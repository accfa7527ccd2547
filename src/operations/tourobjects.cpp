#include "operations/tourobjects.h"

#include "core/data/dbhelpers.h"
#include "core/data/rowcontent.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/field.h"
#include "platform/table/table.h"

#include <QTime>

using namespace Qt::StringLiterals;

namespace {

// T_TourID and TO_TourNr stay with their row; the rest travels.
constexpr int kFirstMoved = 2;

const QString kKey = u"T_TourID"_s;
const QString kObjekt = u"TO_Objekt"_s;

bool startsLater(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return false;
    return a.toTime() > b.toTime();
}

// The position of a field within StoredRowContent(rows, kFirstMoved).
int contentColumn(table::Table& rows, const QString& name) {
    int column = 0;
    for (int i = kFirstMoved; i < rows.fieldCount(); ++i) {
        const table::Field& f = rows.field(i);
        if (f.isCalculated())
            continue;
        if (f.name().compare(name, Qt::CaseInsensitive) == 0)
            return column;
        ++column;
    }
    throw DbError(u"Das Feld %1 fehlt in der Tabelle %2."_s.arg(name, rows.tableName()));
}

// Writing an object number that no longer exists would open the object
// picker in the middle of the transaction: refused before it begins.
void checkObjectsExist(const QList<QVariantList>& contents, int objektColumn) {
    for (const QVariantList& c : contents) {
        const int nr = c.at(objektColumn).toInt();
        if (!IntValueExists(u"LumoDB"_s, u"Objekte.DB"_s, u"O_Nr"_s, nr))
            throw DbError(u"Das Objekt %1 ist nicht mehr vorhanden."_s.arg(nr));
    }
}

// Every row's key and content, the cursor back where it stood.
void readTour(table::Table& rows, QVariantList& keys, QList<QVariantList>& contents) {
    const QVariant start = rows.field(kKey).value();
    for (rows.first(); !rows.eof(); rows.next()) {
        keys.append(rows.field(kKey).value());
        contents.append(StoredRowContent(rows, kFirstMoved));
    }
    rows.locate({kKey}, {start});
}

} // namespace

bool SortByStartTime(QList<QVariantList>& rows, int timeColumn) {
    bool moved = false;
    for (bool exchanged = true; exchanged;) {
        exchanged = false;
        for (qsizetype i = 1; i < rows.size(); ++i) {
            if (startsLater(rows[i - 1].at(timeColumn), rows[i].at(timeColumn))) {
                rows.swapItemsAt(i - 1, i);
                exchanged = moved = true;
            }
        }
    }
    return moved;
}

bool SortTourObjectsByTime(table::Table& rows) {
    if (!rows.isOpen() || rows.isEmpty())
        return false;
    if (rows.isEditing())
        rows.post();
    const QVariant start = rows.field(kKey).value();
    QVariantList keys;
    QList<QVariantList> contents;
    readTour(rows, keys, contents);
    QList<QVariantList> sorted = contents;
    if (!SortByStartTime(sorted, contentColumn(rows, u"TO_VonUhr"_s)))
        return false;
    try {
        checkObjectsExist(sorted, contentColumn(rows, kObjekt));
        table::Transaction tx(*rows.database());
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (sorted[i] == contents[i])
                continue;
            if (!rows.locate({kKey}, {keys[i]}))
                throw DbError(u"Eine Zeile der Tour wurde inzwischen gelöscht."_s);
            ReplaceRowContent(rows, kFirstMoved, sorted[i]);
        }
        tx.commit();
    } catch (const DbError& e) {
        rows.locate({kKey}, {start});
        throw DbError(u"Die Objekte wurden nicht sortiert:\r"_s + e.message());
    } catch (...) {
        rows.locate({kKey}, {start});
        throw;
    }
    rows.locate({kKey}, {start});
    return true;
}

bool MoveTourObject(table::Table& rows, bool up) {
    try {
        if (rows.isOpen() && !rows.isEmpty()) {
            if (rows.isEditing())
                rows.post();
            QVariantList keys;
            QList<QVariantList> contents;
            readTour(rows, keys, contents);
            checkObjectsExist(contents, contentColumn(rows, kObjekt));
        }
        return ExchangeRowWithNeighbour(rows, kFirstMoved, up);
    } catch (const DbError& e) {
        throw DbError(u"Das Objekt wurde nicht verschoben:\r"_s + e.message());
    }
}

bool TakeTourObject(table::Table& rows, int chosen) {
    if (chosen == 0 || chosen == FieldInt(rows, kObjekt))
        return false;
    if (IntPairExists(u"LumoDB"_s, rows.tableName(), u"TO_Objekt;TO_TourNr"_s, chosen,
                      FieldInt(rows, u"TO_TourNr"_s)))
        throw DbError(u"Dieses Objekt ist in der Tour bereits vorhanden!"_s);
    EnsureEditOrInsert(rows);
    rows.field(kObjekt).setValue(chosen);
    rows.post();
    return true;
}
