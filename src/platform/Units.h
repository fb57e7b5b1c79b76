#pragma once

#include <cmath>

namespace tv {

// Twips are 1/1440 inch. Models keep twips; only drawing rounds to pixels.
inline double twipsPerPixelForDpi(double logicalDpi) {
    return 1440.0 / logicalDpi;
}

// What the files hold: pixels rounded down.
inline int twipsToFilePixels(double twips, double twipsPerPixel) {
    return int(std::floor(twips / twipsPerPixel));
}

// Where drawing puts a twips value on the screen.
inline int twipsToScreenPixels(double twips, double twipsPerPixel) {
    return int(std::lround(twips / twipsPerPixel));
}

// A position on the screen, in pixels, as twips.
inline int screenPixelsToTwips(double pixels, double twipsPerPixel) {
    return int(std::lround(pixels * twipsPerPixel));
}

struct TwipsPerPixel {
    double x = 15.0;
    double y = 15.0;
};

// The primary screen's factors; 15 × 15 when there is no screen.
TwipsPerPixel screenTwipsPerPixel();

} // namespace tv
