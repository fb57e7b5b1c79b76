#pragma once

#include "PictureLoads.h"

#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PageSounds;
class PictureCache;

// Puts a page on the main window and takes it off; writes the page shown back to its file.
class PageLoader : public QObject {
    Q_OBJECT
public:
    PageLoader(AppState &state, MainWindow &window, Services &services, PictureCache &cache,
               PageSounds &sounds, QObject *parent = nullptr);

    // Empties the page model and removes every picture control.
    void clearPage();
    // Loads the page named by the current page. A page that cannot be read is told and not
    // loaded: the page shown stays. The page, its colour and every picture's place are
    // there on return; pictures not held in memory are filled in as they are
    // decoded, in scanning order.
    void loadPage();
    // Pictures of the page shown that are still being decoded.
    int picturesPending() const { return loads_.pending(); }
    // Writes the page model to the current page's file. False, after telling the carer,
    // when nothing was written; the former file is then left whole.
    bool savePage();
    // Before the page shown gives way to another: a modified page is offered a save. True
    // when the page may go (saved, or the carer chose not to); false to stay on it, edits
    // kept: "Annuler", or a save that failed.
    bool mayLeavePage();
    // Why the file cannot be opened as a page (missing, or far too large), or empty.
    static QString refusalOf(const QString &path, const QString &name);

signals:
    // The pages directory is gone: the program must end.
    void fatalError();
    // Every picture of the page shown is drawn (at once when none had to be decoded).
    void picturesShown();

private:
    void fail(const QString &text);
    void refuse(const QString &text);
    void pictureDecoded(int index, const QString &path, const QImage &image);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PictureCache &cache_;
    PageSounds &sounds_;
    PictureLoads loads_;
    QString shownPage_; // the name of the page the window shows
};

} // namespace tv
