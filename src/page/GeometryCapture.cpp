#include "GeometryCapture.h"

#include "MainWindow.h"
#include "PictureControl.h"
#include "model/AppState.h"

#include <algorithm>

namespace tv {

namespace {
qint16 to16(int twips) {
    return qint16(std::clamp(twips, -32768, 32767));
}
} // namespace

void affecteValeursTouche(AppState &state, const MainWindow &window) {
    const PictureControl *control = window.pictureAt(state.currentImage);
    if (!control)
        return;
    ImageRecord &r = state.page.imageTable[std::size_t(state.currentImage)];
    r.left = to16(control->leftTwips());
    r.top = to16(control->topTwips());
    r.width = to16(control->widthTwips());
    r.height = to16(control->heightTwips());
}

} // namespace tv
