// How soon speech starts, and how soon a new phrase cuts off the one being said.
// Needs an audio server (scripts/start-audio.sh starts one with a null sink).

#include "platform/EspeakSpeech.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using tv::EspeakSpeech;

namespace {

const char *const kPhrases[] = {"Je veux boire de l'eau, s'il te plaît.",
                                "J'ai faim.",
                                "Bonjour, comment vas-tu ?",
                                "Je suis fatigué, je voudrais me reposer.",
                                "Merci beaucoup !",
                                "Oui.",
                                "Non, merci.",
                                "Peux-tu allumer la télévision ?",
                                "J'ai mal à la tête.",
                                "Je voudrais sortir dehors.",
                                "Appelle maman, s'il te plaît.",
                                "J'ai froid.",
                                "J'ai chaud.",
                                "Je veux écouter de la musique.",
                                "Où est mon chien ?",
                                "Je t'aime.",
                                "Au revoir, à demain !",
                                "Je voudrais un câlin.",
                                "Il fait beau aujourd'hui.",
                                "Je veux aller aux toilettes.",
                                "C'est l'heure de manger ?",
                                "Lis-moi une histoire, s'il te plaît."};

// Says the text and runs the event loop until its sound starts; milliseconds from `since`,
// or -1. Listening starts before the phrase is asked for: a start faster than the return
// from `speak` is still seen.
// `asked`: when `speak` returned (the former phrase is stopped by then).
double sayAndWait(EspeakSpeech *speech, const QString &text, const QElapsedTimer &since,
                  double *asked = nullptr) {
    QEventLoop loop;
    double at = -1;
    auto c = QObject::connect(speech, &EspeakSpeech::audioStarted, &loop, [&] {
        at = double(since.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    speech->speak(text);
    if (asked)
        *asked = double(since.nsecsElapsed()) / 1e6;
    if (at < 0)
        loop.exec();
    QObject::disconnect(c);
    return at;
}

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(const char *what, std::vector<double> v, double target) {
    std::sort(v.begin(), v.end());
    std::printf("%-40s median %6.2f ms   worst %6.2f ms   (target: %s %.0f ms)\n", what,
                v[v.size() / 2], v.back(), target > 0 ? "median <" : "worst <",
                target > 0 ? target : -target);
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    EspeakSpeech speech;
    if (!speech.waitUntilReady() || !speech.unavailableReason().isEmpty()) {
        std::fprintf(stderr, "speech unavailable: %s\n", qPrintable(speech.unavailableReason()));
        return 1;
    }
    speech.speak("Bonjour"); // the audio output's first opening is not a phrase's
    settle(1500);

    std::vector<double> start, cutoff;
    for (const char *phrase : kPhrases) {
        QElapsedTimer t;
        t.start();
        const double ms = sayAndWait(&speech, QString::fromUtf8(phrase), t);
        if (ms < 0) {
            std::fprintf(stderr, "no audio for: %s\n", phrase);
            return 1;
        }
        start.push_back(ms);
        settle(300); // the phrase is being said now
        // The next phrase cuts it off: time until the old audio is stopped.
        QElapsedTimer c;
        c.start();
        double stopped = 0;
        sayAndWait(&speech, QStringLiteral("Oui."), c, &stopped);
        cutoff.push_back(stopped);
        settle(700);
    }
    std::printf("%zu phrases\n", start.size());
    report("call to first samples at the output:", start, 25);
    report("worst of the same:", start, -60);
    report("new phrase cutting off the old one:", cutoff, -30);
    return 0;
}
