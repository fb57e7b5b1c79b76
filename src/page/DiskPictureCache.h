#pragma once

#include <QImage>
#include <QMutex>
#include <QSize>
#include <QString>

namespace tv {

// What tells one version of a picture file from another. The inode and the status-change
// time change when a file is replaced, even by one of the same size and modification time
// (a copy that keeps its dates), so a replaced picture is never taken for the old one.
struct FileStamp {
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 inode = 0;
    bool exists() const { return size >= 0; }
    bool operator==(const FileStamp &) const = default;
};
FileStamp stampOf(const QString &path);

// Pictures decoded at the size they are shown, kept as small files from one run to the
// next so that a page seen before never waits for its originals to be decoded again.
// Safe from every thread. Whatever goes wrong with the directory (not writable, a file
// damaged or cut short, the disk full) only means the picture is decoded again.
class DiskPictureCache {
public:
    explicit DiskPictureCache(QString directory, qint64 maxBytes = 256LL * 1024 * 1024);

    // The user's cache directory by the desktop conventions ($XDG_CACHE_HOME, else
    // ~/.cache), never the program's own data directories.
    static QString standardDirectory();

    // The picture as stored for this file version and size; null when there is none, or
    // when what is stored is damaged or was made from an earlier version of the file
    // (it is then removed, with the other sizes of that earlier version).
    QImage find(const QString &path, const FileStamp &stamp, const QSize &size);
    // Keeps the picture; oldest used files go first when the bound is passed.
    void store(const QString &path, const FileStamp &stamp, const QSize &size, const QImage &image);

    QString directory() const { return directory_; }
    // The file that holds (or would hold) this picture at this size.
    QString fileFor(const QString &path, const QSize &size) const;
    // Bytes of the cache files, as counted when they were last listed and written.
    qint64 bytes();

private:
    void countFilesLocked();
    void trimLocked();
    void removeVersionsOf(const QString &path);

    QString directory_;
    qint64 maxBytes_;
    QMutex mutex_;
    qint64 bytes_ = 0;
    bool counted_ = false;
    bool unusable_ = false;
};

} // namespace tv
