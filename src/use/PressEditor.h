#pragma once

#include <QPoint>

namespace tv {

// The editing side of what the person and the carer do on the page. The editor lives above
// this layer; presses and keys ask it before they choose anything.
class PressEditor {
public:
    virtual ~PressEditor() = default;
    // A move or a stretch is armed: the mouse and the arrow keys are the editor's until it
    // ends, and nothing is chosen meanwhile.
    virtual bool pointerArmed() const = 0;
    // A move is armed: the next left press on a picture grabs it.
    virtual bool moveArmed() const = 0;
    // A left press while a move is armed: the picture starts being dragged.
    virtual void startMove(int index, QPoint twipsInside) = 0;
    // A right press: the picture menu, and whatever its command does, to the end.
    virtual void openPictureMenu() = 0;
};

} // namespace tv
