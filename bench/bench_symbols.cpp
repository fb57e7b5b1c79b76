// How fast the symbol search answers a carer who types: the search alone for 200 queries,
// each keystroke until the grid is repainted, and the first screen of a new search window.
// Usage: bench_symbols [--load N] [--library DIR] [--shot FILE.png]
#include "CpuLoad.h"
#include "symbols/SymbolDialog.h"
#include "symbols/SymbolLibrary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

using namespace tv;

namespace {

struct Figures {
    std::vector<double> ms;
    QString text() {
        std::sort(ms.begin(), ms.end());
        if (ms.empty())
            return QStringLiteral("none");
        return QStringLiteral("median %1 ms, worst %2 ms (n = %3)")
            .arg(ms[ms.size() / 2], 0, 'f', 2)
            .arg(ms.back(), 0, 'f', 2)
            .arg(ms.size());
    }
};

double msSince(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// What carers type: words of the labels and keywords, whole or begun, with or without
// their accents and capitals, one or two words, and a few that match nothing.
QStringList queries(const SymbolLibrary &library, int n) {
    QRandomGenerator random(20261207);
    QStringList out = {"manger", "chien",       "content", "toilettes", "ecole",
                       "École",  "pomme rouge", "zzzz",    "a",         "visage"};
    while (out.size() < n) {
        const Symbol &s = library.at(int(random.bounded(library.size())));
        QStringList words = s.label.split(u' ', Qt::SkipEmptyParts) + s.tags;
        QString word = words.at(int(random.bounded(words.size())));
        const int keep = 1 + int(random.bounded(word.size()));
        word = word.left(keep);
        switch (random.bounded(4)) {
        case 0:
            word = foldForSearch(word);
            break;
        case 1:
            word = word.toUpper();
            break;
        case 2:
            word += u' ' + s.label.section(u' ', -1);
            break;
        default:
            break;
        }
        out << word;
    }
    return out;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    int hogs = 0;
    QString dir = SymbolLibrary::defaultDirectory();
    QString shot;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--load"))
            hogs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--library"))
            dir = args[i + 1];
        else if (args[i] == QLatin1String("--shot"))
            shot = args[i + 1];
    }
    bench::CpuLoad load;
    if (!load.start(hogs)) {
        std::fprintf(stderr, "stress-ng could not be started\n");
        return 1;
    }

    QElapsedTimer t;
    t.start();
    QString why;
    const SymbolLibrary library = SymbolLibrary::load(dir, &why);
    const double loadMs = msSince(t);
    if (library.isEmpty()) {
        std::fprintf(stderr, "no symbol library in %s: %s\n", qPrintable(dir), qPrintable(why));
        return 1;
    }
    std::printf("library: %d symbols from %s, read in %.1f ms; CPU hogs %d, load average %s\n",
                library.size(), qPrintable(dir), loadMs, hogs, qPrintable(bench::loadAverage()));

    for (const char *q : {"chien", "ecole", "manger", "content", "toilettes", "pomme rouge"}) {
        QStringList best;
        for (int i : library.search(QString::fromUtf8(q)))
            if (best.size() < 5)
                best << library.at(i).label;
        std::printf("  %-12s → %s\n", q, qPrintable(best.join(QLatin1String(" | "))));
    }

    const QStringList all = queries(library, 200);
    Figures search;
    for (const QString &q : all) {
        t.start();
        const auto found = library.search(q);
        search.ms.push_back(msSince(t));
    }
    std::printf("search alone, 200 queries: %s\n", qPrintable(search.text()));

    // A keystroke as the window meets it: the text changes, the search runs away from the
    // window, the grid takes its results and is repainted with the drawings it shows.
    const auto shown = [](SymbolDialog &dialog) {
        while (dialog.searching())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        dialog.grid()->viewport()->repaint();
    };
    Figures keystroke;
    Figures firstScreen;
    for (int round = 0; round < 5; ++round) {
        t.start();
        SymbolDialog dialog(library);
        dialog.show();
        dialog.field()->setText(all[round]);
        QApplication::processEvents();
        shown(dialog);
        firstScreen.ms.push_back(msSince(t));
        for (int i = 0; i < 40; ++i) {
            t.start();
            dialog.field()->setText(all[round * 40 + i]);
            shown(dialog);
            keystroke.ms.push_back(msSince(t));
        }
    }
    std::printf("keystroke to repainted grid, 200 queries: %s\n", qPrintable(keystroke.text()));
    std::printf("new search window to its first screen drawn: %s\n",
                qPrintable(firstScreen.text()));
    if (!shot.isEmpty()) {
        SymbolDialog dialog(library);
        dialog.show();
        dialog.field()->setText(QStringLiteral("chien"));
        shown(dialog);
        dialog.grab().save(shot);
    }
    std::printf("load average at the end: %s\n", qPrintable(bench::loadAverage()));
    return 0;
}
