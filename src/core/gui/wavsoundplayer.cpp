#include "core/gui/wavsoundplayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

WavSoundPlayer::WavSoundPlayer() = default;

WavSoundPlayer::~WavSoundPlayer() = default;

bool WavSoundPlayer::open(const QString& fileName) {
    close();
    if (!QFileInfo(fileName).isFile())
        return false;
    m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(fileName));
    // A file the decoder refuses ends in the error state at once; one still
    // loading is given the benefit of the doubt and simply stays silent.
    return m_effect->status() != QSoundEffect::Error;
}

void WavSoundPlayer::play() {
    if (m_effect)
        m_effect->play();
}

void WavSoundPlayer::close() {
    if (m_effect)
        m_effect->stop();
    m_effect.reset();
}
