#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

// A message as it was said by "Dire": its pictures' phrases and its sentence.
struct SaidMessage {
    QStringList phrases;
    QString text;
    int count = 0;
    QDateTime last;
    bool pinned = false;
    QString key; // MessageHistory::keyOf(phrases)
};

// The messages said before, for "Déjà dit": the same message said again counts once more;
// at most kKept are kept, those said least and longest ago going first, pinned ones never.
class MessageHistory {
public:
    static constexpr int kKept = 1000;
    // How many "Déjà dit" shows at once: enough for a day's habits, the row scrolling to them.
    static constexpr int kShown = 40;

    void said(const QStringList &phrases, const QString &text, const QDateTime &when);
    void setPinned(const QString &key, bool pinned);
    void remove(const QString &key);
    void clear() { messages_.clear(); }
    int size() const { return int(messages_.size()); }

    // Pinned ones first, then the others by how often and how lately they were said, as of
    // `now`; at most `count`. With `begun`, only the messages that begin with those phrases
    // (the message being made, to be finished by one of those said before).
    QList<SaidMessage> ranked(const QDateTime &now, int count, const QStringList &begun = {}) const;

    // The same message whatever the letter case and spacing of its phrases.
    static QString keyOf(const QStringList &phrases);

private:
    QList<SaidMessage> messages_;
};

} // namespace tv
