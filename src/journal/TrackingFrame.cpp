#include "TrackingFrame.h"

#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QPushButton>

namespace tv {

TrackingFrame::TrackingFrame(TwipsPerPixel tpp, Dialogs &dialogs, std::function<QString()> erase,
                             QWidget *parent)
    : SettingsFrame(QStringLiteral("Suivi"), QStringLiteral("FrameSuivi"), tpp, parent),
      dialogs_(dialogs), erase_(std::move(erase)) {
    chkJournal_ = new QCheckBox(QStringLiteral("Noter l'utilisation"), this);
    chkJournal_->setObjectName(QStringLiteral("chkJournal"));
    chkJournal_->setGeometry(px(120, 320, 2900, 350));
    cmdEffacerJournal_ = new QPushButton(QStringLiteral("Effacer le journal"), this);
    cmdEffacerJournal_->setObjectName(QStringLiteral("cmdEffacerJournal"));
    cmdEffacerJournal_->setGeometry(px(3200, 260, 2600, 450));
    connect(cmdEffacerJournal_, &QPushButton::clicked, this, &TrackingFrame::eraseLog);
}

void TrackingFrame::fill(const Settings &s) {
    chkJournal_->setChecked(s.usageLog);
}

void TrackingFrame::edit(EditedSettings &edited) const {
    edited.usageLog = chkJournal_->isChecked();
}

void TrackingFrame::eraseLog() {
    askThenDo(dialogs_,
              QStringLiteral("Effacer tout ce qui a été noté de l'utilisation ?\r\n"
                             "Le rapport ne pourra plus le montrer."),
              erase_, QStringLiteral("Le journal n'a pas été effacé."));
}

} // namespace tv
