#include "ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tv {

QString ProgramPaths::sharedDirectory() {
    const QString program = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(program + QStringLiteral("/../share/tablavox"));
    return QFileInfo(installed).isDir() ? installed : program;
}

} // namespace tv
