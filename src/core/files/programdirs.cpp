#include "core/files/programdirs.h"

#include "core/files/appdirs.h"
#include "core/files/filehelpers.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/messages.h"
#include "platform/errors.h"

#include <QDir>

using namespace Qt::StringLiterals;

QString ProgramDir;
QString PfadeFileName;
QString TemplateDataDir;
QString DataDir;
QString BackupDir;
QString TransportDir;
QString ImExDir;
QString WordDir;
QString FormDir;
QString QrfdDir;
QString AblageDir;
QString NetDir;
QString TextbstDir;
QString TempDir;
QString SelectDir;
QString SoundsDir;
QString WindowsDir;
QString LogFileName;

namespace {

BackupPathsLoader g_backupPathsLoader;

QString directoryNotCreated(const QString& dir) {
    return LoadMessage(65100).replace(u"%s"_s, dir);
}

// Creates a directory other than the data directory: a failure is shown and
// the build goes on.
void createOrReport(const QString& dir) {
    if (!EnsureDirectory(dir))
        ShowError(directoryNotCreated(dir));
}

QString clientDir(const QString& prefix, int mandant) {
    return ProgramDir + prefix + MandantSuffix4(mandant) + u'/';
}

} // namespace

void SetProgramDir(const QString& dir) {
    ProgramDir = dir;
    if (!ProgramDir.isEmpty() && !ProgramDir.endsWith(u'/'))
        ProgramDir += u'/';
}

void GetWindowsDir() {
    WindowsDir = WindowsDirectory();
    if (!WindowsDir.endsWith(u'/'))
        WindowsDir += u'/';
}

QString MandantSuffix4(int mandant) {
    return QStringLiteral("%1").arg(mandant, 4, 10, QChar(u'0'));
}

QString MandantSuffix3(int mandant) {
    return QStringLiteral("%1").arg(mandant, 3, 10, QChar(u'0'));
}

QString GetMandantDataDir(int mandant) {
    return clientDir(u"Data"_s, mandant);
}
QString GetMandantDtbuDir(int mandant) {
    return clientDir(u"DTBU"_s, mandant);
}
QString GetMandantWordDir(int mandant) {
    return clientDir(u"Word"_s, mandant);
}
QString GetMandantFormDir(int mandant) {
    return clientDir(u"Form"_s, mandant);
}
QString GetMandantImexDir(int mandant) {
    return clientDir(u"IMEX"_s, mandant);
}
QString GetMandantQrfdDir(int mandant) {
    return clientDir(u"QRFD"_s, mandant);
}
QString GetMandantAblgDir(int mandant) {
    return clientDir(u"Ablg"_s, mandant);
}
QString GetNetDir() {
    return ProgramDir + u"Netdir/"_s;
}
QString GetSelectDir() {
    return ProgramDir + u"Select/"_s;
}
QString GetDataTempDir() {
    return ProgramDir + u"DataTemp"_s;
}
QString GetAblgTempDir() {
    return ProgramDir + u"AblgTemp"_s;
}

BackupPathsLoader SetBackupPathsLoader(BackupPathsLoader loader) {
    BackupPathsLoader previous = std::move(g_backupPathsLoader);
    g_backupPathsLoader = std::move(loader);
    return previous;
}

void BuildMandantDirs(int mandant) {
    if (mandant < 0 || mandant > MaxMandantNr)
        throw DbError(u"Ungültige Mandantennummer "_s + QString::number(mandant));
    SetProgramDir(ProgramDir);
    PfadeFileName = ProgramDir + u"Pfade."_s + MandantSuffix3(mandant);
    TemplateDataDir = GetMandantDataDir(0);

    DataDir = GetMandantDataDir(mandant);
    if (!EnsureDirectory(DataDir))
        throw DbError(directoryNotCreated(DataDir));

    BackupDir = GetMandantDtbuDir(mandant);
    if (g_backupPathsLoader)
        g_backupPathsLoader();
    createOrReport(BackupDir);

    ImExDir = GetMandantImexDir(mandant);
    createOrReport(ImExDir);
    WordDir = GetMandantWordDir(mandant);
    createOrReport(WordDir);
    FormDir = GetMandantFormDir(mandant);
    createOrReport(FormDir);
    QrfdDir = GetMandantQrfdDir(mandant);
    createOrReport(QrfdDir);
    AblageDir = GetMandantAblgDir(mandant);
    createOrReport(AblageDir);
    NetDir = GetNetDir();
    createOrReport(NetDir);
    TextbstDir = ProgramDir + u"Textbst"_s;
    createOrReport(TextbstDir);
    TempDir = ProgramDir + u"Temp"_s;
    createOrReport(TempDir);
    SelectDir = GetSelectDir();
    createOrReport(SelectDir);
    SoundsDir = ProgramDir + u"Sounds/"_s;
}

QString GetSoundFile(int nr) {
    switch (nr) {
    case 1:
        return SoundsDir + u"notify.wav"_s;
    case 2:
        return SoundsDir + u"chimes.wav"_s;
    case 3:
        return SoundsDir + u"chord.wav"_s;
    default:
        return SoundsDir + u"Ding.wav"_s;
    }
}
