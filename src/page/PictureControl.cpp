#include "PictureControl.h"

#include "PictureCache.h"
#include "platform/Units.h"

#include <QMouseEvent>
#include <QPainter>

namespace tv {

PictureControl::PictureControl(int index, double twipsPerPixelX, double twipsPerPixelY,
                               QWidget *parent)
    : QWidget(parent), index_(index), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {
    setObjectName(QStringLiteral("Img"));
    setProperty("index", index);
    setMouseTracking(true);
}

void PictureControl::setTwipsGeometry(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    setGeometry(twipsToScreenPixels(left, tppX_), twipsToScreenPixels(top, tppY_),
                twipsToScreenPixels(width, tppX_), twipsToScreenPixels(height, tppY_));
    decodeAgainIfGrown();
}

QSize PictureControl::decodeSize() const {
    const QSize twipsSize(twipsToScreenPixels(width_, tppX_), twipsToScreenPixels(height_, tppY_));
    return (QSizeF(twipsSize) * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1));
}

void PictureControl::setSource(const QString &path, PictureCache *cache, const QImage &decoded) {
    source_ = path;
    cache_ = cache;
    pending_ = false;
    decodedFor_ = decodeSize();
    setPicture(decoded);
}

void PictureControl::setPending(const QString &path, PictureCache *cache) {
    source_ = path;
    cache_ = cache;
    pending_ = true;
    decodedFor_ = decodeSize();
    setPicture({});
}

void PictureControl::decodeAgainIfGrown() {
    const QSize wanted = decodeSize();
    // A picture decoded smaller than it was asked for is already at its full size.
    const bool canGrow = picture_.width() >= decodedFor_.width() - 1 &&
                         picture_.height() >= decodedFor_.height() - 1;
    if (!cache_ || source_.isEmpty() || !canGrow ||
        (wanted.width() <= decodedFor_.width() && wanted.height() <= decodedFor_.height()))
        return;
    const QImage sharper = cache_->load(source_, wanted);
    decodedFor_ = wanted;
    if (!sharper.isNull())
        setPicture(sharper);
}

void PictureControl::setPicture(const QImage &image) {
    picture_ = image;
    update();
}

void PictureControl::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (pending_) {
        // Its picture is on its way: a light patch marks the place without a flash of
        // the carer's placeholder.
        painter.fillRect(rect(), QColor(255, 255, 255, 90));
        return;
    }
    if (picture_.isNull()) {
        // A picture not yet given its image stays visible to the carer who placed it.
        if (index_ == 0)
            return;
        painter.fillRect(rect(), QColor(255, 255, 255, 150));
        painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    drawPicture(painter, rect(), picture_);
}

void drawPicture(QPainter &painter, const QRectF &target, const QImage &picture) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    painter.restore();
}

} // namespace tv

namespace tv {

void PictureControl::mousePressEvent(QMouseEvent *event) {
    event->accept();
    const QPointF at = event->position();
    emit pressed(index_, event->button(),
                 QPoint(screenPixelsToTwips(at.x(), tppX_), screenPixelsToTwips(at.y(), tppY_)));
}

void PictureControl::mouseMoveEvent(QMouseEvent *event) {
    // Not passed on: a move over a picture is no move over the page background.
    event->accept();
    emit hovered(index_);
}

} // namespace tv
