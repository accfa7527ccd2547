#pragma once

#include <QByteArray>
#include <QString>

// The fixed-size settings records (mail and FTP access): texts are stored as
// a length byte followed by the field's bytes in Windows-1252, the unused rest
// of the field zero.
struct RecordTextField {
    int offset;    // of the length byte
    int maxLength; // characters the field holds
};

// Writes the text into its field, cut to the field's length.
void PutRecordText(QByteArray& record, RecordTextField field, const QString& text);
// Reads a field; a length byte beyond the field counts as the field's width.
QString TakeRecordText(const QByteArray& record, RecordTextField field);
