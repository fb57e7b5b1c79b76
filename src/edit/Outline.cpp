#include "Outline.h"

#include "platform/Units.h"

#include <QPainter>

namespace tv {

Outline::Outline(double twipsPerPixelX, double twipsPerPixelY, QWidget *parent)
    : QWidget(parent), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {
    setObjectName(QStringLiteral("outline"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void Outline::setCorners(QPoint a, QPoint b) {
    twips_ = QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                   QSize(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())));
    const int l = twipsToScreenPixels(twips_.x(), tppX_);
    const int t = twipsToScreenPixels(twips_.y(), tppY_);
    setGeometry(l, t, std::max(1, twipsToScreenPixels(twips_.width(), tppX_) + 1),
                std::max(1, twipsToScreenPixels(twips_.height(), tppY_) + 1));
    raise();
}

void Outline::setColor(const QColor &color) {
    color_ = color;
    update();
}

void Outline::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(color_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace tv
