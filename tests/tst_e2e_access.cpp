// Access aids in the real program: the message strip, the properties dialog and the switches,
// with real clicks and real key presses held as a person holds them, heard at the audio server.

#include "support/AudioMonitor.h"
#include "support/Files.h"
#include "support/X11Session.h"

#include <QImage>
#include <QtTest>

using namespace tv::test;

namespace {

const QString kStartPage = QStringLiteral("page_départ.dat");
const QList<QPair<QColor, QString>> kPictures = {
    {Qt::yellow, "Je veux"}, {Qt::cyan, "boire"}, {Qt::magenta, "de l'eau."}};

// Three pictures in a row, and one low on the page: below what the window leaves of its
// height once the strip is on, unless the window makes room for the strip.
void layOut(const ProgramCopy &program, const QByteArray &settings) {
    program.settings("fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=760\r\n"
                     "fenetre_hauteur=520\r\ntemporisation=900\r\n" +
                     settings);
    QByteArray page = "couleur_page=0\r\n";
    for (int i = 0; i < kPictures.size(); ++i) {
        program.picture(QStringLiteral("%1.png").arg(i), kPictures[i].first, 120);
        page += QStringLiteral("%1.png,%2,%3,40,120,120\r\n")
                    .arg(i)
                    .arg(kPictures[i].second)
                    .arg(20 + i * 200)
                    .toLatin1();
    }
    program.picture("vert.png", Qt::green, 120);
    program.page(kStartPage, page + "vert.png,page_suite.dat,20,330,120,120\r\n");
    program.page("page_suite.dat", "couleur_page=255\r\n");
}

// The copies of the yellow picture in the message strip, above the picture itself (120 pixels
// square at `centre`): runs of yellow along the strip's middle, once it shows one.
int copiesInStrip(const X11Session &x, QPoint centre) {
    int runs = 0;
    QDeadlineTimer deadline(5000);
    do {
        const QImage shot = x.screen();
        bool inside = false;
        for (int xx = 0; xx < shot.width(); ++xx) {
            const bool same = similar(shot.pixelColor(xx, centre.y() - 230), Qt::yellow);
            runs += same && !inside ? 1 : 0;
            inside = same;
        }
    } while (runs == 0 && !deadline.hasExpired());
    return runs;
}

// A desktop session of its own, with its accessibility bus, for the programs started while it
// lasts.
struct ScreenReaderDesktop {
    QProcess bus, launcher;
    ScreenReaderDesktop() {
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        bus.waitForReadyRead(10000);
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        launcher.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
    }
    ~ScreenReaderDesktop() {
        qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        // Asked to stop, the launcher takes its accessibility bus with it; killed, it would
        // leave that bus running after the test.
        launcher.terminate();
        launcher.waitForFinished();
        bus.kill();
        bus.waitForFinished();
    }
    // What the screen reader's script prints, or empty when it fails.
    static QStringList read(const QString &argument) {
        QProcess client;
        client.start("/usr/bin/python3",
                     {TABLAVOX_TEST_DATA "/../support/atspi_client.py", argument});
        if (!client.waitForFinished(60000) || client.exitCode() != 0)
            return {};
        return QString::fromUtf8(client.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
};

} // namespace

class AccessEndToEndTest : public X11Suite {
    Q_OBJECT

