#include "QtServices.h"

#include <QCryptographicHash>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace tv {

void QtCursorPlacer::moveTo(const QPoint &globalPos) {
    QCursor::setPos(globalPos);
}

void ThreadWaiter::waitMs(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

LockFileInstanceGuard::LockFileInstanceGuard(const QString &dataDirectory) {
    const QString canonical = QFileInfo(dataDirectory).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(
        (canonical.isEmpty() ? dataDirectory : canonical).toUtf8(), QCryptographicHash::Sha1);
    path_ = QDir::tempPath() + QStringLiteral("/tablavox-") +
            QString::fromLatin1(key.toHex().left(16)) + QStringLiteral(".lock");
}

bool LockFileInstanceGuard::acquire() {
    lock_ = std::make_unique<QLockFile>(path_);
    // Only a live owner counts: age alone never makes a lock stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return true;
    // A lock we cannot even create (no temporary directory) must not keep the person
    // from their aid: only a live copy refuses the start.
    return lock_->error() != QLockFile::LockFailedError;
}

} // namespace tv
