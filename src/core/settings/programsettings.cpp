#include "core/settings/programsettings.h"

int MandantNr = 1;
QString VersionText = QStringLiteral("v2.40");
int DbVersion = 0;
bool DbUpgraded = false;
bool SoundsOn = true;
bool ServiceMode = false;
bool NoSplash = false;
bool NewClientLayouts = false;
bool LoginActive = false;
QString CurrentUserText;
