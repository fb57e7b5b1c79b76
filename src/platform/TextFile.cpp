#include "TextFile.h"

#include "Cp1252.h"

#include "Dialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv {

QStringList splitLines(const QString &text) {
    QStringList lines;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

TextReadResult readTextLines(const QString &path, qint64 maxBytes) {
    TextReadResult result;
    const QString name = shortenedForMessage(QFileInfo(path).fileName());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Impossible de lire le fichier ''%1'' : %2")
                           .arg(name, file.errorString());
        return result;
    }
    // Never more than allowed, whatever the file claims to be (a device, a pipe, a giant).
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Impossible de lire le fichier ''%1'' : %2")
                           .arg(name, file.errorString());
        return result;
    }
    if (bytes.size() > maxBytes) {
        result.error = QStringLiteral("Le fichier ''%1'' est trop grand (plus de %2 Mo) : ce "
                                      "n'est pas un fichier du programme.")
                           .arg(name)
                           .arg(maxBytes / (1024 * 1024));
        return result;
    }
    result.lines = splitLines(decodeCp1252(bytes));
    result.ok = true;
    return result;
}

std::optional<QString> realTargetInside(const QString &path, const QString &root) {
    const QFileInfo info(path);
    // The file as it really is (a link followed to its end), or, for a new file, its real
    // directory.
    QString real = info.exists() ? info.canonicalFilePath() : QString();
    if (real.isEmpty()) {
        const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (dir.isEmpty())
            return std::nullopt;
        real = dir + u'/' + info.fileName();
    }
    const QString base = QFileInfo(root).canonicalFilePath();
    if (base.isEmpty() || !real.startsWith(base + u'/'))
        return std::nullopt;
    return real;
}

QString reasonOf(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("le disque est plein");
    case EROFS:
        return QStringLiteral("le disque est en lecture seule");
    case EACCES:
    case EPERM:
        return QStringLiteral("l'écriture n'est pas permise dans ce répertoire");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("le répertoire n'existe pas");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString writeWholeFile(const QString &path, const QByteArray &bytes) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray pattern = target + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return reasonOf(errno);
    struct stat old {};
    mode_t mode = 0;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    QString why;
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (why.isEmpty() && left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            why = reasonOf(n < 0 ? errno : ENOSPC);
        else {
            p += n;
            left -= n;
        }
    }
    if (why.isEmpty() && ::fchmod(fd, mode) != 0)
        why = reasonOf(errno);
    if (why.isEmpty() && ::fsync(fd) != 0)
        why = reasonOf(errno);
    if (::close(fd) != 0 && why.isEmpty())
        why = reasonOf(errno);
    if (why.isEmpty() && ::rename(pattern.constData(), target.constData()) != 0)
        why = reasonOf(errno);
    if (!why.isEmpty())
        ::unlink(pattern.constData());
    return why;
}

TextWriteResult writeTextLines(const QString &path, const QStringList &lines,
                               const QString &mustStayIn) {
    TextWriteResult result;
    const QString name = shortenedForMessage(QFileInfo(path).fileName());
    QString target = path;
    if (!mustStayIn.isEmpty()) {
        // A directory removed meanwhile is said as such: nothing leads elsewhere.
        const QFileInfo parent(QFileInfo(path).absolutePath());
        const bool rootGone = !QFileInfo(mustStayIn).isDir();
        if (rootGone || (!parent.exists() && !parent.isSymLink())) {
            result.error =
                QStringLiteral("Le fichier ''%1'' n'a pas pu être enregistré : ").arg(name) +
                (rootGone ? QStringLiteral("le répertoire ''%1'' n'existe pas.")
                                .arg(QFileInfo(mustStayIn).fileName())
                          : reasonOf(ENOENT) + u'.');
            return result;
        }
        const auto real = realTargetInside(path, mustStayIn);
        if (!real) {
            result.error = QStringLiteral("Le fichier ''%1'' n'a pas été enregistré : il mène "
                                          "hors du répertoire ''%2''.")
                               .arg(name, QFileInfo(mustStayIn).fileName());
            return result;
        }
        // A link inside the directory keeps being a link: its target is rewritten.
        target = *real;
    }
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    QString bad;
    const auto bytes = encodeCp1252(text, &bad);
    if (!bytes) {
        result.error = QStringLiteral("Le fichier ''%1'' n'a pas été enregistré : ces caractères "
                                      "ne peuvent pas y être écrits : %2")
                           .arg(name, shortenedForMessage(bad));
        return result;
    }
    const QString why = writeWholeFile(target, *bytes);
    if (!why.isEmpty()) {
        result.error =
            QStringLiteral("Le fichier ''%1'' n'a pas pu être enregistré : %2").arg(name, why);
        return result;
    }
    result.ok = true;
    return result;
}

int writeNewFile(const QString &path, const QByteArray &bytes) {
    // Written whole under a hidden name beside it first, then given its name by a hard
    // link, which never replaces a file (nor a link) already there: a full disk or a killed
    // program never leaves a file cut short under the name.
    const QFileInfo info(path);
    const QByteArray name = QFile::encodeName(path);
    QByteArray temporary =
        QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    qsizetype done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0)
            error = ENOSPC;
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && ::fchmod(fd, 0644) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::link(temporary.constData(), name.constData()) != 0) {
        error = errno;
        // A file system without hard links (a FAT memory stick): the name is checked, then
        // taken by a rename.
        if (error == EPERM || error == EOPNOTSUPP || error == ENOSYS) {
            struct stat there {};
            error = ::lstat(name.constData(), &there) == 0 ? EEXIST : 0;
            if (error == 0 && ::rename(temporary.constData(), name.constData()) != 0)
                error = errno;
        }
    }
    ::unlink(temporary.constData());
    return error;
}

bool isLeftoverOfASave(const QString &fileName) {
    static const QRegularExpression own(
        QStringLiteral(R"(^(page_.*\.dat|Tablavox2\.cfg)\.[A-Za-z0-9]{6}$)"),
        QRegularExpression::CaseInsensitiveOption);
    return own.match(fileName).hasMatch();
}

int removeLeftoversOfSaves(const QString &directory, bool below) {
    int removed = 0;
    QDirIterator it(directory, QDir::Files | QDir::Hidden | QDir::System,
                    below ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // Never through a link: only what lies in the directory itself.
        if (info.isSymLink() || !isLeftoverOfASave(info.fileName()))
            continue;
        if (QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace tv
