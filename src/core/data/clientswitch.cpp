#include "core/data/clientswitch.h"

#include "core/clientupgrade.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "core/files/databasefile.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/values/numberparsing.h"
#include "dbstructure/databasebuilder.h"
#include "dbstructure/upgrade.h"
#include "platform/errors.h"
#include "platform/table/copyrows.h"
#include "platform/table/database.h"
#include "platform/table/field.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

constexpr int kClientRight = 55;
const QString kFailedText = u"Es sind Fehler aufgetreten!\rÄnderungen werden rückgängig gemacht."_s;
const QString kReorgText = u"Datenbanken reorganisieren..."_s;

void showPanel(const QString& step) {
    if (const auto& hook = ClientSwitchHooksRegistry().showPanel)
        hook(step);
}
void hidePanel() {
    if (const auto& hook = ClientSwitchHooksRegistry().hidePanel)
        hook();
}
void processEvents() {
    if (const auto& hook = ClientSwitchHooksRegistry().processEvents)
        hook();
}

QString number4(int n) {
    return QString::number(n).rightJustified(4, u'0');
}

int g_switchDepth = 0;

// Runs one client switch, creation or reopening; the first one to start is
// the one that, having finished, lets the waiting work run.
template <class Body> auto runSwitch(Body body) {
    struct Depth {
        Depth() { ++g_switchDepth; }
        ~Depth() { --g_switchDepth; }
    };
    auto finished = [] {
        if (g_switchDepth != 0 || !HasDataModule1() || !DataModule1().hasTables())
            return;
        if (const auto& hook = ClientSwitchHooksRegistry().switchDone)
            hook();
        if (const auto& hook = ClientSwitchHooksRegistry().reopenFormTables)
            hook();
    };
    if constexpr (std::is_void_v<decltype(body())>) {
        {
            Depth depth;
            body();
        }
        finished();
    } else {
        decltype(body()) result{};
        {
            Depth depth;
            result = body();
        }
        finished();
        return result;
    }
}

void closeDataModule() {
    if (HasDataModule1())
        DataModule1().CloseDatabases();
}

void seedCostTypes(const std::shared_ptr<table::Database>& db) {
    QFile file(u":/template/kostart.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(u"Die Kostenarten der Vorlage fehlen im Programm."_s);
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    table::Table kostart(db, u"Kostart.DB"_s);
    kostart.open();
    if (!kostart.isEmpty())
        return;
    // All or none, and one commit instead of one per row.
    table::Transaction tx(*db);
    int id = 0;
    for (const QJsonValue& value : rows) {
        const QJsonObject row = value.toObject();
        kostart.append();
        kostart.field(u"A_ID"_s).setValue(++id);
        for (auto it = row.begin(); it != row.end(); ++it)
            kostart.field(it.key()).setValue(it.value().toVariant());
        kostart.field(u"A_Marked"_s).setValue(false);
        kostart.post();
    }
    tx.commit();
}

// Client switching and creation always upgrade with the real driver and copy
// template directories with the client's rules; start-up code and tests may
// have installed them (or others) already.
void ensureUpgrader() {
    if (!DatabaseUpgraderInstalled())
        dbstructure::InstallDatabaseUpgrader();
    TemplateDirsCopier copier = SetTemplateDirsCopier({});
    SetTemplateDirsCopier(copier ? std::move(copier) : TemplateDirsCopier(&CopyTemplateDirs));
}

// A new client's databases of the current version in its directories, made
// complete before they are swapped in (see UpgradeClientDatabases).
bool buildClientDatabases(int mandant, const NewDatabaseFiller& fillNew = {}) {
    BuildMandantDirs(mandant);
    showPanel(kReorgText);
    bool ok = false;
    try {
        ensureUpgrader();
        ok = UpgradeClientDatabases(mandant, fillNew);
    } catch (const DbError& error) {
        ShowError(error.message());
    }
    if (ok)
        DbUpgraded = true; // the activation takes the client's layout files
    else
        ShowError(kFailedText);
    hidePanel();
    processEvents();
    return ok;
}

} // namespace

