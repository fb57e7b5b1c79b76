#include "SwitchInput.h"

#include "Scanning.h"
#include "model/AppState.h"
#include "page/MainWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

namespace tv {

namespace {
// How long a key release waits for the press the server sends with it when it repeats a
// held key; both are sent at once, so this only covers a busy machine's delay in reading.
constexpr int kRepeatPairMs = 60;
} // namespace

SwitchInput::SwitchInput(AppState &state, MainWindow &window, Scanning &scanning, QObject *parent)
    : QObject(parent), state_(state), window_(window), scanning_(scanning) {
    clock_.start();
    acceptance_.setSingleShot(true);
    acceptance_.setTimerType(Qt::PreciseTimer);
    connect(&acceptance_, &QTimer::timeout, this, &SwitchInput::held);
    releaseCheck_.setSingleShot(true);
    releaseCheck_.setInterval(kRepeatPairMs);
    connect(&releaseCheck_, &QTimer::timeout, this, &SwitchInput::releaseConfirmed);
    // Installed after the main window's own filter, so seen first.
    qApp->installEventFilter(this);
    settingsChanged();
}

SwitchInput::~SwitchInput() {
    qApp->removeEventFilter(this);
}

int SwitchInput::keyNamed(const QString &name) {
    const QString n = name.trimmed().toLower();
    if (n.isEmpty())
        return 0;
    if (n == QStringLiteral("espace"))
        return Qt::Key_Space;
    if (n == QStringLiteral("entrée") || n == QStringLiteral("entree"))
        return Qt::Key_Return;
    const QKeySequence sequence = QKeySequence::fromString(name.trimmed());
    // One plain key only: a combination could not come from a switch interface.
    if (sequence.count() != 1 || sequence[0].keyboardModifiers() != Qt::NoModifier)
        return 0;
    return sequence[0].key();
}

void SwitchInput::settingsChanged() {
    const SwitchSettings &s = state_.settings.switches;
    select_ = SwitchTiming(s.acceptanceMs, s.releaseMs);
    move_ = SwitchTiming(s.acceptanceMs, s.releaseMs);
    acceptance_.stop();
    releaseCheck_.stop();
    pending_ = {};
}

bool SwitchInput::interceptsButton() const {
    const SwitchSettings &s = state_.settings.switches;
    return s.acceptanceMs > 0 || s.releaseMs > 0 || s.pattern != kPatternAuto ||
           scanning_.isPaused();
}

bool SwitchInput::belongsToPage(QObject *watched, bool pointer) const {
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return false;
    // A key is the window's wherever its focus is; a button press, only on the page and the
    // message strip, never on the menu bar the carer uses.
    const QWidget *page = window_.centralWidget();
    return pointer ? widget == page || page->isAncestorOf(widget) : widget->window() == &window_;
}

// In mouse access the keyboard moves the frame over the page and chooses what it frames.
bool SwitchInput::keyboardFocus(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !belongsToPage(watched, false) ||
        scanning_.pointerArmed())
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Right:
    case Qt::Key_Down:
        scanning_.focusStep(false);
        return true;
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Up:
        scanning_.focusStep(true);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return scanning_.chooseFramed();
    default:
        return false;
    }
}

bool SwitchInput::eventFilter(QObject *watched, QEvent *event) {
    if (state_.settings.accessMode == kAccessMouse)
        return keyboardFocus(watched, event);
    if (state_.settings.accessMode != kAccessScanning)
        return false;
    const QEvent::Type type = event->type();
    const bool key =
        type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
    const bool button = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                        type == QEvent::MouseButtonRelease;
    if ((!key && !button) || !belongsToPage(watched, button))
        return false;
    if (key || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const SwitchSettings &s = state_.settings.switches;
        const int pressed = keyEvent->key() == Qt::Key_Enter ? Qt::Key_Return : keyEvent->key();
        Switch which;
        if (pressed != 0 && pressed == keyNamed(s.selectKey))
            which = Switch::Select;
        else if (s.pattern == kPatternStep && pressed != 0 && pressed == keyNamed(s.stepKey))
            which = Switch::Move;
        else
            return false;
        // Taken whole: no menu accelerator, no arrow-key editing, no button. Qt's own flag
        // for a repeated key is trusted when it is set; it misses some repeats.
        if (type == QEvent::KeyPress && !keyEvent->isAutoRepeat())
            keyDown(which, keyEvent->timestamp());
        else if (type == QEvent::KeyRelease && !keyEvent->isAutoRepeat())
            keyUp(which, keyEvent->timestamp());
        event->accept();
        return true;
    }
    if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return false;
    // The release of a press taken as a switch is the switch's too, even if scanning has
    // changed in between (the press that woke it up).
    if (type == QEvent::MouseButtonRelease) {
        if (!buttonDown_)
            return false;
        buttonDown_ = false;
        up(Switch::Select, clock_.elapsed());
        return true;
    }
    // A press on a picture or on the strip is always the switch: it chooses what is framed,
    // never a picture the cursor happens to rest on (the page may have changed under it).
    // On the background it is the window's own unless a filter stands in between.
    if (scanning_.pointerArmed() || (!interceptsButton() && watched == window_.surface()))
        return false;
    buttonDown_ = true;
    down(Switch::Select);
    return true;
}

void SwitchInput::down(Switch which) {
    SwitchTiming &timing = which == Switch::Select ? select_ : move_;
    // The same press, repeated while held: its acceptance time goes on from its start.
    if (timing.isDown())
        return;
    if (timing.down(clock_.elapsed())) {
        act(which);
    } else if (timing.acceptanceMs() > 0) {
        holding_ = which;
        acceptance_.start(timing.acceptanceMs());
    }
}

void SwitchInput::up(Switch which, qint64 at) {
    SwitchTiming &timing = which == Switch::Select ? select_ : move_;
    // A release before the acceptance time ends the press: it never counts.
    if (timing.heldUntil(at))
        act(which);
    timing.up(at);
    if (holding_ == which)
        acceptance_.stop();
}

void SwitchInput::held() {
    // The key may already be up: that is decided first.
    if (pending_.active && pending_.which == holding_) {
        pending_.acceptanceDue = true;
        return;
    }
    SwitchTiming &timing = holding_ == Switch::Select ? select_ : move_;
    if (timing.heldUntil(clock_.elapsed()))
        act(holding_);
}

void SwitchInput::keyDown(Switch which, quint64 serverTime) {
    if (pending_.active) {
        if (pending_.which == which && serverTime != 0 && serverTime == pending_.serverTime) {
            // The server repeating the held key: it was never released.
            const bool due = pending_.acceptanceDue;
            pending_ = {};
            releaseCheck_.stop();
            if (due)
                held();
            return;
        }
        releaseConfirmed();
    }
    down(which);
}

void SwitchInput::keyUp(Switch which, quint64 serverTime) {
    if (pending_.active)
        releaseConfirmed();
    // Events made without a server time cannot be paired: the release is taken as it is.
    if (serverTime == 0) {
        up(which, clock_.elapsed());
        return;
    }
    pending_ = {true, which, serverTime, clock_.elapsed(), false};
    releaseCheck_.start();
}

void SwitchInput::releaseConfirmed() {
    if (!pending_.active)
        return;
    const PendingRelease release = pending_;
    pending_ = {};
    releaseCheck_.stop();
    up(release.which, release.at);
}

void SwitchInput::act(Switch which) {
    if (which == Switch::Move)
        scanning_.advance();
    else
        scanning_.select();
}

} // namespace tv
