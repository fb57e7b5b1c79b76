#include "ProgramPropertiesDialog.h"

#include "journal/TrackingFrame.h"
#include "model/AppState.h"
#include "page/ColorSwatch.h"
#include "page/MessageFrame.h"
#include "page/PageSounds.h"
#include "page/SelectionFrame.h"
#include "platform/DialogParts.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/Services.h"
#include "use/DwellFrame.h"
#include "use/SwitchFrame.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace tv {

const VideoChoice kVideoChoices[4] = {
    {"Video 16/9 grande : 640x360", "cmd169grande", 640, 360, 670, 420},
    {"Video 16/9 petite : 320x180", "cmd169petite", 320, 180, 350, 240},
    {"Video 4/3 grande : 640x480", "cmd43grande", 640, 480, 670, 540},
    {"Video 4/3 petite : 320x240", "cmd43petit", 320, 240, 350, 300},
};

namespace {
constexpr int kDelayMin = 500, kDelayMax = 5000;
constexpr int kThicknessMin = 5, kThicknessMax = 30;
const QString kSoundOn = QStringLiteral("Joue un son au changement de page= oui");
const QString kSoundOff = QStringLiteral("Joue un son au changement de page= non");
} // namespace

EditedSettings editedOnOpening(const Settings &s) {
    EditedSettings e = EditedSettings::from(s);
    if (s.scanDelay < kDelayMin || s.scanDelay > kDelayMax)
        e.scanDelay = kDelayMin;
    return e;
}

ProgramPropertiesDialog::ProgramPropertiesDialog(AppState &state, Services &services,
                                                 PageSounds &sounds, Actions actions,
                                                 QWidget *parent)
    : QDialog(parent), state_(state), services_(services), sounds_(sounds),
      actions_(std::move(actions)) {
    setObjectName(QStringLiteral("frmPropriétésProgramme"));
    setWindowTitle(QStringLiteral("Programme Propriétés"));
    setModal(false);
    build();
    place(new MessageFrame(state_.tpp, services_.dialogs, actions_.forgetLearned, this),
          {120, 9240, 6624, 2560});
    place(new SwitchFrame(state_.tpp, actions_.paceReport, this), {6984, 720, 6000, 7300});
    place(new DwellFrame(state_.tpp, this), {6984, 8140, 6000, 2140});
    place(new TrackingFrame(state_.tpp, services_.dialogs, actions_.eraseUsageLog, this),
          {6984, 10400, 6000, 860});
    fill();
}

