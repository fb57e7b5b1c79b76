#include "SelectionFrame.h"

#include "platform/Colors.h"
#include "platform/Units.h"

#include <QPainter>

namespace tv {

SelectionFrame::SelectionFrame(double twipsPerPixelX, double twipsPerPixelY, QWidget *parent)
    : QWidget(parent), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {
    setObjectName(QStringLiteral("cadreSélection"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void SelectionFrame::setTwipsGeometry(int left, int top, int width, int height) {
    twips_ = QRect(left, top, width, height);
    setGeometry(twipsToScreenPixels(left, tppX_), twipsToScreenPixels(top, tppY_),
                twipsToScreenPixels(width, tppX_), twipsToScreenPixels(height, tppY_));
}

void SelectionFrame::setBorderWidth(int pixels) {
    borderWidth_ = pixels;
    update();
}

void SelectionFrame::setBorderColorValue(qint32 value) {
    borderColor_ = value;
    update();
}

void SelectionFrame::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QColor color = colorFromValue(borderColor_, palette());
    const int w = std::max(1, std::min({borderWidth_, width() / 2, height() / 2}));
    const QRect r = rect();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), color);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), color);
    painter.fillRect(QRect(r.left(), r.top(), w, r.height()), color);
    painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), color);
}

} // namespace tv
