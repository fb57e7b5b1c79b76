#pragma once

#include "use/PressEditor.h"

#include <QObject>
#include <QPoint>
#include <functional>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class MediaPlayback;
class PageLoader;
class SpeechWindow;

// What a press on a picture does: say its phrase, open its page, quit, show the credits.
class PictureActivation : public QObject {
    Q_OBJECT
public:
    PictureActivation(AppState &state, MainWindow &window, Services &services, SpeechWindow &speech,
                      PageLoader &pages, MediaPlayback &media, std::function<void()> quit,
                      QObject *parent = nullptr);

    // The press handler: a mouse button went down on picture `index`.
    void press(int index, Qt::MouseButton button, QPoint twipsInside = {});

    void setEditor(PressEditor *editor) { editor_ = editor; }

    // Copies the picture's place and size into its record; nothing for a deleted picture.
    void affecteValeursTouche();

    static QString creditsText();

private:
    void openPageLink(const QString &action);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    SpeechWindow &speech_;
    PageLoader &pages_;
    MediaPlayback &media_;
    std::function<void()> quit_;
    PressEditor *editor_ = nullptr;
};

} // namespace tv
