#pragma once

#include "use/DwellRule.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>

namespace tv {

struct AppState;
class MainWindow;
class DwellRing;

// Choosing by resting the pointer (an eye tracker, a head pointer): the picture or strip
// control under a pointer that stays still long enough is chosen as a left press would
// choose it, and a ring on it fills with the time that goes by.
class DwellPointing : public QObject {
    Q_OBJECT
public:
    // `busy`: the player is open, nothing is chosen; `press`: a picture chosen.
    DwellPointing(AppState &state, MainWindow &window, std::function<bool()> busy,
                  std::function<void(int)> press, QObject *parent = nullptr);
    ~DwellPointing() override;

    // Starts or stops with the access chosen, and takes the times and distances anew.
    void settingsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void look();
    // What can be chosen under the pointer; none when nothing there can be.
    Target targetAt(QPoint global) const;
    QWidget *widgetOf(Target target) const;
    void choose(Target target);

    AppState &state_;
    MainWindow &window_;
    std::function<bool()> busy_;
    std::function<void(int)> press_;
    DwellRule rule_;
    QElapsedTimer clock_;
    QTimer tick_; // the pointer looked at, and the ring drawn, at the screen's pace
    QTimer due_;  // the moment a rest is complete, to the millisecond
    QPointer<DwellRing> ring_;
    bool choosing_ = false;
    // After a new page, where the pointer was: nothing counts until it moves from there.
    std::optional<QPoint> still_;
};

} // namespace tv
