#pragma once

#include "Services.h"

#include <QObject>
#include <memory>

namespace tv {

class PcmStream;

// Plays WAV images from memory on the audio server's default output, through the same kind
// of stream as speech; a new sound cuts off the last.
class PulseSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit PulseSoundPlayer(QObject *parent = nullptr);
    ~PulseSoundPlayer() override;
    void playWav(const QByteArray &wav) override;
    void stop() override;
    bool isPlaying() const;

signals:
    // The server started playing the sound last given.
    void started();

private:
    std::unique_ptr<PcmStream> stream_;
};

} // namespace tv
