#include "MediaPlayback.h"

#include "MediaWindow.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StoredPath.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <utility>

namespace tv {

namespace {

const QString kPlaying = QStringLiteral("playing");

bool onlySounds(const QString &extension) {
    return extension == QLatin1String("wav") || extension == QLatin1String("mp3") ||
           extension == QLatin1String("mid");
}

// The height plus its bar must stay a 16-bit number; a negative size gives the bar alone.
constexpr double kMaxVideoHeight = 32767 - 60;
constexpr double kMaxVideoWidth = 32767 - 30;

} // namespace

QSize mediaWindowTwips(const QString &extension, const Settings &settings, TwipsPerPixel tpp) {
    if (onlySounds(extension))
        return {5000, 1400};
    const double w = std::clamp(settings.videoWidth, 0.0, kMaxVideoWidth);
    const double h = std::clamp(double(settings.videoHeight), 0.0, kMaxVideoHeight);
    return {int(std::lround((w + 30) * tpp.x)), int(std::lround((h + 60) * tpp.y))};
}

MediaPlayback::MediaPlayback(AppState &state, MainWindow &window, Services &services,
                             QObject *parent)
    : QObject(parent), state_(state), main_(window), services_(services),
      window_(std::make_unique<MediaWindow>(services.media)) {
    services_.media.onModeChange = [this](const QString &mode) { onModeChange(mode); };
    services_.media.onError = [this](const QString &) { onError(); };
    connect(window_.get(), &MediaWindow::closed, this, [this] {
        // Closed while the file opens: the start is over once what closed it has been told
        // in full (a player that fails says it has stopped, then why).
        if (starting_)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (starting_)
                        endStart(true);
                },
                Qt::QueuedConnection);
        resumeScanning();
    });
    startLimit_.setSingleShot(true);
    connect(&startLimit_, &QTimer::timeout, this, [this] { endStart(false); });
}

MediaPlayback::~MediaPlayback() {
    if (starting_)
        QApplication::restoreOverrideCursor();
    services_.media.onModeChange = nullptr;
    services_.media.onError = nullptr;
    window_->disconnect(this);
    services_.media.stop();
}

void MediaPlayback::start(const QString &action, const QString &extension) {
    const auto path = resolveStoredPath(state_.paths.multimediaDirectory(), action);
    if (!path || !QFileInfo(*path).isFile()) {
        services_.dialogs.message(QStringLiteral("Le fichier multimedia appelé : ''") + action +
                                      QStringLiteral("'' n'existe pas"),
                                  MessageIcon::Critical, MessageButtons::Ok);
        closeWindow();
        return;
    }
    main_.scanTimer()->stop();
    if (services_.media.mode() == kPlaying) {
        // A press while a file plays is a stop button.
        stopAndClose();
        if (state_.settings.accessMode == kAccessScanning)
            main_.scanTimer()->start();
        return;
    }
    if (!onlySounds(extension))
        window_->attachView();
    window_->setWindowTitle(QStringLiteral("Multimedia = ") + action);
    const QSize twips = mediaWindowTwips(extension, state_.settings, state_.tpp);
    window_->setOuterGeometry(QRect(0, 0, twipsToScreenPixels(twips.width(), state_.tpp.x),
                                    twipsToScreenPixels(twips.height(), state_.tpp.y)));
    window_->show();

    // Events go on while the file opens: a press, a tick or the person closing the window
    // is handled, and none of them leaves the hourglass behind. The start ends when the
    // player plays or fails, when the window closes, or at the time limit; a press meanwhile
    // starts its own file in its place.
    if (!std::exchange(starting_, true))
        QApplication::setOverrideCursor(Qt::WaitCursor);
    failedDuringWait_ = false;
    startLimit_.start(kStartLimitMs);
    services_.media.setFileName(*path);
    services_.media.play();
    endWaitIfOver();
}

bool MediaPlayback::waitIsOver() const {
    return services_.media.mode() == kPlaying || failedDuringWait_;
}

void MediaPlayback::endWaitIfOver() {
    if (starting_ && waitIsOver())
        endStart(false);
}

void MediaPlayback::endStart(bool windowClosing) {
    starting_ = false;
    startLimit_.stop();
    QApplication::restoreOverrideCursor();
    if (failedDuringWait_ ||
        (!windowClosing && window_->isVisible() && services_.media.mode() != kPlaying))
        readError();
}

void MediaPlayback::readError() {
    services_.media.stop();
    services_.dialogs.message(
        QStringLiteral("Une erreur de lecture du fichier s'est produite : pilote absent ?"),
        MessageIcon::Critical, MessageButtons::Ok);
    closeWindow();
}

void MediaPlayback::onError() {
    if (starting_) {
        failedDuringWait_ = true;
        endStart(false);
        return;
    }
    if (window_->isVisible())
        readError();
}

void MediaPlayback::onModeChange(const QString &mode) {
    if (mode == QLatin1String("stopped") || mode == QLatin1String("paused"))
        closeWindow();
    endWaitIfOver();
}

void MediaPlayback::stopMedia() {
    services_.media.stop();
}

void MediaPlayback::stopAndClose() {
    services_.media.stop();
    closeWindow();
}

void MediaPlayback::showEmptyWindow(QSize pixels) {
    window_->setOuterGeometry(QRect(QPoint(0, 0), pixels));
    window_->show();
}

void MediaPlayback::closeWindow() {
    if (window_->isVisible())
        window_->close();
}

void MediaPlayback::resumeScanning() {
    // Stands in for the status notification that, in scanning access, hands the switch
    // back once the player is done: without it a switch user is left with a still frame.
    if (state_.settings.accessMode == kAccessScanning)
        main_.scanTimer()->start();
}

} // namespace tv
