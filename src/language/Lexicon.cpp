#include "Lexicon.h"

#include "GrammarRules.h"

#include <QFile>
#include <QFuture>
#include <QMutexLocker>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>
#include <hunspell/hunspell.hxx>
#include <stdexcept>
#include <verbiste/FrenchVerbDictionary.h>

Q_LOGGING_CATEGORY(lcLanguage, "tablavox.language")

namespace tv {

namespace {

std::string utf8(const QString &text) {
    return text.toStdString();
}

QString fromUtf8(const std::string &text) {
    return QString::fromStdString(text);
}

const QString kDebianDictionary = QStringLiteral("/usr/share/hunspell/fr");

// One analysis of the dictionary (" st:content po:adj is:mas is:sg") as its fields.
struct Analysis {
    QString stem;
    bool agreeing = false; // an adjective or a past participle
    QStringList is;        // "mas", "fem", "epi"; "sg", "pl", "inv"
};

Analysis parsed(const std::string &line) {
    Analysis a;
    for (const QString &field : fromUtf8(line).split(u' ', Qt::SkipEmptyParts)) {
        if (field.startsWith(QLatin1String("st:")))
            a.stem = field.mid(3);
        else if (field == QLatin1String("po:adj") || field == QLatin1String("po:ppas"))
            a.agreeing = true;
        else if (field.startsWith(QLatin1String("is:")))
            a.is << field.mid(3);
    }
    return a;
}

// The regular forms, tried before what the dictionary generates: its generation picks one
// of several forms and sometimes the rare one ("bels" beside "beaux").
QStringList regularGuesses(const QString &word, bool feminine, bool plural) {
    QStringList guesses{word};
    const QString &base = word;
    if (feminine)
        guesses << base + u'e' << base + QStringLiteral("es");
    if (plural) {
        if (base.endsWith(QLatin1String("eau")) || base.endsWith(QLatin1String("eu")))
            guesses << base + u'x';
        if (base.endsWith(QLatin1String("al")))
            guesses << base.chopped(2) + QStringLiteral("aux");
        guesses << base + u's';
    }
    return guesses;
}

} // namespace

Lexicon::Lexicon(const Sources &sources) {
    try {
        std::string conjugations, verbList;
        verbiste::FrenchVerbDictionary::getXMLFilenames(conjugations, verbList,
                                                        verbiste::FrenchVerbDictionary::FRENCH);
        if (!sources.verbisteDir.isEmpty()) {
            conjugations = utf8(sources.verbisteDir + QStringLiteral("/conjugation-fr.xml"));
            verbList = utf8(sources.verbisteDir + QStringLiteral("/verbs-fr.xml"));
        }
        if (QFile::exists(fromUtf8(conjugations)) && QFile::exists(fromUtf8(verbList)))
            verbs_ = std::make_unique<verbiste::FrenchVerbDictionary>(
                conjugations, verbList, false, verbiste::FrenchVerbDictionary::FRENCH);
        else
            qCWarning(lcLanguage) << "no conjugation tables at" << fromUtf8(conjugations);
    } catch (const std::exception &e) {
        qCWarning(lcLanguage) << "the conjugation tables cannot be read:" << e.what();
        verbs_.reset();
    }
    const QString base =
        sources.dictionaryBase.isEmpty() ? kDebianDictionary : sources.dictionaryBase;
    const QString aff = base + QStringLiteral(".aff"), dic = base + QStringLiteral(".dic");
    if (QFile::exists(aff) && QFile::exists(dic))
        dictionary_ = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                                 QFile::encodeName(dic).constData());
    else
        qCWarning(lcLanguage) << "no French dictionary at" << base;
}

Lexicon::~Lexicon() = default;

namespace {

// The program's lexicon: made once, kept for the whole run (a few megabytes read once), and
// reachable from here until the end, never freed under a thread still reading it.
Lexicon *kept = nullptr;

QFuture<void> &loading() {
    static QFuture<void> future;
    return future;
}

void load() {
    auto *lexicon = new Lexicon;
    const GrammarRules &rules = GrammarRules::builtIn();
    for (auto it = rules.models.cbegin(); it != rules.models.cend(); ++it)
        lexicon->addVerbLike(it.key(), it.value());
    kept = lexicon;
}

} // namespace

void Lexicon::preload() {
    static QMutex once;
    QMutexLocker lock(&once);
    if (!loading().isValid())
        loading() = QtConcurrent::run(load);
}

