#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

// Lines end with CR LF; LF alone and CR alone are accepted too. A final line ending does
// not add an empty line.
QStringList splitLines(const QString &text);

struct TextReadResult {
    bool ok = false;
    QStringList lines;
    QString error; // French, for the carer
};

// Every file the program reads is small: a page holds at most 51 lines.
inline constexpr qint64 kMaxTextFileBytes = 1024 * 1024;

// Reads a Windows-1252 text file; one larger than maxBytes is refused unread.
TextReadResult readTextLines(const QString &path, qint64 maxBytes = kMaxTextFileBytes);

struct TextWriteResult {
    bool ok = false;
    QString error; // French, for the carer
};

// Writes each line followed by CR LF in Windows-1252. The file is replaced only once the
// whole text is on disk, so a crash or a full disk leaves the former file whole. With
// mustStayIn, a path that really leads (through links) outside that directory is refused.
TextWriteResult writeTextLines(const QString &path, const QStringList &lines,
                               const QString &mustStayIn = {});

// Writes the bytes beside the file under a temporary name, makes sure they are on the disk,
// then puts them in its place; on any failure the former file is left as it was. Empty, or
// why it failed.
QString writeWholeFile(const QString &path, const QByteArray &bytes);

// Why a write failed (an errno value), in words a carer can act on.
QString reasonOf(int error);

// Writes a file that must not exist yet (never through a link): the name appears only once
// all the bytes are on the disk, so neither a full disk nor a killed program leaves a file
// cut short under it. 0, or the errno of the failure (EEXIST when the name is taken).
int writeNewFile(const QString &path, const QByteArray &bytes);

// Where the path really leads, when that is inside root (both through their links).
std::optional<QString> realTargetInside(const QString &path, const QString &root);

// A save cut short by a crash leaves "page_….dat.XXXXXX" or "Tablavox2.cfg.XXXXXX" behind.
bool isLeftoverOfASave(const QString &fileName);
// Removes those in the directory (and in its subdirectories, with below); how many.
int removeLeftoversOfSaves(const QString &directory, bool below);

} // namespace tv
