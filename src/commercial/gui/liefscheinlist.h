#pragma once

#include "commercial/gui/doclistdecl.h"

#include <QBrush>

namespace widgets {
class RowReader;
}

// "Lieferscheine": the list of the delivery notes on the data module's
// shared delivery-note tables, declared on the document-list host.
TDocListDecl LiefscheinListDeclaration();

// Opens the delivery-note list (the caller checked the use right of number 23).
void ShowLiefscheinForm();

// The "Geliefert" cell of a normal line (kind 0) turns light green once the
// line is delivered (quantity less delivered below 0.001).
QBrush DeliveredCellBrush(widgets::RowReader& rows, int row, const QString& field);

// The line columns of the lists whose lines are delivered (orders, delivery
// notes), "Geliefert" among them.
QList<widgets::GridColumn> DeliveredLineColumns();

// "Ablage": unfinished marked notes are offered to be left out, then the
// remaining marks are counted and the move confirmed; false stops.
bool ConfirmDeliveryNoteArchive(TF_DocList& list);
