#include "PageColorDialog.h"

#include "ColorSwatch.h"
#include "MainWindow.h"
#include "model/AppState.h"
#include "platform/DialogParts.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/Services.h"
#include "platform/Units.h"

#include <QPushButton>

namespace tv {

PageColorDialog::PageColorDialog(AppState &state, MainWindow &window, Services &services,
                                 QWidget *parent)
    : QDialog(parent), state_(state), window_(window), services_(services) {
    setObjectName(QStringLiteral("frmCouleursPage"));
    setWindowTitle(QStringLiteral("Couleur de fond de la page"));
    const auto px = [&](int l, int t, int w, int h) {
        return twipsToPixels(state.tpp, l, t, w, h);
    };
    setFixedSize(px(0, 0, 9600, 1452).size());
    paintBackground(this, chosen_);

    const qint32 colors[8] = {qint32(0x80000005), 255, 33023, 65535, 65280, 16776960, 16711680, 0};
    for (int i = 0; i <= 8; ++i) {
        const qint32 value =
            i < 8 ? colors[i] : toInt32(state.settings.backgroundColor).value_or(16777215);
        auto *swatch =
            new ColorSwatch(value, QStringLiteral("lblCouleurFondPage(%1)").arg(i), this);
        const int left = 120 + i * 960;
        swatch->setGeometry(i < 8 ? px(left, 60, 852, 852) : px(left, 60, 9480 - left, 852));
        if (i == 8) {
            // Within the swatch, on two lines if need be.
            swatch->setText(QStringLiteral("couleur du programme"));
            swatch->setWordWrap(true);
        }
        connect(swatch, &ColorSwatch::clicked, this, &PageColorDialog::choose);
    }
    const auto button = [&](const QString &caption, const QString &name, int left) {
        return addButton(this, caption, name, px(left, 990, 3000, 400));
    };
    connect(button(QStringLiteral("Annule"), QStringLiteral("cmdAnnule"), 120),
            &QPushButton::clicked, this, &QDialog::reject);
    connect(button(QStringLiteral("Autre Couleur"), QStringLiteral("cmdAutreCouleur"), 3300),
            &QPushButton::clicked, this, &PageColorDialog::otherColor);
    connect(button(QStringLiteral("OK c'est la couleur choisie"), QStringLiteral("cmdOK"), 6480),
            &QPushButton::clicked, this, &PageColorDialog::ok);
}

void PageColorDialog::choose(qint32 value) {
    chosen_ = value;
    paintBackground(this, value);
}

void PageColorDialog::otherColor() {
    const auto color = services_.dialogs.chooseColor();
    if (!color)
        return;
    // Only "OK" records it: "Annule" leaves the page's colour as it was.
    choose(*color);
}

void PageColorDialog::ok() {
    state_.page.pageColor = chosen_;
    state_.page.pageModified = true;
    window_.setBackgroundColorValue(chosen_);
    accept();
}

} // namespace tv
