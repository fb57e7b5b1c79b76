// Scanning step timing: how far each step lands from when it was due, with 50 pictures on
// the page and the frame and cursor moved at every step. Run it on a display (offscreen
// works: QT_QPA_PLATFORM=offscreen).
//
//   bench_scan [interval ms] [--cues] [--load N]
//
// --cues: every step says its picture's cue with the real voice (an audio server is
// needed), and the time from the step to the cue's first samples reaching the server is
// printed too. --load N: N CPU hogs (stress-ng) run meanwhile.

#include "CpuLoad.h"
#include "MonitorRecorder.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "platform/Dialogs.h"
#include "platform/EspeakSpeech.h"
#include "platform/Services.h"
#include "platform/StandInServices.h"
#include "use/Scanning.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

class NoDialogs final : public tv::Dialogs {
public:
    tv::MessageAnswer message(const QString &, tv::MessageIcon, tv::MessageButtons,
                              const QString &) override {
        return tv::MessageAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFile(const tv::OpenFileRequest &) override { return {}; }
    std::optional<qint32> chooseColor() override { return {}; }
};

class RealCursor final : public tv::CursorPlacer {
public:
    void moveTo(const QPoint &p) override { QCursor::setPos(p); }
};

class NoWait final : public tv::Waiter {
public:
    void waitMs(int) override {}
};

double percentile(QList<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[qsizetype(q * double(v.size() - 1))];
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    constexpr int kSteps = 200;
    const QStringList args = app.arguments();
    const int interval = args.size() > 1 && args[1].toInt() > 0 ? args[1].toInt() : 150;
    const bool cues = args.contains("--cues");
    const int loadAt = int(args.indexOf("--load"));
    const int load = loadAt > 0 ? args.value(loadAt + 1).toInt() : 0;
    tv::bench::CpuLoad hogs;
    if (!hogs.start(load)) {
        std::fprintf(stderr, "needs stress-ng\n");
        return 1;
    }

    tv::AppState state;
    state.tpp = {15, 15};
    state.settings.frameBlink = true;
    NoDialogs dialogs;
    tv::SilentSpeech silent;
    std::unique_ptr<tv::EspeakSpeech> voice;
    if (cues) {
        voice = std::make_unique<tv::EspeakSpeech>();
        if (!voice->waitUntilReady() || !voice->unavailableReason().isEmpty()) {
            std::fprintf(stderr, "speech unavailable: %s\n",
                         qPrintable(voice->unavailableReason()));
            return 1;
        }
        state.settings.switches.cues = true;
    }
    tv::Speech &speech = cues ? static_cast<tv::Speech &>(*voice) : silent;
    tv::SilentSoundPlayer sounds;
    tv::SilentMediaPlayer media;
    RealCursor cursor;
    NoWait waiter;
    tv::SilentVoiceInput microphone;
    tv::Services services{dialogs, speech, sounds, media, cursor, waiter, microphone};
    tv::MainWindow window(state);
    QImage picture(96, 96, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    for (int n = 1; n <= tv::kMaxImages; ++n) {
        tv::PictureControl *c = window.createPicture(n);
        c->setTwipsGeometry(((n - 1) % 10) * 1500 + 150, ((n - 1) / 10) * 1500 + 150, 1200, 1200);
        c->setPicture(picture);
        c->setTag(QStringLiteral("Image numéro %1").arg(n));
        c->show();
    }
    state.page.imageCount = tv::kMaxImages;
    window.resize(1000, 800);
    window.show();

    QElapsedTimer clock;
    QList<double> late, between, written, steps;
    double previous = 0, started = 0;
    std::unique_ptr<tv::bench::MonitorRecorder> recorder;
    if (voice) {
        QObject::connect(voice.get(), &tv::EspeakSpeech::audioStarted,
                         [&] { written << double(clock.nsecsElapsed()) / 1e6 - previous; });
        recorder = std::make_unique<tv::bench::MonitorRecorder>(clock);
        recorder->start();
    }
    // Measured as the step begins, before the frame and the cursor move.
    QObject::connect(window.scanTimer(), &QTimer::timeout, [&] {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        const int k = int(late.size()) + 1;
        late << std::abs(now - started - double(k) * interval);
        if (k > 1)
            between << std::abs(now - previous - interval);
        previous = now;
        steps << now;
        if (k == kSteps)
            app.quit();
    });
    tv::Scanning scanning(state, window, services);
    window.scanTimer()->setInterval(interval);
    clock.start();
    if (recorder && !recorder->waitUntilListening()) {
        std::fprintf(stderr, "cannot record the audio server's monitor\n");
        return 1;
    }
    // Due times count from here: listening to the server may take a moment first.
    started = double(clock.nsecsElapsed()) / 1e6;
    window.scanTimer()->start();
    app.exec();
    // Each cue heard at the server: its first loud sample after its step, less the silence
    // the voice itself puts before that cue's first sound.
    QList<double> heard;
    if (recorder) {
        QThread::msleep(1500);
        recorder->stop();
        recorder->wait();
        const std::vector<qint16> samples = recorder->samples();
        const auto loud = [](qint16 v) { return std::abs(int(v)) > 1000; };
        for (int k = 0; k < steps.size(); ++k) {
            const QByteArray alone =
                voice->synthesize(QStringLiteral("Image numéro %1").arg(k % tv::kMaxImages + 1));
            const auto *own = reinterpret_cast<const qint16 *>(alone.constData());
            qsizetype lead = 0;
            while (lead < alone.size() / 2 && !loud(own[lead]))
                ++lead;
            const double from = recorder->sampleAt(steps[k]);
            const double to = recorder->sampleAt(steps[k] + interval);
            for (qsizetype i = qsizetype(std::max(0.0, from));
                 i < qsizetype(to) && i < qsizetype(samples.size()); ++i) {
                if (loud(samples[size_t(i)])) {
                    heard << (double(i) - from - double(lead)) * 1000.0 /
                                 tv::bench::MonitorRecorder::kRate;
                    break;
                }
            }
        }
    }

    const QString average = tv::bench::loadAverage();
    hogs.stop();
    std::printf("scanning steps: %d at %d ms, 50 pictures, blinking frame%s; %d CPU hogs, load "
                "average %s\n",
                kSteps, interval, cues ? ", a spoken cue at each step" : "", load,
                qPrintable(average));
    std::printf(
        "step vs. its due time:     median %6.2f ms, worst %6.2f ms   (target worst < 10 ms)\n",
        percentile(late, 0.5), percentile(late, 1.0));
    std::printf("interval vs. the setting:  median %6.2f ms, worst %6.2f ms\n",
                percentile(between, 0.5), percentile(between, 1.0));
    if (cues && !written.isEmpty())
        std::printf("step to the cue's first samples written to the server: median %6.2f ms, "
                    "worst %6.2f ms, %lld of %d cues\n",
                    percentile(written, 0.5), percentile(written, 1.0), qint64(written.size()),
                    kSteps);
    if (cues && !heard.isEmpty())
        std::printf("step to the cue's first sound at the server's monitor, less the voice's own "
                    "opening silence: median %6.2f ms, worst %6.2f ms, %lld of %d cues heard   "
                    "(target median < 50 ms)\n",
                    percentile(heard, 0.5), percentile(heard, 1.0), qint64(heard.size()), kSteps);
    return 0;
}
