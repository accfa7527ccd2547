#include "masterdata/documentrows.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/messages/messages.h"
#include "masterdata/documenttargets.h"
#include "masterdata/objektadresse.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;

// The fields a transfer copies besides the owner key and the date.
const char* const kCopiedFields[] = {"OD_Gruppe",   "OD_GrID",   "OD_Kurztext", "OD_Path",
                                     "OD_Filename", "OD_Mask",   "OD_Suffix",   "OD_Prefix",
                                     "OD_Type",     "OD_Comment"};

// Where a folder correction reads and writes the folder.
struct FolderField {
    QString compared;         // the field holding the folder
    bool folderInPath = true; // files: the path; folders: the file name, path emptied
};

void moveRow(table::Table& docs, const FolderField& kind, const QString& newFolder) {
    EnsureEditOrInsert(docs);
    if (kind.folderInPath) {
        docs[u"OD_Path"_s] = WithFinalSeparator(newFolder);
    } else {
        docs[u"OD_Path"_s] = QString();
        docs[u"OD_Filename"_s] = newFolder;
    }
    docs.post();
}

QString rowName(table::Table& docs) {
    const QString text = FieldText(docs, u"OD_Kurztext"_s);
    return text.isEmpty() ? FieldText(docs, u"OD_Filename"_s) : text;
}

void correctFolders(table::Table& docs, const FolderField& kind, const QString& oldFolder,
                    const QString& newFolder, bool allRows) {
    const QString old = WithoutFinalSeparator(oldFolder);
    const table::Bookmark current = docs.bookmark();
    table::Transaction transaction(*docs.database());
    QString failedRow = rowName(docs);
    try {
        CancelEditOnError(docs, [&] { moveRow(docs, kind, newFolder); });
        if (allRows) {
            // Marked first: a changed row may move in the view's order.
            QList<table::Bookmark> rows;
            for (docs.first(); !docs.eof(); docs.next()) {
                const QString folder = WithoutFinalSeparator(FieldText(docs, kind.compared));
                if (!folder.isEmpty() && folder == old)
                    rows.append(docs.bookmark());
            }
            for (const table::Bookmark& row : rows) {
                docs.gotoBookmark(row);
                failedRow = rowName(docs);
                CancelEditOnError(docs, [&] { moveRow(docs, kind, newFolder); });
            }
        }
        transaction.commit();
    } catch (const Abort&) {
        throw;
    } catch (const std::exception& e) {
        // Nothing of the correction stays: the rows are read again as stored.
        // A DbError's text is the user's message.
        const QString reason = QString::fromUtf8(e.what());
        docs.refresh();
        if (docs.bookmarkValid(current))
            docs.gotoBookmark(current);
        throw DbError(u"Der Eintrag \"%1\" kann nicht geändert werden:\r%2\r\rEs wurde kein "
                      u"Eintrag geändert."_s.arg(failedRow, reason));
    }
    if (docs.bookmarkValid(current))
        docs.gotoBookmark(current);
}

// One direction of the transfer between customer and object documents.
struct DocTransfer {
    QString table;      // the receiving document table
    QString ownerField; // its owner key
    QString question;   // asked when the owner has the row already
    QString done;
    // The owner, found by its number.
    QString ownerTable, ownerNrField, ownerIdField;
    QString noOwner;      // shown for the number 0; empty: nothing chosen, silently
    QString unknownOwner; // shown when no owner has the number
};

bool copyRow(table::Table& from, const DocTransfer& to, int ownerId) {
    const QString path = FieldText(from, u"OD_Path"_s);
    const QString fileName = FieldText(from, u"OD_Filename"_s);
    auto target = OpenTempTable(kDb, to.table);
    if (target->locate({to.ownerField, u"OD_Path"_s, u"OD_Filename"_s},
                       {ownerId, path, fileName}) &&
        !AskYesNo(to.question))
        return false;
    const int id = GetNextId(*target, u"OD_ID"_s);
    target->append();
    CancelEditOnError(*target, [&] {
        (*target)[u"OD_ID"_s] = id;
        (*target)[to.ownerField] = ownerId;
        for (const char* name : kCopiedFields) {
            const QString field = QString::fromLatin1(name);
            (*target)[field] = from.value(field);
        }
        const QVariant date = from.value(u"OD_Date"_s);
        (*target)[u"OD_Date"_s] = date.isValid() ? date : QVariant(QDate::currentDate());
        target->post();
    });
    ShowInfo(to.done);
    return true;
}

