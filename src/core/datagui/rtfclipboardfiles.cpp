#include "core/datagui/rtfclipboardfiles.h"

#include "core/files/filehelpers.h"
#include "platform/errors.h"
#include "platform/richtext/richtextclipboard.h"
#include "platform/richtext/rtf.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

using namespace Qt::StringLiterals;

bool CopyRtfFileToClipboard(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        throw DbError(u"Datei %1\rist nicht vorhanden!"_s.arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(u"Die Datei\r%1\rkann nicht gelesen werden."_s.arg(fileName));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DbError(u"Die Datei\r%1\rkann nicht gelesen werden."_s.arg(fileName));
    richtext::putRtfOnClipboard(content);
    return true;
}

bool SaveClipboardToRtfFile(const QString& fileName) {
    QByteArray rtf = richtext::rtfOnClipboard();
    if (rtf.isEmpty())
        rtf = richtext::toRtf(QTextDocument());
    if (WriteDataFile(fileName, rtf) != DataFileWrite::Written)
        throw DbError(u"Die Datei\r%1\rkonnte nicht gespeichert werden."_s.arg(fileName));
    return true;
}
