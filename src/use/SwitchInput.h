#pragma once

#include "SwitchRules.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace tv {

struct AppState;
class MainWindow;
class Scanning;

// The person's switches in scanning access: a key (Space, Enter or one the carer names)
// that selects, a second key that moves the frame in step-by-step scanning, and the left
// button, with the acceptance and release times. The keys never reach the menus or the
// arrow-key editing. A left press goes to the picture under the cursor as always, unless
// something stands between the switch and the picture: a timing filter, a pattern that
// is not picture after picture, or scanning paused.
class SwitchInput : public QObject {
    Q_OBJECT
public:
    SwitchInput(AppState &state, MainWindow &window, Scanning &scanning, QObject *parent = nullptr);
    ~SwitchInput() override;

    // Settings read again: the timing starts afresh.
    void settingsChanged();
    // The key named in the settings ("espace", "entrée", or a key's name such as "F2").
    static int keyNamed(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Switch { Select, Move };
    void down(Switch which);
    void up(Switch which, qint64 at);
    void held();
    // A key's press and release as the X server sends them: a release followed by a press
    // of the same key at the same server time is the server repeating a held key.
    void keyDown(Switch which, quint64 serverTime);
    void keyUp(Switch which, quint64 serverTime);
    void releaseConfirmed();
    void act(Switch which);
    bool interceptsButton() const;
    bool belongsToPage(QObject *watched, bool pointer) const;
    bool keyboardFocus(QObject *watched, QEvent *event);

    AppState &state_;
    MainWindow &window_;
    Scanning &scanning_;
    QElapsedTimer clock_;
    SwitchTiming select_{0, 0}, move_{0, 0};
    QTimer acceptance_;
    Switch holding_ = Switch::Select;
    bool buttonDown_ = false;
    // A key release not yet known to be real.
    struct PendingRelease {
        bool active = false;
        Switch which = Switch::Select;
        quint64 serverTime = 0;
        qint64 at = 0;
        bool acceptanceDue = false;
    } pending_;
    QTimer releaseCheck_;
};

} // namespace tv
