#include "core/rights/login.h"

#include "core/rights/rights.h"
#include "core/settings/formplacement.h"
#include "core/settings/inifile.h"

using namespace Qt::StringLiterals;

namespace {

const QString kLoginSection = u"Login Dialog"_s;
const QString kLastUserKey = u"Last Logged User"_s;

} // namespace

bool CheckLoginUser(const QString& userName, const QString& password) {
    QString stored;
    if (!GetUserPassword(userName, stored) || stored != password)
        return false;
    SetCurrentUser(userName);
    return true;
}

LoginAttempts::Result LoginAttempts::attempt(const QString& userName, const QString& password) {
    if (m_attempts >= MaxLoginAttempts)
        return Result::Failed;
    ++m_attempts;
    if (CheckLoginUser(userName, password))
        return Result::Allowed;
    return m_attempts >= MaxLoginAttempts ? Result::Failed : Result::Refused;
}

QString ReadLastLoggedUser() {
    IniFile ini(FormPlacementFilePath(kPlacementFile01));
    ini.loadIfReadable();
    return ini.readString(kLoginSection, kLastUserKey);
}

void WriteLastLoggedUser(const QString& userName) {
    IniFile ini(FormPlacementFilePath(kPlacementFile01));
    ini.load();
    ini.writeString(kLoginSection, kLastUserKey, userName);
    ini.save();
}
