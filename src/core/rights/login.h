#pragma once

#include <QString>

constexpr int MaxLoginAttempts = 3;

// The check of one login attempt against the program's rights file: the user
// exists (name without regard to case) and the password matches exactly
// (case kept, nothing trimmed). When allowed, the user becomes CurrentUser.
bool CheckLoginUser(const QString& userName, const QString& password);

// Counts the attempts of one login dialog.
class LoginAttempts {
public:
    enum class Result { Allowed, Refused, Failed }; // Failed: the last attempt was refused
    Result attempt(const QString& userName, const QString& password);
    int attemptsMade() const { return m_attempts; }

private:
    int m_attempts = 0;
};

// The user name of the last successful login, kept in the placement file
// "DomveraPlan01.ini", section "Login Dialog", key "Last Logged User".
QString ReadLastLoggedUser();
void WriteLastLoggedUser(const QString& userName);
