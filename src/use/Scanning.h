#pragma once

#include "SwitchRules.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QRect>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PictureControl;

// A menu or a dialog is open above the page: what the person does goes there, not to it.
bool somethingElseIsOpen();

// The selection frame: stepping from picture to picture (or row by row) with the mouse
// cursor in scanning access, following the pointer in mouse access, blinking, stopped by
// Escape and resumed from the page background. After the page's pictures come the message
// strip's controls, when it is shown.
class Scanning : public QObject {
    Q_OBJECT
public:
    Scanning(AppState &state, MainWindow &window, Services &services, QObject *parent = nullptr);

    // One tick of the scanning timer.
    void step();
    // The switch that selects: acts on what is framed now (or enters the row framed, or
    // starts scanning again after a pause); with nothing framed it only starts or advances
    // scanning.
    void select();
    // The switch that moves, in step-by-step scanning: one step.
    void advance();
    // The keyboard, in mouse access: the frame to the next (or, backwards, the previous)
    // picture or strip control in scanning order; Return or Space chooses what it frames.
    void focusStep(bool backwards);
    // Chooses what is framed, as a left press would; false when nothing is.
    bool chooseFramed();
    // Scanning paused after its rounds without a press; the next press starts it again.
    bool isPaused() const { return paused_; }
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
    // A new page: what was framed on the page before is gone.
    void forgetFramed();
    // The settings changed: the pace starts again from the step time set.
    void settingsChanged();

    // Reaction times measured so far, and the step time they lead to.
    const ScanPace &pace() const { return pace_; }

private:
    // What the frame stands on: a picture (> 0), a control of the message strip (-1 to -3),
    // or nothing (0).
    using Target = int;
    void stepPictures();
    void stepRows();
    void frameTarget(Target target);
    void frameRow(const QList<Target> &row, int number);
    void enterRow();
    void applyPace(int stepMs);
    QList<QList<Target>> rows() const;
    void pause();
    void cue(const QString &text);
    void pressed(int index);
    void hideFrame();
    void placeCursorOn(int index);
    // The frame around the picture, `out` twips from its edges.
    void frameAround(const PictureControl &picture, int out);
    void showFrame();

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    bool escapeDown_ = false;
    QElapsedTimer clock_;
    static constexpr qint64 kUndoneWithinMs = 2000;
    Target framed_ = 0;
    int framedRow_ = 0; // 1 for the first row, 0 when no row is framed
    qint64 framedAt_ = 0;
    int rounds_ = 0;
    bool paused_ = false;
    // A phrase just chosen is not cut off by the next step's cue.
    bool phraseChosen_ = false;
    ScanPace pace_;
    struct Selection {
        qint64 at = -1;
        QString pageShown;
        bool wasLink = false;
    } last_;
};

} // namespace tv
