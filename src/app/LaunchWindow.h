#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace tv {

struct TwipsPerPixel;

// The launch window: a progress bar that leads to the start on its own, a start button
// usable from half-way, and a button that stops the program.
class LaunchWindow : public QWidget {
    Q_OBJECT
public:
    explicit LaunchWindow(const TwipsPerPixel &tpp, QWidget *parent = nullptr);

    int barWidthTwips() const { return barWidth_; }
    int troughInnerWidthTwips() const { return troughInner_; }
    bool isRunning() const;
    QPushButton *goButton() const { return cmdGo_; }
    QPushButton *stopButton() const { return cmdStop_; }
    QLabel *readyLabel() const { return lblLancement_; }

    // Stops the bar for good; the start goes on without it.
    void stopProgress();

public slots:
    void tick();

signals:
    void goRequested();
    void stopRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    double tppX_;
    int barWidth_ = 15;
    int troughInner_ = 0;
    QFrame *picture1_ = nullptr;
    QLabel *image3_ = nullptr;
    QLabel *lblLancement_ = nullptr;
    QPushButton *cmdGo_ = nullptr;
    QPushButton *cmdStop_ = nullptr;
    QTimer *timerLance_ = nullptr;
};

} // namespace tv
