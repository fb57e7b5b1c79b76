#pragma once

#include "model/Settings.h"
#include "platform/Units.h"

#include <QGroupBox>
#include <functional>

namespace tv {

class Dialogs;

// A frame of the program properties dialog. Each lives beside the feature it sets (the
// switches with scanning, resting the pointer with dwell, the message with its strip); the
// dialog only places them. Controls are placed in twips inside the frame, as pages are.
class SettingsFrame : public QGroupBox {
    Q_OBJECT
public:
    SettingsFrame(const QString &caption, const QString &name, TwipsPerPixel tpp,
                  QWidget *parent = nullptr);

    // The controls from the settings, as opening the dialog shows them.
    virtual void fill(const Settings &settings) = 0;
    // The controls' values into what the dialog saves.
    virtual void edit(EditedSettings &edited) const = 0;

protected:
    QRect px(int left, int top, int width, int height) const;
    // Asks the carer `question`; on "Oui", does `act`, and if it says why it could not, tells
    // that after `failure`. Nothing happens without the answer.
    static void askThenDo(Dialogs &dialogs, const QString &question,
                          const std::function<QString()> &act, const QString &failure);

private:
    TwipsPerPixel tpp_;
};

} // namespace tv
