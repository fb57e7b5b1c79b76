#pragma once

#include "model/Settings.h"

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tv {

struct AppState;
struct Services;
class PageSounds;
class SelectionFrame;
class SettingsFrame;

// What the video buttons set: the video size and the player window's outer size (pixels).
struct VideoChoice {
    const char *caption;
    const char *name;
    int videoWidth, videoHeight;
    int windowWidth, windowHeight;
};
extern const VideoChoice kVideoChoices[4];

// The values this dialog holds for the configuration file, as opening it would set them:
// a delay outside the slider's range is not taken (the slider stays at 500).
EditedSettings editedOnOpening(const Settings &settings);

// The program's settings: access, the selection frame's look, the background colour, the
// video size and the page sound. Modeless.
class ProgramPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        // Writes the configuration with these values, reads it back and restyles the page.
        std::function<void(const EditedSettings &)> save;
        // Shows the player window, empty, at this outer size in pixels.
        std::function<void(QSize)> showVideoWindow;
        // The person's measured reaction times and the step time, in words for the carer.
        std::function<QString()> paceReport;
        // Removes the usage log; why it could not, or empty.
        std::function<QString()> eraseUsageLog;
        // Forgets what was learned from the person's messages; why it could not, or empty.
        std::function<QString()> forgetLearned;
    };
    ProgramPropertiesDialog(AppState &state, Services &services, PageSounds &sounds,
                            Actions actions, QWidget *parent = nullptr);

    // The four values the configuration file takes from this dialog.
    EditedSettings edited() const;

private:
    void build();
    // The frames of the features, each at its place in twips.
    void place(SettingsFrame *frame, QRect twips);
    // Fills the controls from the settings, as loading the dialog does.
    void fill();
    void showSoundCaption();

    AppState &state_;
    Services &services_;
    PageSounds &sounds_;
    Actions actions_;
    qint32 background_ = 16777215;
    QSlider *cursTemporisation_ = nullptr;
    QLabel *lblTemporisation_ = nullptr;
    QSlider *cursEpaisseurCadre_ = nullptr;
    SelectionFrame *cadreModele_ = nullptr;
    QRadioButton *optAcces_[3] = {};
    QRadioButton *optClignote_[2] = {};
    QRadioButton *optSon_[10] = {};
    QPushButton *cmdSonPage_ = nullptr;
    QList<SettingsFrame *> frames_;
};

} // namespace tv
