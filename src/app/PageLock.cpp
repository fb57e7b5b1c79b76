#include "PageLock.h"

#include "edit/PointerModes.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "use/SwitchInput.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenuBar>

namespace tv {

PageLock::PageLock(AppState &state, MainWindow &window, Services &services, PointerModes &modes,
                   std::function<void()> save, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), modes_(modes),
      save_(std::move(save)) {
    hold_.setSingleShot(true);
    hold_.setInterval(kHoldMs);
    connect(&hold_, &QTimer::timeout, this, [this] { setLocked(false); });
    connect(window_.action(QStringLiteral("mnuVerrouiller")), &QAction::triggered, this,
            [this] { setLocked(true); });
    connect(window_.action(QStringLiteral("mnuPleinEcran")), &QAction::triggered, this,
            [this](bool on) {
                state_.settings.fullScreen = on;
                window_.setFullScreen(on);
                save_();
            });
    connect(window_.action(QStringLiteral("mnuDéverrouiller")), &QAction::triggered, this, [this] {
        services_.dialogs.message(QStringLiteral("Pour déverrouiller la page, tenez les touches "
                                                 "Ctrl, Alt et D enfoncées pendant 2 secondes."),
                                  MessageIcon::Information, MessageButtons::Ok);
    });
    qApp->installEventFilter(this);
}

PageLock::~PageLock() {
    qApp->removeEventFilter(this);
}

void PageLock::apply() {
    const bool locked = state_.settings.locked;
    QAction *unlock = window_.action(QStringLiteral("mnuDéverrouiller"));
    for (QAction *entry : window_.menuBar()->actions())
        entry->setVisible(entry == unlock ? locked : !locked);
    // Disabled as well as hidden: no shortcut reaches an editing command either.
    for (QAction *entry : window_.findChildren<QAction *>())
        entry->setEnabled(entry == unlock || !locked);
    window_.action(QStringLiteral("mnuPleinEcran"))->setChecked(state_.settings.fullScreen);
    if (locked) {
        // A dialog left open (the program's properties are modeless) is closed with the rest.
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QDialog *>(w) && w->isVisible())
                w->close();
        }
        modes_.cancel();
        if (state_.settings.fullScreen)
            window_.setFullScreen(true);
    }
}

void PageLock::setLocked(bool locked) {
    if (state_.settings.locked == locked)
        return;
    state_.settings.locked = locked;
    // Unlocked, the carer finds the window as it was, frame and all.
    if (!locked)
        window_.setFullScreen(false);
    apply();
    save_();
}

bool PageLock::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType() ||
        static_cast<QWidget *>(watched)->window() != &window_)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->isAutoRepeat())
        return false;
    const bool chord = key->key() == Qt::Key_D &&
                       key->modifiers().testFlags(Qt::ControlModifier | Qt::AltModifier);
    if (type == QEvent::KeyPress && chord && state_.settings.locked) {
        // A held key repeats its press, and not every repeat is marked as one: the time runs
        // from the first press.
        if (!hold_.isActive())
            hold_.start();
        return true;
    }
    // Letting go of any of the three keys before the time is up unlocks nothing.
    if (type == QEvent::KeyRelease &&
        (key->key() == Qt::Key_D || key->key() == Qt::Key_Control || key->key() == Qt::Key_Alt))
        hold_.stop();
    // Escape gives the window back its frame, unless it is the person's switch.
    if (type == QEvent::KeyPress && key->key() == Qt::Key_Escape && window_.fillsScreen() &&
        SwitchInput::keyNamed(state_.settings.switches.selectKey) != Qt::Key_Escape &&
        SwitchInput::keyNamed(state_.settings.switches.stepKey) != Qt::Key_Escape)
        window_.setFullScreen(false);
    return false;
}

} // namespace tv
