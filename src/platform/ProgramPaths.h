#pragma once

#include <QString>

namespace tv {

// Everything the program reads and writes lies beside the program.
struct ProgramPaths {
    QString programDirectory;

    QString pagesDirectory() const { return programDirectory + QStringLiteral("/pages"); }
    QString multimediaDirectory() const { return programDirectory + QStringLiteral("/multimedia"); }
    QString configFile() const { return programDirectory + QStringLiteral("/Tablavox2.cfg"); }

    // The directory that holds the running executable.
    static ProgramPaths forRunningProgram();
};

} // namespace tv
