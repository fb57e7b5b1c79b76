#pragma once

#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StandInServices.h"

#include <QColor>
#include <QList>
#include <QRegularExpression>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>

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

// Every service a window needs, scripted.
struct FakeServices {
    ScriptedDialogs dialogs;
    RecordingSpeech speech;
    RecordingSounds sounds;
    ScriptedMediaPlayer media;
    RecordingCursor cursor;
    RecordingWaiter waiter;
    Services services{dialogs, speech, sounds, media, cursor, waiter};
};

// Raw bytes of a file, for byte-for-byte comparisons.
QByteArray fileBytes(const QString &path);
// A PNG file's bytes: a picture of one colour.
QByteArray pngBytes(const QColor &color, QSize size = {8, 8});
void writeBytes(const QString &path, const QByteArray &bytes);

// The rows of a table of cases in tests/data/cases: tab-separated columns holding the C
// escapes \r, \n, \t and \\; lines starting with "#", and a tab followed by "# ", are comments.
QList<QStringList> caseTable(const QString &name);

// Makes dir/<name> for each row of the media case table whose name matches `names`.
bool makeMedia(const QString &dir, const QRegularExpression &names);

// A board set of the open board format: two boards, "Maison" with every kind of button and
// "Jeux" with a way back; one picture too large to decode, another with a right header and
// wrong data.
using BoardEntries = std::vector<std::pair<QString, QByteArray>>;
BoardEntries boardSet();
// The entries zipped into dir/set.obz.
QString package(const QTemporaryDir &dir, const BoardEntries &entries);

// A small file system of its own (tmpfs), for a disk that is really full or really
// read-only. Mounting needs root: mounted() tells whether it could be done.
class SmallDisk {
public:
    explicit SmallDisk(const QString &size);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString path(const QString &name) const { return dir_.filePath(name); }
    // Writes until no byte more fits, then frees `leave` bytes of it.
    bool fill(qint64 leave = 0);
    bool makeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// The controls of a window a screen reader could not name (their object names).
QStringList unnamedControls(const QWidget *window);

} // namespace tv::test
