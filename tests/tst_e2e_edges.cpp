// The edges a new user meets, in the real program with real input: a damaged start page, a
// window kept from a bigger screen, two sentences on one picture, "Annuler" before a link,
// quitting while a board set comes in, and a desktop whose sound comes up after the program.

#include "LargeBoardSet.h"
#include "platform/Cp1252.h"
#include "support/AudioMonitor.h"
#include "support/BoardBuilders.h"
#include "support/Files.h"
#include "support/X11Session.h"

#include <QtTest>

using namespace tv::test;

namespace {

const QString kStartPage = QStringLiteral("page_départ.dat");
constexpr int kProgrammeMenu = 44, kPagesMenu = 111;
const QColor kNoticeColour(0xff, 0xf3, 0xb0);

// A program copy with the settings of a first start already written: no box before the board.
void usual(const ProgramCopy &program) {
    program.settings(fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/settings/default.cfg")));
}

QRect geometryOf(const X11Session &x, const QString &window) {
    const QString shell = x.xdotool({"getwindowgeometry", "--shell", window});
    const auto value = [&](const char *key) {
        return QRegularExpression(QString(key) + "=(-?\\d+)").match(shell).captured(1).toInt();
    };
    return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

// Pixels of about that colour on the screen, every other row and column.
int pixelsOf(const X11Session &x, QColor colour) {
    const QImage shot = x.screen();
    int n = 0;
    for (int y = 0; y < shot.height(); y += 2)
        for (int xx = 0; xx < shot.width(); xx += 2)
            n += similar(shot.pixelColor(xx, y), colour, 8) ? 1 : 0;
    return n;
}

QStringList filesBelow(const QString &dir) {
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

class EdgesEndToEndTest : public X11Suite {
    Q_OBJECT

private slots:
    void aDamagedStartPageThenTwoSentencesAndAnnulerBeforeALink() {
        ProgramCopy program;
        program.settings("fenetre_gauche=1e300\r\nfenetre_haut=0\r\nfenetre_largeur=3000000000\r\n"
                         "fenetre_hauteur=600\r\n");
        program.picture("vert.png", Qt::green, 120);
        program.picture("jaune.png", Qt::yellow, 120);
        const QByteArray damaged =
            "couleur_page=0\r\n" + QByteArray("vert.png,a,0,0,50,50\r\n").repeated(51);
        program.page(kStartPage, damaged);
        const QByteArray phrases =
            *tv::encodeCp1252("couleur_page=16777215\r\nvert.png,Bonjour. Ça va ?,40,40,120,120\r\n"
                              "jaune.png,page_suite.dat,300,200,120,120\r\n");
        program.page("page_phrases.dat", phrases);
        program.page("page_suite.dat", "couleur_page=255\r\n");
        AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening() && program.launch(*x_));
        // The message, over the window that names no page: the smaller of the two.
        QStringList both;
        QTRY_VERIFY_WITH_TIMEOUT(
            (both = x_->xdotool({"search", "--onlyvisible", "--name", "^Tablavox$"})
                        .split('\n', Qt::SkipEmptyParts))
                    .size() == 2,
            60000);
        std::sort(both.begin(), both.end(), [&](const QString &a, const QString &b) {
            return geometryOf(*x_, a).width() < geometryOf(*x_, b).width();
        });
        const QString main = both[1];
        QVERIFY(x_->keysTo(both[0], {"Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(x_->xdotool({"search", "--onlyvisible", "--name", "^Tablavox$"}),
                                  main, 10000);
        // The place kept from a bigger screen: the window wholly on this one.
        const QRect place = geometryOf(*x_, main);
        QVERIFY(QRect(0, 0, 1280, 1024).contains(place));

        // "Pages", "Charger": a page whose picture says two sentences.
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"c"}));
        const QString files = x_->waitForWindow("^Choisir un fichier$");
        QVERIFY(x_->typeTo(files, program.file("pages/page_phrases.dat")) &&
                x_->keysTo(files, {"Return"}));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_phrases.dat$").isEmpty());
        monitor.hearOneUtterance(3000); // the greeting, if it is still going on
        const QPoint green = x_->centreOf(Qt::green);
        QVERIFY(x_->click(green));
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - AudioMonitor::spokenSpan("Bonjour. Ça va ?")) < 0.3,
                 qPrintable(QString::number(span)));

        // Its picture's menu, "Dimensions", "Plus Grand"; then the link: "Annuler" stays with
        // the edit and the file untouched, "Oui" saves and follows.
        const QPoint inWindow = green - place.topLeft();
        QVERIFY(x_->menu(main, inWindow.x(), inWindow.y(), 3,
                         {"Down", "Down", "Down", "Down", "Right", "Return"}));
        for (const QString answer : {"Escape", "alt+o"}) {
            QVERIFY(x_->click(x_->centreOf(Qt::yellow)));
            const QString box = x_->waitForWindow("^Tablavox$");
            QVERIFY(!box.isEmpty() && x_->keysTo(box, {answer}) &&
                    x_->waitForNoWindow("^Tablavox$"));
            QCOMPARE(fileBytes(program.file("pages/page_phrases.dat")) == phrases,
                     answer == "Escape");
        }
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_suite.dat$").isEmpty());

        // Quit: the damaged page as it was; kept, the place where the window was.
        QVERIFY(x_->menu(main, kProgrammeMenu, 8, 1, {"q"}));
        QVERIFY(program.process.waitForFinished(20000) && program.process.exitCode() == 0);
        QCOMPARE(fileBytes(program.file("pages/" + kStartPage)), damaged);
        QVERIFY(fileBytes(program.file("Tablavox2.cfg"))
                    .startsWith(QStringLiteral("fenetre_gauche=%1\r\nfenetre_haut=%2\r\n")
                                    .arg(place.x())
                                    .arg(place.y())
                                    .toLatin1()));
    }

