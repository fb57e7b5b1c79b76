#include "BoardPriors.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace tv {

namespace {

// The word list, read once: "mot nombre" lines, most common first.
const QHash<QString, double> &frequencies() {
    static const QHash<QString, double> table = [] {
        QHash<QString, double> t;
        QFile file(QStringLiteral(":/prediction/frequences.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return t;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (const QString &raw : lines) {
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const qsizetype space = line.lastIndexOf(u' ');
            bool ok = false;
            const double n = line.mid(space + 1).toDouble(&ok);
            if (space > 0 && ok)
                t.insert(line.left(space), n);
        }
        return t;
    }();
    return table;
}

} // namespace

double phraseFrequency(const QString &phrase) {
    static const QRegularExpression words(QStringLiteral("[\\w-]+'?"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    const QString text = phrase.toCaseFolded();
    double rarest = -1;
    for (auto it = words.globalMatch(text); it.hasNext();) {
        const double n = frequencies().value(it.next().captured(), 0);
        rarest = rarest < 0 ? n : std::min(rarest, n);
    }
    return std::max(0.0, rarest);
}

QHash<QString, double> boardPriors(const QHash<QString, int> &pagesOfPhrase) {
    QHash<QString, double> priors;
    for (auto it = pagesOfPhrase.begin(); it != pagesOfPhrase.end(); ++it)
        priors.insert(it.key(), std::log10(10.0 + phraseFrequency(it.key())) *
                                    (1.0 + 0.25 * double(std::max(0, it.value() - 1))));
    return priors;
}

} // namespace tv
