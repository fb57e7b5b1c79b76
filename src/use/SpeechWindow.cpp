#include "SpeechWindow.h"

#include "platform/Services.h"

namespace tv {

SpeechWindow::SpeechWindow(Speech &speech, QObject *parent) : QObject(parent), speech_(speech) {
    setObjectName(QStringLiteral("frmSapi5"));
    watch_.setInterval(1000);
    connect(&watch_, &QTimer::timeout, this, &SpeechWindow::check);
}

void SpeechWindow::load() {
    // Never a question before the board: a person who uses a switch or their eyes could not
    // answer it. The board shows at once and a notice tells the carer if speech stays away.
    litLeTexte(QStringLiteral("Bonjour       "));
    watch_.start();
}

void SpeechWindow::check() {
    const QString problem = speech_.unavailableNow();
    if (problem.isEmpty()) {
        faultSince_.invalidate();
        if (!told_.isEmpty()) {
            told_.clear();
            emit noticeChanged(told_);
        }
        return;
    }
    if (!faultSince_.isValid())
        faultSince_.start();
    const QString text = QStringLiteral("La parole n'est pas disponible : %1. Les pages "
                                        "s'affichent, mais les phrases ne sont pas dites.")
                             .arg(problem);
    if (faultSince_.elapsed() >= kToldAfterMs && told_ != text) {
        told_ = text;
        emit noticeChanged(told_);
    }
}

void SpeechWindow::litLeTexte(const QString &texte) {
    if (texte.isEmpty())
        return;
    speech_.speak(texte);
}

} // namespace tv
