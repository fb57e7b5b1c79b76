#include "SettingsFrame.h"

#include "platform/DialogParts.h"

namespace tv {

SettingsFrame::SettingsFrame(const QString &caption, const QString &name, TwipsPerPixel tpp,
                             QWidget *parent)
    : QGroupBox(caption, parent), tpp_(tpp) {
    setObjectName(name);
}

QRect SettingsFrame::px(int left, int top, int width, int height) const {
    return twipsToPixels(tpp_, left, top, width, height);
}

} // namespace tv
