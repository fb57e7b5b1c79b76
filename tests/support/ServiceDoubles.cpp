#include "ServiceDoubles.h"

#include <QtTest>
#include <QtWidgets>

namespace tv::test {

namespace {
template <typename T> T next(std::deque<T> &queue, T otherwise) {
    if (!queue.empty()) {
        otherwise = std::move(queue.front());
        queue.pop_front();
    }
    return otherwise;
}
} // namespace

MessageAnswer ScriptedDialogs::message(const QString &text, MessageIcon icon,
                                       MessageButtons buttons, const QString &title) {
    messages.append({text, icon, buttons, title.isEmpty() ? kProgramTitle : title});
    return next(answers, buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
}

QString ScriptedDialogs::input(const QString &, const QString &, const QString &) {
    return next(inputs, QString());
}

std::optional<QString> ScriptedDialogs::openFile(const OpenFileRequest &request) {
    fileRequests.append(request);
    return next(files, std::optional<QString>());
}

std::optional<qint32> ScriptedDialogs::chooseColor() {
    return next(colors, std::optional<qint32>());
}

void ScriptedMediaPlayer::play() {
    commands << QStringLiteral("play");
    switch (onPlay) {
    case OnPlay::Plays:
        enterMode(QStringLiteral("playing"));
        break;
    case OnPlay::StaysOpen:
        enterMode(QStringLiteral("open"));
        break;
    case OnPlay::Fails:
        enterMode(QStringLiteral("open"));
        if (onError)
            onError(QStringLiteral("format inconnu"));
        break;
    }
}

void ScriptedMediaPlayer::stop() {
    commands << QStringLiteral("stop");
    enterMode(QStringLiteral("stopped"));
}

void ScriptedMediaPlayer::pause() {
    commands << QStringLiteral("pause");
    enterMode(QStringLiteral("paused"));
}

void ScriptedMediaPlayer::enterMode(const QString &mode) {
    if (mode == current)
        return;
    current = mode;
    if (onModeChange)
        onModeChange(mode);
}

QStringList unnamedControls(const QWidget *window) {
    QStringList unnamed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // A name of its own: a button's text, or the name given for it. (Qt would otherwise
        // fall back on the frame's title or the value shown, which name nothing.)
        const auto *button = qobject_cast<QAbstractButton *>(w);
        const bool control =
            qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w) ||
            (qobject_cast<QAbstractSlider *>(w) && !qobject_cast<QScrollBar *>(w)) ||
            qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractItemView *>(w) || button;
        // A combo box's list is a window of its own; a spin box's or combo box's text field
        // is part of it; Qt's own parts ("qt_…") are named by Qt.
        if (control && w->window() == window && !w->objectName().startsWith("qt_") &&
            !qobject_cast<QComboBox *>(w->parentWidget()) &&
            !qobject_cast<QAbstractSpinBox *>(w->parentWidget()) &&
            w->accessibleName().trimmed().isEmpty() &&
            (!button || button->text().remove(u'&').trimmed().isEmpty()))
            unnamed << w->objectName();
    }
    return unnamed;
}

} // namespace tv::test
