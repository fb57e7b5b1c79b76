#pragma once

#include <QByteArray>

namespace tv {

class SoundPlayer;

// The nine page-change chimes stored in the program.
class PageSounds {
public:
    explicit PageSounds(SoundPlayer &player) : player_(player) {}

    // Plays sound n (1 to 9), cutting off the one still playing. Any other number, or a
    // machine without sound, plays nothing and says nothing.
    void playPageSound(int n);

    // The stored WAV image of sound n; empty when there is none.
    static QByteArray storedSound(int n);

private:
    SoundPlayer &player_;
    QByteArray pageSoundData_;
};

} // namespace tv
