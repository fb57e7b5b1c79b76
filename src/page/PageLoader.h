#pragma once

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
    // Loads the page named by the current page.
    void loadPage();
    // Writes the page model to the current page's file. False, after telling the carer,
    // when nothing was written; the former file is then left whole.
    bool savePage();
    // Why the file cannot be opened as a page (missing, or far too large), or empty.
    static QString refusalOf(const QString &path, const QString &name);

signals:
    // The page could not be read: the program must end.
    void fatalError();

private:
    void fail(const QString &text);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PictureCache &cache_;
    PageSounds &sounds_;
};

} // namespace tv
