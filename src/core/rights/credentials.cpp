#include "core/rights/credentials.h"

#include "core/messages/messagecatalog.h"
#include "core/rights/rightstexts.h"
#include "core/rights/userlist.h"
#include "core/values/conversions.h"

QString TrimmedInput(const QString& text) {
    return TrimStr(text);
}

QString UserNameProblem(const QString& name, const TUserList& list) {
    if (name.size() < UserNameMinLength)
        return LoadMessage(MsgUserNameTooShort);
    TUserRec existing;
    if (list.getUserRecByName(name, existing))
        return LoadMessage(MsgUserNameTaken);
    if (name.size() > UserNameMaxLength)
        return LoadMessage(MsgUserNameTooLong);
    if (!FitsWindowsCodePage(name))
        return LoadMessage(MsgUserNameBadChars);
    return {};
}

QString PasswordProblem(const QString& password) {
    if (password.size() < PasswordMinLength)
        return LoadMessage(MsgPasswordTooShort);
    if (password.size() > PasswordMaxLength)
        return LoadMessage(MsgPasswordTooLong);
    if (!FitsWindowsCodePage(password))
        return LoadMessage(MsgPasswordBadChars);
    return {};
}

QString GroupNameProblem(const QString& name) {
    if (name.isEmpty())
        return LoadMessage(MsgGroupNameEmpty);
    if (name.size() > UserNameMaxLength)
        return LoadMessage(MsgGroupNameTooLong);
    if (!FitsWindowsCodePage(name))
        return LoadMessage(MsgGroupNameBadChars);
    return {};
}
