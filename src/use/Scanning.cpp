#include "Scanning.h"

#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "platform/AppState.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace tv {

Scanning::Scanning(AppState &state, MainWindow &window, Services &services, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services) {
    connect(window_.scanTimer(), &QTimer::timeout, this, &Scanning::step);
    connect(window_.blinkTimer(), &QTimer::timeout, this, &Scanning::blink);
    connect(&window_, &MainWindow::pictureHovered, this, &Scanning::hover);
    connect(&window_, &MainWindow::backgroundMoved, this, &Scanning::leavePictures);
    // Only a release whose press the window saw too: the Escape that dismisses a message box
    // must not bring the box straight back.
    connect(&window_, &MainWindow::keyPressed, this,
            [this](int key) { escapeDown_ = key == Qt::Key_Escape; });
    connect(&window_, &MainWindow::keyReleased, this, [this](int key) {
        if (key != Qt::Key_Escape || !escapeDown_)
            return;
        escapeDown_ = false;
        stopScanning();
    });
    connect(&window_, &MainWindow::backgroundPressed, this, [this](Qt::MouseButton button, QPoint) {
        if (button == Qt::RightButton)
            offerToResume();
    });
}

void Scanning::step() {
    // While a menu, a dialog or a message box is open, the person or the carer is busy with
    // it and its command must act on the picture it was opened for: scanning holds, and
    // goes on from the same picture once it closes.
    if (somethingElseIsOpen())
        return;
    state_.scanIndex = state_.scanIndex + 1;
    // After the page's pictures, the message strip's controls when it is shown.
    const int pictures = state_.page.imageCount;
    const int controls = state_.settings.sentenceBar ? SentenceBar::kControls : 0;
    if (state_.scanIndex > pictures && controls > 0) {
        stepOntoControl(state_.scanIndex - pictures - 1);
    } else {
        window_.sentenceBar()->markControl(-1, {}, 0);
        state_.currentImage = state_.scanIndex;
        // A picture deleted since the page was read still takes its step: the frame and the
        // cursor stay where they were.
        const int n = state_.currentImage;
        const PictureControl *picture = window_.pictureAt(n);
        if (picture) {
            placeCursorOn(n);
            frameAround(*picture, state_.settings.frameThickness);
        }
        showFrame();
    }
    // At or past the count: a picture created on an empty page is reached too.
    if (state_.scanIndex >= pictures + controls)
        state_.scanIndex = 0;
}

void Scanning::stepOntoControl(int n) {
    hideFrame();
    SentenceBar *bar = window_.sentenceBar();
    const QPushButton *control = bar->control(n);
    bar->markControl(n, colorFromValue(state_.settings.frameColor, bar->palette()),
                     state_.settings.frameThickness);
    services_.cursor.moveTo(control->mapToGlobal(control->rect().center()));
}

bool Scanning::somethingElseIsOpen() {
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *w) {
        return w->isVisible() &&
               (qobject_cast<const QDialog *>(w) || qobject_cast<const QMenu *>(w));
    });
}

void Scanning::placeCursorOn(int index) {
    const PictureControl *picture = window_.pictureAt(index);
    // The centre of the picture on the screen, from the page surface itself, so the cursor
    // lands inside the picture whatever the window's decoration.
    const QPointF centreTwips(picture->leftTwips() + picture->widthTwips() / 2.0,
                              picture->topTwips() + picture->heightTwips() / 2.0);
    const QPoint local(twipsToScreenPixels(centreTwips.x(), state_.tpp.x),
                       twipsToScreenPixels(centreTwips.y(), state_.tpp.y));
    services_.cursor.moveTo(window_.surface()->mapToGlobal(local));
}

void Scanning::hover(int index) {
    if (state_.hoveredImage)
        return;
    PictureControl *picture = window_.pictureAt(index);
    if (!picture)
        return;
    state_.currentImage = index;
    frameAround(*picture, 8 * state_.settings.frameThickness);
    showFrame();
    state_.hoveredImage = true;
    picture->setToolTip(picture->tag());
}

void Scanning::frameAround(const PictureControl &picture, int out) {
    window_.selectionFrame()->setTwipsGeometry(picture.leftTwips() - out, picture.topTwips() - out,
                                               picture.widthTwips() + 2 * out,
                                               picture.heightTwips() + 2 * out);
}

void Scanning::showFrame() {
    window_.selectionFrame()->show();
    window_.selectionFrame()->raise();
    if (state_.settings.frameBlink)
        window_.blinkTimer()->start();
}

void Scanning::leavePictures() {
    state_.hoveredImage = false;
    hideFrame();
}

void Scanning::hideFrame() {
    window_.selectionFrame()->hide();
    window_.blinkTimer()->stop();
}

void Scanning::blink() {
    SelectionFrame *frame = window_.selectionFrame();
    frame->setVisible(!frame->isVisible());
}

void Scanning::stopScanning() {
    services_.dialogs.message(QStringLiteral("Défilement stoppé"), MessageIcon::Exclamation,
                              MessageButtons::Ok);
    window_.scanTimer()->stop();
}

void Scanning::offerToResume() {
    if (window_.scanTimer()->isActive() || state_.settings.accessMode != kAccessScanning)
        return;
    if (services_.dialogs.message(QStringLiteral("Reprendre le défilement ?"),
                                  MessageIcon::Question,
                                  MessageButtons::YesNo) == MessageAnswer::Yes)
        window_.scanTimer()->start();
}

} // namespace tv
