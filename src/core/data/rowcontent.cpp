#include "core/data/rowcontent.h"

#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/field.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

QVariantList StoredRowContent(table::Table& rows, int first) {
    QVariantList values;
    for (int i = first; i < rows.fieldCount(); ++i)
        if (!rows.field(i).isCalculated())
            values.append(rows.field(i).value());
    return values;
}

void ReplaceRowContent(table::Table& rows, int first, const QVariantList& values) {
    CancelEditOnError(rows, [&] {
        rows.edit();
        qsizetype next = 0;
        for (int i = first; i < rows.fieldCount(); ++i)
            if (!rows.field(i).isCalculated())
                rows.field(i).setValue(values.at(next++));
        rows.post();
    });
}

bool ExchangeRowWithNeighbour(table::Table& rows, int first, bool up) {
    if (!rows.isOpen())
        return false;
    if (rows.isEditing())
        rows.post();
    const int recNo = rows.recNo();
    if (up ? recNo < 2 : recNo >= rows.recordCount())
        return false;
    const QString keyField = rows.field(0).name();
    const QVariant ownKey = rows.field(0).value();
    QVariant otherKey;
    try {
        table::Transaction tx(*rows.database());
        const QVariantList own = StoredRowContent(rows, first);
        if (up)
            rows.prior();
        else
            rows.next();
        otherKey = rows.field(0).value();
        const QVariantList other = StoredRowContent(rows, first);
        ReplaceRowContent(rows, first, own);
        if (!rows.locate({keyField}, {ownKey}))
            throw DbError(u"Die Zeile wurde inzwischen gelöscht."_s);
        ReplaceRowContent(rows, first, other);
        tx.commit();
    } catch (...) {
        rows.locate({keyField}, {ownKey});
        throw;
    }
    rows.locate({keyField}, {otherKey});
    return true;
}
