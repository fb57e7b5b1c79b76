#include "SpeechWindow.h"

#include "platform/Dialogs.h"
#include "platform/Services.h"

namespace tv {

SpeechWindow::SpeechWindow(Speech &speech, Dialogs &dialogs, QObject *parent)
    : QObject(parent), speech_(speech), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmSapi5"));
}

void SpeechWindow::load() {
    const QString problem = speech_.unavailableReason();
    if (!problem.isEmpty()) {
        dialogs_.message(QStringLiteral("La parole n'est pas disponible : %1.\r\n"
                                        "Les pages s'affichent, mais les phrases ne seront pas "
                                        "dites.")
                             .arg(problem),
                         MessageIcon::Exclamation, MessageButtons::Ok);
    }
    litLeTexte(QStringLiteral("Bonjour       "));
}

void SpeechWindow::litLeTexte(const QString &texte) {
    if (texte.isEmpty())
        return;
    speech_.speak(texte);
}

} // namespace tv
