#include "core/gui/mainform.h"
#include "core/gui/wavsoundplayer.h"
#include "core/messages/soundmessage.h"
#include "core/moduleentries.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct SilentPlayer : SoundPlayer {
    bool open(const QString&) override { return true; }
    void play() override {}
    void close() override {}
};

TEST(WavSoundPlayer, RefusesAFileThatIsNotThere) {
    QTemporaryDir dir;
    WavSoundPlayer player;
    EXPECT_FALSE(player.open(dir.filePath(QStringLiteral("fehlt.wav"))));
    EXPECT_FALSE(player.open(dir.path()));
    player.play(); // nothing opened: no effect, no crash
    player.close();
}

// The main window brings the real player while it exists, but leaves one
// that was installed before it (a test's recorder) in charge.
TEST(WavSoundPlayer, MainWindowInstallsItsPlayerOnlyWhenNoneIsThere) {
    ModuleDispatcher dispatcher;
    ASSERT_EQ(SetSoundPlayer(nullptr), nullptr);
    {
        TF_LumoMain window(dispatcher);
        SoundPlayer* installed = SetSoundPlayer(nullptr);
        EXPECT_NE(dynamic_cast<WavSoundPlayer*>(installed), nullptr);
        SetSoundPlayer(installed);
    }
    EXPECT_EQ(SetSoundPlayer(nullptr), nullptr);

    SilentPlayer recorder;
    SetSoundPlayer(&recorder);
    {
        TF_LumoMain window(dispatcher);
        SoundPlayer* installed = SetSoundPlayer(&recorder);
        EXPECT_EQ(installed, &recorder);
    }
    EXPECT_EQ(SetSoundPlayer(nullptr), &recorder);
}

} // namespace
