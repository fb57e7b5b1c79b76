#include "KeyRepeat.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace tv {

bool reportHeldKeysWithoutReleases() {
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display, True, &supported);
    XFlush(display);
    return supported == True;
}

} // namespace tv
