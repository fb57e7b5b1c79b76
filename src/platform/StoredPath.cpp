#include "StoredPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tv {

static QStringList storedParts(const QString &stored) {
    QString s = stored;
    s.replace(u'\\', u'/');
    return s.split(u'/', Qt::SkipEmptyParts);
}

bool isContainedStoredPath(const QString &stored) {
    if (stored.startsWith(u'\\') || stored.startsWith(u'/'))
        return false;
    if (stored.size() >= 2 && stored[1] == u':')
        return false;
    for (const QString &part : storedParts(stored)) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

std::optional<QString> resolveStoredPath(const QString &baseDir, const QString &stored) {
    if (!isContainedStoredPath(stored))
        return std::nullopt;
    QString current = QDir::cleanPath(baseDir);
    bool found = true;
    for (const QString &part : storedParts(stored)) {
        if (part == QLatin1String("."))
            continue;
        const QString exact = current + u'/' + part;
        if (!found || QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::System | QDir::NoDotAndDotDot);
        QString match;
        for (const QString &entry : entries) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                match = entry;
                break;
            }
        }
        if (match.isEmpty()) {
            found = false;
            current = exact;
        } else {
            current += u'/' + match;
        }
    }
    return current;
}

ChosenFile relativeToDataDirectory(const QString &baseDir, const QString &path) {
    ChosenFile chosen;
    const qsizetype slash = path.lastIndexOf(u'/');
    chosen.dir = slash < 0 ? QString() : path.left(slash + 1);
    const QString fileName = path.mid(slash + 1);
    QStringList bases{QDir::cleanPath(baseDir) + u'/'};
    // The program may have been started through a link: its real place counts as well.
    const QString canonical = QFileInfo(baseDir).canonicalFilePath();
    if (!canonical.isEmpty())
        bases << canonical + u'/';
    for (const QString &base : bases) {
        if (chosen.dir.startsWith(base, Qt::CaseSensitive)) {
            chosen.name = path.mid(base.size());
            chosen.name.replace(u'/', u'\\');
            chosen.inside = true;
            return chosen;
        }
    }
    chosen.name = fileName;
    return chosen;
}

} // namespace tv