QStringList MandantOwnDirs(int mandant) {
    return {GetMandantDataDir(mandant), GetMandantDtbuDir(mandant), GetMandantImexDir(mandant),
            GetMandantWordDir(mandant), GetMandantFormDir(mandant), GetMandantQrfdDir(mandant),
            GetMandantAblgDir(mandant)};
}

ClientSwitchHooks& ClientSwitchHooksRegistry() {
    static ClientSwitchHooks hooks;
    return hooks;
}

bool MandantDatabaseExists(int mandant) {
    // A damaged database counts as existing: no client is ever created over it.
    const DatabaseFileState state = InspectDatabaseFile(GetMandantDataDir(mandant), false).state;
    return state == DatabaseFileState::Present || state == DatabaseFileState::Damaged;
}

bool EnsureTemplateData() {
    if (MandantDatabaseExists(0))
        return true;
    const int active = MandantNr;
    const int savedVersion = DbVersion;
    bool ok = false;
    try {
        BuildMandantDirs(0);
        DbVersion = ReadDbVersion();
        ok = buildClientDatabases(0, [](const std::shared_ptr<table::Database>& work) {
            seedCostTypes(work);
            dbstructure::CreatePlzTable(*work);
        });
    } catch (const DbError& error) {
        ShowError(error.message());
        ok = false;
    }
    BuildMandantDirs(active);
    DbVersion = savedVersion;
    return ok;
}

bool BuildNewMandant(int mandant) {
    QStringList made;
    for (const QString& dir : MandantOwnDirs(mandant))
        if (!QFileInfo::exists(dir))
            made.append(dir);
    // A creation that fails leaves nothing behind that looks like a client.
    auto removeMade = [&made] {
        for (const QString& dir : made)
            QDir(dir).removeRecursively();
    };
    bool ok = false;
    try {
        if (mandant != 0 && !MandantDatabaseExists(0) && !EnsureTemplateData())
            return false;
        ok = buildClientDatabases(mandant);
    } catch (const DbError& error) {
        ShowError(error.message());
        ok = false;
    } catch (...) {
        removeMade();
        throw;
    }
    if (!ok)
        removeMade();
    return ok;
}

bool CreateMandant(int mandant) {
    return runSwitch([mandant] {
        if (!CheckCreateRight(kClientRight))
            return false;
        closeDataModule();
        return BuildNewMandant(mandant);
    });
}

bool CopyTemplateDirs(const QString& source, const QString& target) {
    // A client's own layouts stay: only the files it lacks come from the template.
    if (ResolvedPath(source) == ResolvedPath(GetMandantQrfdDir(0)))
        return CopyTemplateLayouts(source, target);
    return CopyDirectoryTree(source, target);
}

