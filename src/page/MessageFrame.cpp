#include "MessageFrame.h"

#include <QCheckBox>

namespace tv {

MessageFrame::MessageFrame(TwipsPerPixel tpp, QWidget *parent)
    : SettingsFrame(QStringLiteral("Message"), QStringLiteral("Frame5"), tpp, parent) {
    chkBandeau_ = new QCheckBox(QStringLiteral("Bandeau de phrase"), this);
    chkBandeau_->setObjectName(QStringLiteral("chkBandeau"));
    chkBandeau_->setGeometry(px(120, 300, 3000, 350));
    chkBandeauDire_ = new QCheckBox(QStringLiteral("Dire chaque phrase ajoutée"), this);
    chkBandeauDire_->setObjectName(QStringLiteral("chkBandeauDire"));
    chkBandeauDire_->setGeometry(px(3200, 300, 3300, 350));
    // Saying each phrase means something only with the strip on.
    connect(chkBandeau_, &QCheckBox::toggled, chkBandeauDire_, &QWidget::setEnabled);
}

void MessageFrame::fill(const Settings &s) {
    chkBandeau_->setChecked(s.sentenceBar);
    chkBandeauDire_->setChecked(s.sayEachPhrase);
    chkBandeauDire_->setEnabled(s.sentenceBar);
}

void MessageFrame::edit(EditedSettings &edited) const {
    edited.sentenceBar = chkBandeau_->isChecked();
    edited.sayEachPhrase = chkBandeauDire_->isChecked();
}

} // namespace tv
