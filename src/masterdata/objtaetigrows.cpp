#include "masterdata/objtaetigrows.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/field.h"
#include "platform/table/table.h"

#include <QVariantList>

using namespace Qt::StringLiterals;

namespace {

bool validTaetigkeit(table::Table& rows) {
    return IntValueExists(u"LumoDB"_s, u"Taetig.DB"_s, u"T_Nr"_s,
                          FieldInt(rows, u"TS_Taetigkeit"_s));
}

// The stored fields after the key, in field order.
QVariantList contentOf(table::Table& t) {
    QVariantList values;
    for (int i = 1; i < t.fieldCount(); ++i)
        if (!t.field(i).isCalculated())
            values.append(t.field(i).value());
    return values;
}

void writeContent(table::Table& t, const QVariantList& values) {
    int next = 0;
    for (int i = 1; i < t.fieldCount(); ++i)
        if (!t.field(i).isCalculated())
            t.field(i).setValue(values.at(next++));
}

void replaceContent(table::Table& t, const QVariantList& values) {
    CancelEditOnError(t, [&] {
        t.edit();
        writeContent(t, values);
        t.post();
    });
}

} // namespace

TaetigEditor TaetigEditorFor(const QString& fieldName, bool calculated, int tsFunc) {
    if (calculated)
        return fieldName.compare(u"TsTaetigname"_s, Qt::CaseInsensitive) == 0
                   ? TaetigEditor::Taetigkeit
                   : TaetigEditor::Intervall;
    if (fieldName.compare(u"TS_Taetigkeit"_s, Qt::CaseInsensitive) == 0)
        return TaetigEditor::Taetigkeit;
    if (fieldName.compare(u"TS_StartDatum"_s, Qt::CaseInsensitive) == 0)
        return TaetigEditor::Ersttermin;
    if (fieldName.compare(u"TS_Param"_s, Qt::CaseInsensitive) == 0 && tsFunc == 1)
        return TaetigEditor::Formular;
    return TaetigEditor::None;
}

void CheckObjTaetigColumnExit(table::Table& rows, const std::function<void()>& openEditor) {
    if (HasDataModule1() && DataModule1().IsInitNewRecord())
        return;
    if (!rows.isOpen() || (rows.isEmpty() && !rows.isEditing()) || validTaetigkeit(rows))
        return;
    if (openEditor)
        openEditor();
    if (!validTaetigkeit(rows))
        throw DbError(InvalidObjTaetigText());
}

bool MoveObjTaetigRow(table::Table& rows, bool up) {
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
        const QVariantList own = contentOf(rows);
        if (up)
            rows.prior();
        else
            rows.next();
        otherKey = rows.field(0).value();
        const QVariantList other = contentOf(rows);
        replaceContent(rows, own);
        if (!rows.locate({keyField}, {ownKey}))
            throw DbError(u"Die Zeile wurde inzwischen gelöscht."_s);
        replaceContent(rows, other);
        tx.commit();
    } catch (const Abort&) {
        rows.locate({keyField}, {ownKey});
        throw;
    } catch (const DbError& e) {
        rows.locate({keyField}, {ownKey});
        throw DbError(u"Die Tätigkeit wurde nicht verschoben:\r"_s + e.message());
    }
    rows.locate({keyField}, {otherKey});
    return true;
}

void DropTaetigkeit(table::Table& rows, int taetigNr) {
    CancelEditOnError(rows, [&] {
        EnsureEditOrInsert(rows);
        rows.field(u"TS_Taetigkeit"_s).setValue(taetigNr);
        rows.post();
    });
}
