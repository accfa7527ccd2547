#include "datasafety/datev/datevwriter.h"

#include "core/values/rangeerrors.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace datev {

namespace {

QByteArray versionRecord(const Vorlauf& v, char first) {
    return first + TextField(v.versionskennung, int(v.versionskennung.size())) + char(0x1C) +
           "y"_ba;
}

// The start of the booking and payroll header and the master header: the
// medium mark, "1" and the data-carrier number.
QByteArray headerStart(const Vorlauf& v) {
    return QByteArray("\x1D\x18", 2) + "1"_ba + Digits(v.datentraegerNr, 3);
}

QByteArray selfIdAndBlanks(const Vorlauf& v) {
    return TextField(v.selfId, 16) + QByteArray(16, ' ') + "y"_ba;
}

} // namespace

bool DataFileWriter::writeBytes(const QByteArray& bytes) {
    return m_device.write(bytes) == bytes.size();
}

bool DataFileWriter::writeHeader(const QByteArray& header, const Vorlauf& v, char versionByte) {
    if (!writeBytes(header))
        return false;
    m_counter += header.size() - 1;
    if (v.format != Format::Kne)
        return true;
    const QByteArray version = versionRecord(v, versionByte);
    if (!writeBytes(version))
        return false;
    m_counter += version.size();
    return true;
}

bool DataFileWriter::writeDataHeader(const Vorlauf& v) {
    return writeHeader(headerStart(v) + MakeVorlaufText(v, false) + selfIdAndBlanks(v), v,
                       char(0xB5));
}

bool DataFileWriter::writeMasterHeader(const Vorlauf& v) {
    const QByteArray header = headerStart(v) + Digits(v.anwendung, 2) +
                              TextField(v.namensKuerzel, 2) + Digits(v.beraterNr, 7) +
                              Digits(v.mandantenNr, 5) + Digits(v.abrechKennung, 6) +
                              TextField(v.passwort, 4) + selfIdAndBlanks(v);
    return writeHeader(header, v, char(0xB6));
}

WriteResult DataFileWriter::writeRecord(const QByteArray& record) {
    const qint64 length = record.size();
    if (length > kMaxRecordLength)
        return WriteResult::TooLong;
    const qint64 inBlock = m_counter % kBlockSize;
    const qint64 fill = inBlock + length >= kMaxRecordLength ? kBlockSize - 1 - inBlock : 0;
    if ((m_counter + fill + length) / kBlockSize + 1 >= kMaxBlocks)
        return WriteResult::TooLarge;
    if (fill > 0) {
        if (!writeBytes(QByteArray(fill, '\0')))
            return WriteResult::Failed;
        m_counter += fill;
    }
    if (!writeBytes(record))
        return WriteResult::Failed;
    m_counter += length;
    return WriteResult::Ok;
}

WriteResult DataFileWriter::writeClosing(const QByteArray& record) {
    const WriteResult result = writeRecord(record);
    if (result != WriteResult::Ok)
        return result;
    // The final fill ends the file on its block's boundary; the counter stays,
    // so it still names the last data byte.
    const qint64 fill = kBlockSize - 1 - m_counter % kBlockSize;
    if (fill > 0 && !writeBytes(QByteArray(fill, '\0')))
        return WriteResult::Failed;
    return WriteResult::Ok;
}

WriteResult DataFileWriter::writeTotalRecord(double total) {
    return writeClosing(MakeTotalRecord(total));
}

WriteResult DataFileWriter::writeMasterEnd() {
    return writeClosing("z"_ba);
}

void ControlRecords::store(const Vorlauf& v, int blocks, int lastPos) {
    if (v.dateiNr < 1 || v.dateiNr > m_slots.size())
        RaiseRangeError();
    QByteArray record = "V"_ba;
    if (v.format == Format::Obe) {
        record += Word16Text(v.dateiNr) + MakeVorlaufText(v, true) + Word16Text(blocks) +
                  Word16Text(lastPos) + Word16Text(v.primanotaSeite) + QByteArray(9, ' ') +
                  TextField(v.dateikennung, 1);
    } else {
        record += Digits(v.dateiNr, 5) + MakeVorlaufText(v, true) + Digits(blocks, 5) +
                  Digits(v.primanotaSeite, 3) + " "_ba + TextField(v.dateikennung, 1) +
                  TextField(v.versionskennung, 14) + QByteArray(53, ' ');
    }
    m_slots[v.dateiNr - 1] = record;
}

QByteArray ControlRecords::controlFile(const Vorlauf& v) const {
    if (v.dateiNr < 0 || v.dateiNr > m_slots.size())
        RaiseRangeError();
    QByteArray file = Digits(v.datentraegerNr, 3) + QByteArray(3, ' ') + Digits(v.beraterNr, 7) +
                      TextField(v.beraterName, 9) + " "_ba;
    if (v.format == Format::Obe)
        file += Word16Text(v.dateiNr) + Word16Text(v.dateiAnzahl) + QByteArray(37, ' ');
    else
        file += Digits(v.dateiNr, 5) + Digits(v.dateiAnzahl, 5) + QByteArray(95, ' ');
    for (int nr = 1; nr <= v.dateiNr; ++nr)
        file += m_slots.at(nr - 1);
    return file;
}

} // namespace datev
