#pragma once

#include <QString>

namespace tv {

// Everything the program reads and writes lies in one data directory.
struct ProgramPaths {
    QString dataDirectory;
    // Where a new data directory takes its first pages and pictures from.
    QString demoDirectory;

    QString pagesDirectory() const { return dataDirectory + QStringLiteral("/pages"); }
    QString multimediaDirectory() const { return dataDirectory + QStringLiteral("/multimedia"); }
    QString configFile() const { return dataDirectory + QStringLiteral("/Tablavox2.cfg"); }

    // What comes with the program (the demo's pages/ and multimedia/, symbols/): installed,
    // share/tablavox beside its bin/; otherwise, as in the build directory, beside it.
    static QString sharedDirectory();
};

} // namespace tv