void ProgramPropertiesDialog::build() {
    const auto px = [this](int l, int t, int w, int h) {
        return twipsToPixels(state_.tpp, l, t, w, h);
    };
    setFixedSize(px(0, 0, 13104, 12400).size());
    const auto frame = [&](const QString &caption, const QString &name, QRect pixels) {
        return addFrame(this, caption, name, pixels);
    };
    const auto button = addButton;
    const auto label = [&](QWidget *parent, const QString &text, QRect twips) {
        auto *l = new QLabel(text, parent);
        l->setGeometry(twips);
        return l;
    };
    const auto option = [&](QWidget *parent, QButtonGroup *group, const QString &caption,
                            const QString &name, QRect twips) {
        auto *o = new QRadioButton(caption, parent);
        o->setObjectName(name);
        o->setGeometry(twips);
        group->addButton(o);
        return o;
    };

    auto *annule = button(this, QStringLiteral("&Annule"), QStringLiteral("cmdAnnule"),
                          px(120, 120, 1800, 450));
    annule->setStyleSheet(QStringLiteral("background-color: rgb(230, 60, 60);"));
    auto *sauve = button(this, QStringLiteral("&Sauve"), QStringLiteral("cmsSauve"),
                         px(4944, 120, 1800, 450));
    sauve->setStyleSheet(QStringLiteral("background-color: rgb(70, 190, 80);"));
    connect(annule, &QPushButton::clicked, this, &QDialog::close);
    connect(sauve, &QPushButton::clicked, this, [this] {
        if (actions_.save)
            actions_.save(edited());
        close();
    });

    // General settings.
    QGroupBox *general = frame(QStringLiteral("Propriétés du programme"), QStringLiteral("Frame2"),
                               px(120, 720, 6624, 2100));
    auto *fond = button(general, QStringLiteral("Couleur de fond du programme"),
                        QStringLiteral("cmdCouleurFond"), px(120, 300, 4000, 400));
    connect(fond, &QPushButton::clicked, this, [this] {
        const auto color = services_.dialogs.chooseColor();
        if (!color)
            return;
        background_ = *color;
        paintBackground(this, background_);
        state_.settings.backgroundColor = *color;
    });
    label(general, QStringLiteral("Accès :"), px(120, 850, 1200, 350));
    auto *acces = new QButtonGroup(this);
    optAcces_[0] = option(general, acces, QStringLiteral("Souris"), QStringLiteral("optAccès(0)"),
                          px(1400, 850, 1600, 350));
    optAcces_[1] = option(general, acces, QStringLiteral("Défilement"),
                          QStringLiteral("optAccès(1)"), px(3100, 850, 2000, 350));
    optAcces_[2] = option(general, acces, QStringLiteral("Pointage"), QStringLiteral("optAccès(2)"),
                          px(5100, 850, 1450, 350));
    const QString modes[3] = {kAccessMouse, kAccessScanning, kAccessDwell};
    for (int i = 0; i < 3; ++i)
        connect(optAcces_[i], &QRadioButton::clicked, this,
                [this, mode = modes[i]] { state_.settings.accessMode = mode; });
    label(general, QStringLiteral("Temporisation :"), px(120, 1400, 1500, 350));
    cursTemporisation_ = new QSlider(Qt::Horizontal, general);
    cursTemporisation_->setObjectName(QStringLiteral("cursTemporisation"));
    cursTemporisation_->setAccessibleName(QStringLiteral("Temporisation"));
    cursTemporisation_->setGeometry(px(1700, 1400, 3600, 350));
    cursTemporisation_->setRange(kDelayMin, kDelayMax);
    cursTemporisation_->setSingleStep(10);
    cursTemporisation_->setPageStep(100);
    lblTemporisation_ = label(general, QStringLiteral("0000"), px(5400, 1400, 1000, 350));
    lblTemporisation_->setObjectName(QStringLiteral("lblTemporisation"));
    connect(cursTemporisation_, &QSlider::valueChanged, this,
            [this](int v) { lblTemporisation_->setText(QString::number(v)); });

    // The selection frame's look.
    QGroupBox *look = frame(QStringLiteral("Cadre de Sélection"), QStringLiteral("Frame1"),
                            px(120, 2940, 6624, 2700));
    auto *clignote = new QButtonGroup(this);
    optClignote_[0] = option(look, clignote, QStringLiteral("Couleur fixe"),
                             QStringLiteral("optClignote(0)"), px(120, 300, 2000, 350));
    optClignote_[1] = option(look, clignote, QStringLiteral("Clignote"),
                             QStringLiteral("optClignote(1)"), px(2200, 300, 2000, 350));
    connect(optClignote_[0], &QRadioButton::clicked, this,
            [this] { state_.settings.frameBlink = false; });
    connect(optClignote_[1], &QRadioButton::clicked, this,
            [this] { state_.settings.frameBlink = true; });
    label(look, QStringLiteral("Epaisseur"), px(120, 800, 1200, 350));
    cursEpaisseurCadre_ = new QSlider(Qt::Horizontal, look);
    cursEpaisseurCadre_->setObjectName(QStringLiteral("cursEpaisseurCadre"));
    cursEpaisseurCadre_->setAccessibleName(QStringLiteral("Epaisseur du cadre"));
    cursEpaisseurCadre_->setGeometry(px(1400, 800, 2600, 350));
    cursEpaisseurCadre_->setRange(kThicknessMin, kThicknessMax);
    cursEpaisseurCadre_->setValue(kThicknessMax);
    const qint32 swatches[9] = {qint32(0x80000005), 12632256, 4210752,  65535, 65280,
                                16776960,           16711680, 16711935, 255};
    for (int i = 0; i < 9; ++i) {
        auto *swatch = new ColorSwatch(swatches[i], QStringLiteral("lblCouleur(%1)").arg(i), look);
        swatch->setGeometry(px(120 + i * 480, 1400, 400, 400));
        connect(swatch, &ColorSwatch::clicked, this,
                [this](qint32 v) { cadreModele_->setBorderColorValue(v); });
    }
    cadreModele_ = new SelectionFrame(state_.tpp.x, state_.tpp.y, look);
    cadreModele_->setObjectName(QStringLiteral("cadreModèle"));
    cadreModele_->setTwipsGeometry(4400, 450, 2000, 1200);
    cadreModele_->show();
    connect(cursEpaisseurCadre_, &QSlider::valueChanged, cadreModele_,
            &SelectionFrame::setBorderWidth);

    // The video window.
    QGroupBox *video =
        frame(QStringLiteral("Vidéo"), QStringLiteral("Frame3"), px(120, 5760, 6624, 1500));
    for (int i = 0; i < 4; ++i) {
        const VideoChoice &c = kVideoChoices[i];
        auto *b = button(video, QString::fromUtf8(c.caption), QString::fromLatin1(c.name),
                         px(120 + (i % 2) * 3250, 300 + (i / 2) * 520, 3150, 420));
        connect(b, &QPushButton::clicked, this, [this, c] {
            if (actions_.showVideoWindow)
                actions_.showVideoWindow(QSize(c.windowWidth, c.windowHeight));
            state_.settings.videoWidth = c.videoWidth;
            state_.settings.videoHeight = qint16(c.videoHeight);
        });
    }

    // The page sound.
    QGroupBox *sound =
        frame(QStringLiteral("Son"), QStringLiteral("Frame4"), px(120, 7380, 6624, 1740));
    cmdSonPage_ = button(sound, kSoundOff, QStringLiteral("cmdSonPage"), px(120, 300, 6384, 450));
    cmdSonPage_->setFont(QFont(QStringLiteral("Arial Rounded MT Bold")));
    connect(cmdSonPage_, &QPushButton::clicked, this, [this] {
        state_.settings.pageSoundOn = !state_.settings.pageSoundOn;
        showSoundCaption();
    });
    label(sound, QStringLiteral("Sons n° "), px(120, 950, 1000, 350));
    auto *sons = new QButtonGroup(this);
    for (int n = 1; n <= 9; ++n) {
        optSon_[n] = option(sound, sons, QString::number(n), QStringLiteral("optSon(%1)").arg(n),
                            px(1150 + (n - 1) * 580, 950, 560, 350));
        connect(optSon_[n], &QRadioButton::clicked, this, [this, n] {
            sounds_.playPageSound(n);
            state_.settings.pageSoundNumber = qint16(n);
        });
    }
}

