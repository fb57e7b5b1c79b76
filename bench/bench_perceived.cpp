// What the person hears, on a busy machine: the real program in a real X window, real
// presses, a CPU load the benchmark makes itself, and the sound taken at the audio server.
//
//   bench_perceived [--presses 200] [--media 50] [--load 4] [--quit-cycles 0] [--seed 1]
//
// To look into a result: BENCH_DUMP=1 prints each press and writes what was heard to
// /tmp/bench_heard.wav; BENCH_PICTURE=n and BENCH_GAP=ms press one picture at one pace.
//
// Needs Xvfb, stress-ng and an audio server (scripts/start-audio.sh). Prints its figures.

#include "CpuLoad.h"
#include "MonitorRecorder.h"
#include "Stats.h"
#include "platform/EspeakSpeech.h"
#include "platform/Wav.h"
#include "support/Files.h"
#include "support/X11Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
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

// Written to the page without commas (the page format cannot hold them), and with no "."
// before the end of a tag (the text after the first "." tells a phrase from a file).
// Those that open with a silence (a few syllables said at no volume: the voice takes no
// silence before its first word) show the cut-off of the phrase before them cleanly.
const QStringList kPhrases = {
    "Je veux boire de l'eau s'il te plaît.",
    "<volume level=\"0\">la la</volume>J'ai faim.",
    "Bonjour comment vas-tu aujourd'hui ?",
    "<rate speed=\"-5\">Je suis fatigué et je voudrais me reposer un peu</rate>",
    "<volume level=\"0\">la la</volume>Peux-tu allumer la télévision ?",
    "<emph>Non</emph> merci pas maintenant.",
    "<volume level=\"0\">la la</volume>Il était une fois une petite fille qui aimait se promener "
    "dans la forêt avec son chien.",
    "<volume level=\"60\">Je voudrais sortir dehors</volume>",
};
constexpr int kPicture = 110; // pixels, with a gap of 10
constexpr int kTop = 60;      // below the menu bar
constexpr int kWindowMs = 5;  // envelope resolution
constexpr double kLoud = 150; // RMS above which a window is heard

struct Args {
    int presses = 200, media = 50, load = 4, quitCycles = 0;
    quint32 seed = 1;
};

Args parse(const QStringList &a) {
    Args r;
    for (int i = 1; i + 1 < a.size(); i += 2) {
        const int v = a[i + 1].toInt();
        if (a[i] == "--presses")
            r.presses = v;
        else if (a[i] == "--media")
            r.media = v;
        else if (a[i] == "--load")
            r.load = v;
        else if (a[i] == "--quit-cycles")
            r.quitCycles = v;
        else if (a[i] == "--seed")
            r.seed = quint32(v);
    }
    return r;
}

// RMS over windows of kWindowMs.
std::vector<double> envelope(const qint16 *s, size_t n) {
    const size_t w = MonitorRecorder::kRate * kWindowMs / 1000;
    std::vector<double> e(n / w);
    for (size_t i = 0; i < e.size(); ++i) {
        double sum = 0;
        for (size_t j = 0; j < w; ++j)
            sum += double(s[i * w + j]) * s[i * w + j];
        e[i] = std::sqrt(sum / double(w));
    }
    return e;
}

// Loudness in decibels over a floor: compared, it is the shape of a phrase, not its peaks.
std::vector<double> decibels(const std::vector<double> &linear) {
    std::vector<double> out(linear.size());
    std::transform(linear.begin(), linear.end(), out.begin(),
                   [](double v) { return 20 * std::log10(std::max(v, 30.0)); });
    return out;
}

double correlation(const std::vector<double> &a, size_t a0, const std::vector<double> &b,
                   size_t n) {
    if (a0 + n > a.size() || n > b.size() || n < 4)
        return -1;
    double ma = 0, mb = 0;
    for (size_t i = 0; i < n; ++i) {
        ma += a[a0 + i];
        mb += b[i];
    }
    ma /= double(n);
    mb /= double(n);
    double sab = 0, saa = 0, sbb = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = a[a0 + i] - ma, y = b[i] - mb;
        sab += x * y;
        saa += x * x;
        sbb += y * y;
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : -1;
}

