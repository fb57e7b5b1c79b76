#include "SwitchInput.h"

#include "Scanning.h"
#include "page/MainWindow.h"
#include "platform/AppState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

namespace tv {

SwitchInput::SwitchInput(AppState &state, MainWindow &window, Scanning &scanning, QObject *parent)
    : QObject(parent), state_(state), window_(window), scanning_(scanning) {
    clock_.start();
    acceptance_.setSingleShot(true);
    acceptance_.setTimerType(Qt::PreciseTimer);
    connect(&acceptance_, &QTimer::timeout, this, &SwitchInput::held);
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

bool SwitchInput::eventFilter(QObject *watched, QEvent *event) {
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
        // Taken whole: no menu accelerator, no arrow-key editing, no button.
        if (type == QEvent::KeyPress && !keyEvent->isAutoRepeat())
            down(which);
        else if (type == QEvent::KeyRelease && !keyEvent->isAutoRepeat())
            up(which);
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
        up(Switch::Select);
        return true;
    }
    if (!interceptsButton() || !state_.pointerMode.isEmpty())
        return false;
    buttonDown_ = true;
    down(Switch::Select);
    return true;
}

void SwitchInput::down(Switch which) {
    SwitchTiming &timing = which == Switch::Select ? select_ : move_;
    if (timing.down(clock_.elapsed())) {
        act(which);
    } else if (timing.acceptanceMs() > 0) {
        holding_ = which;
        acceptance_.start(timing.acceptanceMs());
    }
}

void SwitchInput::up(Switch which) {
    SwitchTiming &timing = which == Switch::Select ? select_ : move_;
    // A release before the acceptance time ends the press: it never counts.
    if (timing.heldUntil(clock_.elapsed()))
        act(which);
    timing.up();
    if (holding_ == which)
        acceptance_.stop();
}

void SwitchInput::held() {
    SwitchTiming &timing = holding_ == Switch::Select ? select_ : move_;
    if (timing.heldUntil(clock_.elapsed()))
        act(holding_);
}

void SwitchInput::act(Switch which) {
    if (which == Switch::Move)
        scanning_.advance();
    else
        scanning_.select();
}

} // namespace tv
