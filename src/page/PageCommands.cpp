#include "PageCommands.h"

#include "MainWindow.h"
#include "PageLoader.h"
#include "model/AppState.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"

#include <QAction>
#include <QFileInfo>

namespace tv {

QString newPageName(const QString &reply) {
    QString name = reply;
    if (!name.startsWith(QLatin1String("page_")))
        name.prepend(QLatin1String("page_"));
    if (!name.endsWith(QLatin1String(".dat")))
        name.append(QLatin1String(".dat"));
    return name;
}

PageCommands::PageCommands(AppState &state, MainWindow &window, Services &services,
                           PageLoader &pages, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), pages_(pages) {
    connect(window_.action(QStringLiteral("mnuNouvellePage")), &QAction::triggered, this,
            &PageCommands::newPage);
    connect(window_.action(QStringLiteral("mnuChargePage")), &QAction::triggered, this,
            &PageCommands::loadPage);
    connect(window_.action(QStringLiteral("mnuSauvePage")), &QAction::triggered, this,
            &PageCommands::savePage);
}

void PageCommands::newPage() {
    const QString reply = services_.dialogs.input(QStringLiteral("Nom de la nouvelle page ?"),
                                                  kProgramTitle, QString());
    if (reply.isEmpty())
        return;
    OpenFileRequest request{state_.paths.pagesDirectory(), newPageName(reply), kPagesFilter};
    request.newFile = true;
    const auto chosen = services_.dialogs.openFile(request);
    if (!chosen)
        return;
    const QString name = QFileInfo(*chosen).fileName();
    // An existing page is never emptied without the carer's word.
    if (QFileInfo::exists(*chosen) &&
        services_.dialogs.message(QStringLiteral("La page ''") + name +
                                      QStringLiteral("'' existe déjà.\r\nLa remplacer par une "
                                                     "page vide ? Ses images seront perdues."),
                                  MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    const TextWriteResult written =
        writeTextLines(*chosen, {QString()}, state_.paths.pagesDirectory());
    if (!written.ok)
        services_.dialogs.message(QStringLiteral("La page ''") + name +
                                      QStringLiteral("'' n'a pas pu être créée.\r\n") +
                                      written.error,
                                  MessageIcon::Critical, MessageButtons::Ok);
}

void PageCommands::loadPage() {
    const auto chosen =
        services_.dialogs.openFile({state_.paths.pagesDirectory(), QString(), kPagesFilter});
    if (!chosen)
        return;
    // A page that is not there (gone meanwhile, or a name typed by hand) changes nothing.
    const QString refusal = PageLoader::refusalOf(*chosen, QFileInfo(*chosen).fileName());
    if (!refusal.isEmpty()) {
        services_.dialogs.message(refusal, MessageIcon::None, MessageButtons::Ok);
        return;
    }
    if (!pages_.mayLeavePage())
        return;
    state_.page.currentPage = relativeToDataDirectory(state_.paths.pagesDirectory(), *chosen).name;
    pages_.loadPage();
}

void PageCommands::savePage() {
    pages_.savePage();
}

} // namespace tv
