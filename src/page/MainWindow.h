#pragma once

#include "model/PageModel.h"
#include "model/Settings.h"

#include <QMainWindow>
#include <array>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;

namespace tv {

struct AppState;
struct SettingsReadOutcome;
class PictureControl;
class SelectionFrame;
class SentenceBar;

// The page surface and editor: pictures on the page colour, the menus, the timers.
inline constexpr int kMinWindowWidth = 320; // pixels: the menus and a picture or two
inline constexpr int kMinWindowHeight = 240;

// The main window's outer place and size (pixels, as stored) held wholly on the screen: at
// least a usable size, no larger than the screen, moved onto it.
QRect heldToScreen(double left, double top, double width, double height, const QRect &screen);

// The window's outer place made `extra` pixels taller, for the message strip above the page:
// moved up as far as needed to stay on the screen, never taller than the screen.
QRect grownOnScreen(const QRect &outer, int extra, const QRect &screen);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppState &state, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The program's background colour and the selection frame's look, from the settings: at
    // the load step, and again whenever the settings are saved.
    void applyLook();
    // What reading the settings does to this window.
    void applySettingsRead(const SettingsReadOutcome &outcome);

    void setBackgroundColorValue(qint32 value);
    qint32 backgroundColorValue() const { return backgroundColor_; }

    // Outer geometry of the window, in twips: without the room made for the message strip,
    // so that the size kept is the page's whether the strip is on or not.
    void setOuterGeometryTwips(const WindowTwips &geometry);
    WindowTwips outerGeometryTwips() const;
    // Fills the screen without the window's frame, or returns to the place it had.
    void setFullScreen(bool on);
    bool fillsScreen() const { return fullScreen_; }

    // "Tablavox" before any page, then "Tablavox -::- " and the page.
    void setPageTitle(const QString &currentPage);
    // A line along the bottom of the page that tells the carer of a lasting fault, over the
    // pictures without taking their presses; an empty text takes it away.
    void setNotice(const QString &text);
    // The plain mark in the menu bar that says the usage is being noted.
    void setUsageMark(bool shown);
    QLabel *usageMark() const { return usageMark_; }
    QLabel *notice() const { return notice_; }

    QWidget *surface() const { return surface_; }
    PictureControl *img(int index) const { return img_.at(std::size_t(index)); }
    // A picture of the page: none for the template or an index beyond the page.
    PictureControl *pictureAt(int index) const {
        return index >= 1 && index <= kMaxImages ? img_[std::size_t(index)] : nullptr;
    }
    // A new picture control from the template, hidden; one already at that index is replaced.
    PictureControl *createPicture(int index);
    void removePicture(int index);
    SelectionFrame *selectionFrame() const { return cadreSelection_; }
    SentenceBar *sentenceBar() const { return sentenceBar_; }
    QTimer *blinkTimer() const { return tmClignote_; }
    QTimer *scanTimer() const { return tmDefilement_; }
    QPlainTextEdit *champTexte() const { return champTexte_; }
    QMenu *pictureMenu() const { return mnuDroit_; }
    QAction *action(const QString &objectName) const;
    // A point of the page surface, from pixels to twips.
    QPoint surfaceTwips(QPointF pixels) const;

    // Closing that is part of the quit sequence, not the user's close box.
    void closeForQuit();

signals:
    void quitRequested();
    void picturePressed(int index, Qt::MouseButton button, QPoint twipsInside);
    void pictureHovered(int index);
    // A mouse button went down on the page outside the pictures; position in twips.
    void backgroundPressed(Qt::MouseButton button, QPoint twips);
    // The pointer moved over the page outside the pictures; position in twips.
    void backgroundMoved(QPoint twips);
    // A key went down or up anywhere in the window, seen before any control handles it.
    void keyPressed(int key);
    void keyReleased(int key);
    void closedByUser();
    // The pictures were taken off the window (a new page comes, or none).
    void pageCleared();
    // A page was put on the window: nothing of the page before is framed any more.
    void pageShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void applyOuterGeometry();
    void placeNotice();
    // The window made taller for the strip when it appears, and back when it goes.
    void makeRoomForStrip(bool shown);
    QRect availableScreen() const;
    QAction *addEntry(QMenu *menu, const QString &caption, const QString &name);

    AppState &state_;
    QWidget *surface_ = nullptr;
    std::array<PictureControl *, 51> img_{};
    SelectionFrame *cadreSelection_ = nullptr;
    SentenceBar *sentenceBar_ = nullptr;
    QTimer *tmClignote_ = nullptr;
    QTimer *tmDefilement_ = nullptr;
    QPlainTextEdit *champTexte_ = nullptr;
    QLabel *notice_ = nullptr;
    QLabel *usageMark_ = nullptr;
    QMenu *mnuDroit_ = nullptr;
    qint32 backgroundColor_ = 16777215;
    bool quitting_ = false;
    // The frame's size is known only once the window is shown.
    std::optional<WindowTwips> requestedOuter_;
    // Pixels the window grew by to hold the strip as well as the page.
    int stripRoom_ = 0;
    bool fullScreen_ = false;
    QRect normalFrame_, normalPlace_; // where the window was before it filled the screen
};

} // namespace tv