class Bench {
public:
    explicit Bench(const Args &args) : args_(args), random_(args.seed) { clock_.start(); }
    int run();

private:
    bool layProgram();
    bool startProgram();
    void press(int picture);
    double nowMs() const { return double(clock_.nsecsElapsed()) / 1e6; }
    bool quietFor(int ms, int timeoutMs);
    void phrases();
    void mediaPresses();
    void quitCycles();

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

bool Bench::layProgram() {
    test::writeBytes(program_.file("Tablavox2.cfg"),
                     "fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=800\r\n"
                     "fenetre_hauteur=600\r\nacc\xe8s=souris\r\ntemporisation=2000\r\n"
                     "couleur_fond=9998670\r\ncadre_\xe9paisseur=4\r\ncadre_couleur=255\r\n"
                     "cadre_clignote=non\r\nvideo_largeur=640\r\nvideo_hauteur=480\r\n"
                     "son_page=non,1\r\n");
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (!image.save(program_.file("multimedia/p.jpg")))
        return false;
    // A tone of one second for the media presses.
    QList<qint16> tone;
    for (int i = 0; i < 22050; ++i)
        tone.append(qint16(8000 * std::sin(2 * M_PI * 660 * i / 22050.0)));
    test::writeBytes(program_.file("multimedia/ton.wav"), makeWav(tone, 22050));
    QString page = "couleur_page=16777215\r\n";
    auto at = [](int n) { return QPoint(10 + (n % 4) * kPicture, kTop + (n / 4) * kPicture); };
    for (int n = 0; n < kPhrases.size() + 2; ++n) {
        const QString action = n < kPhrases.size()    ? kPhrases[n]
                               : n == kPhrases.size() ? QStringLiteral("ton.wav")
                                                      : QStringLiteral("fin");
        const QPoint p = at(n);
        page += QStringLiteral("p.jpg,%1,%2,%3,100,100\r\n").arg(action).arg(p.x()).arg(p.y());
    }
    test::writeBytes(program_.file("pages/page_départ.dat"), page.toLatin1());
    return true;
}

bool Bench::startProgram() {
    program_.launch(x_, tablavox_);
    const QString main = x_.waitForWindow("^Tablavox -::- page_départ.dat$", 60000);
    if (main.isEmpty())
        return false;
    const QString shell = x_.xdotool({"getwindowgeometry", "--shell", main});
    const auto m = QRegularExpression("X=(-?\\d+)\\nY=(-?\\d+)").match(shell);
    origin_ = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
    return m.hasMatch();
}

void Bench::press(int picture) {
    const int x = origin_.x() + 10 + (picture % 4) * kPicture + 50;
    const int y = origin_.y() + kTop + (picture / 4) * kPicture + 50;
    XTestFakeMotionEvent(display_, -1, x, y, 0);
    XSync(display_, False);
}

bool Bench::quietFor(int ms, int timeoutMs) {
    const double until = nowMs() + timeoutMs;
    while (nowMs() < until) {
        QThread::msleep(100);
        const auto s = recorder_->samples();
        const size_t n = size_t(MonitorRecorder::kRate) * size_t(ms) / 1000;
        if (s.size() < n)
            continue;
        const auto e = envelope(s.data() + s.size() - n, n);
        if (std::all_of(e.begin(), e.end(), [](double v) { return v < kLoud; }))
            return true;
    }
    return false;
}

void Bench::phrases() {
    // What each phrase sounds like, from the same engine.
    EspeakSpeech engine;
    engine.waitUntilReady();
    std::vector<std::vector<double>> expected;
    std::vector<int> lead; // windows of silence before the voice
    for (const QString &p : kPhrases) {
        const QByteArray pcm = engine.synthesize(p);
        expected.push_back(
            envelope(reinterpret_cast<const qint16 *>(pcm.constData()), size_t(pcm.size() / 2)));
        const auto &e = expected.back();
        lead.push_back(
            int(std::find_if(e.begin(), e.end(), [](double v) { return v >= kLoud; }) - e.begin()));
    }

    struct Press {
        int picture;
        double at;
    };
    std::vector<Press> presses;
    const double loadStart = nowMs();
    QString loads = loadAverage();
    for (int i = 0; i < args_.presses; ++i) {
        const int picture = qEnvironmentVariableIsSet("BENCH_PICTURE")
                                ? qEnvironmentVariableIntValue("BENCH_PICTURE")
                                : int(random_.bounded(kPhrases.size()));
        press(picture);
        QThread::msleep(30 + random_.bounded(40)); // the pointer is there before the press
        const double at = nowMs();
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 0);
        XSync(display_, False);
        presses.push_back({picture, at});
        const int gap = qEnvironmentVariableIsSet("BENCH_GAP")
                            ? qEnvironmentVariableIntValue("BENCH_GAP")
                            : 100 + int(random_.bounded(1900));
        QThread::msleep(ulong(std::max(0, gap - 50)));
        if (i % 50 == 49)
            loads += " / " + loadAverage();
    }
    quietFor(1000, 15000);
    const double seconds = (nowMs() - loadStart) / 1000;

