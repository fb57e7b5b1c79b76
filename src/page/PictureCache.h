#pragma once

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

// Recently shown pictures, by file, size and modification time, so that going back to a
// page does not decode its pictures again. Holds at most maxBytes of pixels.
class PictureCache {
public:
    explicit PictureCache(qint64 maxBytes = 128 * 1024 * 1024);

    struct Request {
        QString path;
        QSize size;
    };

    // One image per request, in order; what is not cached is decoded on every core.
    QList<QImage> load(const QList<Request> &requests);
    QImage load(const QString &path, const QSize &size);

    qint64 bytes() const { return bytes_; }
    void clear();

private:
    struct Key {
        QString path;
        QSize size;
        qint64 modified = 0;
        qint64 fileSize = 0;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) {
        return qHashMulti(seed, key.path, key.size.width(), key.size.height(), key.modified,
                          key.fileSize);
    }
    static Key keyFor(const Request &request);
    void insert(const Key &key, const QImage &image);

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
