#pragma once

#include "ChoiceRow.h"
#include "language/Sentence.h"
#include "platform/OffThread.h"

#include <QColor>
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

    // Replaces the message with these phrases and their pictures' files.
    void setMessage(const QStringList &phrases, const QStringList &pictureFiles);

    // Under the message, a row of choices (suggestions, or the messages said before), and
    // beside "Tout effacer" the control "Déjà dit". The strip grows by the row's height.
    void setChoicesShown(bool row, bool alreadySaid);
    ChoiceRow *choices() const { return row_; }
    void setChoices(const QList<ChoiceRow::Choice> &choices);
    QPushButton *alreadySaidControl() const { return controls_[kFixed]; }

    // The order in which scanning visits the strip's controls: "Dire", "Effacer", "Tout
    // effacer", "Déjà dit" when shown, then the choices in the row. What the row holds comes
    // after the controls, so that those keep their places whatever it shows.
    static constexpr int kFixed = 3;
    int controlCount() const;
    QPushButton *control(int n) const;
    // Marks the control scanning has reached (none: -1; all of them: kAllControls) with the
    // selection frame's look.
    static constexpr int kAllControls = 1000;
    void markControl(int n, const QColor &color, int thicknessPixels);
    int markedControl() const { return marked_; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

signals:
    // "Dire", or a press on the message itself.
    void sayRequested(const QString &message);
    // A phrase added or removed, or the message formed anew.
    void messageChanged();
    // "Déjà dit".
    void alreadySaidRequested();
    // The controls scanning visits are others, or in other places.
    void controlsChanged();

private:
    class MessageView;
    // Forms the sentence again after any change to the phrases or to whom "je" stands for.
    void formAgain();
    void restyle();
    void fitSentence();

    MessageView *view_ = nullptr;
    QLabel *sentence_ = nullptr;
    QStringList forms_;
    Gender speaker_ = Gender::Masculine;
    QScrollArea *scroll_ = nullptr;
    QPushButton *controls_[kFixed + 1] = {};
    ChoiceRow *row_ = nullptr;
    int marked_ = -1;
    QColor markColor_;
    int markThickness_ = 0;
    quint64 lastId_ = 0;
    // Pictures decoded for the strip, each shown when it comes; last, so that it goes first.
    std::unique_ptr<OffThread> decodes_ = std::make_unique<OffThread>();
};

} // namespace tv
