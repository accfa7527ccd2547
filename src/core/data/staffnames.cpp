#include "core/data/staffnames.h"

#include "core/data/datamodule.h"
#include "core/data/lookups.h"

#include <QString>

QString GetPersonalName(int staffNr) {
    const QVariant name = LocateFieldValue(DataModule1().TabPersonal(), {QStringLiteral("P_Nr")},
                                           {staffNr}, QStringLiteral("P_Name1"), true);
    return name.isValid() ? name.toString() : QString();
}
