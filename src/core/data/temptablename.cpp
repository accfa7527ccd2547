#include "core/data/temptablename.h"

#include "core/files/programdirs.h"
#include "platform/table/database.h"

#include <QFileInfo>

QString GetTempTableName(const QString& extension) {
    // The work tables live in the client database, whose directory holds the
    // files of the same names (exports, older work files): both must be free.
    const std::shared_ptr<table::Database> db = table::aliases::database(QStringLiteral("LumoDB"));
    for (qint64 number = 0;; ++number) {
        const QString name = QStringLiteral("Tmppr%1").arg(number, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(DataDir + name + extension) && !db->exists(name))
            return name;
    }
}
