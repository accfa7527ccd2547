#include "core/framefixture.h"
#include "core/messages/soundmessage.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class RecordingPlayer : public SoundPlayer {
public:
    bool open(const QString& fileName) override {
        calls << u"open "_s + QFileInfo(fileName).fileName();
        return openSucceeds;
    }
    void play() override { calls << u"play"_s; }
    void close() override { calls << u"close"_s; }
    QStringList calls;
    bool openSucceeds = true;
};

class SoundMessageTest : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedSounds = SoundsOn;
        m_savedDir = SoundsDir;
        SoundsDir = root(u"sounds/"_s);
        writeBytes(SoundsDir + u"chimes.wav"_s, "RIFF");
        SoundsOn = true;
        m_previous = SetSoundPlayer(&player);
    }
    void TearDown() override {
        SetSoundPlayer(m_previous);
        SoundsOn = m_savedSounds;
        SoundsDir = m_savedDir;
        ProgramDirFixture::TearDown();
    }
    RecordingPlayer player;

private:
    bool m_savedSounds = false;
    QString m_savedDir;
    SoundPlayer* m_previous = nullptr;
};

TEST_F(SoundMessageTest, PlaysDuringAQuietBoxAndClosesAfterwards) {
    ShowSoundMessage(u"Termin um 10:00"_s, 2);
    EXPECT_EQ(player.calls, (QStringList{u"open chimes.wav"_s, u"play"_s, u"close"_s}));
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(presenter.boxes.first().kind, Kind::InfoQuiet);
    EXPECT_EQ(presenter.boxes.first().text, u"Termin um 10:00"_s);
}

TEST_F(SoundMessageTest, FallsBackToTheBoxWithBeep) {
    const struct {
        const char* why;
        bool soundsOn;
        bool withPlayer;
        int soundNr;
        bool openSucceeds;
    } cases[] = {
        {"sounds off (+NS)", false, true, 2, true},
        {"no player", true, false, 2, true},
        {"file missing", true, true, 1, true},
        {"file not playable", true, true, 2, false},
    };
    for (const auto& c : cases) {
        presenter.boxes.clear();
        player.calls.clear();
        SoundsOn = c.soundsOn;
        player.openSucceeds = c.openSucceeds;
        SetSoundPlayer(c.withPlayer ? &player : nullptr);
        ShowSoundMessage(u"Hinweis"_s, c.soundNr);
        ASSERT_EQ(presenter.boxes.size(), 1) << c.why;
        EXPECT_EQ(presenter.boxes.first().kind, Kind::Info) << c.why;
        EXPECT_FALSE(player.calls.contains(u"play"_s)) << c.why;
    }
}

TEST_F(SoundMessageTest, PlayerIsClosedWhenTheBoxFails) {
    class FailingPresenter : public MessagePresenter {
        bool show(Kind, const QString&, int, int) override { throw DbError(u"kein Bildschirm"_s); }
    } failing;
    MessagePresenter* previous = SetMessagePresenter(&failing);
    EXPECT_THROW(ShowSoundMessage(u"Hinweis"_s, 2), DbError);
    SetMessagePresenter(previous);
    EXPECT_EQ(player.calls.last(), u"close"_s);
}

} // namespace
