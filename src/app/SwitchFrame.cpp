// The program properties dialog's frame for the person's switches.

#include "ProgramPropertiesDialog.h"

#include "model/AppState.h"
#include "platform/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

namespace tv {

void ProgramPropertiesDialog::buildSwitchFrame() {
    const auto px = [this](int l, int t, int w, int h) {
        return twipsToPixels(state_.tpp, l, t, w, h);
    };
    QGroupBox *frame = addFrame(this, QStringLiteral("Contacteur"), QStringLiteral("Frame6"),
                                px(6984, 720, 6000, 7300));
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
    const auto milliseconds = [](const QString &name, int low, int high) {
        auto *spin = new QSpinBox;
        spin->setObjectName(name);
        spin->setRange(low, high);
        spin->setSingleStep(50);
        spin->setSuffix(QStringLiteral(" ms"));
        return spin;
    };
    cboTouche_ = keyChoice(QStringLiteral("cboTouche"));
    row(QStringLiteral("Touche qui choisit :"), cboTouche_);
    cboAvance_ = keyChoice(QStringLiteral("cboAvance"));
    row(QStringLiteral("Touche qui avance (pas à pas) :"), cboAvance_);
    spinAcceptation_ = milliseconds(QStringLiteral("spinAcceptation"), 0, 5000);
    row(QStringLiteral("Appui tenu au moins :"), spinAcceptation_);
    spinRelachement_ = milliseconds(QStringLiteral("spinRelâchement"), 0, 5000);
    row(QStringLiteral("Appuis ignorés pendant :"), spinRelachement_);
    cboMode_ = new QComboBox;
    cboMode_->setObjectName(QStringLiteral("cboMode"));
    cboMode_->addItems({kPatternAuto, kPatternStep, kPatternRows});
    row(QStringLiteral("Défilement :"), cboMode_);
    spinTours_ = new QSpinBox;
    spinTours_->setObjectName(QStringLiteral("spinTours"));
    spinTours_->setRange(0, 100);
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
    spinMin_ = milliseconds(QStringLiteral("spinMin"), 100, 30000);
    row(QStringLiteral("Pas le plus court :"), spinMin_);
    spinMax_ = milliseconds(QStringLiteral("spinMax"), 100, 30000);
    row(QStringLiteral("Pas le plus long :"), spinMax_);
    lblReactions_ = new QLabel(frame);
    lblReactions_->setObjectName(QStringLiteral("lblRéactions"));
    lblReactions_->setWordWrap(true);
    lblReactions_->setGeometry(px(120, top, 5700, 7150 - top));
    lblReactions_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ProgramPropertiesDialog::fillSwitches(const SwitchSettings &s) {
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
    lblReactions_->setText(actions_.paceReport ? actions_.paceReport() : QString());
}

void ProgramPropertiesDialog::buildDwellFrame() {
    const auto px = [this](int l, int t, int w, int h) {
        return twipsToPixels(state_.tpp, l, t, w, h);
    };
    QGroupBox *frame = addFrame(this, QStringLiteral("Pointage"), QStringLiteral("Frame7"),
                                px(6984, 8140, 6000, 2140));
    const auto spin = [&](const QString &caption, const QString &name, int low, int high,
                          const QString &suffix, int top) {
        (new QLabel(caption, frame))->setGeometry(px(120, top, 3300, 350));
        auto *box = new QSpinBox(frame);
        box->setObjectName(name);
        box->setRange(low, high);
        box->setSuffix(suffix);
        box->setGeometry(px(3500, top - 40, 2300, 420));
        box->setAccessibleName(QString(caption).remove(QStringLiteral(" :")));
        return box;
    };
    spinPointageDelai_ =
        spin(QStringLiteral("Temps de repos :"), QStringLiteral("spinPointageDélai"), 300, 5000,
             QStringLiteral(" ms"), 300);
    spinPointageDelai_->setSingleStep(50);
    spinPointageTolerance_ =
        spin(QStringLiteral("Mouvement toléré :"), QStringLiteral("spinPointageTolérance"), 0, 150,
             QStringLiteral(" pixels"), 860);
    chkPointageRepete_ =
        new QCheckBox(QStringLiteral("Choisir encore sans quitter l'image"), frame);
    chkPointageRepete_->setObjectName(QStringLiteral("chkPointageRépète"));
    chkPointageRepete_->setGeometry(px(120, 1420, 5600, 350));
}

SwitchSettings ProgramPropertiesDialog::editedSwitches() const {
    SwitchSettings s;
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
    return s;
}

} // namespace tv
