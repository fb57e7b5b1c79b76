#include "GrammarRules.h"

#include <QFile>
#include <QStringList>

namespace tv {

namespace {

// The lines of a rules file that say something, split at their tabs and trimmed.
QList<QStringList> rows(const QString &text) {
    QList<QStringList> result;
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        QStringList fields;
        for (const QString &field : trimmed.split(u'\t', Qt::SkipEmptyParts))
            fields << field.trimmed().toLower();
        result << fields;
    }
    return result;
}

QString resourceText(const QString &name) {
    QFile file(QStringLiteral(":/langue/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

GrammarRules GrammarRules::fromText(const QString &markers, const QString &verbs) {
    GrammarRules rules;
    for (const QStringList &f : rows(markers)) {
        if (f.size() < 3 || (f[2] != QLatin1String("dit") && f[2] != QLatin1String("muet")))
            continue;
        TenseMarker marker{f[0].simplified(), Tense::Present, f[2] == QLatin1String("dit")};
        if (f[1] == QStringLiteral("passé"))
            marker.tense = Tense::Past;
        else if (f[1] == QLatin1String("futur"))
            marker.tense = Tense::Future;
        else
            continue;
        marker.words.replace(u'’', u'\'');
        rules.markers_ << marker;
    }
    for (const QStringList &f : rows(verbs)) {
        if (f.size() == 2 && f[1] == QStringLiteral("auxiliaire être"))
            rules.etre_.insert(f[0]);
        else if (f.size() == 2 && f[1] == QLatin1String("attribut"))
            rules.copulas_.insert(f[0]);
        else if (f.size() == 3 && f[1] == QLatin1String("comme"))
            rules.models.insert(f[0], f[2]);
    }
    // The longest first: "la semaine dernière" before a shorter marker it begins with.
    std::stable_sort(
        rules.markers_.begin(), rules.markers_.end(),
        [](const TenseMarker &a, const TenseMarker &b) { return a.words.size() > b.words.size(); });
    return rules;
}

const GrammarRules &GrammarRules::builtIn() {
    static const GrammarRules rules = fromText(resourceText(QStringLiteral("marqueurs.tsv")),
                                               resourceText(QStringLiteral("verbes.tsv")));
    return rules;
}

std::optional<TenseMarker> GrammarRules::marker(const QString &phrase) const {
    QString text = phrase.toLower().simplified();
    text.replace(u'’', u'\'');
    while (!text.isEmpty() && QStringLiteral(".!?,;:… ").contains(text.back()))
        text.chop(1);
    for (const TenseMarker &m : markers_) {
        // A marker that is not said is a picture of its own, never the start of a phrase.
        if (text == m.words ||
            (m.said && (text.startsWith(m.words + u' ') || text.startsWith(m.words + u','))))
            return m;
    }
    return std::nullopt;
}

} // namespace tv
