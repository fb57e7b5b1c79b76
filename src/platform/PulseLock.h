#pragma once

#include <pulse/thread-mainloop.h>

namespace tv {

// Holds an audio connection's thread lock for a scope: its streams and callbacks are touched
// only under it.
class PulseLock {
public:
    explicit PulseLock(pa_threaded_mainloop *loop) : loop_(loop) {
        pa_threaded_mainloop_lock(loop_);
    }
    ~PulseLock() { pa_threaded_mainloop_unlock(loop_); }
    PulseLock(const PulseLock &) = delete;
    PulseLock &operator=(const PulseLock &) = delete;

private:
    pa_threaded_mainloop *loop_;
};

} // namespace tv
