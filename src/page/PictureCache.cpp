#include "PictureCache.h"

#include <QFileInfo>
#include <QImageReader>
#include <QtConcurrent>

namespace tv {

QImage decodePicture(const QString &path, const QSize &size) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // Ask for the stored orientation's size so that the upright picture fits the control.
    QSize target = size;
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        target.transpose();
    const QSize full = reader.size();
    // A picture that claims to be absurdly large (a hostile file) is not decoded at all: even
    // at a reduced size its decoding would hold the page for seconds.
    if (full.isValid() && qint64(full.width()) * full.height() > kMaxPicturePixels)
        return {};
    if (target.isValid() && !target.isEmpty() && full.isValid() &&
        (full.width() > target.width() || full.height() > target.height()))
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image;
}

bool looksLikePicture(const QString &path) {
    QImageReader reader(path);
    if (!reader.canRead())
        return false;
    const QSize full = reader.size();
    return !full.isValid() || qint64(full.width()) * full.height() <= kMaxPicturePixels;
}

PictureCache::PictureCache(qint64 maxBytes) : maxBytes_(maxBytes) {
}

QImage PictureCache::cached(const Request &request, const FileStamp &stamp) {
    const auto found = entries_.find(Key{request.path, request.size, stamp});
    if (found == entries_.end())
        return {};
    order_.splice(order_.begin(), order_, found->position);
    return found->image;
}

void PictureCache::keep(const Request &request, const FileStamp &stamp, const QImage &image) {
    if (!image.isNull() && stamp.exists())
        insert(Key{request.path, request.size, stamp}, image);
}

QImage PictureCache::produce(DiskPictureCache *disk, const Request &request,
                             const FileStamp &stamp) {
    if (disk && stamp.exists()) {
        QImage stored = disk->find(request.path, stamp, request.size);
        if (!stored.isNull())
            return stored;
    }
    QImage image = decodePicture(request.path, request.size);
    // A file that changed while it was read is not kept under the version read before.
    if (disk && !image.isNull() && stampOf(request.path) == stamp)
        disk->store(request.path, stamp, request.size, image);
    return image;
}

QList<QImage> PictureCache::load(const QList<Request> &requests) {
    QList<QImage> images(requests.size());
    QList<FileStamp> stamps;
    QList<int> toDecode;
    for (int i = 0; i < requests.size(); ++i) {
        stamps << stampOf(requests[i].path);
        images[i] = cached(requests[i], stamps[i]);
        if (images[i].isNull())
            toDecode << i;
    }
    DiskPictureCache *disk = disk_;
    const QList<QImage> decoded =
        QtConcurrent::blockingMapped(toDecode, [&requests, &stamps, disk](int i) {
            return produce(disk, requests[i], stamps[i]);
        });
    for (int k = 0; k < toDecode.size(); ++k) {
        const int i = toDecode[k];
        images[i] = decoded[k];
        keep(requests[i], stamps[i], decoded[k]);
    }
    return images;
}

QImage PictureCache::load(const QString &path, const QSize &size) {
    return load(QList<Request>{{path, size}}).value(0);
}

void PictureCache::insert(const Key &key, const QImage &image) {
    const qint64 cost = image.sizeInBytes();
    if (cost > maxBytes_ || entries_.contains(key))
        return;
    while (bytes_ + cost > maxBytes_ && !order_.empty()) {
        const auto last = entries_.find(order_.back());
        bytes_ -= last->image.sizeInBytes();
        entries_.erase(last);
        order_.pop_back();
    }
    order_.push_front(key);
    entries_.insert(key, {image, order_.begin()});
    bytes_ += cost;
}

void PictureCache::clear() {
    entries_.clear();
    order_.clear();
    bytes_ = 0;
}

} // namespace tv
