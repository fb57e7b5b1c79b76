// Choosing by resting the pointer, as an eye tracker moves it: the real program in a real X
// window, the pointer moved by XTest along generated gaze paths (a saccade, a rest shaking by
// up to 30 pixels each way at 60 samples a second, sometimes a blink that throws it off the
// picture for 120 ms), a CPU load the benchmark makes itself, the choices heard at the audio
// server.
//
//   bench_dwell [--trials 40] [--delay 1000] [--load 0] [--seed 1]
//
// Half the rests last the delay and more: each must be chosen once, at the delay; the others
// stop 300 ms short: none may be chosen. The time from a rest's start to its first sound,
// less the delay, is the choice's lateness; the same program's time from a click to its sound
// is measured too, so that what the voice adds can be told from what the rest adds.
//
// Needs Xvfb, stress-ng and an audio server (scripts/start-audio.sh). Prints its figures.

#include "CpuLoad.h"
#include "MonitorRecorder.h"
#include "Stats.h"
#include "support/X11Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace tv;
using tv::bench::CpuLoad;
using tv::bench::loadAverage;
using tv::bench::MonitorRecorder;
using tv::bench::Stats;

namespace {

constexpr int kPicture = 110; // pixels, a picture of 100 and a gap of 10
constexpr int kTop = 60;      // below the menu bar
constexpr int kWindowMs = 2;  // envelope resolution
constexpr double kLoud = 150; // RMS above which a window is heard

struct Args {
    int trials = 40, delay = 1000, load = 0;
    quint32 seed = 1;
};

Args parse(const QStringList &a) {
    Args r;
    for (int i = 1; i + 1 < a.size(); i += 2) {
        const int v = a[i + 1].toInt();
        if (a[i] == "--trials")
            r.trials = v;
        else if (a[i] == "--delay")
            r.delay = v;
        else if (a[i] == "--load")
            r.load = v;
        else if (a[i] == "--seed")
            r.seed = quint32(v);
    }
    return r;
}

class Bench {
public:
    explicit Bench(const Args &args) : args_(args), random_(args.seed) { clock_.start(); }
    int run();

private:
    double nowMs() const { return double(clock_.nsecsElapsed()) / 1e6; }
    void moveTo(QPoint p) {
        XTestFakeMotionEvent(display_, -1, origin_.x() + p.x(), origin_.y() + p.y(), 0);
        XSync(display_, False);
    }
    QPoint centre(int picture) const {
        return {10 + (picture % 4) * kPicture + 50, kTop + (picture / 4) * kPicture + 50};
    }
    // The first sound near `from` (clock ms), in ms after it; NaN when none within `within`.
    double firstSound(double from, double within);
    void waitMs(double ms) {
        const double until = nowMs() + ms;
        while (nowMs() < until)
            QThread::usleep(500);
    }

