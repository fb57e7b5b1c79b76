// Scanning and switches: the frame's steps, what holds it, the timing filters, rows, the
// adaptive pace and cues, driven through key and button events.

#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "support/CaseTables.h"
#include "support/PageFixture.h"
#include "use/DwellPointing.h"
#include "use/DwellRule.h"
#include "use/ScanOrder.h"
#include "use/Scanning.h"
#include "use/SwitchInput.h"
#include "use/SwitchRules.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

const QByteArray kThreeInARow = "p.jpg,un,10,10,50,40\r\np.jpg,deux,100,10,50,40\r\n"
                                "p.jpg,trois,200,10,50,40\r\n";
// Two rows of two pictures, written out of order.
const QByteArray kTwoRows =
    "p.jpg,deux,100,10,50,40\r\np.jpg,un,10,10,50,40\r\n"
    "p.jpg,page_trois.dat,10,100,50,40\r\np.jpg,quatre.wav,100,110,50,40\r\n";

struct Page : test::PageFixture {
    Scanning scanning{state, window, fakes.services};
    SwitchInput switches{state, window, scanning};
    QSignalSpy pressed{&window, &MainWindow::picturePressed};

    // Without a pattern, mouse access; with one, scanning with Space to choose, Enter to step.
    explicit Page(const QByteArray &pictures = kThreeInARow, const QString &pattern = {}) {
        state.settings.frameThickness = 10;
        if (!pattern.isEmpty()) {
            state.settings.accessMode = kAccessScanning;
            state.settings.switches.pattern = pattern;
            state.settings.switches.selectKey = "espace";
            state.settings.switches.stepKey = "entrée";
        }
        window.resize(600, 400);
        window.show();
        loadPageA("couleur_page=1\r\n" + pictures);
        switches.settingsChanged();
        scanning.settingsChanged();
    }
    QRect frame() const { return window.selectionFrame()->twipsGeometry(); }
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

class ScanningTest : public QObject {
    Q_OBJECT
private slots:
    void dwellChoosesWhatThePointerRestsOn() {
        for (const QStringList &row : test::caseTable("dwell.tsv")) {
            const QStringList set = row[0].split(' ');
            DwellRule rule({set[0].toInt(), set[1].toInt(), set[2] == "oui"});
            const QStringList points = row[1].split(' ');
            QStringList chosen;
            for (int i = 0; i + 1 < points.size(); ++i) {
                const QStringList p = points[i].split(':'), xy = p[1].split(',');
                for (qint64 ms = p[0].toInt(); ms < points[i + 1].split(':')[0].toInt(); ms += 10)
                    if (const Target t =
                            rule.sample(ms, {xy[0].toInt(), xy[1].toInt()},
                                        p[2] == "-1" ? Target{} : Target::picture(p[2].toInt()));
                        t)
                        chosen << QStringLiteral("%1@%2").arg(t.number).arg(ms);
            }
            QVERIFY2(chosen.join(' ') == row[2], qPrintable(row[1] + " -> " + chosen.join(' ')));
        }
        // The ring shows the time gone by, and nothing once the rest has chosen.
        DwellRule rule({1000, 30, false});
        rule.sample(0, {5, 5}, Target::picture(1));
        QCOMPARE(rule.progress(250), 0.25);
        QVERIFY(rule.sample(1000, {5, 5}, Target::picture(1)) == Target::picture(1) &&
                rule.progress(1100) == 0);
    }

