#pragma once

#include "Services.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <memory>

namespace tv {

class PcmStream;

// The French voice of espeak-ng. Synthesis runs on a thread of its own and hands its
// samples to the audio output as they come, so speech starts at once; a new text cuts off
// the one being said and whatever was still to be synthesised.
class EspeakSpeech final : public QObject, public Speech {
    Q_OBJECT
public:
    explicit EspeakSpeech(QObject *parent = nullptr);
    ~EspeakSpeech() override;

    void speak(const QString &text) override;
    QString unavailableReason() override;
    QString unavailableNow() override;

    // Waits until the engine has started (or failed to); for tests and benchmarks.
    bool waitUntilReady(int timeoutMs = 10000);
    bool isAvailable() const { return available_.load(); }
    bool isSpeaking() const override;

    // Synthesises a text to samples without playing it (22050 Hz, mono, 16 bits). With
    // stopAfterBytes, the synthesis is cut off there, as a new phrase cuts off the last.
    QByteArray synthesize(const QString &text, qsizetype stopAfterBytes = -1);

signals:
    // The first samples of the text last given reached the audio output.
    void audioStarted();

private:
    struct Job {
        QString text;
        quint64 generation = 0;
        quint64 take = 0;              // the audio output's take for this text
        QByteArray *capture = nullptr; // synthesize(): collect instead of playing
        qsizetype stopAfterBytes = -1;
    };
    void run();
    static int callback(short *wav, int samples, void *events);

    // The audio output has a thread of its own, so that speech goes on while the interface
    // thread is busy or blocked (the farewell is said during a blocking wait).
    std::unique_ptr<PcmStream> stream_;
    std::unique_ptr<QThread> worker_;
    QMutex mutex_;
    QWaitCondition wake_;
    QWaitCondition idle_;
    std::unique_ptr<Job> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    std::atomic<quint64> generation_{0};
    std::atomic<bool> ready_{false};
    std::atomic<bool> available_{false};
};

} // namespace tv