    Args args_;
    QRandomGenerator random_;
    QElapsedTimer clock_;
    test::X11Session x_;
    test::ProgramCopy program_;
    QProcess tablavox_;
    Display *display_ = nullptr;
    QPoint origin_;
    std::unique_ptr<MonitorRecorder> recorder_;
};

double Bench::firstSound(double from, double within) {
    // The recorder's clock may place a sound a few milliseconds before what caused it: the
    // search starts earlier, and the click's figure tells that part from the rest's.
    constexpr double kBefore = 200;
    const double start = recorder_->sampleAt(from - kBefore);
    const double end = recorder_->sampleAt(from + within);
    const auto s = recorder_->samples();
    const size_t w = MonitorRecorder::kRate * kWindowMs / 1000;
    for (size_t i = size_t(std::max(0.0, start)); i + w <= s.size() && double(i) < end; i += w) {
        double sum = 0;
        for (size_t j = 0; j < w; ++j)
            sum += double(s[i + j]) * s[i + j];
        if (std::sqrt(sum / double(w)) >= kLoud)
            return (double(i) - start) * 1000.0 / MonitorRecorder::kRate - kBefore;
    }
    return std::nan("");
}

int Bench::run() {
    if (!x_.isRunning()) {
        std::fprintf(stderr, "needs Xvfb\n");
        return 1;
    }
    program_.settings(QByteArray("fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=800\r\n"
                                 "fenetre_hauteur=600\r\nacc\xe8s=pointage\r\npointage_d\xe9lai=") +
                      QByteArray::number(args_.delay) +
                      "\r\npointage_tol\xe9rance=30\r\ncadre_couleur=16711680\r\n");
    program_.picture("p.png", Qt::darkCyan, 100);
    QByteArray page = "couleur_page=16777215\r\n";
    for (int n = 0; n < 12; ++n)
        page += QStringLiteral("p.png,oui,%1,%2,100,100\r\n")
                    .arg(10 + (n % 4) * kPicture)
                    .arg(kTop + (n / 4) * kPicture)
                    .toLatin1();
    program_.page("page_départ.dat", page);
    display_ = XOpenDisplay(qPrintable(x_.display()));
    CpuLoad load;
    if (!load.start(args_.load)) {
        std::fprintf(stderr, "needs stress-ng\n");
        return 1;
    }
    if (args_.load > 0)
        QThread::sleep(17); // the load average climbs
    std::printf("CPU load: stress-ng --cpu %d on %d cores, load average %s\n", args_.load,
                QThread::idealThreadCount(), qPrintable(loadAverage()));
    recorder_ = std::make_unique<MonitorRecorder>(clock_);
    recorder_->start();
    if (!display_ || !recorder_->waitUntilListening()) {
        std::fprintf(stderr, "needs an X display and an audio server (scripts/start-audio.sh)\n");
        return 1;
    }
    program_.launch(x_, tablavox_);
    const QString main = x_.waitForWindow("^Tablavox -::- page_départ.dat$", 60000);
    const auto m = QRegularExpression("X=(-?\\d+)\\nY=(-?\\d+)")
                       .match(x_.xdotool({"getwindowgeometry", "--shell", main}));
    if (main.isEmpty() || !m.hasMatch()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    origin_ = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
    const QPoint away(600, 500); // the page, outside every picture
    moveTo(away);
    waitMs(3000); // past the greeting

    // What the voice takes from a click to its first sound.
    Stats click;
    for (int i = 0; i < 10; ++i) {
        moveTo(centre(i));
        waitMs(50);
        const double at = nowMs();
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 0);
        XSync(display_, False);
        moveTo(away); // off at once: the rest never completes
        waitMs(1200);
        if (const double heard = firstSound(at, 1000); !std::isnan(heard))
            click.add(heard);
    }

    Stats rest;
    int chosen = 0, lost = 0, twice = 0, glances = 0, falseChoices = 0;
    const QString before = loadAverage();
    for (int t = 0; t < args_.trials; ++t) {
        const bool long_ = t % 2 == 0;
        const int picture = int(random_.bounded(12));
        const QPoint aim = centre(picture);
        // A saccade from where the pointer is, in three samples.
        for (int k = 1; k < 3; ++k) {
            moveTo(away + (aim - away) * k / 3);
            waitMs(16);
        }
        moveTo(aim);
        const double restAt = nowMs();
        waitMs(16);
        const double restMs = long_ ? args_.delay + 700 : args_.delay - 300;
        const double blinkAt = restAt + args_.delay * (0.2 + 0.3 * random_.generateDouble());
        const bool blink = random_.bounded(2) == 0;
        while (nowMs() < restAt + restMs) {
            const bool blinking = blink && nowMs() >= blinkAt && nowMs() < blinkAt + 120;
            moveTo(blinking ? away
                            : aim + QPoint(int(random_.bounded(61)) - 30,
                                           int(random_.bounded(61)) - 30));
            waitMs(16);
        }
        moveTo(away);
        waitMs(1500);
        const double first = firstSound(restAt, restMs + 1200);
        if (long_) {
            if (std::isnan(first)) {
                ++lost;
            } else {
                ++chosen;
                rest.add(first - args_.delay);
                // A second choice of the same rest would sound again after the first "oui".
                if (!std::isnan(firstSound(restAt + first + 600, restMs)))
                    ++twice;
            }
        } else {
            ++glances;
            falseChoices += std::isnan(first) ? 0 : 1;
        }
    }
    std::printf("Dwell %d ms, tolerance 30 px; %d rests, load average %s -> %s\n", args_.delay,
                args_.trials, qPrintable(before), qPrintable(loadAverage()));
    std::printf("  rests long enough: %d chosen, %d lost, %d chosen twice\n", chosen, lost, twice);
    std::printf("  rests 300 ms too short: %d, chosen all the same: %d\n", glances, falseChoices);
    std::printf("  rest start to first sound, less the delay: %s\n", qPrintable(rest.spread()));
    std::printf("  click to first sound (what the voice and the recorder add): %s\n",
                qPrintable(click.spread()));
    if (!rest.v.empty() && !click.v.empty()) {
        const double voice = click.v[click.v.size() / 2];
        std::printf("  choice lateness, the click's median taken off: earliest %+.1f ms, "
                    "median %+.1f ms, latest %+.1f ms\n",
                    rest.v.front() - voice, rest.v[rest.v.size() / 2] - voice,
                    rest.v.back() - voice);
    }
    tablavox_.kill();
    tablavox_.waitForFinished();
    recorder_->stop();
    XCloseDisplay(display_);
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Bench bench(parse(app.arguments()));
    return bench.run();
}