const Lexicon &Lexicon::shared() {
    preload();
    // The future's end makes `kept` visible to this thread.
    static const Lexicon *const lexicon = [] {
        loading().waitForFinished();
        return kept;
    }();
    return *lexicon;
}

void Lexicon::addVerbLike(const QString &infinitive, const QString &model) {
    QMutexLocker lock(&mutex_);
    models_.insert(infinitive, model);
    cache_.remove(infinitive);
}

std::optional<VerbForms> Lexicon::conjugate(const QString &infinitive, const QString &model) const {
    if (!verbs_)
        return std::nullopt;
    const std::set<std::string> &templates = verbs_->getVerbTemplateSet(utf8(model));
    if (templates.empty())
        return std::nullopt;
    const std::string &name = *templates.begin();
    const ::TemplateSpec *conjugation = verbs_->getTemplate(name);
    const std::string termination = name.substr(name.find(':') + 1);
    if (!conjugation || !infinitive.endsWith(fromUtf8(termination)))
        return std::nullopt;
    const std::string radical = verbiste::FrenchVerbDictionary::getRadical(utf8(infinitive), name);
    VerbForms forms;
    forms.aspirateH = verbs_->isVerbStartingWithAspirateH(utf8(infinitive));
    const auto fill = [&](::Mode mode, ::Tense tense, QString *out, int count) {
        std::vector<std::vector<std::string>> persons;
        if (!verbs_->generateTense(radical, *conjugation, mode, tense, persons, false,
                                   forms.aspirateH, false))
            return false;
        for (int i = 0; i < count && std::size_t(i) < persons.size(); ++i) {
            // Of two accepted forms ("assieds", "assois"), the first.
            if (!persons[std::size_t(i)].empty())
                out[i] = fromUtf8(persons[std::size_t(i)].front());
        }
        return true;
    };
    if (!fill(::INDICATIVE_MODE, ::PRESENT_TENSE, forms.present.data(), 6) ||
        !fill(::INDICATIVE_MODE, ::FUTURE_TENSE, forms.future.data(), 6) ||
        !fill(::PARTICIPLE_MODE, ::PAST_TENSE, forms.participle.data(), 4))
        return std::nullopt;
    return forms;
}

const VerbForms *Lexicon::verb(const QString &infinitive) const {
    QMutexLocker lock(&mutex_);
    const auto cached = cache_.constFind(infinitive);
    if (cached != cache_.constEnd())
        return cached.value().get();
    std::optional<VerbForms> forms;
    try {
        forms = conjugate(infinitive, models_.value(infinitive, infinitive));
    } catch (const std::exception &e) {
        qCWarning(lcLanguage) << "cannot conjugate" << infinitive << e.what();
    }
    auto kept = forms ? std::make_shared<const VerbForms>(*forms) : nullptr;
    cache_.insert(infinitive, kept);
    return kept.get();
}

QString Lexicon::agreed(const QString &word, bool feminine, bool plural) const {
    if (!dictionary_ || word.isEmpty())
        return {};
    QMutexLocker lock(&mutex_);
    QStringList stems;
    for (const std::string &line : dictionary_->analyze(utf8(word))) {
        const Analysis a = parsed(line);
        if (a.agreeing && !a.stem.isEmpty() && !stems.contains(a.stem))
            stems << a.stem;
    }
    if (stems.isEmpty())
        return {};
    const QString gender = feminine ? QStringLiteral("fem") : QStringLiteral("mas");
    const QString number = plural ? QStringLiteral("pl") : QStringLiteral("sg");
    const auto fits = [&](const QString &candidate) {
        for (const std::string &line : dictionary_->analyze(utf8(candidate))) {
            const Analysis a = parsed(line);
            if (a.agreeing && stems.contains(a.stem) &&
                (a.is.contains(gender) || a.is.contains(QLatin1String("epi"))) &&
                (a.is.contains(number) || a.is.contains(QLatin1String("inv"))))
                return true;
        }
        return false;
    };
    QStringList candidates = regularGuesses(word, feminine, plural);
    for (const QString &g : {gender, QStringLiteral("epi")}) {
        for (const std::string &generated : dictionary_->generate(
                 utf8(word),
                 std::vector<std::string>{utf8(QStringLiteral("is:%1 is:%2").arg(g, number))}))
            candidates << fromUtf8(generated);
    }
    for (const QString &candidate : candidates) {
        if (fits(candidate))
            return candidate;
    }
    return {};
}

} // namespace tv
