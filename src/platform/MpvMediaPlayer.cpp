#include "MpvMediaPlayer.h"

#include "MediaFormat.h"
#include "MidiRender.h"

#include <QDir>
#include <QGuiApplication>
#include <QWidget>
#include <clocale>
#include <mpv/client.h>

namespace tv {

namespace {

qint64 entryIdOf(const mpv_node &result) {
    if (result.format != MPV_FORMAT_NODE_MAP)
        return -1;
    const mpv_node_list *map = result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (qstrcmp(map->keys[i], "playlist_entry_id") == 0 &&
            map->values[i].format == MPV_FORMAT_INT64)
            return qint64(map->values[i].u.int64);
    }
    return -1;
}

} // namespace

MpvMediaPlayer::MpvMediaPlayer(QObject *parent) : QObject(parent) {
}

MpvMediaPlayer::~MpvMediaPlayer() {
    if (!mpv_)
        return;
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    // Stops playback, closes the audio stream and video output, and ends the player's
    // threads before it returns.
    mpv_terminate_destroy(mpv_);
}

bool MpvMediaPlayer::ensurePlayer() {
    if (mpv_)
        return true;
    // The player reads numbers in options the C way, whatever the person's language.
    std::setlocale(LC_NUMERIC, "C");
    mpv_ = mpv_create();
    if (!mpv_)
        return false;
    const std::pair<const char *, const char *> options[] = {
        {"config", "no"}, // no settings of a command-line player leak in
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"idle", "yes"},
        {"keep-open", "no"},
        {"audio-display", "no"}, // a sound file shows no cover picture
        {"ao", "pulse,alsa"},
        {"audio-client-name", "Tablavox"},
        {"hwdec", "no"},
        {"force-window", "no"},
        // Only the file named: no script that fetches addresses, no other files beside it.
        {"ytdl", "no"},
        {"load-scripts", "no"},
        {"autoload-files", "no"},
        {"audio-file-auto", "no"},
        {"sub-auto", "no"},
        {"cover-art-auto", "no"},
    };
    for (const auto &[name, value] : options)
        mpv_set_option_string(mpv_, name, value);
    // Without a real window system the video has nowhere to go: sound alone.
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    mpv_set_option_string(mpv_, "vo", x11 ? "gpu,xv,x11" : "null");
    // The graphics card through OpenGL on X (EGL) only. Left to probe every way it knows (Vulkan,
    // the console's display, Wayland), the player can hang or break our own connection to
    // the X server on a machine without a card, and a film after the first never shows.
    mpv_set_option_string(mpv_, "gpu-api", "opengl");
    mpv_set_option_string(mpv_, "gpu-context", "x11egl");
    if (mpv_initialize(mpv_) < 0) {
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
        return false;
    }
    mpv_set_wakeup_callback(
        mpv_,
        [](void *self) {
            // On a thread of the player's: the events are read on ours.
            QMetaObject::invokeMethod(static_cast<MpvMediaPlayer *>(self),
                                      &MpvMediaPlayer::drainEvents, Qt::QueuedConnection);
        },
        this);
    return true;
}

QWidget *MpvMediaPlayer::view() {
    if (!view_) {
        view_ = std::make_unique<QWidget>();
        view_->setObjectName(QStringLiteral("videoView"));
        // The player draws into a window of its own below ours.
        view_->setAttribute(Qt::WA_NativeWindow);
        view_->setAttribute(Qt::WA_DontCreateNativeAncestors);
        view_->setAutoFillBackground(true);
        QPalette black = view_->palette();
        black.setColor(QPalette::Window, Qt::black);
        view_->setPalette(black);
    }
    return view_.get();
}

void MpvMediaPlayer::setFileName(const QString &path) {
    midi_.renew(); // a file being rendered is not the one asked for any more
    midiPending_ = false;
    playWhenReady_ = false;
    path_ = path;
    // Known by its first bytes, whatever its name says: a playlist or an edit list named
    // like a sound would send the player to other files or to the network.
    format_ = mediaFormatOf(mediaHeadOf(path));
    if (format_ == QLatin1String("midi"))
        prepareMidi(path);
}

void MpvMediaPlayer::prepareMidi(const QString &path) {
    midiPending_ = true;
    midi_.run(
        [path](const OffThread::Token &) {
            QString why;
            QByteArray wav = renderMidiToWav(path, &why);
            return std::pair{wav, why};
        },
        [this](const std::pair<QByteArray, QString> &rendered) {
            midiReady(rendered.first, rendered.second);
        });
}

