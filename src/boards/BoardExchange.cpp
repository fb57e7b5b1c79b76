#include "BoardExchange.h"

#include "BoardExport.h"
#include "BoardImport.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "platform/AppState.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QtConcurrent>
#include <atomic>

namespace tv {

BoardExchange::BoardExchange(AppState &state, MainWindow &window, Services &services,
                             PageLoader &pages, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), pages_(pages) {
    connect(window_.action(QStringLiteral("mnuImporter")), &QAction::triggered, this,
            &BoardExchange::importBoards);
    connect(window_.action(QStringLiteral("mnuExporter")), &QAction::triggered, this,
            &BoardExchange::exportBoards);
}

void BoardExchange::importBoards() {
    // The first board imported is opened: the page shown is offered a save first, as a link
    // offers it.
    if (!pages_.mayLeavePage())
        return;
    const auto file = services_.dialogs.openFile({QDir::homePath(), QString(), kBoardsFilter});
    if (!file)
        return;
    const QSize pixels = window_.surface()->size();
    ImportTarget target{
        state_.paths.pagesDirectory(), state_.paths.multimediaDirectory(),
        QSize(int(pixels.width() * state_.tpp.x), int(pixels.height() * state_.tpp.y)),
        int(state_.settings.frameThickness * state_.tpp.x), state_.tpp};
    const ImportReport report = importAway(*file, target);
    const QString name = shortenedForMessage(QFileInfo(*file).fileName());
    if (report.cancelled)
        return;
    if (!report.ok) {
        services_.dialogs.message(QStringLiteral("« ") + name +
                                      QStringLiteral(" » n'a pas été importé.\r\n") + report.error,
                                  MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    state_.page.currentPage = report.pages.constFirst();
    pages_.loadPage();
    services_.dialogs.message(report.message(name), MessageIcon::Information, MessageButtons::Ok);
}

ExistingPages BoardExchange::askAboutExisting(const QStringList &taken) {
    QStringList shown = taken.mid(0, 8);
    if (taken.size() > 8)
        shown << QStringLiteral("…");
    const MessageAnswer answer = services_.dialogs.message(
        QStringLiteral("Ces pages existent déjà : ") + shown.join(QLatin1String(", ")) +
            QStringLiteral(".\r\nLes remplacer par les pages importées ?\r\n(Non : les pages "
                           "importées prennent d'autres noms.)"),
        MessageIcon::Question, MessageButtons::YesNoCancel);
    return answer == MessageAnswer::Yes  ? ExistingPages::Replace
           : answer == MessageAnswer::No ? ExistingPages::KeepBoth
                                         : ExistingPages::Cancel;
}

ImportReport BoardExchange::importAway(const QString &file, const ImportTarget &target) {
    // A set of hundreds of boards takes seconds: it is read and written away from the window,
    // which goes on answering, with the boards counted and a way to stop.
    QProgressDialog progress(QStringLiteral("Importation…"), QStringLiteral("Annuler"), 0, 0,
                             &window_);
    progress.setObjectName(QStringLiteral("frmImportation"));
    progress.setWindowTitle(kProgramTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    std::atomic<bool> cancel{false};
    connect(&progress, &QProgressDialog::canceled, &progress, [&] {
        cancel = true;
        progress.setLabelText(QStringLiteral("Annulation…"));
    });
    ImportProgress hooks;
    hooks.cancel = &cancel;
    hooks.boardDone = [&progress](int done, int total) {
        QMetaObject::invokeMethod(
            &progress,
            [&progress, done, total] {
                if (progress.wasCanceled())
                    return;
                progress.setMaximum(total);
                progress.setValue(done);
                progress.setLabelText(
                    QStringLiteral("Importation… %1 tableaux sur %2").arg(done).arg(total));
            },
            Qt::QueuedConnection);
    };
    const auto ask = [this](const QStringList &taken) {
        // The question is the window's: the import waits for the carer's answer.
        ExistingPages answer = ExistingPages::Cancel;
        QMetaObject::invokeMethod(
            this, [&] { answer = askAboutExisting(taken); }, Qt::BlockingQueuedConnection);
        return answer;
    };
    QFutureWatcher<ImportReport> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<ImportReport>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(
        QtConcurrent::run([&] { return tv::importBoards(file, target, ask, {}, hooks); }));
    loop.exec();
    return watcher.result();
}

void BoardExchange::exportBoards() {
    const QString proposed =
        QFileInfo(QString(state_.page.currentPage).replace(u'\\', u'/')).completeBaseName() +
        QLatin1String(".obz");
    OpenFileRequest request{QDir::homePath(), proposed, QStringLiteral("Tableaux OBF|*.obz")};
    request.newFile = true;
    const auto chosen = services_.dialogs.openFile(request);
    if (!chosen)
        return;
    QString path = *chosen;
    if (!path.endsWith(QLatin1String(".obz"), Qt::CaseInsensitive))
        path += QLatin1String(".obz");
    const QString name = shortenedForMessage(QFileInfo(path).fileName());
    if (QFileInfo::exists(path) &&
        services_.dialogs.message(
            QStringLiteral("« ") + name + QStringLiteral(" » existe déjà. Le remplacer ?"),
            MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    ExportSource source{state_.paths.pagesDirectory(), state_.paths.multimediaDirectory(),
                        state_.tpp, state_.page};
    const ExportReport report = tv::exportBoards(path, source);
    if (!report.ok) {
        services_.dialogs.message(QStringLiteral("« ") + name +
                                      QStringLiteral(" » n'a pas été exporté.\r\n") + report.error,
                                  MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    services_.dialogs.message(report.message(name), MessageIcon::Information, MessageButtons::Ok);
}

} // namespace tv
