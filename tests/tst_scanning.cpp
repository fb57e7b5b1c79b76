// The selection frame: scanning steps, the pointer's frame, blinking, stop and resume.

#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "platform/AppState.h"
#include "support/Fakes.h"
#include "support/PageFixture.h"
#include "use/Scanning.h"

#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tv;

namespace {

struct Page : test::PageFixture {
    Scanning scanning{state, window, fakes.services};

    explicit Page(const QByteArray &pictures = "p.jpg,un,10,10,50,40\r\n"
                                               "p.jpg,deux,100,10,50,40\r\n"
                                               "p.jpg,trois,200,10,50,40\r\n") {
        window.resize(400, 300);
        window.show();
        loadPageA("couleur_page=1\r\n" + pictures);
    }
    QRect frame() const { return window.selectionFrame()->twipsGeometry(); }
    void moveOver(QWidget *w, QPoint at = {5, 5}) {
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
};

} // namespace

class ScanningTest : public QObject {
    Q_OBJECT
private slots:
    void stepsVisitEveryPictureThenWrap();
    void deletedPictureStillTakesAStep();
    void holdsWhileAMenuOrADialogIsOpen();
    void emptyPageCountsOnWithoutFraming();
    void pointerFrameAndTooltip();
    void blinking();
    void escapeStops();
    void rightPressOnTheBackgroundOffersToResume();
    void pageLoadAndSettingsStartTheTimer();
};

void ScanningTest::stepsVisitEveryPictureThenWrap() {
    Page p;
    p.state.settings.frameThickness = 10;
    QList<int> visited;
    for (int i = 0; i < 4; ++i) {
        p.scanning.step();
        visited << p.state.currentImage;
        if (i == 2)
            QCOMPARE(p.state.scanIndex, 0);
    }
    QCOMPARE(visited, QList<int>({1, 2, 3, 1}));
    // The frame stands FrameThickness twips out from the picture.
    QCOMPARE(p.frame(), QRect(150 - 10, 150 - 10, 750 + 20, 600 + 20));
    QVERIFY(p.window.selectionFrame()->isVisible());
    // The cursor goes to each picture's centre on the screen.
    const QWidget *s = p.window.surface();
    QCOMPARE(p.fakes.cursor.moves,
             QList<QPoint>({s->mapToGlobal(QPoint(35, 30)), s->mapToGlobal(QPoint(125, 30)),
                            s->mapToGlobal(QPoint(225, 30)), s->mapToGlobal(QPoint(35, 30))}));

    // With the message strip: its three controls after the pictures, marked in turn with the
    // cursor on each, then the pictures again in their order.
    p.state.settings.sentenceBar = true;
    p.window.applyLook();
    p.state.scanIndex = 0;
    SentenceBar *bar = p.window.sentenceBar();
    QList<int> marked;
    for (int i = 0; i < 7; ++i) {
        p.fakes.cursor.moves.clear();
        p.scanning.step();
        marked << bar->markedControl();
        if (bar->markedControl() >= 0) {
            const QPushButton *control = bar->control(bar->markedControl());
            QCOMPARE(p.fakes.cursor.moves,
                     QList<QPoint>({control->mapToGlobal(control->rect().center())}));
            QVERIFY(!p.window.selectionFrame()->isVisible());
        } else {
            QVERIFY(p.window.selectionFrame()->isVisible());
        }
    }
    QCOMPARE(marked, QList<int>({-1, -1, -1, 0, 1, 2, -1}));
    QCOMPARE(p.state.currentImage, 1);
}

void ScanningTest::deletedPictureStillTakesAStep() {
    Page p;
    p.scanning.step();
    const QRect first = p.frame();
    p.window.removePicture(2);
    p.scanning.step();
    QCOMPARE(p.state.currentImage, 2);
    QCOMPARE(p.frame(), first);
    QVERIFY(p.window.selectionFrame()->isVisible());
    QCOMPARE(p.fakes.cursor.moves.size(), 1);
    p.scanning.step();
    QCOMPARE(p.state.currentImage, 3);
    QCOMPARE(p.state.scanIndex, 0);
}

void ScanningTest::holdsWhileAMenuOrADialogIsOpen() {
    Page p;
    p.scanning.step();
    QCOMPARE(p.state.currentImage, 1);
    // The picture menu opened for picture 1, then a dialog, then a message box: the command
    // must act on picture 1, so no step moves the frame or the cursor meanwhile.
    QMenu menu;
    menu.addAction("Plus &Grand");
    QDialog dialog;
    for (QWidget *open : {static_cast<QWidget *>(&menu), static_cast<QWidget *>(&dialog)}) {
        open->show();
        for (int i = 0; i < 5; ++i)
            p.scanning.step();
        QCOMPARE(p.state.currentImage, 1);
        QCOMPARE(p.fakes.cursor.moves.size(), 1);
        open->hide();
    }
    QTimer::singleShot(0, [&] {
        p.scanning.step();
        QCOMPARE(p.state.currentImage, 1);
        QApplication::activeModalWidget()->close();
    });
    QMessageBox::information(nullptr, "Tablavox", "Défilement stoppé");
    // Closed: scanning goes on from where it was.
    p.scanning.step();
    QCOMPARE(p.state.currentImage, 2);
}

void ScanningTest::emptyPageCountsOnWithoutFraming() {
    Page p("");
    QCOMPARE(p.state.page.imageCount, 0);
    for (int i = 1; i <= 60; ++i) {
        p.scanning.step();
        QCOMPARE(p.state.scanIndex, 0); // held at or past the count, it wraps
    }
    QVERIFY(p.fakes.cursor.moves.isEmpty());
    // A picture created on the empty page is reached by the next step.
    p.state.page.imageCount = 1;
    PictureControl *created = p.window.createPicture(1);
    created->setTwipsGeometry(0, 0, 600, 600);
    created->show();
    p.scanning.step();
    QCOMPARE(p.state.currentImage, 1);
    QCOMPARE(p.fakes.cursor.moves.size(), 1);
}

void ScanningTest::pointerFrameAndTooltip() {
    Page p;
    p.state.settings.frameThickness = 10;
    p.moveOver(p.window.img(2));
    QCOMPARE(p.state.currentImage, 2);
    QCOMPARE(p.frame(), QRect(1500 - 80, 150 - 80, 750 + 160, 600 + 160));
    QCOMPARE(p.window.img(2)->toolTip(), QStringLiteral("deux"));
    // Once placed, the frame stays until the pointer crosses the background.
    p.moveOver(p.window.img(3));
    QCOMPARE(p.state.currentImage, 2);
    p.moveOver(p.window.surface(), {390, 290});
    QVERIFY(!p.window.selectionFrame()->isVisible());
    QVERIFY(!p.state.hoveredImage);
    p.moveOver(p.window.img(3));
    QCOMPARE(p.state.currentImage, 3);
    QVERIFY(p.window.selectionFrame()->isVisible());
}

void ScanningTest::blinking() {
    Page p;
    p.scanning.step();
    QVERIFY(!p.window.blinkTimer()->isActive()); // steady without the setting
    p.state.settings.frameBlink = true;
    p.scanning.step();
    QVERIFY(p.window.blinkTimer()->isActive());
    QCOMPARE(p.window.blinkTimer()->interval(), 150);
    SelectionFrame *frame = p.window.selectionFrame();
    QTRY_VERIFY(!frame->isVisible());
    QTRY_VERIFY(frame->isVisible());
    p.moveOver(p.window.surface(), {390, 290});
    QVERIFY(!p.window.blinkTimer()->isActive());
    QVERIFY(!frame->isVisible());
}

void ScanningTest::escapeStops() {
    for (const QString &mode : {kAccessScanning, kAccessMouse}) {
        Page p;
        p.state.settings.accessMode = mode;
        p.window.scanTimer()->start();
        QTest::keyClick(&p.window, Qt::Key_Escape);
        QCOMPARE(p.fakes.dialogs.messages.size(), 1);
        QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Défilement stoppé"));
        QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::Exclamation);
        QVERIFY(!p.window.scanTimer()->isActive());
        // A press alone, another key, or the release of an Escape pressed elsewhere (the one
        // that closed the message box) does not stop it.
        p.window.scanTimer()->start();
        QTest::keyPress(&p.window, Qt::Key_Escape);
        QTest::keyRelease(&p.window, Qt::Key_A);
        QVERIFY(p.window.scanTimer()->isActive());
        QTest::keyPress(&p.window, Qt::Key_A);
        QTest::keyRelease(&p.window, Qt::Key_Escape);
        QVERIFY(p.window.scanTimer()->isActive());
        QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    }
}

