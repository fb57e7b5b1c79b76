#pragma once

#include "Units.h"

#include <QColor>
#include <QRect>
#include <QString>

class QGroupBox;
class QPushButton;
class QWidget;

namespace tv {

// Dialog controls are placed in twips, as the pages are; this gives their pixel rectangle.
QRect twipsToPixels(TwipsPerPixel tpp, int left, int top, int width, int height);

// A push button that a press of Enter elsewhere in the dialog never sets off.
QPushButton *addButton(QWidget *parent, const QString &caption, const QString &name,
                       const QRect &pixels);
QGroupBox *addFrame(QWidget *parent, const QString &caption, const QString &name,
                    const QRect &pixels);

// Fills the widget's background with a colour value; a system colour reference is drawn in
// the colour the system gives it. Text drawn on it takes the colour that reads best there.
void paintBackground(QWidget *widget, qint32 value);
// Black or white, whichever reads on that background.
QColor readableTextOn(qint32 value);

} // namespace tv
