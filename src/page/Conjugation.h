#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

namespace tv {

// The present tense of one verb: je, tu, il/elle/on, nous, vous, ils/elles.
struct VerbForms {
    std::array<QString, 6> present;
    // "je" stays whole before it although it begins with an h ("je hurle").
    bool aspirateH = false;
};

// The verbs the message strip agrees with their subject, by infinitive.
class ConjugationTable {
public:
    // One verb a line: the infinitive, the six forms, and "h aspiré" when it applies;
    // columns separated by tabs, "#" begins a comment. A line that is not whole is left out
    // (the tests check the table against a reference, line by line).
    static ConjugationTable fromText(const QString &text);
    // The table that comes with the program.
    static const ConjugationTable &builtIn();

    const VerbForms *find(const QString &infinitive) const;

private:
    QHash<QString, VerbForms> verbs_;
};

// The person a subject pronoun stands for (0 for "je" to 5 for "ils"/"elles"), or -1.
int subjectPerson(const QString &phrase);

// Whether a word is said beginning with a vowel sound, so that "je", "me", "ne" before it
// lose their e.
bool beginsWithVowelSound(const QString &word, bool aspirateH = false);

// The forms in which the phrases of a message are said and shown, one for each phrase, in
// their order: a phrase that is, or begins with, a verb of the table (also "se laver",
// "s'habiller") right after a subject pronoun takes that person's present tense, with
// "ne … pas" when "pas" stands between them; "je", "me", "te", "se" and "ne" drop their e
// before a vowel sound. Every other phrase keeps its words, with the line breaks of a
// stored phrase ("\") made spaces.
QStringList formedPhrases(const QStringList &phrases,
                          const ConjugationTable &table = ConjugationTable::builtIn());

// The message as said: the forms joined by spaces, none after an elided "j'" or "n'".
QString joinedForms(const QStringList &forms);

} // namespace tv
