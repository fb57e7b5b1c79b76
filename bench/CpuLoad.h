#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QThread>
#include <cstdio>

namespace tv::bench {

// CPU hogs (stress-ng) that run for as long as this object lives, so that a benchmark
// measures what a person meets on a busy machine.
class CpuLoad {
public:
    // False when stress-ng cannot be started. Waits a moment so that the load is there.
    bool start(int hogs) {
        if (hogs <= 0)
            return true;
        stress_.start(QStringLiteral("stress-ng"), {"--cpu", QString::number(hogs), "--quiet"});
        if (!stress_.waitForStarted())
            return false;
        QThread::sleep(3);
        return true;
    }
    ~CpuLoad() { stop(); }
    void stop() {
        if (stress_.state() == QProcess::NotRunning)
            return;
        stress_.terminate();
        stress_.waitForFinished();
    }

private:
    QProcess stress_;
};

// The load average over 1, 5 and 15 minutes, as the system gives it.
inline QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(u' ', 0, 2);
}

// The number given after `name` on the command line ("--load 2"), or `fallback`.
inline int option(const QString &name, int fallback) {
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(name);
    return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

// Starts the hogs and prints the load the figures are measured under; false, said on the
// error output, when stress-ng cannot be started.
inline bool startAndReport(CpuLoad &load, int hogs) {
    if (!load.start(hogs)) {
        std::fprintf(stderr, "needs stress-ng\n");
        return false;
    }
    std::printf("CPU load: stress-ng --cpu %d, load average %s\n", hogs, qPrintable(loadAverage()));
    return true;
}

} // namespace tv::bench
