// Building boards in the real program with real input: a symbol found by its name, then a
// board set brought in from another program.

#include "support/BoardBuilders.h"
#include "support/Files.h"
#include "support/X11Session.h"
#include "symbols/SymbolLibrary.h"

#include <QtTest>

using namespace tv;
using namespace tv::test;

class EndToEndBoardsTest : public QObject {
    Q_OBJECT

private slots:
    void carerTakesASymbolByItsNameThenImportsABoardSet() {
        X11Session x;
        QVERIFY2(x.isRunning(), "Xvfb and xdotool are needed (scripts/install-deps.sh)");
        QVERIFY2(!SymbolLibrary::load(SymbolLibrary::defaultDirectory()).isEmpty(),
                 "the symbol library was not fetched at build time");
        ProgramCopy program;
        program.settings(fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/settings/default.cfg")));
        program.picture("soleil.jpg", Qt::yellow);
        const QString startPage = program.file(QStringLiteral("pages/page_départ.dat"));
        writeBytes(startPage, "couleur_page=255\r\nsoleil.jpg,,0,0,1500,1500\r\n");
        const QString main = program.start(x);
        QVERIFY(!main.isEmpty());
        // The picture's menu, its first entry "Propriétés", then "Symboles".
        QVERIFY(x.menu(main, 40, 60, 3, {"Down", "Return"}));
        const QString dialog = x.waitForWindow("^Propriétés$");
        QVERIFY(!dialog.isEmpty() && x.clickIn(dialog, 155, 73));
        const QString search = x.waitForWindow("^Symboles$");
        QVERIFY(!search.isEmpty() && x.typeTo(search, "chien"));
        QVERIFY(x.keysTo(search, {"Return"}) && x.waitForNoWindow("^Symboles$"));
        QVERIFY(x.keysTo(dialog, {"alt+e"}) && x.waitForNoWindow("^Propriétés$"));
        QVERIFY(x.menu(main, 111, 8, 1, {"s"})); // "Pages", "Sauve"
        // The picture says what it shows: its phrase was empty.
        QTRY_COMPARE_WITH_TIMEOUT(
            fileBytes(startPage),
            QByteArray("couleur_page=255\r\nsymboles\\chien.png,chien,0,0,1500,1500\r\n"), 10000);
        QCOMPARE(QImage(program.file("multimedia/symboles/chien.png")).size(),
                 QSize(kSymbolPixels, kSymbolPixels));

        // "Importer…" is the entry before last of the "Pages" menu.
        QTemporaryDir source;
        const QString obz = package(source, boardSet());
        QVERIFY(x.menu(main, 111, 8, 1, {"Up", "Up", "Return"}));
        const QString files = x.waitForWindow("^Choisir un fichier$");
        QVERIFY(!files.isEmpty() && x.typeTo(files, obz) && x.keysTo(files, {"Return"}));
        QVERIFY(!x.waitForWindow("^Tablavox -::- page_maison.dat$").isEmpty());
        const QString report = x.waitForWindow("^Tablavox$");
        QVERIFY(!report.isEmpty() && x.keysTo(report, {"Return"}));
        QVERIFY(x.waitForNoWindow("^Tablavox$"));
        // A real click on the imported picture that links to the second board opens its page.
        QVERIFY(x.click(x.centreOf(Qt::blue)));
        QVERIFY(!x.waitForWindow("^Tablavox -::- page_jeux.dat$").isEmpty());
    }
};

QTEST_MAIN(EndToEndBoardsTest)
#include "tst_e2e_boards.moc"
