#pragma once

#include "platform/widgets/datagridmodel.h"

#include <QList>
#include <QString>
#include <QVariant>

struct LookupGrid;

// The pickers: every "Select..." function that lets the user choose one
// master record is one row of a single table, run by one mechanism over the
// record lookup (selectrecord.h). The functions in pickers.h only fill a
// PickerCall and convert the outcome.
//
// Adding a picker: add a PickerRow to the table in pickertable.cpp (a row
// says everything the picker does differently), then a thin function that
// names the row, fills the PickerCall with its arguments and converts
// RunPicker's outcome to its result type.

// The arguments of one call. Each row reads only those it needs.
struct PickerCall {
    QVariant start;     // the start number, id or text; the row of this key opens
    int gridHeight = 0; // pixels; 0 (or a row with a fixed height): the designed one
    int left = 0;       // screen position of the dialog
    int top = 0;
    QString* sortField = nullptr; // the caller's sort-field variable (see PickerSort)
    QString searchText;           // rows with a locate field: the text a start of 0 opens on
    int objectId = 0;             // articles, external services: the object's id (0 central)
    int objectNr = 0;             // templates: only this object's documents (0 all)
    int customerNr = 0;           // objects of a customer
    int supplierId = 0;           // a supplier's articles: the supplier's K_ID
    int weekday = 0;              // tours of a weekday
    QString databaseName;         // rows without a table of their own: the caller's
    QString tableName;
    QString caption; // rows without a caption of their own: the caller's
};

// What a row hands back when the user did not choose.
enum class PickerCancel {
    StartValue, // the start value of the call
    Zero,       // the number 0 (the address picker)
    EmptyText,  // the empty text (the postcode picker)
};

// How a row treats the caller's sort field.
enum class PickerSort {
    In,    // a copy is handed to the lookup: a sort chosen by a title click is forgotten
    InOut, // the caller's variable receives the last sort
    Empty, // always starts sorted by the key; nothing goes back
};

struct PickerRow {
    QString name;                       // the picker function, e.g. "SelectObjekt"
    QString form;                       // the picker form the row stands for, e.g. "TF_SelObjekt"
    QList<widgets::GridColumn> columns; // titles, fields and widths in characters
    int gridHeight = 240;               // the designed grid height in pixels
    bool fixedHeight = false;           // the call's grid height is ignored
    int gridWidth = 0;                  // pixels; 0 fits the columns

    // The table: alias and file; an empty alias takes the call's alias and table.
    QString databaseName;
    QString tableName;
    QString keyField;

    quint16 captionMessage = 0; // catalog number of the caption
    QString caption;            // the fixed caption; with neither, the call's

    // The filter expression for the call; none lists every row.
    QString (*filter)(const PickerCall& call) = nullptr;
    // The key of the start row; none takes the call's start value.
    QVariant (*startKey)(const PickerCall& call) = nullptr;
    // With a locate field, a start value of 0 opens on the first row whose
    // locate field begins with the call's search text (without case).
    QString locateField;
    // Rich-text previews below the list (left and right).
    QString previewField1;
    QString previewField2;

    // The result of a choice, from the chosen key; none hands the key back.
    QVariant (*okResult)(const QVariant& key) = nullptr;
    PickerCancel cancel = PickerCancel::StartValue;
    // The picker pauses and restores the timer work itself (the lookup always
    // does so too).
    bool pausesTimer = true;
    PickerSort sort = PickerSort::In;
};

struct PickerOutcome {
    bool chosen = false;
    QVariant value; // the row's OK result, or its cancel result
};

// Every row of the table, in the order of the table.
const QList<PickerRow>& PickerTable();
// The row named so; raises when there is none (a programming error).
const PickerRow& PickerRowNamed(const QString& name);

// Runs one picker: the lookup over the row's table with the call's values.
// Errors of the lookup reach the caller after the timer work is restored.
PickerOutcome RunPicker(const PickerRow& row, PickerCall& call);

// The grid that a row lends the lookup for a call, and its caption.
LookupGrid PickerGrid(const PickerRow& row, const PickerCall& call);
QString PickerCaption(const PickerRow& row, const PickerCall& call);
