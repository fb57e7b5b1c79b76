// The real program in a real X window, driven by real key presses.

#include "platform/EspeakSpeech.h"
#include "support/AudioMonitor.h"
#include "support/Fakes.h"
#include "support/SmallDisk.h"
#include "support/X11Session.h"

#include <QImage>
#include <QtTest>

using namespace tv::test;

namespace {

const QString kData = QStringLiteral(TABLAVOX_TEST_DATA);

// The menu bar's entries, from the window's left edge. "Programme" and "Pages" share their
// access key, so menus are opened with the mouse.
constexpr int kProgrammeMenu = 44;
constexpr int kPagesMenu = 111;
constexpr int kImagesMenu = 166;

// A visible window with this title that is not `notThis` (a closed box of the same title).
QString otherWindow(const X11Session &x, const QString &title, const QString &notThis) {
    QDeadlineTimer deadline(20000);
    do {
        const QStringList ids =
            x.xdotool({"search", "--onlyvisible", "--name", title}).split(u'\n');
        for (const QString &id : ids) {
            if (!id.isEmpty() && id != notThis)
                return id;
        }
        QTest::qWait(50);
    } while (!deadline.hasExpired());
    return {};
}

QString geometry(const X11Session &x, const QString &window) {
    QString shell = x.xdotool({"getwindowgeometry", "--shell", window});
    shell.remove(QRegularExpression("WINDOW=\\d+\\n|\\s*SCREEN=\\d+\\s*"));
    return shell.replace(u'\n', u' ');
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void firstStartThenQuitFromTheMenu();
    void secondCopyIsRefusedAndACrashLeavesNoLock();
    void clicksSayAPhraseCutItOffAndOpenALinkedPage();
    void switchUserScansAndActivatesTheFramedPicture();
    void carerMovesAPictureWithTheMouse();
    void carerBuildsANewPage();
    void scanningChosenInThePropertiesStartsAtOnce();
    void menuCommandActsOnItsPictureWhileScanningRuns();
    void quitOnAFullDiskOrThroughALinkLosesNothing_data();
    void quitOnAFullDiskOrThroughALinkLosesNothing();
    void videosInARowEachPlayInTheirWindow();

private:
    std::unique_ptr<X11Session> x_;
};

void EndToEndTest::initTestCase() {
    x_ = std::make_unique<X11Session>();
    QVERIFY2(x_->isRunning(), "Xvfb and xdotool are needed (scripts/install-deps.sh)");
}

// The default settings and a red picture p.jpg of 100 × 100 pixels.
bool layDefaults(const ProgramCopy &program) {
    writeBytes(program.file("Tablavox2.cfg"), fileBytes(kData + "/settings/default.cfg"));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image.save(program.file("multimedia/p.jpg"));
}

// Pixels of a screenshot close to a colour.
int pixelsLike(const QImage &shot, QColor color) {
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) < 40 && std::abs(c.green() - color.green()) < 40 &&
                std::abs(c.blue() - color.blue()) < 40)
                ++count;
        }
    }
    return count;
}

