#include "AudioMonitor.h"

#include "Files.h"
#include "platform/EspeakSpeech.h"
#include "platform/Wav.h"

#include <QDeadlineTimer>
#include <QtTest>
#include <algorithm>
#include <vector>

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
    std::vector<double> halfPeriods;
    qsizetype previous = -1;
    for (qsizetype i = 1; i < pcm.size() / 2; ++i) {
        if ((s[i - 1] < 0) != (s[i] < 0) && std::abs(s[i] - s[i - 1]) > 200) {
            if (previous >= 0)
                halfPeriods.push_back(double(i - previous));
            previous = i;
        }
    }
    if (halfPeriods.size() < 3)
        return 0;
    // Measured over the stretches where the tone runs on: a gap (a dropout on a busy machine)
    // would otherwise count as a long, slow period.
    std::vector<double> sorted = halfPeriods;
    std::nth_element(sorted.begin(), sorted.begin() + qsizetype(sorted.size() / 2), sorted.end());
    const double median = sorted[sorted.size() / 2];
    double span = 0;
    int counted = 0;
    for (double h : halfPeriods) {
        if (h < 1.5 * median) {
            span += h;
            ++counted;
        }
    }
    return counted / 2.0 * sampleRate / span;
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

QString TonedMicrophone::pactl(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

TonedMicrophone::TonedMicrophone(int hertz) {
    formerSource_ = pactl({"get-default-source"});
    modules_ << pactl({"load-module", "module-null-sink", "sink_name=tablavox_micro_out"});
    modules_ << pactl({"load-module", "module-remap-source", "master=tablavox_micro_out.monitor",
                       "source_name=tablavox_micro"});
    pactl({"set-default-source", "tablavox_micro"});
    // A minute of the tone at a third of full scale.
    QList<qint16> tone(22050 * 60);
    for (qsizetype i = 0; i < tone.size(); ++i)
        tone[i] = qint16(10000 * std::sin(double(i) * 2 * M_PI * hertz / 22050));
    writeBytes(dir_.filePath("tone.wav"), makeWav(tone, 22050));
    // Played with a short latency, so that the output passes it on at once, as a microphone
    // would.
    player_.start(QStringLiteral("paplay"),
                  {"--latency-msec=20", "-d", "tablavox_micro_out", dir_.filePath("tone.wav")});
    ready_ = !modules_.contains(QString()) && player_.waitForStarted();
}

TonedMicrophone::~TonedMicrophone() {
    player_.kill();
    player_.waitForFinished();
    pactl({"set-default-source", formerSource_});
    for (auto it = modules_.crbegin(); it != modules_.crend(); ++it)
        if (!it->isEmpty())
            pactl({"unload-module", *it});
}

} // namespace tv::test
