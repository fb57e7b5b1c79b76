#include "MessageHistory.h"

#include "Predictor.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// A message said often weighs less as weeks pass: half its weight every two weeks, so that
// last month's habit gives way to this week's.
constexpr double kHalfLifeDays = 14.0;

double weightOf(const SaidMessage &m, const QDateTime &now) {
    const double days = std::max<qint64>(0, m.last.secsTo(now)) / 86400.0;
    return m.count * std::exp2(-days / kHalfLifeDays);
}

} // namespace

QString MessageHistory::keyOf(const QStringList &phrases) {
    QStringList keys;
    for (const QString &phrase : phrases)
        keys << Predictor::keyOf(phrase);
    return keys.join(u'\x1f');
}

void MessageHistory::said(const QStringList &phrases, const QString &text, const QDateTime &when) {
    const QString key = keyOf(phrases);
    auto it = std::find_if(messages_.begin(), messages_.end(),
                           [&](const SaidMessage &m) { return m.key == key; });
    if (it != messages_.end()) {
        ++it->count;
        it->last = when;
        it->phrases = phrases;
        it->text = text;
        return;
    }
    messages_.append({phrases, text, 1, when, false, key});
    if (messages_.size() <= kKept)
        return;
    // The one said least and longest ago goes, never a pinned one.
    auto least = messages_.end();
    for (auto m = messages_.begin(); m != messages_.end(); ++m) {
        if (!m->pinned && (least == messages_.end() || weightOf(*m, when) < weightOf(*least, when)))
            least = m;
    }
    if (least != messages_.end())
        messages_.erase(least);
}

void MessageHistory::setPinned(const QString &key, bool pinned) {
    for (SaidMessage &m : messages_) {
        if (m.key == key)
            m.pinned = pinned;
    }
}

void MessageHistory::remove(const QString &key) {
    messages_.removeIf([&](const SaidMessage &m) { return m.key == key; });
}

QList<SaidMessage> MessageHistory::ranked(const QDateTime &now, int count,
                                          const QStringList &begun) const {
    const QString prefix = begun.isEmpty() ? QString() : keyOf(begun);
    QList<std::pair<double, const SaidMessage *>> all;
    for (const SaidMessage &m : messages_) {
        if (prefix.isEmpty() || m.key == prefix || m.key.startsWith(prefix + u'\x1f'))
            all.append({weightOf(m, now), &m});
    }
    std::stable_sort(all.begin(), all.end(), [](const auto &a, const auto &b) {
        if (a.second->pinned != b.second->pinned)
            return a.second->pinned;
        if (a.first != b.first)
            return a.first > b.first;
        return a.second->last > b.second->last;
    });
    QList<SaidMessage> out;
    for (qsizetype i = 0; i < all.size() && i < count; ++i)
        out << *all[i].second;
    return out;
}

} // namespace tv