void EndToEndTest::firstStartThenQuitFromTheMenu() {
    ProgramCopy program;
    QImage red(300, 300, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(program.file("multimedia/rouge.jpg")));
    QImage blue(80, 80, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QVERIFY(blue.save(program.file("multimedia/Bleu.JPG")));
    const QString startPage = program.file(QStringLiteral("pages/page_départ.dat"));
    writeBytes(startPage, "COULEUR_PAGE=65280\r\nrouge.jpg,Bonjour, maman,20,20,100,100\r\n\r\n"
                          "bleu.jpg,Je veux boire,140,20,101,100\r\n");
    AudioMonitor monitor;
    QVERIFY(monitor.waitUntilListening());
    QProcess tablavox;
    program.start(*x_, tablavox);
    QVERIFY(tablavox.waitForStarted());

    // The launch window; the very first start of a freshly built sanitizer program reads it
    // all from the disk.
    QVERIFY(!x_->waitForWindow("^Tablavox 2$", 60000).isEmpty());
    const QString box = x_->waitForWindow("^Tablavox$");
    QVERIFY(!box.isEmpty());
    QVERIFY(!QFile::exists(program.file("Tablavox2.cfg")));
    QVERIFY(x_->keysTo(box, {"Return"}));

    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("Tablavox2.cfg")),
                              fileBytes(kData + "/settings/default.cfg"), 10000);
    const QString main = otherWindow(*x_, "^Tablavox -::- page_départ.dat$", box);
    QVERIFY(!main.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(geometry(*x_, main), QStringLiteral("X=0 Y=0 WIDTH=800 HEIGHT=600"),
                              5000);
    // The start page is shown: its two pictures on its green background.
    QTemporaryDir shots;
    const QString shot = shots.filePath("page.png");
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            x_->screenshot(shot);
            const QImage image(shot);
            return pixelsLike(image, Qt::red) > 9000 && pixelsLike(image, Qt::blue) > 9000 &&
                   pixelsLike(image, Qt::green) > 300000;
        }(),
        10000);

    // The greeting was heard.
    QByteArray heard;
    QTRY_VERIFY_WITH_TIMEOUT(AudioMonitor::loudest(heard += monitor.take()) > 1000, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(AudioMonitor::loudest(monitor.take()) < 100, 10000);

    QVERIFY(x_->menuEntry(main, kProgrammeMenu, "q"));
    // The farewell is heard during the wait before the program ends.
    QByteArray farewell;
    QTRY_VERIFY_WITH_TIMEOUT(AudioMonitor::loudest(farewell += monitor.take()) > 1000, 10000);
    QVERIFY(tablavox.waitForFinished(15000));
    QCOMPARE(tablavox.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tablavox.exitCode(), 0);
    QCOMPARE(fileBytes(program.file("Tablavox2.cfg")),
             fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/settings/written_default.cfg")));
    // Rewritten as the program writes pages: colour line, gap closed, the comma kept.
    QCOMPARE(fileBytes(startPage),
             QByteArray("couleur_page=65280\r\nrouge.jpg,Bonjour, maman,20,20,100,100\r\n"
                        "bleu.jpg,Je veux boire,140,20,101,100\r\n"));
}

void EndToEndTest::secondCopyIsRefusedAndACrashLeavesNoLock() {
    ProgramCopy program;
    const QByteArray config = fileBytes(kData + "/settings/scanning.cfg");
    writeBytes(program.file("Tablavox2.cfg"), config);
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")), "couleur_page=255\r\n");
    QProcess first;
    program.start(*x_, first);
    QVERIFY(first.waitForStarted());
    const QString main = x_->waitForWindow("^Tablavox -::- page_départ.dat$");
    QVERIFY(!main.isEmpty());

    QProcess second;
    program.start(*x_, second);
    QVERIFY(second.waitForStarted());
    const QString refusal = x_->waitForWindow("^Imagivox$");
    QVERIFY(!refusal.isEmpty());
    QVERIFY(x_->keysTo(refusal, {"Return"}));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(fileBytes(program.file("Tablavox2.cfg")), config);

    first.kill(); // a crash
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(x_->waitForNoWindow("^Tablavox"));
    QProcess again;
    program.start(*x_, again);
    QVERIFY(again.waitForStarted());
    const QString restarted = x_->waitForWindow("^Tablavox -::- page_départ.dat$");
    QVERIFY(!restarted.isEmpty());
    // The size kept is the page's; the window is taller by the message strip's 132 pixels.
    QCOMPARE(geometry(*x_, restarted), QStringLiteral("X=12 Y=34 WIDTH=1024 HEIGHT=832"));
    again.kill();
    again.waitForFinished();
}

void EndToEndTest::clicksSayAPhraseCutItOffAndOpenALinkedPage() {
    ProgramCopy program;
    QVERIFY(layDefaults(program));
    const QByteArray slow = "<rate speed=\"-5\">Il était une fois une petite fille qui aimait "
                            "se promener dans la forêt avec son chien</rate>";
    const QByteArray next = "Je veux boire de l'eau.";
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")),
               QString::fromUtf8("couleur_page=0\r\np.jpg," + next + ",0,0,100,100\r\n" +
                                 "p.jpg,page_suite.dat,200,0,100,100\r\np.jpg," + slow +
                                 ",400,0,100,100\r\n")
                   .toLatin1());
    writeBytes(program.file("pages/page_suite.dat"), "couleur_page=255\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());

    AudioMonitor monitor;
    QVERIFY(monitor.waitUntilListening());
    // Past the greeting: only the phrases can be heard now.
    QTRY_VERIFY_WITH_TIMEOUT(AudioMonitor::loudest(monitor.take()) < 100, 10000);
    // Below the menu bar, inside the pictures.
    const QString y = QStringLiteral("40");
    bool ok = false;
    auto click = [&](int x) {
        x_->xdotool({"mousemove", "--window", main, QString::number(x), y, "click", "1"}, &ok);
        return ok;
    };
    // The slow phrase is cut off inside its markup by the next press.
    QVERIFY(click(450));
    QByteArray heard;
    QTRY_VERIFY_WITH_TIMEOUT(AudioMonitor::loudest(heard += monitor.take()) > 1000, 10000);
    QVERIFY(click(50));
    heard = monitor.take();
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            heard += monitor.take();
            return heard.size() > 22050 * 2 * 4; // four seconds, well past its end
        }(),
        10000);
    // The next phrase alone, at the voice's own pace: the old one stopped, its rate with it.
    tv::EspeakSpeech voice;
    QVERIFY(voice.waitUntilReady());
    const double expected = AudioMonitor::loudSpan(voice.synthesize(QString::fromUtf8(next)));
    const double span = AudioMonitor::loudSpan(heard);
    QVERIFY2(std::abs(span - expected) < 0.2,
             qPrintable(QString("heard %1 s, the phrase lasts %2 s").arg(span).arg(expected)));

    QVERIFY(click(250));
    QVERIFY(!x_->waitForWindow("^Tablavox -::- page_suite.dat$").isEmpty());
    tablavox.kill();
    tablavox.waitForFinished();
}

