#include "masterdata/activities.h"

#include "core/data/lookups.h"
#include "core/data/numberproposals.h"
#include "core/messages/messagecatalog.h"
#include "masterdata/recordcopy.h"

#include <QMimeData>

using namespace Qt::StringLiterals;

namespace {
const QString kMimeType = u"application/x-domvera-taetig-nr"_s;
}

int CopyTaetigRecord(table::Table& taetig) {
    return CopyCurrentRecord(taetig, u"LumoDB"_s, u"Taetig.DB"_s, u"T_ID"_s, u"T_Nr"_s,
                             [] { return QVariant(ProposeTaetigNr()); })
        .toInt();
}

QString TaetigKostartName(int kostartNr) {
    return GetKostartText(kostartNr, LoadMessage(65077));
}

QMimeData* TaetigDragData(int taetigNr) {
    auto* data = new QMimeData;
    data->setData(kMimeType, QByteArray::number(taetigNr));
    data->setText(QString::number(taetigNr));
    return data;
}

int TaetigNrOfDragData(const QMimeData& data) {
    if (!data.hasFormat(kMimeType))
        return 0;
    bool ok = false;
    const int nr = data.data(kMimeType).toInt(&ok);
    return ok ? nr : 0;
}