void ScanningTest::rightPressOnTheBackgroundOffersToResume() {
    Page p;
    QWidget *background = p.window.surface();
    p.state.settings.accessMode = kAccessScanning;
    p.window.scanTimer()->start();
    QTest::mousePress(background, Qt::RightButton, {}, {390, 290});
    QVERIFY(p.fakes.dialogs.messages.isEmpty()); // running: nothing to resume

    p.window.scanTimer()->stop();
    p.fakes.dialogs.answers = {MessageAnswer::No};
    QTest::mousePress(background, Qt::RightButton, {}, {390, 290});
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Reprendre le défilement ?"));
    QCOMPARE(p.fakes.dialogs.messages[0].buttons, MessageButtons::YesNo);
    QVERIFY(!p.window.scanTimer()->isActive());
    p.fakes.dialogs.answers = {MessageAnswer::Yes};
    QTest::mousePress(background, Qt::RightButton, {}, {390, 290});
    QVERIFY(p.window.scanTimer()->isActive());

    // Mouse access asks nothing; neither does a left press.
    p.window.scanTimer()->stop();
    QTest::mousePress(background, Qt::LeftButton, {}, {390, 290});
    p.state.settings.accessMode = kAccessMouse;
    QTest::mousePress(background, Qt::RightButton, {}, {390, 290});
    QCOMPARE(p.fakes.dialogs.messages.size(), 2);
}

void ScanningTest::pageLoadAndSettingsStartTheTimer() {
    Page p;
    QVERIFY(!p.window.scanTimer()->isActive());
    p.state.settings.accessMode = kAccessScanning;
    p.state.settings.scanDelay = 700;
    p.window.applySettingsRead({});
    QVERIFY(p.window.scanTimer()->isActive());
    QCOMPARE(p.window.scanTimer()->interval(), 700);
    QCOMPARE(p.window.scanTimer()->timerType(), Qt::PreciseTimer);
    p.window.scanTimer()->stop();
    p.scanning.step();
    p.loader.loadPage();
    QVERIFY(p.window.scanTimer()->isActive());
    QCOMPARE(p.state.scanIndex, 0);
    // The timer drives the steps on its own.
    QTRY_COMPARE_WITH_TIMEOUT(p.state.currentImage, 1, 3000);
}

QTEST_MAIN(ScanningTest)
#include "tst_scanning.moc"
