#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QThread>

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

} // namespace tv::bench