// Which of the page's three pictures lies under the real mouse cursor: 1 to 3, 0 for none.
int pictureUnderCursor(const X11Session &x, const QString &shotPath) {
    const QString where = x.xdotool({"getmouselocation", "--shell"});
    const QRegularExpressionMatch m = QRegularExpression("X=(\\d+)\\nY=(\\d+)").match(where);
    if (!m.hasMatch())
        return 0;
    x.screenshot(shotPath);
    const QColor c = QImage(shotPath).pixelColor(m.captured(1).toInt(), m.captured(2).toInt());
    const QList<QColor> pictures = {Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 0; i < pictures.size(); ++i) {
        const QColor &p = pictures[i];
        if (std::abs(c.red() - p.red()) < 40 && std::abs(c.green() - p.green()) < 40 &&
            std::abs(c.blue() - p.blue()) < 40)
            return i + 1;
    }
    return 0;
}

void EndToEndTest::switchUserScansAndActivatesTheFramedPicture() {
    ProgramCopy program;
    writeBytes(program.file("Tablavox2.cfg"),
               "fenetre_gauche=30\r\nfenetre_haut=40\r\nfenetre_largeur=700\r\n"
               "fenetre_hauteur=500\r\nacc\xE8s=d\xE9"
               "filement\r\ntemporisation=900\r\n");
    const QList<QPair<QString, QColor>> pictures = {
        {"jaune.jpg", Qt::yellow}, {"cyan.jpg", Qt::cyan}, {"magenta.jpg", Qt::magenta}};
    for (const auto &[file, color] : pictures) {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(color);
        QVERIFY(image.save(program.file("multimedia/" + file)));
    }
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")),
               "couleur_page=0\r\njaune.jpg,Oui,20,20,120,120\r\n"
               "cyan.jpg,page_suite.dat,220,60,120,120\r\nmagenta.jpg,Non,60,250,120,120\r\n");
    writeBytes(program.file("pages/page_suite.dat"), "couleur_page=255\r\n");
    QProcess tablavox;
    program.start(*x_, tablavox);
    QVERIFY(tablavox.waitForStarted());
    QVERIFY(!x_->waitForWindow("^Tablavox -::- page_départ.dat$").isEmpty());

    // The cursor lands inside each framed picture in turn, then starts again.
    QTemporaryDir shots;
    const QString shot = shots.filePath("scan.png");
    QList<int> visited;
    QDeadlineTimer deadline(30000);
    while (visited.size() < 4 && !deadline.hasExpired()) {
        const int now = pictureUnderCursor(*x_, shot);
        if (now != 0 && (visited.isEmpty() || visited.last() != now))
            visited << now;
        QTest::qWait(100);
    }
    QCOMPARE(visited, QList<int>({1, 2, 3, 1}));

    // The switch, a left button, acts on the picture framed at that moment.
    deadline.setRemainingTime(10000);
    while (pictureUnderCursor(*x_, shot) != 2 && !deadline.hasExpired())
        QTest::qWait(50);
    bool ok = false;
    x_->xdotool({"click", "1"}, &ok);
    QVERIFY(ok);
    QVERIFY(!x_->waitForWindow("^Tablavox -::- page_suite.dat$").isEmpty());
    tablavox.kill();
    tablavox.waitForFinished();
}