    void stepsVisitEveryPictureThenTheStripThenWrap() {
        Page p;
        QList<int> visited;
        for (int i = 0; i < 4; ++i) {
            p.scanning.step();
            visited << p.state.currentImage;
        }
        QCOMPARE(visited, QList<int>({1, 2, 3, 1}));
        // The frame stands FrameThickness twips out from the picture; the cursor goes to
        // each picture's centre on the screen.
        QCOMPARE(p.frame(), QRect(150 - 10, 150 - 10, 750 + 20, 600 + 20));
        QCOMPARE(p.fakes.cursor.moves.last(), p.window.surface()->mapToGlobal(QPoint(35, 30)));
        // With the message strip: its three controls after the pictures, marked in turn with
        // the cursor on each, then the pictures again in their order.
        p.state.settings.sentenceBar = true;
        p.window.applyLook();
        p.scanning.forgetFramed();
        SentenceBar *bar = p.window.sentenceBar();
        QList<int> marked;
        for (int i = 0; i < 7; ++i) {
            p.fakes.cursor.moves.clear();
            p.scanning.step();
            marked << bar->markedControl();
            QCOMPARE(p.window.selectionFrame()->isVisible(), bar->markedControl() < 0);
            if (bar->markedControl() >= 0) {
                const QPushButton *control = bar->control(bar->markedControl());
                QCOMPARE(p.fakes.cursor.moves,
                         QList<QPoint>({control->mapToGlobal(control->rect().center())}));
            }
        }
        QCOMPARE(marked, QList<int>({-1, -1, -1, 0, 1, 2, -1}));
        // A deleted picture still takes its step, the frame standing still.
        p.scanning.step();
        const QRect second = p.frame();
        p.window.removePicture(3);
        p.fakes.cursor.moves.clear();
        p.scanning.step();
        QCOMPARE(p.state.currentImage, 3);
        QCOMPARE(p.frame(), second);
        QVERIFY(p.fakes.cursor.moves.isEmpty());
    }

    void dwellWaitsForTheFirstMoveOnANewPage() {
        // A new page under a resting pointer chooses nothing until the pointer moves beyond
        // the tolerance; then a rest chooses.
        Page p("p.jpg,un,10,10,300,200\r\n");
        p.state.settings.accessMode = kAccessDwell;
        p.state.settings.dwell = {300, 30, false};
        QList<int> chosen;
        DwellPointing dwell(p.state, p.window, {}, [&](int index) { chosen << index; });
        dwell.settingsChanged();
        QWidget *picture = p.window.img(1);
        const QPoint centre = picture->mapToGlobal(picture->rect().center());
        // The pointer goes there, and the program sees it move at once.
        const auto pointAt = [&](QPoint global) {
            QCursor::setPos(global);
            QMouseEvent move(QEvent::MouseMove, picture->mapFromGlobal(global), global,
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &move);
        };
        QWidget *ring = p.window.findChild<QWidget *>("anneauPointage");
        pointAt(centre);
        QVERIFY(ring->isVisible());
        p.loader.loadPage();
        pointAt(centre + QPoint(5, 0));
        QVERIFY(!ring->isVisible());
        pointAt(centre + QPoint(60, 0));
        QVERIFY(ring->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(chosen, QList<int>({1}), 3000);
        // Told to the usage log: by dwell, from the rest to the choice.
        QCOMPARE(p.state.choosing.access, kAccessDwell);
        QVERIFY(p.state.choosing.delayMs >= 300);
    }

    void holdsWhileAMenuOrADialogIsOpen() {
        Page p;
        p.scanning.step();
        // The picture menu opened for picture 1, then a message box: the command must act on
        // picture 1, so no step moves the frame or the cursor meanwhile.
        QMenu menu;
        menu.addAction("Plus &Grand");
        menu.show();
        for (int i = 0; i < 5; ++i)
            p.scanning.step();
        QCOMPARE(p.state.currentImage, 1);
        QCOMPARE(p.fakes.cursor.moves.size(), 1);
        menu.hide();
        QTimer::singleShot(0, [&] {
            p.scanning.step();
            QCOMPARE(p.state.currentImage, 1);
            QApplication::activeModalWidget()->close();
        });
        QMessageBox::information(nullptr, "Tablavox", "Défilement stoppé");
        p.scanning.step();
        QCOMPARE(p.state.currentImage, 2);
    }

    void escapeStopsAndARightPressOffersToResume() {
        {
            Page p;
            p.window.scanTimer()->start();
            QTest::keyClick(&p.window, Qt::Key_Escape);
            QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Défilement stoppé"));
            QVERIFY(!p.window.scanTimer()->isActive());
            // A press alone, or the release of an Escape pressed elsewhere (the one that
            // closed the message box), does not stop it.
            p.window.scanTimer()->start();
            QTest::keyPress(&p.window, Qt::Key_Escape);
            QTest::keyRelease(&p.window, Qt::Key_A);
            QTest::keyPress(&p.window, Qt::Key_A);
            QTest::keyRelease(&p.window, Qt::Key_Escape);
            QVERIFY(p.window.scanTimer()->isActive());
        }
        Page p;
        QWidget *background = p.window.surface();
        p.state.settings.accessMode = kAccessScanning;
        p.window.scanTimer()->start();
        QTest::mousePress(background, Qt::RightButton, {}, {590, 390});
        QVERIFY(p.fakes.dialogs.messages.isEmpty()); // running: nothing to resume
        p.window.scanTimer()->stop();
        p.fakes.dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
        QTest::mousePress(background, Qt::RightButton, {}, {590, 390});
        QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Reprendre le défilement ?"));
        QVERIFY(!p.window.scanTimer()->isActive());
        QTest::mousePress(background, Qt::RightButton, {}, {590, 390});
        QVERIFY(p.window.scanTimer()->isActive());
    }

    void aPageLoadStartsTheTimer() {
        Page p;
        p.state.settings.accessMode = kAccessScanning;
        p.scanning.step();
        p.loader.loadPage();
        QVERIFY(p.window.scanTimer()->isActive());
        QCOMPARE(p.scanning.place(), 0);
        // The timer drives the steps on its own.
        QTRY_COMPARE_WITH_TIMEOUT(p.state.currentImage, 1, 3000);
    }

    void switchRules_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("row");
        for (const char *table : {"switch_timing.tsv", "scan_rows.tsv", "scan_pace.tsv"})
            for (const QStringList &row : test::caseTable(table))
                QTest::newRow(qPrintable(row.join(u' '))) << QString(table) << row;
    }

