#pragma once

#include <QImage>
#include <QWidget>

namespace tv {

// One picture of the page. Place and size are held in twips, exactly as the page model
// has them; only the widget's pixel geometry is rounded.
class PictureControl : public QWidget {
    Q_OBJECT
public:
    PictureControl(int index, double twipsPerPixelX, double twipsPerPixelY,
                   QWidget *parent = nullptr);

    int index() const { return index_; }

    void setTwipsGeometry(int left, int top, int width, int height);
    int leftTwips() const { return left_; }
    int topTwips() const { return top_; }
    int widthTwips() const { return width_; }
    int heightTwips() const { return height_; }

    // The action text, read when the picture is pressed.
    QString tag() const { return tag_; }
    void setTag(const QString &tag) { tag_ = tag; }

    void setPicture(const QImage &image);
    const QImage &picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int index_;
    double tppX_, tppY_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    QString tag_;
    QImage picture_;
};

} // namespace tv
