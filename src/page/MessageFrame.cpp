#include "MessageFrame.h"

#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace tv {

MessageFrame::MessageFrame(TwipsPerPixel tpp, Dialogs &dialogs, std::function<QString()> forget,
                           QWidget *parent)
    : SettingsFrame(QStringLiteral("Message"), QStringLiteral("Frame5"), tpp, parent),
      dialogs_(dialogs), forget_(std::move(forget)) {
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

    chkSuggestions_ = new QCheckBox(QStringLiteral("Suggestions"), this);
    chkSuggestions_->setObjectName(QStringLiteral("chkSuggestions"));
    chkSuggestions_->setGeometry(px(120, 1340, 2400, 350));
    txtSuggestions_ = new QSpinBox(this);
    txtSuggestions_->setObjectName(QStringLiteral("txtSuggestions"));
    txtSuggestions_->setAccessibleName(QStringLiteral("Nombre de suggestions"));
    txtSuggestions_->setRange(0, 8);
    txtSuggestions_->setGeometry(px(2600, 1300, 1000, 420));
    chkDejaDit_ = new QCheckBox(QStringLiteral("Déjà dit"), this);
    chkDejaDit_->setObjectName(QStringLiteral("chkDéjàDit"));
    chkDejaDit_->setGeometry(px(3900, 1340, 2500, 350));
    cmdOublier_ = new QPushButton(QStringLiteral("Oublier ce qui a été appris"), this);
    cmdOublier_->setObjectName(QStringLiteral("cmdOublier"));
    cmdOublier_->setGeometry(px(120, 1880, 4500, 450));
    connect(cmdOublier_, &QPushButton::clicked, this, &MessageFrame::forgetLearned);

    // Saying each phrase, suggesting and keeping messages mean something only with the strip.
    for (QWidget *w :
         {static_cast<QWidget *>(chkBandeauDire_), static_cast<QWidget *>(chkSuggestions_),
          static_cast<QWidget *>(txtSuggestions_), static_cast<QWidget *>(chkDejaDit_)})
        connect(chkBandeau_, &QCheckBox::toggled, w, &QWidget::setEnabled);
}

void MessageFrame::fill(const Settings &s) {
    chkBandeau_->setChecked(s.sentenceBar);
    chkBandeauDire_->setChecked(s.sayEachPhrase);
    cboGenre_->setCurrentText(s.personGender);
    chkSuggestions_->setChecked(s.prediction);
    txtSuggestions_->setValue(s.predictionCount);
    chkDejaDit_->setChecked(s.alreadySaid);
    for (QWidget *w :
         {static_cast<QWidget *>(chkBandeauDire_), static_cast<QWidget *>(chkSuggestions_),
          static_cast<QWidget *>(txtSuggestions_), static_cast<QWidget *>(chkDejaDit_)})
        w->setEnabled(s.sentenceBar);
}

void MessageFrame::edit(EditedSettings &edited) const {
    edited.sentenceBar = chkBandeau_->isChecked();
    edited.sayEachPhrase = chkBandeauDire_->isChecked();
    edited.personGender = cboGenre_->currentText();
    edited.prediction = chkSuggestions_->isChecked();
    edited.predictionCount = txtSuggestions_->value();
    edited.alreadySaid = chkDejaDit_->isChecked();
}

void MessageFrame::forgetLearned() {
    askThenDo(dialogs_,
              QStringLiteral("Oublier tous les messages dits et ce que les suggestions en ont "
                             "appris ?"),
              forget_, QStringLiteral("Ce qui a été appris n'a pas été oublié."));
}

} // namespace tv
