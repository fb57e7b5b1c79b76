#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PointerModes;

// The person's mode: a locked page keeps choosing, the message strip, the player and
// scanning, and closes everything that edits (the menus, the picture menu, moving); the
// window may fill the screen. A carer unlocks by holding Ctrl+Alt+D for two seconds, which a
// person choosing pictures does not do by chance.
class PageLock : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoldMs = 2000;

    // `save` keeps the settings in the file at once.
    PageLock(AppState &state, MainWindow &window, Services &services, PointerModes &modes,
             std::function<void()> save, QObject *parent = nullptr);
    ~PageLock() override;

    // The menus and the window as the settings say.
    void apply();
    void setLocked(bool locked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PointerModes &modes_;
    std::function<void()> save_;
    QTimer hold_;
};

} // namespace tv
