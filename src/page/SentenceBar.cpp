#include "SentenceBar.h"

#include "ChoiceRow.h"
#include "PictureCache.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace tv {

namespace {

constexpr int kItemWidth = 110; // pixels: a picture and two lines of text under it
constexpr int kPictureSide = 60;
constexpr int kMessageHeight = 106; // a picture and two lines of its words
// Room for the scroll bar under the message, so that it never hides a phrase's text.
constexpr int kScrollBarRoom = 18;
// The sentence in letters a partner reads across a table.
constexpr int kSentenceHeight = 40;
constexpr int kBarHeight = 8 + kMessageHeight + kScrollBarRoom + kSentenceHeight;
constexpr int kControlWidth = 120;
constexpr int kRowHeight = 78; // the choices under the message, and room for a scroll bar

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

QString messageText(const QStringList &phrases, Gender speaker) {
    return joinedForms(formedPhrases(phrases, speaker));
}

// The phrases added so far, drawn left to right; pressing it says the message.
class SentenceBar::MessageView : public QWidget {
public:
    explicit MessageView(SentenceBar *bar) : QWidget(nullptr), bar_(bar) {
        setObjectName(QStringLiteral("bandeauMessage"));
        setFixedHeight(kMessageHeight);
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
    // What assistive technologies read for each picture: the words it says, or, for a word
    // that only sets the tense, the word and that it is not said. Presses go through them to
    // the message, which says it.
    void name(const QStringList &forms) {
        while (names_.size() > parts.size())
            delete names_.takeLast();
        while (names_.size() < parts.size()) {
            auto *label = new QLabel(this);
            label->setGeometry(int(names_.size()) * kItemWidth, 0, kItemWidth, height());
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->show();
            names_ << label;
        }
        for (int i = 0; i < parts.size(); ++i) {
            const QString form = forms.value(i);
            names_[i]->setAccessibleName(
                form.isEmpty() ? parts[i].phrase + QStringLiteral(" (non dit)") : form);
        }
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        QFont font = p.font();
        font.setPointSizeF(font.pointSizeF() * 1.1);
        p.setFont(font);
        // Under each picture, the words as the message says them ("veux" for "vouloir");
        // a word that only sets the tense, as written and grey.
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
            const QString form = forms.value(i);
            p.setPen(form.isEmpty() ? QColor(Qt::gray) : palette().color(QPalette::WindowText));
            const QRect textRect = cell.adjusted(4, kPictureSide + 6, -4, 0);
            p.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                       fitted(form.isEmpty() ? QStringLiteral("(%1)").arg(parts[i].phrase) : form,
                              textRect, p.fontMetrics()));
        }
    }
    void mousePressEvent(QMouseEvent *event) override {
        event->accept();
        if (event->button() == Qt::LeftButton)
            emit bar_->sayRequested(bar_->message());
    }

private:
    SentenceBar *bar_;
    QList<QLabel *> names_;
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

    // The message and its controls, and under them, across the whole strip, the choices.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->setSpacing(4);
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    outer->addLayout(layout);
    view_ = new MessageView(this);
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(view_);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setFixedHeight(kMessageHeight + kScrollBarRoom);
    view_->setAutoFillBackground(false);
    sentence_ = new QLabel(this);
    sentence_->setObjectName(QStringLiteral("textePhrase"));
    sentence_->setAccessibleDescription(QStringLiteral("Phrase"));
    sentence_->setFixedHeight(kSentenceHeight);
    sentence_->setTextFormat(Qt::PlainText);
    QFont large = sentence_->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    sentence_->setFont(large);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(scroll_);
    column->addWidget(sentence_);
    layout->addLayout(column, 1);
    row_ = new ChoiceRow(this);
    row_->setFixedHeight(kRowHeight);
    row_->hide();

