#include "Scanning.h"

#include "model/Action.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace tv {

Scanning::Scanning(AppState &state, MainWindow &window, Services &services, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services),
      pace_(state.settings.scanDelay, state.settings.switches.adaptiveMinMs,
            state.settings.switches.adaptiveMaxMs) {
    connect(window_.scanTimer(), &QTimer::timeout, this, &Scanning::step);
    connect(window_.blinkTimer(), &QTimer::timeout, this, &Scanning::blink);
    connect(&window_, &MainWindow::pictureHovered, this, &Scanning::hover);
    connect(&window_, &MainWindow::backgroundMoved, this, &Scanning::leavePictures);
    // Only a release whose press the window saw too: the Escape that dismisses a message box
    // must not bring the box straight back.
    connect(&window_, &MainWindow::keyPressed, this,
            [this](int key) { escapeDown_ = key == Qt::Key_Escape; });
    connect(&window_, &MainWindow::keyReleased, this, [this](int key) {
        if (key != Qt::Key_Escape || !escapeDown_)
            return;
        escapeDown_ = false;
        // Escape right after a choice undoes it: the step was too short for the person.
        if (last_.at >= 0 && clock_.elapsed() - last_.at < kUndoneWithinMs)
            applyPace(pace_.missed());
        stopScanning();
    });
    connect(&window_, &MainWindow::picturePressed, this,
            [this](int index, Qt::MouseButton button, QPoint) {
                if (button == Qt::LeftButton && state_.pointerMode.isEmpty())
                    pressed(index);
            });
    clock_.start();
    connect(&window_, &MainWindow::pageShown, this, &Scanning::forgetFramed);
    connect(&window_, &MainWindow::backgroundPressed, this, [this](Qt::MouseButton button, QPoint) {
        if (button == Qt::RightButton)
            offerToResume();
    });
}

void Scanning::step() {
    // While a menu, a dialog or a message box is open, the person or the carer is busy with
    // it and its command must act on the picture it was opened for: scanning holds, and
    // goes on from the same picture once it closes.
    if (somethingElseIsOpen())
        return;
    const SwitchSettings &switches = state_.settings.switches;
    if (switches.pattern == kPatternStep) {
        window_.scanTimer()->stop(); // the person's own switch moves the frame
        return;
    }
    if (switches.rounds > 0 && rounds_ >= switches.rounds) {
        pause();
        return;
    }
    if (switches.pattern == kPatternRows)
        stepRows();
    else
        stepPictures();
}

void Scanning::advance() {
    if (!somethingElseIsOpen())
        stepPictures();
}

void Scanning::stepPictures() {
    state_.scanIndex = state_.scanIndex + 1;
    // After the page's pictures, the message strip's controls when it is shown.
    const int pictures = state_.page.imageCount;
    const int controls = state_.settings.sentenceBar ? SentenceBar::kControls : 0;
    if (state_.scanIndex > pictures && controls > 0) {
        frameTarget(pictures - state_.scanIndex);
    } else {
        state_.currentImage = state_.scanIndex;
        frameTarget(state_.scanIndex);
    }
    // At or past the count: a picture created on an empty page is reached too.
    if (state_.scanIndex >= pictures + controls) {
        state_.scanIndex = 0;
        ++rounds_;
    }
}

void Scanning::frameTarget(Target target) {
    framed_ = target;
    framedRow_ = 0;
    framedAt_ = clock_.elapsed();
    SentenceBar *bar = window_.sentenceBar();
    if (target < 0) {
        hideFrame();
        const int n = -target - 1;
        const QPushButton *control = bar->control(n);
        bar->markControl(n, colorFromValue(state_.settings.frameColor, bar->palette()),
                         state_.settings.frameThickness);
        services_.cursor.moveTo(control->mapToGlobal(control->rect().center()));
        cue(control->text());
        return;
    }
    bar->markControl(-1, {}, 0);
    // A picture deleted since the page was read still takes its step: the frame and the
    // cursor stay where they were.
    const PictureControl *picture = window_.pictureAt(target);
    if (picture) {
        placeCursorOn(target);
        frameAround(*picture, state_.settings.frameThickness);
    }
    showFrame();
    if (picture)
        cue(cueOf(picture->tag()));
}

void Scanning::cue(const QString &text) {
    if (!state_.settings.switches.cues || text.isEmpty())
        return;
    // The phrase just chosen is the person's sentence: the next cue waits for its end.
    if (phraseChosen_ && services_.speech.isSpeaking())
        return;
    phraseChosen_ = false;
    services_.speech.speak(text);
}

void Scanning::pause() {
    paused_ = true;
    framed_ = 0;
    framedRow_ = 0;
    hideFrame();
    window_.sentenceBar()->markControl(-1, {}, 0);
    window_.scanTimer()->stop();
}

void Scanning::select() {
    if (somethingElseIsOpen())
        return;
    const SwitchSettings &switches = state_.settings.switches;
    if (paused_) {
        // The press that wakes scanning starts it from the first picture; it chooses nothing.
        paused_ = false;
        rounds_ = 0;
        state_.scanIndex = 0;
        state_.scanInRow = -1;
        if (switches.pattern != kPatternStep)
            window_.scanTimer()->start();
        step();
        return;
    }
    rounds_ = 0;
    if (framed_ == 0 && framedRow_ == 0) {
        // Nothing framed (a page just shown): the press never falls on an unseen picture.
        if (switches.pattern == kPatternStep)
            stepPictures();
        else if (!window_.scanTimer()->isActive())
            window_.scanTimer()->start();
        return;
    }
    if (switches.pattern == kPatternRows) {
        if (state_.scanInRow < 0) {
            enterRow();
            return;
        }
        // Chosen: back to the rows, from the first, each row with its full step.
        state_.scanInRow = -1;
        state_.scanIndex = 0;
        if (window_.scanTimer()->isActive())
            window_.scanTimer()->start();
    }
    chooseFramed();
}

