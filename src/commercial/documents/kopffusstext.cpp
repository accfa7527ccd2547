#include "commercial/documents/kopffusstext.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

void LoadKopfFussText(int rhId, QString& kopfText, QString& fussText) {
    kopfText.clear();
    fussText.clear();
    if (rhId == 0)
        return;
    auto t = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("ORgHDef.DB"));
    if (!t->locate({QStringLiteral("RH_ID")}, {rhId}))
        return;
    kopfText = FieldText(*t, QStringLiteral("RH_KopfText"));
    fussText = FieldText(*t, QStringLiteral("RH_FussText"));
}
