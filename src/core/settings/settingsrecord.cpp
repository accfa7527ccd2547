#include "core/settings/settingsrecord.h"

#include "core/values/rangeerrors.h"

#include <QStringDecoder>
#include <QStringEncoder>

void PutRecordText(QByteArray& record, RecordTextField field, const QString& text) {
    if (field.offset < 0 || field.maxLength < 0 || field.maxLength > 255 ||
        qsizetype(field.offset) + 1 + field.maxLength > record.size())
        RaiseRangeError();
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = QByteArray(encoder.encode(text)).left(field.maxLength);
    record[field.offset] = char(bytes.size());
    for (int i = 0; i < field.maxLength; ++i)
        record[field.offset + 1 + i] = i < bytes.size() ? bytes[i] : '\0';
}

QString TakeRecordText(const QByteArray& record, RecordTextField field) {
    if (field.offset < 0 || qsizetype(field.offset) + 1 + field.maxLength > record.size())
        RaiseRangeError();
    const int length = qMin(int(quint8(record[field.offset])), field.maxLength);
    QStringDecoder decoder("windows-1252");
    return decoder.decode(record.mid(field.offset + 1, length));
}
