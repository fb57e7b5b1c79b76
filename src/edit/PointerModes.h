#pragma once

#include <QColor>
#include <QObject>
#include <QPoint>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class Outline;

// What the mouse and the arrow keys do until the mode ends.
enum class PointerMode { None, Move, Stretch };

// Moving a picture (dragging it, or with the arrow keys) and stretching it with the mouse:
// the modes of the window that change what its mouse and keys do until they end.
class PointerModes : public QObject {
    Q_OBJECT
public:
    PointerModes(AppState &state, MainWindow &window, Services &services,
                 QObject *parent = nullptr);
    ~PointerModes() override;

    void armMove();
    void armStretch();
    PointerMode mode() const { return mode_; }
    // Ends a move or a stretch unfinished: the picture stays as it was (the page is being
    // locked, say).
    void cancel();
    // A left press on picture `index` while a move is armed.
    void startDrag(int index, QPoint twipsInside);

    void keyPressed(int key);
    void backgroundMoved(QPoint twips);
    void backgroundPressed(QPoint twips);

    Outline *dragOutline() const { return dragOutline_; }
    Outline *stretchOutline() const { return stretchOutline_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setMode(PointerMode mode);
    void drop(QPoint globalPos);
    void record();

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    Outline *dragOutline_ = nullptr;
    Outline *stretchOutline_ = nullptr;
    QColor drawingColor_ = Qt::black;
    int dragged_ = 0;
    PointerMode mode_ = PointerMode::None;
    QPoint dragStart_; // where the dragged picture was grabbed, twips inside it
};

} // namespace tv
