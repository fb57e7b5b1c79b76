#include "DataPlace.h"

#include "model/Settings.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace tv {

namespace {

// A first fill copies here, inside the directory, then moves the whole into place: a copy
// cut short (full disk, crash) never looks like a ready directory.
const QString kStage = QStringLiteral(".premier-lancement");

QString makeDirectory(const QString &path) {
    errno = 0;
    if (QDir().mkpath(path))
        return {};
    return reasonOf(errno ? errno : EACCES);
}

QString copyTree(const QString &from, const QString &to) {
    if (QString error = makeDirectory(to); !error.isEmpty())
        return error;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir()) {
            if (QString error = makeDirectory(target); !error.isEmpty())
                return error;
            continue;
        }
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("''%1'' ne peut pas être lu").arg(source);
        if (const int error = writeNewFile(target, file.readAll()))
            return reasonOf(error);
    }
    return {};
}

} // namespace

QString chooseDataDirectory(const QString &chosen, const QString &programDirectory,
                            const QString &dataHome) {
    if (!chosen.isEmpty())
        return QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    if (QFileInfo(programDirectory + QStringLiteral("/pages")).isDir() ||
        QFileInfo::exists(programDirectory + QStringLiteral("/Tablavox2.cfg")))
        return programDirectory;
    return QDir::cleanPath(dataHome + QStringLiteral("/tablavox"));
}

bool needsFirstFill(const QString &directory) {
    const QFileInfo info(directory);
    if (!info.exists())
        return true;
    const QStringList entries =
        QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    // A fill cut short leaves its stage, and maybe the parts it had already moved into place.
    const QStringList leftovers = {kStage, QStringLiteral("multimedia"), QStringLiteral("pages")};
    return info.isDir() && (entries.isEmpty() ||
                            (entries.contains(kStage) &&
                             std::all_of(entries.begin(), entries.end(), [&](const QString &entry) {
                                 return leftovers.contains(entry);
                             })));
}

QString fillDataDirectory(const QString &directory, const QString &demoDirectory) {
    if (!QFileInfo::exists(demoDirectory + QStringLiteral("/pages/page_départ.dat")))
        return QStringLiteral("les pages de démonstration manquent dans ''%1''").arg(demoDirectory);
    const QStringList parts = {QStringLiteral("multimedia"), QStringLiteral("pages")};
    const QString stage = directory + u'/' + kStage;
    const auto clear = [&] {
        for (const QString &part : parts)
            QDir(directory + u'/' + part).removeRecursively();
        QDir(stage).removeRecursively();
    };
    clear();
    QString error = makeDirectory(stage);
    for (const QString &part : parts) {
        if (error.isEmpty())
            error = copyTree(demoDirectory + u'/' + part, stage + u'/' + part);
    }
    // The stage goes only once both parts are in place: a start after a crash in between
    // finds a fill to finish. The settings file, last, makes the directory an ordinary one.
    for (const QString &part : parts) {
        if (error.isEmpty() && !QDir().rename(stage + u'/' + part, directory + u'/' + part))
            error = QStringLiteral("''%1'' ne peut pas être mis en place").arg(part);
    }
    if (error.isEmpty()) {
        QDir(stage).removeRecursively();
        const TextWriteResult written = writeTextLines(directory + QStringLiteral("/Tablavox2.cfg"),
                                                       defaultSettingsLines(), directory);
        if (!written.ok)
            error = written.error;
    }
    if (!error.isEmpty())
        clear();
    return error;
}

} // namespace tv
