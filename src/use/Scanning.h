#pragma once

#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PictureControl;

// The selection frame: stepping from picture to picture with the mouse cursor in scanning
// access, following the pointer in mouse access, blinking, stopped by Escape and resumed
// from the page background.
class Scanning : public QObject {
    Q_OBJECT
public:
    Scanning(AppState &state, MainWindow &window, Services &services, QObject *parent = nullptr);

    // One tick of the scanning timer.
    void step();
    // The pointer moved over picture `index`.
    void hover(int index);
    // The pointer moved over the page background.
    void leavePictures();
    // One tick of the blink timer.
    void blink();
    // Escape released.
    void stopScanning();
    // A right press on the page background.
    void offerToResume();

private:
    void hideFrame();
    void placeCursorOn(int index);
    // Control n of the message strip takes the step: marked, with the cursor on it.
    void stepOntoControl(int n);
    // The frame around the picture, `out` twips from its edges.
    void frameAround(const PictureControl &picture, int out);
    void showFrame();
    static bool somethingElseIsOpen();

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    bool escapeDown_ = false;
};

} // namespace tv