    void soundThatComesAfterTheBoardThenQuittingDuringAnImport() {
        // The program starts before the audio server it will use, as at a desktop's login.
        QTemporaryDir runtime, source;
        const QString socket = runtime.filePath("native");
        ProgramCopy program;
        usual(program);
        program.extraEnvironment.insert("PULSE_SERVER", "unix:" + socket);
        program.picture("jaune.png", Qt::yellow, 120);
        program.page(kStartPage,
                     "couleur_page=16777215\r\njaune.png,Bonjour maman,20,20,120,120\r\n");
        const QStringList before = filesBelow(program.file(""));
        const QString set = package(source, largeBoardSet(229, true));
        QElapsedTimer clock;
        clock.start();
        const QString main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        qInfo("the board shown %lld ms after the start", clock.elapsed());
        // A notice along the page, never a box.
        QTRY_VERIFY_WITH_TIMEOUT(pixelsOf(*x_, kNoticeColour) > 1000, 15000);
        QVERIFY(x_->xdotool({"search", "--onlyvisible", "--name", "^Tablavox$"}).isEmpty());

        QProcess server;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        server.setProcessEnvironment(env);
        server.start("pulseaudio",
                     {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                      "--load=module-native-protocol-unix socket=" + socket,
                      "--load=module-null-sink sink_name=prive"});
        const auto stop = qScopeGuard([&] {
            server.kill();
            server.waitForFinished();
        });
        QTRY_VERIFY_WITH_TIMEOUT(
            QProcess::execute(
                "bash", {"-c", "pactl --server=unix:" + socket + " info >/dev/null 2>&1"}) == 0,
            15000);
        AudioMonitor monitor("unix:" + socket);
        QVERIFY(monitor.waitUntilListening(15000));
        QTRY_COMPARE_WITH_TIMEOUT(pixelsOf(*x_, kNoticeColour), 0, 15000);
        monitor.hearOneUtterance(3000); // the greeting, kept while no server took it
        QVERIFY(x_->click(x_->centreOf(Qt::yellow)));
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - AudioMonitor::spokenSpan("Bonjour maman")) < 0.3,
                 qPrintable(QString::number(span)));

        // "Pages", "Importer…", 229 boards; once its progress shows, "Programme", "Quitter".
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"Up", "Up", "Return"}));
        const QString files = x_->waitForWindow("^Choisir un fichier$");
        QVERIFY(!files.isEmpty() && x_->typeTo(files, set) && x_->keysTo(files, {"Return"}));
        QVERIFY(!x_->waitForWindow("^Tablavox$").isEmpty());
        clock.restart();
        QVERIFY(x_->menu(main, kProgrammeMenu, 8, 1, {"q"}));
        QVERIFY(program.process.waitForFinished(20000) && program.process.exitCode() == 0);
        // The farewell takes two seconds; the import stops at once and leaves nothing.
        qInfo("quit %lld ms after the click", clock.elapsed());
        QVERIFY(clock.elapsed() < 8000);
        QCOMPARE(filesBelow(program.file("")), before);
    }
};

QTEST_MAIN(EdgesEndToEndTest)
#include "tst_e2e_edges.moc"
