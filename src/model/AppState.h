#pragma once

#include "model/PageModel.h"
#include "model/Settings.h"
#include "platform/ProgramPaths.h"
#include "platform/Units.h"

namespace tv {

// The state every window shares, for the whole run.
struct AppState {
    ProgramPaths paths;
    TwipsPerPixel tpp;
    Settings settings;
    PageModel page;

    // The picture the last press, step or command was about: what the picture menu and
    // the properties dialog act on.
    int currentImage = 0;

    // How the choice under way is being made, for the usage log: set by the way in that
    // makes it (scanning, the keyboard, dwell) just before the press, taken by the press.
    struct Choosing {
        QString access;      // empty: the mouse, or a screen reader
        qint64 delayMs = -1; // from the frame or the rest to the choice
    } choosing;
};

} // namespace tv
