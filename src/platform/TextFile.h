#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// Lines end with CR LF; LF alone and CR alone are accepted too. A final line ending does
// not add an empty line.
QStringList splitLines(const QString &text);

struct TextReadResult {
    bool ok = false;
    QStringList lines;
    QString error; // French, for the carer
};

// Reads a Windows-1252 text file.
TextReadResult readTextLines(const QString &path);

struct TextWriteResult {
    bool ok = false;
    QString error; // French, for the carer
};

// Writes each line followed by CR LF in Windows-1252. The file is replaced only once the
// whole text is on disk, so a crash or a full disk leaves the former file whole.
TextWriteResult writeTextLines(const QString &path, const QStringList &lines);

} // namespace tv
