#pragma once

#include <QString>

struct DvGroup;

namespace table {
class Table;
}

// Changes to the rows of a document table (KundDV, ObjDV, PersDV) beyond
// typing: the group, the folder correction and the transfers between the
// customers' and the objects' documents. Questions and messages go through
// the message boxes of core/messages.h.

// Puts the current row into edit state and takes the group: key, type,
// mask, prefix and suffix always; the name and the default folder only
// where the row has none yet.
void ApplyDvGroup(table::Table& docs, int groupId, const DvGroup& group);

// The folder that the folder correction starts from: type 0 keeps it in
// OD_Path, types 4 and 5 in OD_Filename. False for any other type, after the
// message that the row needs no folder.
bool DocRowFolder(table::Table& docs, QString& folder);

// Moves the current row from oldFolder to newFolder and, with allRows,
// every row of the view (the owner's rows) whose folder equals oldFolder
// (case-sensitive, without the final separator). Files (CorrectDocPaths):
// OD_Path becomes the new folder with a final separator. Folders
// (CorrectDocFolders): OD_Path empty and OD_Filename the new folder.
// All or nothing: when a row cannot be written, no row is changed and a
// DbError names that row. The current row stays current.
void CorrectDocPaths(table::Table& docs, const QString& oldFolder, const QString& newFolder,
                     bool allRows);
void CorrectDocFolders(table::Table& docs, const QString& oldFolder, const QString& newFolder,
                       bool allRows);

// Copies the current customer document to the object numbered objektNr (0:
// nothing chosen), asking first when the object has a row of the same
// folder and file. True when a row was added.
bool TransferKdDocToObjekt(table::Table& kdDocs, int objektNr);
// Copies the current object document to the object's customer (the
// object's O_Kunde, 0 when it has none).
bool TransferObjDocToKunde(table::Table& objDocs, int kundeNr);
