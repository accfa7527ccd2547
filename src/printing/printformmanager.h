#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace table {
class Table;
}

// The rules of the print-form manager that need no window.

// The manager's two cursors on "QrFrmDef.DB", not yet opened: the system
// rows (the catalogue of form types) by name, read-only, and the user rows
// of the selected system row's form type. Every append to the user cursor
// follows the new-row rule: the next free id of the type, its file name, not
// protected and without description; "Ungültiger Formular-Typ" and no row
// when the type has no free id left.
struct PrintFormCursors {
    PrintFormCursors();
    ~PrintFormCursors();
    PrintFormCursors(PrintFormCursors&&) noexcept;
    PrintFormCursors& operator=(PrintFormCursors&&) noexcept;
    std::unique_ptr<table::Table> system;
    std::unique_ptr<table::Table> user;
};
PrintFormCursors MakePrintFormCursors();

// The layout path of the current user row.
QString UserFormLayoutPath(table::Table& user);

// "Kopieren": a new row for the current one's type with its description,
// and its layout file copied to the new row's file (a failed copy is shown).
// The new row stays unposted for the user.
void CopyUserForm(table::Table& user);
// "Löschen": after "Datensatz löschen?" the row goes first, then its layout
// file, so a refused delete keeps the layout. False when nothing was deleted.
bool DeleteUserForm(table::Table& user);
// "Kopf-Kopie": the invoice's first layout over the current form's, for the
// document forms sharing its letter head, after a question.
void HeadCopyUserForm(table::Table& user);
// "Importieren": after the warning, the layout files of the chosen directory
// (empty: cancelled) come into the layout directory and are registered.
void ImportLayouts(const std::function<QString()>& chooseDirectory);

// The id of a new user form of a form type: the smallest id of its hundred
// above the type (type + 1 to type + 99) that neither a row of "QrFrmDef.DB"
// nor a layout file in the layout directory (under any case) uses; 0 when
// all are taken, since an id beyond them would name another form type.
int NewUserFormId(int formType);

// "Kopf-Kopie": the document forms that share the invoice's letter head.
bool IsHeadCopyAllowed(int formType);
inline constexpr int kHeadCopySourceId = 10001;

// Copies a layout file with its date onto the layout file of another form,
// replacing that under whatever case it has. False when it failed.
bool CopyLayoutFile(const QString& sourcePath, int targetFormId);

// Deletes the layout file of a form (under any case); true also when there
// is none. False when a file stays.
bool DeleteLayoutFile(const QString& fileName);

// The import's step of files: from another directory every "ORM?????.QFD"
// is copied into the layout directory, replacing files of the same name
// under any case; from the layout directory itself they are only counted.
// A failed copy is shown and ends the copying. The number copied or counted.
int ImportLayoutDirectory(const QString& dir);
