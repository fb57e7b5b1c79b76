#include "EspeakSpeech.h"

#include "PcmStream.h"
#include "SpeechMarkup.h"

#include <QMetaObject>
#include <espeak-ng/speak_lib.h>

namespace tv {

namespace {

constexpr int kSampleRate = 22050;
// Small chunks: the first samples reach the output after a few milliseconds of work.
constexpr int kChunkMs = 20;

struct SynthContext {
    quint64 generation = 0;
    quint64 take = 0;
    QByteArray *capture = nullptr;
    qsizetype stopAfterBytes = -1;
    const std::atomic<quint64> *current = nullptr;
    PcmStream *stream = nullptr;
};

thread_local SynthContext *tlsContext = nullptr;

// Every phrase starts from the voice as it is at rest: a phrase cut off inside its markup
// leaves the engine's rate, pitch or volume where the markup had put them. (The voice itself
// is chosen once: choosing it again for each phrase costs the engine memory it never gives
// back.)
void restVoice() {
    espeak_SetParameter(espeakRATE, espeakRATE_NORMAL, 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);
    espeak_SetParameter(espeakPITCH, 50, 0);
    espeak_SetParameter(espeakRANGE, 50, 0);
    espeak_SetParameter(espeakWORDGAP, 0, 0);
    espeak_SetParameter(espeakPUNCTUATION, espeakPUNCT_NONE, 0);
    espeak_SetParameter(espeakCAPITALS, 0, 0);
}

} // namespace

EspeakSpeech::EspeakSpeech(QObject *parent)
    : QObject(parent), stream_(std::make_unique<PcmStream>(PcmFormat{kSampleRate, 1, 16})) {
    // Called on the audio thread; the signal reaches its receivers on theirs.
    stream_->onStarted = [this] { emit audioStarted(); };
    // A thread without an event loop: it ends when run() returns.
    worker_.reset(QThread::create([this] { run(); }));
    worker_->setObjectName(QStringLiteral("speech"));
    worker_->start();
}

EspeakSpeech::~EspeakSpeech() {
    {
        QMutexLocker lock(&mutex_);
        stopping_ = true;
        ++generation_;
        wake_.wakeAll();
    }
    worker_->wait();
    stream_->onStarted = nullptr;
    stream_.reset();
}

bool EspeakSpeech::waitUntilReady(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&mutex_);
    while (!ready_) {
        if (!idle_.wait(&mutex_, deadline))
            break;
    }
    return ready_;
}

namespace {

const QString kNoVoice = QStringLiteral("la voix française (espeak-ng) n'a pas pu démarrer");
const QString kNoOutput = QStringLiteral("aucune sortie audio n'a été trouvée");

} // namespace

QString EspeakSpeech::unavailableReason() {
    if (!waitUntilReady(5000) || !available_)
        return kNoVoice;
    // A busy machine answers late: give the audio server time before telling the carer.
    if (!stream_->available(5000))
        return kNoOutput;
    return {};
}

QString EspeakSpeech::unavailableNow() {
    if (!ready_)
        return {};
    if (!available_)
        return kNoVoice;
    return stream_->available(0) ? QString() : kNoOutput;
}

bool EspeakSpeech::isSpeaking() const {
    return stream_->isPlaying();
}

void EspeakSpeech::speak(const QString &text) {
    // The old phrase stops now at the audio server, whatever its synthesis is doing.
    const quint64 take = stream_->restart();
    QMutexLocker lock(&mutex_);
    pending_ = std::make_unique<Job>(Job{text, ++generation_, take, nullptr, -1});
    wake_.wakeAll();
}

QByteArray EspeakSpeech::synthesize(const QString &text, qsizetype stopAfterBytes) {
    QByteArray out;
    QMutexLocker lock(&mutex_);
    pending_ = std::make_unique<Job>(Job{text, ++generation_, 0, &out, stopAfterBytes});
    wake_.wakeAll();
    while (pending_ || busy_)
        idle_.wait(&mutex_);
    return out;
}

int EspeakSpeech::callback(short *wav, int samples, void *) {
    SynthContext *ctx = tlsContext;
    if (!ctx || ctx->current->load() != ctx->generation)
        return 1; // cut off: a newer text came
    if (wav && samples > 0) {
        const QByteArray pcm(reinterpret_cast<const char *>(wav), qsizetype(samples) * 2);
        if (ctx->capture) {
            ctx->capture->append(pcm);
            if (ctx->stopAfterBytes >= 0 && ctx->capture->size() >= ctx->stopAfterBytes)
                return 1;
        } else {
            ctx->stream->append(ctx->take, pcm);
        }
    }
    return 0;
}

void EspeakSpeech::run() {
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMs, nullptr, espeakINITIALIZE_DONT_EXIT);
    bool ok = rate == kSampleRate;
    if (ok)
        ok = espeak_SetVoiceByName("fr") == EE_OK;
    if (ok)
        espeak_SetSynthCallback(
            [](short *wav, int n, espeak_EVENT *events) { return callback(wav, n, events); });
    {
        QMutexLocker lock(&mutex_);
        available_ = ok;
        ready_ = true;
        idle_.wakeAll();
    }
    while (true) {
        std::unique_ptr<Job> job;
        {
            QMutexLocker lock(&mutex_);
            while (!pending_ && !stopping_) {
                busy_ = false;
                idle_.wakeAll();
                wake_.wait(&mutex_);
            }
            if (stopping_)
                break;
            job = std::move(pending_);
            busy_ = true;
        }
        if (!ok || job->text.isEmpty())
            continue;
        const SpeechText prepared = prepareSpeech(job->text);
        const QByteArray utf8 = prepared.text.toUtf8();
        SynthContext ctx{job->generation,     job->take,    job->capture,
                         job->stopAfterBytes, &generation_, stream_.get()};
        tlsContext = &ctx;
        restVoice();
        const espeak_ERROR result =
            espeak_Synth(utf8.constData(), size_t(utf8.size() + 1), 0, POS_CHARACTER, 0,
                         espeakCHARS_UTF8 | (prepared.markup ? espeakSSML : 0u), nullptr, nullptr);
        tlsContext = nullptr;
        if (result == EE_OK && !job->capture && generation_.load() == job->generation)
            stream_->finish(job->take);
    }
    {
        QMutexLocker lock(&mutex_);
        busy_ = false;
        idle_.wakeAll();
    }
    if (ok)
        espeak_Terminate();
}

} // namespace tv
