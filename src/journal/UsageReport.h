#pragma once

#include "LamLog.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

namespace tv {

// What a therapist reads in a report, computed from the events of the log: plain values,
// drawn by ReportPdf.
struct UsageReport {
    struct Day {
        QDate day;
        int messages = 0;
        int pictures = 0;
    };
    struct Count {
        QString word;
        int count = 0;
    };
    // The time from the frame or the rest to a choice, over a week (from its Monday).
    struct Week {
        QDate monday;
        double median = 0, lowQuartile = 0, highQuartile = 0; // ms
        int choices = 0;
    };

    QDate from, to;
    int messages = 0, pictures = 0, pageChanges = 0;
    QList<Day> days; // every day of the period, from first to last
    double wordsPerMessage = 0;
    QList<Count> topWords; // the 20 pictures' words chosen most, most first
    int coreChoices = 0, otherChoices = 0;
    QStringList newWords;    // chosen in the period, never before it
    QStringList neverChosen; // "page : words" of the pages in use
    QList<Week> scanning, dwell;
    int unreadable = 0;
};

struct ReportSources {
    QList<UsageEvent> events; // every event of every log, in order
    int unreadable = 0;
    QDate from, to;          // the period, both days included; unset: the log's own ends
    QSet<QString> coreWords; // the words of the core page, lower case
    // The phrases of each page, for the pages the person used in the period.
    QHash<QString, QStringList> pagePhrases;
};

UsageReport makeUsageReport(const ReportSources &sources);

// The words a picture's text is compared by: lower case, spaces made single.
QString wordKey(const QString &text);

} // namespace tv