    const char *captions[kFixed + 1] = {"Dire", "Effacer", "Tout effacer", "Déjà dit"};
    const char *names[kFixed + 1] = {"cmdDire", "cmdEffacer", "cmdToutEffacer", "cmdDéjàDit"};
    for (int n = 0; n <= kFixed; ++n) {
        auto *button = new QPushButton(QString::fromUtf8(captions[n]), this);
        button->setObjectName(QString::fromUtf8(names[n]));
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
    outer->addWidget(row_);
    connect(controls_[0], &QPushButton::clicked, this, [this] { emit sayRequested(message()); });
    connect(controls_[1], &QPushButton::clicked, this, &SentenceBar::removeLast);
    connect(controls_[2], &QPushButton::clicked, this, &SentenceBar::clear);
    connect(controls_[kFixed], &QPushButton::clicked, this, &SentenceBar::alreadySaidRequested);
    controls_[kFixed]->hide();
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
    formAgain();
    // The newest phrase is always in sight.
    scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->maximum());
    scroll_->ensureVisible(view_->width() - 1, 0, 0, 0);
}

void SentenceBar::removeLast() {
    if (view_->parts.isEmpty())
        return;
    view_->parts.removeLast();
    formAgain();
}

void SentenceBar::clear() {
    view_->parts.clear();
    formAgain();
}

void SentenceBar::setSpeaker(Gender speaker) {
    if (speaker_ == speaker)
        return;
    speaker_ = speaker;
    formAgain();
}

void SentenceBar::formAgain() {
    forms_ = formedPhrases(phrases(), speaker_);
    sentence_->setAccessibleName(joinedForms(forms_));
    fitSentence();
    view_->name(forms_);
    view_->updateWidth();
    emit messageChanged();
}

void SentenceBar::fitSentence() {
    // Too long for the line: its end, where the newest words are, stays in sight.
    const QString sentence = sentence_->accessibleName();
    const QFontMetrics metrics(sentence_->font());
    const int room = sentence_->width();
    sentence_->setText(metrics.horizontalAdvance(sentence) <= room
                           ? sentence
                           : metrics.elidedText(sentence, Qt::ElideLeft, room));
}

void SentenceBar::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    fitSentence();
}

void SentenceBar::showEvent(QShowEvent *event) {
    // The first message does not wait for the conjugator's tables.
    Lexicon::preload();
    QFrame::showEvent(event);
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

void SentenceBar::setMessage(const QStringList &phrases, const QStringList &pictureFiles) {
    view_->parts.clear();
    for (qsizetype i = 0; i < phrases.size(); ++i)
        add(phrases[i], {}, pictureFiles.value(i));
    if (phrases.isEmpty())
        formAgain();
}

void SentenceBar::setChoicesShown(bool row, bool alreadySaid) {
    const int before = controlCount();
    const bool wasRow = !row_->isHidden();
    controls_[kFixed]->setVisible(alreadySaid);
    row_->setVisible(row);
    if (!row)
        row_->setChoices({});
    restyle();
    setFixedHeight(kBarHeight + (row ? kRowHeight + 4 : 0));
    if (before != controlCount() || wasRow != row)
        emit controlsChanged();
}

int SentenceBar::controlCount() const {
    return kFixed + (controls_[kFixed]->isHidden() ? 0 : 1) +
           (row_->isHidden() ? 0 : row_->count());
}

QPushButton *SentenceBar::control(int n) const {
    if (n >= 0 && n < kFixed)
        return controls_[n];
    if (!controls_[kFixed]->isHidden() && n == kFixed)
        return controls_[kFixed];
    const int inRow = n - kFixed - (controls_[kFixed]->isHidden() ? 0 : 1);
    return row_->isHidden() ? nullptr : row_->button(inRow);
}

void SentenceBar::setChoices(const QList<ChoiceRow::Choice> &choices) {
    row_->setChoices(choices);
    restyle();
    emit controlsChanged();
}

void SentenceBar::markControl(int n, const QColor &color, int thicknessPixels) {
    marked_ = n;
    markColor_ = color;
    markThickness_ = thicknessPixels;
    restyle();
}

void SentenceBar::restyle() {
    const int n = marked_;
    const int count = controlCount();
    for (int i = 0; i < count; ++i) {
        QPushButton *button = control(i);
        button->setStyleSheet(
            i == n || n == kAllControls
                ? QStringLiteral("QPushButton { border: %1px solid %2; background: white; }")
                      .arg(std::max(2, markThickness_))
                      .arg(markColor_.name())
                : QStringLiteral("QPushButton { border: 2px solid gray; background: white; }"));
    }
    // The choice reached is in sight, however many there are.
    if (QPushButton *reached = control(n); reached && reached->parentWidget() != this)
        row_->ensureWidgetVisible(reached);
}

} // namespace tv
