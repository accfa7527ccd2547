#include "core/rights/rightsstore.h"

#include "core/files/filehelpers.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/rights/credentials.h"
#include "core/rights/rightstexts.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

RightsStore::~RightsStore() {
    unlock();
}

void RightsStore::setDirectory(const QString& programDir) {
    m_dir = programDir;
}

QString RightsStore::fileName() const {
    return QDir(m_dir).filePath(u"Rights.dat"_s);
}

QString RightsStore::lockFileName() const {
    return QDir(m_dir).filePath(u"Rights.lck"_s);
}

bool RightsStore::fileExists() const {
    return QFileInfo::exists(fileName());
}

void RightsStore::load() {
    QFile file(fileName());
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(LoadMessage(MsgRightsFileMissing));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DbError(u"Die Rechtedatei konnte nicht gelesen werden:\r"_s + file.errorString());
    m_list = TUserList(DecodeRightsFile(bytes));
}

bool RightsStore::isLocked() const {
    return QFileInfo::exists(lockFileName());
}

bool RightsStore::createLockFile() {
    if (m_lockHeld)
        return true;
    if (isLocked()) {
        ShowError(LoadMessage(MsgRightsFileLocked));
        return false;
    }
    // NewOnly creates the file only when it does not exist, in one step, so
    // of two workstations trying at once exactly one gets the lock.
    QFile file(lockFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        ShowError(LoadMessage(isLocked() ? MsgRightsFileLocked : MsgRightsFileNotLockable));
        return false;
    }
    file.close();
    m_lockHeld = true;
    return true;
}

bool RightsStore::lock() {
    if (m_lockHeld)
        return true;
    if (!createLockFile())
        return false;
    try {
        load();
    } catch (const DbError& error) {
        unlock();
        ShowError(error.message());
        return false;
    }
    return true;
}

void RightsStore::unlock() {
    if (!m_lockHeld)
        return;
    m_lockHeld = false;
    QFile::remove(lockFileName());
}

void RightsStore::removeLockFile() {
    m_lockHeld = false;
    if (isLocked())
        DeleteFileForced(lockFileName());
}

bool RightsStore::save() {
    if (!m_lockHeld)
        throw DbError(u"Die Rechtedatei darf nur unter ihrer Sperre geschrieben werden."_s);
    QByteArray bytes;
    try {
        bytes = EncodeRightsFile(m_list.records());
    } catch (const DbError& error) {
        ShowError(LoadMessage(MsgRightsFileNotSaved) + u"\r"_s + error.message());
        return false;
    }
    if (WriteDataFile(fileName(), bytes, FileAccess::NoOthers) != DataFileWrite::Written) {
        ShowError(LoadMessage(MsgRightsFileNotSaved));
        return false;
    }
    return true;
}

template <typename Change> bool RightsStore::change(Change&& apply) {
    const TUserList before = m_list;
    if (!apply(m_list))
        return false;
    if (save())
        return true;
    m_list = before;
    return false;
}

bool RightsStore::saveUserRec(const TUserRec& rec) {
    return change([&](TUserList& list) { return list.putUserRec(rec); });
}

bool RightsStore::setUserPassword(const QString& name, const QString& password) {
    return change([&](TUserList& list) { return list.setUserPassword(name, password); });
}

bool RightsStore::addUser(TUserRec& rec, TUserKind kind) {
    return change([&](TUserList& list) {
        list.addUser(rec, kind);
        return true;
    });
}

bool RightsStore::deleteUser(const QString& name) {
    return change([&](TUserList& list) { return list.deleteUser(name); });
}

bool RightsStore::saveGroupRec(const TUserRec& rec) {
    return change([&](TUserList& list) { return list.putGroupRec(rec); });
}

bool RightsStore::addGroup(TUserRec& rec) {
    return change([&](TUserList& list) { return list.addGroup(rec); });
}

bool RightsStore::deleteGroup(const QString& name) {
    return change([&](TUserList& list) { return list.deleteGroup(name); });
}

bool RightsStore::createWithFirstMaster(const QString& name, const QString& password) {
    if (fileExists()) {
        ShowError(u"Es gibt bereits eine Rechtedatei."_s);
        return false;
    }
    const TUserList empty{QList<TUserRec>(GroupSlotCount)};
    QString problem = UserNameProblem(name, empty);
    if (problem.isEmpty())
        problem = PasswordProblem(password);
    if (!problem.isEmpty()) {
        ShowError(problem);
        return false;
    }
    if (!createLockFile())
        return false;
    // Another start may have written the file between the test and the lock.
    if (fileExists()) {
        unlock();
        ShowError(u"Es gibt bereits eine Rechtedatei."_s);
        return false;
    }
    m_list = empty;
    TUserRec master;
    master.name = name;
    master.password = password;
    for (int nr = 1; nr <= CheckedFunctionCount; ++nr)
        master.rights.set(nr, rbAllRights);
    m_list.addUser(master, ukMaster);
    const bool saved = save();
    unlock();
    return saved;
}
