#pragma once

#include <QColor>
#include <QObject>
#include <QPoint>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class Outline;

inline const QString kModeMove = QStringLiteral("déplacer");
inline const QString kModeStretch = QStringLiteral("étirer");

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
    void setMode(const QString &mode);
    void drop(QPoint globalPos);
    void record();

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    Outline *dragOutline_ = nullptr;
    Outline *stretchOutline_ = nullptr;
    QColor drawingColor_ = Qt::black;
    int dragged_ = 0;
};

} // namespace tv
