#pragma once

#include "page/SettingsFrame.h"

class QCheckBox;
class QComboBox;

namespace tv {

// Whether phrases are gathered into a message, and said as they are added; whom "je" stands
// for, so that the words after it agree.
class MessageFrame : public SettingsFrame {
    Q_OBJECT
public:
    explicit MessageFrame(TwipsPerPixel tpp, QWidget *parent = nullptr);
    void fill(const Settings &settings) override;
    void edit(EditedSettings &edited) const override;

private:
    QCheckBox *chkBandeau_ = nullptr;
    QCheckBox *chkBandeauDire_ = nullptr;
    QComboBox *cboGenre_ = nullptr;
};

} // namespace tv
