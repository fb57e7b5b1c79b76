#include "UsageLog.h"

#include "platform/PrivateFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcJournal, "tablavox.journal")

namespace tv {

UsageLog::UsageLog(QString dataDirectory, QObject *parent)
    : QObject(parent), dataDirectory_(std::move(dataDirectory)) {
}

UsageLog::~UsageLog() {
    close();
}

QString UsageLog::directoryOf(const QString &dataDirectory) {
    return dataDirectory + QStringLiteral("/journal");
}

QString UsageLog::fileOf(const QString &dataDirectory, const QDate &day) {
    return directoryOf(dataDirectory) + u'/' + day.toString(QStringLiteral("yyyy-MM")) +
           QStringLiteral(".lam");
}

void UsageLog::setEnabled(bool on) {
    enabled_ = on;
    if (!on)
        close();
}

void UsageLog::close() {
    if (fd_ >= 0) {
        ::fdatasync(fd_);
        ::close(fd_);
    }
    fd_ = -1;
    openPath_.clear();
    lastDay_ = {};
}

bool UsageLog::open(const QDate &day) {
    const QString path = fileOf(dataDirectory_, day);
    if (fd_ >= 0 && path == openPath_)
        return true;
    close();
    // O_NOFOLLOW: a link planted in the person's directory does not redirect the log.
    fd_ = openPrivateAppend(path);
    if (fd_ < 0)
        return false;
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && st.st_size == 0 && appendWhole(fd_, lamHeader()) != 0) {
        close();
        return false;
    }
    openPath_ = path;
    return true;
}

bool UsageLog::append(const UsageEvent &event) {
    if (!enabled_)
        return false;
    const QDate day = event.when.date();
    int error = 0;
    if (!open(day)) {
        error = errno ? errno : EIO;
    } else {
        error = appendWhole(fd_, lamLines(event, lastDay_));
        if (error == 0)
            lastDay_ = day;
    }
    // Written, it survives a kill -9: it is in the system's hands. It is not flushed to the
    // disk there and then: an append to a page being flushed waits for the flush, and the
    // press with it (milliseconds on a busy disk). The system flushes it within seconds,
    // and closing the log flushes it at once.
    if (error == 0)
        return true;
    close();
    enabled_ = false;
    const QString why =
        QStringLiteral("L'utilisation n'est plus notée : le journal ne peut pas être écrit.\r\n%1")
            .arg(reasonOf(error));
    qCWarning(lcJournal) << why;
    // After the press that came with it, which goes on as if nothing happened.
    QTimer::singleShot(0, this, [this, why] { emit stopped(why); });
    return false;
}

QString UsageLog::erase() {
    close();
    QDir dir(directoryOf(dataDirectory_));
    if (!dir.exists())
        return {};
    for (const QString &name : dir.entryList({QStringLiteral("*.lam")}, QDir::Files)) {
        if (!dir.remove(name))
            return QStringLiteral("« %1 » n'a pas pu être effacé.").arg(dir.filePath(name));
    }
    return {};
}

} // namespace tv
