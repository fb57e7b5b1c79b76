#pragma once

#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StandInServices.h"

#include <QStringList>
#include <deque>
#include <utility>

class QWidget;

namespace tv::test {

struct AskedMessage {
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
    QString title; // as shown: the program title when none was given
};

// Answers from a queue and records what was asked. An empty queue answers OK / Cancel.
struct ScriptedDialogs final : Dialogs {
    std::deque<MessageAnswer> answers;
    std::deque<QString> inputs;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<qint32>> colors;
    QList<AskedMessage> messages;
    QList<OpenFileRequest> fileRequests;

    MessageAnswer message(const QString &text, MessageIcon icon, MessageButtons buttons,
                          const QString &title) override;
    QString input(const QString &prompt, const QString &title, const QString &preset) override;
    std::optional<QString> openFile(const OpenFileRequest &request) override;
    std::optional<qint32> chooseColor() override;
};

struct RecordingSpeech final : Speech {
    QStringList said;
    bool speaking = false; // what isSpeaking answers
    QString unavailable;   // what unavailableNow answers
    void speak(const QString &text) override { said << text; }
    bool isSpeaking() const override { return speaking; }
    QString unavailableNow() override { return unavailable; }
};

struct RecordingSounds final : SoundPlayer {
    QList<QByteArray> played;
    void playWav(const QByteArray &wav) override { played << wav; }
    void stop() override {}
};

// Records what it was told; plays at once unless told to stay opening or to fail.
struct ScriptedMediaPlayer final : MediaPlayer {
    enum class OnPlay { Plays, StaysOpen, Fails };
    OnPlay onPlay = OnPlay::Plays;
    QStringList commands; // "file <path>", "play", "stop", "pause"
    QString current = QStringLiteral("stopped");

    void setFileName(const QString &path) override { commands << QStringLiteral("file ") + path; }
    void play() override;
    void stop() override;
    void pause() override;
    QString mode() const override { return current; }
    // The player's own notification of a new mode, as at the end of a file.
    void enterMode(const QString &mode);
};

struct RecordingWaiter final : Waiter {
    QList<int> waits;
    void waitMs(int ms) override { waits << ms; }
};

struct FixedGuard final : InstanceGuard {
    bool free = true;
    bool acquire() override { return free; }
};

struct RecordingCursor final : CursorPlacer {
    QList<QPoint> moves;
    void moveTo(const QPoint &globalPos) override { moves << globalPos; }
};

// A microphone that hears what the test gives it, or none (failure set).
class ScriptedVoiceInput final : public VoiceInput {
public:
    void start() override { recording = true; }
    void stop() override { recording = false; }
    QByteArray takeSamples() override {
        return recording ? std::exchange(heard, {}) : QByteArray();
    }
    QString failure() const override { return missing; }
    bool recording = false;
    QByteArray heard;
    QString missing;
};

// Every service a window needs, scripted.
struct FakeServices {
    ScriptedDialogs dialogs;
    RecordingSpeech speech;
    RecordingSounds sounds;
    ScriptedMediaPlayer media;
    RecordingCursor cursor;
    RecordingWaiter waiter;
    ScriptedVoiceInput voice;
    Services services{dialogs, speech, sounds, media, cursor, waiter, voice};
};

// The controls of a window a screen reader could not name (their object names).
QStringList unnamedControls(const QWidget *window);

} // namespace tv::test
