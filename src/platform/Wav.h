#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace tv {

// How raw samples are laid out: little-endian, interleaved channels.
struct PcmFormat {
    int sampleRate = 22050;
    int channels = 1;
    int bitsPerSample = 16; // 8 (unsigned) or 16 (signed)
    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    friend bool operator==(const PcmFormat &, const PcmFormat &) = default;
};

struct WavData {
    PcmFormat format;
    QByteArray pcm;
};

// A RIFF WAVE image with PCM samples; nullopt for anything else.
std::optional<WavData> parseWav(const QByteArray &bytes);

// A RIFF WAVE image of 16-bit mono PCM samples.
QByteArray makeWav(const QList<qint16> &samples, int sampleRate);
// The same from samples already laid out (16-bit mono, little-endian).
QByteArray wavOfPcm(const QByteArray &pcm, int sampleRate);

} // namespace tv
