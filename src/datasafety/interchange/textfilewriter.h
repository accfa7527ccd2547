#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringEncoder>

// An export's output: Windows-1252 lines ended by CR LF, written under a
// temporary name beside the file and put in its place by commit(). Destroyed
// without commit, it leaves the previous file as it was.
class TextFileWriter {
public:
    explicit TextFileWriter(const QString& path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    bool open();
    // Characters the code page lacks are written as "?".
    bool writeLine(const QString& line);
    bool commit();

private:
    bool flush();

    QSaveFile m_file;
    QStringEncoder m_encoder;
    QByteArray m_buffer;
    bool m_ok = true;
};
