#include "X11Session.h"

#include "Files.h"

#include <QtTest>
#include <QtWidgets>

namespace tv::test {

namespace {
// True once `done` is, trying again every 50 ms; false after timeoutMs.
template <typename Done> bool waitUntil(int timeoutMs, Done done) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}
} // namespace

X11Session::X11Session() : server_(std::make_unique<QProcess>()) {
    // The server takes a display of its own, so that test runs never share one, and names it
    // once it is ready.
    server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_->start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x1024x24",
                                            "-dpi", "96", "-nolisten", "tcp", "-noreset"});
    if (server_->waitForReadyRead(15000))
        display_ = u':' + QString::fromLatin1(server_->readLine()).trimmed();
    if (display_.size() < 2)
        server_.reset();
    // A session bus, as every desktop has. Without one, each program start would have libdbus
    // fork a bus launcher from a process already running threads: under the sanitizers the
    // child can hang before it execs, and the program with it.
    sessionBus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sessionBus_.start(QStringLiteral("dbus-daemon"),
                      {"--session", "--nofork", "--print-address=1"});
    if (sessionBus_.waitForReadyRead(15000))
        busAddress_ = QString::fromLatin1(sessionBus_.readLine()).trimmed();
}

X11Session::~X11Session() {
    sessionBus_.kill();
    sessionBus_.waitForFinished();
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
    // A story that brings a bus of its own (a screen reader's) keeps it.
    if (!env.contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")) && !busAddress_.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
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

QString X11Session::waitForWindow(const QString &titleRegex, int timeoutMs,
                                  const QString &notThis) const {
    QStringList ids;
    waitUntil(timeoutMs, [&] {
        ids = xdotool({"search", "--onlyvisible", "--name", titleRegex})
                  .split(u'\n', Qt::SkipEmptyParts);
        ids.removeAll(notThis);
        return !ids.isEmpty();
    });
    return ids.value(ids.size() - 1);
}

bool X11Session::waitForNoWindow(const QString &titleRegex, int timeoutMs) const {
    return waitUntil(timeoutMs, [&] {
        return xdotool({"search", "--onlyvisible", "--name", titleRegex}).isEmpty();
    });
}

bool X11Session::keysTo(const QString &window, const QStringList &keys) const {
    bool ok = false;
    xdotool({"windowfocus", "--sync", window}, &ok);
    // One call, at a typing pace; the keys reach the program in order.
    if (ok)
        xdotool(QStringList({"key", "--delay", "120"}) + keys, &ok);
    return ok;
}

bool X11Session::typeTo(const QString &window, const QString &text) const {
    bool ok = false;
    xdotool({"windowfocus", "--sync", window}, &ok);
    if (ok)
        xdotool({"type", "--delay", "40", text}, &ok);
    return ok;
}

bool X11Session::clickIn(const QString &window, int x, int y, int button) const {
    bool ok = false;
    xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y), "click",
             QString::number(button)},
            &ok);
    return ok;
}

bool X11Session::click(QPoint at) const {
    bool ok = false;
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}, &ok);
    return ok;
}

QStringList X11Session::visibleWindows() const {
    return xdotool({"search", "--onlyvisible", "--name", ".*"}).split(u'\n', Qt::SkipEmptyParts);
}

bool X11Session::menu(const QString &window, int x, int y, int button,
                      const QStringList &keys) const {
    const QStringList before = visibleWindows();
    if (!clickIn(window, x, y, button))
        return false;
    // The keys go to the menu only once its window is up; a slow program takes its time.
    if (!waitUntil(10000, [&] { return visibleWindows() != before; }))
        return false;
    QThread::msleep(150);
    bool ok = false;
    xdotool(QStringList({"key", "--delay", "100"}) + keys, &ok);
    return ok;
}

QPoint X11Session::cursor() const {
    const QRegularExpressionMatch m =
        QRegularExpression("X=(\\d+)\\nY=(\\d+)").match(xdotool({"getmouselocation", "--shell"}));
    return m.hasMatch() ? QPoint(m.captured(1).toInt(), m.captured(2).toInt()) : QPoint();
}

