#pragma once

#include "platform/Units.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tv {

struct Services;

// "Enregistrement": records a voice for a picture, lets the carer hear it, and keeps it as
// a sound file of the multimedia directory. Accepted once a file was written.
class RecorderWindow : public QDialog {
    Q_OBJECT
public:
    // A recording stops by itself at this length.
    static constexpr int kMaxSeconds = 60;

    RecorderWindow(Services &services, TwipsPerPixel tpp, const QString &phrase,
                   const QString &multimediaDirectory, QWidget *parent = nullptr);
    ~RecorderWindow() override;

    void begin();
    void end();
    void hear();
    void keep();
    // "voix\NAME.wav" once kept.
    QString keptName() const { return kept_; }
    bool isRecording() const { return recording_; }
    const QByteArray &take() const { return take_; }

signals:
    // The meter shows sound that came in (for measuring its lag).
    void levelShown(double reading);

private:
    void poll();
    void finish();
    void showState();
    void tell(const QString &text);

    Services &services_;
    const QString phrase_;
    const QString multimedia_;
    QByteArray take_;
    bool recording_ = false;
    QString kept_;

    QPushButton *cmdCommencer_ = nullptr;
    QPushButton *cmdArreter_ = nullptr;
    QPushButton *cmdEcouter_ = nullptr;
    QPushButton *cmdGarder_ = nullptr;
    QPushButton *cmdAnnuler_ = nullptr;
    QProgressBar *niveau_ = nullptr;
    QLabel *duree_ = nullptr;
    QLabel *message_ = nullptr;
    QTimer *poll_ = nullptr;
};

} // namespace tv
