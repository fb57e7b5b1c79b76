#pragma once

#include <QPointer>
#include <QWidget>

namespace tv {

class MediaPlayer;

// The player window: the video, and a pause button that closes it as the end of the file
// does. It lives for the whole run; closing it only hides it.
class MediaWindow : public QWidget {
    Q_OBJECT
public:
    explicit MediaWindow(MediaPlayer &player, QWidget *parent = nullptr);
    ~MediaWindow() override;

    // Takes the player's video view, the first time a file is to be shown.
    void attachView();

    // Outer size and place, in screen pixels.
    void setOuterGeometry(const QRect &pixels);

signals:
    // The window was closed, by the program or by the person.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void applyOuterGeometry();

    MediaPlayer &player_;
    QPointer<QWidget> view_;
    bool viewAsked_ = false;
    QRect outer_;
};

} // namespace tv