    const auto rec = recorder_->samples();
    if (qEnvironmentVariableIsSet("BENCH_DUMP")) {
        QList<qint16> all(rec.begin(), rec.end());
        test::writeBytes("/tmp/bench_heard.wav", makeWav(all, MonitorRecorder::kRate));
        for (const auto &p : presses)
            std::fprintf(stderr, "at %.3f s\n", recorder_->sampleAt(p.at) / MonitorRecorder::kRate);
    }
    const auto heard = envelope(rec.data(), rec.size());
    const auto heardDb = decibels(heard);
    std::vector<std::vector<double>> expectedDb;
    for (const auto &e : expected)
        expectedDb.push_back(decibels(e));
    auto windowAt = [&](double ms) {
        return std::llround(recorder_->sampleAt(ms) / (MonitorRecorder::kRate * kWindowMs / 1000));
    };

    int whole = 0, clipped = 0, lost = 0, overtaken = 0;
    Stats first, cutOff;
    std::vector<double> lag(presses.size(), 0);
    for (size_t i = 0; i < presses.size(); ++i) {
        const auto &exp = expected[size_t(presses[i].picture)];
        const double next = i + 1 < presses.size() ? presses[i + 1].at : presses[i].at + 1e9;
        const qint64 p0 = windowAt(presses[i].at);
        // The phrase as it should be heard: found where the recording follows it best.
        double best = -1;
        qint64 bestLag = 0;
        for (qint64 l = 0; l <= 120 / kWindowMs; ++l) {
            const qint64 span = std::min<qint64>(qint64(exp.size()), windowAt(next) - p0 - l);
            if (span - lead[size_t(presses[i].picture)] < 60 / kWindowMs)
                break;
            const double c = correlation(heardDb, size_t(p0 + l),
                                         expectedDb[size_t(presses[i].picture)], size_t(span));
            if (c > best) {
                best = c;
                bestLag = l;
            }
        }
        const qint64 room = windowAt(next) - p0 - lead[size_t(presses[i].picture)];
        if (room < 60 / kWindowMs && best < 0) {
            ++overtaken; // the next press came before any of it could be heard
            continue;
        }
        lag[i] = double(bestLag * kWindowMs);
        const qint64 span = std::min<qint64>(qint64(exp.size()), windowAt(next) - p0 - bestLag);
        int voiced = 0, voicedHeard = 0;
        for (qint64 w = 0; w < span; ++w) {
            if (exp[size_t(w)] >= kLoud) {
                ++voiced;
                if (size_t(p0 + bestLag + w) < heard.size() &&
                    heard[size_t(p0 + bestLag + w)] >= kLoud / 2)
                    ++voicedHeard;
            }
        }
        if (qEnvironmentVariableIsSet("BENCH_DUMP"))
            std::fprintf(stderr, "press %zu pic %d gap %.0f corr %.2f lag %lld voiced %d/%d\n", i,
                         presses[i].picture, next - presses[i].at, best, bestLag * kWindowMs,
                         voicedHeard, voiced);
        if (best >= 0.7 && voicedHeard >= voiced * 0.95)
            ++whole;
        else if (best >= 0.4 && voicedHeard > 0)
            ++clipped;
        else
            ++lost;
        // The first sound, where the press came in silence.
        bool silentBefore = p0 >= 10;
        for (qint64 w = p0 - 10; silentBefore && w < p0; ++w)
            silentBefore = heard[size_t(w)] < kLoud;
        if (silentBefore) {
            qint64 w = p0;
            while (size_t(w) < heard.size() && heard[size_t(w)] < kLoud &&
                   w < p0 + 1000 / kWindowMs)
                ++w;
            first.add(double(w - p0 - lead[size_t(presses[i].picture)]) * kWindowMs);
        }

        // The cut-off of the phrase before, if it still had sound to give, where this phrase
        // opens with a silence: any sound then is the old phrase going on.
        const int quiet = lead[size_t(presses[i].picture)];
        if (i > 0 && quiet >= 200 / kWindowMs) {
            const auto &prev = expected[size_t(presses[i - 1].picture)];
            const qint64 prevStart = windowAt(presses[i - 1].at) + qint64(lag[i - 1] / kWindowMs);
            bool hadMore = false;
            for (qint64 w = std::max<qint64>(0, p0 - prevStart); w < qint64(prev.size()); ++w)
                hadMore = hadMore || prev[size_t(w)] >= kLoud;
            if (hadMore) {
                qint64 last = p0 - 1;
                for (qint64 w = p0; w < p0 + quiet - 40 / kWindowMs && size_t(w) < heard.size();
                     ++w) {
                    if (heard[size_t(w)] >= kLoud)
                        last = w;
                }
                cutOff.add(double(last + 1 - p0) * kWindowMs);
            }
        }
    }
    std::printf("Phrase presses: %d in %.0f s, load average (1, 5, 15 min) %s\n", args_.presses,
                seconds, qPrintable(loads));
    std::printf("  heard whole %d, clipped %d, lost %d; overtaken by the next press before "
                "any sound was due %d\n",
                whole, clipped, lost, overtaken);
    std::printf("  first sound at the server after a press in silence, less the phrase's own "
                "opening silence: %s\n",
                qPrintable(first.text()));
    std::printf("  cut-off at the server after the next press: %s\n", qPrintable(cutOff.text()));
}

