#include "core/data/staffnames.h"

#include "core/data/datamodule.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QString>

QString GetPersonalName(int staffNr) {
    table::Table staff(table::aliases::database(QStringLiteral("LumoDB")),
                       DataModule1().TabPersonal().tableName());
    staff.setReadOnly(true);
    staff.open();
    const QVariant name =
        staff.lookup({QStringLiteral("P_Nr")}, {staffNr}, QStringLiteral("P_Name1"));
    return name.isValid() && !name.isNull() ? name.toString() : QString();
}
