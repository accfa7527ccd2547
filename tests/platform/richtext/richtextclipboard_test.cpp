#include "documentdescription.h"
#include "platform/richtext/richtextclipboard.h"
#include "platform/richtext/rtf.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace richtext;

namespace {

std::unique_ptr<QTextDocument> formattedDocument() {
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontFamilies({QStringLiteral("Arial")});
    bold.setFontPointSize(11);
    cursor.insertText(QStringLiteral("Grüße "), bold);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontFamilies({QStringLiteral("Arial")});
    red.setFontPointSize(11);
    cursor.insertText(QStringLiteral("5 €"), red);
    return document;
}

TEST(RichTextClipboard, DocumentGoesOnTheClipboardInEveryForm) {
    const auto document = formattedDocument();
    putOnClipboard(*document);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    for (const QString& type : rtfMimeTypes())
        EXPECT_TRUE(isRtf(data->data(type))) << type.toStdString();
    EXPECT_EQ(data->text(), QStringLiteral("Grüße 5 €"));
    EXPECT_TRUE(data->hasHtml());

    const auto pasted = documentOnClipboard();
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(describeDocument(*pasted), describeDocument(*document));
}

TEST(RichTextClipboard, RtfBytesTravelUnchanged) {
    const QByteArray rtf = R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\b Baustein\par})";
    putRtfOnClipboard(rtf);
    EXPECT_EQ(rtfOnClipboard(), rtf);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Baustein"));
}

TEST(RichTextClipboard, BrokenRtfDoesNotGoOnTheClipboard) {
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    EXPECT_THROW(putRtfOnClipboard("{\\rtf1" + QByteArray(1000, '{')), RtfError);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
}

TEST(RichTextClipboard, TextFileGoesOnTheClipboardAsPlainText) {
    putRtfOnClipboard("Gr\xfc\xdf"
                      "e\r\nZeile 2");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Grüße\nZeile 2"));
    EXPECT_EQ(plainTextOfRtf(rtfOnClipboard()), QStringLiteral("Grüße\nZeile 2"));
}

TEST(RichTextClipboard, RtfOfAClipboardWithoutRtf) {
    QGuiApplication::clipboard()->setText(QStringLiteral("nur Text\nzwei"));
    EXPECT_EQ(plainTextOfRtf(rtfOnClipboard()), QStringLiteral("nur Text\nzwei"));

    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(rtfOnClipboard().isEmpty());
    EXPECT_EQ(documentOnClipboard(), nullptr);
}

TEST(RichTextClipboard, MimeDataChoosesTheRichestReadableForm) {
    struct Case {
        const char* name;
        QByteArray rtf;
        QString html;
        QString text;
        QString expected; // plain text of the document; null: none, "!": RtfError
    };
    const Case cases[] = {
        {"RtfFirst", R"({\rtf1 aus RTF})", QStringLiteral("<b>aus HTML</b>"),
         QStringLiteral("aus Text"), QStringLiteral("aus RTF")},
        {"HtmlWithoutRtf",
         {},
         QStringLiteral("<b>aus HTML</b>"),
         QStringLiteral("aus Text"),
         QStringLiteral("aus HTML")},
        {"TextAlone", {}, {}, QStringLiteral("aus Text"), QStringLiteral("aus Text")},
        {"BrokenRtfFallsBack",
         "{\\rtf1" + QByteArray(2000, '{'),
         {},
         QStringLiteral("aus Text"),
         QStringLiteral("aus Text")},
        {"BrokenRtfAlone", "{\\rtf1" + QByteArray(2000, '{'), {}, {}, QStringLiteral("!")},
        {"Nothing", {}, {}, {}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMimeData data;
        if (!c.rtf.isEmpty())
            data.setData(QStringLiteral("application/rtf"), c.rtf);
        if (!c.html.isEmpty())
            data.setHtml(c.html);
        if (!c.text.isEmpty())
            data.setText(c.text);
        if (c.expected == QLatin1String("!")) {
            EXPECT_THROW(documentOfMimeData(data), RtfError);
            continue;
        }
        const auto document = documentOfMimeData(data);
        if (c.expected.isNull()) {
            EXPECT_EQ(document, nullptr);
            continue;
        }
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->toPlainText(), c.expected);
    }
}

} // namespace