    void switchRules() {
        QFETCH(QString, table);
        QFETCH(QStringList, row);
        const auto ints = [](const QString &text) {
            QList<int> out;
            for (const QString &n : text.split(u' ', Qt::SkipEmptyParts))
                out << n.toInt();
            return out;
        };
        if (table == "switch_timing.tsv") {
            SwitchTiming timing(row[0].toInt(), row[1].toInt());
            const QList<int> at = ints(row[2]);
            int n = 0;
            for (int i = 0; i + 1 < at.size(); i += 2) {
                n += timing.down(at[i]) ? 1 : 0;
                // The switch still down: the same press, whatever repeats it.
                n += timing.down(at[i] + 1) ? 1 : 0;
                n += timing.heldUntil(at[i + 1]) ? 1 : 0;
                timing.up(at[i + 1]);
            }
            QCOMPARE(n, row[3].toInt());
        } else if (table == "scan_rows.tsv") {
            QList<PlacedPicture> pictures;
            for (const QString &place : row[0].split(u' ')) {
                const QList<int> r = ints(QString(place).replace(u',', u' '));
                pictures << PlacedPicture{int(pictures.size()) + 1, QRect(r[0], r[1], r[2], r[3])};
            }
            QList<QList<int>> rows;
            for (const QString &r : row[1].split(u'|'))
                rows << ints(r);
            QCOMPARE(rowsOf(pictures), rows);
        } else {
            ScanPace pace(row[0].toInt(), 500, 5000);
            for (int e : ints(row[1]))
                e < 0 ? pace.missed() : pace.selected(e);
            QCOMPARE(pace.stepMs(), row[2].toInt());
        }
    }

    void cuesAndKeyNames() {
        QCOMPARE(cueOf("animaux\\page_ferme.dat"), QStringLiteral("ferme"));
        QCOMPARE(cueOf(" fin "), QString());
        // Each step says what it lands on; a phrase just chosen is not cut off by the next cue.
        Page p(kTwoRows, kPatternAuto);
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

    void theChoicesOfTheStripComeAfterItsControls() {
        Page p(kThreeInARow, kPatternAuto);
        p.state.settings.sentenceBar = p.state.settings.prediction = true;
        p.state.settings.alreadySaid = p.state.settings.switches.cues = true;
        p.window.applyLook();
        SentenceBar *bar = p.window.sentenceBar();
        bar->setChoices(
            {{"veux", "veux", "Suggestion", {}, false}, {"vais", "vais", "Suggestion", {}, false}});
        QSignalSpy chosen(bar->choices(), &ChoiceRow::chosen);
        QString access;
        connect(bar->choices(), &ChoiceRow::chosen, this,
                [&] { access = p.state.choosing.access; });
        QList<int> marked;
        for (int i = 0; i < 8; ++i) {
            p.scanning.step();
            marked << bar->markedControl();
        }
        // The controls keep their places; the choices follow, each cued by what it says.
        QCOMPARE(marked, QList<int>({-1, -1, -1, 0, 1, 2, 3, 4}));
        QCOMPARE(p.fakes.speech.said.mid(3),
                 QStringList({"Dire", "Effacer", "Tout effacer", "Déjà dit", "veux"}));
        p.tap(Qt::Key_Space);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toInt(), 0);
        QCOMPARE(access, kAccessScanning);
        QVERIFY(p.state.choosing.access.isEmpty());
        // The keyboard's frame reaches the choices too.
        p.scanning.focusStep(false);
        QCOMPARE(bar->markedControl(), 5);
        // What the row offers changes under the frame: the next press chooses nothing unseen.
        bar->setChoices({{"bois", "bois", "Suggestion", {}, false}});
        QCOMPARE(bar->markedControl(), -1);
        p.tap(Qt::Key_Space);
        QCOMPARE(chosen.size(), 1);
        QVERIFY(p.pressed.isEmpty());
    }

