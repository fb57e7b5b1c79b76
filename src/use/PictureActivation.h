#pragma once

#include "journal/LamLog.h"
#include "model/AppState.h"
#include "use/PressEditor.h"

#include <QObject>
#include <QPoint>
#include <functional>

namespace tv {

struct Services;
class MainWindow;
class MediaPlayback;
class PageLoader;
class SpeechWindow;
class UsageLog;

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
    // Where choices, messages and page changes are noted, when the log is on.
    void setUsageLog(UsageLog *log) { log_ = log; }

    // Copies the picture's place and size into its record; nothing for a deleted picture.
    void affecteValeursTouche();

    static QString creditsText();

    // A picture chosen outside the page (a suggestion), and a message said again: noted as
    // a press and "Dire" are.
    void notePicked(const QString &said);
    void noteMessage(const QString &text);

private:
    void openPageLink(const QString &action);
    // Notes a picture chosen, with how it was chosen; forgets how, either way.
    void noteChoice(const QString &said, const AppState::Choosing &how);
    void note(UsageEvent::Kind kind, const QString &text);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    SpeechWindow &speech_;
    PageLoader &pages_;
    MediaPlayback &media_;
    std::function<void()> quit_;
    PressEditor *editor_ = nullptr;
    UsageLog *log_ = nullptr;
};

} // namespace tv
