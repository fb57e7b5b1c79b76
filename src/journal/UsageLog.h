#pragma once

#include "LamLog.h"

#include <QDate>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcJournal)

namespace tv {

// The usage log, when the person and the family have turned it on: each event appended to
// journal/AAAA-MM.lam in the person's data directory, whole, before the next one (a kill -9
// loses at most the event being written). The file is the person's alone (0600, its
// directory 0700) and never leaves the machine. A write that fails (a full disk) stops the
// log with one message, after the press it came with: a press is never held up by it.
class UsageLog : public QObject {
    Q_OBJECT
public:
    explicit UsageLog(QString dataDirectory, QObject *parent = nullptr);
    ~UsageLog() override;

    // Turned on or off by the settings; turning it on after a failure tries again.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }

    // Appends one event; false when it could not be kept (the log then stops).
    bool append(const UsageEvent &event);

    static QString directoryOf(const QString &dataDirectory);
    // The month's file an event goes to: journal/2026-12.lam.
    static QString fileOf(const QString &dataDirectory, const QDate &day);
    // Removes every log of the person; why it could not, or empty.
    QString erase();

    // What the clock says now; replaced in tests.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

signals:
    // The log stopped by itself: why, in words for the carer.
    void stopped(const QString &why);

private:
    bool open(const QDate &day);
    void close();

    QString dataDirectory_;
    bool enabled_ = false;
    int fd_ = -1;
    QString openPath_;
    QDate lastDay_; // the day of the last date line this run wrote in the open file
};

} // namespace tv
