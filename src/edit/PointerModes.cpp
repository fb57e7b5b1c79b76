#include "PointerModes.h"

#include "EditGeometry.h"
#include "Outline.h"
#include "model/AppState.h"
#include "page/GeometryCapture.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QApplication>
#include <QMouseEvent>

namespace tv {

PointerModes::PointerModes(AppState &state, MainWindow &window, Services &services, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services) {
    dragOutline_ = new Outline(state.tpp.x, state.tpp.y, window.surface());
    stretchOutline_ = new Outline(state.tpp.x, state.tpp.y, window.surface());
    connect(&window_, &MainWindow::keyPressed, this, &PointerModes::keyPressed);
    connect(&window_, &MainWindow::backgroundMoved, this, &PointerModes::backgroundMoved);
    connect(&window_, &MainWindow::backgroundPressed, this,
            [this](Qt::MouseButton, QPoint twips) { backgroundPressed(twips); });
}

PointerModes::~PointerModes() {
    setMode({});
}

void PointerModes::setMode(const QString &mode) {
    const bool wasArmed = !state_.pointerMode.isEmpty();
    state_.pointerMode = mode;
    if (!wasArmed && !mode.isEmpty())
        QApplication::setOverrideCursor(Qt::SizeAllCursor);
    else if (wasArmed && mode.isEmpty())
        QApplication::restoreOverrideCursor();
}

void PointerModes::record() {
    affecteValeursTouche(state_, window_);
}

void PointerModes::armMove() {
    setMode(kModeMove);
}

void PointerModes::armStretch() {
    setMode(kModeStretch);
    PictureControl *picture = window_.pictureAt(state_.currentImage);
    if (!picture)
        return;
    picture->hide();
    stretchOutline_->setColor(drawingColor_);
    stretchOutline_->setTwipsRect(picture->twipsRect());
    stretchOutline_->show();
}

void PointerModes::startDrag(int index, QPoint twipsInside) {
    state_.dragStart = twipsInside;
    PictureControl *picture = window_.pictureAt(index);
    drawingColor_ = QColor(255, 0, 0);
    setMode({});
    state_.page.pageModified = true;
    if (!picture)
        return;
    // The picture stays in place; its outline follows the pointer until the drop.
    dragged_ = index;
    dragOutline_->setColor(drawingColor_);
    dragOutline_->setTwipsRect(picture->twipsRect());
    dragOutline_->show();
    // The press gave the picture the mouse: its moves and its release come here.
    picture->installEventFilter(this);
}

bool PointerModes::eventFilter(QObject *watched, QEvent *event) {
    auto *picture = qobject_cast<PictureControl *>(watched);
    if (!picture || picture->index() != dragged_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        const QPoint at = window_.surfaceTwips(
            window_.surface()->mapFromGlobal(static_cast<QMouseEvent *>(event)->globalPosition()));
        dragOutline_->setTwipsRect(QRect(at - state_.dragStart, picture->twipsRect().size()));
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        picture->removeEventFilter(this);
        drop(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void PointerModes::drop(QPoint globalPos) {
    const int index = dragged_;
    dragged_ = 0;
    dragOutline_->hide();
    QWidget *surface = window_.surface();
    const QPoint local = surface->mapFromGlobal(globalPos);
    // Dropped outside the page: nothing moves.
    if (!surface->rect().contains(local))
        return;
    PictureControl *picture = window_.pictureAt(index);
    if (!picture)
        return;
    // On the background or on a picture alike, the picture lands where the pointer is,
    // keeping the offset at which it was grabbed.
    const QPoint at = window_.surfaceTwips(local);
    picture->setTwipsRect(clampedPicture(qint64(at.x()) - state_.dragStart.x(),
                                         qint64(at.y()) - state_.dragStart.y(),
                                         picture->widthTwips(), picture->heightTwips()));
    // The press that started the drag made the picture current, and the grab kept it so.
    record();
    state_.page.pageModified = true;
}

void PointerModes::keyPressed(int key) {
    if (state_.pointerMode == kModeMove) {
        QPoint step;
        switch (key) {
        case Qt::Key_Left:
            step = {-kArrowStep, 0};
            break;
        case Qt::Key_Up:
            step = {0, -kArrowStep};
            break;
        case Qt::Key_Right:
            step = {kArrowStep, 0};
            break;
        case Qt::Key_Down:
            step = {0, kArrowStep};
            break;
        default:
            setMode({});
            break;
        }
        PictureControl *picture = window_.pictureAt(state_.currentImage);
        if (picture && !step.isNull()) {
            const QRect r = picture->twipsRect();
            picture->setTwipsRect(clampedPicture(qint64(r.x()) + step.x(), qint64(r.y()) + step.y(),
                                                 r.width(), r.height()));
            // A move by the keys is an edit as a drag is: following a link asks to save it.
            state_.page.pageModified = true;
        }
    }
    record();
}

void PointerModes::backgroundMoved(QPoint twips) {
    if (state_.pointerMode != kModeStretch)
        return;
    const PictureControl *picture = window_.pictureAt(state_.currentImage);
    const QPoint corner =
        picture ? picture->twipsRect().topLeft() : stretchOutline_->twipsRect().topLeft();
    stretchOutline_->setColor(drawingColor_);
    stretchOutline_->setCorners(corner, twips);
    stretchOutline_->show();
    state_.page.pageModified = true;
}

void PointerModes::backgroundPressed(QPoint twips) {
    if (state_.pointerMode == kModeStretch) {
        setMode({});
        if (PictureControl *picture = window_.pictureAt(state_.currentImage)) {
            if (const auto stretched = stretchedTo(picture->twipsRect(), twips))
                picture->setTwipsRect(*stretched);
            if (picture->heightTwips() < kMinHeightWithoutWarning)
                services_.dialogs.message(QStringLiteral("Hauteur trop petite"), MessageIcon::None,
                                          MessageButtons::Ok);
            // The message is modal: the picture may have gone meanwhile.
            if (PictureControl *shown = window_.pictureAt(state_.currentImage))
                shown->show();
        }
        stretchOutline_->hide();
    }
    if (state_.currentImage <= state_.page.imageCount)
        record();
}

} // namespace tv
