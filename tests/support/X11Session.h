#pragma once

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace tv::test {

// A private X server (Xvfb, its keys repeating as on a desktop) and real input through xdotool.
class X11Session {
public:
    X11Session();
    ~X11Session();
    bool isRunning() const { return server_ && server_->state() == QProcess::Running; }
    QString display() const { return display_; }
    QProcessEnvironment environment() const;

    // Runs xdotool; its standard output, trimmed.
    QString xdotool(const QStringList &args, bool *ok = nullptr) const;
    // The last visible window whose title matches, other than `notThis`; waits up to timeoutMs.
    QString waitForWindow(const QString &titleRegex, int timeoutMs = 20000,
                          const QString &notThis = {}) const;
    bool waitForNoWindow(const QString &titleRegex, int timeoutMs = 20000) const;
    // Gives the window the keyboard, then types the keys, or the text, as a person would.
    bool keysTo(const QString &window, const QStringList &keys) const;
    bool typeTo(const QString &window, const QString &text) const;
    // A click at a point of the window (pixels from its top-left corner), or of the screen.
    bool clickIn(const QString &window, int x, int y, int button = 1) const;
    bool click(QPoint screen) const;
    // Opens a menu with a click (a menu bar's entry, a picture's right-click menu) and types
    // its keys once the menu is up.
    bool menu(const QString &window, int x, int y, int button, const QStringList &keys) const;
    QStringList visibleWindows() const;
    QPoint cursor() const;
    // True once the real cursor stands within a few pixels of `at`.
    bool waitForCursorNear(QPoint at, int timeoutMs = 20000) const;
    QImage screen() const;
    // The middle of the screen's pixels of about that colour (each channel within 30), once
    // there are at least `pixels` of them; a null point after 10 s.
    QPoint centreOf(const QColor &color, int pixels = 2000) const;

private:
    std::unique_ptr<QProcess> server_;
    QString display_;
    QProcess sessionBus_;
    QString busAddress_;
};

bool similar(QColor a, QColor b, int tolerance = 30);

// An end-to-end suite: one private X server for all its stories.
class X11Suite : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<X11Session> x_;
private slots:
    void initTestCase();
};

// A program directory of its own: a copy of the built program, with its data directories.
class ProgramCopy {
public:
    ProgramCopy();
    QString file(const QString &name) const { return dir_.filePath(name); }
    void settings(const QByteArray &bytes) const;
    void page(const QString &name, const QByteArray &bytes) const;
    // multimedia/<name>: a picture of one colour.
    void picture(const QString &name, QColor color, int size = 100) const;
    // The program runs until it quits, or until this copy goes.
    bool launch(const X11Session &x, QProcess &process) const;
    bool launch(const X11Session &x) { return launch(x, process); }
    // Launches it and waits for its main window on the start page; that window, or empty.
    QString start(const X11Session &x);
    ~ProgramCopy();

    QProcess process;
    // Set for the program on top of the session's own (an audio server elsewhere, say).
    QProcessEnvironment extraEnvironment;

private:
    void describeStuckStart(const X11Session &x) const;

    QTemporaryDir dir_;
    QTemporaryDir cache_; // where the program keeps its decoded pictures: never the user's own
};

} // namespace tv::test