void MpvMediaPlayer::midiReady(const QByteArray &wav, const QString &why) {
    midiPending_ = false;
    if (wav.isEmpty()) {
        playWhenReady_ = false;
        fail(why);
        return;
    }
    midiSound_ = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                  QStringLiteral("/tablavox-midi-XXXXXX.wav"));
    if (!midiSound_->open() || midiSound_->write(wav) != wav.size() || !midiSound_->flush()) {
        playWhenReady_ = false;
        fail(QStringLiteral("le son du fichier MIDI ne peut pas être préparé"));
        return;
    }
    path_ = midiSound_->fileName();
    format_ = QStringLiteral("wav");
    if (playWhenReady_) {
        playWhenReady_ = false;
        load(path_);
    }
}

void MpvMediaPlayer::play() {
    if (format_.isEmpty()) {
        fail(QStringLiteral("ce fichier n'est pas un son ni une vidéo que le programme lit"));
        return;
    }
    if (midiPending_) {
        playWhenReady_ = true;
        reportMode();
        return;
    }
    load(path_);
}

void MpvMediaPlayer::load(const QString &path) {
    if (!ensurePlayer()) {
        fail(QStringLiteral("le lecteur multimédia n'a pas pu démarrer"));
        return;
    }
    if (view_) {
        const QByteArray wid = QByteArray::number(qint64(view_->winId()));
        mpv_set_property_string(mpv_, "wid", wid.constData());
    }
    mpv_set_property_string(mpv_, "pause", "no");
    // The container read as what its first bytes say, by that reader alone: none of the
    // player's own readers of playlists and edit lists, none that opens other files.
    mpv_set_property_string(mpv_, "demuxer", "lavf");
    mpv_set_property_string(mpv_, "demuxer-lavf-format", format_.toLatin1().constData());
    const QByteArray file = path.toUtf8();
    const char *args[] = {"loadfile", file.constData(), "replace", nullptr};
    mpv_node result;
    if (mpv_command_ret(mpv_, args, &result) < 0) {
        fail(QStringLiteral("le lecteur multimédia refuse ce fichier"));
        return;
    }
    entry_ = entryIdOf(result);
    mpv_free_node_contents(&result);
    requested_ = true;
    playing_ = false;
    paused_ = false;
    reportMode();
}

void MpvMediaPlayer::stop() {
    const bool wasPending = playWhenReady_;
    playWhenReady_ = false;
    const bool active = requested_ || playing_ || paused_;
    requested_ = playing_ = paused_ = false;
    entry_ = -1;
    if (mpv_ && active) {
        // Waited for: a stop still queued could overtake the next file and end it unheard.
        const char *args[] = {"stop", nullptr};
        mpv_command(mpv_, args);
    }
    if (active || wasPending)
        reportMode();
}

void MpvMediaPlayer::pause() {
    if (!mpv_ || !(requested_ || playing_))
        return;
    mpv_set_property_string(mpv_, "pause", "yes");
    paused_ = true;
    reportMode();
}

QString MpvMediaPlayer::mode() const {
    if (playWhenReady_)
        return QStringLiteral("open");
    if (paused_)
        return QStringLiteral("paused");
    if (playing_)
        return QStringLiteral("playing");
    if (requested_)
        return QStringLiteral("open");
    return QStringLiteral("stopped");
}

void MpvMediaPlayer::drainEvents() {
    while (mpv_) {
        const mpv_event *event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handle(*event);
    }
}

void MpvMediaPlayer::handle(const mpv_event &event) {
    switch (event.event_id) {
    case MPV_EVENT_START_FILE: {
        const auto *start = static_cast<const mpv_event_start_file *>(event.data);
        // A player too old to number its files: the next one started is ours.
        if (requested_ && entry_ < 0)
            entry_ = start->playlist_entry_id;
        break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        // The file's sound is on its way to the output.
        if (requested_ && !paused_) {
            requested_ = false;
            playing_ = true;
            reportMode();
        }
        break;
    case MPV_EVENT_END_FILE: {
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (end->playlist_entry_id != entry_ || entry_ < 0)
            break;
        entry_ = -1;
        requested_ = playing_ = paused_ = false;
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            fail(QString::fromUtf8(mpv_error_string(end->error)));
        else
            reportMode();
        break;
    }
    case MPV_EVENT_SHUTDOWN:
        // Ended from outside: made anew for the next file.
        mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
        entry_ = -1;
        requested_ = playing_ = paused_ = false;
        reportMode();
        break;
    default:
        break;
    }
}

void MpvMediaPlayer::fail(const QString &why) {
    requested_ = playing_ = paused_ = false;
    entry_ = -1;
    reportMode();
    if (onError)
        onError(why);
}

void MpvMediaPlayer::reportMode() {
    const QString now = mode();
    if (now == reported_)
        return;
    reported_ = now;
    if (onModeChange)
        onModeChange(now);
}

} // namespace tv
