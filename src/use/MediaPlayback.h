#pragma once

#include "platform/Units.h"

#include <QObject>
#include <QRect>
#include <QTimer>
#include <memory>

namespace tv {

struct AppState;
struct Services;
struct Settings;
class MainWindow;
class MediaWindow;

// Outer size of the player window, in twips: the video size and room for the bar, or a
// small fixed window for the files that only sound.
QSize mediaWindowTwips(const QString &extension, const Settings &settings, TwipsPerPixel tpp);

// Sound, music and video files played from a picture, in the player window.
class MediaPlayback : public QObject {
    Q_OBJECT
public:
    MediaPlayback(AppState &state, MainWindow &window, Services &services,
                  QObject *parent = nullptr);
    ~MediaPlayback() override;

    // Starts the file named by a picture's action; the hourglass shows until it plays, and
    // the carer is told if it cannot.
    void start(const QString &action, const QString &extension);
    // A file asked for has neither begun to play nor failed yet.
    bool isStarting() const { return starting_; }
    // Asks the player to stop; the window closes when the player says it has.
    void stopMedia();
    // A press on the page background: stop and close at once.
    void stopAndClose();
    // The player window, with no file, at an outer size in pixels: a preview of the size.
    void showEmptyWindow(QSize pixels);

    MediaWindow *window() const { return window_.get(); }

    // A file that has not begun to play after this long is taken as unreadable.
    static constexpr int kStartLimitMs = 10000;

private:
    void closeWindow();
    void readError();
    void onModeChange(const QString &mode);
    void onError();
    void resumeScanning();
    bool waitIsOver() const;
    void endWaitIfOver();
    void endStart(bool windowClosing);

    AppState &state_;
    MainWindow &main_;
    Services &services_;
    std::unique_ptr<MediaWindow> window_;
    // A file being started, until it plays or fails, and how long it may take.
    bool starting_ = false;
    QTimer startLimit_;
    bool failedDuringWait_ = false;
};

} // namespace tv