namespace {

bool openMandant() {
    closeDataModule();
    BuildMandantDirs(MandantNr);
    try {
        CheckClientDatabaseFiles();
        if (!ReadClientDbVersion())
            return false;
    } catch (const DbError& error) {
        ShowError(error.message());
        return false;
    }
    if (DbVersion < CurrentDbVersion) {
        if (!AskYesNo(u"Datenbanken müssen aktualisiert werden! Wollen Sie forfahren?"_s))
            return false;
        showPanel(kReorgText);
        bool upgraded = false;
        try {
            ensureUpgrader();
            upgraded = UpgradeClientDatabases(MandantNr);
        } catch (const DbError& error) {
            ShowError(error.message());
        }
        hidePanel();
        if (!upgraded) {
            ShowError(kFailedText);
            throw ProgramEndRequested{};
        }
        DbUpgraded = true;
    }
    try {
        TDataModule1& dm = DataModule1();
        dm.SetupLumoAlias(DataDir);
        if (!dm.OpenBaseTables())
            return false;
        WriteLog(u"OpenDataFiles OK"_s);
        dm.EnableTimerWork();
        WriteLog(u"Startreread"_s);
        return true;
    } catch (const ProgramEndRequested&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

void activateMandant(int mandant, bool announce) {
    if (mandant != MandantNr) {
        WriteLog(u"LOGOUT"_s);
        WriteLog(u"ChangeTo "_s + QString::number(mandant));
        const int previous = MandantNr;
        MandantNr = mandant;
        if (!openMandant()) {
            ShowError(u"Mandant "_s + number4(mandant) + u" kann nicht aktiviert werden"_s);
            MandantNr = previous;
            if (!openMandant())
                throw ProgramEndRequested{};
        }
    }
    RefreshMainTitle();
    CurrentUserText = GetNetUserText();
    WriteLog(u"LOGIN"_s);
    if (DbUpgraded) {
        // The client works without the new layouts; the reason is shown.
        try {
            ImportLayoutFiles();
        } catch (const DbError& error) {
            ShowError(error.message());
        }
    }
    if (announce) {
        // A client without a name shows no empty brackets.
        const QString name =
            DataModule1().table(u"TabFirmen"_s).value(u"F_NameIntern"_s).toString().trimmed();
        ShowInfo(u"Mandant "_s + number4(MandantNr) +
                 (name.isEmpty() ? QString() : u" ("_s + name + u')') + u" ist aktiviert"_s);
    }
}

void selectMandant(int mandant, bool announce, bool atStartup) {
    if (!MandantDatabaseExists(mandant)) {
        if (atStartup) {
            // The start-up builds its client before the data module opens it;
            // a client still missing here cannot be worked with.
            ShowError(u"Mandant "_s + QString::number(mandant) +
                      u" konnte nicht angelegt werden!\rDas Programm ist NICHT betriebsbereit!"_s);
            throw ProgramEndRequested{};
        }
        if (mandant >= 2 && !AskYesNo(u"Möchten Sie wirklich einen neuen Mandanten anlegen?"_s))
            return;
        const int previous = MandantNr;
        showPanel(u"Installation Mandant "_s + QString::number(mandant));
        const bool created = CreateMandant(mandant);
        hidePanel();
        if (!created) {
            // Back to the previous client completely when the attempt closed
            // its tables or moved the paths: paths, aliases, tables.
            if (DataDir != GetMandantDataDir(previous) || !DataModule1().hasTables()) {
                MandantNr = previous;
                if (!openMandant())
                    throw ProgramEndRequested{};
            }
            return;
        }
        // The new client's databases are closed: force the reopening.
        if (mandant == MandantNr) {
            if (!openMandant())
                throw ProgramEndRequested{};
        }
    } else if (atStartup) {
        return;
    }
    activateMandant(mandant, announce);
    if (GetBdeUserCount() == 1)
        RemoveStaleRightsLock();
}

} // namespace

bool ClientSwitchRunning() {
    return g_switchDepth > 0;
}

bool OpenMandant() {
    return runSwitch([] { return openMandant(); });
}

void ActivateMandant(int mandant, bool announce) {
    runSwitch([&] { activateMandant(mandant, announce); });
}

void SelectMandant(int mandant, bool announce, bool atStartup) {
    runSwitch([&] { selectMandant(mandant, announce, atStartup); });
}

QString MandantTitleSuffix() {
    QString client;
    if (MandantNr == 0) {
        client = u"Demo-Mandant"_s;
    } else if (HasDataModule1()) {
        if (table::Table* firmen = DataModule1().findTable(u"TabFirmen"_s);
            firmen && firmen->isOpen())
            client = firmen->value(u"F_NameIntern"_s).toString().trimmed();
    }
    return u"     ( Mandant "_s + number4(MandantNr) + u" : "_s + client + u" )"_s;
}

void RefreshMainTitle() {
    if (const auto& hook = ClientSwitchHooksRegistry().setTitle)
        hook(MandantTitleSuffix());
}

QStringList MandantCaptions() {
    QStringList captions{u"Demoinstallation"_s};
    for (int i = 1; i <= MaxMandantNr; ++i)
        captions.append(u"Mandant "_s + QString::number(i));
    QFile file(ProgramDir + u"Mandanten.txt"_s);
    if (!file.open(QIODevice::ReadOnly))
        return captions;
    QStringDecoder decode("windows-1252");
    const QString text = decode(file.readAll());
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const int nr = StrToIntZero(line.left(2));
        if (line.size() < 3 || nr < 0 || nr > MaxMandantNr)
            continue;
        captions[nr] = line.mid(3);
    }
    return captions;
}