void EndToEndTest::carerMovesAPictureWithTheMouse() {
    ProgramCopy program;
    QVERIFY(layDefaults(program));
    const QString page = program.file(QStringLiteral("pages/page_départ.dat"));
    writeBytes(page, "couleur_page=0\r\np.jpg,Oui,20,20,100,100\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());

    // A real right click opens the picture menu; "Déplacer" is its second entry.
    bool ok = false;
    const QStringList before = x_->visibleWindows();
    x_->xdotool({"mousemove", "--window", main, "70", "90", "click", "3"}, &ok);
    QVERIFY(ok);
    QVERIFY(!x_->waitForNewWindow(before).isEmpty());
    QTest::qWait(150);
    x_->xdotool({"key", "Down", "Down", "Return"}, &ok);
    QVERIFY(ok);
    QTRY_COMPARE_WITH_TIMEOUT(x_->visibleWindows(), before, 10000);
    // Grabbed 50 pixels right of and 50 below the picture's corner, let go 200 and 100
    // pixels further on.
    x_->xdotool({"mousedown", "1"}, &ok);
    for (int step = 1; step <= 10; ++step) {
        x_->xdotool({"mousemove", "--window", main, QString::number(70 + step * 20),
                     QString::number(90 + step * 10)});
        QTest::qWait(30);
    }
    x_->xdotool({"mouseup", "1"}, &ok);
    QVERIFY(ok);
    QVERIFY(x_->menuEntry(main, kProgrammeMenu, "q"));
    QVERIFY(tablavox.waitForFinished(15000));
    QCOMPARE(fileBytes(page), QByteArray("couleur_page=0\r\np.jpg,Oui,220,120,100,100\r\n"));
}

void EndToEndTest::carerBuildsANewPage() {
    ProgramCopy program;
    writeBytes(program.file("Tablavox2.cfg"), fileBytes(kData + "/settings/default.cfg"));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QVERIFY(image.save(program.file("multimedia/soleil.jpg")));
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")), "couleur_page=255\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    bool ok = false;
    const auto keys = [&](const QStringList &k) {
        x_->xdotool(QStringList{"key", "--delay", "80"} + k, &ok);
        QVERIFY(ok);
    };
    const auto clickIn = [&](const QString &window, int x, int y, const QString &button = "1") {
        x_->xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y),
                     "click", button},
                    &ok);
        QVERIFY(ok);
    };

    const auto pagesMenu = [&](const QString &entry) {
        QVERIFY(x_->menuEntry(main, kPagesMenu, entry));
    };
    pagesMenu("n");
    const QString box = x_->waitForWindow("^Tablavox$");
    QVERIFY(!box.isEmpty());
    QVERIFY(x_->typeTo(box, "maison"));
    QVERIFY(x_->keysTo(box, {"Return"}));
    QString files = x_->waitForWindow("^Choisir un fichier$");
    QVERIFY(!files.isEmpty());
    QVERIFY(x_->keysTo(files, {"Return"})); // the name proposed, in the pages directory
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("pages/page_maison.dat")), QByteArray("\r\n"),
                              10000);

    QVERIFY(x_->waitForNoWindow("^Choisir un fichier$"));
    pagesMenu("c");
    files = x_->waitForWindow("^Choisir un fichier$");
    QVERIFY(!files.isEmpty());
    QVERIFY(x_->typeTo(files, "page_maison.dat"));
    QVERIFY(x_->keysTo(files, {"Return"}));
    QVERIFY(!x_->waitForWindow("^Tablavox -::- page_maison.dat$").isEmpty());

    QVERIFY(x_->menuEntry(main, kImagesMenu, "n"));
    // The new picture lies in the top-left corner, below the menu bar; its menu's first
    // entry is "Propriétés".
    const QStringList before = x_->visibleWindows();
    clickIn(main, 40, 60, "3");
    QVERIFY(!x_->waitForNewWindow(before).isEmpty());
    QTest::qWait(150);
    keys({"Down", "Return"});
    const QString dialog = x_->waitForWindow("^Propriétés$");
    QVERIFY(!dialog.isEmpty());
    clickIn(dialog, 59, 73); // "Image"
    files = x_->waitForWindow("^Choisir un fichier$");
    QVERIFY(!files.isEmpty());
    QVERIFY(x_->typeTo(files, "soleil.jpg"));
    QVERIFY(x_->keysTo(files, {"Return"}));
    QVERIFY(x_->waitForNoWindow("^Choisir un fichier$"));
    clickIn(dialog, 300, 400); // the phrase box
    QVERIFY(x_->typeTo(dialog, "Bonjour, maman"));
    QVERIFY(x_->keysTo(dialog, {"alt+e"}));
    QVERIFY(x_->waitForNoWindow("^Propriétés$"));

    pagesMenu("s");
    const QByteArray expected("couleur_page=255\r\nsoleil.jpg,Bonjour, maman,0,0,81,81\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("pages/page_maison.dat")), expected, 10000);

    // Read again, the page shows its picture, and quitting writes the same bytes.
    pagesMenu("c");
    files = x_->waitForWindow("^Choisir un fichier$");
    QVERIFY(!files.isEmpty());
    QVERIFY(x_->typeTo(files, "page_maison.dat"));
    QVERIFY(x_->keysTo(files, {"Return"}));
    QVERIFY(x_->waitForNoWindow("^Choisir un fichier$"));
    QTemporaryDir shots;
    const QString shot = shots.filePath("maison.png");
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            x_->screenshot(shot);
            return pixelsLike(QImage(shot), Qt::yellow) > 5000;
        }(),
        10000);
    QVERIFY(x_->menuEntry(main, kProgrammeMenu, "q"));
    QVERIFY(tablavox.waitForFinished(15000));
    QCOMPARE(fileBytes(program.file("pages/page_maison.dat")), expected);
}

