#include "UsageReport.h"

#include "model/Settings.h"

#include <QMap>
#include <algorithm>
#include <vector>

namespace tv {

namespace {

double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double at = q * double(v.size() - 1);
    const auto low = std::size_t(at);
    const std::size_t high = std::min(low + 1, v.size() - 1);
    return v[low] + (v[high] - v[low]) * (at - double(low));
}

QList<UsageReport::Week> weeks(const QMap<QDate, std::vector<double>> &byWeek) {
    QList<UsageReport::Week> list;
    for (auto it = byWeek.cbegin(); it != byWeek.cend(); ++it) {
        list << UsageReport::Week{it.key(), quantile(it.value(), 0.5), quantile(it.value(), 0.25),
                                  quantile(it.value(), 0.75), int(it.value().size())};
    }
    return list;
}

} // namespace

QString wordKey(const QString &text) {
    QString t = text.toLower();
    t.replace(u'\\', u' ');
    return t.simplified();
}

UsageReport makeUsageReport(const ReportSources &s) {
    UsageReport r;
    r.unreadable = s.unreadable;
    r.from = s.from;
    r.to = s.to;
    if (!s.events.isEmpty()) {
        if (!r.from.isValid())
            r.from = s.events.first().when.date();
        if (!r.to.isValid())
            r.to = s.events.last().when.date();
    }
    if (!r.from.isValid() || !r.to.isValid() || r.to < r.from)
        return r;
    QMap<QDate, UsageReport::Day> days;
    for (QDate d = r.from; d <= r.to && days.size() < 3660; d = d.addDays(1))
        days.insert(d, {d, 0, 0});
    QSet<QString> before;
    QHash<QString, int> counts;
    QStringList firstSeen;         // the words of the period in the order first chosen
    QHash<QString, QString> shown; // key → the words as first said
    QSet<QString> chosenOn;        // "page|key" of the period
    long words = 0;
    QMap<QDate, std::vector<double>> scanning, dwell;
    for (const UsageEvent &e : s.events) {
        const QDate day = e.when.date();
        const QString key = wordKey(e.text);
        if (day < r.from) {
            if (e.kind == UsageEvent::Kind::Choice)
                before.insert(key);
            continue;
        }
        if (day > r.to)
            continue;
        switch (e.kind) {
        case UsageEvent::Kind::Message:
            ++r.messages;
            ++days[day].messages;
            words += e.text.split(u' ', Qt::SkipEmptyParts).size();
            break;
        case UsageEvent::Kind::Page:
            ++r.pageChanges;
            break;
        case UsageEvent::Kind::Choice: {
            ++r.pictures;
            ++days[day].pictures;
            if (!counts.contains(key)) {
                firstSeen << key;
                shown.insert(key, e.text.simplified());
            }
            ++counts[key];
            chosenOn.insert(wordKey(e.page) + u'|' + key);
            (s.coreWords.contains(key) ? r.coreChoices : r.otherChoices) += 1;
            const QDate monday = day.addDays(1 - day.dayOfWeek());
            if (e.delayMs >= 0 && e.access == kAccessScanning)
                scanning[monday].push_back(double(e.delayMs));
            else if (e.delayMs >= 0 && e.access == kAccessDwell)
                dwell[monday].push_back(double(e.delayMs));
            break;
        }
        }
    }
    r.days = days.values();
    r.wordsPerMessage = r.messages ? double(words) / r.messages : 0;
    QStringList byCount = firstSeen;
    std::stable_sort(byCount.begin(), byCount.end(),
                     [&](const QString &a, const QString &b) { return counts[a] > counts[b]; });
    for (const QString &key : byCount.mid(0, 20))
        r.topWords << UsageReport::Count{shown[key], counts[key]};
    for (const QString &key : firstSeen) {
        if (!before.contains(key))
            r.newWords << shown[key];
    }
    QStringList pages = s.pagePhrases.keys();
    pages.sort();
    for (const QString &page : pages) {
        QSet<QString> listed;
        for (const QString &phrase : s.pagePhrases[page]) {
            const QString key = wordKey(phrase);
            if (!key.isEmpty() && !chosenOn.contains(wordKey(page) + u'|' + key) &&
                !listed.contains(key)) {
                listed.insert(key);
                r.neverChosen << page + QStringLiteral(" : ") + phrase.simplified();
            }
        }
    }
    r.scanning = weeks(scanning);
    r.dwell = weeks(dwell);
    return r;
}

} // namespace tv
