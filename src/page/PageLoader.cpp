#include "PageLoader.h"

#include "MainWindow.h"
#include "PageFile.h"
#include "PictureCache.h"
#include "PictureControl.h"
#include "SelectionFrame.h"
#include "model/AppState.h"
#include "page/PageSounds.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QTimer>

namespace tv {

PageLoader::PageLoader(AppState &state, MainWindow &window, Services &services, PictureCache &cache,
                       PageSounds &sounds, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), cache_(cache),
      sounds_(sounds), loads_(cache) {
    connect(&loads_, &PictureLoads::decoded, this, &PageLoader::pictureDecoded);
    connect(&loads_, &PictureLoads::finished, this, &PageLoader::picturesShown);
}

namespace {

QString unreadable(const QString &imageFile) {
    return QStringLiteral("L'image ''") + imageFile +
           QStringLiteral("'' ne peut pas être affichée : le fichier n'est pas une image lisible");
}

} // namespace

void PageLoader::clearPage() {
    loads_.cancel();
    window_.selectionFrame()->hide();
    emit window_.pageCleared();
    // Hidden controls too (a picture being stretched): a control left behind would stand
    // in the way of the next page's picture at that index.
    for (int n = 1; n <= kMaxImages; ++n)
        window_.removePicture(n);
    for (int n = 1; n <= kMaxImages; ++n)
        state_.page.imageTable[std::size_t(n)] = ImageRecord{};
}

void PageLoader::fail(const QString &text) {
    services_.dialogs.message(text, MessageIcon::Critical, MessageButtons::Ok);
    emit fatalError();
}

void PageLoader::refuse(const QString &text) {
    // A page that cannot be read is neither shown nor ever written over: the page shown
    // stays, under its own name; at the start the window stays empty and names no page.
    state_.page.currentPage = shownPage_;
    services_.dialogs.message(text, MessageIcon::Critical, MessageButtons::Ok);
}

void PageLoader::loadPage() {
    PageModel &page = state_.page;
    const QString pagesDir = state_.paths.pagesDirectory();
    if (!QFileInfo(pagesDir).isDir()) {
        clearPage();
        fail(QStringLiteral("Erreur : le répertoire ''pages'' n'existe pas\r\nVous devez le "
                            "créer\r\nLe programme s'arrête"));
        return;
    }
    page.currentPage = page.currentPage.toLower();
    const auto path = resolveStoredPath(pagesDir, page.currentPage);
    if (!path || !QFileInfo(*path).isFile()) {
        // An empty page of that name: saving it makes the file.
        clearPage();
        shownPage_ = page.currentPage;
        services_.dialogs.message(QStringLiteral("La page ''") +
                                      shortenedForMessage(page.currentPage) +
                                      QStringLiteral("'' n'existe pas"),
                                  MessageIcon::None, MessageButtons::Ok);
        return;
    }
    const TextReadResult file = readTextLines(*path);
    if (!file.ok) {
        refuse(QStringLiteral("Erreur : la page ''") + shortenedForMessage(page.currentPage) +
               QStringLiteral("'' ne peut pas être lue\r\n") + file.error);
        return;
    }
    const QString mediaDir = state_.paths.multimediaDirectory();
    const ParsedPage parsed = parsePage(
        file.lines,
        [&mediaDir](const QString &imageFile) {
            const auto picture = resolveStoredPath(mediaDir, imageFile);
            return picture && QFileInfo(*picture).isFile();
        },
        state_.tpp);
    if (!parsed.ok) {
        refuse(QStringLiteral("Erreur : la page ''%1'' ne peut pas être lue (ligne %2 : %3)")
                   .arg(shortenedForMessage(page.currentPage), QString::number(parsed.failedLine),
                        shortenedForMessage(parsed.failure)));
        return;
    }
    clearPage();
    shownPage_ = page.currentPage;
    if (state_.settings.pageSoundOn)
        sounds_.playPageSound(state_.settings.pageSoundNumber);
    if (parsed.pageColor) {
        page.pageColor = *parsed.pageColor;
        window_.setBackgroundColorValue(page.pageColor);
    }

    // Every picture is placed and shown at once; those not held in memory are decoded away
    // from the window, in index order (the scanning order). What cannot be a picture at all
    // is told now, from the file's header, so that the page is complete when the carer
    // reads the messages.
    QList<PictureLoads::Job> jobs;
    QStringList problems;
    page.imageCount = 0;
    for (const PageEntry &entry : parsed.entries) {
        const ImageRecord &record = parsed.records[std::size_t(entry.index)];
        page.imageTable[std::size_t(entry.index)] = record;
        // A record kept for a missing picture still holds its index.
        page.imageCount = qint16(entry.index);
        QString problem;
        if (entry.state == PictureState::Missing) {
            problem =
                QStringLiteral("L'image ''") + record.imageFile + QStringLiteral("'' n'existe pas");
        } else if (entry.state == PictureState::Outside) {
            problem = QStringLiteral("L'image ''") + record.imageFile +
                      QStringLiteral("'' est en dehors du répertoire ''multimedia'' : elle "
                                     "n'est pas affichée");
        } else {
            const QString picturePath = *resolveStoredPath(mediaDir, record.imageFile);
            if (!looksLikePicture(picturePath)) {
                problem = unreadable(record.imageFile);
            } else {
                PictureControl *control = window_.createPicture(entry.index);
                control->setTag(record.imageAction);
                control->setTwipsGeometry(record.left, record.top, record.width, record.height);
                const PictureCache::Request request{picturePath, control->decodeSize()};
                const QImage held = cache_.cached(request, stampOf(picturePath));
                if (held.isNull()) {
                    control->setPending(picturePath, &cache_);
                    jobs << PictureLoads::Job{entry.index, request};
                } else {
                    control->setSource(picturePath, &cache_, held);
                }
                control->show();
            }
        }
        if (!problem.isEmpty())
            problems << problem;
    }
    std::sort(jobs.begin(), jobs.end(),
              [](const auto &a, const auto &b) { return a.index < b.index; });
    for (const QString &problem : problems)
        services_.dialogs.message(problem, MessageIcon::None, MessageButtons::Ok);

    window_.setPageTitle(page.currentPage);
    page.pageModified = false;
    emit window_.pageShown();
    if (state_.settings.accessMode == kAccessScanning)
        window_.scanTimer()->start();
    if (jobs.isEmpty())
        emit picturesShown();
    else
        loads_.start(jobs);
}

void PageLoader::pictureDecoded(int index, const QString &path, const QImage &image) {
    PictureControl *control = window_.pictureAt(index);
    if (!control || !control->isPending() || control->sourcePath() != path)
        return; // the picture was changed or removed meanwhile
    if (!image.isNull()) {
        control->setSource(path, &cache_, image);
        return;
    }
    // Its header looked right but its content could not be decoded.
    window_.removePicture(index);
    services_.dialogs.message(unreadable(state_.page.imageTable[std::size_t(index)].imageFile),
                              MessageIcon::None, MessageButtons::Ok);
}

QString PageLoader::refusalOf(const QString &path, const QString &name) {
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("La page ''") + shortenedForMessage(name) +
               QStringLiteral("'' n'existe pas");
    if (info.size() > kMaxTextFileBytes)
        return QStringLiteral("Le fichier ''") + shortenedForMessage(name) +
               QStringLiteral("'' est trop grand pour être une page (plus de 1 Mo) : il n'est "
                              "pas ouvert.");
    return {};
}

bool PageLoader::mayLeavePage() {
    if (!state_.page.pageModified)
        return true;
    switch (services_.dialogs.message(QStringLiteral("La page a été modifiée, la sauvegarder ?"),
                                      MessageIcon::Question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        return savePage();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

bool PageLoader::savePage() {
    PageModel &page = state_.page;
    if (page.currentPage.isEmpty())
        return true; // no page was ever named: nothing to write
    const auto path = resolveStoredPath(state_.paths.pagesDirectory(), page.currentPage);
    if (!path) {
        services_.dialogs.message(QStringLiteral("La page ''") + page.currentPage +
                                      QStringLiteral("'' n'a pas été enregistrée : son nom "
                                                     "sort du répertoire ''pages''"),
                                  MessageIcon::Critical, MessageButtons::Ok);
        return false;
    }
    const TextWriteResult written =
        writeTextLines(*path, formatPage(page, state_.tpp), state_.paths.pagesDirectory());
    if (!written.ok) {
        services_.dialogs.message(
            QStringLiteral("La page ''") + shortenedForMessage(page.currentPage) +
                QStringLiteral("'' n'a pas été enregistrée.\r\n") + written.error,
            MessageIcon::Critical, MessageButtons::Ok);
        return false;
    }
    page.pageModified = false;
    return true;
}

} // namespace tv