    void stepByStepWithTwoKeys() {
        Page p(kTwoRows, kPatternStep);
        p.window.scanTimer()->start();
        p.scanning.step(); // a tick: no timer runs in this pattern
        QVERIFY(!p.window.scanTimer()->isActive());
        QCOMPARE(p.state.currentImage, 0);
        for (int i = 0; i < 3; ++i)
            p.tap(Qt::Key_Return);
        QCOMPARE(p.state.currentImage, 3);
        p.tap(Qt::Key_Space);
        QCOMPARE(p.pressedIndices(), QList<int>({3}));
        // Told to the usage log: by scanning, and how long the frame stood on the picture.
        QCOMPARE(p.state.choosing.access, kAccessScanning);
        QVERIFY(p.state.choosing.delayMs >= 0 && p.state.choosing.delayMs < 5000);
        // The button is a switch too, wherever the cursor is.
        p.tap(Qt::Key_Return);
        QTest::mouseClick(p.window.pictureAt(1), Qt::LeftButton);
        QCOMPARE(p.pressedIndices(), QList<int>({3, 4}));
    }

    void rowThenColumn() {
        Page p(kTwoRows, kPatternRows);
        p.scanning.step();
        // The first row framed whole: pictures 2 and 1 (left to right: 1 then 2).
        QCOMPARE(p.frame(), QRect(150 - 10, 150 - 10, 2100 + 20, 600 + 20));
        p.scanning.step();
        p.tap(Qt::Key_Space); // enters the second row: pictures 3 and 4
        QCOMPARE(p.state.currentImage, 3);
        QVERIFY(p.pressed.isEmpty());
        p.scanning.step();
        QCOMPARE(p.state.currentImage, 4);
        p.tap(Qt::Key_Space);
        QCOMPARE(p.pressedIndices(), QList<int>({4}));
        // Back to the rows from the first; a row scanned through without a press returns to
        // them.
        p.scanning.step();
        p.tap(Qt::Key_Space);
        p.scanning.step();
        p.scanning.step();
        QCOMPARE(p.scanning.placeInRow(), -1);
        QCOMPARE(p.scanning.place(), 1);
        QCOMPARE(p.pressed.size(), 1);
    }

    void pauseAfterRoundsAndKeysKeptFromTheMenus() {
        Page p(kTwoRows, kPatternAuto);
        p.state.settings.switches.rounds = 1;
        p.window.scanTimer()->start();
        for (int i = 0; i < 4; ++i)
            p.scanning.step();
        QVERIFY(!p.scanning.isPaused());
        p.scanning.step(); // one whole round without a press
        QVERIFY(p.scanning.isPaused());
        QVERIFY(!p.window.scanTimer()->isActive() && !p.window.selectionFrame()->isVisible());
        // The next press, even the button over a picture, starts again from the first and
        // chooses nothing.
        QTest::mouseClick(p.window.pictureAt(3), Qt::LeftButton);
        QVERIFY(p.pressed.isEmpty());
        QVERIFY(p.window.scanTimer()->isActive());
        QCOMPARE(p.state.currentImage, 1);
        // A page shown (a link followed): what was framed is gone, and a press before the
        // first step chooses nothing on the new page.
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
};

QTEST_MAIN(ScanningTest)
#include "tst_scanning.moc"
