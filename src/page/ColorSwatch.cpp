#include "ColorSwatch.h"

#include "platform/Colors.h"

#include <QMouseEvent>

namespace tv {

void paintBackground(QWidget *widget, qint32 value) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colorFromValue(value, QPalette()));
    widget->setPalette(pal);
}

ColorSwatch::ColorSwatch(qint32 value, const QString &objectName, QWidget *parent)
    : QLabel(parent), value_(value) {
    setObjectName(objectName);
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
    paintBackground(this, value);
}

void ColorSwatch::setValue(qint32 value) {
    value_ = value;
    paintBackground(this, value);
}

void ColorSwatch::mousePressEvent(QMouseEvent *event) {
    event->accept();
    emit clicked(value_);
}

} // namespace tv
