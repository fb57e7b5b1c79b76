#pragma once

#include "language/Sentence.h"
#include "platform/OffThread.h"

#include <QFrame>
#include <QImage>
#include <QList>
#include <QStringList>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

namespace tv {

// The message as it is said: the phrases in the order added, joined by spaces, each verb
// after a subject pronoun agreeing with it; the line breaks of a stored phrase ("\") are
// spaces in the middle of a message.
QString messageText(const QStringList &phrases, Gender speaker = Gender::Masculine);

// The strip above the page where a message is built from several pictures: each phrase
// added shows as a small copy of its picture with the words it says under it, the whole
// sentence is written below them in large letters, and three controls say the message,
// remove the last phrase or remove them all. Assistive technologies read each picture by
// the words it says, and the sentence.
class SentenceBar : public QFrame {
    Q_OBJECT
public:
    explicit SentenceBar(QWidget *parent = nullptr);

    // `picture` as drawn on the page; when it is not drawn yet, its copy is made from
    // `pictureFile`.
    void add(const QString &phrase, const QImage &picture, const QString &pictureFile = {});
    void removeLast();
    void clear();
    QStringList phrases() const;
    // The copy of the picture shown for phrase n (null while it is being made).
    QImage picture(int n) const;
    QString message() const { return joinedForms(forms_); }
    // The words shown under each picture: the phrases as the message says them.
    QStringList forms() const { return forms_; }
    // Whom "je" and "nous" stand for; the sentence is formed again.
    void setSpeaker(Gender speaker);

    // "Dire", "Effacer", "Tout effacer": the order in which scanning visits them.
    static constexpr int kControls = 3;
    QPushButton *control(int n) const { return controls_[n]; }
    // Marks the control scanning has reached (none: -1; all three: kControls) with the
    // selection frame's look.
    void markControl(int n, const QColor &color, int thicknessPixels);
    int markedControl() const { return marked_; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

signals:
    // "Dire", or a press on the message itself.
    void sayRequested(const QString &message);

private:
    class MessageView;
    // Forms the sentence again after any change to the phrases or to whom "je" stands for.
    void formAgain();
    void fitSentence();

    MessageView *view_ = nullptr;
    QLabel *sentence_ = nullptr;
    QStringList forms_;
    Gender speaker_ = Gender::Masculine;
    QScrollArea *scroll_ = nullptr;
    QPushButton *controls_[kControls] = {};
    int marked_ = -1;
    quint64 lastId_ = 0;
    // Pictures decoded for the strip, each shown when it comes; last, so that it goes first.
    std::unique_ptr<OffThread> decodes_ = std::make_unique<OffThread>();
};

} // namespace tv
