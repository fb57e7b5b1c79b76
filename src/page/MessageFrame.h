#pragma once

#include "page/SettingsFrame.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace tv {

class Dialogs;

// Whether phrases are gathered into a message, and said as they are added; whom "je" stands
// for, so that the words after it agree; the suggestions and "Déjà dit", and forgetting what
// they learned.
class MessageFrame : public SettingsFrame {
    Q_OBJECT
public:
    // `forget` forgets what was learned; why it could not, or empty.
    MessageFrame(TwipsPerPixel tpp, Dialogs &dialogs, std::function<QString()> forget,
                 QWidget *parent = nullptr);
    void fill(const Settings &settings) override;
    void edit(EditedSettings &edited) const override;

private:
    void forgetLearned();

    Dialogs &dialogs_;
    std::function<QString()> forget_;
    QCheckBox *chkBandeau_ = nullptr;
    QCheckBox *chkBandeauDire_ = nullptr;
    QComboBox *cboGenre_ = nullptr;
    QCheckBox *chkSuggestions_ = nullptr;
    QSpinBox *txtSuggestions_ = nullptr;
    QCheckBox *chkDejaDit_ = nullptr;
    QPushButton *cmdOublier_ = nullptr;
};

} // namespace tv
