#include "Scanning.h"

#include "model/Action.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SentenceBar.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "use/ScanOrder.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace tv {

Scanning::Scanning(AppState &state, MainWindow &window, Services &services, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services),
      frame_(state, window, services),
      pace_(state.settings.scanDelay, state.settings.switches.adaptiveMinMs,
            state.settings.switches.adaptiveMaxMs) {
    connect(window_.scanTimer(), &QTimer::timeout, this, &Scanning::step);
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
                if (button == Qt::LeftButton && !pointerArmed())
                    pressed(index);
            });
    clock_.start();
    connect(&window_, &MainWindow::pageCleared, this, [this] { hovered_ = false; });
    connect(&window_, &MainWindow::pageShown, this, &Scanning::forgetFramed);
    // What the strip offers changed under the frame: a choice the person never saw framed
    // must not be taken for the one they meant.
    connect(window_.sentenceBar(), &SentenceBar::controlsChanged, this, [this] {
        if (framed_.isControl() || framedRow_ > 0 || place_ > state_.page.imageCount + controls())
            forgetFramed();
    });
    connect(&window_, &MainWindow::backgroundPressed, this, [this](Qt::MouseButton button, QPoint) {
        if (button == Qt::RightButton)
            offerToResume();
    });
}

int Scanning::controls() const {
    return state_.settings.sentenceBar ? window_.sentenceBar()->controlCount() : 0;
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
    ++place_;
    const int pictures = state_.page.imageCount;
    const Target target = targetAtPlace(place_, pictures, controls());
    if (target.isPicture())
        state_.currentImage = target.number;
    frameTarget(target);
    if (place_ >= pictures + controls()) {
        place_ = 0;
        ++rounds_;
    }
}

void Scanning::frameTarget(Target target) {
    framed_ = target;
    framedRow_ = 0;
    framedAt_ = clock_.elapsed();
    frame_.show(target);
    if (target.isControl()) {
        // A choice is cued by all it says, which its caption may shorten.
        if (const QPushButton *control = window_.sentenceBar()->control(target.number))
            cue(control->accessibleName().isEmpty() ? control->text() : control->accessibleName());
    } else if (const PictureControl *picture = window_.pictureAt(target.number)) {
        cue(cueOf(picture->tag()));
    }
}

QList<QList<Target>> Scanning::rows() const {
    QList<PlacedPicture> places;
    for (int n = 1; n <= state_.page.imageCount; ++n) {
        if (const PictureControl *p = window_.pictureAt(n); p && !p->isHidden())
            places << PlacedPicture{n, p->twipsRect()};
    }
    return scanRows(places, controls());
}

void Scanning::stepRows() {
    const QList<QList<Target>> all = rows();
    if (all.isEmpty())
        return;
    if (inRow_ >= 0) {
        const QList<Target> row = all.value(place_ - 1);
        ++inRow_;
        if (inRow_ < row.size()) {
            const Target target = row[inRow_];
            if (target.isPicture())
                state_.currentImage = target.number;
            frameTarget(target);
            return;
        }
        // A row scanned through without a press: back to the rows, from the first.
        inRow_ = -1;
        place_ = 0;
    }
    if (++place_ > all.size())
        place_ = 1;
    frameRow(all[place_ - 1], place_);
    if (place_ == all.size())
        ++rounds_;
}

void Scanning::frameRow(const QList<Target> &row, int number) {
    framed_ = {};
    framedRow_ = number;
    framedAt_ = clock_.elapsed();
    frame_.showRow(row);
    cue(QStringLiteral("ligne %1").arg(number));
}

