#include "BoardExchange.h"

#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <future>

namespace tv {

BoardExchange::BoardExchange(AppState &state, MainWindow &window, Services &services,
                             PageLoader &pages, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), pages_(pages) {
    connect(window_.action(QStringLiteral("mnuImporter")), &QAction::triggered, this,
            &BoardExchange::importBoards);
    connect(window_.action(QStringLiteral("mnuExporter")), &QAction::triggered, this,
            &BoardExchange::exportBoards);
}

BoardExchange::~BoardExchange() {
    stopImport();
}

void BoardExchange::importBoards() {
    if (isImporting())
        return;
    // The first board imported is opened: the page shown is offered a save first, as a link
    // offers it.
    if (!pages_.mayLeavePage())
        return;
    const auto file = services_.dialogs.openFile({QDir::homePath(), QString(), kBoardsFilter});
    if (!file)
        return;
    const QSize pixels = window_.surface()->size();
    const ImportTarget target{
        state_.paths.pagesDirectory(), state_.paths.multimediaDirectory(),
        QSize(int(pixels.width() * state_.tpp.x), int(pixels.height() * state_.tpp.y)),
        int(state_.settings.frameThickness * state_.tpp.x), state_.tpp};
    importedName_ = shortenedForMessage(QFileInfo(*file).fileName());

    // A set of hundreds of boards takes seconds: it is read and written away from the window,
    // with the boards counted and a way to stop. The window still answers, so that the
    // program can be quit at any time.
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    progress_ = new QProgressDialog(QStringLiteral("Importation…"), QStringLiteral("Annuler"), 0, 0,
                                    &window_);
    progress_->setObjectName(QStringLiteral("frmImportation"));
    progress_->setWindowTitle(kProgramTitle);
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(300);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    connect(progress_, &QProgressDialog::canceled, this, [this, cancel = cancel_] {
        cancel->store(true);
        if (progress_)
            progress_->setLabelText(QStringLiteral("Annulation…"));
    });
    ImportProgress hooks;
    hooks.cancel = cancel_.get();
    // Told to the window's thread; this object outlives the import, which it waits for.
    hooks.boardDone = [this](int done, int total) {
        QMetaObject::invokeMethod(
            this,
            [this, done, total] {
                if (!progress_ || progress_->wasCanceled())
                    return;
                progress_->setMaximum(total);
                progress_->setValue(done);
                progress_->setLabelText(
                    QStringLiteral("Importation… %1 tableaux sur %2").arg(done).arg(total));
            },
            Qt::QueuedConnection);
    };
    const auto ask = [this, cancel = cancel_](const QStringList &taken) {
        // The question is the window's. The import waits for the carer's answer, or for the
        // end of the program, which never waits for an answer that cannot come.
        auto answer = std::make_shared<std::promise<ExistingPages>>();
        std::future<ExistingPages> reply = answer->get_future();
        QMetaObject::invokeMethod(
            this,
            [this, taken, answer, cancel] {
                answer->set_value(cancel->load() ? ExistingPages::Cancel : askAboutExisting(taken));
            },
            Qt::QueuedConnection);
        while (reply.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            if (cancel->load())
                return ExistingPages::Cancel;
        }
        return reply.get();
    };
    holdPage(true);
    importing_ = true;
    imports_.run(
        [file = *file, target, ask, hooks](const OffThread::Token &) {
            return tv::importBoards(file, target, ask, {}, hooks);
        },
        [this](const ImportReport &report) { imported(report); });
}

void BoardExchange::stopImport() {
    if (!importing_)
        return;
    // Stopped, the import tells nothing and opens no page when its end is delivered.
    cancel_->store(true);
    imports_.waitForDone();
    importing_ = false;
    delete progress_;
}

void BoardExchange::imported(const ImportReport &report) {
    importing_ = false;
    delete progress_;
    holdPage(false);
    if (!report.cancelled) {
        if (!report.ok) {
            services_.dialogs.message(QStringLiteral("« ") + importedName_ +
                                          QStringLiteral(" » n'a pas été importé.\r\n") +
                                          report.error,
                                      MessageIcon::Critical, MessageButtons::Ok);
        } else {
            state_.page.currentPage = report.pages.constFirst();
            pages_.loadPage();
            services_.dialogs.message(report.message(importedName_), MessageIcon::Information,
                                      MessageButtons::Ok);
        }
    }
    emit importFinished();
}

void BoardExchange::holdPage(bool held) {
    window_.centralWidget()->setEnabled(!held);
    for (const char *menu : {"mnuPages", "mnuImages"}) {
        if (auto *m = window_.findChild<QMenu *>(QLatin1String(menu)))
            m->menuAction()->setEnabled(!held);
    }
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

void BoardExchange::exportBoards() {
    const QString proposed =
        QFileInfo(QString(state_.page.currentPage).replace(u'\\', u'/')).completeBaseName() +
        QLatin1String(".obz");
    const auto path = askNewFile(services_.dialogs, proposed, QStringLiteral("Tableaux OBF|*.obz"),
                                 QStringLiteral(".obz"));
    if (!path)
        return;
    const QString name = shortenedForMessage(QFileInfo(*path).fileName());
    const ExportSource source{state_.paths.pagesDirectory(), state_.paths.multimediaDirectory(),
                              state_.tpp, state_.page};
    exports_.run(
        [path = *path, source](const OffThread::Token &) { return tv::exportBoards(path, source); },
        [this, name](const ExportReport &report) { exported(name, report); });
}

void BoardExchange::exported(const QString &name, const ExportReport &report) {
    if (!report.ok) {
        services_.dialogs.message(QStringLiteral("« ") + name +
                                      QStringLiteral(" » n'a pas été exporté.\r\n") + report.error,
                                  MessageIcon::Critical, MessageButtons::Ok);
    } else {
        services_.dialogs.message(report.message(name), MessageIcon::Information,
                                  MessageButtons::Ok);
    }
    emit exportFinished();
}

} // namespace tv
