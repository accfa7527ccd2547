#pragma once

#include <QString>

class TUserList;

constexpr int UserNameMinLength = 4;
constexpr int PasswordMinLength = 6;

// What the user typed, without leading and trailing blanks and control
// characters.
QString TrimmedInput(const QString& text);

// Each gives the German message that refuses the text, or an empty text when
// it can be stored. Texts that are too long or hold characters the Windows
// code page cannot store are refused, never cut or altered.
QString UserNameProblem(const QString& name, const TUserList& list);
QString PasswordProblem(const QString& password);
// A group name must not be empty (an empty name marks a free slot).
QString GroupNameProblem(const QString& name);
