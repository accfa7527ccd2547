#include "printing/printformmanager.h"

#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "core/data/printforms.h"
#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString kLayoutMask = u"ORM?????.QFD"_s;

// The target of a copy into the layout directory: the file of that name
// under any case, else the name as given.
QString layoutTarget(const QString& name) {
    const QString found = FindFileIgnoringCase(QrfdDir, name);
    return found.isEmpty() ? QrfdDir + name : found;
}

const QString kForms = u"QrFrmDef.DB"_s;

void fillNewUserForm(table::Table& user, table::Table& system) {
    const int type = FieldInt(system, u"Q_FormType"_s);
    const int id = NewUserFormId(type);
    if (id == 0) {
        ShowError(u"Ungültiger Formular-Typ"_s);
        throw Abort{};
    }
    user[u"QF_ID"_s] = id;
    user[u"Q_FormType"_s] = type;
    user[u"Q_Protect"_s] = false;
    user[u"Q_Filename"_s] = LayoutFileName(id);
    user[u"Q_Comment"_s] = QString();
}

bool sameDirectory(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

} // namespace

int NewUserFormId(int formType) {
    for (int id = formType + 1; id <= formType + 99; ++id) {
        if (!PrintFormExists(id) && FindFileIgnoringCase(QrfdDir, LayoutFileName(id)).isEmpty())
            return id;
    }
    return 0;
}

bool IsHeadCopyAllowed(int formType) {
    switch (formType) {
    case 11000:
    case 12000:
    case 13000:
    case 14000:
    case 40000:
    case 57000:
    case 76000:
        return true;
    default:
        return false;
    }
}

bool CopyLayoutFile(const QString& sourcePath, int targetFormId) {
    const QString source = ExistingLayoutFile(sourcePath);
    if (source.isEmpty())
        return false;
    return CopyFileKeepDate(source, LayoutFilePath(targetFormId));
}

bool DeleteLayoutFile(const QString& fileName) {
    const QString found = FindFileIgnoringCase(QrfdDir, fileName);
    return found.isEmpty() || DeleteFileForced(found);
}

int ImportLayoutDirectory(const QString& dir) {
    const QStringList names =
        QDir(dir).entryList({kLayoutMask}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    if (sameDirectory(dir, QrfdDir))
        return int(names.size());
    int copied = 0;
    for (const QString& name : names) {
        if (!CopyFileKeepDate(QDir(dir).filePath(name), layoutTarget(name))) {
            ShowError(u"Datei "_s + name + u"\rkann nicht kopiert werden"_s);
            break;
        }
        ++copied;
    }
    return copied;
}

PrintFormCursors::PrintFormCursors() = default;
PrintFormCursors::~PrintFormCursors() = default;
PrintFormCursors::PrintFormCursors(PrintFormCursors&&) noexcept = default;
PrintFormCursors& PrintFormCursors::operator=(PrintFormCursors&&) noexcept = default;

PrintFormCursors MakePrintFormCursors() {
    PrintFormCursors cursors;
    const std::shared_ptr<table::Database> db = table::aliases::database(u"LumoDB"_s);
    cursors.system = std::make_unique<table::Table>(db, kForms);
    table::Table& system = *cursors.system;
    system.setIndexName(u"I_Comment"_s);
    system.setFilter(u"Q_Protect='true'"_s);
    system.setFiltered(true);
    system.setReadOnly(true);
    cursors.user = std::make_unique<table::Table>(db, kForms);
    table::Table& user = *cursors.user;
    user.setIndexName(u"Q_I_Formtype"_s);
    user.setFilter(u"Q_Protect='false'"_s);
    user.setFiltered(true);
    user.setMaster(&system, {u"Q_FormType"_s}, {u"Q_FormType"_s});
    user.onNewRecord += [&system](table::Table& t) { fillNewUserForm(t, system); };
    return cursors;
}

QString UserFormLayoutPath(table::Table& user) {
    const QString name = FieldText(user, u"Q_Filename"_s).trimmed();
    return QrfdDir + (name.isEmpty() ? LayoutFileName(FieldInt(user, u"QF_ID"_s)) : name);
}

void CopyUserForm(table::Table& user) {
    if (user.isEmpty())
        return;
    const QString source = UserFormLayoutPath(user);
    const QString comment = FieldText(user, u"Q_Comment"_s);
    user.append();
    user[u"Q_Comment"_s] = comment;
    const int id = FieldInt(user, u"QF_ID"_s);
    // A form never designed has no file; the copy then opens as designed too.
    if (!ExistingLayoutFile(source).isEmpty() && !CopyLayoutFile(source, id))
        ShowError(u"Die Layoutdatei\r"_s + source + u"\rkonnte nicht nach "_s + LayoutFileName(id) +
                  u" kopiert werden."_s);
}

bool DeleteUserForm(table::Table& user) {
    if (user.isEmpty() || !AskYesNo(u"Datensatz löschen?"_s))
        return false;
    const QString path = UserFormLayoutPath(user);
    user.deleteRecord();
    if (!DeleteLayoutFile(QFileInfo(path).fileName()))
        ShowError(u"Die Layoutdatei\r"_s + path + u"\rkonnte nicht gelöscht werden."_s);
    return true;
}

void HeadCopyUserForm(table::Table& user) {
    if (user.isEmpty())
        return;
    if (!IsHeadCopyAllowed(FieldInt(user, u"Q_FormType"_s))) {
        ShowError(u"Funktion ist für dieses Formular nicht erlaubt!"_s);
        return;
    }
    if (!AskYesNo(u"Aktuelles Formular an das erste Rechnungsformular (ORM10001.QFD) anpassen?"_s))
        return;
    const QString source = LayoutFilePath(kHeadCopySourceId);
    const QString target = UserFormLayoutPath(user);
    const QString existing = ExistingLayoutFile(target);
    if (!ExistingLayoutFile(source).isEmpty() &&
        CopyFileKeepDate(source, existing.isEmpty() ? target : existing))
        ShowInfo(u"Aktuelles Formular wurde an Rechnungslayout 1 angepasst"_s);
    else
        ShowError(u"Die Formularanpassung ist fehlgeschlagen.\rPrüfen Sie, ob "
                  u"Rechnungsformular 1 (ORM10001.QFD) existiert!"_s);
}

void ImportLayouts(const std::function<QString()>& chooseDirectory) {
    if (!AskYesNo(u"Vorhandene Formular-Layouts werden beim Import möglicherweise ersetzt!\r"
                  u"Möchten Sie den Import trotzdem durchführen?"_s))
        return;
    const QString dir = chooseDirectory ? chooseDirectory() : QString();
    if (dir.isEmpty())
        return;
    const int count = ImportLayoutDirectory(dir);
    ShowInfo(u"Es wurden %1 Layouts importiert!"_s.arg(count));
    ImportLayoutFiles();
}
