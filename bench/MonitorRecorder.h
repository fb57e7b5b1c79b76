#pragma once

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <vector>

namespace tv::bench {

// Records what the audio server plays on its default output (its monitor), 22050 Hz mono,
// and knows when each sample was played, on the clock of `clock`. A read that comes late
// (the machine is busy) only ever makes a sample look younger than it is, so over each
// stretch of two seconds the earliest estimate is kept; between stretches the times are
// interpolated, which also follows the drift between the server's clock and ours.
class MonitorRecorder : public QThread {
public:
    static constexpr int kRate = 22050;
    explicit MonitorRecorder(const QElapsedTimer &clock) : clock_(clock) {}
    ~MonitorRecorder() override;
    bool waitUntilListening(int timeoutMs = 10000);
    void stop() { stopping_ = true; }

    // Samples recorded so far.
    std::vector<qint16> samples() const;
    // The index of the sample played at a time of the clock (ms); may lie outside.
    double sampleAt(double ms) const;

protected:
    void run() override;

private:
    const QElapsedTimer &clock_;
    mutable QMutex mutex_;
    std::vector<qint16> samples_;
    struct Anchor {
        double sample; // index
        double ms;     // earliest time seen for it
    };
    std::vector<Anchor> anchors_; // one a stretch
    std::atomic<bool> stopping_{false};
    std::atomic<bool> listening_{false};
    std::atomic<bool> failed_{false};
};

} // namespace tv::bench
