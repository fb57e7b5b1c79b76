#include "GeometryCapture.h"

#include "MainWindow.h"
#include "PictureControl.h"
#include "app/AppState.h"

#include <algorithm>

namespace tv {

namespace {
qint16 to16(int twips) {
    return qint16(std::clamp(twips, -32768, 32767));
}
} // namespace

void affecteValeursTouche(AppState &state, const MainWindow &window) {
    const int n = state.currentImage;
    if (n < 1 || n > kMaxImages)
        return;
    const PictureControl *control = window.pictureAt(n);
    if (!control)
        return;
    ImageRecord &r = state.page.imageTable[std::size_t(n)];
    r.left = to16(control->leftTwips());
    r.top = to16(control->topTwips());
    r.width = to16(control->widthTwips());
    r.height = to16(control->heightTwips());
}

} // namespace tv