bool Scanning::chooseFramed() {
    const Target target = framed_;
    if (target < 0) {
        window_.sentenceBar()->control(-target - 1)->click();
    } else if (const PictureControl *picture = window_.pictureAt(target)) {
        emit window_.picturePressed(target, Qt::LeftButton,
                                    QPoint(picture->widthTwips() / 2, picture->heightTwips() / 2));
    } else {
        return false;
    }
    return true;
}

void Scanning::focusStep(bool backwards) {
    const int pictures = state_.page.imageCount;
    const int count = pictures + (state_.settings.sentenceBar ? SentenceBar::kControls : 0);
    // Places 1 to count: the pictures, then the strip's controls; a deleted picture is passed.
    int at = framed_ > 0 ? framed_ : framed_ < 0 ? pictures - framed_ : backwards ? 1 : count;
    for (int tries = 0; tries < count; ++tries) {
        at = (at - 1 + (backwards ? count - 1 : 1)) % count + 1;
        if (at > pictures || window_.pictureAt(at)) {
            if (at <= pictures)
                state_.currentImage = at;
            frameTarget(at > pictures ? pictures - at : at);
            return;
        }
    }
}

void Scanning::pressed(int index) {
    if (state_.settings.accessMode != kAccessScanning)
        return;
    rounds_ = 0;
    const qint64 now = clock_.elapsed();
    const PictureControl *picture = window_.pictureAt(index);
    const QString action = picture ? picture->tag() : QString();
    const bool link = classifyAction(action) == ActionClass::PageLink;
    // A link straight back to the page just left undoes the choice before it.
    if (link && last_.wasLink && now - last_.at < kUndoneWithinMs &&
        action.compare(last_.pageShown, Qt::CaseInsensitive) == 0)
        applyPace(pace_.missed());
    else if (index == framed_)
        applyPace(pace_.selected(double(now - framedAt_)));
    last_ = {now, state_.page.currentPage, link};
    phraseChosen_ = classifyAction(action) == ActionClass::PhraseOrKeyword;
}

void Scanning::forgetFramed() {
    framed_ = 0;
    framedRow_ = 0;
    window_.sentenceBar()->markControl(-1, {}, 0);
}

void Scanning::applyPace(int stepMs) {
    if (!state_.settings.switches.adaptive || stepMs == state_.settings.scanDelay)
        return;
    state_.settings.scanDelay = qint16(stepMs);
    window_.scanTimer()->setInterval(scanIntervalMs(stepMs));
}

void Scanning::settingsChanged() {
    const SwitchSettings &switches = state_.settings.switches;
    pace_.rebound(state_.settings.scanDelay, switches.adaptiveMinMs, switches.adaptiveMaxMs);
    paused_ = false;
    rounds_ = 0;
    state_.scanInRow = -1;
}

bool somethingElseIsOpen() {
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *w) {
        return w->isVisible() &&
               (qobject_cast<const QDialog *>(w) || qobject_cast<const QMenu *>(w));
    });
}

void Scanning::placeCursorOn(int index) {
    const PictureControl *picture = window_.pictureAt(index);
    // The centre of the picture on the screen, from the page surface itself, so the cursor
    // lands inside the picture whatever the window's decoration.
    const QPointF centreTwips(picture->leftTwips() + picture->widthTwips() / 2.0,
                              picture->topTwips() + picture->heightTwips() / 2.0);
    const QPoint local(twipsToScreenPixels(centreTwips.x(), state_.tpp.x),
                       twipsToScreenPixels(centreTwips.y(), state_.tpp.y));
    services_.cursor.moveTo(window_.surface()->mapToGlobal(local));
}

void Scanning::hover(int index) {
    if (state_.hoveredImage)
        return;
    PictureControl *picture = window_.pictureAt(index);
    if (!picture)
        return;
    state_.currentImage = index;
    frameAround(*picture, 8 * state_.settings.frameThickness);
    showFrame();
    state_.hoveredImage = true;
    picture->setToolTip(picture->tag());
}

void Scanning::frameAround(const PictureControl &picture, int out) {
    window_.selectionFrame()->setTwipsGeometry(picture.leftTwips() - out, picture.topTwips() - out,
                                               picture.widthTwips() + 2 * out,
                                               picture.heightTwips() + 2 * out);
}

void Scanning::showFrame() {
    window_.selectionFrame()->show();
    window_.selectionFrame()->raise();
    if (state_.settings.frameBlink)
        window_.blinkTimer()->start();
}

void Scanning::leavePictures() {
    state_.hoveredImage = false;
    hideFrame();
}

void Scanning::hideFrame() {
    window_.selectionFrame()->hide();
    window_.blinkTimer()->stop();
}

void Scanning::blink() {
    SelectionFrame *frame = window_.selectionFrame();
    frame->setVisible(!frame->isVisible());
}

void Scanning::stopScanning() {
    services_.dialogs.message(QStringLiteral("Défilement stoppé"), MessageIcon::Exclamation,
                              MessageButtons::Ok);
    window_.scanTimer()->stop();
}

void Scanning::offerToResume() {
    if (window_.scanTimer()->isActive() || state_.settings.accessMode != kAccessScanning)
        return;
    if (services_.dialogs.message(QStringLiteral("Reprendre le défilement ?"),
                                  MessageIcon::Question,
                                  MessageButtons::YesNo) == MessageAnswer::Yes)
        window_.scanTimer()->start();
}

} // namespace tv
