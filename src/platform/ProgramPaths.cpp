#include "ProgramPaths.h"

#include <QCoreApplication>

namespace tv {

ProgramPaths ProgramPaths::forRunningProgram() {
    return ProgramPaths{QCoreApplication::applicationDirPath()};
}

} // namespace tv
