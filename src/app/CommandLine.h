#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace tv {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse, Pdf, Report };
    Action action = Action::Run;
    QString directory; // --dossier, as given; empty when none
    QString text;      // what to print: the help, the version, or why the line is refused
    // --pdf FICHIER [PAGE…]: the boards to print (none: the whole set), with --sommaire
    // (an index first) and --cadres (cut lines).
    QString pdfFile;
    QStringList pages;
    bool index = false;
    bool cutLines = false;
    // --rapport FICHIER [--depuis AAAA-MM-JJ] [--jusqu-au AAAA-MM-JJ]: the usage report.
    QString reportFile;
    QDate from, to;
    int exitCode() const { return action == Action::Refuse ? 2 : 0; }
};

// The program's arguments, without the program's own name.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace tv
