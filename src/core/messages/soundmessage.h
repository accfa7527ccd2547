#pragma once
#include <QString>

// Plays the wave files of the message sounds. The main window installs one
// while it exists; tests install a recording one.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // False when the file cannot be played.
    virtual bool open(const QString& fileName) = 0;
    virtual void play() = 0;
    virtual void close() = 0;
};
// Returns the previous player; nullptr: none.
SoundPlayer* SetSoundPlayer(SoundPlayer* player);

// An information box with a sound: while SoundsOn, a player is installed and
// the sound file of SoundNr exists, the sound plays during a quiet box and
// stops when the box is dismissed (also when showing it fails). Otherwise
// the ordinary box with its beep.
void ShowSoundMessage(const QString& text, int soundNr);
