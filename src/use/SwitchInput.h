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
    void up(Switch which);
    void held();
    void act(Switch which);
    bool interceptsButton() const;
    bool belongsToPage(QObject *watched, bool pointer) const;

    AppState &state_;
    MainWindow &window_;
    Scanning &scanning_;
    QElapsedTimer clock_;
    SwitchTiming select_{0, 0}, move_{0, 0};
    QTimer acceptance_;
    Switch holding_ = Switch::Select;
    bool buttonDown_ = false;
};

} // namespace tv