    // The program started on its page, its greeting heard to the end: its window, or empty.
    QString startPastGreeting(ProgramCopy &program, AudioMonitor &monitor) const {
        const QString main = program.start(*x_);
        const bool greeted = !main.isEmpty() && monitor.waitUntilListening() &&
                             AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000;
        return greeted ? main : QString();
    }

private slots:
    void threePicturesThenDireThenScanningChosenInTheProperties() {
        ProgramCopy program;
        AudioMonitor monitor;
        layOut(program, "bandeau_phrase=oui\r\n");
        const QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        // The whole page is in sight under the strip: the lowest picture whole, where the page
        // puts it.
        QList<QPoint> at;
        for (QColor color : {Qt::yellow, Qt::cyan, Qt::magenta, Qt::green})
            at << x_->centreOf(color);
        QVERIFY2(std::abs(at[3].y() - at[0].y() - 290) <= 2,
                 qPrintable(QString::number(at[3].y())));
        for (int i = 0; i < kPictures.size(); ++i) {
            QVERIFY(x_->click(at[i]));
            // Each phrase is said as it is added, on its own.
            const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
            QVERIFY2(std::abs(span - AudioMonitor::spokenSpan(kPictures[i].second)) < 0.25,
                     qPrintable(QString("%1: heard %2 s").arg(kPictures[i].second).arg(span)));
        }
        // "Dire", the first of the three controls at the strip's right end.
        QVERIFY(x_->clickIn(main, 760 - 316, 90));
        const double message = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        const double whole = AudioMonitor::spokenSpan("Je veux boire de l'eau.");
        QVERIFY2(std::abs(message - whole) < 0.3,
                 qPrintable(QString("heard %1 s, the message lasts %2 s").arg(message).arg(whole)));

        // Scanning chosen in the program's properties starts at once: the frame steps over
        // every picture in turn, the cursor with it, then the strip, then starts again.
        QVERIFY(x_->menu(main, 44, 8, 1, {"p"}));
        const QString dialog = x_->waitForWindow("^Programme Propriétés$");
        QVERIFY(!dialog.isEmpty() && x_->clickIn(dialog, 240, 116)); // "Défilement"
        QVERIFY(x_->keysTo(dialog, {"alt+s"}) && x_->waitForNoWindow("^Programme Propriétés$"));
        for (int i : {0, 1, 2, 3, 0})
            QVERIFY2(x_->waitForCursorNear(at[i], 15000), qPrintable(QString::number(i)));
        // The switch, a left button, acts on the picture framed at that moment.
        QVERIFY(x_->waitForCursorNear(at[3]));
        bool ok = false;
        x_->xdotool({"click", "1"}, &ok);
        QVERIFY(ok && !x_->waitForWindow("^Tablavox -::- page_suite.dat$").isEmpty());
    }

    void restingThePointerChoosesPicturesAndTheStripsControls() {
        ProgramCopy program;
        AudioMonitor monitor;
        layOut(program, "bandeau_phrase=oui\r\nacc\xE8s=pointage\r\npointage_d\xE9lai=800\r\n"
                        "cadre_couleur=16711680\r\n");
        const QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        const QPoint yellow = x_->centreOf(Qt::yellow), cyan = x_->centreOf(Qt::cyan);
        // An eye tracker's pointer: it rests on the picture, shaking by 20 pixels.
        QStringList gaze;
        for (int i = 0; i < 10; ++i)
            gaze << "mousemove" << QString::number(yellow.x() + (i % 3 - 1) * 20)
                 << QString::number(yellow.y() + (i % 2) * 20) << "sleep"
                 << "0.1";
        bool ok = false;
        x_->xdotool(gaze, &ok);
        QVERIFY(ok);
        QVERIFY(AudioMonitor::loudSpan(monitor.hearOneUtterance()) > 0.2);
        // Still, on the next picture: the ring (in the frame's blue) fills, then it is chosen.
        x_->xdotool({"mousemove", QString::number(cyan.x()), QString::number(cyan.y())}, &ok);
        QVERIFY(ok && !x_->centreOf(Qt::blue, 300).isNull());
        QVERIFY(AudioMonitor::loudSpan(monitor.hearOneUtterance()) > 0.2);
        // "Dire", chosen the same way, says the message whole.
        x_->xdotool({"mousemove", "--window", main, QString::number(760 - 316), "90"}, &ok);
        const double message = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(message - AudioMonitor::spokenSpan("Je veux boire")) < 0.3,
                 qPrintable(QString::number(message)));
    }

