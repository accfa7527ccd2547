#pragma once

#include <QtGlobal>

// Catalog numbers of the texts of users, login and rights.
enum RightsText : quint16 {
    MsgNoFunctionRight = 64888,
    MsgNoCreateRight = 64889,
    MsgNoExportRight = 64890,
    MsgNoDeleteRight = 64891,

    MsgRightsFileMissing = 64900,
    MsgRightsFileLocked = 64901,
    MsgRightsFileNotLockable = 64902,
    MsgPasswordTooShort = 64903,
    MsgEnterNewPassword = 64905,
    MsgPasswordChangeCaption = 64906,
    MsgPasswordTooLong = 64907,
    MsgUserNameTooShort = 64908,
    MsgUserNameTaken = 64909,
    MsgUserNameTooLong = 64910,
    MsgUserNameBadChars = 64911,
    MsgPasswordBadChars = 64912,
    MsgNoUserAdminRight = 64914,
    MsgNoGroupAdminRight = 64915,
    MsgSaveUserChanges = 64916,
    MsgDeleteUser = 64917,
    MsgSaveGroupChanges = 64918,
    MsgDeleteGroup = 64919,
    MsgNoFreeGroupSlot = 64920,
    MsgGroupNameTooLong = 64921,
    MsgGroupNameBadChars = 64922,
    MsgPasswordsDiffer = 64923,
    MsgGroupNameEmpty = 64924,
    MsgEnterLogin = 64925,
    MsgPasswordSaved = 64926,
    MsgRightsFileNotSaved = 64927,

    // 64930 + function number 1..63: the names of the functions.
    MsgRightNameBase = 64930,
    // 64994 + column 0..5: "ansehen" ... "löschen".
    MsgRightColumnBase = 64994,
};
