#pragma once

#include "Services.h"

#include <QByteArray>
#include <QString>
#include <mutex>

struct pa_context;
struct pa_server_info;
struct pa_source_info;
struct pa_stream;
struct pa_threaded_mainloop;

namespace tv {

// Records from the audio server's default input on a connection and a thread of its own.
// A default input that is only another output's monitor is no microphone: recording it
// would keep whatever the computer plays, so it is refused with a reason.
class PulseVoiceInput final : public VoiceInput {
public:
    PulseVoiceInput();
    ~PulseVoiceInput() override;
    PulseVoiceInput(const PulseVoiceInput &) = delete;
    PulseVoiceInput &operator=(const PulseVoiceInput &) = delete;

    void start() override;
    void stop() override;
    QByteArray takeSamples() override;
    QString failure() const override;

private:
    void connectLocked();
    void closeStreamLocked();
    void failLocked(const QString &why);
    static void contextState(pa_context *c, void *self);
    static void serverInfo(pa_context *c, const pa_server_info *info, void *self);
    static void sourceInfo(pa_context *c, const pa_source_info *info, int eol, void *self);
    static void streamState(pa_stream *s, void *self);
    static void streamRead(pa_stream *s, size_t bytes, void *self);

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    bool wanted_ = false; // a recording was asked for and not stopped
    bool sourceChecked_ = false;

    mutable std::mutex mutex_; // what the window reads
    QByteArray received_;
    QString failure_;
};

} // namespace tv