void EndToEndTest::scanningChosenInThePropertiesStartsAtOnce() {
    ProgramCopy program;
    writeBytes(program.file("Tablavox2.cfg"),
               "fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=700\r\n"
               "fenetre_hauteur=500\r\ntemporisation=800\r\n");
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    QVERIFY(image.save(program.file("multimedia/cyan.jpg")));
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")),
               "couleur_page=0\r\ncyan.jpg,Oui,300,200,120,120\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    bool ok = false;
    x_->xdotool({"mousemove", "--window", main, "650", "450"}, &ok);
    QTemporaryDir shots;
    const QString shot = shots.filePath("props.png");
    // In mouse access nothing moves the cursor: it stays off the picture for a while.
    QTest::qWait(1500);
    QCOMPARE(pictureUnderCursor(*x_, shot), 0);

    QVERIFY(x_->menuEntry(main, kProgrammeMenu, "p"));
    const QString dialog = x_->waitForWindow("^Programme Propriétés$");
    QVERIFY(!dialog.isEmpty());
    x_->xdotool({"mousemove", "--window", dialog, "240", "116", "click", "1"}, &ok); // Défilement
    QVERIFY(ok);
    QVERIFY(x_->keysTo(dialog, {"alt+s"}));
    QVERIFY(x_->waitForNoWindow("^Programme Propriétés$"));
    QTRY_VERIFY_WITH_TIMEOUT(fileBytes(program.file("Tablavox2.cfg"))
                                 .contains("acc\xE8s=d\xE9"
                                           "filement\r\n"),
                             5000);
    // The frame steps, and the cursor with it.
    QTRY_VERIFY_WITH_TIMEOUT(pictureUnderCursor(*x_, shot) == 2, 5000);
    tablavox.kill();
    tablavox.waitForFinished();
}

