#include "PulseSoundPlayer.h"

#include "PcmStream.h"
#include "Wav.h"

namespace tv {

PulseSoundPlayer::PulseSoundPlayer(QObject *parent) : QObject(parent) {
}

PulseSoundPlayer::~PulseSoundPlayer() {
    if (stream_)
        stream_->onStarted = nullptr;
}

void PulseSoundPlayer::playWav(const QByteArray &bytes) {
    stop();
    const auto wav = parseWav(bytes);
    if (!wav)
        return;
    if (!stream_ || stream_->format() != wav->format) {
        stream_ = std::make_unique<PcmStream>(wav->format);
        // Called on the audio thread; the signal reaches its receivers on theirs.
        stream_->onStarted = [this] { emit started(); };
    }
    const quint64 take = stream_->restart();
    stream_->append(take, wav->pcm);
    stream_->finish(take);
}

void PulseSoundPlayer::stop() {
    if (stream_)
        stream_->restart();
}

bool PulseSoundPlayer::isPlaying() const {
    return stream_ && stream_->isPlaying();
}

} // namespace tv
