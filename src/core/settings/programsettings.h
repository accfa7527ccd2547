#pragma once

#include <QString>

// Process-wide settings of one run.
extern int MandantNr;
extern QString VersionText;
extern int DbVersion;
extern bool DbUpgraded;
extern bool SoundsOn;
extern bool ServiceMode;
extern bool NoSplash;
extern bool NewClientLayouts;
extern bool LoginActive;
// Client number and user name of the active session, written into the log
// and the record stamps.
extern QString CurrentUserText;

constexpr int CurrentDbVersion = 240;
