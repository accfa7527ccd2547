#pragma once

#include <QString>

// The per-user settings directory that stands in for the Windows directory
// (markers, form placement files): $DOMVERA_WINDIR, else ~/.config/Domvera.
// Created when missing.
QString WindowsDirectory();

// The program directory when none is given: $DOMVERA_HOME, else
// ~/.local/share/Domvera.
QString DefaultProgramDirectory();
