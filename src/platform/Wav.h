#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QList>
#include <optional>

namespace tv {

struct WavData {
    QAudioFormat format;
    QByteArray pcm;
};

// A RIFF WAVE image with PCM samples; nullopt for anything else.
std::optional<WavData> parseWav(const QByteArray &bytes);

// A RIFF WAVE image of 16-bit mono PCM samples.
QByteArray makeWav(const QList<qint16> &samples, int sampleRate);

} // namespace tv