    void theKeyboardMovesTheFrameAndChooses() {
        ProgramCopy program;
        AudioMonitor monitor;
        layOut(program, "bandeau_phrase=oui\r\ncadre_couleur=16711680\r\n");
        const QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        const QPoint cyan = x_->centreOf(Qt::cyan);
        // Tab, Tab: the frame (blue) around the second picture; Return chooses it.
        QVERIFY(x_->keysTo(main, {"Tab", "Tab"}));
        const QPoint frame = x_->centreOf(Qt::blue, 400);
        QVERIFY2((frame - cyan).manhattanLength() < 20, qPrintable(QString::number(frame.x())));
        QVERIFY(x_->keysTo(main, {"Return"}));
        QVERIFY(AudioMonitor::loudSpan(monitor.hearOneUtterance()) > 0.2);
        // Back to the first with Shift+Tab, chosen with Space; then past the last picture,
        // the strip's "Dire".
        QVERIFY(x_->keysTo(main, {"shift+Tab", "space"}));
        QVERIFY(AudioMonitor::loudSpan(monitor.hearOneUtterance()) > 0.2);
        QVERIFY(x_->keysTo(main, {"Tab", "Tab", "Tab", "Tab", "Return"}));
        const double message = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(message - AudioMonitor::spokenSpan("boire Je veux")) < 0.3,
                 qPrintable(QString::number(message)));
    }

    void aLockedPageFullScreenChoosesButEditsNothingUntilUnlocked() {
        ProgramCopy program;
        AudioMonitor monitor;
        layOut(program, "plein_\xE9"
                        "cran=oui\r\n");
        const QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        const auto size = [&] {
            const QString shell = x_->xdotool({"getwindowgeometry", "--shell", main});
            const auto m = QRegularExpression("WIDTH=(\\d+)\\nHEIGHT=(\\d+)").match(shell);
            return QSize(m.captured(1).toInt(), m.captured(2).toInt());
        };
        QTRY_COMPARE(size(), x_->screen().size());
        const auto settingsSay = [&](const char *line) {
            return fileBytes(program.file("Tablavox2.cfg")).contains(line);
        };
        QVERIFY(x_->menu(main, 44, 8, 1, {"v"})); // "Programme", "Verrouiller la page"
        QTRY_VERIFY(settingsSay("verrouillage=oui\r\n"));
        // A right press opens no menu: the left press after it chooses the picture.
        const QPoint yellow = x_->centreOf(Qt::yellow);
        bool ok = false;
        x_->xdotool({"mousemove", QString::number(yellow.x()), QString::number(yellow.y()), "click",
                     "3", "sleep", "0.3", "click", "1"},
                    &ok);
        QVERIFY(ok && AudioMonitor::loudSpan(monitor.hearOneUtterance()) > 0.2);
        // The menu bar holds only "Déverrouiller…", which says how.
        QVERIFY(x_->clickIn(main, 44, 8));
        const QString how = x_->waitForWindow("^Tablavox$");
        QVERIFY(!how.isEmpty() && x_->keysTo(how, {"Return"}));
        // Ctrl+Alt+D held two seconds: unlocked, and the window has its frame again.
        x_->xdotool({"windowfocus", "--sync", main, "keydown", "ctrl+alt+d", "sleep", "2.4",
                     "keyup", "ctrl+alt+d"},
                    &ok);
        QTRY_VERIFY(settingsSay("verrouillage=non\r\nplein_\xE9"
                                "cran=oui\r\n"));
        QTRY_VERIFY(size() != x_->screen().size());
    }

