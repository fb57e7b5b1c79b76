#include "Units.h"

#include <QGuiApplication>
#include <QScreen>

namespace tv {

TwipsPerPixel screenTwipsPerPixel() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || screen->logicalDotsPerInchX() <= 0 || screen->logicalDotsPerInchY() <= 0)
        return {};
    return {twipsPerPixelForDpi(screen->logicalDotsPerInchX()),
            twipsPerPixelForDpi(screen->logicalDotsPerInchY())};
}

} // namespace tv
