#include "PrivateFile.h"

#include "Cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv {

int openPrivateAppend(const QString &path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    // Made by another copy or by hand with wider rights: the person's alone again.
    ::chmod(dir.constData(), 0700);
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0)
        ::fchmod(fd, 0600);
    return fd;
}

int appendWhole(int fd, const QByteArray &bytes) {
    const off_t before = lseek(fd, 0, SEEK_END);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            if (before >= 0)
                (void)!ftruncate(fd, before);
            return error;
        }
        done += n;
    }
    return 0;
}

QByteArray encodedForRecord(const QString &text) {
    if (auto bytes = encodeCp1252(text))
        return *bytes;
    QString plain;
    for (const QChar c : text)
        plain += encodeCp1252(QString(c)) ? c : u'?';
    return encodeCp1252(plain).value_or(QByteArray());
}

} // namespace tv