void EndToEndTest::menuCommandActsOnItsPictureWhileScanningRuns() {
    ProgramCopy program;
    QVERIFY(layDefaults(program));
    QByteArray settings = fileBytes(program.file("Tablavox2.cfg"));
    settings.replace("acc\xE8s=souris", "acc\xE8s=d\xE9"
                                        "filement");
    settings.replace("temporisation=2000", "temporisation=500");
    writeBytes(program.file("Tablavox2.cfg"), settings);
    const QString page = program.file(QStringLiteral("pages/page_départ.dat"));
    writeBytes(page, "couleur_page=0\r\np.jpg,un,20,20,100,100\r\np.jpg,deux,140,20,100,100\r\n"
                     "p.jpg,trois,260,20,100,100\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    // A right press on picture three opens its menu; the frame would step on for a while
    // before "Plus &Grand" is chosen.
    bool ok = false;
    x_->xdotool({"windowfocus", "--sync", main}, &ok); // the keys go to the program
    const QStringList before = x_->visibleWindows();
    x_->xdotool({"mousemove", "--window", main, "310", "90", "click", "3"}, &ok);
    QVERIFY(ok);
    QVERIFY(!x_->waitForNewWindow(before).isEmpty());
    QTest::qWait(2000); // four steps of the scanning, were it not holding
    // "&Déplacer" and "&Dimensions" share their key: a second press goes on to the second.
    x_->xdotool({"key", "--delay", "200", "d", "d", "Right", "g"}, &ok);
    QVERIFY(ok);
    QTRY_COMPARE_WITH_TIMEOUT(x_->visibleWindows(), before, 10000);
    QVERIFY(x_->menuEntry(main, kProgrammeMenu, "q"));
    QVERIFY(tablavox.waitForFinished(15000));
    const QList<QByteArray> lines = fileBytes(page).split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[1].startsWith("p.jpg,un,20,20,100,100"));
    QVERIFY(lines[2].startsWith("p.jpg,deux,140,20,100,100"));
    QVERIFY2(!lines[3].startsWith("p.jpg,trois,260,20,100,100"), lines[3].constData());
}

void EndToEndTest::quitOnAFullDiskOrThroughALinkLosesNothing_data() {
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("full disk") << true;
    QTest::newRow("start page linked out of pages") << false;
}

void EndToEndTest::quitOnAFullDiskOrThroughALinkLosesNothing() {
    QFETCH(bool, fullDisk);
    // The program directory on a small file system of its own, that can really be filled:
    // room for the program (far larger when built with the sanitizers) and a little more.
    const qint64 programBytes = QFileInfo(QStringLiteral(TABLAVOX_BIN_DIR "/tablavox")).size();
    SmallDisk disk(QString::number((programBytes >> 20) + 24) + QLatin1String("m"));
    if (!disk.mounted())
        QSKIP("mounting a small file system needs root");
    ProgramCopy program(true, disk.path());
    QVERIFY(layDefaults(program));
    const QString settings = program.file("Tablavox2.cfg");
    // Its one picture quits, as a person's "fin" does.
    const QByteArray pageBytes = "couleur_page=0\r\np.jpg,fin,20,20,100,100\r\n";
    QTemporaryDir elsewhere;
    const QString page = fullDisk ? program.file(QStringLiteral("pages/page_départ.dat"))
                                  : elsewhere.filePath("page_ailleurs.dat");
    writeBytes(page, pageBytes);
    if (!fullDisk)
        QVERIFY(QFile::link(page, program.file(QStringLiteral("pages/page_départ.dat"))));

    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    if (fullDisk)
        QVERIFY(disk.fill());
    const QByteArray settingsBefore = fileBytes(settings);
    // Once the picture is on the screen, a press on it.
    QTemporaryDir shots;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            x_->screenshot(shots.filePath("s.png"));
            return pixelsLike(QImage(shots.filePath("s.png")), Qt::red) > 5000;
        }(),
        10000);
    bool ok = false;
    x_->xdotool({"mousemove", "--window", main, "70", "90", "click", "1"}, &ok);
    QVERIFY(ok);
    // Each refused write is said, and the program then ends as it should.
    int said = 0;
    while (tablavox.state() == QProcess::Running && said < 3) {
        const QString box = otherWindow(*x_, "^Tablavox$", QString());
        if (box.isEmpty())
            break;
        QVERIFY(x_->keysTo(box, {"Return"}));
        ++said;
        x_->waitForNoWindow("^Tablavox$", 5000);
    }
    QVERIFY(tablavox.state() == QProcess::NotRunning || tablavox.waitForFinished(15000));
    QCOMPARE(tablavox.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tablavox.exitCode(), 0);
    QCOMPARE(said, fullDisk ? 2 : 1); // the page and the settings, or the page alone
    QCOMPARE(fileBytes(page), pageBytes);
    if (fullDisk)
        QCOMPARE(fileBytes(settings), settingsBefore);
    QCOMPARE(QDir(program.file("pages")).entryList(QDir::Files | QDir::System),
             QStringList({QStringLiteral("page_départ.dat")}));
}

