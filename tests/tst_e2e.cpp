// The real program in a real X window, driven by real clicks and key presses, heard at the
// audio server.

#include "platform/Wav.h"
#include "support/AudioMonitor.h"
#include "support/Files.h"
#include "support/X11Session.h"
#include "voice/VoiceTake.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv::test;

namespace {

const QString kData = QStringLiteral(TABLAVOX_TEST_DATA "/settings/");
const QString kStartPage = QStringLiteral("page_départ.dat");
// The menu bar's entries, from the window's left edge. "Programme" and "Pages" share their
// access key, so menus are opened with the mouse.
constexpr int kProgrammeMenu = 44, kPagesMenu = 111, kImagesMenu = 166;

} // namespace

class EndToEndTest : public X11Suite {
    Q_OBJECT

private slots:
    void firstStartAPhraseASecondCopyACrashThenQuit() {
        ProgramCopy program;
        program.picture("rouge.jpg", Qt::red, 300);
        program.picture("Bleu.JPG", Qt::blue, 80);
        const QByteArray page = "couleur_page=65280\r\nrouge.jpg,Bonjour, maman,20,20,100,100\r\n"
                                "bleu.jpg,Je veux boire de l'eau.,140,20,101,100\r\n";
        // Read as older copies wrote it: the key in capitals, a gap; rewritten on quitting.
        program.page(kStartPage, "COULEUR_PAGE=65280\r\nrouge.jpg,Bonjour, maman,20,20,100,100\r\n"
                                 "\r\nbleu.jpg,Je veux boire de l'eau.,140,20,101,100\r\n");
        AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening());
        QVERIFY(program.launch(*x_));
        // The very first start of a freshly built sanitizer program reads it all from the disk.
        QVERIFY(!x_->waitForWindow("^Tablavox 2$", 60000).isEmpty());
        const QString box = x_->waitForWindow("^Tablavox$");
        QVERIFY(!box.isEmpty() && !QFile::exists(program.file("Tablavox2.cfg")));
        QVERIFY(x_->keysTo(box, {"Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("Tablavox2.cfg")),
                                  fileBytes(kData + "default.cfg"), 10000);
        const QString main = x_->waitForWindow("^Tablavox -::- page_départ.dat$", 20000, box);
        QVERIFY(!main.isEmpty());
        // The start page on its green background, and the greeting heard.
        QVERIFY(!x_->centreOf(Qt::red, 9000).isNull() && !x_->centreOf(Qt::blue, 9000).isNull() &&
                !x_->centreOf(Qt::green, 300000).isNull());
        QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000);
        // A real click: the phrase heard whole, at the voice's own pace.
        QVERIFY(x_->click(x_->centreOf(Qt::blue)));
        const double expected = AudioMonitor::spokenSpan("Je veux boire de l'eau.");
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - expected) < 0.25,
                 qPrintable(QString("heard %1 s, the phrase lasts %2 s").arg(span).arg(expected)));

        // A second copy on the same directory is refused and ends; the first goes on.
        QProcess second;
        QVERIFY(program.launch(*x_, second));
        // A sanitizer build of a second copy starts slowly on a busy machine.
        const QString refusal = x_->waitForWindow("^Imagivox$", 60000);
        QVERIFY(!refusal.isEmpty() && x_->keysTo(refusal, {"Return"}));
        QVERIFY(second.waitForFinished(10000) && second.exitCode() == 0);
        QCOMPARE(program.process.state(), QProcess::Running);
        // A crash leaves the lock behind; the next start is not refused for it.
        program.process.kill();
        program.process.waitForFinished();
        const QString again = program.start(*x_);
        QVERIFY(!again.isEmpty());
        QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000);

        // The farewell is heard during the wait before the program ends; the settings and the
        // page are written as the program writes them.
        monitor.take();
        QVERIFY(x_->menu(again, kProgrammeMenu, 8, 1, {"q"}));
        QByteArray farewell;
        QTRY_VERIFY_WITH_TIMEOUT(AudioMonitor::loudest(farewell += monitor.take()) > 1000, 10000);
        QVERIFY(program.process.waitForFinished(15000) && program.process.exitCode() == 0);
        QCOMPARE(fileBytes(program.file("Tablavox2.cfg")),
                 fileBytes(kData + "written_default.cfg"));
        QCOMPARE(fileBytes(program.file("pages/" + kStartPage)), page);
    }

    void filmsInARowEachPlayInTheirWindow() {
        ProgramCopy program;
        // The page to the right of where the player's window opens, so the pictures stay in
        // sight; one picture per kind of film, each a second of a test card and a tone.
        program.settings("fenetre_gauche=700\r\nfenetre_haut=0\r\nfenetre_largeur=560\r\n"
                         "fenetre_hauteur=500\r\n");
        const QStringList films = {"film.mpg", "film.mpeg", "film.avi", "film.flv", "film.wmv"};
        QVERIFY(makeMedia(program.file("multimedia"), QRegularExpression("^film")));
        const QList<QColor> colors = {Qt::yellow, Qt::cyan, Qt::magenta, Qt::green, Qt::blue};
        QByteArray page = "couleur_page=0\r\n";
        for (int i = 0; i < films.size(); ++i) {
            program.picture(QStringLiteral("%1.png").arg(i), colors[i]);
            page += QStringLiteral("%1.png,%2,%3,%4,100,100\r\n")
                        .arg(i)
                        .arg(films[i])
                        .arg(10 + (i % 3) * 150)
                        .arg(10 + (i / 3) * 150)
                        .toLatin1();
        }
        program.page(kStartPage, page);
        QVERIFY(!program.start(*x_).isEmpty());
        AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening());
        QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000); // the greeting, over
        QList<QPoint> at;
        for (const QColor &color : colors) {
            at << x_->centreOf(color);
            QVERIFY(!at.last().isNull());
        }
        // Ten presses, each once the film before has ended: each opens its window, is heard,
        // and its window closes at its end.
        for (int n = 0; n < 10; ++n) {
            const int i = (n * 3) % films.size(); // every kind, in changing neighbours
            monitor.take();
            QVERIFY(x_->click(at[i]));
            const QString title = "^Multimedia = " + QRegularExpression::escape(films[i]) + "$";
            QVERIFY2(!x_->waitForWindow(title, 8000).isEmpty(), qPrintable(films[i]));
            QByteArray heard;
            QTRY_VERIFY2_WITH_TIMEOUT(AudioMonitor::loudest(heard += monitor.take()) >= 300,
                                      qPrintable(films[i] + ": nothing heard"), 8000);
            QVERIFY2(x_->waitForNoWindow(title, 10000), qPrintable(films[i]));
        }
    }

    void carerBuildsAPageThroughTheMenusAndDialogs() {
        ProgramCopy program;
        program.settings(fileBytes(kData + "default.cfg"));
        program.picture("soleil.jpg", Qt::yellow);
        program.page(kStartPage, "couleur_page=255\r\n");
        const QString main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        const auto chooseFile = [&](const QString &name) {
            const QString files = x_->waitForWindow("^Choisir un fichier$");
            return !files.isEmpty() && (name.isEmpty() || x_->typeTo(files, name)) &&
                   x_->keysTo(files, {"Return"}) && x_->waitForNoWindow("^Choisir un fichier$");
        };
        // "Nouvelle": its name asked, then its file, proposed in the pages directory.
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"n"}));
        const QString box = x_->waitForWindow("^Tablavox$");
        QVERIFY(!box.isEmpty() && x_->typeTo(box, "maison") && x_->keysTo(box, {"Return"}));
        QVERIFY(chooseFile({}));
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("pages/page_maison.dat")),
                                  QByteArray("\r\n"), 10000);
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"c"}) && chooseFile("page_maison.dat"));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_maison.dat$").isEmpty());

        // A new picture, below the menu bar in the top-left corner; in its properties a
        // picture file and a phrase.
        QVERIFY(x_->menu(main, kImagesMenu, 8, 1, {"n"}));
        QVERIFY(x_->menu(main, 40, 60, 3, {"Down", "Return"})); // "Propriétés"
        const QString dialog = x_->waitForWindow("^Propriétés$");
        QVERIFY(!dialog.isEmpty() && x_->clickIn(dialog, 59, 73)); // "Image"
        QVERIFY(chooseFile("soleil.jpg"));
        QVERIFY(x_->clickIn(dialog, 300, 400) && x_->typeTo(dialog, "Bonjour, maman"));
        QVERIFY(x_->keysTo(dialog, {"alt+e"}) && x_->waitForNoWindow("^Propriétés$"));
        // A real drag moves it 200 and 100 pixels on: grabbed after "Déplacer", let go there.
        const QStringList before = x_->visibleWindows();
        QVERIFY(x_->menu(main, 40, 60, 3, {"Down", "Down", "Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(x_->visibleWindows(), before, 10000);
        bool ok = false;
        x_->xdotool({"mousedown", "1"}, &ok);
        for (int step = 1; step <= 10; ++step) {
            x_->xdotool({"mousemove", "--window", main, QString::number(40 + step * 20),
                         QString::number(60 + step * 10)});
            QTest::qWait(30);
        }
        x_->xdotool({"mouseup", "1"}, &ok);
        QVERIFY(ok);
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"s"}));
        const QByteArray expected(
            "couleur_page=255\r\nsoleil.jpg,Bonjour, maman,200,100,81,81\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("pages/page_maison.dat")), expected,
                                  10000);
        // Quitting writes the same bytes.
        QVERIFY(x_->menu(main, kProgrammeMenu, 8, 1, {"q"}));
        QVERIFY(program.process.waitForFinished(15000) && program.process.exitCode() == 0);
        QCOMPARE(fileBytes(program.file("pages/page_maison.dat")), expected);
    }

    void aParentRecordsAVoiceThatAPressThenPlays() {
        // What the microphone hears: a steady 440 Hz, as it would a voice.
        TonedMicrophone microphone(440);
        QVERIFY(microphone.isReady());
        ProgramCopy program;
        program.settings(fileBytes(kData + "default.cfg"));
        program.picture("rouge.jpg", Qt::red, 200);
        program.page(kStartPage, "couleur_page=65280\r\nrouge.jpg,Bonjour mamie,20,40,200,200\r\n");
        const QString main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        // Its properties, "Enregistrer une voix…"; "Commencer", two seconds, "Arrêter",
        // "Garder"; then "Enregistrer".
        QVERIFY(x_->menu(main, 120, 140, 3, {"Down", "Return"}));
        const QString dialog = x_->waitForWindow("^Propriétés$");
        QVERIFY(!dialog.isEmpty() && x_->clickIn(dialog, 447, 21));
        const QString recorder = x_->waitForWindow("^Enregistrement$");
        QVERIFY(!recorder.isEmpty() && x_->clickIn(recorder, 54, 23));
        QTest::qWait(2000);
        QVERIFY(x_->clickIn(recorder, 156, 23) && x_->clickIn(recorder, 358, 23));
        QVERIFY(x_->waitForNoWindow("^Enregistrement$"));
        QVERIFY(x_->keysTo(dialog, {"alt+e"}) && x_->waitForNoWindow("^Propriétés$"));
        const auto wav = tv::parseWav(fileBytes(program.file("multimedia/voix/bonjour_mamie.wav")));
        QVERIFY(wav && wav->format.sampleRate == 44100);
        const double seconds = wav->pcm.size() / 88200.0;
        QVERIFY2(seconds > 1.8 && seconds < 3, qPrintable(QString::number(seconds)));
        QCOMPARE(qRound(tv::peakOf(wav->pcm) * 32767), 29204);
        // A real click on the picture: the voice, at its pitch, at the audio server.
        AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening());
        QVERIFY(x_->clickIn(main, 120, 140));
        const QByteArray heard = monitor.hearOneUtterance();
        QVERIFY2(std::abs(AudioMonitor::loudSpan(heard) - seconds) < 0.3,
                 qPrintable(QString::number(AudioMonitor::loudSpan(heard))));
        QVERIFY2(std::abs(AudioMonitor::frequency(heard) - 440) < 10,
                 qPrintable(QString::number(AudioMonitor::frequency(heard))));
    }
};

QTEST_GUILESS_MAIN(EndToEndTest)
#include "tst_e2e.moc"
