#pragma once

#include "Services.h"

#include <QObject>
#include <QTemporaryFile>
#include <memory>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

namespace tv {

// Sound, music and video files on Qt Multimedia, to the machine's default audio output.
class QtMediaPlayer final : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    explicit QtMediaPlayer(QObject *parent = nullptr);
    ~QtMediaPlayer() override;

    void setFileName(const QString &path) override;
    void play() override;
    void stop() override;
    void pause() override;
    QString mode() const override;
    QWidget *view() override;

private:
    // The media framework starts when the first file is played, not with the program.
    QMediaPlayer &player();
    void reportMode();
    // MIDI is played by our own synthesizer into a sound file, which the player then plays:
    // the framework's live MIDI path starts silent too often.
    void prepareMidi(const QString &path);
    void midiReady(quint64 generation, const QByteArray &wav, const QString &why);

    quint64 generation_ = 0;
    bool midiPending_ = false;
    bool playWhenReady_ = false;
    std::unique_ptr<QTemporaryFile> midiSound_;

    // The view outlives the player, which draws into it until its last frame.
    std::unique_ptr<QVideoWidget> view_;
    std::unique_ptr<QMediaPlayer> player_;
    QAudioOutput *output_ = nullptr;
    QString reported_ = QStringLiteral("stopped");
};

} // namespace tv
