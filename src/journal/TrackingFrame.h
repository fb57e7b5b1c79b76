#pragma once

#include "page/SettingsFrame.h"

#include <functional>

class QCheckBox;
class QPushButton;

namespace tv {

class Dialogs;

// "Suivi": whether what the person chooses is noted for the therapist, and forgetting it.
class TrackingFrame : public SettingsFrame {
    Q_OBJECT
public:
    // `erase` removes the log and says why it could not, or returns empty.
    TrackingFrame(TwipsPerPixel tpp, Dialogs &dialogs, std::function<QString()> erase,
                  QWidget *parent = nullptr);
    void fill(const Settings &settings) override;
    void edit(EditedSettings &edited) const override;

private:
    void eraseLog();

    Dialogs &dialogs_;
    std::function<QString()> erase_;
    QCheckBox *chkJournal_ = nullptr;
    QPushButton *cmdEffacerJournal_ = nullptr;
};

} // namespace tv
