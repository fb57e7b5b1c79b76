#include "UsageLog.h"

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

namespace {

// Writes all of `bytes` at the end of the file, or puts the file back as it was: a line cut
// by a full disk would be a damaged event.
int appendWhole(int fd, const QByteArray &bytes) {
    const off_t before = lseek(fd, 0, SEEK_END);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            if (before >= 0 && ftruncate(fd, before) != 0)
                qCWarning(lcJournal) << "a cut event stays in the log";
            return error;
        }
        done += n;
    }
    return 0;
}

} // namespace

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
    const QString dir = directoryOf(dataDirectory_);
    const QByteArray dirName = QFile::encodeName(dir);
    if (::mkdir(dirName.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    // Made by another copy or by hand with wider rights: the person's alone again.
    ::chmod(dirName.constData(), 0700);
    const QByteArray name = QFile::encodeName(path);
    // O_NOFOLLOW: a link planted in the person's directory does not redirect the log.
    fd_ = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        return false;
    ::fchmod(fd_, 0600);
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
