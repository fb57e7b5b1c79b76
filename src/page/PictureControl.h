#pragma once

#include <QImage>
#include <QWidget>

class QPainter;

namespace tv {

class PictureCache;

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
    QRect twipsRect() const { return {left_, top_, width_, height_}; }
    void setTwipsRect(const QRect &r) { setTwipsGeometry(r.x(), r.y(), r.width(), r.height()); }

    // The action text, read when the picture is pressed.
    QString tag() const { return tag_; }
    void setTag(const QString &tag) { tag_ = tag; }

    // Shows the picture file, decoded at the control's size; decoded again, sharper, when
    // the control grows past the size it was decoded at.
    void setSource(const QString &path, PictureCache *cache, const QImage &decoded);
    // The picture file is being decoded: the place is shown, and pressing it acts already.
    void setPending(const QString &path, PictureCache *cache);
    bool isPending() const { return pending_; }
    void setPicture(const QImage &image);
    const QImage &picture() const { return picture_; }
    QString sourcePath() const { return source_; }

    // The size in device pixels that a picture should be decoded at for this control.
    QSize decodeSize() const;

signals:
    // A mouse button went down on the picture, at a point inside it (twips).
    void pressed(int index, Qt::MouseButton button, QPoint twipsInside);
    // The pointer moved over the picture.
    void hovered(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void decodeAgainIfGrown();

    int index_;
    double tppX_, tppY_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    QString tag_;
    QImage picture_;
    QString source_;
    PictureCache *cache_ = nullptr;
    QSize decodedFor_;
    bool pending_ = false;
};

// How a picture's image is drawn into its place, on the screen and on paper alike.
void drawPicture(QPainter &painter, const QRectF &target, const QImage &picture);

} // namespace tv
