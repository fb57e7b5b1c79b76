#include "SentenceBar.h"

#include "Conjugation.h"
#include "PictureCache.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace tv {

namespace {

constexpr int kItemWidth = 110; // pixels: a picture and two lines of text under it
constexpr int kPictureSide = 60;
constexpr int kBarHeight = 132;
// Room for the scroll bar under the message, so that it never hides a phrase's text.
constexpr int kScrollBarRoom = 18;
constexpr int kControlWidth = 120;

// The text as it fits the lines under the picture: a long phrase ends in "…" rather than
// in half a line.
QString fitted(const QString &text, const QRect &box, const QFontMetrics &metrics) {
    const auto fits = [&](const QString &t) {
        return metrics.boundingRect(box, Qt::AlignHCenter | Qt::TextWordWrap, t).height() <=
               box.height();
    };
    if (fits(text))
        return text;
    QString shorter = text;
    while (shorter.size() > 1 && !fits(shorter + QStringLiteral("…")))
        shorter.chop(1);
    return shorter.trimmed() + QStringLiteral("…");
}

} // namespace

QString messageText(const QStringList &phrases) {
    return joinedForms(formedPhrases(phrases));
}

// The phrases added so far, drawn left to right; pressing it says the message.
class SentenceBar::MessageView : public QWidget {
public:
    explicit MessageView(SentenceBar *bar) : QWidget(nullptr), bar_(bar) {
        setObjectName(QStringLiteral("bandeauMessage"));
        setFixedHeight(kBarHeight - 8 - kScrollBarRoom);
        updateWidth();
    }
    struct Part {
        QString phrase;
        QImage picture;
        quint64 id = 0;
    };
    QList<Part> parts;
    void updateWidth() {
        setFixedWidth(std::max<int>(1, int(parts.size()) * kItemWidth));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        QFont font = p.font();
        font.setPointSizeF(font.pointSizeF() * 1.1);
        p.setFont(font);
        // Under each picture, the words as the message says them ("veux" for "vouloir").
        const QStringList forms = bar_->forms();
        for (int i = 0; i < parts.size(); ++i) {
            const QRect cell(i * kItemWidth, 0, kItemWidth, height());
            const QImage &picture = parts[i].picture;
            if (!picture.isNull()) {
                const QSize shown =
                    picture.size().scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio);
                p.drawImage(QRect(QPoint(cell.center().x() - shown.width() / 2, 4), shown),
                            picture);
            }
            p.setPen(palette().color(QPalette::WindowText));
            const QRect textRect = cell.adjusted(4, kPictureSide + 6, -4, 0);
            p.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                       fitted(forms.value(i), textRect, p.fontMetrics()));
        }
    }
    void mousePressEvent(QMouseEvent *event) override {
        event->accept();
        if (event->button() == Qt::LeftButton)
            emit bar_->sayRequested(bar_->message());
    }

private:
    SentenceBar *bar_;
};

SentenceBar::SentenceBar(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("bandeauPhrase"));
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(kBarHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(250, 250, 245));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(6);
    view_ = new MessageView(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(view_);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->viewport()->setAutoFillBackground(false);
    view_->setAutoFillBackground(false);
    layout->addWidget(scroll_, 1);

    const char *captions[kControls] = {"Dire", "Effacer", "Tout effacer"};
    const char *names[kControls] = {"cmdDire", "cmdEffacer", "cmdToutEffacer"};
    for (int n = 0; n < kControls; ++n) {
        auto *button = new QPushButton(QString::fromUtf8(captions[n]), this);
        button->setObjectName(QString::fromLatin1(names[n]));
        button->setFixedSize(kControlWidth, kBarHeight - 12);
        // A switch or a key must never press a control by its keyboard focus.
        button->setFocusPolicy(Qt::NoFocus);
        QFont font = button->font();
        font.setPointSizeF(font.pointSizeF() * 1.4);
        font.setBold(true);
        button->setFont(font);
        layout->addWidget(button);
        controls_[n] = button;
    }
    connect(controls_[0], &QPushButton::clicked, this, [this] { emit sayRequested(message()); });
    connect(controls_[1], &QPushButton::clicked, this, &SentenceBar::removeLast);
    connect(controls_[2], &QPushButton::clicked, this, &SentenceBar::clear);
    markControl(-1, {}, 0);
}

void SentenceBar::add(const QString &phrase, const QImage &picture, const QString &pictureFile) {
    // A small copy: the page's picture may be large and the page may be left.
    const QImage small = picture.isNull()
                             ? QImage()
                             : picture.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio,
                                              Qt::SmoothTransformation);
    const quint64 id = ++lastId_;
    view_->parts.append({phrase, small, id});
    if (small.isNull() && !pictureFile.isEmpty()) {
        // Pressed before the page had drawn it: the copy is decoded away from the window
        // and shown when it comes, if the phrase is still there.
        decodes_->run(
            [pictureFile](const OffThread::Token &) {
                return decodePicture(pictureFile, QSize(kPictureSide, kPictureSide));
            },
            [this, id](const QImage &image) {
                for (auto &part : view_->parts) {
                    if (part.id == id)
                        part.picture = image;
                }
                view_->update();
            });
    }
    view_->updateWidth();
    // The newest phrase is always in sight.
    scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->maximum());
    scroll_->ensureVisible(view_->width() - 1, 0, 0, 0);
}

void SentenceBar::removeLast() {
    if (view_->parts.isEmpty())
        return;
    view_->parts.removeLast();
    view_->updateWidth();
}

void SentenceBar::clear() {
    view_->parts.clear();
    view_->updateWidth();
}

QImage SentenceBar::picture(int n) const {
    return n >= 0 && n < view_->parts.size() ? view_->parts[n].picture : QImage();
}

QStringList SentenceBar::phrases() const {
    QStringList list;
    for (const auto &part : view_->parts)
        list << part.phrase;
    return list;
}

QStringList SentenceBar::forms() const {
    return formedPhrases(phrases());
}

void SentenceBar::markControl(int n, const QColor &color, int thicknessPixels) {
    marked_ = n;
    for (int i = 0; i < kControls; ++i) {
        controls_[i]->setStyleSheet(
            i == n || n == kControls
                ? QStringLiteral("QPushButton { border: %1px solid %2; background: white; }")
                      .arg(std::max(2, thicknessPixels))
                      .arg(color.name())
                : QStringLiteral("QPushButton { border: 2px solid gray; background: white; }"));
    }
}

} // namespace tv
