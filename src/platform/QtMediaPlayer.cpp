#include "QtMediaPlayer.h"

#include "MidiRender.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDir>
#include <QFutureWatcher>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>
#include <QtConcurrent>

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
    ++generation_;
    midiPending_ = false;
    playWhenReady_ = false;
    if (path.endsWith(QLatin1String(".mid"), Qt::CaseInsensitive)) {
        player().setSource(QUrl());
        prepareMidi(path);
        return;
    }
    player().setSource(QUrl::fromLocalFile(path));
}

void QtMediaPlayer::prepareMidi(const QString &path) {
    midiPending_ = true;
    const quint64 generation = generation_;
    auto *watcher = new QFutureWatcher<std::pair<QByteArray, QString>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        const auto [wav, why] = watcher->result();
        watcher->deleteLater();
        midiReady(generation, wav, why);
    });
    watcher->setFuture(QtConcurrent::run([path] {
        QString why;
        QByteArray wav = renderMidiToWav(path, &why);
        return std::pair{wav, why};
    }));
}

void QtMediaPlayer::midiReady(quint64 generation, const QByteArray &wav, const QString &why) {
    // Another file was asked for meanwhile.
    if (generation != generation_)
        return;
    midiPending_ = false;
    if (wav.isEmpty()) {
        playWhenReady_ = false;
        reportMode();
        if (onError)
            onError(why);
        return;
    }
    midiSound_ = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                  QStringLiteral("/tablavox-midi-XXXXXX.wav"));
    if (!midiSound_->open() || midiSound_->write(wav) != wav.size() || !midiSound_->flush()) {
        playWhenReady_ = false;
        reportMode();
        if (onError)
            onError(QStringLiteral("le son du fichier MIDI ne peut pas être préparé"));
        return;
    }
    player().setSource(QUrl::fromLocalFile(midiSound_->fileName()));
    if (playWhenReady_) {
        playWhenReady_ = false;
        play();
    }
}

void QtMediaPlayer::play() {
    if (midiPending_) {
        playWhenReady_ = true;
        reportMode();
        return;
    }
    player();
    output_->setDevice(QMediaDevices::defaultAudioOutput());
    player_->play();
}

void QtMediaPlayer::stop() {
    if (playWhenReady_) {
        playWhenReady_ = false;
        reportMode();
    }
    if (player_)
        player_->stop();
}

void QtMediaPlayer::pause() {
    if (player_)
        player_->pause();
}

QString QtMediaPlayer::mode() const {
    if (playWhenReady_)
        return QStringLiteral("open");
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
