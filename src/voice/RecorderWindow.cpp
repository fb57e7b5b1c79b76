#include "RecorderWindow.h"

#include "VoiceTake.h"
#include "platform/DialogParts.h"
#include "platform/Services.h"
#include "platform/Wav.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace tv {

namespace {

constexpr int kRate = VoiceInput::kVoiceRate;
constexpr qsizetype kMaxBytes = qsizetype(RecorderWindow::kMaxSeconds) * kRate * 2;
// Often enough that the meter follows the voice as the eye does.
constexpr int kPollMs = 25;

} // namespace

RecorderWindow::RecorderWindow(Services &services, TwipsPerPixel tpp, const QString &phrase,
                               const QString &multimediaDirectory, QWidget *parent)
    : QDialog(parent), services_(services), phrase_(phrase), multimedia_(multimediaDirectory) {
    setObjectName(QStringLiteral("frmEnregistrement"));
    setWindowTitle(QStringLiteral("Enregistrement"));
    const auto px = [tpp](int l, int t, int w, int h) { return twipsToPixels(tpp, l, t, w, h); };
    resize(px(0, 0, 7800, 3300).size());
    cmdCommencer_ = addButton(this, QStringLiteral("Commencer"), QStringLiteral("cmdCommencer"),
                              px(120, 120, 1400, 450));
    cmdArreter_ = addButton(this, QStringLiteral("Arrêter"), QStringLiteral("cmdArrêter"),
                            px(1640, 120, 1400, 450));
    cmdEcouter_ = addButton(this, QStringLiteral("Écouter"), QStringLiteral("cmdÉcouter"),
                            px(3160, 120, 1400, 450));
    cmdGarder_ = addButton(this, QStringLiteral("Garder"), QStringLiteral("cmdGarder"),
                           px(4680, 120, 1400, 450));
    cmdGarder_->setStyleSheet(QStringLiteral("background-color: rgb(70, 190, 80);"));
    cmdAnnuler_ = addButton(this, QStringLiteral("Annuler"), QStringLiteral("cmdAnnuler"),
                            px(6200, 120, 1400, 450));
    cmdAnnuler_->setStyleSheet(QStringLiteral("background-color: rgb(230, 60, 60);"));

    niveau_ = new QProgressBar(this);
    niveau_->setObjectName(QStringLiteral("niveau"));
    niveau_->setAccessibleName(QStringLiteral("Niveau"));
    niveau_->setRange(0, 100);
    niveau_->setTextVisible(false);
    niveau_->setGeometry(px(120, 780, 6200, 350));
    duree_ = new QLabel(this);
    duree_->setObjectName(QStringLiteral("durée"));
    duree_->setAccessibleName(QStringLiteral("Durée"));
    duree_->setGeometry(px(6440, 780, 1160, 350));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setGeometry(px(120, 1340, 7480, 1800));

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &RecorderWindow::poll);
    connect(cmdCommencer_, &QPushButton::clicked, this, &RecorderWindow::begin);
    connect(cmdArreter_, &QPushButton::clicked, this, &RecorderWindow::end);
    connect(cmdEcouter_, &QPushButton::clicked, this, &RecorderWindow::hear);
    connect(cmdGarder_, &QPushButton::clicked, this, &RecorderWindow::keep);
    connect(cmdAnnuler_, &QPushButton::clicked, this, &QDialog::reject);
    showState();
    tell(QStringLiteral("« Commencer », parlez, puis « Arrêter ». Au plus %1 secondes.")
             .arg(kMaxSeconds));
}

RecorderWindow::~RecorderWindow() {
    if (recording_)
        services_.voice.stop();
}

void RecorderWindow::begin() {
    services_.sounds.stop();
    take_.clear();
    recording_ = true;
    services_.voice.start();
    poll_->start();
    tell(QStringLiteral("Enregistrement en cours…"));
    showState();
    cmdArreter_->setFocus();
}

void RecorderWindow::end() {
    if (!recording_)
        return;
    poll(); // what came in up to the press
    if (recording_)
        finish();
}

void RecorderWindow::finish() {
    services_.voice.stop();
    recording_ = false;
    poll_->stop();
    niveau_->setValue(0);
    tell(QString());
    showState();
    cmdEcouter_->setFocus();
}

void RecorderWindow::poll() {
    if (!recording_)
        return;
    const QString failure = services_.voice.failure();
    if (!failure.isEmpty()) {
        services_.voice.stop();
        recording_ = false;
        poll_->stop();
        take_.clear();
        niveau_->setValue(0);
        showState();
        tell(failure);
        cmdCommencer_->setFocus();
        return;
    }
    const QByteArray came = services_.voice.takeSamples();
    if (!came.isEmpty()) {
        take_.append(came);
        const double reading = meterReading(peakOf(came));
        niveau_->setValue(int(std::lround(reading * 100)));
        emit levelShown(reading);
    }
    if (take_.size() >= kMaxBytes) {
        take_.truncate(kMaxBytes);
        finish();
        tell(QStringLiteral("L'enregistrement s'est arrêté de lui-même après %1 secondes.")
                 .arg(kMaxSeconds));
        return;
    }
    showState();
}

void RecorderWindow::hear() {
    const QByteArray voice = trimAndLevel(take_, kRate);
    if (voice.isEmpty())
        return tell(QStringLiteral("Rien n'a été entendu : l'enregistrement est silencieux."));
    services_.sounds.playWav(wavOfPcm(voice, kRate));
}

void RecorderWindow::keep() {
    if (recording_)
        end();
    const QByteArray voice = trimAndLevel(take_, kRate);
    if (voice.isEmpty())
        return tell(QStringLiteral("Rien n'a été entendu : l'enregistrement est silencieux."));
    QString why;
    kept_ = keepVoice(voice, kRate, phrase_, multimedia_, &why);
    if (kept_.isEmpty())
        return tell(QStringLiteral("La voix n'a pas pu être enregistrée dans le répertoire "
                                   "''multimedia'' : ") +
                    why);
    accept();
}

void RecorderWindow::showState() {
    const bool some = !take_.isEmpty();
    cmdCommencer_->setEnabled(!recording_);
    cmdArreter_->setEnabled(recording_);
    cmdEcouter_->setEnabled(!recording_ && some);
    cmdGarder_->setEnabled(!recording_ && some);
    const double seconds = double(take_.size()) / (2.0 * kRate);
    duree_->setText(QLocale(QLocale::French).toString(seconds, 'f', 1) + QStringLiteral(" s"));
}

void RecorderWindow::tell(const QString &text) {
    message_->setText(text);
}

} // namespace tv
