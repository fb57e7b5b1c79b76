#pragma once

#include <QWidget>

namespace tv {

// The rectangle outline that shows which picture is selected. It never takes the mouse:
// presses go to the picture underneath.
class SelectionFrame : public QWidget {
    Q_OBJECT
public:
    SelectionFrame(double twipsPerPixelX, double twipsPerPixelY, QWidget *parent = nullptr);

    // Place and size in twips, kept exactly; only the drawing is rounded to pixels.
    void setTwipsGeometry(int left, int top, int width, int height);
    QRect twipsGeometry() const { return twips_; }

    void setBorderWidth(int pixels);
    int borderWidth() const { return borderWidth_; }
    void setBorderColorValue(qint32 value);
    qint32 borderColorValue() const { return borderColor_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double tppX_, tppY_;
    QRect twips_;
    int borderWidth_ = 1;
    qint32 borderColor_ = 255;
};

} // namespace tv
