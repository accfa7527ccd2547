// Reads any bytes as RTF. Besides crashes it checks that what the writer makes
// of a document reads back to the same text and formatting.
#include "platform/richtext/documentdescription.h"
#include "platform/richtext/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (size > 2 && !richtext::isRtf(input))
        input.prepend("{\\rtf1 ");
    std::unique_ptr<QTextDocument> document;
    try {
        document = richtext::fromRtf(input);
    } catch (const richtext::RtfError&) {
        return 0;
    }
    const QByteArray written = richtext::toRtf(*document);
    std::unique_ptr<QTextDocument> again;
    try {
        again = richtext::fromRtf(written);
    } catch (const richtext::RtfError& error) {
        fprintf(stderr, "written RTF does not read: %s\n", error.what());
        abort();
    }
    const QString before = describeDocument(*document);
    const QString after = describeDocument(*again);
    if (before != after) {
        fprintf(stderr, "round trip changed the document:\n%s\n%s\n", qPrintable(before),
                qPrintable(after));
        abort();
    }
    return 0;
}
