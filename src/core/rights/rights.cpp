#include "core/rights/rights.h"

#include "core/files/deleteguard.h"
#include "core/files/programdirs.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "core/rights/rightsstore.h"
#include "core/rights/rightstexts.h"
#include "platform/errors.h"

#include <QFileInfo>

TUserRec CurrentUser;

namespace {

class CurrentUserRightsChecker : public RightsChecker {
public:
    bool CheckDeleteRight(int functionNr) override { return ::CheckDeleteRight(functionNr); }
};

bool checkWithNotice(int nr, int mask, RightsText refusal) {
    if (HasRight(nr, mask))
        return true;
    ShowInfo(LoadMessage(refusal));
    return false;
}

} // namespace

RightsStore& ProgramRights() {
    static RightsStore store;
    return store;
}

bool LoadRights() {
    CurrentUser = TUserRec();
    RightsStore& store = ProgramRights();
    store.setDirectory(ProgramDir);
    try {
        store.load();
    } catch (const DbError& error) {
        ShowError(error.message());
        return false;
    }
    InstallRightsChecker();
    return true;
}

bool LockRights() {
    ProgramRights().setDirectory(ProgramDir);
    return ProgramRights().lock();
}

void UnlockRights() {
    ProgramRights().unlock();
}

bool IsRightsLocked() {
    ProgramRights().setDirectory(ProgramDir);
    return ProgramRights().isLocked();
}

void RemoveStaleRightsLock() {
    ProgramRights().setDirectory(ProgramDir);
    ProgramRights().removeLockFile();
}

bool HasRight(int nr, int mask) {
    if (nr < 1 || nr > CheckedFunctionCount)
        return false;
    return (CurrentUser.rights.at(nr) & mask) != 0;
}

bool HasViewRight(int nr) {
    return HasRight(nr, rbView);
}
bool HasPrintRight(int nr) {
    return HasRight(nr, rbPrint);
}
bool HasEditRight(int nr) {
    return HasRight(nr, rbEdit);
}
bool HasCreateRight(int nr) {
    return HasRight(nr, rbCreate);
}
bool HasExportRight(int nr) {
    return HasRight(nr, rbExport);
}
bool HasDeleteRight(int nr) {
    return HasRight(nr, rbDelete);
}

bool CheckViewRight(int nr) {
    return checkWithNotice(nr, rbView, MsgNoFunctionRight);
}
bool CheckCreateRight(int nr) {
    return checkWithNotice(nr, rbCreate, MsgNoCreateRight);
}
bool CheckExportRight(int nr) {
    return checkWithNotice(nr, rbExport, MsgNoExportRight);
}
bool CheckDeleteRight(int nr) {
    return checkWithNotice(nr, rbDelete, MsgNoDeleteRight);
}

bool GetUserPassword(const QString& name, QString& password) {
    return ProgramRights().list().getUserPassword(name, password);
}

void SetCurrentUser(const QString& name) {
    TUserRec rec;
    if (ProgramRights().list().getUserRecByName(name, rec))
        CurrentUser = rec;
}

void GetCurrentUserRec(TUserRec& rec) {
    rec = CurrentUser;
}

QString GetCurrentUserName() {
    return CurrentUser.name;
}

char GetCurrentUserKind() {
    return CurrentUser.kind;
}

bool IsPlainUser() {
    return CurrentUser.kind == ukUser;
}

bool IsMasterUser() {
    return CurrentUser.kind == ukMaster;
}

bool ChangeOwnPassword(const QString& name, const QString& newPassword) {
    if (!ProgramRights().setUserPassword(name, newPassword))
        return false;
    SetCurrentUser(name);
    return true;
}

QString GetRightName(int nr) {
    if (nr < 1 || nr > CheckedFunctionCount - 1)
        return {};
    return LoadMessage(quint16(MsgRightNameBase + nr));
}

QString GetRightColumnName(int column) {
    if (column < 1 || column > 6)
        return {};
    return LoadMessage(quint16(MsgRightColumnBase + column - 1));
}

void InstallRightsChecker() {
    static CurrentUserRightsChecker checker;
    SetRightsChecker(&checker);
}

bool IsNewInstallation() {
    if (QFileInfo::exists(ProgramDir + QStringLiteral("Rights.dat")))
        return false;
    for (int mandant = 0; mandant <= MaxMandantNr; ++mandant)
        if (QFileInfo::exists(GetMandantDataDir(mandant)))
            return false;
    return true;
}
