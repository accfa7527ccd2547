#include "masterdata/dialogs/selectrecord.h"

#include "core/data/timerworkpause.h"
#include "masterdata/dialogs/dbselectrules.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/table/table.h"

namespace {

struct Previews {
    QString locateField;
    QString locateValue;
    QString field1;
    QString field2;
};

bool runLookup(const LookupGrid& grid, const QString& keyField, QVariant& key, int left, int top,
               const QString& caption, const QString& databaseName, const QString& tableName,
               QString& sortField, const QString& filter, const Previews& previews) {
    // Declared first, so it resumes the timer work only after the dialog and
    // its cursor are gone, on every path.
    TimerWorkPause paused;
    TF_DbSelect dialog;
    dialog.setWindowTitle(caption);
    dialog.openLookup(databaseName, tableName, filter);
    dialog.setSortField(sortField);
    dialog.showLookup(grid, left, top, previews.field1, previews.field2);
    dialog.sortBy(LookupStartSort(dialog.sortField(), previews.locateField, keyField));
    dialog.positionOn(keyField, key, previews.locateField, previews.locateValue);
    dialog.exec();

    sortField = dialog.sortField();
    bool chosen = dialog.okFlag();
    if (chosen) {
        // No caller can use a null key: "&OK" on an empty list or on a row
        // without a key counts as no choice.
        table::Table& lookup = *dialog.lookupTable();
        const table::Field* field = lookup.isEmpty() ? nullptr : lookup.findField(keyField);
        if (!field || field->isNull())
            chosen = false;
        else
            key = field->value();
    }
    dialog.closeLookup();
    return chosen;
}

} // namespace

bool SelectRecord(const LookupGrid& grid, const QString& keyField, QVariant& key, int left, int top,
                  const QString& caption, const QString& databaseName, const QString& tableName,
                  QString& sortField, const QString& filter) {
    return runLookup(grid, keyField, key, left, top, caption, databaseName, tableName, sortField,
                     filter, {});
}

bool SelectRecordUnfiltered(const LookupGrid& grid, const QString& keyField, QVariant& key,
                            int left, int top, const QString& caption, const QString& databaseName,
                            const QString& tableName, QString& sortField) {
    return SelectRecord(grid, keyField, key, left, top, caption, databaseName, tableName, sortField,
                        QString());
}

bool SelectRecordWithPreview(const LookupGrid& grid, const QString& keyField, QVariant& key,
                             const QString& locateField, const QString& locateValue, int left,
                             int top, const QString& caption, const QString& databaseName,
                             const QString& tableName, QString& sortField, const QString& filter,
                             const QString& previewField1, const QString& previewField2) {
    return runLookup(grid, keyField, key, left, top, caption, databaseName, tableName, sortField,
                     filter, {locateField, locateValue, previewField1, previewField2});
}

bool SelectRecordWithPreviewUnfiltered(const LookupGrid& grid, const QString& keyField,
                                       QVariant& key, const QString& locateField,
                                       const QString& locateValue, int left, int top,
                                       const QString& caption, const QString& databaseName,
                                       const QString& tableName, QString& sortField,
                                       const QString& previewField1, const QString& previewField2) {
    return SelectRecordWithPreview(grid, keyField, key, locateField, locateValue, left, top,
                                   caption, databaseName, tableName, sortField, QString(),
                                   previewField1, previewField2);
}
