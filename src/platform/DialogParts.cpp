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

QColor readableTextOn(qint32 value) {
    const QColor back = colorFromValue(value, QPalette());
    // Relative luminance: dark backgrounds take white text, light ones black.
    const double luminance = 0.2126 * back.redF() + 0.7152 * back.greenF() + 0.0722 * back.blueF();
    return luminance < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

void paintBackground(QWidget *widget, qint32 value) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colorFromValue(value, QPalette()));
    // Titles, labels and captions drawn on it stay readable whatever the colour.
    pal.setColor(QPalette::WindowText, readableTextOn(value));
    widget->setPalette(pal);
}

} // namespace tv
