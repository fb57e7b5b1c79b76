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
};

} // namespace tv
