#pragma once

#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QString>
#include <array>
#include <memory>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcLanguage)

namespace verbiste {
class FrenchVerbDictionary;
}
class Hunspell;

namespace tv {

// The forms of one verb the sentences need. Persons run from 0 ("je") to 5 ("ils").
struct VerbForms {
    std::array<QString, 6> present;
    std::array<QString, 6> future;
    // Masculine singular, masculine plural, feminine singular, feminine plural.
    std::array<QString, 4> participle;
    // "je hurle", not "j'hurle".
    bool aspirateH = false;

    const QString &pastParticiple(bool feminine, bool plural) const {
        const QString &agreed = participle[(feminine ? 2U : 0U) + (plural ? 1U : 0U)];
        // Some participles never change ("été", "pu"): only the first form is given.
        return agreed.isEmpty() ? participle[0] : agreed;
    }
};

// French word forms: every verb from the conjugator's tables (Verbiste), and the feminine
// and plural of adjectives and participles from the morphology of the French dictionary
// (Hunspell). Loaded once for the whole program, away from the window (see preload()).
class Lexicon {
public:
    // What to read. Empty paths: Debian's places.
    struct Sources {
        QString verbisteDir;    // conjugation-fr.xml and verbs-fr.xml
        QString dictionaryBase; // the .aff and .dic without their suffix
    };
    explicit Lexicon(const Sources &sources = {});
    ~Lexicon();
    Lexicon(const Lexicon &) = delete;
    Lexicon &operator=(const Lexicon &) = delete;

    // The lexicon the program uses. The first call waits for preload() to finish, or loads.
    static const Lexicon &shared();
    // Starts loading the shared lexicon on another thread, so that the first message does
    // not wait for it.
    static void preload();

    // Whether the conjugator's tables could be read (without them no verb agrees).
    bool hasVerbs() const { return verbs_ != nullptr; }
    bool hasAdjectives() const { return dictionary_ != nullptr; }

    // The forms of a verb given at the infinitive, lower case; null when no verb of that
    // name is known. A verb the conjugator lacks is conjugated as the model `like` gives.
    const VerbForms *verb(const QString &infinitive) const;
    // Makes `infinitive` conjugate as `model` does ("liker" as "aimer").
    void addVerbLike(const QString &infinitive, const QString &model);

    // The form of an adjective or past participle for that gender and number ("contente",
    // "heureuses"), from any of its forms; empty when the word is not one.
    QString agreed(const QString &word, bool feminine, bool plural) const;

private:
    std::optional<VerbForms> conjugate(const QString &infinitive, const QString &model) const;

    std::unique_ptr<verbiste::FrenchVerbDictionary> verbs_;
    std::unique_ptr<Hunspell> dictionary_;
    QHash<QString, QString> models_; // verbs the conjugator lacks → the verb they follow
    // Looked-up verbs; the conjugator and the dictionary keep no state between calls but are
    // not known to be safe to share between threads.
    mutable QMutex mutex_;
    mutable QHash<QString, std::shared_ptr<const VerbForms>> cache_;
};

} // namespace tv
