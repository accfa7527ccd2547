#include "commercial/documents/documentsupport.h"

#include "core/data/lookups.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "platform/table/table.h"

bool ApplyZahlbedToKopf(int zahlbedId, table::Table& head) {
    QString text;
    double skonto = 0, skonto2 = 0;
    int tage = 0, tage2 = 0, nettoTage = 0;
    if (!GetZahlbed(zahlbedId, text, skonto, tage, skonto2, tage2, nettoTage))
        return false;
    if (!head.isEditing())
        head.edit();
    head[QStringLiteral("R_ZahlBedID")] = zahlbedId;
    head[QStringLiteral("R_ZahlBed")] = text;
    head[QStringLiteral("R_ZahlBedSkonto")] = skonto;
    head[QStringLiteral("R_ZahlBedTage")] = tage;
    head[QStringLiteral("R_ZahlBedSkonto2")] = skonto2;
    head[QStringLiteral("R_ZahlBedTage2")] = tage2;
    head[QStringLiteral("R_ZahlBedNettoTage")] = nettoTage;
    return true;
}

QString FormIdOfLayoutPath(const QString& path) {
    const qsizetype at = path.toUpper().indexOf(QLatin1String(".QFD"));
    if (at < 5)
        return QStringLiteral("?????????");
    return path.mid(at - 5, 5);
}

void LoadSuppressFlags(const QString& layoutPath, TSuppressFlags& flags) {
    QStringList lines;
    if (!ReadTextDataFile(ProgramDir + QStringLiteral("Suppress.txt"), lines))
        return;
    const QString id = FormIdOfLayoutPath(layoutPath);
    for (const QString& line : lines) {
        const QString upper = line.toUpper();
        if (!upper.contains(id))
            continue;
        flags.Netto = upper.contains(QLatin1String("NETTO"));
        flags.Brutto = upper.contains(QLatin1String("BRUTTO"));
        flags.Mwst = upper.contains(QLatin1String("MWST"));
    }
}
