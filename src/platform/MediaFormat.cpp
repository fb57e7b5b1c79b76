#include "MediaFormat.h"

#include <QFile>

namespace tv {

namespace {

bool startsWith(const QByteArray &head, const QByteArray &magic, qsizetype at = 0) {
    return head.size() >= at + magic.size() && head.mid(at, magic.size()) == magic;
}

quint8 byteAt(const QByteArray &head, qsizetype at) {
    return at < head.size() ? quint8(head[at]) : 0;
}

// An MPEG audio frame header: the sync bits, a layer, a bit rate and a sample rate that
// are not the reserved values.
bool mpegAudioFrame(const QByteArray &head, qsizetype at) {
    const quint8 a = byteAt(head, at), b = byteAt(head, at + 1), c = byteAt(head, at + 2);
    return a == 0xFF && (b & 0xE0) == 0xE0 && (b & 0x06) != 0 && (c & 0xF0) != 0xF0 &&
           (c & 0x0C) != 0x0C;
}

} // namespace

QString mediaFormatOf(const QByteArray &head) {
    if (startsWith(head, "RIFF") || startsWith(head, "RF64")) {
        if (startsWith(head, "WAVE", 8))
            return QStringLiteral("wav");
        if (startsWith(head, "AVI ", 8))
            return QStringLiteral("avi");
        return {};
    }
    if (startsWith(head, "MThd"))
        return QStringLiteral("midi");
    if (startsWith(head, "FLV\x01"))
        return QStringLiteral("flv");
    if (startsWith(head, QByteArray::fromHex("3026B2758E66CF11")))
        return QStringLiteral("asf");
    if (startsWith(head, "ID3") || mpegAudioFrame(head, 0))
        return QStringLiteral("mp3");
    if (startsWith(head, QByteArray::fromHex("000001BA")))
        return QStringLiteral("mpeg");
    if (startsWith(head, QByteArray::fromHex("000001B3")))
        return QStringLiteral("mpegvideo");
    if (byteAt(head, 0) == 0x47 && head.size() > 188 && byteAt(head, 188) == 0x47)
        return QStringLiteral("mpegts");
    return {};
}

QByteArray mediaHeadOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(512);
}

} // namespace tv
