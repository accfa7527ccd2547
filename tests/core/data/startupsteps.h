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
#include "core/files/databasefile.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "dbstructure/upgrade.h"
#include "platform/errors.h"
#include "platform/table/database.h"

#include <functional>
#include <optional>

namespace startuptest {

// 0 when the client is active; otherwise the step that ended the start. A
// DbError is shown as the program shows it. whileRunning runs once the
// client is active, inside the session.
inline int RunStartup(int createClient = 0, const std::function<void()>& whileRunning = {}) {
    dbstructure::InstallDatabaseUpgrader();
    DbUpgraded = false;
    int rc = 0;
    std::optional<SessionMark> session;
    try {
        GetWindowsDir();
        ProcessStartMarkers();
        MandantNr = ReadStartMandant();
        BuildStartDirs();
        // After the log file is known: the mark writes to it.
        session.emplace();
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
        if (whileRunning)
            whileRunning();
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
