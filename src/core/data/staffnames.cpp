#include "core/data/staffnames.h"

#include "core/data/datamodule.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QString>

namespace {

QString staffField(int staffNr, const QString& field) {
    table::Table staff(table::aliases::database(QStringLiteral("LumoDB")),
                       DataModule1().TabPersonal().tableName());
    staff.setReadOnly(true);
    staff.open();
    const QVariant value = staff.lookup({QStringLiteral("P_Nr")}, {staffNr}, field);
    return value.isValid() && !value.isNull() ? value.toString() : QString();
}

} // namespace

QString GetPersonalName(int staffNr) {
    return staffField(staffNr, QStringLiteral("P_Name1"));
}

QString PersonalMatchOfNr(int staffNr) {
    return staffField(staffNr, QStringLiteral("P_Match"));
}
