// French sentences on a busy machine: the conjugator's and the dictionary's tables loaded
// (time, memory); a message formed again after each press, in the strip itself (median,
// worst), over sentences in every tense; and the real program's start to its first page
// drawn, with the strip on (the tables load meanwhile) and off.
//   bench_sentence [--load N] [--rounds R] [--starts S]   N CPU hogs (2), R passes (200),
//   S starts of each kind (5)
// Needs Xvfb and stress-ng. Prints its figures.

#include "CpuLoad.h"
#include "Stats.h"
#include "language/Lexicon.h"
#include "page/SentenceBar.h"
#include "support/X11Session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Messages as a person presses them, in the present, past and future, with agreement.
const QList<QStringList> kMessages = {
    {"je", "vouloir", "boire", "de l'eau"},
    {"hier", "je", "aller", "à l'école"},
    {"hier", "nous", "pas", "dormir"},
    {"demain", "elles", "être", "content"},
    {"elle", "être", "fatigué"},
    {"la semaine dernière", "ils", "tomber", "dans la cour"},
    {"je", "se laver", "les mains"},
    {"bientôt", "tu", "pas", "se lever", "tôt"},
    {"nous", "construire", "une cabane", "dans le jardin"},
    {"passé", "il", "prendre", "le bus", "avec", "maman"},
};

// Time from the program's start to its first page drawn (its yellow picture on screen), ms.
double startToFirstPage(tv::test::X11Session &x, bool strip) {
    tv::test::ProgramCopy program;
    program.settings("fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=760\r\n"
                     "fenetre_hauteur=520\r\nbandeau_phrase=" +
                     QByteArray(strip ? "oui" : "non") + "\r\n");
    program.picture("jaune.png", Qt::yellow, 120);
    program.page("page_départ.dat", "couleur_page=0\r\njaune.png,je,20,40,120,120\r\n");
    QElapsedTimer t;
    t.start();
    if (!program.launch(x))
        return -1;
    while (t.elapsed() < 60000) {
        if (!x.centreOf(Qt::yellow, 4000).isNull())
            return double(t.nsecsElapsed()) / 1e6;
        QThread::msleep(10);
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = tv::bench::option("--rounds", 200),
              starts = tv::bench::option("--starts", 5);
    tv::bench::CpuLoad load;
    if (!tv::bench::startAndReport(load, tv::bench::option("--load", 2)))
        return 1;

    const long before = peakKb();
    QElapsedTimer t;
    t.start();
    const tv::Lexicon &lexicon = tv::Lexicon::shared();
    std::printf("tables loaded: %.1f ms, peak memory +%ld MB (verbs %s, adjectives %s)\n",
                double(t.nsecsElapsed()) / 1e6, (peakKb() - before) / 1024,
                lexicon.hasVerbs() ? "yes" : "NO", lexicon.hasAdjectives() ? "yes" : "NO");

    tv::SentenceBar bar;
    bar.resize(900, bar.maximumHeight());
    bar.show();
    tv::bench::Stats first, again;
    for (int r = 0; r < rounds; ++r) {
        for (const QStringList &message : kMessages) {
            for (const QString &phrase : message) {
                t.restart();
                bar.add(phrase, {});
                (r == 0 ? first : again).add(double(t.nsecsElapsed()) / 1e6);
            }
            bar.clear();
        }
    }
    std::printf("a press to its sentence formed and shown, first time each word: %s\n",
                qPrintable(first.text()));
    std::printf("a press to its sentence formed and shown, words met before: %s\n",
                qPrintable(again.text()));

    tv::test::X11Session x;
    tv::bench::Stats withStrip, without;
    for (int n = 0; n < starts; ++n) {
        without.add(startToFirstPage(x, false));
        withStrip.add(startToFirstPage(x, true));
    }
    std::printf("start to first page, strip off: %s\n", qPrintable(without.text()));
    std::printf("start to first page, strip on (tables loading): %s\n",
                qPrintable(withStrip.text()));
    return 0;
}
