#pragma once

#include "OffThread.h"
#include "Services.h"

#include <QObject>
#include <QPointer>
#include <QTemporaryFile>
#include <memory>

struct mpv_handle;
struct mpv_event;

namespace tv {

// Sound, music and video files on libmpv, to the audio server's default output, the video
// drawn into our own view. libmpv is a player made for this: it reports the start of
// playback and every failure as events of the file it concerns, and one bad file never
// leaves it unable to play the next.
class MpvMediaPlayer final : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    explicit MpvMediaPlayer(QObject *parent = nullptr);
    ~MpvMediaPlayer() override;

    void setFileName(const QString &path) override;
    void play() override;
    void stop() override;
    void pause() override;
    QString mode() const override;
    QWidget *view() override;

private:
    // The player starts when the first file is played, not with the program.
    bool ensurePlayer();
    void drainEvents();
    void handle(const mpv_event &event);
    void fail(const QString &why);
    void reportMode();
    void load(const QString &path);
    // MIDI is played by our own synthesizer into a sound file, which the player then plays.
    void prepareMidi(const QString &path);
    void midiReady(const QByteArray &wav, const QString &why);

    mpv_handle *mpv_ = nullptr;
    QString path_;
    QString format_; // the container, from the file's first bytes; empty: not played
    bool midiPending_ = false;
    bool playWhenReady_ = false;
    std::unique_ptr<QTemporaryFile> midiSound_;

    // The file asked for last, as the player numbers it; events of others are old news.
    qint64 entry_ = -1;
    bool requested_ = false; // asked to play, not heard yet
    bool playing_ = false;
    bool paused_ = false;

    std::unique_ptr<QWidget> view_;
    QString reported_ = QStringLiteral("stopped");
    // The MIDI file being rendered; last, so that it is waited for before the rest goes.
    OffThread midi_;
};

} // namespace tv
