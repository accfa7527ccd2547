#include "core/settings/settingsfiles.h"

#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

PrintFontSpec PrintFont;
QString PosArtMarks[5];
QString PosArt2AmountText;
QString PosArt1AmountText;
QList<int> TabstopList;

namespace {

constexpr int kPartoptFieldLength = 10;

QString rgvMarkerName(int mandant) {
    return ProgramDir + u"RgvCnvrt."_s + MandantSuffix3(mandant);
}

} // namespace

int StrToIntZeroLine(const QString& line) {
    bool ok = false;
    const int value = line.trimmed().toInt(&ok);
    return ok ? value : 0;
}

int ReadDbVersion() {
    QStringList lines;
    if (!ReadTextDataFile(DataDir + u"Version.Dat"_s, lines) || lines.isEmpty())
        return 0;
    return StrToIntZeroLine(lines.first());
}

DbVersionFile ReadDbVersionFile(const QString& dataDir) {
    const QString name = QDir(dataDir).filePath(u"Version.Dat"_s);
    DbVersionFile result;
    if (!QFileInfo::exists(name))
        return result;
    result.state = DbVersionFile::Unreadable;
    QStringList lines;
    if (!QFileInfo(name).isFile() || !ReadTextDataFile(name, lines) || lines.isEmpty())
        return result;
    bool ok = false;
    const int version = lines.first().trimmed().toInt(&ok);
    if (ok) {
        result.state = DbVersionFile::Valid;
        result.version = version;
    }
    return result;
}

void WriteDbVersion(int version) {
    WriteDbVersion(version, DataDir);
}

void WriteDbVersion(int version, const QString& dataDir) {
    const QString name = QDir(dataDir).filePath(u"Version.Dat"_s);
    if (!WriteTextDataFile(name, {QString::number(version)}))
        throw DbError(u"Die Datei\r"_s + name + u"\rkonnte nicht geschrieben werden."_s);
}

void CreatePrintFont() {
    PrintFont = PrintFontSpec{};
    QStringList lines;
    if (!ReadTextDataFile(ProgramDir + u"Deffont.txt"_s, lines))
        return;
    if (lines.size() >= 1)
        PrintFont.name = lines.at(0);
    if (lines.size() >= 2) {
        // A size line that is no number keeps the default, like a read error.
        bool ok = false;
        const int size = lines.at(1).trimmed().toInt(&ok);
        if (ok && size > 5)
            PrintFont.size = size;
    }
}

void FreePrintFont() {
    PrintFont = PrintFontSpec{};
}

void ReadPartopt() {
    QString* const targets[7] = {&PosArtMarks[0],   &PosArtMarks[1], &PosArtMarks[2],
                                 &PosArtMarks[3],   &PosArtMarks[4], &PosArt2AmountText,
                                 &PosArt1AmountText};
    for (QString* target : targets)
        target->clear();
    QStringList lines;
    if (!ReadTextDataFile(ProgramDir + u"Partopt.txt"_s, lines) || lines.isEmpty())
        return;
    QString rest = lines.first();
    if (rest.isEmpty())
        return;
    if (!rest.endsWith(u';'))
        rest += u';';
    for (QString* target : targets) {
        if (rest.isEmpty())
            break;
        const qsizetype end = rest.indexOf(u';');
        QString field = rest.left(end);
        rest.remove(0, end + 1);
        field.remove(u'"');
        *target = field.left(kPartoptFieldLength);
    }
}

void ReadTabstops() {
    TabstopList.clear();
    QStringList lines;
    if (!ReadTextDataFile(ProgramDir + u"Tabstop.dat"_s, lines))
        return;
    int last = 0;
    for (const QString& line : lines) {
        int value = StrToIntZeroLine(line);
        if (value == 0)
            continue;
        if (value < last + 10)
            value = last + 10;
        if (TabstopList.size() < MaxTabstops) {
            TabstopList.append(value);
            last = value;
        }
    }
}

bool IsRgvConverted(int mandant) {
    return QFileInfo::exists(rgvMarkerName(mandant));
}

bool MarkRgvConverted(int mandant) {
    return WriteTextDataFile(rgvMarkerName(mandant), {});
}
