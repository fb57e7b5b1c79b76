// Access aids in the real program: the message strip and the switches, with real clicks and
// real key presses, heard at the audio server.

#include "platform/EspeakSpeech.h"
#include "support/AudioMonitor.h"
#include "support/Fakes.h"
#include "support/X11Session.h"

#include <QImage>
#include <QRegularExpression>
#include <QtTest>

using namespace tv::test;

namespace {

struct Picture {
    QString file;
    QColor color;
    QString phrase;
};
const QList<Picture> kPictures = {{"jaune.png", Qt::yellow, "Je veux"},
                                  {"cyan.png", Qt::cyan, "boire"},
                                  {"magenta.png", Qt::magenta, "de l'eau."}};

// A program with the strip on, each phrase said as it is added, and the three pictures.
void layOut(const ProgramCopy &program, bool scanning) {
    writeBytes(program.file("Tablavox2.cfg"),
               QByteArray("fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=760\r\n"
                          "fenetre_hauteur=520\r\nacc\xE8s=") +
                   (scanning ? "d\xE9"
                               "filement"
                             : "souris") +
                   "\r\ntemporisation=900\r\nbandeau_phrase=oui\r\n");
    QByteArray page = "couleur_page=0\r\n";
    for (int i = 0; i < kPictures.size(); ++i) {
        QImage image(120, 120, QImage::Format_RGB32);
        image.fill(kPictures[i].color);
        image.save(program.file("multimedia/" + kPictures[i].file));
        page += QStringLiteral("%1,%2,%3,40,120,120\r\n")
                    .arg(kPictures[i].file, kPictures[i].phrase)
                    .arg(20 + i * 200)
                    .toLatin1();
    }
    // Low on the page: below what the window leaves of its height once the strip is on,
    // unless the window makes room for the strip.
    QImage low(120, 120, QImage::Format_RGB32);
    low.fill(Qt::green);
    low.save(program.file("multimedia/vert.png"));
    page += "vert.png,Tout en bas,20,330,120,120\r\n";
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")), page);
}

QPoint cursor(const X11Session &x) {
    const QRegularExpressionMatch m =
        QRegularExpression("X=(\\d+)\\nY=(\\d+)").match(x.xdotool({"getmouselocation", "--shell"}));
    return m.hasMatch() ? QPoint(m.captured(1).toInt(), m.captured(2).toInt()) : QPoint();
}

// The copies of a picture of that colour in the message strip, above the picture itself at
// `centre` (120 pixels square, 40 below the top of the page): runs of that colour along the
// strip's middle, once the strip shows at least one.
int copiesInStrip(const X11Session &x, QPoint centre, const QColor &color) {
    QTemporaryDir dir;
    int most = 0;
    QDeadlineTimer deadline(5000);
    do {
        x.screenshot(dir.filePath("s.png"));
        const QImage shot(dir.filePath("s.png"));
        for (int y = centre.y() - 200; y <= centre.y() - 180; y += 4) {
            int runs = 0;
            bool inside = false;
            for (int xx = 0; xx < shot.width(); ++xx) {
                const QColor c = shot.pixelColor(xx, y);
                const bool same = std::abs(c.red() - color.red()) < 30 &&
                                  std::abs(c.green() - color.green()) < 30 &&
                                  std::abs(c.blue() - color.blue()) < 30;
                runs += same && !inside ? 1 : 0;
                inside = same;
            }
            most = std::max(most, runs);
        }
    } while (most == 0 && !deadline.hasExpired());
    return most;
}

bool near(QPoint a, QPoint b) {
    return (a - b).manhattanLength() < 12;
}

// How long the voice takes to say the text. One voice for the whole run: the engine is
// made to be set up once in a process.
double expectedSpan(const QString &text) {
    static tv::EspeakSpeech voice;
    static const bool ready = voice.waitUntilReady();
    return ready ? AudioMonitor::loudSpan(voice.synthesize(text)) : -1;
}

} // namespace

class AccessEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void threePicturesThenDireSayTheMessageAsOne();
    void switchUserReachesDireAfterThePictures();
    void keySwitchesStepAndRowScanning_data();
    void keySwitchesStepAndRowScanning();
    void aHeldSwitchChoosesOnce_data();
    void aHeldSwitchChoosesOnce();

private:
    std::unique_ptr<X11Session> x_;
};

void AccessEndToEndTest::initTestCase() {
    x_ = std::make_unique<X11Session>();
    QVERIFY2(x_->isRunning(), "Xvfb and xdotool are needed (scripts/install-deps.sh)");
}

