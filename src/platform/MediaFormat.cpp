#include "MediaFormat.h"

#include "MidiRender.h"
#include "Wav.h"

#include <QDeadlineTimer>
#include <QFile>
#include <clocale>
#include <mpv/client.h>

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

namespace {

std::optional<double> wavSeconds(const QByteArray &wav) {
    const auto parsed = parseWav(wav);
    if (!parsed || parsed->format.bytesPerFrame() <= 0 || parsed->format.sampleRate <= 0)
        return std::nullopt;
    return double(parsed->pcm.size()) / parsed->format.bytesPerFrame() / parsed->format.sampleRate;
}

// The file opened, paused and silent, by a player of its own, only as long as it takes to
// read its length.
std::optional<double> playerSeconds(const QString &path, const QString &format) {
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle *mpv = mpv_create();
    if (!mpv)
        return std::nullopt;
    for (const auto &[name, value] : {std::pair{"config", "no"},
                                      {"load-scripts", "no"},
                                      {"ytdl", "no"},
                                      {"vo", "null"},
                                      {"ao", "null"},
                                      {"pause", "yes"},
                                      {"idle", "yes"},
                                      {"demuxer", "lavf"}})
        mpv_set_option_string(mpv, name, value);
    mpv_set_option_string(mpv, "demuxer-lavf-format", format.toLatin1().constData());
    std::optional<double> seconds;
    if (mpv_initialize(mpv) >= 0) {
        const QByteArray file = path.toUtf8();
        const char *args[] = {"loadfile", file.constData(), nullptr};
        mpv_command(mpv, args);
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            const mpv_event *event = mpv_wait_event(mpv, double(deadline.remainingTime()) / 1000);
            if (event->event_id == MPV_EVENT_FILE_LOADED) {
                double d = 0;
                if (mpv_get_property(mpv, "duration", MPV_FORMAT_DOUBLE, &d) >= 0 && d > 0)
                    seconds = d;
                break;
            }
            if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN)
                break;
        }
    }
    mpv_terminate_destroy(mpv);
    return seconds;
}

} // namespace

std::optional<double> mediaDurationSeconds(const QString &path) {
    const QString format = mediaFormatOf(mediaHeadOf(path));
    if (format.isEmpty())
        return std::nullopt;
    if (format == QLatin1String("midi"))
        return wavSeconds(renderMidiToWav(path));
    if (format == QLatin1String("wav")) {
        QFile file(path);
        // A compressed wave file has no plain samples to count: the player reads it.
        if (file.open(QIODevice::ReadOnly) && file.size() < (64 << 20))
            if (const auto seconds = wavSeconds(file.readAll()))
                return seconds;
    }
    return playerSeconds(path, format);
}

} // namespace tv
