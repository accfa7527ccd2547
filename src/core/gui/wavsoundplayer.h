#pragma once

#include "core/messages/soundmessage.h"

#include <memory>

class QSoundEffect;

// Plays the message sounds (wave files) through Qt Multimedia.
class WavSoundPlayer : public SoundPlayer {
public:
    WavSoundPlayer();
    ~WavSoundPlayer() override;

    bool open(const QString& fileName) override;
    void play() override;
    void close() override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};
