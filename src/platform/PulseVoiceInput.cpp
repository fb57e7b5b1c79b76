#include "PulseVoiceInput.h"

#include "PulseLock.h"

#include <QLoggingCategory>
#include <pulse/pulseaudio.h>

Q_LOGGING_CATEGORY(lcVoice, "tablavox.voice")

namespace tv {

namespace {

// The level meter follows the voice within a few of these.
constexpr int kFragmentMs = 20;

const QString kNoServer =
    QStringLiteral("Aucun serveur de son ne répond : rien ne peut être enregistré.");
const QString kNoMicrophone = QStringLiteral(
    "Aucun microphone ni entrée son n'est disponible : branchez un microphone, ou choisissez "
    "une entrée dans les réglages du son.");

} // namespace

PulseVoiceInput::PulseVoiceInput() {
    loop_ = pa_threaded_mainloop_new();
    pa_threaded_mainloop_set_name(loop_, "audio in");
    pa_threaded_mainloop_start(loop_);
}

PulseVoiceInput::~PulseVoiceInput() {
    {
        PulseLock lock(loop_);
        closeStreamLocked();
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

void PulseVoiceInput::start() {
    {
        std::lock_guard guard(mutex_);
        received_.clear();
        failure_.clear();
    }
    PulseLock lock(loop_);
    closeStreamLocked();
    wanted_ = true;
    sourceChecked_ = false;
    connectLocked();
}

void PulseVoiceInput::stop() {
    PulseLock lock(loop_);
    wanted_ = false;
    closeStreamLocked();
}

QByteArray PulseVoiceInput::takeSamples() {
    std::lock_guard guard(mutex_);
    return std::exchange(received_, {});
}

QString PulseVoiceInput::failure() const {
    std::lock_guard guard(mutex_);
    return failure_;
}

void PulseVoiceInput::failLocked(const QString &why) {
    qCInfo(lcVoice) << "cannot record:" << why;
    wanted_ = false;
    closeStreamLocked();
    std::lock_guard guard(mutex_);
    failure_ = why;
}

void PulseVoiceInput::connectLocked() {
    if (context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) {
        // The default input is asked for at each recording: the carer may have plugged a
        // microphone in since the last one.
        if (pa_context_get_state(context_) == PA_CONTEXT_READY)
            pa_operation_unref(
                pa_context_get_server_info(context_, &PulseVoiceInput::serverInfo, this));
        return;
    }
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_unref(context_);
    }
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tablavox");
    if (!context_)
        return failLocked(kNoServer);
    pa_context_set_state_callback(context_, &PulseVoiceInput::contextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        failLocked(kNoServer);
}

void PulseVoiceInput::contextState(pa_context *c, void *self) {
    auto *me = static_cast<PulseVoiceInput *>(self);
    const pa_context_state_t state = pa_context_get_state(c);
    if (state == PA_CONTEXT_READY && me->wanted_)
        pa_operation_unref(pa_context_get_server_info(c, &PulseVoiceInput::serverInfo, me));
    else if (!PA_CONTEXT_IS_GOOD(state) && me->wanted_)
        me->failLocked(kNoServer);
}

void PulseVoiceInput::serverInfo(pa_context *c, const pa_server_info *info, void *self) {
    auto *me = static_cast<PulseVoiceInput *>(self);
    if (!me->wanted_)
        return;
    if (!info || !info->default_source_name || !*info->default_source_name)
        return me->failLocked(kNoMicrophone);
    pa_operation_unref(pa_context_get_source_info_by_name(c, info->default_source_name,
                                                          &PulseVoiceInput::sourceInfo, me));
}

void PulseVoiceInput::sourceInfo(pa_context *c, const pa_source_info *info, int eol, void *self) {
    auto *me = static_cast<PulseVoiceInput *>(self);
    if (!me->wanted_ || me->sourceChecked_)
        return;
    if (eol != 0 || !info || info->monitor_of_sink != PA_INVALID_INDEX)
        return me->failLocked(kNoMicrophone);
    me->sourceChecked_ = true;

    pa_sample_spec layout;
    layout.format = PA_SAMPLE_S16LE;
    layout.rate = uint32_t(kVoiceRate);
    layout.channels = 1;
    me->stream_ = pa_stream_new(c, "Tablavox : voix", &layout, nullptr);
    if (!me->stream_)
        return me->failLocked(kNoMicrophone);
    pa_stream_set_state_callback(me->stream_, &PulseVoiceInput::streamState, me);
    pa_stream_set_read_callback(me->stream_, &PulseVoiceInput::streamRead, me);
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(kVoiceRate * 2 * kFragmentMs / 1000);
    if (pa_stream_connect_record(me->stream_, info->name, &attr, PA_STREAM_ADJUST_LATENCY) < 0)
        me->failLocked(kNoMicrophone);
}

void PulseVoiceInput::streamState(pa_stream *s, void *self) {
    auto *me = static_cast<PulseVoiceInput *>(self);
    if (me->wanted_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(s)))
        me->failLocked(kNoMicrophone);
}

void PulseVoiceInput::streamRead(pa_stream *s, size_t, void *self) {
    auto *me = static_cast<PulseVoiceInput *>(self);
    const void *data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &data, &bytes) == 0 && bytes > 0) {
        {
            std::lock_guard guard(me->mutex_);
            // A hole in what the server kept is silence, so the length stays true.
            if (data)
                me->received_.append(static_cast<const char *>(data), qsizetype(bytes));
            else
                me->received_.append(qsizetype(bytes), '\0');
        }
        pa_stream_drop(s);
    }
}

void PulseVoiceInput::closeStreamLocked() {
    if (!stream_)
        return;
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)))
        pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
}

} // namespace tv
