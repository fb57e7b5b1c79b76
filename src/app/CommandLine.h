#pragma once

#include <QString>
#include <QStringList>

namespace tv {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    QString directory; // --dossier, as given; empty when none
    QString text;      // what to print: the help, the version, or why the line is refused
    int exitCode() const { return action == Action::Refuse ? 2 : 0; }
};

// The program's arguments, without the program's own name.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace tv
