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

PictureCache::PictureCache(qint64 maxBytes) : maxBytes_(maxBytes) {
}

PictureCache::Key PictureCache::keyFor(const Request &request) {
    const QFileInfo info(request.path);
    return {request.path, request.size, info.lastModified().toMSecsSinceEpoch(), info.size()};
}

QList<QImage> PictureCache::load(const QList<Request> &requests) {
    QList<QImage> images(requests.size());
    QList<Key> keys;
    QList<int> toDecode;
    for (int i = 0; i < requests.size(); ++i) {
        const Key key = keyFor(requests[i]);
        keys << key;
        const auto found = entries_.find(key);
        if (found != entries_.end()) {
            images[i] = found->image;
            order_.splice(order_.begin(), order_, found->position);
        } else {
            toDecode << i;
        }
    }
    const QList<QImage> decoded = QtConcurrent::blockingMapped(
        toDecode, [&requests](int i) { return decodePicture(requests[i].path, requests[i].size); });
    for (int k = 0; k < toDecode.size(); ++k) {
        const int i = toDecode[k];
        images[i] = decoded[k];
        if (!decoded[k].isNull())
            insert(keys[i], decoded[k]);
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
