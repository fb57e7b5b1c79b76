// Switch access: timing filters, row grouping, the adaptive pace, cues, and the patterns
// driven through the real key and button events.

#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "support/PageFixture.h"
#include "use/Scanning.h"
#include "use/SwitchInput.h"
#include "use/SwitchRules.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace tv;

namespace {

// Two rows of two pictures and one of three, written out of order.
struct Page : test::PageFixture {
    Scanning scanning{state, window, fakes.services};
    SwitchInput switches{state, window, scanning};
    QSignalSpy pressed{&window, &MainWindow::picturePressed};

    explicit Page(const QString &pattern, const QString &selectKey = "espace") {
        state.settings.accessMode = kAccessScanning;
        state.settings.switches.pattern = pattern;
        state.settings.switches.selectKey = selectKey;
        state.settings.switches.stepKey = "entrée";
        window.resize(600, 400);
        window.show();
        loadPageA("couleur_page=1\r\n"
                  "p.jpg,deux,100,10,50,40\r\np.jpg,un,10,10,50,40\r\n"
                  "p.jpg,page_trois.dat,10,100,50,40\r\np.jpg,quatre.wav,100,110,50,40\r\n");
        switches.settingsChanged();
        scanning.settingsChanged();
    }
    void key(int key, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    }
    void tap(int k) {
        key(k);
        key(k, QEvent::KeyRelease);
    }
    QList<int> pressedIndices() const {
        QList<int> list;
        for (const auto &args : pressed)
            list << args[0].toInt();
        return list;
    }
};

} // namespace

class SwitchesTest : public QObject {
    Q_OBJECT
private slots:
    void timingFilters_data();
    void timingFilters();
    void rowsFromFreePlaces_data();
    void rowsFromFreePlaces();
    void paceFollowsRecordedPresses_data();
    void paceFollowsRecordedPresses();
    void cuesAndKeyNames();
    void stepScanningWithTwoKeys();
    void aHeldKeyCountsOnceAtItsAcceptanceTime();
    void rowColumnScanning();
    void pauseAfterRoundsAndKeysKeptFromTheMenus();
};

void SwitchesTest::timingFilters_data() {
    QTest::addColumn<int>("acceptance");
    QTest::addColumn<int>("release");
    QTest::addColumn<QList<int>>("presses"); // down at, up at, down at, up at, …
    QTest::addColumn<int>("counted");
    QTest::newRow("off: every press") << 0 << 0 << QList<int>{0, 50, 60, 70, 80, 90} << 3;
    QTest::newRow("too short to count") << 200 << 0 << QList<int>{0, 150, 300, 350} << 0;
    QTest::newRow("held long enough") << 200 << 0 << QList<int>{0, 250, 400, 650} << 2;
    QTest::newRow("tremor after a press") << 0 << 500 << QList<int>{0, 30, 100, 130, 600, 630} << 2;
    QTest::newRow("both") << 100 << 500 << QList<int>{0, 150, 200, 350, 700, 720, 800, 950} << 2;
    // The release time runs from the release of the press that counted, not from its count.
    QTest::newRow("pressed again inside the release time")
        << 300 << 500 << QList<int>{0, 310, 510, 910} << 1;
    // A press that starts inside the release time is ignored whole, however long it is held.
    QTest::newRow("held on past the release time") << 0 << 500 << QList<int>{0, 10, 400, 3000} << 1;
}

void SwitchesTest::timingFilters() {
    QFETCH(int, acceptance);
    QFETCH(int, release);
    QFETCH(QList<int>, presses);
    QFETCH(int, counted);
    SwitchTiming timing(acceptance, release);
    int n = 0;
    for (int i = 0; i + 1 < presses.size(); i += 2) {
        n += timing.down(presses[i]) ? 1 : 0;
        // The switch still down: the same press, whatever repeats it.
        n += timing.down(presses[i] + 1) ? 1 : 0;
        n += timing.heldUntil(presses[i + 1]) ? 1 : 0;
        timing.up(presses[i + 1]);
    }
    QCOMPARE(n, counted);
}

