#include "ScanFrame.h"

#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "platform/Colors.h"
#include "platform/Services.h"

#include <QPushButton>
#include <QTimer>

namespace tv {

ScanFrame::ScanFrame(AppState &state, MainWindow &window, Services &services, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services) {
    connect(window_.blinkTimer(), &QTimer::timeout, this, &ScanFrame::blink);
}

void ScanFrame::show(Target target) {
    if (target.isControl()) {
        hide();
        markStrip(target.number);
        const QPushButton *control = window_.sentenceBar()->control(target.number);
        if (!control)
            return;
        services_.cursor.moveTo(control->mapToGlobal(control->rect().center()));
        return;
    }
    markStrip(-1);
    if (const PictureControl *picture = window_.pictureAt(target.number)) {
        // The centre of the picture on the screen, from the page surface itself, so the
        // cursor lands inside the picture whatever the window's decoration.
        const QPointF centre(picture->leftTwips() + picture->widthTwips() / 2.0,
                             picture->topTwips() + picture->heightTwips() / 2.0);
        services_.cursor.moveTo(
            window_.surface()->mapToGlobal(QPoint(twipsToScreenPixels(centre.x(), state_.tpp.x),
                                                  twipsToScreenPixels(centre.y(), state_.tpp.y))));
        const int out = state_.settings.frameThickness;
        frameRect(picture->leftTwips() - out, picture->topTwips() - out,
                  picture->widthTwips() + 2 * out, picture->heightTwips() + 2 * out);
    }
    appear();
}

void ScanFrame::showRow(const QList<Target> &row) {
    if (row.value(0).isControl()) {
        hide();
        markStrip(SentenceBar::kAllControls);
        const SentenceBar *bar = window_.sentenceBar();
        services_.cursor.moveTo(bar->mapToGlobal(bar->rect().center()));
        return;
    }
    markStrip(-1);
    QRect around;
    for (Target target : row)
        around = around.united(window_.pictureAt(target.number)->twipsRect());
    const int out = state_.settings.frameThickness;
    frameRect(around.x() - out, around.y() - out, around.width() + 2 * out,
              around.height() + 2 * out);
    const QPoint centre(twipsToScreenPixels(around.center().x(), state_.tpp.x),
                        twipsToScreenPixels(around.center().y(), state_.tpp.y));
    services_.cursor.moveTo(window_.surface()->mapToGlobal(centre));
    appear();
}

void ScanFrame::showAround(const PictureControl &picture) {
    const int out = 8 * state_.settings.frameThickness;
    frameRect(picture.leftTwips() - out, picture.topTwips() - out, picture.widthTwips() + 2 * out,
              picture.heightTwips() + 2 * out);
    appear();
}

void ScanFrame::hide() {
    window_.selectionFrame()->hide();
    window_.blinkTimer()->stop();
}

void ScanFrame::clear() {
    hide();
    markStrip(-1);
}

void ScanFrame::markStrip(int control) {
    SentenceBar *bar = window_.sentenceBar();
    if (control < 0)
        bar->markControl(-1, {}, 0);
    else
        bar->markControl(control, colorFromValue(state_.settings.frameColor, bar->palette()),
                         state_.settings.frameThickness);
}

void ScanFrame::frameRect(int left, int top, int width, int height) {
    window_.selectionFrame()->setTwipsGeometry(left, top, width, height);
}

void ScanFrame::appear() {
    window_.selectionFrame()->show();
    window_.selectionFrame()->raise();
    if (state_.settings.frameBlink)
        window_.blinkTimer()->start();
}

void ScanFrame::blink() {
    SelectionFrame *frame = window_.selectionFrame();
    frame->setVisible(!frame->isVisible());
}

} // namespace tv
