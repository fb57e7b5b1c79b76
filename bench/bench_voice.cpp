// The voice recorder on a busy machine, on the real audio server:
//   - the level meter's lag: a tone burst played into the microphone's input, from its first
//     samples reaching the server to the meter rising (an upper bound: the way in is counted);
//   - from "Arrêter" to the voice kept: trimmed, levelled, written whole and readable.
//   bench_voice [--load N] [--seconds S]   N CPU hogs (2 by default), S seconds recorded (10)
// Needs stress-ng and an audio server (scripts/start-audio.sh); the microphone is an output
// of its own given back as the default input. Prints its figures.

#include "CpuLoad.h"
#include "Stats.h"
#include "platform/PcmStream.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/PulseVoiceInput.h"
#include "platform/QtDialogs.h"
#include "platform/QtServices.h"
#include "platform/StandInServices.h"
#include "platform/Wav.h"
#include "voice/RecorderWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cmath>
#include <cstdio>

namespace {

QString pactl(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QByteArray tone(int ms, int rate) {
    QList<qint16> s(qsizetype(rate) * ms / 1000);
    for (qsizetype i = 0; i < s.size(); ++i)
        s[i] = qint16(12000 * std::sin(double(i) * 2 * M_PI * 440 / rate));
    return tv::makeWav(s, rate).mid(44);
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int hogs = tv::bench::option("--load", 2), seconds = tv::bench::option("--seconds", 10);
    // The microphone: what is played on its output comes back as the default input.
    const QString formerSource = pactl({"get-default-source"});
    const QString formerSink = pactl({"get-default-sink"});
    const QString out = pactl({"load-module", "module-null-sink", "sink_name=bench_micro_out"});
    const QString in = pactl({"load-module", "module-remap-source",
                              "master=bench_micro_out.monitor", "source_name=bench_micro"});
    if (out.isEmpty() || in.isEmpty()) {
        std::fprintf(stderr, "needs an audio server (scripts/start-audio.sh)\n");
        return 1;
    }
    pactl({"set-default-source", "bench_micro"});
    pactl({"set-default-sink", "bench_micro_out"});

    tv::bench::CpuLoad load;
    if (!tv::bench::startAndReport(load, hogs))
        return 1;

    tv::QtDialogs dialogs;
    tv::SilentSpeech speech;
    tv::PulseSoundPlayer sounds;
    tv::SilentMediaPlayer media;
    tv::QtCursorPlacer cursor;
    tv::ThreadWaiter waiter;
    tv::PulseVoiceInput voice;
    tv::Services services{dialogs, speech, sounds, media, cursor, waiter, voice};
    QTemporaryDir dir;
    tv::RecorderWindow recorder(services, {15, 15}, QStringLiteral("Bonjour mamie"), dir.path());
    recorder.show();

    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> reachedServer{-1};
    qint64 risen = -1;
    QObject::connect(&recorder, &tv::RecorderWindow::levelShown, [&](double reading) {
        if (reading > 0.5 && risen < 0)
            risen = clock.nsecsElapsed();
    });
    tv::PcmStream player({44100, 1, 16});
    player.onStarted = [&] { reachedServer = clock.nsecsElapsed(); };
    player.available(3000);

    recorder.begin();
    tv::bench::Stats lag;
    const QByteArray burst = tone(300, 44100);
    for (int n = 0; n < 20; ++n) {
        QTest::qWait(700); // quiet between bursts: the meter falls back
        risen = -1;
        reachedServer = -1;
        const quint64 take = player.restart();
        player.append(take, burst);
        player.finish(take);
        QDeadlineTimer deadline(3000);
        while ((risen < 0 || reachedServer < 0) && !deadline.hasExpired())
            QTest::qWait(1);
        if (risen >= 0 && reachedServer >= 0)
            lag.add(double(risen - reachedServer) / 1e6);
    }
    std::printf("level meter, tone at the server to the meter rising: %s\n",
                qPrintable(lag.text()));

    tv::bench::Stats keep;
    for (int n = 0; n < 3; ++n) {
        recorder.begin();
        QElapsedTimer recording;
        recording.start();
        // A steady voice for the whole length.
        const quint64 take = player.restart();
        player.append(take, tone(seconds * 1000 + 500, 44100));
        player.finish(take);
        while (recording.elapsed() < seconds * 1000)
            QTest::qWait(20);
        const qint64 start = clock.nsecsElapsed();
        recorder.end();
        recorder.keep();
        const QString path = dir.filePath(QString(recorder.keptName()).replace(u'\\', u'/'));
        QFile file(path);
        const bool whole = file.open(QIODevice::ReadOnly) && tv::parseWav(file.readAll());
        keep.add(double(clock.nsecsElapsed() - start) / 1e6);
        if (!whole)
            std::printf("the voice kept cannot be read: %s\n", qPrintable(path));
        QFile::remove(path);
        recorder.show();
        recorder.setResult(0);
    }
    std::printf("%d s recorded, from \"Arrêter\" to the voice written and readable: %s\n", seconds,
                qPrintable(keep.text()));

    load.stop();
    pactl({"set-default-source", formerSource});
    pactl({"set-default-sink", formerSink});
    pactl({"unload-module", in});
    pactl({"unload-module", out});
    return 0;
}
