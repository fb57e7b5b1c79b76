#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace tv {

// How common a phrase's words are in spoken French (occurrences in film subtitles): the
// rarest of its words decides ("de l'eau" is as common as "eau"); 0 for words not listed.
double phraseFrequency(const QString &phrase);

// Each picture's likelihood before anything is learned, from its phrase and how many pages
// of those in use it sits on: the more common its words and the more pages, the likelier.
QHash<QString, double> boardPriors(const QHash<QString, int> &pagesOfPhrase);

} // namespace tv