bool X11Session::waitForCursorNear(QPoint at, int timeoutMs) const {
    return waitUntil(timeoutMs, [&] { return (cursor() - at).manhattanLength() < 12; });
}

QImage X11Session::screen() const {
    QTemporaryDir dir;
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral("import"), {"-window", "root", dir.filePath("s.png")});
    p.waitForFinished(10000);
    return QImage(dir.filePath("s.png"));
}

void X11Suite::initTestCase() {
    x_ = std::make_unique<X11Session>();
    QVERIFY2(x_->isRunning(), "Xvfb and xdotool are needed (scripts/install-deps.sh)");
}

bool similar(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) < tolerance && std::abs(a.green() - b.green()) < tolerance &&
           std::abs(a.blue() - b.blue()) < tolerance;
}

QPoint X11Session::centreOf(const QColor &color, int pixels) const {
    QPoint centre;
    waitUntil(10000, [&] {
        const QImage shot = screen();
        qint64 sx = 0, sy = 0, n = 0;
        for (int y = 0; y < shot.height(); y += 2) {
            for (int x = 0; x < shot.width(); x += 2) {
                if (similar(shot.pixelColor(x, y), color)) {
                    sx += x;
                    sy += y;
                    ++n;
                }
            }
        }
        centre = n * 4 >= pixels ? QPoint(int(sx / n), int(sy / n)) : QPoint();
        return !centre.isNull();
    });
    return centre;
}

ProgramCopy::ProgramCopy() : dir_(QDir::tempPath() + QStringLiteral("/tst_e2e-XXXXXX")) {
    QFile::copy(QStringLiteral(TABLAVOX_BIN_DIR "/tablavox"), dir_.filePath("tablavox"));
    QDir(dir_.path()).mkdir("pages");
    QDir(dir_.path()).mkdir("multimedia");
}

void ProgramCopy::settings(const QByteArray &bytes) const {
    writeBytes(file("Tablavox2.cfg"), bytes);
}

void ProgramCopy::page(const QString &name, const QByteArray &bytes) const {
    writeBytes(file("pages/" + name), bytes);
}

void ProgramCopy::picture(const QString &name, QColor color, int size) const {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    image.save(file("multimedia/" + name));
}

bool ProgramCopy::launch(const X11Session &x, QProcess &process) const {
    QProcessEnvironment env = x.environment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache_.path());
    env.insert(extraEnvironment);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(dir_.filePath("tablavox"), {});
    return process.waitForStarted();
}

ProgramCopy::~ProgramCopy() {
    process.kill();
    process.waitForFinished();
}

QString ProgramCopy::start(const X11Session &x) {
    if (!launch(x))
        return {};
    const QString window =
        x.waitForWindow(QStringLiteral("^Tablavox -::- page_départ.dat$"), 60000);
    if (window.isEmpty())
        describeStuckStart(x);
    return window;
}

void ProgramCopy::describeStuckStart(const X11Session &x) const {
    // A start that never shows its window is only ever seen on a loaded CI machine: say what
    // was on the screen and where each of the program's threads stood.
    QStringList shown;
    for (const QString &id :
         x.xdotool({"search", "--onlyvisible", "--name", "."}).split(u'\n', Qt::SkipEmptyParts))
        shown << x.xdotool({"getwindowname", id});
    qWarning("program state %d, windows shown: %s", int(process.state()),
             qPrintable(shown.join(QStringLiteral(" | "))));
    if (process.state() != QProcess::Running || QStandardPaths::findExecutable("gdb").isEmpty())
        return;
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::ForwardedChannels);
    gdb.start(QStringLiteral("gdb"), {"-p", QString::number(process.processId()), "-batch", "-nx",
                                      "-ex", "thread apply all bt 30"});
    gdb.waitForFinished(120000);
}

} // namespace tv::test
