#pragma once

#include "core/rights/rightsfile.h"

#include <QString>

class RightsStore;

// The logged-in user's record; all zero until a login succeeds.
extern TUserRec CurrentUser;

// The program's rights file in ProgramDir, loaded once at start-up.
RightsStore& ProgramRights();

// Loads "Rights.dat" from ProgramDir and installs the delete guard's rights
// check. Clears CurrentUser. When the file is missing or damaged the reason
// is shown and the result is false: the program cannot be used.
bool LoadRights();
// The lock of the program's rights file; UnlockRights removes only a lock
// this process holds.
bool LockRights();
void UnlockRights();
bool IsRightsLocked();
// Deletes "Rights.lck" whoever left it; only for a client activation while
// this workstation is the only user of the database.
void RemoveStaleRightsLock();

// Right checks of the current user. Function numbers outside 1..64 have no
// right.
bool HasRight(int nr, int mask);
bool HasViewRight(int nr);
bool HasPrintRight(int nr);
bool HasEditRight(int nr);
bool HasCreateRight(int nr);
bool HasExportRight(int nr);
bool HasDeleteRight(int nr);
// The same, showing the refusal as an information box.
bool CheckViewRight(int nr);
bool CheckCreateRight(int nr);
bool CheckExportRight(int nr);
bool CheckDeleteRight(int nr);

// The user of the program's list (names without regard to case).
bool GetUserPassword(const QString& name, QString& password);
// Makes that user the current user; nothing when the name is unknown.
void SetCurrentUser(const QString& name);
void GetCurrentUserRec(TUserRec& rec);
QString GetCurrentUserName();
char GetCurrentUserKind();
bool IsPlainUser();
bool IsMasterUser();
// Stores the user's new password (which must pass PasswordProblem) and
// refreshes CurrentUser; needs the lock. False when the user is unknown or the
// file could not be saved.
bool ChangeOwnPassword(const QString& name, const QString& newPassword);

// The name of function nr as the editors show it; empty for 64..80 and others.
QString GetRightName(int nr);
// The caption of rights column 1..6 ("ansehen" ... "löschen").
QString GetRightColumnName(int column);

// Installs the check that the delete guard asks.
void InstallRightsChecker();

// Whether the program directory belongs to a new installation: no
// "Rights.dat" and no data directory of any client.
bool IsNewInstallation();
