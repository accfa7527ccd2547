#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QList>
#include <QString>
#include <QVariant>

// The record lookup "Datenbank-Auswahl": the one modal window in which the
// user chooses a row of a table. Each call opens a cursor of its own on the
// table, so the data module's shared table object is never moved, filtered or
// re-indexed by a lookup.
//
// The caller describes the list as the picker's designed grid: its columns and
// its size, which also size the dialog (the grid's width; the grid's height
// plus the search and button bars).
struct LookupGrid {
    QList<widgets::GridColumn> columns;
    int width = 0;  // pixels; 0 fits the columns
    int height = 0; // pixels
};

// All four return true when the user chose a row ("&OK" or a double-click on
// a row), false when the dialog was left in any other way ("&Abbrechen", Esc,
// the close box) and also for "&OK" on an empty list or on a row whose key is
// null. Key (in and out): the row to start on; on true the chosen row's key,
// on false unchanged. SortField (in and out): the field to sort by at the
// start (empty: the key field); on every return the field of the last sort, so
// that the caller can hand it in again. Filter: a table filter expression
// (values as quoted literals, never pasted into SQL); empty lists every row.
// An error (a table that cannot be opened, a bad filter) reaches the caller
// after the dialog, its cursor and the timer-work state are cleaned up.
bool SelectRecord(const LookupGrid& grid, const QString& keyField, QVariant& key, int left, int top,
                  const QString& caption, const QString& databaseName, const QString& tableName,
                  QString& sortField, const QString& filter);
bool SelectRecordUnfiltered(const LookupGrid& grid, const QString& keyField, QVariant& key,
                            int left, int top, const QString& caption, const QString& databaseName,
                            const QString& tableName, QString& sortField);

// With two rich-text previews of the current row below the list (the right
// one only when previewField2 is not blank). Start row: with a locate field,
// the first row whose locate field begins with locateValue (without case),
// else the row of Key. Start sort: SortField, else the locate field, else the
// key field.
bool SelectRecordWithPreview(const LookupGrid& grid, const QString& keyField, QVariant& key,
                             const QString& locateField, const QString& locateValue, int left,
                             int top, const QString& caption, const QString& databaseName,
                             const QString& tableName, QString& sortField, const QString& filter,
                             const QString& previewField1, const QString& previewField2);
bool SelectRecordWithPreviewUnfiltered(const LookupGrid& grid, const QString& keyField,
                                       QVariant& key, const QString& locateField,
                                       const QString& locateValue, int left, int top,
                                       const QString& caption, const QString& databaseName,
                                       const QString& tableName, QString& sortField,
                                       const QString& previewField1, const QString& previewField2);
