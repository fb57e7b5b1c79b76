#include "ColorSwatch.h"

#include "platform/DialogParts.h"

#include <QMouseEvent>

namespace tv {

ColorSwatch::ColorSwatch(qint32 value, const QString &objectName, QWidget *parent)
    : QLabel(parent), value_(value) {
    setObjectName(objectName);
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
    paintBackground(this, value);
}

void ColorSwatch::mousePressEvent(QMouseEvent *event) {
    event->accept();
    emit clicked(value_);
}

} // namespace tv
