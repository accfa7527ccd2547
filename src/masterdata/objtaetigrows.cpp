#include "masterdata/objtaetigrows.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/data/rowcontent.h"
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
    try {
        return ExchangeRowWithNeighbour(rows, 1, up);
    } catch (const Abort&) {
        throw;
    } catch (const DbError& e) {
        throw DbError(u"Die Tätigkeit wurde nicht verschoben:\r"_s + e.message());
    }
}

void DropTaetigkeit(table::Table& rows, int taetigNr) {
    CancelEditOnError(rows, [&] {
        EnsureEditOrInsert(rows);
        rows.field(u"TS_Taetigkeit"_s).setValue(taetigNr);
        rows.post();
    });
}