void SwitchesTest::rowsFromFreePlaces_data() {
    QTest::addColumn<QList<QRect>>("places"); // pictures 1, 2, …
    QTest::addColumn<QList<QList<int>>>("rows");
    QTest::newRow("one picture") << QList<QRect>{{5, 5, 10, 10}} << QList<QList<int>>{{1}};
    QTest::newRow("a grid out of order")
        << QList<QRect>{{100, 0, 50, 50}, {0, 100, 50, 50}, {0, 0, 50, 50}, {100, 100, 50, 50}}
        << QList<QList<int>>{{3, 1}, {2, 4}};
    QTest::newRow("slightly lower, same row")
        << QList<QRect>{{0, 0, 50, 50}, {60, 20, 50, 50}, {120, 15, 50, 50}}
        << QList<QList<int>>{{1, 2, 3}};
    QTest::newRow("centre below the band")
        << QList<QRect>{{0, 0, 50, 50}, {60, 40, 50, 50}} << QList<QList<int>>{{1}, {2}};
    QTest::newRow("overlapping, and far beyond the window")
        << QList<QRect>{{0, 0, 100, 100}, {20, 20, 30, 30}, {30000, 30000, 10, 10}}
        << QList<QList<int>>{{1, 2}, {3}};
}

void SwitchesTest::rowsFromFreePlaces() {
    QFETCH(QList<QRect>, places);
    QFETCH(QList<QList<int>>, rows);
    QList<PlacedPicture> pictures;
    for (int i = 0; i < places.size(); ++i)
        pictures << PlacedPicture{i + 1, places[i]};
    QCOMPARE(rowsOf(pictures), rows);
}

void SwitchesTest::paceFollowsRecordedPresses_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QList<int>>("events"); // reaction times in ms; -1 for a miss
    QTest::addColumn<int>("expected");
    // Ten reactions with a median of 600: the target is 1150, halfway from 2000 is 1575.
    QTest::newRow("slower than needed")
        << 2000 << QList<int>{500, 600, 700, 600, 600, 550, 650, 600, 600, 600} << 1575;
    QTest::newRow("nine are not enough") << 2000 << QList<int>(9, 600) << 2000;
    QTest::newRow("slow person, step grows") << 1000 << QList<int>(10, 2000) << 2125; // target 3250
    QTest::newRow("held to the lower bound") << 600 << QList<int>(10, 50) << 500;
    QTest::newRow("two misses in a row") << 1000 << QList<int>{-1, -1} << 1100;
    QTest::newRow("misses apart do nothing") << 1000 << QList<int>{-1, 700, -1} << 1000;
    QTest::newRow("held to the upper bound") << 4900 << QList<int>{-1, -1} << 5000;
}

void SwitchesTest::paceFollowsRecordedPresses() {
    QFETCH(int, step);
    QFETCH(QList<int>, events);
    QFETCH(int, expected);
    ScanPace pace(step, 500, 5000);
    for (int e : events)
        e < 0 ? pace.missed() : pace.selected(e);
    QCOMPARE(pace.stepMs(), expected);
}

void SwitchesTest::cuesAndKeyNames() {
    QCOMPARE(cueOf("J'ai faim\\vraiment"), QStringLiteral("J'ai faim\r\nvraiment"));
    QCOMPARE(cueOf("animaux\\page_ferme.dat"), QStringLiteral("ferme"));
    QCOMPARE(cueOf("clips\\film.avi"), QStringLiteral("film"));
    QCOMPARE(cueOf(" fin "), QString());
    QCOMPARE(SwitchInput::keyNamed("espace"), int(Qt::Key_Space));
    QCOMPARE(SwitchInput::keyNamed("Entrée"), int(Qt::Key_Return));
    QCOMPARE(SwitchInput::keyNamed("F2"), int(Qt::Key_F2));
    QCOMPARE(SwitchInput::keyNamed("Ctrl+A"), 0);
    QCOMPARE(SwitchInput::keyNamed(""), 0);

    // Each step says what it lands on; a phrase just chosen is not cut off by the next cue.
    Page p(kPatternAuto);
    p.state.settings.switches.cues = true;
    p.scanning.step();
    p.scanning.step();
    QCOMPARE(p.fakes.speech.said, QStringList({"deux", "un"}));
    p.scanning.select();
    p.fakes.speech.speaking = true;
    p.scanning.step();
    QCOMPARE(p.fakes.speech.said.size(), 2);
    p.fakes.speech.speaking = false;
    p.scanning.step();
    QCOMPARE(p.fakes.speech.said.last(), QStringLiteral("quatre"));
}