void AccessEndToEndTest::threePicturesThenDireSayTheMessageAsOne() {
    ProgramCopy program;
    layOut(program, false);
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    AudioMonitor monitor;
    QVERIFY(monitor.waitUntilListening());
    QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000); // the greeting, over
    // The whole page is in sight under the strip: the lowest picture whole, where the page
    // puts it.
    const QPoint top = x_->centreOf(Qt::yellow), low = x_->centreOf(Qt::green);
    QVERIFY(!top.isNull() && !low.isNull());
    QVERIFY2(std::abs(low.y() - top.y() - 290) <= 2, qPrintable(QString::number(low.y())));

    bool ok = false;
    for (const Picture &picture : kPictures) {
        const QPoint at = x_->centreOf(picture.color);
        QVERIFY(!at.isNull());
        x_->xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"},
                    &ok);
        QVERIFY(ok);
        // Each phrase is said as it is added, on its own.
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - expectedSpan(picture.phrase)) < 0.25,
                 qPrintable(QString("%1: heard %2 s, expected %3 s")
                                .arg(picture.phrase)
                                .arg(span)
                                .arg(expectedSpan(picture.phrase))));
    }
    // "Dire", the first of the three controls at the strip's right end.
    const QStringList place = x_->xdotool({"getwindowgeometry", "--shell", main}).split(u'\n');
    const auto value = [&place](const QString &key) {
        return place.filter(QRegularExpression("^" + key + "=")).value(0).section(u'=', 1).toInt();
    };
    const int x = value("X") + value("WIDTH") - 316, y = value("Y") + 90;
    x_->xdotool({"mousemove", QString::number(x), QString::number(y), "click", "1"}, &ok);
    QVERIFY(ok);
    const double message = AudioMonitor::loudSpan(monitor.hearOneUtterance());
    const double whole = expectedSpan("Je veux boire de l'eau.");
    QVERIFY2(std::abs(message - whole) < 0.3,
             qPrintable(QString("heard %1 s, the message lasts %2 s").arg(message).arg(whole)));
    tablavox.kill();
    tablavox.waitForFinished();
}

void AccessEndToEndTest::switchUserReachesDireAfterThePictures() {
    ProgramCopy program;
    layOut(program, true);
    QProcess tablavox;
    QVERIFY(!program.startOnItsStartPage(*x_, tablavox).isEmpty());
    AudioMonitor monitor;
    QVERIFY(monitor.waitUntilListening());
    QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000); // the greeting, over
    const QPoint yellow = x_->centreOf(Qt::yellow);
    const QPoint last = x_->centreOf(Qt::green);
    QVERIFY(!yellow.isNull() && !last.isNull());

    // The switch (a left button) on the first picture: its phrase goes into the strip.
    QDeadlineTimer deadline(20000);
    while (!near(cursor(*x_), yellow) && !deadline.hasExpired())
        QTest::qWait(30);
    bool ok = false;
    x_->xdotool({"click", "1"}, &ok);
    QVERIFY(ok);
    monitor.hearOneUtterance();

    // After the last picture the cursor leaves the pictures for the strip, above them:
    // that first stop is "Dire", and the switch there says the message.
    deadline.setRemainingTime(20000);
    while (!near(cursor(*x_), last) && !deadline.hasExpired())
        QTest::qWait(30);
    QVERIFY(!deadline.hasExpired());
    QPoint at;
    while (near(at = cursor(*x_), last) && !deadline.hasExpired())
        QTest::qWait(30);
    QVERIFY2(at.y() < yellow.y() - 60, "the step after the last picture is on the strip");
    monitor.take();
    x_->xdotool({"click", "1"}, &ok);
    QVERIFY(ok);
    const double heard = AudioMonitor::loudSpan(monitor.hearOneUtterance());
    QVERIFY2(std::abs(heard - expectedSpan("Je veux")) < 0.25,
             qPrintable(QString("heard %1 s").arg(heard)));
    tablavox.kill();
    tablavox.waitForFinished();
}

void AccessEndToEndTest::keySwitchesStepAndRowScanning_data() {
    QTest::addColumn<bool>("rows");
    QTest::newRow("two switches, step by step") << false;
    QTest::newRow("one switch, row then column") << true;
}

