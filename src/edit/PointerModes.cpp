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
    setMode(PointerMode::None);
}

void PointerModes::setMode(PointerMode mode) {
    const bool wasArmed = mode_ != PointerMode::None;
    mode_ = mode;
    if (!wasArmed && mode != PointerMode::None)
        QApplication::setOverrideCursor(Qt::SizeAllCursor);
    else if (wasArmed && mode == PointerMode::None)
        QApplication::restoreOverrideCursor();
}

void PointerModes::cancel() {
    if (mode_ == PointerMode::Stretch) {
        // The picture hidden under its outline comes back at its own size.
        stretchOutline_->hide();
        if (PictureControl *picture = window_.pictureAt(state_.currentImage))
            picture->show();
    }
    setMode(PointerMode::None);
}

void PointerModes::record() {
    affecteValeursTouche(state_, window_);
}

void PointerModes::armMove() {
    setMode(PointerMode::Move);
}

void PointerModes::armStretch() {
    setMode(PointerMode::Stretch);
    PictureControl *picture = window_.pictureAt(state_.currentImage);
    if (!picture)
        return;
    picture->hide();
    stretchOutline_->setColor(drawingColor_);
    stretchOutline_->setTwipsRect(picture->twipsRect());
    stretchOutline_->show();
}

void PointerModes::startDrag(int index, QPoint twipsInside) {
    dragStart_ = twipsInside;
    PictureControl *picture = window_.pictureAt(index);
    drawingColor_ = QColor(255, 0, 0);
    setMode(PointerMode::None);
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
        dragOutline_->setTwipsRect(QRect(at - dragStart_, picture->twipsRect().size()));
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
    picture->setTwipsRect(clampedPicture(qint64(at.x()) - dragStart_.x(),
                                         qint64(at.y()) - dragStart_.y(), picture->widthTwips(),
                                         picture->heightTwips()));
    // The press that started the drag made the picture current, and the grab kept it so.
    record();
    state_.page.pageModified = true;
}

void PointerModes::keyPressed(int key) {
    if (mode_ == PointerMode::Move) {
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
            setMode(PointerMode::None);
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
    if (mode_ != PointerMode::Stretch)
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
    if (mode_ == PointerMode::Stretch) {
        setMode(PointerMode::None);
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
