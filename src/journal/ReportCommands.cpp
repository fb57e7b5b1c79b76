#include "ReportCommands.h"

#include "ReportCommand.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QAction>
#include <QFileInfo>

namespace tv {

ReportCommands::ReportCommands(AppState &state, MainWindow &window, Services &services,
                               QObject *parent)
    : QObject(parent), state_(state), services_(services) {
    connect(window.action(QStringLiteral("mnuRapport")), &QAction::triggered, this,
            &ReportCommands::writeReport);
}

void ReportCommands::writeReport() {
    const auto path =
        askNewFile(services_.dialogs, QStringLiteral("rapport.pdf"),
                   QStringLiteral("Rapport PDF|*.pdf|Événements pour un tableur|*.csv"),
                   QStringLiteral(".pdf"));
    if (!path)
        return;
    const QString name = shortenedForMessage(QFileInfo(*path).fileName());
    reports_.run(
        [paths = state_.paths, tpp = state_.tpp, path = *path](const OffThread::Token &) {
            return tv::writeReport(paths, {path, {}, {}}, tpp);
        },
        [this, name](const QString &why) {
            if (why.isEmpty())
                services_.dialogs.message(QStringLiteral("Le rapport « %1 » est écrit.").arg(name),
                                          MessageIcon::Information, MessageButtons::Ok);
            else
                services_.dialogs.message(
                    QStringLiteral("Le rapport « %1 » n'a pas été écrit : %2").arg(name, why),
                    MessageIcon::Critical, MessageButtons::Ok);
            emit reportWritten();
        });
}

} // namespace tv
