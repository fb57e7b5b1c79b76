#include "PcmStream.h"

#include "PulseLock.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <pulse/pulseaudio.h>

namespace tv {

namespace {

// The server keeps this much ahead of what is heard, so a late client costs nothing.
constexpr int kAheadMs = 2000;
// Playback starts once this much has arrived; the server asks for more in steps of it, and
// with early requests the output's own latency is held to it too.
constexpr int kStepMs = 20;

bool alive(pa_context *c) {
    return c && PA_CONTEXT_IS_GOOD(pa_context_get_state(c));
}

} // namespace

PcmStream::PcmStream(const PcmFormat &format) : format_(format) {
    clock_.start();
    loop_ = pa_threaded_mainloop_new();
    pa_threaded_mainloop_set_name(loop_, "audio out");
    pa_threaded_mainloop_start(loop_);
    PulseLock lock(loop_);
    connectLocked();
}

PcmStream::~PcmStream() {
    {
        // In order: the stream, then the connection, then the thread that served them.
        PulseLock lock(loop_);
        resetLocked();
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

void PcmStream::resetLocked() {
    if (!stream_)
        return;
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)))
        pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
    streamReady_ = false;
}

void PcmStream::connectLocked() {
    if (alive(context_)) {
        // A stream the server dropped (its output went away) is made anew.
        if (stream_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)))
            resetLocked();
        if (!stream_ && pa_context_get_state(context_) == PA_CONTEXT_READY)
            createStreamLocked();
        return;
    }
    // No server yet, or it went away: try again from the start.
    resetLocked();
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_unref(context_);
    }
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tablavox");
    if (!context_)
        return;
    pa_context_set_state_callback(context_, &PcmStream::contextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) {
        pa_context_unref(context_);
        context_ = nullptr;
    }
}

void PcmStream::contextState(pa_context *c, void *self) {
    auto *me = static_cast<PcmStream *>(self);
    if (pa_context_get_state(c) == PA_CONTEXT_READY && !me->stream_)
        me->createStreamLocked();
}

void PcmStream::createStreamLocked() {
    pa_sample_spec layout;
    layout.format = format_.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    layout.rate = uint32_t(format_.sampleRate);
    layout.channels = uint8_t(format_.channels);
    if (!pa_sample_spec_valid(&layout))
        return;
    stream_ = pa_stream_new(context_, "Tablavox", &layout, nullptr);
    if (!stream_)
        return;
    pa_stream_set_state_callback(stream_, &PcmStream::streamState, this);
    pa_stream_set_write_callback(stream_, &PcmStream::streamWrite, this);

    const uint32_t perMs = uint32_t(format_.sampleRate * format_.bytesPerFrame() / 1000);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = perMs * kAheadMs;
    attr.prebuf = perMs * kStepMs;
    attr.minreq = perMs * kStepMs;
    attr.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_EARLY_REQUESTS);
    if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) < 0)
        resetLocked();
}

void PcmStream::streamState(pa_stream *s, void *self) {
    auto *me = static_cast<PcmStream *>(self);
    const pa_stream_state_t state = pa_stream_get_state(s);
    me->streamReady_ = state == PA_STREAM_READY;
    if (me->streamReady_) {
        const pa_buffer_attr *attr = pa_stream_get_buffer_attr(s);
        me->maxLength_ = attr ? attr->maxlength : 0;
    }
    if (me->streamReady_)
        me->writeLocked(pa_stream_writable_size(s));
}

void PcmStream::streamWrite(pa_stream *, size_t room, void *self) {
    static_cast<PcmStream *>(self)->writeLocked(room);
}

void PcmStream::writeLocked(size_t room) {
    if (!streamReady_)
        return;
    if (room == size_t(-1))
        room = 0;
    const size_t frame = size_t(format_.bytesPerFrame());
    const double perMs = format_.sampleRate * format_.bytesPerFrame() / 1000.0;
    // The server takes far more than it asks for, up to its maximum: a take written whole at
    // once plays whole even if this thread is then kept waiting, and after a flush the
    // server's requests can fall short of what it lacks. What the server has surely played
    // (a second's grace for a late start) makes room too.
    const qint64 now = clock_.elapsed();
    const double played =
        takeWritten_ > 0 ? std::max(0.0, double(now - takeFirstWriteMs_ - 1000) * perMs) : 0;
    const double held = double(takeWritten_) - played;
    const double budget = double(maxLength_) / 2 - held;
    if (budget > double(room))
        room = size_t(budget);
    bool wrote = false;
    while (room >= frame && !queue_.empty()) {
        QByteArray &front = queue_.front();
        const size_t n = std::min(room, size_t(front.size())) / frame * frame;
        if (pa_stream_write(stream_, front.constData(), n, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            break; // kept: written when the server asks again
        wrote = true;
        if (takeWritten_ == 0)
            takeFirstWriteMs_ = now;
        takeWritten_ += n;
        // Heard from now on at the earliest, at the server's pace.
        endsAtMs_ = std::max(endsAtMs_, now) + qint64(double(n) / perMs);
        room -= n;
        queuedBytes_ -= n;
        if (n == size_t(front.size()))
            queue_.pop_front();
        else
            front.remove(0, qsizetype(n));
    }
    if (wrote && !serverHasSamples_) {
        serverHasSamples_ = true;
        if (onStarted)
            onStarted();
    }
    if (finished_ && queue_.empty() && serverHasSamples_) {
        finished_ = false;
        pa_operation *op = pa_stream_trigger(stream_, nullptr, nullptr);
        if (op)
            pa_operation_unref(op);
    }
}

bool PcmStream::available(int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    while (true) {
        {
            PulseLock lock(loop_);
            connectLocked();
            if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY)
                return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}

quint64 PcmStream::restart() {
    PulseLock lock(loop_);
    ++take_;
    queue_.clear();
    queuedBytes_ = 0;
    finished_ = false;
    serverHasSamples_ = false;
    if (streamReady_) {
        // Dropped at the server at once; and the next take waits for a step of samples
        // before it plays, so that it never starts with a crackle of a few.
        for (pa_operation *op : {pa_stream_flush(stream_, nullptr, nullptr),
                                 pa_stream_prebuf(stream_, nullptr, nullptr)}) {
            if (op)
                pa_operation_unref(op);
        }
    }
    endsAtMs_ = 0;
    takeWritten_ = 0;
    return take_;
}

void PcmStream::append(quint64 take, const QByteArray &pcm) {
    PulseLock lock(loop_);
    if (take != take_)
        return;
    const qsizetype whole = pcm.size() - pcm.size() % format_.bytesPerFrame();
    if (whole <= 0)
        return;
    queue_.push_back(whole == pcm.size() ? pcm : pcm.left(whole));
    queuedBytes_ += size_t(whole);
    connectLocked();
    if (streamReady_)
        writeLocked(pa_stream_writable_size(stream_));
}

void PcmStream::finish(quint64 take) {
    PulseLock lock(loop_);
    if (take != take_)
        return;
    finished_ = true;
    if (streamReady_)
        writeLocked(pa_stream_writable_size(stream_));
}

bool PcmStream::isPlaying() const {
    PulseLock lock(loop_);
    return queuedBytes_ > 0 || clock_.elapsed() < endsAtMs_;
}

} // namespace tv
