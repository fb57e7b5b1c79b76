#pragma once

#include "use/PressEditor.h"
#include "use/ScanFrame.h"
#include "use/SwitchRules.h"
#include "use/Target.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;

// A menu or a dialog is open above the page: what the person does goes there, not to it.
bool somethingElseIsOpen();

// Switch scanning: where the frame stands and when it moves on (picture after picture, row
// by row, or at each press of the switch that moves), what a press chooses, the rounds
// before a pause and the pace that follows the person. The order it follows is ScanOrder's,
// what it shows is ScanFrame's. In mouse access, the frame follows the pointer and the
// keyboard.
class Scanning : public QObject {
    Q_OBJECT
public:
    Scanning(AppState &state, MainWindow &window, Services &services, QObject *parent = nullptr);

    // The editor, asked whether a move or a stretch holds the mouse and the keys.
    void setEditor(const PressEditor *editor) { editor_ = editor; }
    bool pointerArmed() const { return editor_ && editor_->pointerArmed(); }

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
    // Escape released.
    void stopScanning();
    // A right press on the page background.
    void offerToResume();
    // A new page: what was framed on the page before is gone, and scanning starts again
    // from its first picture.
    void forgetFramed();
    // The settings changed: the pace starts again from the step time set.
    void settingsChanged();

    // Reaction times measured so far, and the step time they lead to.
    const ScanPace &pace() const { return pace_; }
    // The place of the last step in the order (0 before the first), and in row-column
    // scanning the place in the row entered (-1 while the rows are scanned).
    int place() const { return place_; }
    int placeInRow() const { return inRow_; }

private:
    void stepPictures();
    void stepRows();
    void frameTarget(Target target);
    void frameRow(const QList<Target> &row, int number);
    void enterRow();
    void applyPace(int stepMs);
    QList<QList<Target>> rows() const;
    int controls() const;
    void pause();
    void cue(const QString &text);
    void pressed(int index);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    ScanFrame frame_;
    const PressEditor *editor_ = nullptr;
    int place_ = 0;
    int inRow_ = -1;
    bool hovered_ = false;
    bool escapeDown_ = false;
    QElapsedTimer clock_;
    static constexpr qint64 kUndoneWithinMs = 2000;
    Target framed_;
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