bool transfer(table::Table& from, const DocTransfer& to, int ownerNr) {
    if (ownerNr == 0) {
        if (!to.noOwner.isEmpty())
            ShowError(to.noOwner);
        return false;
    }
    auto owners = OpenTempTable(kDb, to.ownerTable);
    if (!owners->locate({to.ownerNrField}, {ownerNr})) {
        ShowError(to.unknownOwner);
        return false;
    }
    return copyRow(from, to, FieldInt(*owners, to.ownerIdField));
}

} // namespace

void ApplyDvGroup(table::Table& docs, int groupId, const DvGroup& group) {
    EnsureEditOrInsert(docs);
    docs[u"OD_GrID"_s] = groupId;
    if (FieldText(docs, u"OD_Gruppe"_s).isEmpty())
        docs[u"OD_Gruppe"_s] = group.name;
    docs[u"OD_Type"_s] = group.kind;
    docs[u"OD_Mask"_s] = group.mask;
    docs[u"OD_Prefix"_s] = group.prefix;
    docs[u"OD_Suffix"_s] = group.suffix;
    if (FieldText(docs, u"OD_Path"_s).isEmpty())
        docs[u"OD_Path"_s] = group.defaultPath;
}

bool DocRowFolder(table::Table& docs, QString& folder) {
    switch (FieldInt(docs, u"OD_Type"_s)) {
    case DocFile:
        folder = FieldText(docs, u"OD_Path"_s);
        return true;
    case DocFolder:
    case DocExplore:
        folder = FieldText(docs, u"OD_Filename"_s);
        return true;
    default:
        ShowError(u"Diese Funktion benötigt keine Pfadangabe!"_s);
        return false;
    }
}

void CorrectDocPaths(table::Table& docs, const QString& oldFolder, const QString& newFolder,
                     bool allRows) {
    correctFolders(docs, {u"OD_Path"_s, true}, oldFolder, newFolder, allRows);
}

void CorrectDocFolders(table::Table& docs, const QString& oldFolder, const QString& newFolder,
                       bool allRows) {
    correctFolders(docs, {u"OD_Filename"_s, false}, oldFolder, newFolder, allRows);
}

bool TransferKdDocToObjekt(table::Table& kdDocs, int objektNr) {
    return transfer(kdDocs,
                    {.table = u"ObjDV.db"_s,
                     .ownerField = u"OD_ObjID"_s,
                     .question = u"Der Satz ist bereits beim Objekt eingetragen!\rMöchten Sie den "
                                 u"Satz trotzdem an das Objekt übergeben?"_s,
                     .done = u"Der Satz wurde an die Objektverwaltung übergeben."_s,
                     .ownerTable = u"Objekte.DB"_s,
                     .ownerNrField = u"O_Nr"_s,
                     .ownerIdField = u"O_ID"_s,
                     .unknownOwner = u"Unbekanntes Objekt!"_s},
                    objektNr);
}

bool TransferObjDocToKunde(table::Table& objDocs, int kundeNr) {
    return transfer(objDocs,
                    {.table = u"KundDV.DB"_s,
                     .ownerField = u"OD_KundID"_s,
                     .question = u"Der Satz ist bereits beim Kunden eingetragen!\rMöchten Sie den "
                                 u"Satz trotzdem an den Kunden übergeben?"_s,
                     .done = u"Der Satz wurde an die Kundenverwaltung übergeben."_s,
                     .ownerTable = u"Kunden.DB"_s,
                     .ownerNrField = u"K_Nr"_s,
                     .ownerIdField = u"K_ID"_s,
                     .noOwner = ObjektOhneKundeText(),
                     .unknownOwner = u"Unbekannter Kunde!"_s},
                    kundeNr);
}
