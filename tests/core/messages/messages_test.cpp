#include "core/framefixture.h"
#include "core/messages/messages.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class Messages : public frametest::ProgramDirFixture {};

// Ten megabytes typed into a field must not become a ten-megabyte box.
TEST_F(Messages, ValuesAndLinesAreCutToAReadableLength) {
    const QString typed(10 * 1024 * 1024, u'7');
    EXPECT_EQ(ShownValue(typed).size(), 61);
    EXPECT_EQ(ShownValue(u"42"_s), u"42"_s);

    ShowError(u"'"_s + typed + u"' ist kein gültiger Wert für das Feld K_Nr."_s);
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << u"Zeile %1"_s.arg(i);
    ShowInfo(u"Kurz\rund gut"_s);
    ShowInfo(lines.join(u'\r'));
    ASSERT_EQ(presenter.boxes.size(), 3);
    EXPECT_EQ(presenter.boxes[0].text.size(), 301);
    EXPECT_TRUE(presenter.boxes[0].text.startsWith(u"'7777"_s));
    EXPECT_EQ(presenter.boxes[1].text, u"Kurz\rund gut"_s);
    const QStringList shown = presenter.boxes[2].text.split(u'\r');
    EXPECT_EQ(shown.size(), 40);
    EXPECT_EQ(shown.first(), u"Zeile 0"_s);
    EXPECT_EQ(shown.last(), u"…"_s);
}

} // namespace
