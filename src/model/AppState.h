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
};

} // namespace tv
