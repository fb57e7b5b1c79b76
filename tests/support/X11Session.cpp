#include "X11Session.h"

#include <QTest>

#include <QTemporaryDir>

#include <QImage>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace tv::test {

X11Session::X11Session() {
    // A display number of our own, so that test runs never share a server.
    for (int n = 90 + int(QCoreApplication::applicationPid() % 400); n < 1000; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        display_ = QStringLiteral(":%1").arg(n);
        server_ = std::make_unique<QProcess>();
        server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_->start(QStringLiteral("Xvfb"), {display_, "-screen", "0", "1280x1024x24", "-dpi",
                                                "96", "-nolisten", "tcp", "-noreset"});
        if (!server_->waitForStarted(5000))
            break;
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && server_->state() == QProcess::Running) {
            bool ok = false;
            xdotool({"getdisplaygeometry"}, &ok);
            if (ok)
                return;
            QThread::msleep(50);
        }
        server_->kill();
        server_->waitForFinished();
    }
    server_.reset();
}

X11Session::~X11Session() {
    if (server_) {
        server_->terminate();
        if (!server_->waitForFinished(3000))
            server_->kill();
        server_->waitForFinished();
    }
}

QProcessEnvironment X11Session::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QString X11Session::xdotool(const QStringList &args, bool *ok) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral("xdotool"), args);
    const bool finished = p.waitForFinished(10000);
    if (ok)
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString X11Session::waitForWindow(const QString &titleRegex, int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QString ids = xdotool({"search", "--onlyvisible", "--name", titleRegex});
        if (!ids.isEmpty())
            return ids.split(u'\n').last();
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}

bool X11Session::waitForNoWindow(const QString &titleRegex, int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (xdotool({"search", "--onlyvisible", "--name", titleRegex}).isEmpty())
            return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

bool X11Session::keysTo(const QString &window, const QStringList &keys) const {
    bool ok = false;
    xdotool({"windowfocus", "--sync", window}, &ok);
    if (!ok)
        return false;
    // One call, at a typing pace; the keys reach the program in order.
    xdotool(QStringList({"key", "--delay", "120"}) + keys, &ok);
    return ok;
}

QStringList X11Session::visibleWindows() const {
    return xdotool({"search", "--onlyvisible", "--name", ".*"}).split(u'\n', Qt::SkipEmptyParts);
}

QString X11Session::waitForNewWindow(const QStringList &before, int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    do {
        for (const QString &id : visibleWindows()) {
            if (!before.contains(id))
                return id;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}

bool X11Session::menuEntry(const QString &window, int x, const QString &key) const {
    const QStringList before = visibleWindows();
    bool ok = false;
    xdotool({"mousemove", "--window", window, QString::number(x), "8", "click", "1"}, &ok);
    // The key goes to the menu only once its window is up; a slow program takes its time.
    if (!ok || waitForNewWindow(before).isEmpty())
        return false;
    QThread::msleep(150);
    xdotool({"key", key}, &ok);
    return ok;
}

bool X11Session::typeTo(const QString &window, const QString &text) const {
    bool ok = false;
    xdotool({"windowfocus", "--sync", window}, &ok);
    if (!ok)
        return false;
    xdotool({"type", "--delay", "40", text}, &ok);
    return ok;
}

void X11Session::screenshot(const QString &path) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral("import"), {"-window", "root", path});
    p.waitForFinished(10000);
}

ProgramCopy::ProgramCopy(bool withDataDirectories, const QString &parent)
    : dir_(parent.isEmpty() ? QDir::tempPath() + QStringLiteral("/tst_e2e-XXXXXX")
                            : parent + QStringLiteral("/tst_e2e-XXXXXX")) {
    QFile::copy(QStringLiteral(TABLAVOX_BIN_DIR "/tablavox"), dir_.filePath("tablavox"));
    if (withDataDirectories) {
        QDir(dir_.path()).mkdir("pages");
        QDir(dir_.path()).mkdir("multimedia");
    }
}

void ProgramCopy::start(const X11Session &x, QProcess &process) const {
    QProcessEnvironment env = x.environment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache_.path());
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(dir_.filePath("tablavox"), {});
}

QString ProgramCopy::startOnItsStartPage(const X11Session &x, QProcess &process) const {
    start(x, process);
    if (!process.waitForStarted())
        return {};
    return x.waitForWindow(QStringLiteral("^Tablavox -::- page_départ.dat$"));
}

QPoint X11Session::centreOf(const QColor &color) const {
    QTemporaryDir dir;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        screenshot(dir.filePath("s.png"));
        const QImage shot(dir.filePath("s.png"));
        qint64 sx = 0, sy = 0, n = 0;
        for (int y = 0; y < shot.height(); y += 2) {
            for (int xx = 0; xx < shot.width(); xx += 2) {
                const QColor c = shot.pixelColor(xx, y);
                if (std::abs(c.red() - color.red()) < 30 &&
                    std::abs(c.green() - color.green()) < 30 &&
                    std::abs(c.blue() - color.blue()) < 30) {
                    sx += xx;
                    sy += y;
                    ++n;
                }
            }
        }
        if (n > 500)
            return {int(sx / n), int(sy / n)};
        QTest::qWait(100);
    }
    return {};
}

} // namespace tv::test
