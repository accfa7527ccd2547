#include "datasafety/backupobserver.h"

using namespace Qt::StringLiterals;

QList<BackupColumn> BackupViewColumns(BackupView view) {
    switch (view) {
    case BackupView::List:
        return {{u"Dateiname"_s, 200},
                {u"       Bytes"_s, 120},
                {u"Status"_s, 70},
                {u"Kommentar"_s, RestWidth}};
    case BackupView::Writing:
        return {{u"Dateiname"_s, RestWidth},
                {u"Datei  Bytes"_s, 120},
                {u"Kompr. Bytes"_s, 120},
                {u"Status"_s, 125}};
    case BackupView::Restoring:
        return {{u"Dateiname"_s, RestWidth},
                {u"       Bytes"_s, 120},
                {u"Status"_s, 70},
                {u"Kommentar"_s, 200}};
    case BackupView::Delete:
        return {{u"Dateiname"_s, 200},
                {u"       Bytes"_s, 120},
                {u"Löschen"_s, 70},
                {u"Kommentar"_s, RestWidth},
                {u"DB-Vers."_s, 70}};
    }
    return {};
}

QString ByteColumn(qint64 value) {
    return QString::number(value).rightJustified(12, u' ');
}

QString VersionColumn(int version) {
    return QString::number(version).rightJustified(8, u' ');
}
