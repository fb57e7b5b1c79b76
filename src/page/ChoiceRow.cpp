#include "ChoiceRow.h"

#include "PictureCache.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>

namespace tv {

namespace {

constexpr int kPictureSide = 44;
constexpr int kPictureWidth = 170; // pixels: a picture and the words beside it
constexpr int kTextWidth = 260;    // a sentence

} // namespace

ChoiceRow::ChoiceRow(QWidget *parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("rangéeChoix"));
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    inside_ = new QWidget(this);
    inside_->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    layout_ = new QHBoxLayout(inside_);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(6);
    layout_->addStretch(1);
    setWidget(inside_);
}

void ChoiceRow::setChoices(const QList<Choice> &choices) {
    // The pictures of choices no longer shown are not wanted any more.
    decodes_->renew();
    choices_ = choices;
    // A choice taken may change the row from within its own button's click: the buttons no
    // longer wanted go once that click is over.
    while (buttons_.size() > choices.size()) {
        QPushButton *gone = buttons_.takeLast();
        gone->hide();
        layout_->removeWidget(gone);
        gone->deleteLater();
    }
    while (buttons_.size() < choices.size()) {
        auto *button = new QPushButton(inside_);
        button->setObjectName(QStringLiteral("cmdChoix%1").arg(buttons_.size()));
        button->setFocusPolicy(Qt::NoFocus);
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        QFont font = button->font();
        font.setPointSizeF(font.pointSizeF() * 1.2);
        button->setFont(font);
        const int n = int(buttons_.size());
        connect(button, &QPushButton::clicked, this, [this, n] { emit chosen(n); });
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, n, button](QPoint at) { emit menuRequested(n, button->mapToGlobal(at)); });
        layout_->insertWidget(n, button);
        buttons_ << button;
    }
    // The row's height less room for its scroll bar, which never covers a choice.
    const int height = std::max(40, this->height() - 20);
    for (int n = 0; n < choices.size(); ++n) {
        const Choice &c = choices[n];
        QPushButton *button = buttons_[n];
        const bool withPicture = !c.pictureFile.isEmpty();
        const int width = withPicture ? kPictureWidth : kTextWidth;
        button->setFixedSize(width, height);
        button->setAccessibleName(c.name);
        button->setAccessibleDescription(c.description);
        button->setIcon({});
        button->setIconSize(QSize(kPictureSide, kPictureSide));
        button->setToolTip(c.name);
        QFont font = button->font();
        font.setBold(c.marked);
        button->setFont(font);
        const QFontMetrics metrics(font);
        button->setText(metrics.elidedText(c.caption, Qt::ElideRight,
                                           width - 16 - (withPicture ? kPictureSide : 0)));
        if (withPicture) {
            const QString file = c.pictureFile;
            decodes_->run(
                [file](const OffThread::Token &) {
                    return decodePicture(file, QSize(kPictureSide, kPictureSide));
                },
                [button](const QImage &image) {
                    if (!image.isNull())
                        button->setIcon(QPixmap::fromImage(image));
                });
        }
    }
    horizontalScrollBar()->setValue(0);
}

} // namespace tv
