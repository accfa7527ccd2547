#pragma once

struct ListFormDecl;
struct TableFormDecl;

namespace table {
class Table;
}

// The external services "Fremdleistungen" (TF_Fremdleist): a read-only list
// of the services bought for objects, with the object's number and search
// term beside each, and the service's quantity, amounts and text.
TableFormDecl FremdleistTableDecl();
ListFormDecl FremdleistFormDecl();

// Opens the list modally on the external-service table.
void ShowFremdleistForm();

// The display fields "ObjNr" and "ObjName" of a cursor on the external
// services: number and search term of the object whose key S_ObjID holds.
// Once per cursor (see AddDisplayFields).
void AddFremdleistObjectFields(table::Table& services);