void Scanning::enterRow() {
    const QList<Target> row = rows().value(framedRow_ - 1);
    if (row.isEmpty())
        return;
    place_ = framedRow_;
    inRow_ = 0;
    if (row[0].isPicture())
        state_.currentImage = row[0].number;
    frameTarget(row[0]);
    // The first picture of the row gets its full step.
    if (window_.scanTimer()->isActive())
        window_.scanTimer()->start();
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
    framed_ = {};
    framedRow_ = 0;
    frame_.clear();
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
        place_ = 0;
        inRow_ = -1;
        if (switches.pattern != kPatternStep)
            window_.scanTimer()->start();
        step();
        return;
    }
    rounds_ = 0;
    if (!framed_ && framedRow_ == 0) {
        // Nothing framed (a page just shown): the press never falls on an unseen picture.
        if (switches.pattern == kPatternStep)
            stepPictures();
        else if (!window_.scanTimer()->isActive())
            window_.scanTimer()->start();
        return;
    }
    if (switches.pattern == kPatternRows) {
        if (inRow_ < 0) {
            enterRow();
            return;
        }
        // Chosen: back to the rows, from the first, each row with its full step.
        inRow_ = -1;
        place_ = 0;
        if (window_.scanTimer()->isActive())
            window_.scanTimer()->start();
    }
    chooseFramed();
}

bool Scanning::chooseFramed() {
    if (framed_.isControl()) {
        if (QPushButton *control = window_.sentenceBar()->control(framed_.number)) {
            // A suggestion chosen is noted with the way in, as a picture is.
            const bool scanning = state_.settings.accessMode == kAccessScanning;
            state_.choosing = {scanning ? kAccessScanning : QStringLiteral("clavier"),
                               scanning ? clock_.elapsed() - framedAt_ : -1};
            control->click();
            state_.choosing = {};
        }
    } else if (const PictureControl *picture =
                   framed_ ? window_.pictureAt(framed_.number) : nullptr) {
        // Scanning, or the keyboard moving the same frame with the pointer at rest.
        const bool scanning = state_.settings.accessMode == kAccessScanning;
        state_.choosing = {scanning ? kAccessScanning : QStringLiteral("clavier"),
                           scanning ? clock_.elapsed() - framedAt_ : -1};
        emit window_.picturePressed(framed_.number, Qt::LeftButton,
                                    QPoint(picture->widthTwips() / 2, picture->heightTwips() / 2));
    } else {
        return false;
    }
    return true;
}

void Scanning::focusStep(bool backwards) {
    const Target next =
        nextInOrder(framed_, backwards, state_.page.imageCount, controls(),
                    [this](int index) { return window_.pictureAt(index) != nullptr; });
    if (!next)
        return;
    if (next.isPicture())
        state_.currentImage = next.number;
    frameTarget(next);
}

void Scanning::pressed(int index) {
    if (state_.settings.accessMode != kAccessScanning)
        return;
    rounds_ = 0;
    const qint64 now = clock_.elapsed();
    const PictureControl *picture = window_.pictureAt(index);
    const QString action = picture ? picture->tag() : QString();
    const ActionKind kind = actionKind(action);
    const bool link = kind == ActionKind::PageLink;
    // A link straight back to the page just left undoes the choice before it.
    if (link && last_.wasLink && now - last_.at < kUndoneWithinMs &&
        action.compare(last_.pageShown, Qt::CaseInsensitive) == 0)
        applyPace(pace_.missed());
    else if (framed_ == Target::picture(index))
        applyPace(pace_.selected(double(now - framedAt_)));
    last_ = {now, state_.page.currentPage, link};
    phraseChosen_ = kind == ActionKind::Phrase || kind == ActionKind::Keyword;
}

void Scanning::forgetFramed() {
    framed_ = {};
    framedRow_ = 0;
    place_ = 0;
    inRow_ = -1;
    frame_.unmarkStrip();
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
    inRow_ = -1;
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

void Scanning::hover(int index) {
    if (hovered_)
        return;
    PictureControl *picture = window_.pictureAt(index);
    if (!picture)
        return;
    state_.currentImage = index;
    frame_.showAround(*picture);
    hovered_ = true;
    picture->setToolTip(picture->tag());
}

void Scanning::leavePictures() {
    hovered_ = false;
    frame_.hide();
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
