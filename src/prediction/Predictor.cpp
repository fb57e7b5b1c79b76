#include "Predictor.h"

#include <algorithm>
#include <vector>

namespace tv {

namespace {

const QString kStart = QStringLiteral("\x02");
const QChar kJoin = u'\x1f';
// How many of the most said and of the most likely on the boards are weighed besides what
// followed the last words: enough to fill any strip, few enough to weigh them all at once.
constexpr int kTopConsidered = 24;

// How much each kind of evidence weighs. What followed the same two pictures says most;
// what followed the last one, less; how often a picture is said at all, less still; the
// boards' priors only break ties among pictures never said.
constexpr double kTrigramWeight = 4.0;
constexpr double kBigramWeight = 2.0;
constexpr double kUnigramWeight = 0.6;
constexpr double kPriorWeight = 0.15;

} // namespace

QString Predictor::keyOf(const QString &phrase) {
    QString key = phrase;
    key.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return key.simplified().toCaseFolded();
}

void Predictor::setPriors(const QHash<QString, double> &priors) {
    priors_.clear();
    priorMax_ = 0;
    for (auto it = priors.begin(); it != priors.end(); ++it) {
        const QString key = keyOf(it.key());
        if (key.isEmpty())
            continue;
        priors_[key] = std::max(priors_.value(key), it.value());
        if (!written_.contains(key))
            written_[key] = it.key();
        priorMax_ = std::max(priorMax_, it.value());
    }
    if (priorMax_ <= 0)
        priorMax_ = 1;
    topPriors_ = priors_.keys();
    std::sort(topPriors_.begin(), topPriors_.end(), [this](const QString &a, const QString &b) {
        const double pa = priors_.value(a), pb = priors_.value(b);
        return pa != pb ? pa > pb : a < b;
    });
    if (topPriors_.size() > kTopConsidered)
        topPriors_.resize(kTopConsidered);
}

void Predictor::add(Counts &counts, const QString &key) const {
    ++counts.next[key];
    ++counts.total;
}

void Predictor::learn(const QStringList &message) {
    QString before2 = kStart, before1 = kStart;
    bool any = false;
    for (const QString &phrase : message) {
        const QString key = keyOf(phrase);
        if (key.isEmpty())
            continue;
        any = true;
        written_[key] = phrase;
        add(unigrams_, key);
        add(bigrams_[before1], key);
        add(trigrams_[before2 + kJoin + before1], key);
        before2 = before1;
        before1 = key;
    }
    if (any) {
        ++messages_;
        topLearnedStale_ = true;
    }
}

void Predictor::forget() {
    unigrams_ = {};
    bigrams_.clear();
    trigrams_.clear();
    messages_ = 0;
    topLearned_.clear();
    topLearnedStale_ = true;
}

const QStringList &Predictor::topLearned() const {
    if (topLearnedStale_) {
        std::vector<std::pair<int, QString>> all;
        all.reserve(size_t(unigrams_.next.size()));
        for (auto it = unigrams_.next.begin(); it != unigrams_.next.end(); ++it)
            all.emplace_back(-it.value(), it.key());
        const size_t kept = std::min(all.size(), size_t(kTopConsidered));
        std::partial_sort(all.begin(), all.begin() + qsizetype(kept), all.end());
        topLearned_.clear();
        for (size_t i = 0; i < kept; ++i)
            topLearned_ << all[i].second;
        topLearnedStale_ = false;
    }
    return topLearned_;
}

QStringList Predictor::suggest(const QStringList &message, int count) const {
    if (count <= 0)
        return {};
    QString before2 = kStart, before1 = kStart;
    for (const QString &phrase : message) {
        const QString key = keyOf(phrase);
        if (key.isEmpty())
            continue;
        before2 = before1;
        before1 = key;
    }
    const Counts *tri = nullptr, *bi = nullptr;
    if (auto it = trigrams_.find(before2 + kJoin + before1); it != trigrams_.end())
        tri = &*it;
    if (auto it = bigrams_.find(before1); it != bigrams_.end())
        bi = &*it;

    QHash<QString, double> scores;
    const auto weigh = [&](const QString &key) {
        if (scores.contains(key) || key == before1 || !priors_.contains(key))
            return;
        double s = kPriorWeight * priors_.value(key) / priorMax_;
        if (unigrams_.total > 0)
            s += kUnigramWeight * unigrams_.next.value(key) / unigrams_.total;
        if (bi)
            s += kBigramWeight * bi->next.value(key) / bi->total;
        if (tri)
            s += kTrigramWeight * tri->next.value(key) / tri->total;
        scores.insert(key, s);
    };
    // What followed the last picture (which holds what followed the last two).
    if (bi) {
        for (auto it = bi->next.begin(); it != bi->next.end(); ++it)
            weigh(it.key());
    }
    for (const QString &key : topLearned())
        weigh(key);
    for (const QString &key : topPriors_)
        weigh(key);

    std::vector<std::pair<double, QString>> ranked;
    ranked.reserve(size_t(scores.size()));
    for (auto it = scores.begin(); it != scores.end(); ++it)
        ranked.emplace_back(it.value(), it.key());
    const size_t kept = std::min(ranked.size(), size_t(count));
    std::partial_sort(ranked.begin(), ranked.begin() + qsizetype(kept), ranked.end(),
                      [](const auto &a, const auto &b) {
                          return a.first != b.first ? a.first > b.first : a.second < b.second;
                      });
    QStringList out;
    for (size_t i = 0; i < kept; ++i)
        out << written_.value(ranked[i].second, ranked[i].second);
    return out;
}

} // namespace tv
