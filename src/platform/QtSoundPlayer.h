#pragma once

#include "Services.h"

#include <QObject>
#include <memory>

namespace tv {

class PcmStream;

// Plays WAV images from memory on the default audio output; a new sound cuts off the last.
class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;
    void playWav(const QByteArray &wav) override;
    void stop() override;
    bool isPlaying() const;

signals:
    void started();

private:
    std::unique_ptr<PcmStream> stream_;
};

} // namespace tv
