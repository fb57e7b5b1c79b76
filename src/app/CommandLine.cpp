#include "CommandLine.h"

#include <QCommandLineParser>

namespace tv {

namespace {

const QString kHelp = QStringLiteral(
    "Utilisation : tablavox [--dossier RÉPERTOIRE]\n"
    "              tablavox [--dossier RÉPERTOIRE] --pdf FICHIER.pdf [--sommaire] [--cadres]\n"
    "                       [PAGE…]\n"
    "              tablavox [--dossier RÉPERTOIRE] --rapport FICHIER.pdf|FICHIER.csv\n"
    "                       [--depuis AAAA-MM-JJ] [--jusqu-au AAAA-MM-JJ]\n"
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
    "  --rapport FICHIER     écrit le rapport d'utilisation (si « Noter l'utilisation »\n"
    "                        est coché) : un PDF, ou pour un tableur un fichier .csv\n"
    "                        d'une ligne par événement, et s'arrête\n"
    "  --depuis AAAA-MM-JJ   avec --rapport : à partir de ce jour\n"
    "  --jusqu-au AAAA-MM-JJ avec --rapport : jusqu'à ce jour compris\n"
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
    const QCommandLineOption report(QStringLiteral("rapport"), QString(),
                                    QStringLiteral("FICHIER"));
    const QCommandLineOption from(QStringLiteral("depuis"), QString(), QStringLiteral("JOUR"));
    const QCommandLineOption to(QStringLiteral("jusqu-au"), QString(), QStringLiteral("JOUR"));
    parser.addOptions({directory, help, version, pdf, index, cutLines, report, from, to});
    // The parser expects the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("tablavox")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return refuse(
                QStringLiteral("option inconnue « %1%2 »")
                    .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                         unknown.first()));
        for (const QString &option : {QStringLiteral("pdf"), QStringLiteral("rapport")}) {
            if (arguments.endsWith(QStringLiteral("--") + option))
                return refuse(QStringLiteral("l'option « --%1 » demande un fichier").arg(option));
        }
        for (const QString &option : {QStringLiteral("depuis"), QStringLiteral("jusqu-au")}) {
            if (arguments.endsWith(QStringLiteral("--") + option))
                return refuse(QStringLiteral("l'option « --%1 » demande un jour").arg(option));
        }
        return refuse(kNoDirectory);
    }
    if (parser.isSet(report) && !parser.isSet(help) && !parser.isSet(version)) {
        if (parser.value(report).isEmpty())
            return refuse(QStringLiteral("l'option « --rapport » demande un fichier"));
        if (parser.isSet(directory) && parser.value(directory).isEmpty())
            return refuse(kNoDirectory);
        if (!parser.positionalArguments().isEmpty())
            return refuse(QStringLiteral("argument inattendu « %1 »")
                              .arg(parser.positionalArguments().first()));
        CommandLine line = lineOf(CommandLine::Action::Report, parser.value(directory), {});
        line.reportFile = parser.value(report);
        for (const auto &[option, day] : {std::pair{&from, &line.from}, std::pair{&to, &line.to}}) {
            if (!parser.isSet(*option))
                continue;
            *day = QDate::fromString(parser.value(*option), Qt::ISODate);
            if (!day->isValid())
                return refuse(QStringLiteral("« %1 » n'est pas un jour AAAA-MM-JJ")
                                  .arg(parser.value(*option)));
        }
        if (line.from.isValid() && line.to.isValid() && line.to < line.from)
            return refuse(QStringLiteral("la période finit avant de commencer"));
        return line;
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
