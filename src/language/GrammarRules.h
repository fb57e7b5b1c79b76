#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

namespace tv {

enum class Tense { Present, Past, Future };

// A word that sets the tense of the verbs after it ("hier"), said or not ("passé").
struct TenseMarker {
    QString words;
    Tense tense = Tense::Present;
    bool said = true;
};

// What a linguist may change without touching the program: the words that mark a tense, the
// verbs conjugated with "être" in the past, the verbs after which an adjective agrees with
// the subject, and verbs the conjugator lacks with the verb they are conjugated like.
class GrammarRules {
public:
    // marqueurs.tsv: the words, the tense ("passé", "futur"), "dit" or "muet".
    // verbes.tsv: an infinitive, then "auxiliaire être", "attribut" or "comme" and a model.
    // "#" begins a comment; a line that cannot be read is left out.
    static GrammarRules fromText(const QString &markers, const QString &verbs);
    // The rules that come with the program.
    static const GrammarRules &builtIn();

    // The marker a phrase is, or begins with ("hier soir"), compared in lower case.
    std::optional<TenseMarker> marker(const QString &phrase) const;
    bool takesEtre(const QString &infinitive) const { return etre_.contains(infinitive); }
    bool isCopula(const QString &infinitive) const { return copulas_.contains(infinitive); }

    QHash<QString, QString> models; // infinitive → the verb it is conjugated like

private:
    QList<TenseMarker> markers_;
    QSet<QString> etre_;
    QSet<QString> copulas_;
};

} // namespace tv
