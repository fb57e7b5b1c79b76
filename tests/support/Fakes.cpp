#include "Fakes.h"

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

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray pngBytes(const QColor &color, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
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

} // namespace tv::test
