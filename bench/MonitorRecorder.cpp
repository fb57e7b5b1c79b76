#include "MonitorRecorder.h"

#include <QDeadlineTimer>
#include <pulse/simple.h>

namespace tv::bench {

MonitorRecorder::~MonitorRecorder() {
    stop();
    wait();
}

bool MonitorRecorder::waitUntilListening(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!listening_ && !failed_ && !deadline.hasExpired())
        QThread::msleep(10);
    return listening_;
}

std::vector<qint16> MonitorRecorder::samples() const {
    QMutexLocker lock(&mutex_);
    return samples_;
}

double MonitorRecorder::sampleAt(double ms) const {
    QMutexLocker lock(&mutex_);
    if (anchors_.empty())
        return 0;
    if (anchors_.size() == 1)
        return anchors_[0].sample + (ms - anchors_[0].ms) * kRate / 1000.0;
    size_t i = 1;
    while (i + 1 < anchors_.size() && anchors_[i].ms < ms)
        ++i;
    const Anchor &a = anchors_[i - 1], &b = anchors_[i];
    return a.sample + (ms - a.ms) * (b.sample - a.sample) / (b.ms - a.ms);
}

void MonitorRecorder::run() {
    pa_sample_spec layout{PA_SAMPLE_S16LE, uint32_t(kRate), 1};
    // Small fragments: each read is timed to within a few milliseconds.
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.fragsize = uint32_t(kRate * 2 * 5 / 1000);
    int error = 0;
    pa_simple *in = pa_simple_new(nullptr, "tablavox-bench", PA_STREAM_RECORD, "@DEFAULT_MONITOR@",
                                  "monitor", &layout, nullptr, &attr, &error);
    if (!in) {
        failed_ = true;
        return;
    }
    std::vector<qint16> chunk(size_t(kRate * 5 / 1000));
    while (!stopping_) {
        if (pa_simple_read(in, chunk.data(), chunk.size() * 2, &error) < 0)
            break;
        // The source's reported latency is the output's while the two settle, not a backlog
        // of ours: reads come at the pace of the samples, so the read time alone is used.
        const double now = double(clock_.nsecsElapsed()) / 1e6;
        QMutexLocker lock(&mutex_);
        samples_.insert(samples_.end(), chunk.begin(), chunk.end());
        const double last = double(samples_.size());
        // What the time of the stretch's first sample would be, from this read.
        const size_t stretch = size_t(last) / (2 * kRate);
        const double first = double(stretch * 2 * kRate);
        const double ms = now - (last - first) * 1000.0 / kRate;
        if (anchors_.size() <= stretch)
            anchors_.push_back({first, ms});
        else
            anchors_[stretch].ms = std::min(anchors_[stretch].ms, ms);
        listening_ = true;
    }
    pa_simple_free(in);
}

} // namespace tv::bench
