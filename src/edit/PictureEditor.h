#pragma once

#include "use/PictureActivation.h"

#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class MediaPlayback;
class PointerModes;
class PictureControl;

// The picture menu and the commands that add, remove and resize pictures.
class PictureEditor : public QObject, public PressEditor {
    Q_OBJECT
public:
    PictureEditor(AppState &state, MainWindow &window, Services &services, MediaPlayback &media,
                  PointerModes &modes, QObject *parent = nullptr);

    bool pointerArmed() const override;
    bool moveArmed() const override;
    void startMove(int index, QPoint twipsInside) override;
    void openPictureMenu() override;

    void newPicture();
    void createRight();
    void createBelow();
    void deletePicture();
    void growPicture();
    void shrinkPicture();

    // Opens the picture properties dialog on the current picture, modally; set by the owner
    // of what that dialog needs.
    std::function<void()> openProperties;

private:
    // A new picture from the template at the next free index, made current; none past the
    // last index a page can hold (the carer is told).
    PictureControl *createNext();
    void createBeside(bool right);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    MediaPlayback &media_;
    PointerModes &modes_;
};

} // namespace tv
