#include "CommandLine.h"

#include <QCommandLineParser>

namespace tv {

namespace {

const QString kHelp = QStringLiteral(
    "Utilisation : tablavox [--dossier RÉPERTOIRE]\n"
    "              tablavox [--dossier RÉPERTOIRE] --pdf FICHIER.pdf [--sommaire] [--cadres]\n"
    "                       [PAGE…]\n"
    "Tablavox, aide à la communication par images : une page d'images à la fois, chaque\n"
    "image dit sa phrase, joue un son ou une vidéo, ou ouvre une autre page.\n"
    "\n"
    "Options :\n"
    "  --dossier RÉPERTOIRE  travaille dans RÉPERTOIRE (les pages, le multimédia et les\n"
    "                        réglages d'une personne) ; un répertoire nouveau ou vide\n"
    "                        reçoit les pages de démonstration et les réglages par défaut\n"
    "  --pdf FICHIER.pdf     imprime les pages dans FICHIER.pdf, une page par feuille, et\n"
    "                        s'arrête : les PAGE nommées, ou la page de départ et toutes\n"
    "                        celles où mènent ses liens\n"
    "  --sommaire            avec --pdf : une première feuille liste les pages\n"
    "  --cadres              avec --pdf : des cadres à découper autour des images\n"
    "  -h, --help            affiche cette aide\n"
    "  --version             affiche la version\n"
    "\n"
    "Sans --dossier, le programme travaille à côté de lui-même si s'y trouvent le\n"
    "répertoire pages ou le fichier Tablavox2.cfg (copie portable), sinon dans\n"
    "$XDG_DATA_HOME/tablavox (par défaut ~/.local/share/tablavox).\n");

const QString kNoDirectory = QStringLiteral("l'option « --dossier » demande un répertoire");

CommandLine lineOf(CommandLine::Action action, const QString &directory, const QString &text) {
    CommandLine line;
    line.action = action;
    line.directory = directory;
    line.text = text;
    return line;
}

CommandLine refuse(const QString &why) {
    return lineOf(CommandLine::Action::Refuse, {},
                  QStringLiteral("tablavox : %1\nEssayez « tablavox --help ».\n").arg(why));
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption directory(QStringLiteral("dossier"), QString(),
                                       QStringLiteral("RÉPERTOIRE"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QString(), QStringLiteral("FICHIER"));
    const QCommandLineOption index(QStringLiteral("sommaire"));
    const QCommandLineOption cutLines(QStringLiteral("cadres"));
    parser.addOptions({directory, help, version, pdf, index, cutLines});
    // The parser expects the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("tablavox")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return refuse(
                QStringLiteral("option inconnue « %1%2 »")
                    .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                         unknown.first()));
        return refuse(arguments.endsWith(QStringLiteral("--pdf"))
                          ? QStringLiteral("l'option « --pdf » demande un fichier")
                          : kNoDirectory);
    }
    if (parser.isSet(pdf) && !parser.isSet(help) && !parser.isSet(version)) {
        if (parser.value(pdf).isEmpty() ||
            (parser.isSet(directory) && parser.value(directory).isEmpty()))
            return refuse(parser.value(pdf).isEmpty()
                              ? QStringLiteral("l'option « --pdf » demande un fichier")
                              : kNoDirectory);
        CommandLine line = lineOf(CommandLine::Action::Pdf, parser.value(directory), {});
        line.pdfFile = parser.value(pdf);
        line.pages = parser.positionalArguments();
        line.index = parser.isSet(index);
        line.cutLines = parser.isSet(cutLines);
        return line;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(
            QStringLiteral("argument inattendu « %1 »").arg(parser.positionalArguments().first()));
    if (parser.isSet(help))
        return lineOf(CommandLine::Action::Help, {}, kHelp);
    if (parser.isSet(version))
        return lineOf(CommandLine::Action::Version, {},
                      QStringLiteral("Tablavox %1\n").arg(QStringLiteral(TABLAVOX_VERSION)));
    const QString chosen = parser.value(directory);
    if (parser.isSet(directory) && chosen.isEmpty())
        return refuse(kNoDirectory);
    return lineOf(CommandLine::Action::Run, chosen, {});
}

} // namespace tv
