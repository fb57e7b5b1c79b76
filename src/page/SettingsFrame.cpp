#include "SettingsFrame.h"

#include "platform/DialogParts.h"
#include "platform/Dialogs.h"

namespace tv {

SettingsFrame::SettingsFrame(const QString &caption, const QString &name, TwipsPerPixel tpp,
                             QWidget *parent)
    : QGroupBox(caption, parent), tpp_(tpp) {
    setObjectName(name);
}

QRect SettingsFrame::px(int left, int top, int width, int height) const {
    return twipsToPixels(tpp_, left, top, width, height);
}

void SettingsFrame::askThenDo(Dialogs &dialogs, const QString &question,
                              const std::function<QString()> &act, const QString &failure) {
    if (!act || dialogs.message(question, MessageIcon::Question, MessageButtons::YesNo) !=
                    MessageAnswer::Yes)
        return;
    if (const QString why = act(); !why.isEmpty())
        dialogs.message(failure + QStringLiteral("\r\n") + why, MessageIcon::Critical,
                        MessageButtons::Ok);
}

} // namespace tv
