#include "core/data/startclient.h"

#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/files/filelookup.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFallbackMandant = 1;

enum class Prepared { Ready, NotBuilt, EndProgram };

// why: the German reason when the client cannot be used, empty when it
// simply could not be built.
Prepared prepare(int mandant, QString& why) {
    why.clear();
    try {
        MandantNr = mandant;
        BuildStartDirs();
        if (MandantDatabaseExists(mandant))
            return CheckDatabaseVersion() ? Prepared::Ready : Prepared::EndProgram;
        // A client without databases has version 0: the upgrade builds them.
        NewClientLayouts = FindFileIgnoringCase(QrfdDir, u"ORM10001.QFD"_s).isEmpty();
        DbVersion = ReadDbVersion();
        return BuildNewMandant(mandant) ? Prepared::Ready : Prepared::NotBuilt;
    } catch (const DbError& error) {
        // A damaged database: named, never built anew.
        why = error.message();
        return Prepared::NotBuilt;
    }
}

QString notBuiltText(int mandant) {
    return u"Mandant "_s + QString::number(mandant) + u" konnte nicht angelegt werden!"_s;
}

// Client 1 in place of a start client that failed (why: the first line of
// the message); false when that fails too.
bool fallBack(int failed, const QString& why) {
    if (failed == kFallbackMandant) {
        ShowError(why + u"\rDas Programm ist NICHT betriebsbereit!"_s);
        return false;
    }
    WriteLog(u"Mandant "_s + QString::number(failed) + u": ERROR START"_s);
    // The start-up made the client's directories; left empty, they go again.
    for (const QString& dir : MandantOwnDirs(failed))
        QDir().rmdir(dir);
    ShowError(why + u"\rEs wird mit Mandant 1 gearbeitet."_s);
    QString fallbackWhy;
    switch (prepare(kFallbackMandant, fallbackWhy)) {
    case Prepared::Ready:
        return true;
    case Prepared::NotBuilt:
        ShowError((fallbackWhy.isEmpty() ? notBuiltText(kFallbackMandant) : fallbackWhy) +
                  u"\rDas Programm ist NICHT betriebsbereit!"_s);
        return false;
    case Prepared::EndProgram:
        return false;
    }
    return false;
}

} // namespace

bool PrepareStartMandant() {
    const int start = MandantNr;
    QString why;
    switch (prepare(start, why)) {
    case Prepared::Ready:
        return true;
    case Prepared::EndProgram:
        return false;
    case Prepared::NotBuilt:
        break;
    }
    return fallBack(start, why.isEmpty() ? notBuiltText(start) : why);
}

bool OpenStartMandant(TDataModule1& dm) {
    try {
        dm.DataModuleCreate();
        return true;
    } catch (const ProgramEndRequested&) {
        // The reason has been shown; client 1 is tried once.
    }
    dm.CloseDatabases();
    const QString why = u"Mandant "_s + QString::number(MandantNr).rightJustified(4, u'0') +
                        u" kann nicht aktiviert werden"_s;
    if (!fallBack(MandantNr, why))
        return false;
    try {
        dm.DataModuleCreate();
        return true;
    } catch (const ProgramEndRequested&) {
        return false;
    }
}
