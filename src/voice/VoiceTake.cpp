#include "VoiceTake.h"

#include "platform/TextFile.h"
#include "platform/Wav.h"
#include "symbols/SymbolLibrary.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace tv {

namespace {

qint16 sampleAt(const QByteArray &pcm, qsizetype i) {
    return qFromLittleEndian<qint16>(pcm.constData() + 2 * i);
}

// Louder than this, a stretch of 10 ms is voice: about −40 dBFS, above a quiet room.
constexpr int kVoiceFloor = 330;
// Kept before the first and after the last stretch of voice, so that a soft start ("f",
// "s") and a dying end are not cut.
constexpr int kLeadMs = 60;
constexpr int kTailMs = 150;

} // namespace

double peakOf(const QByteArray &pcm) {
    int peak = 0;
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        peak = std::max(peak, std::abs(int(sampleAt(pcm, i))));
    return std::min(1.0, peak / 32767.0);
}

double meterReading(double peak) {
    if (peak <= 0.001)
        return 0;
    return std::clamp(1.0 + 20.0 * std::log10(peak) / 60.0, 0.0, 1.0);
}

QByteArray trimAndLevel(const QByteArray &pcm, int sampleRate) {
    const qsizetype samples = pcm.size() / 2;
    const qsizetype window = std::max(1, sampleRate / 100);
    qsizetype first = -1, last = -1;
    for (qsizetype start = 0; start < samples; start += window) {
        const qsizetype end = std::min(samples, start + window);
        double energy = 0;
        for (qsizetype i = start; i < end; ++i)
            energy += double(sampleAt(pcm, i)) * sampleAt(pcm, i);
        if (std::sqrt(energy / double(end - start)) < kVoiceFloor)
            continue;
        if (first < 0)
            first = start;
        last = end;
    }
    if (first < 0)
        return {};
    first = std::max<qsizetype>(0, first - qsizetype(sampleRate) * kLeadMs / 1000);
    last = std::min(samples, last + qsizetype(sampleRate) * kTailMs / 1000);
    int peak = 1;
    for (qsizetype i = first; i < last; ++i)
        peak = std::max(peak, std::abs(int(sampleAt(pcm, i))));
    const double gain = kLevelledPeak * 32767.0 / peak;
    QByteArray out(2 * (last - first), Qt::Uninitialized);
    for (qsizetype i = first; i < last; ++i) {
        const long v = std::lround(sampleAt(pcm, i) * gain);
        qToLittleEndian(qint16(std::clamp(v, -32768L, 32767L)), out.data() + 2 * (i - first));
    }
    return out;
}

QString voiceFileStem(const QString &phrase) {
    if (phrase.trimmed().isEmpty())
        return QStringLiteral("voix");
    return symbolFileName(phrase).chopped(4);
}

QString keepVoice(const QByteArray &pcm, int sampleRate, const QString &phrase,
                  const QString &multimediaDirectory, QString *error) {
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QString();
    };
    const QString dirPath = multimediaDirectory + QLatin1String("/voix");
    const QFileInfo dirInfo(dirPath);
    if (dirInfo.isSymLink() || (dirInfo.exists() && !dirInfo.isDir()))
        return fail(QStringLiteral("''voix'' n'est pas un répertoire du programme"));
    if (!dirInfo.exists() && ::mkdir(QFile::encodeName(dirPath).constData(), 0755) != 0 &&
        errno != EEXIST)
        return fail(reasonOf(errno));
    const QByteArray wav = wavOfPcm(pcm, sampleRate);
    const QString stem = voiceFileStem(phrase);
    for (int n = 1; n < 1000; ++n) {
        const QString name =
            n == 1 ? stem + QLatin1String(".wav") : QStringLiteral("%1_%2.wav").arg(stem).arg(n);
        const int written = writeNewFile(dirPath + u'/' + name, wav);
        if (written == EEXIST)
            continue;
        if (written != 0)
            return fail(reasonOf(written));
        return QLatin1String("voix\\") + name;
    }
    return fail(QStringLiteral("trop de voix portent ce nom"));
}

} // namespace tv