void ProgramPropertiesDialog::place(SettingsFrame *frame, QRect twips) {
    frame->setGeometry(
        twipsToPixels(state_.tpp, twips.x(), twips.y(), twips.width(), twips.height()));
    frames_ << frame;
}

void ProgramPropertiesDialog::fill() {
    const Settings &s = state_.settings;
    background_ = toInt32(s.backgroundColor).value_or(16777215);
    paintBackground(this, background_);
    if (s.scanDelay >= kDelayMin && s.scanDelay <= kDelayMax)
        cursTemporisation_->setValue(s.scanDelay);
    if (s.frameThickness >= kThicknessMin && s.frameThickness <= kThicknessMax)
        cursEpaisseurCadre_->setValue(s.frameThickness);
    // The sample keeps the real thickness, also one the slider cannot show.
    cadreModele_->setBorderWidth(s.frameThickness);
    cadreModele_->setBorderColorValue(s.frameColor);
    lblTemporisation_->setText(QString::number(cursTemporisation_->value()));
    if (s.accessMode == kAccessMouse)
        optAcces_[0]->setChecked(true);
    else if (s.accessMode == kAccessScanning)
        optAcces_[1]->setChecked(true);
    else if (s.accessMode == kAccessDwell)
        optAcces_[2]->setChecked(true);
    optClignote_[s.frameBlink ? 1 : 0]->setChecked(true);
    for (SettingsFrame *frame : frames_)
        frame->fill(s);
    showSoundCaption();
    if (s.pageSoundNumber >= 1 && s.pageSoundNumber <= 9)
        optSon_[s.pageSoundNumber]->click();
}

void ProgramPropertiesDialog::showSoundCaption() {
    cmdSonPage_->setText(state_.settings.pageSoundOn ? kSoundOn : kSoundOff);
}

EditedSettings ProgramPropertiesDialog::edited() const {
    EditedSettings e = EditedSettings::from(state_.settings);
    e.scanDelay = cursTemporisation_->value();
    e.backgroundColor = background_;
    e.frameThickness = cadreModele_->borderWidth();
    e.frameColor = cadreModele_->borderColorValue();
    for (const SettingsFrame *frame : frames_)
        frame->edit(e);
    return e;
}

} // namespace tv
