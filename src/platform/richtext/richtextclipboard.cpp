#include "platform/richtext/richtextclipboard.h"

#include "platform/richtext/rtf.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextDocument>

namespace richtext {

QStringList rtfMimeTypes() {
    return {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
            QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\"")};
}

namespace {

QByteArray rtfOf(const QMimeData& data) {
    for (const QString& type : rtfMimeTypes()) {
        if (data.hasFormat(type))
            return data.data(type);
    }
    return {};
}

QClipboard& clipboard() {
    QClipboard* board = QGuiApplication::clipboard();
    if (!board)
        throw DbError(QStringLiteral("Die Zwischenablage ist nicht verfügbar."));
    return *board;
}

void setRtf(QMimeData* data, const QByteArray& rtf) {
    for (const QString& type : rtfMimeTypes())
        data->setData(type, rtf);
}

} // namespace

QMimeData* mimeDataOfDocument(const QTextDocument& document) {
    auto* data = new QMimeData;
    setRtf(data, toRtf(document));
    data->setHtml(document.toHtml());
    data->setText(document.toPlainText());
    return data;
}

std::unique_ptr<QTextDocument> documentOfMimeData(const QMimeData& data) {
    const QByteArray rtf = rtfOf(data);
    if (!rtf.isEmpty()) {
        try {
            return fromRtf(rtf);
        } catch (const RtfError&) {
            // Another form of the same text is as good; without one the
            // error goes to the caller.
            if (!data.hasHtml() && !data.hasText())
                throw;
        }
    }
    auto document = std::make_unique<QTextDocument>();
    if (data.hasHtml())
        document->setHtml(data.html());
    else if (data.hasText())
        document->setPlainText(data.text());
    else
        return nullptr;
    return document;
}

void putOnClipboard(const QTextDocument& document) {
    clipboard().setMimeData(mimeDataOfDocument(document));
}

std::unique_ptr<QTextDocument> documentOnClipboard() {
    const QMimeData* data = clipboard().mimeData();
    if (!data)
        return nullptr;
    return documentOfMimeData(*data);
}

void putRtfOnClipboard(const QByteArray& rtf) {
    if (!isRtf(rtf)) {
        putOnClipboard(*fromRtfOrPlainText(rtf));
        return;
    }
    // Only readable RTF goes onto the clipboard; the plain text and HTML
    // forms come from the same reading.
    const auto document = fromRtf(rtf);
    auto* data = new QMimeData;
    setRtf(data, rtf);
    data->setHtml(document->toHtml());
    data->setText(document->toPlainText());
    clipboard().setMimeData(data);
}

QByteArray rtfOnClipboard() {
    const QMimeData* data = clipboard().mimeData();
    if (!data)
        return {};
    const QByteArray rtf = rtfOf(*data);
    if (!rtf.isEmpty() && isRtf(rtf))
        return rtf;
    const auto document = documentOfMimeData(*data);
    return document ? toRtf(*document) : QByteArray();
}

} // namespace richtext
