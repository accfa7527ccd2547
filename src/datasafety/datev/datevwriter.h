#pragma once

#include "datasafety/datev/datevformat.h"

#include <QByteArray>
#include <QList>

class QIODevice;

namespace datev {

// How a write into a data file ended.
enum class WriteResult {
    Ok,
    Failed,   // the device refused bytes
    TooLong,  // a record longer than a block's 250 data bytes
    TooLarge, // the file would reach 32,768 blocks
};

inline constexpr int kBlockSize = 256;
inline constexpr int kMaxRecordLength = 250;
inline constexpr int kMaxBlocks = 32768;

// One data file in 256-byte blocks: a record never crosses a block, the last
// six bytes of every block stay zero, and the file ends on a block boundary.
// The counter lags one byte behind the bytes written.
class DataFileWriter {
public:
    explicit DataFileWriter(QIODevice& device) : m_device(device) {}

    // Header of a booking or payroll file (and the version record in "KNE").
    bool writeDataHeader(const Vorlauf& vorlauf);
    // Header of a master-data file (and its version record in "KNE").
    bool writeMasterHeader(const Vorlauf& vorlauf);
    WriteResult writeRecord(const QByteArray& record);
    // The closing record and the zero fill up to the block's end.
    WriteResult writeTotalRecord(double total);
    WriteResult writeMasterEnd();

    qint64 counter() const { return m_counter; }
    int blocks() const { return int(m_counter / kBlockSize + 1); }
    int lastPos() const { return int(m_counter % kBlockSize); }

private:
    bool writeHeader(const QByteArray& header, const Vorlauf& vorlauf, char versionByte);
    bool writeBytes(const QByteArray& bytes);
    WriteResult writeClosing(const QByteArray& record);

    QIODevice& m_device;
    qint64 m_counter = 0;
};

// The control records of the data files of one run and the control file
// that lists them. Slot n holds the record of data file n.
class ControlRecords {
public:
    void store(const Vorlauf& vorlauf, int blocks, int lastPos);
    // The whole control file: head and the records of files 1 .. dateiNr.
    QByteArray controlFile(const Vorlauf& vorlauf) const;
    const QByteArray& slot(int nr) const { return m_slots.at(nr - 1); }

private:
    QList<QByteArray> m_slots = QList<QByteArray>(4);
};

} // namespace datev