void AccessEndToEndTest::keySwitchesStepAndRowScanning() {
    QFETCH(bool, rows);
    ProgramCopy program;
    writeBytes(program.file("Tablavox2.cfg"),
               QByteArray("fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=600\r\n"
                          "fenetre_hauteur=500\r\nacc\xE8s=d\xE9"
                          "filement\r\ntemporisation=900\r\ncontacteur_touche=entr\xE9"
                          "e\r\ncontacteur_avance=espace\r\nd\xE9"
                          "filement_mode=") +
                   (rows ? "lignes" : "pas \xE0 pas") + "\r\n");
    // Two rows of two: the third picture opens one page, the fourth another.
    const QList<QPair<QColor, QString>> pictures = {{Qt::yellow, "Oui"},
                                                    {Qt::cyan, "Non"},
                                                    {Qt::magenta, "page_trois.dat"},
                                                    {Qt::green, "page_quatre.dat"}};
    QByteArray page = "couleur_page=0\r\n";
    for (int i = 0; i < pictures.size(); ++i) {
        QImage image(120, 120, QImage::Format_RGB32);
        image.fill(pictures[i].first);
        image.save(program.file(QStringLiteral("multimedia/%1.png").arg(i)));
        page += QStringLiteral("%1.png,%2,%3,%4,120,120\r\n")
                    .arg(i)
                    .arg(pictures[i].second)
                    .arg(20 + (i % 2) * 200)
                    .arg(20 + (i / 2) * 200)
                    .toLatin1();
    }
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")), page);
    // The third page, its pictures where the first page's were: its first opens a page of
    // its own, its third the fourth page.
    writeBytes(program.file("pages/page_trois.dat"),
               QByteArray(page).replace("Oui", "page_un.dat").replace("trois", "quatre"));
    writeBytes(program.file("pages/page_un.dat"), "couleur_page=255\r\n");
    writeBytes(program.file("pages/page_quatre.dat"), "couleur_page=255\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());

    if (!rows) {
        // Space moves the frame a step, Enter chooses: the third picture.
        QVERIFY(x_->keysTo(main, {"space", "space", "space", "Return"}));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_trois.dat$").isEmpty());
        // Nothing is framed on the new page: Enter frames its first picture, the next
        // Enter chooses it, never the third picture the frame stood on before.
        QVERIFY(x_->keysTo(main, {"Return", "Return"}));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_(un|quatre).dat$").isEmpty());
        QVERIFY(x_->waitForNoWindow("^Tablavox -::- page_quatre.dat$", 0));
    } else {
        // Enter when the second row is framed, then when its second picture is.
        const QPoint magenta = x_->centreOf(Qt::magenta), green = x_->centreOf(Qt::green);
        QVERIFY(!magenta.isNull() && !green.isNull());
        const QPoint secondRow = (magenta + green) / 2;
        for (const QPoint &at : {secondRow, green}) {
            QDeadlineTimer deadline(20000);
            while (!near(cursor(*x_), at) && !deadline.hasExpired())
                QTest::qWait(30);
            QVERIFY(!deadline.hasExpired());
            QVERIFY(x_->keysTo(main, {"Return"}));
        }
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_quatre.dat$").isEmpty());
    }
    tablavox.kill();
    tablavox.waitForFinished();
}

void AccessEndToEndTest::aHeldSwitchChoosesOnce_data() {
    QTest::addColumn<QByteArray>("timing"); // settings lines
    QTest::addColumn<QStringList>("hold");  // xdotool commands, the picture framed
    QTest::addColumn<int>("chosen");
    // The server repeats a held key as on every desktop; a button is held as long.
    QTest::newRow("key held 2.5 s")
        << QByteArray() << QStringList{"keydown", "space", "sleep", "2.5", "keyup", "space"} << 1;
    QTest::newRow("key held 2.5 s, acceptance and release times")
        << QByteArray("contacteur_acceptation=300\r\ncontacteur_relachement=500\r\n")
        << QStringList{"keydown", "space", "sleep", "2.5", "keyup", "space"} << 1;
    QTest::newRow("button held 2.5 s")
        << QByteArray() << QStringList{"mousedown", "1", "sleep", "2.5", "mouseup", "1"} << 1;
    // Counted at 300 ms, released, pressed again 200 ms later for 400 ms: inside the
    // release time, which runs from the release.
    QTest::newRow("pressed again inside the release time")
        << QByteArray("contacteur_acceptation=300\r\ncontacteur_relachement=500\r\n")
        << QStringList{"keydown", "space",   "sleep", "0.35",  "keyup", "space", "sleep",
                       "0.2",     "keydown", "space", "sleep", "0.4",   "keyup", "space"}
        << 1;
}

void AccessEndToEndTest::aHeldSwitchChoosesOnce() {
    QFETCH(QByteArray, timing);
    QFETCH(QStringList, hold);
    QFETCH(int, chosen);
    ProgramCopy program;
    layOut(program, true);
    // Step by step: Enter frames the first picture and nothing moves on while the switch is
    // held; each choice of it adds a copy of the yellow picture to the strip.
    QFile settings(program.file("Tablavox2.cfg"));
    QVERIFY(settings.open(QIODevice::Append));
    settings.write("bandeau_dire=non\r\ncontacteur_touche=espace\r\ncontacteur_avance=entr\xE9"
                   "e\r\nd\xE9"
                   "filement_mode=pas \xE0 pas\r\n" +
                   timing);
    settings.close();
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    const QPoint yellow = x_->centreOf(Qt::yellow);
    QVERIFY(!yellow.isNull());
    bool ok = false;
    x_->xdotool(
        {"windowfocus", "--sync", main, "keydown", "Return", "sleep", "0.4", "keyup", "Return"},
        &ok);
    QVERIFY(ok);
    QDeadlineTimer deadline(10000);
    while (!near(cursor(*x_), yellow) && !deadline.hasExpired())
        QTest::qWait(30);
    QVERIFY(!deadline.hasExpired());
    x_->xdotool(hold, &ok);
    QVERIFY(ok);
    QCOMPARE(copiesInStrip(*x_, yellow, Qt::yellow), chosen);
    tablavox.kill();
    tablavox.waitForFinished();
}

QTEST_MAIN(AccessEndToEndTest)
#include "tst_e2e_access.moc"
