#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tv {

// The pictures a person is likely to choose next, from what they said before: how often each
// picture followed the one or two before it in the messages said, and how often it was said
// at all. Before anything is learned (and for pictures never said), what the boards offer
// decides: each picture's prior, from the pages it sits on and how common its words are.
// Pictures are known by their phrase, letter case and spacing aside.
class Predictor {
public:
    // Every picture that may be suggested, with its prior (any positive scale). Only these
    // are suggested: a picture no longer on any board is not.
    void setPriors(const QHash<QString, double> &priors);
    // One message said, its phrases in order.
    void learn(const QStringList &message);
    // Everything learned is forgotten; the priors stay.
    void forget();
    int messagesLearned() const { return messages_; }

    // At most `count` phrases (as written on their pictures), most likely first, to follow
    // `message` (the phrases so far; empty at the start of a message). The last phrase is
    // never suggested again right after itself.
    QStringList suggest(const QStringList &message, int count) const;

    static QString keyOf(const QString &phrase);

private:
    struct Counts {
        QHash<QString, int> next;
        int total = 0;
    };
    void add(Counts &counts, const QString &key) const;
    const QStringList &topLearned() const;

    QHash<QString, double> priors_;   // by key
    QHash<QString, QString> written_; // key to the phrase as last written
    QStringList topPriors_;
    double priorMax_ = 1;
    Counts unigrams_;
    QHash<QString, Counts> bigrams_;  // after one key
    QHash<QString, Counts> trigrams_; // after two keys, joined by kJoin
    int messages_ = 0;
    mutable QStringList topLearned_;
    mutable bool topLearnedStale_ = true;
};

} // namespace tv
