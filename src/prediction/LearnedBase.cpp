#include "LearnedBase.h"

#include "platform/Cp1252.h"
#include "platform/PrivateFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcPrediction, "tablavox.prediction")

namespace tv {

namespace {

const QString kSaid = QStringLiteral("dit");
const QString kPinned = QStringLiteral("épinglé");
const QString kUnpinned = QStringLiteral("détaché");
const QString kRemoved = QStringLiteral("supprimé");
const QString kBetween = QStringLiteral(" + ");
const QString kTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

QString nameOf(LearnedRecord::Kind kind) {
    switch (kind) {
    case LearnedRecord::Kind::Said:
        return kSaid;
    case LearnedRecord::Kind::Pinned:
        return kPinned;
    case LearnedRecord::Kind::Unpinned:
        return kUnpinned;
    case LearnedRecord::Kind::Removed:
        return kRemoved;
    }
    return kSaid;
}

// A record holds one line: a line break or a tab in a phrase is a space there.
QString flat(const QString &text) {
    QString t = text;
    t.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    return t;
}

} // namespace

QByteArray learnedHeader() {
    return encodedForRecord(
        QStringLiteral("# Tablavox : les messages dits par la personne, pour les suggestions et "
                       "« Déjà dit ». Ce fichier ne quitte jamais cet ordinateur.\r\n"));
}

QByteArray learnedLine(const LearnedRecord &r) {
    QStringList phrases;
    for (const QString &p : r.phrases)
        phrases << flat(p);
    return encodedForRecord(nameOf(r.kind) + u'\t' + r.when.toString(kTime) + u'\t' +
                            phrases.join(kBetween) + u'\t' + flat(r.text) + QStringLiteral("\r\n"));
}

LearnedContents parseLearned(const QByteArray &bytes) {
    LearnedContents out;
    const QStringList lines = decodeCp1252(bytes).split(QStringLiteral("\r\n"));
    // The part after the last line end is a record a crash cut short, or nothing.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (i == lines.size() - 1) {
            ++out.damaged;
            break;
        }
        const QStringList fields = line.split(u'\t');
        LearnedRecord r;
        const QString kind = fields.value(0);
        r.when = QDateTime::fromString(fields.value(1), kTime);
        bool known = true;
        if (kind == kSaid)
            r.kind = LearnedRecord::Kind::Said;
        else if (kind == kPinned)
            r.kind = LearnedRecord::Kind::Pinned;
        else if (kind == kUnpinned)
            r.kind = LearnedRecord::Kind::Unpinned;
        else if (kind == kRemoved)
            r.kind = LearnedRecord::Kind::Removed;
        else
            known = false;
        if (fields.size() == 4)
            r.phrases = fields[2].split(kBetween, Qt::SkipEmptyParts);
        if (!known || fields.size() != 4 || !r.when.isValid() || r.phrases.isEmpty()) {
            ++out.damaged;
            continue;
        }
        r.text = fields[3];
        out.records << r;
    }
    return out;
}

LearnedBase::LearnedBase(QString path) : path_(std::move(path)) {
}

LearnedBase::~LearnedBase() {
    close();
}

QString LearnedBase::fileIn(const QString &dataDirectory) {
    return dataDirectory + QStringLiteral("/appris.txt");
}

void LearnedBase::close() {
    if (fd_ >= 0) {
        ::fdatasync(fd_);
        ::close(fd_);
    }
    fd_ = -1;
}

void LearnedBase::load(qint64 maxBytes) {
    predictor_.forget();
    history_.clear();
    QFile file(path_);
    // A link in the person's directory is not followed, for reading either.
    if (QFileInfo(path_).isSymLink() || !file.open(QIODevice::ReadOnly)) {
        damaged_ = 0;
        return;
    }
    QByteArray bytes;
    if (file.size() > maxBytes) {
        // The latest messages, from the first whole line on; the line cut counts as damaged.
        file.seek(file.size() - maxBytes);
        bytes = file.read(maxBytes);
        const qsizetype end = bytes.indexOf("\r\n");
        bytes = end < 0 ? QByteArray() : bytes.mid(end + 2);
    } else {
        bytes = file.readAll();
    }
    LearnedContents contents = parseLearned(bytes);
    if (file.size() > maxBytes)
        ++contents.damaged;
    for (const LearnedRecord &r : contents.records)
        apply(r);
    damaged_ = contents.damaged;
    if (damaged_ > 0)
        qCWarning(lcPrediction) << damaged_ << "unreadable lines left out of" << path_;
}

void LearnedBase::apply(const LearnedRecord &r) {
    switch (r.kind) {
    case LearnedRecord::Kind::Said:
        predictor_.learn(r.phrases);
        history_.said(r.phrases, r.text, r.when);
        break;
    case LearnedRecord::Kind::Pinned:
    case LearnedRecord::Kind::Unpinned:
        history_.setPinned(MessageHistory::keyOf(r.phrases), r.kind == LearnedRecord::Kind::Pinned);
        break;
    case LearnedRecord::Kind::Removed:
        history_.remove(MessageHistory::keyOf(r.phrases));
        break;
    }
}

bool LearnedBase::add(const LearnedRecord &record) {
    if (fd_ < 0) {
        fd_ = openPrivateAppend(path_);
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_size == 0 &&
            appendWhole(fd_, learnedHeader()) != 0)
            close();
    }
    const int error = fd_ < 0 ? (errno ? errno : EIO) : appendWhole(fd_, learnedLine(record));
    if (error != 0) {
        qCWarning(lcPrediction) << "cannot write" << path_ << ":" << strerror(error);
        close();
        return false;
    }
    apply(record);
    return true;
}

QString LearnedBase::forget() {
    close();
    predictor_.forget();
    history_.clear();
    damaged_ = 0;
    if (QFileInfo::exists(path_) || QFileInfo(path_).isSymLink()) {
        if (!QFile::remove(path_))
            return QStringLiteral("« %1 » n'a pas pu être effacé.").arg(path_);
    }
    return {};
}

} // namespace tv
