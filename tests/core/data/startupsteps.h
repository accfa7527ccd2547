#pragma once

// The start-up as the program's main runs it, without its windows: markers
// and interrupted swaps, directories, template, version check or upgrade,
// data module, client creation and activation; then, when asked, the
// creation of another client from the client menu. ProgramDir and the
// message presenter are set by the caller.
#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/data/recordrules.h"
#include "core/data/startclient.h"
#include "core/messages/messages.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "dbstructure/upgrade.h"
#include "platform/errors.h"
#include "platform/table/database.h"

namespace startuptest {

// 0 when the client is active; otherwise the step that ended the start. A
// DbError is shown as the program shows it.
inline int RunStartup(int createClient = 0) {
    dbstructure::InstallDatabaseUpgrader();
    DbUpgraded = false;
    int rc = 0;
    try {
        GetWindowsDir();
        ProcessStartMarkers();
        MandantNr = ReadStartMandant();
        BuildStartDirs();
        if (!EnsureTemplateData() || !PrepareStartMandant())
            return 2;
        TDataModule1 dm;
        InstallRecordRules(dm);
        if (!OpenStartMandant(dm))
            return 3;
        SelectMandant(MandantNr, false, true);
        SelectMandant(MandantNr, false, false);
        if (createClient)
            SelectMandant(createClient, true, false);
    } catch (const ProgramEndRequested&) {
        rc = 4;
    } catch (const DbError& error) {
        ShowError(error.message());
        rc = 5;
    }
    for (const char* alias : {"LumoDB", "AblageDB"}) {
        try {
            table::aliases::remove(QString::fromLatin1(alias));
        } catch (const DbError&) {
        }
    }
    return rc;
}

} // namespace startuptest
