#pragma once

#include "Wav.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <deque>
#include <functional>
#include <mutex>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace tv {

// One stream of raw samples to the audio server's default output, on a connection and a
// thread of its own, so that sound goes on whatever the interface thread is doing.
//
// Nothing written is ever dropped: samples go to the server as soon as they come, up to
// half of what it can hold (a minute or more of speech), and wait here beyond that; so a
// client that runs late costs the listener nothing, and a late synthesis a pause, never the
// rest of a phrase. A restart cuts off what is playing at the server
// at once (a flush, not a drain).
//
// Every call may come from any thread.
class PcmStream {
public:
    explicit PcmStream(const PcmFormat &format);
    ~PcmStream();
    PcmStream(const PcmStream &) = delete;
    PcmStream &operator=(const PcmStream &) = delete;

    const PcmFormat &format() const { return format_; }

    // False when no audio server answers within waitMs.
    bool available(int waitMs = 0);

    // Silences what is playing, forgets what is queued, and returns the number of the new
    // take: samples appended under an older number are stale and dropped.
    quint64 restart();
    void append(quint64 take, const QByteArray &pcm);
    // No more samples come for this take: play the last ones even if they are too few to
    // start the stream on their own.
    void finish(quint64 take);
    bool isPlaying() const;

    // Called on the audio thread when the first samples of a take reach the server.
    std::function<void()> onStarted;

private:
    void connectLocked();
    void createStreamLocked();
    void writeLocked(size_t room);
    void resetLocked();
    static void contextState(pa_context *c, void *self);
    static void streamState(pa_stream *s, void *self);
    static void streamWrite(pa_stream *s, size_t room, void *self);

    const PcmFormat format_;
    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    bool streamReady_ = false;

    std::deque<QByteArray> queue_;
    size_t queuedBytes_ = 0;
    quint64 take_ = 0;
    bool finished_ = false;
    bool serverHasSamples_ = false; // of this take
    size_t takeWritten_ = 0;
    qint64 takeFirstWriteMs_ = 0;
    size_t maxLength_ = 0; // what the server holds at most
    // When what was written would end, played without a pause.
    QElapsedTimer clock_;
    qint64 endsAtMs_ = 0;
};

} // namespace tv
