#include "core/files/filedialogfilter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(FileDialogFilter, TurnsPairsIntoQtNameFilters) {
    struct Case {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {u"Textdateien|.txt|Rich-Text-Dateien|.rtf"_s,
         {u"Textdateien (*.txt)"_s, u"Rich-Text-Dateien (*.rtf)"_s}},
        {u"Textdateien (*.txt)|*.txt|Word-Dokumente (*.doc|*.doc|Alle Dateien (*.*)|*.*"_s,
         {u"Textdateien (*.txt)"_s, u"Word-Dokumente (*.doc)"_s, u"Alle Dateien (*)"_s}},
        {u"Bilder|*.jpg;*.bmp|"_s, {u"Bilder (*.jpg *.bmp)"_s}},
        {u"Datensicherungen (*.CC3|*.CC3"_s, {u"Datensicherungen (*.CC3)"_s}},
        {u"Dokumente|doc"_s, {u"Dokumente (*.doc)"_s}},
        {u"Alles"_s, {u"Alles (*)"_s}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtNameFilters(c.filter), c.expected) << c.filter.toStdString();
    EXPECT_EQ(QtFilterString(u"A|.a|B|.b"_s), u"A (*.a);;B (*.b)");
}

} // namespace
