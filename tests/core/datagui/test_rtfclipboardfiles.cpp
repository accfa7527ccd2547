#include "core/datagui/rtfclipboardfiles.h"
#include "core/framefixture.h"
#include "platform/errors.h"
#include "platform/richtext/richtextclipboard.h"
#include "platform/richtext/rtf.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class RtfClipboardFilesTest : public frametest::ProgramDirFixture {
protected:
    QString file(const QString& name) const { return root(name); }
    static void write(const QString& name, const QByteArray& bytes) { writeBytes(name, bytes); }
    static QByteArray read(const QString& name) { return readBytes(name); }
};

TEST_F(RtfClipboardFilesTest, AFileGoesThroughTheClipboardIntoAnotherFile) {
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Grund{\\b fett}\\par}";
    write(file(QStringLiteral("modul.rtf")), rtf);
    EXPECT_TRUE(CopyRtfFileToClipboard(file(QStringLiteral("modul.rtf"))));
    EXPECT_EQ(richtext::rtfOnClipboard(), rtf);
    EXPECT_TRUE(SaveClipboardToRtfFile(file(QStringLiteral("kopie.rtf"))));
    const QByteArray saved = read(file(QStringLiteral("kopie.rtf")));
    EXPECT_TRUE(richtext::isRtf(saved));
    EXPECT_EQ(richtext::plainTextOfRtf(saved), QStringLiteral("Grundfett"));
}

TEST_F(RtfClipboardFilesTest, APlainTextFileIsReadAsWindows1252) {
    write(file(QStringLiteral("brief.txt")), "Gr\xFC\xDF"
                                             "e\r\n");
    EXPECT_TRUE(CopyRtfFileToClipboard(file(QStringLiteral("brief.txt"))));
    EXPECT_EQ(richtext::plainTextOfRtf(richtext::rtfOnClipboard()).trimmed(),
              QStringLiteral("Grüße"));
}

TEST_F(RtfClipboardFilesTest, AMissingFileRaisesAndLeavesTheClipboard) {
    richtext::putRtfOnClipboard(richtext::rtfFromPlainText(QStringLiteral("vorher")));
    const QString missing = file(QStringLiteral("fehlt.rtf"));
    try {
        CopyRtfFileToClipboard(missing);
        FAIL() << "no error";
    } catch (const DbError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Datei %1\rist nicht vorhanden!").arg(missing));
    }
    EXPECT_EQ(richtext::plainTextOfRtf(richtext::rtfOnClipboard()).trimmed(),
              QStringLiteral("vorher"));
}

TEST_F(RtfClipboardFilesTest, AFailedWriteRaisesAndKeepsTheOldFile) {
    // A directory in place of the file cannot be replaced.
    const QString blocked = file(QStringLiteral("block.rtf"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    richtext::putRtfOnClipboard(richtext::rtfFromPlainText(QStringLiteral("neu")));
    EXPECT_THROW(SaveClipboardToRtfFile(blocked), DbError);
    EXPECT_THROW(SaveClipboardToRtfFile(file(QStringLiteral("gibtsnicht/x.rtf"))), DbError);

    const QString old = file(QStringLiteral("alt.rtf"));
    write(old, "{\\rtf1 alt\\par}");
    QFile(old).setPermissions(QFileDevice::ReadOwner);
    presenter.answers = {false}; // the write protection stays
    try {
        SaveClipboardToRtfFile(old);
        FAIL() << "no error";
    } catch (const DbError& error) {
        EXPECT_TRUE(error.message().contains(old));
    }
    EXPECT_EQ(read(old), QByteArray("{\\rtf1 alt\\par}"));
}

} // namespace
