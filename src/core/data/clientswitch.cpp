#include "core/data/clientswitch.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/layoutfiles.h"
#include "core/filehelpers.h"
#include "core/messages.h"
#include "core/numberparsing.h"
#include "core/programdirs.h"
#include "core/programsettings.h"
#include "core/rights.h"
#include "core/settingsfiles.h"
#include "core/syslog.h"
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
        if (const auto& hook = ClientSwitchHooksRegistry().switchDone;
            hook && g_switchDepth == 0 && HasDataModule1() && DataModule1().hasTables())
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

void removeEmptyWorkDirs() {
    for (const QString& dir :
         QStringList{GetDataTempDir(), GetAblgTempDir(), GetDataTempDir() + u"_Sav"_s,
                     GetAblgTempDir() + u"_Sav"_s})
        QDir().rmdir(dir);
}

// Raises ProgramEndRequested on failure (reported by the upgrade).
bool upgradeCurrentDirs() {
    const QString dataTemp = GetDataTempDir();
    const QString ablgTemp = GetAblgTempDir();
    if (!dbstructure::UpdateDatabaseStructure(DataDir, dataTemp + u'/', AblageDir,
                                              ablgTemp + u'/')) {
        ShowError(kFailedText);
        removeEmptyWorkDirs();
        return false;
    }
    if (!ReplaceDirectory(DataDir, dataTemp, DbVersion))
        return false;
    WriteDbVersion(CurrentDbVersion);
    if (!ReplaceDirectory(AblageDir, ablgTemp, DbVersion))
        return false;
    DbUpgraded = true;
    return true;
}

std::shared_ptr<table::Database> openExisting(const QString& dir) {
    table::Database::Options options;
    options.create = false;
    return table::Database::open(dir, options);
}

void closeDataModule() {
    if (HasDataModule1())
        DataModule1().CloseDatabases();
}

// The template's cost types into the new client's (empty) table, and its
// postal-code table as a whole.
void copyTemplateTables() {
    auto source = openExisting(TemplateDataDir);
    auto target = table::Database::open(DataDir);
    if (source->exists(u"Kostart.DB"_s))
        table::copyRows(*source, u"Kostart.DB"_s, *target, u"Kostart.DB"_s);
    if (source->exists(u"Plz.DB"_s))
        source->copyTable(u"Plz.DB"_s, *target, u"Plz.DB"_s);
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

// The client's databases of the current version in MandantNr's directories.
bool buildClientDatabases(int mandant) {
    BuildMandantDirs(mandant);
    showPanel(kReorgText);
    bool ok = false;
    try {
        ok = upgradeCurrentDirs();
        if (ok && mandant != 0)
            copyTemplateTables();
    } catch (const DbError& error) {
        ShowError(error.message());
        ok = false;
    }
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
    const QString dir = GetMandantDataDir(mandant);
    if (!QFile::exists(table::Database::fileIn(dir)))
        return false;
    try {
        return openExisting(dir)->exists(u"Firmen.DB"_s);
    } catch (const DbError&) {
        return false;
    }
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
        ok = buildClientDatabases(0);
        if (ok) {
            auto db = table::Database::open(TemplateDataDir);
            seedCostTypes(db);
            dbstructure::CreatePlzTable(*db);
        }
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
    if (!ok) {
        removeMade();
        return false;
    }
    CopyTemplateDirs(mandant);
    return true;
}

bool CreateMandant(int mandant) {
    return runSwitch([mandant] {
        if (!CheckCreateRight(kClientRight))
            return false;
        closeDataModule();
        return BuildNewMandant(mandant);
    });
}

void CopyTemplateDirs(int mandant) {
    if (mandant == 0)
        return;
    const std::pair<QString, QString> pairs[] = {
        {GetMandantQrfdDir(0), GetMandantQrfdDir(mandant)},
        {GetMandantWordDir(0), GetMandantWordDir(mandant)},
        {GetMandantImexDir(0), GetMandantImexDir(mandant)},
    };
    for (const auto& [source, target] : pairs) {
        if (!QFileInfo::exists(source))
            continue;
        // A client's own layouts stay: only the files it lacks come from the template.
        const bool copied = source == pairs[0].first ? CopyTemplateLayouts(source, target)
                                                     : CopyDirectoryTree(source, target);
        if (!copied)
            ShowError(u"Verzeichnis "_s + source + u"\rkann nicht nach "_s + target +
                      u"\rkopiert werden"_s);
    }
}

namespace {

bool openMandant() {
    closeDataModule();
    BuildMandantDirs(MandantNr);
    DbVersion = ReadDbVersion();
    if (DbVersion < CurrentDbVersion) {
        if (!AskYesNo(u"Datenbanken müssen aktualisiert werden! Wollen Sie forfahren?"_s))
            return false;
        showPanel(kReorgText);
        bool upgraded = false;
        try {
            upgraded = upgradeCurrentDirs();
        } catch (const DbError& error) {
            ShowError(error.message());
        }
        hidePanel();
        if (!upgraded)
            throw ProgramEndRequested{};
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
    // A client without a name shows no empty name part.
    if (client.isEmpty())
        return u"     ( Mandant "_s + number4(MandantNr) + u" )"_s;
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
