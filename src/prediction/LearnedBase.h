#pragma once

#include "MessageHistory.h"
#include "Predictor.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

Q_DECLARE_LOGGING_CATEGORY(lcPrediction)

namespace tv {

// One line of the learned base: a message said, or what the carer did to one in "Déjà dit".
struct LearnedRecord {
    enum class Kind { Said, Pinned, Unpinned, Removed };
    Kind kind = Kind::Said;
    QDateTime when;
    QStringList phrases;
    QString text; // the sentence said (Said only)
    bool operator==(const LearnedRecord &) const = default;
};

// The file, "appris.txt" in the person's data directory: a header, then one line per record,
// appended as they come, Windows-1252 and CR LF:
//   dit<TAB>2026-12-09T08:15:00.250<TAB>je + vouloir + boire<TAB>je veux boire
//   épinglé<TAB>2026-12-09T08:16:02.000<TAB>je + vouloir + boire<TAB>
// ("détaché" and "supprimé" alike). A line that cannot be read, and a last line cut short
// by a crash, are left out and counted.
QByteArray learnedHeader();
QByteArray learnedLine(const LearnedRecord &record);
struct LearnedContents {
    QList<LearnedRecord> records;
    int damaged = 0;
};
LearnedContents parseLearned(const QByteArray &bytes);

// What the program learned from the person's messages: the suggestions' counts and the
// messages of "Déjà dit", both replayed from the file at start, and each new record added to
// the file, whole, before it counts (a kill -9 loses at most the record being written).
class LearnedBase {
public:
    explicit LearnedBase(QString path);
    ~LearnedBase();
    LearnedBase(const LearnedBase &) = delete;
    LearnedBase &operator=(const LearnedBase &) = delete;

    static QString fileIn(const QString &dataDirectory);

    // Reads the file, at most its last `maxBytes` (a file grown beyond all reason, or planted,
    // never holds the start up); its damaged lines are counted in damaged().
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
    void load(qint64 maxBytes = kMaxBytes);
    // Adds a record to the file, then to what is learned; false (and nothing learned) when
    // the file cannot be written.
    bool add(const LearnedRecord &record);
    // Forgets everything and removes the file; why it could not, or empty.
    QString forget();

    Predictor &predictor() { return predictor_; }
    const Predictor &predictor() const { return predictor_; }
    const MessageHistory &history() const { return history_; }
    int damaged() const { return damaged_; }
    const QString &path() const { return path_; }

private:
    void apply(const LearnedRecord &record);
    void close();

    QString path_;
    int fd_ = -1;
    Predictor predictor_;
    MessageHistory history_;
    int damaged_ = 0;
};

} // namespace tv
