#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

namespace tv {

class Dialogs;

// Says a text aloud, asynchronously; a new text cuts off the one being said.
class Speech {
public:
    virtual ~Speech() = default;
    virtual void speak(const QString &text) = 0;
    // Still saying the last text given (as far as can be told).
    virtual bool isSpeaking() const { return false; }
    // Empty when speech works; else why nothing can be heard, for the carer.
    virtual QString unavailableReason() { return {}; }
    // The same as far as can be told at once, without waiting: empty while it is not known.
    virtual QString unavailableNow() { return {}; }
};

// Plays a whole WAV image from memory, asynchronously; a new sound cuts off the last one.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playWav(const QByteArray &wav) = 0;
    virtual void stop() = 0;
};

// Plays one media file at a time and reports its mode: "playing", "stopped", "paused", or
// "open" while a file is being opened.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual void setFileName(const QString &path) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void pause() = 0;
    virtual QString mode() const = 0;
    // Where the video is drawn. The player owns it: a window that shows it gives it back
    // (unparents it) before it goes. None for a player without pictures.
    virtual QWidget *view() { return nullptr; }
    std::function<void(const QString &mode)> onModeChange;
    // The file cannot be opened or played; the text says why, for the carer.
    std::function<void(const QString &why)> onError;
};

// Records a voice from the audio server's default input, on a thread of its own: 16-bit
// mono samples at kVoiceRate. The window takes what came in as often as it likes.
class VoiceInput {
public:
    static constexpr int kVoiceRate = 44100;
    virtual ~VoiceInput() = default;
    // Starts a new recording; a failure shows later in failure().
    virtual void start() = 0;
    virtual void stop() = 0;
    // The samples (little-endian) received since the last call.
    virtual QByteArray takeSamples() = 0;
    // Why nothing can be recorded (no audio server, no microphone), for the carer; empty
    // while recording works or is still being set up.
    virtual QString failure() const = 0;
};

// Moves the mouse cursor to a point on the screen.
class CursorPlacer {
public:
    virtual ~CursorPlacer() = default;
    virtual void moveTo(const QPoint &globalPos) = 0;
};

// Refuses a second running copy of the program working on the same directory.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // False when another running copy holds the guard.
    virtual bool acquire() = 0;
};

// Blocks the calling thread.
class Waiter {
public:
    virtual ~Waiter() = default;
    virtual void waitMs(int milliseconds) = 0;
};

// The services every window is given.
struct Services {
    Dialogs &dialogs;
    Speech &speech;
    SoundPlayer &sounds;
    MediaPlayer &media;
    CursorPlacer &cursor;
    Waiter &waiter;
    VoiceInput &voice;
};

} // namespace tv
