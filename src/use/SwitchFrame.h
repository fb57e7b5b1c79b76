#pragma once

#include "page/SettingsFrame.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace tv {

// The person's switches: keys, timing filters, pattern, rounds, cues, adaptation, and the
// pace measured so far.
class SwitchFrame : public SettingsFrame {
    Q_OBJECT
public:
    // `paceReport`: the person's reaction times and the step time, in words for the carer.
    SwitchFrame(TwipsPerPixel tpp, std::function<QString()> paceReport, QWidget *parent = nullptr);
    void fill(const Settings &settings) override;
    void edit(EditedSettings &edited) const override;

private:
    std::function<QString()> paceReport_;
    QComboBox *cboTouche_ = nullptr, *cboAvance_ = nullptr, *cboMode_ = nullptr;
    QSpinBox *spinAcceptation_ = nullptr, *spinRelachement_ = nullptr, *spinTours_ = nullptr;
    QSpinBox *spinMin_ = nullptr, *spinMax_ = nullptr;
    QCheckBox *chkAnnonce_ = nullptr, *chkAdaptatif_ = nullptr;
    QLabel *lblReactions_ = nullptr;
};

} // namespace tv
