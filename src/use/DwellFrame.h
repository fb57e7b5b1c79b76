#pragma once

#include "page/SettingsFrame.h"

class QCheckBox;
class QSpinBox;

namespace tv {

// Choosing by resting the pointer: how long, how still, and whether again.
class DwellFrame : public SettingsFrame {
    Q_OBJECT
public:
    explicit DwellFrame(TwipsPerPixel tpp, QWidget *parent = nullptr);
    void fill(const Settings &settings) override;
    void edit(EditedSettings &edited) const override;

private:
    QSpinBox *spinPointageDelai_ = nullptr, *spinPointageTolerance_ = nullptr;
    QCheckBox *chkPointageRepete_ = nullptr;
};

} // namespace tv
