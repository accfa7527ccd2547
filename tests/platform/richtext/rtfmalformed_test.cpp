#include "documentdescription.h"
#include "platform/richtext/rtf.h"
#include "support/testdirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <optional>

using richtext::RtfError;

namespace {

// Reads the input; returns the text when it gave a document, nothing when it
// gave an RtfError. Any other outcome fails the test.
std::optional<QString> readOrError(const QByteArray& input) {
    try {
        const auto document = richtext::fromRtf(input);
        // What the writer makes of it must read back to the same document.
        const auto again = richtext::fromRtf(richtext::toRtf(*document));
        EXPECT_EQ(describeDocument(*again), describeDocument(*document));
        return document->toRawText();
    } catch (const RtfError& error) {
        EXPECT_FALSE(error.message().isEmpty());
        return std::nullopt;
    }
}

QByteArray repeated(const char* piece, int count) {
    return QByteArray(piece).repeated(count);
}

struct BrokenCase {
    const char* name;
    QByteArray input;
    const char* text; // nullptr: an RtfError is expected
};

const BrokenCase kBroken[] = {
    {"NotRtf", "Hallo", nullptr},
    {"EmptyInput", "", nullptr},
    {"OnlyTheStart", "{\\rtf", ""},
    {"UnclosedGroups", "{\\rtf1 a{\\b b{\\i c", "abc"},
    {"UnclosedFontTable", "{\\rtf1{\\fonttbl{\\f0 Arial", ""},
    {"UnclosedColourTable", "{\\rtf1{\\colortbl;\\red300\\green-5\\blue", ""},
    {"TooManyClosingBraces", "{\\rtf1 a}}}} b", "a"},
    {"BackslashAtTheEnd", "{\\rtf1 a\\", "a"},
    {"HexByteCutShort", "{\\rtf1 a\\'4", "a4"},
    {"HexByteNotHex", "{\\rtf1 a\\'zzb}", "azzb"},
    {"MinusWithoutDigits", "{\\rtf1 a\\fs- b}", "a- b"},
    {"LargestNumbers", "{\\rtf1\\fs2147483647\\li-2147483648\\tx2147483647 a}", "a"},
    {"NumberTooLarge", "{\\rtf1\\fs2147483648 a}", nullptr},
    {"NumberWithManyDigits", "{\\rtf1\\li" + QByteArray(5000, '9') + " a}", nullptr},
    {"UnicodeOutOfRange", "{\\rtf1\\u70000?a\\u-70000?b}", "ab"},
    {"HugeFallbackCount", "{\\rtf1\\uc2147483647\\u65 bcd}", "A"},
    {"BinaryLongerThanTheInput", "{\\rtf1 a\\bin2000000000 xyz}", "a"},
    {"NegativeBinaryLength", "{\\rtf1 a\\bin-5 xyz}", "axyz"},
    {"NestingWithinTheLimit", "{\\rtf1" + repeated("{", 400) + "tief" + repeated("}", 401), "tief"},
    {"NestingTooDeep", "{\\rtf1" + repeated("{", 100000) + "tief", nullptr},
    {"ListLevelsBeyondNine",
     "{\\rtf1{\\*\\listtable{\\list" + repeated("{\\listlevel\\levelnfc3}", 50) +
         "\\listid1}}{\\listoverridetable{\\listoverride\\listid1\\ls1}}\\ls1\\ilvl99 x\\par}",
     "x"},
    {"UnknownListOverride", "{\\rtf1\\ls42\\ilvl3 x\\par}", "x"},
    {"FrameMarkersAsUnicode", "{\\rtf1 a\\u65532?\\u-560?\\u-559?\\u8233?b}", "a\u2028b"},
    {"NulBytes", QByteArray("{\\rtf1 a\0b\\'00c}", 16), "abc"},
};

TEST(RtfMalformed, GivesADocumentOrAClearError) {
    for (const BrokenCase& broken : kBroken) {
        SCOPED_TRACE(broken.name);
        const std::optional<QString> text = readOrError(broken.input);
        if (broken.text) {
            ASSERT_TRUE(text.has_value());
            EXPECT_EQ(text->toStdString(), broken.text);
        } else {
            EXPECT_FALSE(text.has_value());
        }
    }
}

TEST(RtfMalformed, TabStopsPerParagraphAreLimited) {
    // Every paragraph would otherwise carry all of them.
    const auto document = richtext::fromRtf("{\\rtf1" + repeated("\\tx100", 100000) +
                                            repeated(" a\\par", 1000) + "}");
    EXPECT_EQ(document->blockCount(), 1000);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        ASSERT_EQ(block.blockFormat().tabPositions().size(), 64);
}

TEST(RtfMalformed, RandomBytesAfterTheStart) {
    // Random bytes, and random RTF tokens, after a valid start: a seeded
    // generator keeps the inputs the same from run to run.
    static const char* const tokens[] = {
        "{",    "}",      "\\",      "\\'",       "\\u",        "\\uc3",     "\\par",
        "\\b",  "\\*",    "\\bin3 ", "\\fonttbl", "\\colortbl", "\\f",       "\\listtext",
        "\\pn", "\\cell", "\\row",   "\\ls1",     "\\pict",     "\\fldrslt", "9",
        "-",    ";",      "x",       " ",         "\xff"};
    QRandomGenerator random(4711);
    for (int round = 0; round < 300; ++round) {
        QByteArray input = "{\\rtf1 ";
        const int length = int(random.bounded(400));
        for (int i = 0; i < length; ++i) {
            if (round % 2)
                input.append(char(random.bounded(256)));
            else
                input.append(tokens[random.bounded(int(std::size(tokens)))]);
        }
        SCOPED_TRACE(input.toHex().toStdString());
        readOrError(input);
    }
}

QString crashDir() {
    return testsupport::sourceDir() + QStringLiteral("/tests/platform/richtext/crashes");
}

// Inputs that once crashed the reader or broke the round trip under the fuzzer.
TEST(RtfMalformed, InputsTheFuzzerFound) {
    const QFileInfoList files = QDir(crashDir()).entryInfoList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QFileInfo& info : files) {
        SCOPED_TRACE(info.fileName().toStdString());
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray input = file.readAll();
        // The fuzzer reads input that is not RTF as RTF text.
        if (input.size() > 2 && !richtext::isRtf(input))
            input.prepend("{\\rtf1 ");
        readOrError(input);
    }
}

} // namespace
