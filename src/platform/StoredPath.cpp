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

} // namespace tv
