#pragma once

#include "model/PageModel.h"
#include "model/Settings.h"
#include "platform/ProgramPaths.h"
#include "platform/Units.h"

#include <QPoint>

namespace tv {

// The state every window shares, for the whole run.
struct AppState {
    ProgramPaths paths;
    TwipsPerPixel tpp;
    Settings settings;
    PageModel page;

    int currentImage = 0;
    QString pointerMode;
    QPoint dragStart; // where the dragged picture was grabbed, twips inside it
    int scanIndex = 0;
    // Row-column scanning: the place in the row entered, -1 while the rows are scanned.
    int scanInRow = -1;
    bool hoveredImage = false;
};

} // namespace tv
