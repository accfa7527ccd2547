#include "core/files/filelookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(FileLookup, FindsFoldersAndFilesUnderAnyCaseAndKeepsBlanks) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(u"EXPORT/Sub"_s));
    for (const QString& name : {u"EXPORT/  17_0409_SEP.TXT"_s, u"Personen.txt"_s})
        ASSERT_TRUE(QFile(root.filePath(name)).open(QIODevice::WriteOnly));
    const QString dir = root.path();
    const struct {
        QString relative;
        QString found; // empty: not found
    } cases[] = {
        {u"Export/  17_0409_Sep.txt"_s, u"EXPORT/  17_0409_SEP.TXT"_s},
        {u"export\\  17_0409_sep.txt"_s, u"EXPORT/  17_0409_SEP.TXT"_s},
        {u"PERSONEN.TXT"_s, u"Personen.txt"_s},
        {u"Export/17_0409_Sep.txt"_s, {}}, // the blanks belong to the name
        {u"Export/Sub"_s, {}},             // a folder is no file
        {u"Import/  17_0409_Sep.txt"_s, {}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relative.toStdString());
        EXPECT_EQ(FindPathIgnoringCase(dir, c.relative),
                  c.found.isEmpty() ? QString() : QDir(dir).filePath(c.found));
    }
    EXPECT_EQ(FindFileIgnoringCase(dir, u"personen.TXT"_s), QDir(dir).filePath(u"Personen.txt"_s));
}

} // namespace
