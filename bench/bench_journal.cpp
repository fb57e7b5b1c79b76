// The usage log on a busy machine: what noting a choice adds to a press (median, worst), and
// the report over a year of logs (100,000 events, generated): its time and peak memory, as
// PDF and as CSV.
//   bench_journal [--load N] [--presses P] [--events E]   N CPU hogs (2), P presses (2000),
//   E events in the year (100000)
// Prints its figures.

#include "CpuLoad.h"
#include "Stats.h"
#include "journal/ReportCommand.h"
#include "journal/UsageLog.h"
#include "model/Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A year of a person's days: choices among 300 words, a message now and then, a page change.
void writeYear(const QString &dataDirectory, int events) {
    QRandomGenerator random(12);
    QStringList words;
    for (int i = 0; i < 300; ++i)
        words << QStringLiteral("mot%1").arg(i);
    const QStringList access = {tv::kAccessMouse, tv::kAccessScanning, tv::kAccessDwell};
    QDir().mkpath(tv::UsageLog::directoryOf(dataDirectory));
    QDateTime when(QDate(2025, 12, 1), QTime(8, 0));
    const qint64 step = 365LL * 24 * 3600 * 1000 / events;
    QByteArray month;
    QDate last;
    QString file;
    for (int n = 0; n < events; ++n) {
        when = when.addMSecs(step);
        const QString name = tv::UsageLog::fileOf(dataDirectory, when.date());
        if (name != file) {
            if (!file.isEmpty()) {
                QFile f(file);
                f.open(QIODevice::WriteOnly);
                f.write(month);
            }
            file = name;
            month = tv::lamHeader();
            last = {};
        }
        tv::UsageEvent e;
        e.when = when;
        const int r = int(random.bounded(10));
        e.kind = r == 0   ? tv::UsageEvent::Kind::Message
                 : r == 1 ? tv::UsageEvent::Kind::Page
                          : tv::UsageEvent::Kind::Choice;
        // Zipf-like: a few words most of the time.
        e.text = words[int(std::pow(random.generateDouble(), 3) * words.size())];
        e.page = QStringLiteral("page_%1.dat").arg(random.bounded(12));
        e.access = access[int(random.bounded(3))];
        e.delayMs = e.access == tv::kAccessMouse ? -1 : 800 + int(random.bounded(5000));
        month += tv::lamLines(e, last);
        last = when.date();
    }
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(month);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int presses = tv::bench::option("--presses", 2000),
              events = tv::bench::option("--events", 100000);
    tv::bench::CpuLoad load;
    if (!tv::bench::startAndReport(load, tv::bench::option("--load", 2)))
        return 1;

    QTemporaryDir person;
    tv::UsageLog log(person.path());
    log.setEnabled(true);
    tv::bench::Stats noted;
    QElapsedTimer t;
    for (int n = 0; n < presses; ++n) {
        tv::UsageEvent e;
        e.when = QDateTime::currentDateTime();
        e.text = QStringLiteral("je veux boire de l'eau");
        e.page = QStringLiteral("premiers_mots\\page_boire.dat");
        e.access = tv::kAccessScanning;
        e.delayMs = 1500;
        t.start();
        log.append(e);
        noted.add(double(t.nsecsElapsed()) / 1e6);
        // The window's loop runs between presses, as the program's does.
        QCoreApplication::processEvents();
    }
    std::vector<double> sorted = noted.v;
    std::sort(sorted.begin(), sorted.end());
    std::printf("a choice noted (the press's share): %s, 99th percentile %.2f ms, over 1 ms: %d\n",
                qPrintable(noted.text()), sorted[sorted.size() * 99 / 100],
                int(std::count_if(sorted.begin(), sorted.end(), [](double ms) { return ms > 1; })));

    QTemporaryDir year;
    writeYear(year.path(), events);
    const tv::ProgramPaths paths{year.path(), {}};
    const long before = peakMb();
    for (const char *kind : {"pdf", "csv"}) {
        t.start();
        const QString why = tv::writeReport(
            paths, {year.filePath(QStringLiteral("rapport.") + QLatin1String(kind)), {}, {}},
            {15, 15});
        std::printf("report of a year (%d events) as %s: %.0f ms%s\n", events, kind,
                    double(t.nsecsElapsed()) / 1e6,
                    why.isEmpty() ? "" : qPrintable(QStringLiteral(" FAILED: ") + why));
    }
    std::printf("peak memory: %ld MB (%ld MB before the reports)\n", peakMb(), before);
    return 0;
}