void EndToEndTest::videosInARowEachPlayInTheirWindow() {
    ProgramCopy program;
    // The page to the right of where the player's window opens, so the pictures stay in
    // sight; one picture per kind of film, each a second of a test card and a tone.
    writeBytes(program.file("Tablavox2.cfg"), "fenetre_gauche=700\r\nfenetre_haut=0\r\n"
                                              "fenetre_largeur=560\r\nfenetre_hauteur=500\r\n"
                                              "acc\xE8s=souris\r\n");
    const QStringList films = {"t.mpg", "t.mpeg", "t.avi", "t.flv", "t.wmv"};
    const QList<QStringList> codecs = {{"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"},
                                       {"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"},
                                       {"-c:v", "mpeg4", "-c:a", "libmp3lame"},
                                       {"-c:v", "flv1", "-c:a", "libmp3lame", "-ar", "22050"},
                                       {"-c:v", "wmv2", "-c:a", "wmav2"}};
    const QList<QColor> colors = {Qt::yellow, Qt::cyan, Qt::magenta, Qt::green, Qt::blue};
    QByteArray page = "couleur_page=0\r\n";
    for (int i = 0; i < films.size(); ++i) {
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y", "-f",
                                           "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1",
                                           "-f", "lavfi", "-i", "sine=frequency=440:duration=1",
                                           "-shortest", "-pix_fmt", "yuv420p"} +
                                   codecs[i] + QStringList{program.file("multimedia/" + films[i])});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(colors[i]);
        image.save(program.file(QStringLiteral("multimedia/%1.png").arg(i)));
        page += QStringLiteral("%1.png,%2,%3,%4,100,100\r\n")
                    .arg(i)
                    .arg(films[i])
                    .arg(10 + (i % 3) * 150)
                    .arg(10 + (i / 3) * 150)
                    .toLatin1();
    }
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")), page);
    QProcess tablavox;
    QVERIFY(!program.startOnItsStartPage(*x_, tablavox).isEmpty());
    AudioMonitor monitor;
    QVERIFY(monitor.waitUntilListening());
    QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000); // the greeting, over
    QList<QPoint> at;
    for (const QColor &color : colors) {
        at << x_->centreOf(color);
        QVERIFY(!at.last().isNull());
    }
    // Ten presses, each once the film before has ended: each opens its window and is heard.
    for (int n = 0; n < 10; ++n) {
        const int i = (n * 3) % films.size(); // every kind, in changing neighbours
        bool ok = false;
        monitor.take();
        x_->xdotool(
            {"mousemove", QString::number(at[i].x()), QString::number(at[i].y()), "click", "1"},
            &ok);
        QVERIFY(ok);
        const QString title = "^Multimedia = " + QRegularExpression::escape(films[i]) + "$";
        QVERIFY2(!x_->waitForWindow(title, 8000).isEmpty(), qPrintable(films[i]));
        QByteArray heard;
        QDeadlineTimer deadline(8000);
        while (AudioMonitor::loudest(heard += monitor.take()) < 300 && !deadline.hasExpired())
            QTest::qWait(50);
        QVERIFY2(!deadline.hasExpired(),
                 qPrintable(QString("press %1, %2: nothing heard").arg(n + 1).arg(films[i])));
        QVERIFY2(x_->waitForNoWindow(title, 10000), qPrintable(films[i]));
    }
    tablavox.kill();
    tablavox.waitForFinished();
}

QTEST_GUILESS_MAIN(EndToEndTest)
#include "tst_e2e.moc"
