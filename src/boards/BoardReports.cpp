#include "BoardExport.h"
#include "BoardImport.h"

#include <QStringList>

namespace tv {

namespace {

QString count(int n, const QString &one, const QString &many) {
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

} // namespace

QString ImportReport::message(const QString &fileName) const {
    QStringList lines;
    QStringList shown = pages.mid(0, 5);
    if (pages.size() > 5)
        shown << QStringLiteral("…");
    lines << QStringLiteral("« %1 » : %2 (%3), %4.")
                 .arg(fileName,
                      count(int(pages.size()), QStringLiteral("page importée"),
                            QStringLiteral("pages importées")),
                      shown.join(QLatin1String(", ")),
                      count(pictures, QStringLiteral("image"), QStringLiteral("images")));
    lines << QStringLiteral("Leurs images et leurs sons sont dans ''multimedia\\%1''.")
                 .arg(mediaDirectory);
    if (continuationPages > 0)
        lines << count(continuationPages, QStringLiteral("page de suite ajoutée"),
                       QStringLiteral("pages de suite ajoutées")) +
                     QStringLiteral(" pour les tableaux de plus de 50 boutons (images « suite » et "
                                    "« retour »).");
    if (textCards > 0)
        lines << count(textCards, QStringLiteral("bouton sans image a reçu"),
                       QStringLiteral("boutons sans image ont reçu")) +
                     QStringLiteral(" une carte avec son texte.");
    QStringList left;
    if (webOnlyImages > 0)
        left << count(webOnlyImages, QStringLiteral("image donnée seulement par une adresse web"),
                      QStringLiteral("images données seulement par une adresse web")) +
                    QStringLiteral(" (non chargées) : une carte avec le texte les remplace");
    if (unreadableImages > 0)
        left << count(unreadableImages, QStringLiteral("image illisible ou trop grande"),
                      QStringLiteral("images illisibles ou trop grandes")) +
                    QStringLiteral(" : une carte avec le texte les remplace");
    if (leftOutButtons > 0)
        left << count(leftOutButtons, QStringLiteral("bouton caché, vide ou commande"),
                      QStringLiteral("boutons cachés, vides ou commandes")) +
                    QStringLiteral(" du programme d'origine");
    if (soundsLeftOut > 0)
        left << count(soundsLeftOut, QStringLiteral("son"), QStringLiteral("sons")) +
                    QStringLiteral(" absents ou d'un format que le programme ne joue pas (le "
                                   "texte est dit à la place)");
    if (missingLinks > 0)
        left << count(missingLinks, QStringLiteral("lien"), QStringLiteral("liens")) +
                    QStringLiteral(" vers des tableaux absents du paquet (le texte est dit à la "
                                   "place)");
    if (replacedCharacters > 0)
        left << count(replacedCharacters, QStringLiteral("signe remplacé"),
                      QStringLiteral("signes remplacés")) +
                    QStringLiteral(" (virgules et points par « ; », caractères que les pages ne "
                                   "peuvent pas garder)");
    if (!left.isEmpty()) {
        lines << QStringLiteral("Laissé de côté :");
        for (const QString &l : left)
            lines << QStringLiteral("- ") + l;
    }
    return lines.join(QLatin1String("\r\n"));
}

QString ExportReport::message(const QString &fileName) const {
    QString text =
        QStringLiteral("« %1 » : %2 %3, %4 %5.")
            .arg(fileName)
            .arg(boards)
            .arg(boards == 1 ? QStringLiteral("page exportée") : QStringLiteral("pages exportées"))
            .arg(pictures)
            .arg(pictures == 1 ? QStringLiteral("image") : QStringLiteral("images"));
    if (missingFiles > 0)
        text += QStringLiteral("\r\n%1 fichier(s) introuvable(s) ou hors du répertoire "
                               "''multimedia'' : les boutons n'en ont pas.")
                    .arg(missingFiles);
    if (missingPages > 0)
        text += QStringLiteral("\r\n%1 page(s) liée(s) illisible(s) ou introuvable(s) : laissée(s) "
                               "de côté.")
                    .arg(missingPages);
    return text;
}

} // namespace tv
