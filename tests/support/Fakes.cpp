#include "Fakes.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace tv::test {

MessageAnswer ScriptedDialogs::message(const QString &text, MessageIcon icon,
                                       MessageButtons buttons, const QString &title) {
    messages.append({text, icon, buttons, title.isEmpty() ? kProgramTitle : title});
    if (!answers.empty()) {
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

QString ScriptedDialogs::input(const QString &, const QString &, const QString &) {
    if (inputs.empty())
        return {};
    const QString s = inputs.front();
    inputs.pop_front();
    return s;
}

std::optional<QString> ScriptedDialogs::openFile(const OpenFileRequest &request) {
    fileRequests.append(request);
    if (files.empty())
        return std::nullopt;
    const auto f = files.front();
    files.pop_front();
    return f;
}

std::optional<qint32> ScriptedDialogs::chooseColor() {
    if (colors.empty())
        return std::nullopt;
    const auto c = colors.front();
    colors.pop_front();
    return c;
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
