// Boards on paper, on a busy machine: the whole starter set (the start page and every page
// its links reach) to a PDF, its time and the process's peak memory; and, done away from the
// window as the menu does it, the window's longest stall meanwhile.
//   bench_print [--load N] [--runs R]   N CPU hogs (2 by default), R runs (5)
// Reads the demo laid beside the program by the build. Prints its figures.

#include "CpuLoad.h"
#include "Stats.h"
#include "platform/OffThread.h"
#include "print/BoardPrint.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int hogs = tv::bench::option("--load", 2), runs = tv::bench::option("--runs", 5);
    // The demo the build lays beside the program (build/bin), the benchmark being in build/bench.
    const QString demo = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    const tv::BoardSource source{demo + "/pages", demo + "/multimedia", {15, 15}};
    tv::bench::CpuLoad load;
    if (!tv::bench::startAndReport(load, hogs))
        return 1;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("tableaux.pdf");

    tv::bench::Stats whole;
    std::size_t boards = 0;
    for (int n = 0; n < runs; ++n) {
        QElapsedTimer t;
        t.start();
        const auto set = tv::collectBoards(source, {});
        const QString why = tv::writeBoardsPdf(pdf, set, {true, false});
        whole.add(double(t.nsecsElapsed()) / 1e6);
        boards = set.size();
        if (!why.isEmpty()) {
            std::fprintf(stderr, "not written: %s\n", qPrintable(why));
            return 1;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%zu boards with an index to PDF (%lld kB): %s; peak memory %ld MB\n", boards,
                QFile(pdf).size() / 1024, qPrintable(whole.text()), usage.ru_maxrss / 1024);

    // The window's thread while the set is written away from it: the longest gap between
    // ticks of a 5 ms timer.
    tv::OffThread exports;
    tv::bench::Stats stalls;
    for (int n = 0; n < runs; ++n) {
        bool done = false;
        QElapsedTimer since;
        since.start();
        double longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, double(since.nsecsElapsed()) / 1e6);
            since.restart();
        });
        tick.start(5);
        exports.run(
            [&](const tv::OffThread::Token &) {
                return tv::writeBoardsPdf(pdf, tv::collectBoards(source, {}), {true, true});
            },
            [&](const QString &) { done = true; });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        stalls.add(longest);
    }
    std::printf("the window while the set is written away from it, longest stall: %s\n",
                qPrintable(stalls.text()));
    return 0;
}
