#include "MediaWindow.h"

#include "platform/Services.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

MediaWindow::MediaWindow(MediaPlayer &player, QWidget *parent)
    : QWidget(parent, Qt::Window), player_(player) {
    setObjectName(QStringLiteral("frmMedia"));
    setWindowTitle(QStringLiteral("Lecteur MultiMedia"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    auto *pause = new QPushButton(QStringLiteral("Pause"), this);
    pause->setObjectName(QStringLiteral("cmdPause"));
    pause->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(pause, 0, Qt::AlignLeft);
    connect(pause, &QPushButton::clicked, this, [this] { player_.pause(); });
}

MediaWindow::~MediaWindow() {
    // The view belongs to the player.
    if (view_)
        view_->setParent(nullptr);
}

void MediaWindow::attachView() {
    if (viewAsked_)
        return;
    viewAsked_ = true;
    view_ = player_.view();
    if (!view_)
        return;
    auto *box = static_cast<QVBoxLayout *>(layout());
    // In place of the stretch that held the room.
    delete box->takeAt(0);
    box->insertWidget(0, view_, 1);
}

void MediaWindow::setOuterGeometry(const QRect &pixels) {
    outer_ = pixels;
    applyOuterGeometry();
}

void MediaWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // The decoration's size is known once the window is shown.
    applyOuterGeometry();
}

void MediaWindow::applyOuterGeometry() {
    const int extraW = frameGeometry().width() - geometry().width();
    const int extraH = frameGeometry().height() - geometry().height();
    move(outer_.topLeft());
    resize(std::max(1, outer_.width() - extraW), std::max(1, outer_.height() - extraH));
}

void MediaWindow::closeEvent(QCloseEvent *event) {
    // Hidden, not closed: closing would destroy the window on the screen, and with it the
    // one the player draws a film into while it is still finishing; the player then ends
    // itself and the next film, asked of it meanwhile, is never shown or heard.
    event->ignore();
    hide();
    // No sound goes on behind a closed window.
    if (player_.mode() != QStringLiteral("stopped"))
        player_.stop();
    emit closed();
}

} // namespace tv
