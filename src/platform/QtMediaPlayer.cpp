#include "QtMediaPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

namespace tv {

QtMediaPlayer::QtMediaPlayer(QObject *parent) : QObject(parent) {
}

QMediaPlayer &QtMediaPlayer::player() {
    if (player_)
        return *player_;
    player_ = std::make_unique<QMediaPlayer>();
    output_ = new QAudioOutput(player_.get());
    player_->setAudioOutput(output_);
    if (view_)
        player_->setVideoOutput(view_.get());
    // An output plugged in or chosen as default while the program runs is followed.
    auto *devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::audioOutputsChanged, this,
            [this] { output_->setDevice(QMediaDevices::defaultAudioOutput()); });

    connect(player_.get(), &QMediaPlayer::playbackStateChanged, this, &QtMediaPlayer::reportMode);
    connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::InvalidMedia && onError)
                    onError(player_->errorString());
                reportMode();
            });
    connect(player_.get(), &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString &why) {
                // An invalid file is reported once, through its status.
                if (error != QMediaPlayer::NoError &&
                    player_->mediaStatus() != QMediaPlayer::InvalidMedia && onError)
                    onError(why);
            });
    return *player_;
}

QtMediaPlayer::~QtMediaPlayer() {
    if (!player_)
        return;
    player_->disconnect(this);
    player_->stop();
    player_->setVideoOutput(nullptr);
}

QWidget *QtMediaPlayer::view() {
    if (!view_) {
        view_ = std::make_unique<QVideoWidget>();
        player().setVideoOutput(view_.get());
    }
    return view_.get();
}

void QtMediaPlayer::setFileName(const QString &path) {
    player().setSource(QUrl::fromLocalFile(path));
}

void QtMediaPlayer::play() {
    player();
    output_->setDevice(QMediaDevices::defaultAudioOutput());
    player_->play();
}

void QtMediaPlayer::stop() {
    if (player_)
        player_->stop();
}

void QtMediaPlayer::pause() {
    if (player_)
        player_->pause();
}

QString QtMediaPlayer::mode() const {
    if (!player_)
        return QStringLiteral("stopped");
    switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState:
        switch (player_->mediaStatus()) {
        case QMediaPlayer::LoadingMedia:
        case QMediaPlayer::NoMedia:
        case QMediaPlayer::InvalidMedia:
            // Asked to play, not heard yet.
            return QStringLiteral("open");
        default:
            return QStringLiteral("playing");
        }
    case QMediaPlayer::PausedState:
        return QStringLiteral("paused");
    case QMediaPlayer::StoppedState:
        break;
    }
    return QStringLiteral("stopped");
}

void QtMediaPlayer::reportMode() {
    const QString now = mode();
    if (now == reported_)
        return;
    reported_ = now;
    if (onModeChange)
        onModeChange(now);
}

} // namespace tv
