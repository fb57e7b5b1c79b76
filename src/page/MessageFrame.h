#pragma once

#include "page/SettingsFrame.h"

class QCheckBox;

namespace tv {

// Whether phrases are gathered into a message, and said as they are added.
class MessageFrame : public SettingsFrame {
    Q_OBJECT
public:
    explicit MessageFrame(TwipsPerPixel tpp, QWidget *parent = nullptr);
    void fill(const Settings &settings) override;
    void edit(EditedSettings &edited) const override;

private:
    QCheckBox *chkBandeau_ = nullptr;
    QCheckBox *chkBandeauDire_ = nullptr;
};

} // namespace tv
