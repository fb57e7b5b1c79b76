#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace tv {

// One thing the person did, as the usage log keeps it.
struct UsageEvent {
    enum class Kind { Choice, Message, Page };
    QDateTime when;
    Kind kind = Kind::Choice;
    QString text;   // the picture's words as said, the message, or the page opened
    QString page;   // the page shown when the picture was chosen
    QString access; // souris, clavier, défilement, pointage
    // For scanning and dwell: from the frame reaching the picture, or the pointer resting
    // on it, to the choice; -1 when not measured.
    qint64 delayMs = -1;

    bool operator==(const UsageEvent &) const = default;
};

// The usage log is kept in LAM (Language Activity Monitoring), the log format of AAC
// research tools: a header asking for privacy, a date line "*[YY-MM-DD=26-12-09]*" when the
// day changes, and one line per event, "14:03:22.125 SMP "boire"" (a picture: a whole word
// or phrase chosen), "CTL "Dire"" or "CTL "Page"". What LAM cannot hold follows on a comment
// line of its own, "### page="…" accès=… délai=…". Windows-1252, CR LF; a quote inside a
// text is doubled.
QByteArray lamHeader();
// The lines of one event; the date line first when its day is not `lastDay`.
QByteArray lamLines(const UsageEvent &event, const QDate &lastDay);

struct LamRead {
    QList<UsageEvent> events;
    int unreadable = 0; // lines that are neither LAM nor ours: damaged or edited by hand
};
// The events of a log, in order. A damaged line is skipped and counted, never guessed at.
LamRead readLam(const QByteArray &bytes);

// One row per event for a spreadsheet: date;heure;événement;texte;page;accès;délai_ms,
// UTF-8 with its byte order mark (as spreadsheets expect it), fields quoted.
QByteArray csvOf(const QList<UsageEvent> &events);

} // namespace tv