    void aScreenReaderListsThePicturesAndPressesOne() {
        ScreenReaderDesktop desktop;
        ProgramCopy program;
        layOut(program, {});
        AudioMonitor monitor;
        QVERIFY(!startPastGreeting(program, monitor).isEmpty());
        const QStringList listed = ScreenReaderDesktop::read("boire");
        QVERIFY(!listed.isEmpty());
        // The page's pictures, and no hidden template picture among the controls not shown.
        QVERIFY2(!listed.contains(QStringLiteral("caché : Image sans action")),
                 qPrintable(listed.join(" | ")));
        QCOMPARE(listed.filter(QRegularExpression("^(?!caché : )")),
                 QStringList({"Je veux", "boire", "de l'eau.", "suite"}));
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - AudioMonitor::spokenSpan("boire")) < 0.25,
                 qPrintable(QString::number(span)));
    }

    void aSentenceInThePastIsSaidAndReadBack() {
        ScreenReaderDesktop desktop;
        ProgramCopy program;
        program.settings("fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=760\r\n"
                         "fenetre_hauteur=520\r\nbandeau_phrase=oui\r\nbandeau_dire=non\r\n"
                         "genre=f\xE9minin\r\n");
        const QList<QPair<QColor, QByteArray>> words = {{Qt::yellow, "hier"},
                                                        {Qt::cyan, "je"},
                                                        {Qt::magenta, "aller"},
                                                        {Qt::green, "\xE0 l'\xE9"
                                                                    "cole"}};
        QByteArray page = "couleur_page=0\r\n";
        for (int i = 0; i < words.size(); ++i) {
            program.picture(QStringLiteral("%1.png").arg(i), words[i].first, 120);
            page += QStringLiteral("%1.png,").arg(i).toLatin1() + words[i].second +
                    QStringLiteral(",%1,40,120,120\r\n").arg(20 + i * 180).toLatin1();
        }
        program.page(kStartPage, page);
        AudioMonitor monitor;
        const QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        for (const auto &word : words)
            QVERIFY(x_->click(x_->centreOf(word.first)));
        QVERIFY(x_->clickIn(main, 760 - 316, 90)); // "Dire"
        const QString said = "hier je suis allée à l'école";
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - AudioMonitor::spokenSpan(said)) < 0.3,
                 qPrintable(
                     QString("heard %1 s for %2 s").arg(span).arg(AudioMonitor::spokenSpan(said))));
        QCOMPARE(ScreenReaderDesktop::read("--phrase"),
                 QStringList({"phrase : " + said, "mot : hier", "mot : je", "mot : suis allée",
                              "mot : à l'école"}));
    }

    void theNextPictureAndMessagesSaidBeforeTakeOneChoice() {
        ScreenReaderDesktop desktop;
        ProgramCopy program;
        const QByteArray window =
            "fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=760\r\n"
            "fenetre_hauteur=520\r\nbandeau_phrase=oui\r\nbandeau_dire=non\r\n"
            "pr\xE9"
            "diction=oui\r\npr\xE9"
            "diction_nombre=2\r\n"
            "d\xE9j\xE0_dit=oui\r\n";
        program.settings(window);
        const QList<QPair<QColor, QByteArray>> words = {{Qt::yellow, "je"},
                                                        {Qt::cyan, "vouloir"},
                                                        {Qt::magenta, "boire"},
                                                        {Qt::green, "manger"},
                                                        {Qt::blue, "aller"}};
        QByteArray page = "couleur_page=0\r\n";
        for (int i = 0; i < words.size(); ++i) {
            program.picture(QStringLiteral("%1.png").arg(i), words[i].first, 120);
            page += QStringLiteral("%1.png,").arg(i).toLatin1() + words[i].second +
                    QStringLiteral(",%1,40,120,120\r\n").arg(20 + i * 145).toLatin1();
        }
        program.page(kStartPage, page);
        AudioMonitor monitor;
        QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        // The strip's buttons as a screen reader finds them: by name, their kind and place.
        const auto buttons = [] {
            QHash<QString, QPair<QString, QPoint>> found;
            for (const QString &line : ScreenReaderDesktop::read("--boutons")) {
                const QStringList f = line.split('|');
                found.insert(f[0], {f[1], QPoint(f[2].toInt(), f[3].toInt())});
            }
            return found;
        };
        const QPoint dire = buttons().value("Dire").second;
        const auto say = [&](const QList<int> &pictures) {
            for (int i : pictures)
                if (!x_->click(x_->centreOf(words[i].first)))
                    return false;
            return x_->click(dire) && AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000;
        };
        // Before anything is said, "je" brings the commonest verbs; after three messages, the
        // person's own, as it will be said.
        QVERIFY(x_->click(x_->centreOf(Qt::yellow)));
        QVERIFY(!buttons().contains("veux"));
        QVERIFY(say({})); // "je" alone
        QVERIFY(say({0, 1, 2}) && say({0, 1, 3}) && say({0, 1, 2}));
        QVERIFY(x_->click(buttons().value("Tout effacer").second));
        QVERIFY(x_->click(x_->centreOf(Qt::yellow)));
        const auto veux = buttons().value("veux");
        QCOMPARE(veux.first, QString("Suggestion"));
        QVERIFY(x_->click(veux.second));
        QCOMPARE(ScreenReaderDesktop::read("--phrase").value(0), "phrase : je veux");
        // "Déjà dit", then the message said most: said again at once, one utterance.
        QVERIFY(x_->click(buttons().value("Déjà dit").second));
        const auto again = buttons().value("je veux boire");
        QVERIFY2(again.first == "Déjà dit", qPrintable(QStringList(buttons().keys()).join(", ")));
        QVERIFY(x_->click(again.second));
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY2(std::abs(span - AudioMonitor::spokenSpan("je veux boire")) < 0.3,
                 qPrintable(QString("heard %1 s").arg(span)));

        // Killed, then started again for a switch: what was learned is there.
        program.process.kill();
        program.process.waitForFinished();
        program.settings(window + "acc\xE8s=d\xE9"
                                  "filement\r\ncontacteur_touche=espace\r\n"
                                  "contacteur_avance=entr\xE9"
                                  "e\r\nd\xE9"
                                  "filement_mode=pas \xE0 pas\r\n");
        main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        const auto keys = [&](const QStringList &names) {
            QStringList args{"windowfocus", "--sync", main};
            for (const QString &key : names)
                args << "keydown" << key << "sleep"
                     << "0.15"
                     << "keyup" << key << "sleep"
                     << "0.25";
            bool ok = false;
            x_->xdotool(args, &ok);
            return ok;
        };
        // The frame to "je", chosen; then on past the pictures and the strip's four controls
        // to the first suggestion, chosen.
        QVERIFY(keys({"Return", "space"}));
        QVERIFY(keys(QStringList(9, "Return") + QStringList{"space"}));
        QTRY_COMPARE_WITH_TIMEOUT(ScreenReaderDesktop::read("--phrase").value(0),
                                  "phrase : je veux", 10000);
    }

    void whatIsChosenIsNotedForTheTherapistsReport() {
        ProgramCopy program;
        layOut(program, "bandeau_phrase=oui\r\nbandeau_dire=non\r\njournal=oui\r\n");
        AudioMonitor monitor;
        const QString main = startPastGreeting(program, monitor);
        QVERIFY(!main.isEmpty());
        const QPoint cyan = x_->centreOf(Qt::cyan);
        for (QPoint at : {x_->centreOf(Qt::yellow), cyan, x_->centreOf(Qt::magenta), cyan})
            QVERIFY(x_->click(at));
        QVERIFY(x_->clickIn(main, 760 - 316, 90)); // "Dire"
        QVERIFY(AudioMonitor::loudSpan(monitor.hearOneUtterance()) > 1.0);
        // One line per choice, in the person's own directory, theirs alone.
        const QString log =
            program.file("journal/" + QDate::currentDate().toString("yyyy-MM") + ".lam");
        QTRY_COMPARE(QString::fromLatin1(fileBytes(log)).count(" SMP \""), 4);
        QCOMPARE(fileBytes(log).count("acc\xE8s=souris"), 4);
        const QFile::Permissions others =
            QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        QVERIFY((QFileInfo(log).permissions() & others) == QFile::Permissions());
        // The report, from the command line, while the program runs on.
        const QString pdf = program.file("rapport.pdf");
        QProcess report;
        report.start(program.file("tablavox"), {"--dossier", program.file(""), "--rapport", pdf});
        QVERIFY(report.waitForFinished(60000) && report.exitCode() == 0);
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString read = QString::fromUtf8(text.readAllStandardOutput());
        for (const char *shown : {"Messages dits : 1", "Images choisies : 4", "2 × boire",
                                  "1 × Je veux", "lignes illisibles : 0"})
            QVERIFY2(read.contains(QString::fromUtf8(shown)), qPrintable(read));
        // The plot drawn: its bars, in the colours of its legend, on the rendered sheet.
        QProcess render;
        render.start("pdftoppm",
                     {"-r", "40", "-png", "-f", "1", "-l", "1", pdf, program.file("rapport")});
        QVERIFY(render.waitForFinished(30000));
        const QImage sheet(program.file("rapport-1.png"));
        int orange = 0, blue = 0;
        for (int yy = 0; yy < sheet.height(); ++yy) {
            for (int xx = 0; xx < sheet.width(); ++xx) {
                orange += similar(sheet.pixelColor(xx, yy), QColor(240, 150, 40)) ? 1 : 0;
                blue += similar(sheet.pixelColor(xx, yy), QColor(40, 90, 170)) ? 1 : 0;
            }
        }
        QVERIFY2(orange > 20 && blue > 20, qPrintable(QString("%1 %2").arg(orange).arg(blue)));
    }

    void keySwitchesHeldAsAPersonHoldsThem() {
        ProgramCopy program;
        // Step by step, Enter to step and Space to choose, with both timing filters; each
        // choice of the yellow picture adds a copy of it to the strip.
        layOut(program, "bandeau_phrase=oui\r\nbandeau_dire=non\r\nacc\xE8s=d\xE9"
                        "filement\r\ncontacteur_touche=espace\r\ncontacteur_avance=entr\xE9"
                        "e\r\nd\xE9"
                        "filement_mode=pas \xE0 pas\r\ncontacteur_acceptation=300\r\n"
                        "contacteur_relachement=500\r\n");
        // The next page: its first picture opens a page of its own, its fourth another.
        QByteArray next = fileBytes(program.file("pages/" + kStartPage));
        program.page(
            "page_suite.dat",
            next.replace("Je veux", "page_un.dat").replace("page_suite.dat", "page_quatre.dat"));
        program.page("page_un.dat", "couleur_page=255\r\n");
        program.page("page_quatre.dat", "couleur_page=255\r\n");
        const QString main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        const QPoint yellow = x_->centreOf(Qt::yellow);
        const auto xdotool = [&](const QStringList &args) {
            bool ok = false;
            x_->xdotool(QStringList{"windowfocus", "--sync", main} + args, &ok);
            return ok;
        };
        QVERIFY(xdotool({"keydown", "Return", "sleep", "0.4", "keyup", "Return"}));
        QVERIFY(x_->waitForCursorNear(yellow, 10000));
        // Held 2.5 s while the server repeats the key as on every desktop: one choice. Then
        // pressed again 200 ms after the release, inside the release time: none.
        QVERIFY(xdotool({"keydown", "space", "sleep", "2.5", "keyup", "space", "sleep", "0.2",
                         "keydown", "space", "sleep", "0.4", "keyup", "space"}));
        QCOMPARE(copiesInStrip(*x_, yellow), 1);
        // Stepped on to the fourth picture and chosen: its page. Nothing is framed there: the
        // first Space frames its first picture, the next chooses it, never the fourth. Each
        // press held past the acceptance time, each after the release time.
        const auto presses = [](const QStringList &keys) {
            QStringList args;
            for (const QString &key : keys)
                args << "keydown" << key << "sleep"
                     << "0.4"
                     << "keyup" << key << "sleep"
                     << "0.6";
            return args;
        };
        QVERIFY(xdotool(presses({"Return", "Return", "Return", "space"})));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_suite.dat$").isEmpty());
        QVERIFY(xdotool(presses({"space", "space"})));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_(un|quatre).dat$").isEmpty());
        QVERIFY(x_->waitForNoWindow("^Tablavox -::- page_quatre.dat$", 0));
    }
};

QTEST_MAIN(AccessEndToEndTest)
#include "tst_e2e_access.moc"
