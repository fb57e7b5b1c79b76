#pragma once

#include "use/Target.h"

#include <QList>
#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PictureControl;

// What the person sees of scanning: the frame around the picture or row it stands on (or
// the mark on a strip control), blinking if the carer wants, and the mouse cursor brought
// to it, since a switch press acts as a left press where the cursor is.
class ScanFrame : public QObject {
    Q_OBJECT
public:
    ScanFrame(AppState &state, MainWindow &window, Services &services, QObject *parent = nullptr);

    // The frame on `target`. A picture deleted since the page was read keeps the frame and
    // the cursor where they were.
    void show(Target target);
    // The frame around a whole row (all pictures, or the strip's controls).
    void showRow(const QList<Target> &row);
    // The wider frame that follows the mouse pointer over a picture.
    void showAround(const PictureControl &picture);
    void hide();
    // Nothing framed at all: neither a picture nor a strip control.
    void clear();
    void unmarkStrip() { markStrip(-1); }

private:
    void blink();
    void frameRect(int left, int top, int width, int height);
    void appear();
    void markStrip(int control);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
};

} // namespace tv
