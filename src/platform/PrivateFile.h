#pragma once

#include <QByteArray>
#include <QString>

namespace tv {

// Files of what is noted or learned about the person: theirs alone (0600, in a directory
// 0700), never reached through a link planted in their directory, and written a whole
// record at a time, so that a kill -9 leaves every record before it whole.

// Opens `path` for appending, making its directory; -1 (errno set) when it cannot.
int openPrivateAppend(const QString &path);
// Writes all of `bytes` at the end of the file, or puts the file back as it was (a record
// cut by a full disk would be a damaged one): 0, or the errno of the failure.
int appendWhole(int fd, const QByteArray &bytes);

// The text in Windows-1252; a character the code page lacks (an emoji) becomes "?" rather
// than losing the record.
QByteArray encodedForRecord(const QString &text);

} // namespace tv
