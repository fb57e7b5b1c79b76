#include "DwellFrame.h"

#include "model/SettingKeys.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

namespace tv {

DwellFrame::DwellFrame(TwipsPerPixel tpp, QWidget *parent)
    : SettingsFrame(QStringLiteral("Pointage"), QStringLiteral("Frame7"), tpp, parent) {
    const auto spin = [&](const QString &caption, const QString &name, const char16_t *key,
                          const QString &suffix, int top) {
        (new QLabel(caption, this))->setGeometry(px(120, top, 3300, 350));
        auto *box = new QSpinBox(this);
        box->setObjectName(name);
        box->setRange(settingKey(key).low, settingKey(key).high);
        box->setSuffix(suffix);
        box->setGeometry(px(3500, top - 40, 2300, 420));
        box->setAccessibleName(QString(caption).remove(QStringLiteral(" :")));
        return box;
    };
    spinPointageDelai_ =
        spin(QStringLiteral("Temps de repos :"), QStringLiteral("spinPointageDélai"),
             u"pointage_délai", QStringLiteral(" ms"), 300);
    spinPointageDelai_->setSingleStep(50);
    spinPointageTolerance_ =
        spin(QStringLiteral("Mouvement toléré :"), QStringLiteral("spinPointageTolérance"),
             u"pointage_tolérance", QStringLiteral(" pixels"), 860);
    chkPointageRepete_ = new QCheckBox(QStringLiteral("Choisir encore sans quitter l'image"), this);
    chkPointageRepete_->setObjectName(QStringLiteral("chkPointageRépète"));
    chkPointageRepete_->setGeometry(px(120, 1420, 5600, 350));
}

void DwellFrame::fill(const Settings &s) {
    spinPointageDelai_->setValue(s.dwell.delayMs);
    spinPointageTolerance_->setValue(s.dwell.tolerancePx);
    chkPointageRepete_->setChecked(s.dwell.repeat);
}

void DwellFrame::edit(EditedSettings &edited) const {
    edited.dwell = {spinPointageDelai_->value(), spinPointageTolerance_->value(),
                    chkPointageRepete_->isChecked()};
}

} // namespace tv
