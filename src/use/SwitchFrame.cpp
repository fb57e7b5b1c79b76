#include "SwitchFrame.h"

#include "model/SettingKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

namespace tv {

SwitchFrame::SwitchFrame(TwipsPerPixel tpp, std::function<QString()> paceReport, QWidget *parent)
    : SettingsFrame(QStringLiteral("Contacteur"), QStringLiteral("Frame6"), tpp, parent),
      paceReport_(std::move(paceReport)) {
    QWidget *frame = this;
    int top = 300;
    const auto row = [&](const QString &caption, QWidget *control) {
        auto *label = new QLabel(caption, frame);
        label->setGeometry(px(120, top, 3300, 350));
        control->setParent(frame);
        control->setGeometry(px(3500, top - 40, 2300, 420));
        // A screen reader says what the row's label says.
        control->setAccessibleName(QString(caption).remove(QStringLiteral(" :")));
        top += 560;
    };
    const auto keyChoice = [](const QString &name) {
        auto *combo = new QComboBox;
        combo->setObjectName(name);
        // A switch interface sends one of these, or a key the carer types in.
        combo->addItems({QString(), QStringLiteral("espace"), QStringLiteral("entrée")});
        combo->setEditable(true);
        return combo;
    };
    const auto milliseconds = [](const QString &name, const char16_t *key) {
        auto *spin = new QSpinBox;
        spin->setObjectName(name);
        spin->setRange(settingKey(key).low, settingKey(key).high);
        spin->setSingleStep(50);
        spin->setSuffix(QStringLiteral(" ms"));
        return spin;
    };
    cboTouche_ = keyChoice(QStringLiteral("cboTouche"));
    row(QStringLiteral("Touche qui choisit :"), cboTouche_);
    cboAvance_ = keyChoice(QStringLiteral("cboAvance"));
    row(QStringLiteral("Touche qui avance (pas à pas) :"), cboAvance_);
    spinAcceptation_ = milliseconds(QStringLiteral("spinAcceptation"), u"contacteur_acceptation");
    row(QStringLiteral("Appui tenu au moins :"), spinAcceptation_);
    spinRelachement_ = milliseconds(QStringLiteral("spinRelâchement"), u"contacteur_relachement");
    row(QStringLiteral("Appuis ignorés pendant :"), spinRelachement_);
    cboMode_ = new QComboBox;
    cboMode_->setObjectName(QStringLiteral("cboMode"));
    cboMode_->addItems(settingKey(u"défilement_mode").choices);
    row(QStringLiteral("Défilement :"), cboMode_);
    spinTours_ = new QSpinBox;
    spinTours_->setObjectName(QStringLiteral("spinTours"));
    spinTours_->setRange(settingKey(u"défilement_tours").low, settingKey(u"défilement_tours").high);
    spinTours_->setSpecialValueText(QStringLiteral("jamais"));
    row(QStringLiteral("Pause après tant de tours :"), spinTours_);
    chkAnnonce_ = new QCheckBox(QStringLiteral("Annonce vocale de chaque pas"), frame);
    chkAnnonce_->setObjectName(QStringLiteral("chkAnnonce"));
    chkAnnonce_->setGeometry(px(120, top, 5600, 350));
    top += 500;
    chkAdaptatif_ = new QCheckBox(QStringLiteral("Vitesse adaptée à la personne"), frame);
    chkAdaptatif_->setObjectName(QStringLiteral("chkAdaptatif"));
    chkAdaptatif_->setGeometry(px(120, top, 5600, 350));
    top += 500;
    spinMin_ = milliseconds(QStringLiteral("spinMin"), u"défilement_min");
    row(QStringLiteral("Pas le plus court :"), spinMin_);
    spinMax_ = milliseconds(QStringLiteral("spinMax"), u"défilement_max");
    row(QStringLiteral("Pas le plus long :"), spinMax_);
    lblReactions_ = new QLabel(frame);
    lblReactions_->setObjectName(QStringLiteral("lblRéactions"));
    lblReactions_->setWordWrap(true);
    lblReactions_->setGeometry(px(120, top, 5700, 7150 - top));
    lblReactions_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SwitchFrame::fill(const Settings &settings) {
    const SwitchSettings &s = settings.switches;
    cboTouche_->setCurrentText(s.selectKey);
    cboAvance_->setCurrentText(s.stepKey);
    spinAcceptation_->setValue(s.acceptanceMs);
    spinRelachement_->setValue(s.releaseMs);
    cboMode_->setCurrentText(s.pattern);
    spinTours_->setValue(s.rounds);
    chkAnnonce_->setChecked(s.cues);
    chkAdaptatif_->setChecked(s.adaptive);
    spinMin_->setValue(s.adaptiveMinMs);
    spinMax_->setValue(s.adaptiveMaxMs);
    lblReactions_->setText(paceReport_ ? paceReport_() : QString());
}

void SwitchFrame::edit(EditedSettings &edited) const {
    SwitchSettings &s = edited.switches;
    s = {};
    s.selectKey = cboTouche_->currentText().trimmed().left(20);
    s.stepKey = cboAvance_->currentText().trimmed().left(20);
    s.acceptanceMs = spinAcceptation_->value();
    s.releaseMs = spinRelachement_->value();
    s.pattern = cboMode_->currentText();
    s.rounds = spinTours_->value();
    s.cues = chkAnnonce_->isChecked();
    s.adaptive = chkAdaptatif_->isChecked();
    s.adaptiveMinMs = std::min(spinMin_->value(), spinMax_->value());
    s.adaptiveMaxMs = std::max(spinMin_->value(), spinMax_->value());
}

} // namespace tv
