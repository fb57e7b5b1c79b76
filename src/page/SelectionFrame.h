#pragma once

#include <QWidget>

namespace tv {

// The rectangle outline that shows which picture is selected. It never takes the mouse:
// presses go to the picture underneath.
class SelectionFrame : public QWidget {
    Q_OBJECT
public:
    explicit SelectionFrame(QWidget *parent = nullptr);

    void setBorderWidth(int pixels);
    int borderWidth() const { return borderWidth_; }
    void setBorderColorValue(qint32 value);
    qint32 borderColorValue() const { return borderColor_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int borderWidth_ = 1;
    qint32 borderColor_ = 255;
};

} // namespace tv
