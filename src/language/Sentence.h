#pragma once

#include "GrammarRules.h"
#include "Lexicon.h"

#include <QString>
#include <QStringList>

namespace tv {

// Whom "je" and "nous" stand for: the person who speaks through the program.
enum class Gender { Masculine, Feminine };

// The person a subject pronoun stands for (0 for "je" to 5 for "ils"/"elles"), or -1.
int subjectPerson(const QString &phrase);

// Whether a word is said beginning with a vowel sound, so that "je", "me", "ne" before it
// lose their e.
bool beginsWithVowelSound(const QString &word, bool aspirateH = false);

// The forms in which the phrases of a message are said and shown, one for each phrase, in
// their order. A phrase that is, or begins with, a verb (also "se laver", "s'habiller") right
// after a subject pronoun agrees with it, with "ne … pas" when "pas" stands between them: in
// the present, or in the tense the last marker before it sets ("hier": passé composé,
// "demain": futur simple; a marker that is not said gives an empty form). After a verb that
// takes an attribute ("être"), the adjective that follows agrees with the subject, as does
// the participle of a verb conjugated with "être". "je", "me", "te", "se" and "ne" drop their
// e before a vowel sound. Every other phrase keeps its words, with the line breaks of a
// stored phrase ("\") made spaces; a word the lexicon does not know is said as written.
QStringList formedPhrases(const QStringList &phrases, Gender speaker = Gender::Masculine,
                          const Lexicon &lexicon = Lexicon::shared(),
                          const GrammarRules &rules = GrammarRules::builtIn());

// The message as said: the forms joined by spaces, none after an elided "j'" or "n'".
QString joinedForms(const QStringList &forms);

} // namespace tv
