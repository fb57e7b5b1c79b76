#include "MessageFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace tv {

MessageFrame::MessageFrame(TwipsPerPixel tpp, QWidget *parent)
    : SettingsFrame(QStringLiteral("Message"), QStringLiteral("Frame5"), tpp, parent) {
    chkBandeau_ = new QCheckBox(QStringLiteral("Bandeau de phrase"), this);
    chkBandeau_->setObjectName(QStringLiteral("chkBandeau"));
    chkBandeau_->setGeometry(px(120, 300, 3000, 350));
    chkBandeauDire_ = new QCheckBox(QStringLiteral("Dire chaque phrase ajoutée"), this);
    chkBandeauDire_->setObjectName(QStringLiteral("chkBandeauDire"));
    chkBandeauDire_->setGeometry(px(3200, 300, 3300, 350));
    auto *genre = new QLabel(QStringLiteral("Genre de la personne :"), this);
    genre->setGeometry(px(120, 800, 2400, 350));
    cboGenre_ = new QComboBox(this);
    cboGenre_->setObjectName(QStringLiteral("cboGenre"));
    cboGenre_->setAccessibleName(QStringLiteral("Genre de la personne"));
    cboGenre_->addItems({kGenderMasculine, kGenderFeminine});
    cboGenre_->setGeometry(px(2600, 760, 2000, 420));
    genre->setBuddy(cboGenre_);
    // Saying each phrase means something only with the strip on.
    connect(chkBandeau_, &QCheckBox::toggled, chkBandeauDire_, &QWidget::setEnabled);
}

void MessageFrame::fill(const Settings &s) {
    chkBandeau_->setChecked(s.sentenceBar);
    chkBandeauDire_->setChecked(s.sayEachPhrase);
    chkBandeauDire_->setEnabled(s.sentenceBar);
    cboGenre_->setCurrentText(s.personGender);
}

void MessageFrame::edit(EditedSettings &edited) const {
    edited.sentenceBar = chkBandeau_->isChecked();
    edited.sayEachPhrase = chkBandeauDire_->isChecked();
    edited.personGender = cboGenre_->currentText();
}

} // namespace tv
