#pragma once

#include <QColor>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace tv::test {

// A private X server (Xvfb) and real input through xdotool.
class X11Session {
public:
    X11Session();
    ~X11Session();
    bool isRunning() const { return server_ && server_->state() == QProcess::Running; }
    QString display() const { return display_; }
    QProcessEnvironment environment() const;

    // Runs xdotool; its standard output, trimmed.
    QString xdotool(const QStringList &args, bool *ok = nullptr) const;
    // Visible windows whose title matches the regular expression; waits up to timeoutMs.
    QString waitForWindow(const QString &titleRegex, int timeoutMs = 20000) const;
    bool waitForNoWindow(const QString &titleRegex, int timeoutMs = 20000) const;
    // Gives the window the keyboard, then types the keys as a person would.
    bool keysTo(const QString &window, const QStringList &keys) const;
    QStringList visibleWindows() const;
    // A visible window that is not among `before` (a menu, a dialog), once there is one.
    QString waitForNewWindow(const QStringList &before, int timeoutMs = 10000) const;
    // Opens a menu of the window's menu bar with a click at x (pixels from the window's left
    // edge) and types the entry's access key.
    bool menuEntry(const QString &window, int x, const QString &key) const;
    // Gives the window the keyboard, then types the text.
    bool typeTo(const QString &window, const QString &text) const;
    void screenshot(const QString &path) const;
    // The middle of the screen's pixels of about that colour (each channel within 30), once
    // there are enough of them to be a picture; a null point after 10 s.
    QPoint centreOf(const QColor &color) const;

private:
    std::unique_ptr<QProcess> server_;
    QString display_;
};

// A program directory of its own: a copy of the built program, with data directories;
// inside `parent` when given (a small disk of its own), else in the temporary directory.
class ProgramCopy {
public:
    explicit ProgramCopy(bool withDataDirectories = true, const QString &parent = {});
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }
    // Starts the program on the session's display.
    void start(const X11Session &x, QProcess &process) const;
    // Starts it and waits for its main window on the start page; that window, or empty.
    QString startOnItsStartPage(const X11Session &x, QProcess &process) const;

    // Where the program keeps its cache (its decoded pictures): never the user's own.
    QString cacheDirectory() const { return cache_.path(); }

private:
    QTemporaryDir dir_;
    QTemporaryDir cache_;
};

} // namespace tv::test
