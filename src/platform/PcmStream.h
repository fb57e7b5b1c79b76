#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QTimer>

class QAudioSink;
class QIODevice;

namespace tv {

// Feeds raw samples to the default audio output as they come, and drops everything at
// once when told to, so that a new sound never waits behind an old one.
class PcmStream : public QObject {
    Q_OBJECT
public:
    explicit PcmStream(const QAudioFormat &format, QObject *parent = nullptr);
    ~PcmStream() override;

    // False when the machine has no audio output, after waiting up to waitMs for one.
    bool available(int waitMs = 0);
    const QAudioFormat &format() const { return format_; }

    // Silences what is playing and forgets what is queued.
    void restart();
    void append(const QByteArray &pcm);
    bool isPlaying() const;

signals:
    // The first samples since the last restart reached the audio output.
    void started();

private:
    void pump();
    bool ensureSink();

    QAudioFormat format_;
    QAudioSink *sink_ = nullptr;
    QIODevice *device_ = nullptr;
    QByteArray pending_;
    QTimer *pumpTimer_ = nullptr;
    bool startedSignalled_ = false;
};

} // namespace tv
