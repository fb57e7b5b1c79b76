#pragma once

#include "platform/OffThread.h"

#include <QList>
#include <QScrollArea>
#include <QString>
#include <memory>

class QHBoxLayout;
class QPushButton;

namespace tv {

// A row of choices under the message: the pictures suggested to come next, each with its
// image and the words it will say, or the messages said before, each by its sentence. Every
// choice is a push button that assistive technologies read by what it says; none takes the
// keyboard focus (a switch or a key reaches them through the frame, as the strip's controls).
class ChoiceRow : public QScrollArea {
    Q_OBJECT
public:
    struct Choice {
        QString caption;     // what the button shows
        QString name;        // what assistive technologies read
        QString description; // what kind of choice it is
        QString pictureFile; // shown above the caption; empty for text alone
        bool marked = false; // shown apart (a pinned message)
    };

    explicit ChoiceRow(QWidget *parent = nullptr);

    void setChoices(const QList<Choice> &choices);
    int count() const { return int(buttons_.size()); }
    QPushButton *button(int n) const { return buttons_.value(n); }
    const Choice &choice(int n) const { return choices_[n]; }

signals:
    void chosen(int n);
    // A right press on choice n, at this place on the screen (the carer's menu).
    void menuRequested(int n, QPoint global);

private:
    QWidget *inside_ = nullptr;
    QHBoxLayout *layout_ = nullptr;
    QList<QPushButton *> buttons_;
    QList<Choice> choices_;
    // Pictures decoded for the buttons, each shown when it comes; last, so that it goes first.
    std::unique_ptr<OffThread> decodes_ = std::make_unique<OffThread>();
};

} // namespace tv
