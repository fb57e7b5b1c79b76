#pragma once

#include "DiskPictureCache.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <list>

namespace tv {

// No photograph has more; a picture above it cannot be shown.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

// Decodes a picture file at the size it is shown (JPEG files decode scaled, which is far
// cheaper than a full decode), turned upright as the camera recorded it. Null when the
// file is not a picture that can be read.
QImage decodePicture(const QString &path, const QSize &size);
// From its header alone: a picture of a kind that can be read and of a size that can be shown.
bool looksLikePicture(const QString &path);

// Recently shown pictures, by file, version and size, so that going back to a page does not
// decode its pictures again. Holds at most maxBytes of pixels. Used from the main thread;
// `produce` is the part that may run anywhere.
class PictureCache {
public:
    explicit PictureCache(qint64 maxBytes = 128 * 1024 * 1024);

    struct Request {
        QString path;
        QSize size;
    };

    // Pictures not held in memory are looked for on disk before being decoded, and kept
    // there once decoded. None by default (the tests' pictures stay out of the user's cache).
    void setDisk(DiskPictureCache *disk) { disk_ = disk; }
    DiskPictureCache *disk() const { return disk_; }

    // One image per request, in order; what is not cached is decoded on every core.
    QList<QImage> load(const QList<Request> &requests);
    QImage load(const QString &path, const QSize &size);

    // The picture if it is held in memory for this version of the file; null otherwise.
    QImage cached(const Request &request, const FileStamp &stamp);
    // Held in memory from now on (a picture decoded elsewhere).
    void keep(const Request &request, const FileStamp &stamp, const QImage &image);
    // The picture from the disk cache, or decoded from its file (and then stored on disk).
    // Safe from any thread.
    static QImage produce(DiskPictureCache *disk, const Request &request, const FileStamp &stamp);

    qint64 bytes() const { return bytes_; }
    void clear();

private:
    struct Key {
        QString path;
        QSize size;
        FileStamp stamp;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) {
        return qHashMulti(seed, key.path, key.size.width(), key.size.height(), key.stamp.modifiedNs,
                          key.stamp.changedNs, key.stamp.size, key.stamp.inode);
    }
    void insert(const Key &key, const QImage &image);

    DiskPictureCache *disk_ = nullptr;
    qint64 maxBytes_;
    qint64 bytes_ = 0;
    std::list<Key> order_; // most recently used first
    struct Entry {
        QImage image;
        std::list<Key>::iterator position;
    };
    QHash<Key, Entry> entries_;
};

} // namespace tv
