#include "Sentence.h"

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

// A phrase that begins with a verb: the verb, whether it is said with its pronoun ("se
// laver"), and the words that follow it.
struct VerbPhrase {
    QString infinitive;
    const VerbForms *verb = nullptr;
    bool reflexive = false;
    QString rest; // with its leading space, as written
};

std::optional<VerbPhrase> verbPhrase(const QString &text, const Lexicon &lexicon) {
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
    const auto found = [&](const QString &word, bool reflexive, int used,
                           const QString &written) -> std::optional<VerbPhrase> {
        const QString infinitive = bare(word);
        if (const VerbForms *v = lexicon.verb(infinitive))
            return VerbPhrase{infinitive, v, reflexive, restAfter(used, written)};
        return std::nullopt;
    };
    const QString first = bare(words[0]);
    if (first == QStringLiteral("se") && words.size() > 1) {
        if (auto p = found(words[1], true, 2, words[1]))
            return p;
    }
    if (first.startsWith(QStringLiteral("s'"))) {
        if (auto p = found(words[0].mid(2), true, 1, words[0].mid(2)))
            return p;
    }
    return found(words[0], false, 1, words[0]);
}

// "je", "me", "te", "se", "ne" before the word that follows them.
QString elided(const QString &word, const QString &before, bool aspirateH = false) {
    return beginsWithVowelSound(before, aspirateH) ? word.left(word.size() - 1) + u'\'' : word;
}

// A reflexive pronoun and the verb form it goes with: "me lave", "m'habille", "s'est".
QString withPronoun(int person, const QString &form, bool aspirateH) {
    static const char *const pronouns[] = {"me", "te", "se", "nous", "vous", "se"};
    const QString pronoun = QString::fromLatin1(pronouns[person]);
    const bool joined = person != 3 && person != 4 && beginsWithVowelSound(form, aspirateH);
    return joined ? elided(pronoun, form, aspirateH) + form : pronoun + u' ' + form;
}

// `text` with its first word made to agree ("content !" → "contentes !"); unchanged when
// that word is not an adjective or a participle.
QString withFirstWordAgreed(const QString &text, const Lexicon &lexicon, bool feminine,
                            bool plural) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    qsizetype end = text.indexOf(u' ', start);
    if (end < 0)
        end = text.size();
    const QString word = text.mid(start, end - start);
    const QString plain = bare(word);
    if (plain.isEmpty() || word.left(plain.size()).toLower() != plain)
        return text;
    const QString agreed = lexicon.agreed(plain, feminine, plural);
    if (agreed.isEmpty())
        return text;
    return text.left(start) + agreed + text.mid(start + plain.size());
}

} // namespace

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

QStringList formedPhrases(const QStringList &phrases, Gender speaker, const Lexicon &lexicon,
                          const GrammarRules &rules) {
    QStringList forms;
    for (const QString &phrase : phrases)
        forms << spokenPart(phrase);
    Tense tense = Tense::Present;
    for (int i = 0; i < forms.size(); ++i) {
        if (const auto marker = rules.marker(forms[i])) {
            tense = marker->tense;
            if (!marker->said)
                forms[i].clear();
            continue;
        }
        const int person = subjectPerson(forms[i]);
        if (person < 0 || i + 1 >= forms.size())
            continue;
        int v = i + 1;
        const bool negated = isNegation(forms[v]) && v + 1 < forms.size();
        if (negated)
            ++v;
        const auto phrase = verbPhrase(forms[v], lexicon);
        if (!phrase)
            continue;
        const VerbForms &verb = *phrase->verb;
        const QString subject = bare(forms[i]);
        const bool plural = person >= 3;
        const bool feminine = person == 0 || person == 3 ? speaker == Gender::Feminine
                                                         : subject == QLatin1String("elle") ||
                                                               subject == QLatin1String("elles");
        const bool withEtre = phrase->reflexive || rules.takesEtre(phrase->infinitive);
        const VerbForms *auxiliary =
            lexicon.verb(withEtre ? QStringLiteral("être") : QStringLiteral("avoir"));
        // Impersonal verbs ("pleuvoir") have no form for most persons: said as written.
        const QString &participle =
            withEtre ? verb.pastParticiple(feminine, plural) : verb.participle[0];
        const auto &tenseForms = tense == Tense::Future ? verb.future : verb.present;
        const QString &conjugated = tenseForms[std::size_t(person)];
        if (tense == Tense::Past ? participle.isEmpty() || !auxiliary : conjugated.isEmpty())
            continue;
        QString said;
        bool aspirate = false;
        if (tense == Tense::Past) {
            const QString &aux = auxiliary->present[std::size_t(person)];
            said = phrase->reflexive ? withPronoun(person, aux, false) : aux;
            if (negated)
                forms[v - 1] = elided(QStringLiteral("ne"), said);
            said += (negated ? QStringLiteral(" pas ") : QStringLiteral(" ")) + participle;
        } else {
            said = phrase->reflexive ? withPronoun(person, conjugated, verb.aspirateH) : conjugated;
            aspirate = !phrase->reflexive && verb.aspirateH;
            if (negated) {
                forms[v - 1] = elided(QStringLiteral("ne"), said, aspirate);
                said += QStringLiteral(" pas");
            }
        }
        QString rest = phrase->rest;
        if (rules.isCopula(phrase->infinitive)) {
            // "je suis fatiguée", "elles restent assises": the attribute, in the same phrase
            // or in the next one.
            if (!rest.trimmed().isEmpty())
                rest = withFirstWordAgreed(rest, lexicon, feminine, plural);
            else if (v + 1 < forms.size() && subjectPerson(forms[v + 1]) < 0)
                forms[v + 1] = withFirstWordAgreed(forms[v + 1], lexicon, feminine, plural);
        }
        // In the middle of a sentence: the verb takes no capital.
        forms[v] = said + rest;
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
