#include "core/messages/soundmessage.h"

#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/settings/programsettings.h"

#include <QFileInfo>

namespace {
SoundPlayer* g_player = nullptr;
}

SoundPlayer* SetSoundPlayer(SoundPlayer* player) {
    SoundPlayer* previous = g_player;
    g_player = player;
    return previous;
}

void ShowSoundMessage(const QString& text, int soundNr) {
    const QString file = GetSoundFile(soundNr);
    if (!SoundsOn || !g_player || !QFileInfo::exists(file) || !g_player->open(file)) {
        ShowInfo(text);
        return;
    }
    struct Closer {
        SoundPlayer* player;
        ~Closer() { player->close(); }
    } closer{g_player};
    g_player->play();
    ShowInfoQuiet(text);
}
