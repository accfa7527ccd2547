#include "datasafety/interchange/textfilewriter.h"

namespace {
// Lines are collected and written in blocks of about this size.
constexpr qsizetype kBlock = 64 * 1024;
} // namespace

TextFileWriter::TextFileWriter(const QString& path)
    : m_file(path), m_encoder("windows-1252", QStringConverter::Flag::Default) {}

TextFileWriter::~TextFileWriter() {
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool TextFileWriter::open() {
    m_ok = m_file.open(QIODevice::WriteOnly);
    return m_ok;
}

bool TextFileWriter::writeLine(const QString& line) {
    if (!m_ok)
        return false;
    m_buffer += m_encoder.encode(line);
    m_buffer += "\r\n";
    return m_buffer.size() < kBlock || flush();
}

bool TextFileWriter::flush() {
    if (!m_buffer.isEmpty() && m_file.write(m_buffer) != m_buffer.size())
        m_ok = false;
    m_buffer.clear();
    return m_ok;
}

bool TextFileWriter::commit() {
    if (!flush()) {
        m_file.cancelWriting();
        return false;
    }
    m_ok = m_file.commit();
    return m_ok;
}
