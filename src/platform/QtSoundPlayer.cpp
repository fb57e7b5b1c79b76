#include "QtSoundPlayer.h"

#include "PcmStream.h"
#include "Wav.h"

namespace tv {

QtSoundPlayer::QtSoundPlayer(QObject *parent) : QObject(parent) {
}
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::playWav(const QByteArray &bytes) {
    stop();
    const auto wav = parseWav(bytes);
    if (!wav)
        return;
    if (!stream_ || stream_->format() != wav->format) {
        stream_ = std::make_unique<PcmStream>(wav->format);
        connect(stream_.get(), &PcmStream::started, this, &QtSoundPlayer::started);
    }
    stream_->append(wav->pcm);
}

void QtSoundPlayer::stop() {
    if (stream_)
        stream_->restart();
}

bool QtSoundPlayer::isPlaying() const {
    return stream_ && stream_->isPlaying();
}

} // namespace tv
