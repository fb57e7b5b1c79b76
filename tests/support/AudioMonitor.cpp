#include "AudioMonitor.h"

#include "platform/EspeakSpeech.h"

#include <QDeadlineTimer>
#include <QtTest>

namespace tv::test {

AudioMonitor::AudioMonitor(const QString &server) {
    recording_.setFileName(dir_.filePath("heard.raw"));
    recorder_.setStandardOutputFile(recording_.fileName());
    QStringList args{"-d",           "@DEFAULT_MONITOR@", "--raw", "--format=s16le",
                     "--channels=1", "--rate=22050"};
    if (!server.isEmpty())
        args << "--server=" + server;
    recorder_.start(QStringLiteral("parec"), args);
}

AudioMonitor::~AudioMonitor() {
    recorder_.kill();
    recorder_.waitForFinished();
}

bool AudioMonitor::waitUntilListening(int timeoutMs) {
    if (!recorder_.waitForStarted())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && recorder_.state() == QProcess::Running) {
        if (!recording_.isOpen())
            recording_.open(QIODevice::ReadOnly);
        if (recording_.isOpen() && recording_.size() > 0) {
            take();
            return true;
        }
        QTest::qWait(20);
    }
    return false;
}

QByteArray AudioMonitor::take() {
    if (!recording_.isOpen() && !recording_.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = recording_.readAll();
    // Whole samples only; the odd byte comes with the next call.
    if (bytes.size() % 2) {
        recording_.seek(recording_.pos() - 1);
        bytes.chop(1);
    }
    return bytes;
}

int AudioMonitor::loudest(const QByteArray &pcm) {
    int peak = 0;
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

double AudioMonitor::loudSpan(const QByteArray &pcm) {
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::abs(int(s[i])) > 800) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return first < 0 ? 0 : double(last - first) / 22050;
}

double AudioMonitor::frequency(const QByteArray &pcm, int sampleRate) {
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    qsizetype first = -1, last = -1, crossings = 0;
    for (qsizetype i = 1; i < pcm.size() / 2; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0) && std::abs(s[i] - s[i - 1]) > 200) {
            if (first < 0)
                first = i;
            last = i;
            ++crossings;
        }
    return crossings < 3 ? 0 : (crossings - 1) / 2.0 * sampleRate / double(last - first);
}

double AudioMonitor::spokenSpan(const QString &text) {
    // One voice for the whole run: the engine is made to be set up once in a process.
    static EspeakSpeech voice;
    static const bool ready = voice.waitUntilReady();
    return ready ? loudSpan(voice.synthesize(text)) : -1;
}

QByteArray AudioMonitor::hearOneUtterance(int timeoutMs) {
    constexpr qsizetype kQuietBytes = 22050 * 2 * 6 / 10;
    QByteArray heard;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        heard += take();
        if (loudest(heard) > 1000 && heard.size() > kQuietBytes &&
            loudest(heard.right(kQuietBytes)) < 300)
            break;
        QTest::qWait(50);
    }
    return heard;
}

} // namespace tv::test