void Bench::mediaPresses() {
    const int picture = int(kPhrases.size());
    int heardCount = 0, silent = 0, errors = 0;
    Stats first;
    const QString loads = loadAverage();
    for (int i = 0; i < args_.media; ++i) {
        x_.waitForNoWindow("^Multimedia = ", 10000);
        quietFor(200, 5000);
        press(picture);
        QThread::msleep(50);
        const double at = nowMs();
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 0);
        XSync(display_, False);
        bool heard = false, error = false;
        while (!heard && !error && nowMs() < at + 8000) {
            QThread::msleep(50);
            const auto rec = recorder_->samples();
            const auto from = size_t(std::max(0.0, recorder_->sampleAt(at)));
            if (rec.size() > from) {
                const auto e = envelope(rec.data() + from, rec.size() - from);
                const auto loud =
                    std::find_if(e.begin(), e.end(), [](double v) { return v >= kLoud; });
                if (loud != e.end()) {
                    heard = true;
                    first.add(double(loud - e.begin()) * kWindowMs);
                }
            }
            const QString box = x_.xdotool({"search", "--onlyvisible", "--name", "^Tablavox$"});
            if (!box.isEmpty()) {
                error = true;
                x_.keysTo(box.split(u'\n').last(), {"Return"});
            }
        }
        heard ? ++heardCount : error ? ++errors : ++silent;
    }
    std::printf("Media presses: %d, load average %s -> %s\n", args_.media, qPrintable(loads),
                qPrintable(loadAverage()));
    std::printf("  heard %d, silent %d, read-error message %d\n", heardCount, silent, errors);
    std::printf("  first sound at the server after the press: %s\n", qPrintable(first.text()));
}

void Bench::quitCycles() {
    int clean = 0, failed = 0;
    const QString loads = loadAverage();
    for (int i = 0; i < args_.quitCycles; ++i) {
        if (!startProgram()) {
            ++failed;
            tablavox_.kill();
            tablavox_.waitForFinished();
            continue;
        }
        press(int(kPhrases.size()) + 1); // "fin": the quit sequence
        QThread::msleep(50);
        XTestFakeButtonEvent(display_, 1, True, 0);
        XTestFakeButtonEvent(display_, 1, False, 0);
        XSync(display_, False);
        const bool ended = tablavox_.waitForFinished(30000);
        if (ended && tablavox_.exitStatus() == QProcess::NormalExit && tablavox_.exitCode() == 0) {
            ++clean;
        } else {
            ++failed;
            std::printf("  cycle %d: %s, status %d\n", i, ended ? "ended" : "hung",
                        tablavox_.exitCode());
            tablavox_.kill();
            tablavox_.waitForFinished();
        }
    }
    std::printf("Start/quit cycles: %d clean (exit status 0), %d not; load average %s -> %s\n",
                clean, failed, qPrintable(loads), qPrintable(loadAverage()));
}

int Bench::run() {
    if (!x_.isRunning() || !layProgram()) {
        std::fprintf(stderr, "needs Xvfb and a program copy\n");
        return 1;
    }
    display_ = XOpenDisplay(qPrintable(x_.display()));
    if (!display_)
        return 1;
    CpuLoad stress;
    if (!stress.start(args_.load)) {
        std::fprintf(stderr, "needs stress-ng\n");
        return 1;
    }
    if (args_.load > 0)
        QThread::sleep(17); // the load average climbs
    std::printf("CPU load: stress-ng --cpu %d on %d cores\n", args_.load,
                QThread::idealThreadCount());
    recorder_ = std::make_unique<MonitorRecorder>(clock_);
    recorder_->start();
    if (!recorder_->waitUntilListening()) {
        std::fprintf(stderr, "needs an audio server (scripts/start-audio.sh)\n");
        return 1;
    }
    if (args_.presses + args_.media > 0) {
        if (!startProgram()) {
            x_.screen().save("/tmp/bench_perceived_start.png");
            std::fprintf(stderr,
                         "the program did not start (screen: /tmp/bench_perceived_start.png)\n");
            return 1;
        }
        quietFor(1000, 20000); // past the greeting
        if (args_.presses > 0)
            phrases();
        if (args_.media > 0)
            mediaPresses();
        tablavox_.kill();
        tablavox_.waitForFinished();
    }
    if (args_.quitCycles > 0)
        quitCycles();
    recorder_->stop();
    stress.stop();
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
