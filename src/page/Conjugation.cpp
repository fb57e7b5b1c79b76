#include "Conjugation.h"

#include <QFile>
#include <optional>

namespace tv {

namespace {

// A phrase as it is said: the stored line breaks are spaces in the middle of a message.
QString spokenPart(QString phrase) {
    return phrase.replace(u'\\', u' ').simplified();
}

// What a phrase is compared with: lower case, typographic apostrophes made plain, the
// punctuation a carer may end a word with left out ("Je.", "boire !").
QString bare(const QString &text) {
    QString s = text.toLower();
    s.replace(u'’', u'\'');
    while (!s.isEmpty() && QStringLiteral(".!?,;:… ").contains(s.back()))
        s.chop(1);
    return s;
}

bool isNegation(const QString &form) {
    return bare(form) == QStringLiteral("pas");
}

QString capitalized(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

// A phrase that begins with a verb of the table: the verb, whether it is said with its
// pronoun ("se laver"), and the words that follow it.
struct VerbPhrase {
    const VerbForms *verb = nullptr;
    bool reflexive = false;
    QString rest; // with its leading space, as written
};

std::optional<VerbPhrase> verbPhrase(const QString &text, const ConjugationTable &table) {
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    const auto restAfter = [&](int used, const QString &word) {
        // Punctuation that ended the infinitive stays where it was.
        QString rest = word.mid(bare(word).size());
        for (int i = used; i < words.size(); ++i)
            rest += u' ' + words[i];
        return rest;
    };
    const QString first = bare(words[0]);
    if (first == QStringLiteral("se") && words.size() > 1) {
        if (const VerbForms *v = table.find(bare(words[1])))
            return VerbPhrase{v, true, restAfter(2, words[1])};
    }
    if (first.startsWith(QStringLiteral("s'"))) {
        const QString w = words[0].mid(2);
        if (const VerbForms *v = table.find(bare(w)))
            return VerbPhrase{v, true, restAfter(1, w)};
    }
    if (const VerbForms *v = table.find(first))
        return VerbPhrase{v, false, restAfter(1, words[0])};
    return std::nullopt;
}

// "je", "me", "te", "se", "ne" before the word that follows them.
QString elided(const QString &word, const QString &before, bool aspirateH = false) {
    return beginsWithVowelSound(before, aspirateH) ? word.left(word.size() - 1) + u'\'' : word;
}

} // namespace

ConjugationTable ConjugationTable::fromText(const QString &text) {
    ConjugationTable table;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        bool whole = fields.size() >= 7;
        for (int i = 0; whole && i < 7; ++i)
            whole = !fields[i].trimmed().isEmpty();
        if (!whole)
            continue;
        VerbForms forms;
        for (int i = 0; i < 6; ++i)
            forms.present[std::size_t(i)] = fields[i + 1].trimmed();
        forms.aspirateH = fields.value(7).trimmed() == QStringLiteral("h aspiré");
        table.verbs_.insert(fields[0].trimmed().toLower(), forms);
    }
    return table;
}

const ConjugationTable &ConjugationTable::builtIn() {
    static const ConjugationTable table = [] {
        QFile file(QStringLiteral(":/langue/conjugaison.tsv"));
        file.open(QIODevice::ReadOnly);
        return fromText(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

const VerbForms *ConjugationTable::find(const QString &infinitive) const {
    const auto it = verbs_.constFind(infinitive);
    return it == verbs_.constEnd() ? nullptr : &it.value();
}

int subjectPerson(const QString &phrase) {
    static const QHash<QString, int> persons = {
        {QStringLiteral("je"), 0},    {QStringLiteral("j'"), 0},   {QStringLiteral("tu"), 1},
        {QStringLiteral("il"), 2},    {QStringLiteral("elle"), 2}, {QStringLiteral("on"), 2},
        {QStringLiteral("nous"), 3},  {QStringLiteral("vous"), 4}, {QStringLiteral("ils"), 5},
        {QStringLiteral("elles"), 5},
    };
    return persons.value(bare(spokenPart(phrase)), -1);
}

bool beginsWithVowelSound(const QString &word, bool aspirateH) {
    if (word.isEmpty())
        return false;
    const QChar c = word[0].toLower();
    if (c == u'h')
        return !aspirateH;
    return QStringLiteral("aàâäeéèêëiîïoôöuùûüyœæ").contains(c);
}

QStringList formedPhrases(const QStringList &phrases, const ConjugationTable &table) {
    QStringList forms;
    for (const QString &phrase : phrases)
        forms << spokenPart(phrase);
    for (int i = 0; i + 1 < forms.size(); ++i) {
        const int person = subjectPerson(forms[i]);
        if (person < 0)
            continue;
        int v = i + 1;
        const bool negated = isNegation(forms[v]) && v + 1 < forms.size();
        if (negated)
            ++v;
        const auto phrase = verbPhrase(forms[v], table);
        if (!phrase)
            continue;
        const VerbForms &verb = *phrase->verb;
        const QString &present = verb.present[std::size_t(person)];
        QString said = present;
        if (phrase->reflexive) {
            static const char *const pronouns[] = {"me", "te", "se", "nous", "vous", "se"};
            const QString pronoun = QString::fromLatin1(pronouns[person]);
            const bool joined =
                person != 3 && person != 4 && beginsWithVowelSound(present, verb.aspirateH);
            said = joined ? elided(pronoun, present, verb.aspirateH) + present
                          : pronoun + u' ' + present;
        }
        const bool aspirate = !phrase->reflexive && verb.aspirateH;
        if (negated) {
            forms[v - 1] = elided(QStringLiteral("ne"), said, aspirate);
            said += QStringLiteral(" pas");
        }
        said += phrase->rest;
        // In the middle of a sentence: the verb takes no capital.
        forms[v] = said;
        if (person == 0) {
            const QString next = forms[i + 1];
            const bool vowel = beginsWithVowelSound(next, !negated && aspirate);
            const bool capital = forms[i].startsWith(u'J');
            forms[i] = vowel ? QStringLiteral("j'") : QStringLiteral("je");
            if (capital)
                forms[i] = capitalized(forms[i]);
        }
        i = v;
    }
    return forms;
}

QString joinedForms(const QStringList &forms) {
    QString text;
    for (const QString &form : forms) {
        if (form.isEmpty())
            continue;
        if (!text.isEmpty() && !text.endsWith(u'\'') && !text.endsWith(u'’'))
            text += u' ';
        text += form;
    }
    return text;
}

} // namespace tv
