#include "DialogParts.h"

#include "Colors.h"

#include <QGroupBox>
#include <QPushButton>
#include <QWidget>

namespace tv {

QRect twipsToPixels(TwipsPerPixel tpp, int left, int top, int width, int height) {
    return {twipsToScreenPixels(left, tpp.x), twipsToScreenPixels(top, tpp.y),
            twipsToScreenPixels(width, tpp.x), twipsToScreenPixels(height, tpp.y)};
}

QPushButton *addButton(QWidget *parent, const QString &caption, const QString &name,
                       const QRect &pixels) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(pixels);
    b->setAutoDefault(false);
    return b;
}

QGroupBox *addFrame(QWidget *parent, const QString &caption, const QString &name,
                    const QRect &pixels) {
    auto *f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    f->setGeometry(pixels);
    return f;
}

void paintBackground(QWidget *widget, qint32 value) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colorFromValue(value, QPalette()));
    widget->setPalette(pal);
}

} // namespace tv
