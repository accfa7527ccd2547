#include "operations/archivedtimerecords.h"

#include "platform/table/values.h"
#include "platform/table/database.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

bool ArchivedZeiterfExist() {
    const QString zeiterf = u"Zeiterf.DB"_s;
    const QString dir = table::aliases::directory(u"AblageDB"_s);
    if (!QFileInfo::exists(table::Database::fileIn(dir)))
        return false;
    table::Database& archive = *table::aliases::database(u"AblageDB"_s);
    if (!archive.exists(zeiterf))
        return false;
    return archive
        .selectValue(u"SELECT 1 FROM %1 LIMIT 1"_s.arg(
            table::quoted(table::physicalName(archive.tableDef(zeiterf).name))))
        .isValid();
}

QDate ProposedZeiterfArchiveLimit(const QDate& today) {
    const QDate back = today.addMonths(-2);
    return QDate(back.year(), back.month(), back.daysInMonth());
}
