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
    EspeakSpeech *owner = nullptr;
    quint64 generation = 0;
    QByteArray *capture = nullptr;
    const std::atomic<quint64> *current = nullptr;
    std::function<void(quint64, const QByteArray &)> deliver;
};

thread_local SynthContext *tlsContext = nullptr;

QAudioFormat speechFormat() {
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

EspeakSpeech::EspeakSpeech(QObject *parent) : QObject(parent) {
    audio_.setObjectName(QStringLiteral("speech audio"));
    audio_.start();
    QObject host;
    host.moveToThread(&audio_);
    QMetaObject::invokeMethod(
        &host, [this] { stream_ = new PcmStream(speechFormat()); }, Qt::BlockingQueuedConnection);
    connect(stream_, &PcmStream::started, this, &EspeakSpeech::audioStarted);
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
    QMetaObject::invokeMethod(
        stream_, [this] { delete stream_; }, Qt::BlockingQueuedConnection);
    audio_.quit();
    audio_.wait();
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

QString EspeakSpeech::unavailableReason() {
    if (!waitUntilReady(5000) || !available_)
        return QStringLiteral("la voix française (espeak-ng) n'a pas pu démarrer");
    // A busy machine lists its audio outputs late: give it time before telling the carer.
    bool output = false;
    QMetaObject::invokeMethod(
        stream_, [&] { output = stream_->available(5000); }, Qt::BlockingQueuedConnection);
    if (!output)
        return QStringLiteral("aucune sortie audio n'a été trouvée");
    return {};
}

bool EspeakSpeech::isSpeaking() const {
    return stream_->isPlaying();
}

void EspeakSpeech::speak(const QString &text) {
    QMutexLocker lock(&mutex_);
    pending_ = std::make_unique<Job>(Job{text, ++generation_, nullptr});
    wake_.wakeAll();
    lock.unlock();
    // The old phrase stops now, whatever its synthesis is doing.
    QMetaObject::invokeMethod(stream_, &PcmStream::restart, Qt::BlockingQueuedConnection);
}

QByteArray EspeakSpeech::synthesize(const QString &text) {
    QByteArray out;
    QMutexLocker lock(&mutex_);
    pending_ = std::make_unique<Job>(Job{text, ++generation_, &out});
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
        if (ctx->capture)
            ctx->capture->append(pcm);
        else
            ctx->deliver(ctx->generation, pcm);
    }
    return 0;
}

void EspeakSpeech::deliver(quint64 generation, const QByteArray &pcm) {
    QMetaObject::invokeMethod(
        stream_,
        [this, generation, pcm] {
            if (generation == generation_.load())
                stream_->append(pcm);
        },
        Qt::QueuedConnection);
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
        SynthContext ctx{this, job->generation, job->capture, &generation_,
                         [this](quint64 g, const QByteArray &pcm) { deliver(g, pcm); }};
        tlsContext = &ctx;
        espeak_Synth(utf8.constData(), size_t(utf8.size() + 1), 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8 | (prepared.markup ? espeakSSML : 0u), nullptr, nullptr);
        tlsContext = nullptr;
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
