#include "Wav.h"

#include <QtEndian>

namespace tv {

static quint32 u32(const QByteArray &b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
static quint16 u16(const QByteArray &b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

std::optional<WavData> parseWav(const QByteArray &bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    WavData wav;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (body + qsizetype(size) > bytes.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            if (u16(bytes, body) != 1) // PCM only
                return std::nullopt;
            wav.format.channels = u16(bytes, body + 2);
            wav.format.sampleRate = int(u32(bytes, body + 4));
            wav.format.bitsPerSample = u16(bytes, body + 14);
            const bool playable =
                (wav.format.bitsPerSample == 16 || wav.format.bitsPerSample == 8) &&
                wav.format.channels >= 1 && wav.format.channels <= 8 &&
                wav.format.sampleRate >= 1000 && wav.format.sampleRate <= 384000;
            if (!playable)
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            wav.pcm = bytes.mid(body, size);
            return wav;
        }
        at = body + qsizetype(size) + (size & 1);
    }
    return std::nullopt;
}

QByteArray makeWav(const QList<qint16> &samples, int sampleRate) {
    QByteArray pcm;
    pcm.reserve(samples.size() * 2);
    for (qint16 s : samples) {
        char b[2];
        qToLittleEndian(quint16(s), b);
        pcm.append(b, 2);
    }
    return wavOfPcm(pcm, sampleRate);
}

QByteArray wavOfPcm(const QByteArray &pcm, int sampleRate) {
    const quint32 dataSize = quint32(pcm.size() & ~qsizetype(1));
    QByteArray out;
    out.reserve(44 + pcm.size());
    auto put32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto put16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    put32(36 + dataSize);
    out.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(quint32(sampleRate));
    put32(quint32(sampleRate * 2));
    put16(2);
    put16(16);
    out.append("data");
    put32(dataSize);
    out.append(pcm.constData(), dataSize);
    return out;
}

} // namespace tv
