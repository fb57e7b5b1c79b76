#pragma once

#include <QWidget>

namespace tv {

// A rectangle outline drawn over the page, in twips: the picture being dragged or
// stretched. It never takes the mouse.
class Outline : public QWidget {
    Q_OBJECT
public:
    Outline(double twipsPerPixelX, double twipsPerPixelY, QWidget *parent);

    // From one corner to the other, in either order.
    void setCorners(QPoint a, QPoint b);
    void setTwipsRect(const QRect &twips) {
        setCorners(twips.topLeft(), twips.topLeft() + QPoint(twips.width(), twips.height()));
    }
    QRect twipsRect() const { return twips_; }
    void setColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double tppX_, tppY_;
    QRect twips_;
    QColor color_ = Qt::black;
};

} // namespace tv