void SwitchesTest::stepScanningWithTwoKeys() {
    Page p(kPatternStep, "espace");
    p.window.scanTimer()->start();
    p.scanning.step(); // a tick: no timer runs in this pattern
    QVERIFY(!p.window.scanTimer()->isActive());
    QCOMPARE(p.state.currentImage, 0);
    for (int i = 0; i < 3; ++i)
        p.tap(Qt::Key_Return);
    QCOMPARE(p.state.currentImage, 3);
    p.tap(Qt::Key_Space);
    QCOMPARE(p.pressedIndices(), QList<int>({3}));
    // The button is a switch too, wherever the cursor is.
    p.tap(Qt::Key_Return);
    QTest::mouseClick(p.window.pictureAt(1), Qt::LeftButton);
    QCOMPARE(p.pressedIndices(), QList<int>({3, 4}));
}

void SwitchesTest::aHeldKeyCountsOnceAtItsAcceptanceTime() {
    Page p(kPatternAuto);
    p.state.settings.switches.acceptanceMs = 300;
    p.switches.settingsChanged();
    p.scanning.step();
    // Held: the presses the server repeats, with no release between them (as Qt gives them
    // when the server is asked not to send one), do not put the acceptance time off.
    p.key(Qt::Key_Space);
    for (int i = 0; i < 6 && p.pressed.isEmpty(); ++i) {
        QTest::qWait(100);
        p.key(Qt::Key_Space);
    }
    QCOMPARE(p.pressedIndices(), QList<int>({1}));
    p.key(Qt::Key_Space, QEvent::KeyRelease);
    QCOMPARE(p.pressed.size(), 1);
}

void SwitchesTest::rowColumnScanning() {
    Page p(kPatternRows);
    p.scanning.step();
    // The first row framed whole: pictures 2 and 1 (left to right: 1 then 2).
    const QRect frame = p.window.selectionFrame()->twipsGeometry();
    QCOMPARE(frame, QRect(150 - 10, 150 - 10, 2100 + 20, 600 + 20));
    p.scanning.step();
    p.tap(Qt::Key_Space); // enters the second row: pictures 3 and 4
    QCOMPARE(p.state.currentImage, 3);
    QVERIFY(p.pressed.isEmpty());
    p.scanning.step();
    QCOMPARE(p.state.currentImage, 4);
    p.tap(Qt::Key_Space);
    QCOMPARE(p.pressedIndices(), QList<int>({4}));
    // Back to the rows from the first; a row scanned through without a press returns to them.
    p.scanning.step();
    p.tap(Qt::Key_Space);
    p.scanning.step();
    p.scanning.step();
    QCOMPARE(p.state.scanInRow, -1);
    QCOMPARE(p.state.scanIndex, 1);
    QCOMPARE(p.pressed.size(), 1);
}

void SwitchesTest::pauseAfterRoundsAndKeysKeptFromTheMenus() {
    Page p(kPatternAuto);
    p.state.settings.switches.rounds = 1;
    p.window.scanTimer()->start();
    for (int i = 0; i < 4; ++i)
        p.scanning.step();
    QVERIFY(!p.scanning.isPaused());
    p.scanning.step(); // one whole round without a press
    QVERIFY(p.scanning.isPaused());
    QVERIFY(!p.window.scanTimer()->isActive());
    QVERIFY(!p.window.selectionFrame()->isVisible());
    // The next press, even the button over a picture, starts again from the first and
    // chooses nothing.
    QTest::mouseClick(p.window.pictureAt(3), Qt::LeftButton);
    QVERIFY(p.pressed.isEmpty());
    QVERIFY(p.window.scanTimer()->isActive());
    QCOMPARE(p.state.currentImage, 1);
    // A page shown (a link followed): what was framed is gone, and a press before the first
    // step chooses nothing on the new page.
    p.loadPageA("couleur_page=1\r\np.jpg,un,10,10,50,40\r\n");
    p.tap(Qt::Key_Space);
    QVERIFY(p.pressed.isEmpty());
    p.scanning.step();

    // The switch key reaches no menu accelerator and no arrow-key editing.
    QSignalSpy keys(&p.window, &MainWindow::keyPressed);
    p.state.settings.switches.selectKey = "Q";
    p.tap(Qt::Key_Q);
    QCOMPARE(keys.count(), 0);
    QCOMPARE(p.pressedIndices(), QList<int>({1}));
    // In mouse access the key is the carer's again.
    p.state.settings.accessMode = kAccessMouse;
    p.tap(Qt::Key_Q);
    QCOMPARE(keys.count(), 1);
}

QTEST_MAIN(SwitchesTest)
#include "tst_switches.moc"
