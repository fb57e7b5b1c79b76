#include "PictureControl.h"

#include "platform/Units.h"

#include <QPainter>

namespace tv {

PictureControl::PictureControl(int index, double twipsPerPixelX, double twipsPerPixelY,
                               QWidget *parent)
    : QWidget(parent), index_(index), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {
    setObjectName(QStringLiteral("Img"));
    setProperty("index", index);
}

void PictureControl::setTwipsGeometry(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    setGeometry(twipsToScreenPixels(left, tppX_), twipsToScreenPixels(top, tppY_),
                twipsToScreenPixels(width, tppX_), twipsToScreenPixels(height, tppY_));
}

void PictureControl::setPicture(const QImage &image) {
    picture_ = image;
    update();
}

void PictureControl::paintEvent(QPaintEvent *) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
}

} // namespace tv
