// Building boards in the real program with real input: a symbol found by its name, a board
// set brought in from another program.

#include "platform/ZipArchive.h"
#include "support/Fakes.h"
#include "support/X11Session.h"
#include "symbols/SymbolLibrary.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;
using namespace tv::test;

namespace {
constexpr int kPagesMenu = 111;
const QString kStartPage = QStringLiteral("page_départ.dat");

QByteArray board(const QString &id, const QString &name, const QJsonArray &buttons) {
    const QJsonArray images{QJsonObject{{"id", "g"}, {"path", "images/vert.png"}},
                            QJsonObject{{"id", "r"}, {"path", "images/rouge.png"}}};
    return QJsonDocument(
               QJsonObject{{"format", "open-board-0.1"},
                           {"id", id},
                           {"name", name},
                           {"buttons", buttons},
                           {"images", images},
                           {"grid", QJsonObject{{"rows", 1}, {"columns", int(buttons.size())}}}})
        .toJson();
}
} // namespace

class EndToEndBoardsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<X11Session> x_;

private slots:
    void initTestCase() {
        x_ = std::make_unique<X11Session>();
        QVERIFY2(x_->isRunning(), "Xvfb and xdotool are needed (scripts/install-deps.sh)");
    }

    void carerTakesASymbolByItsName() {
        const SymbolLibrary library = SymbolLibrary::load(SymbolLibrary::defaultDirectory());
        QVERIFY2(!library.isEmpty(), "the symbol library was not fetched at build time");
        ProgramCopy program;
        program.settings(fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/settings/default.cfg")));
        program.picture("soleil.jpg", Qt::yellow);
        program.page(kStartPage, "couleur_page=255\r\nsoleil.jpg,,0,0,1500,1500\r\n");
        const QString main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        // The picture's menu, its first entry "Propriétés", then "Symboles".
        QVERIFY(x_->menu(main, 40, 60, 3, {"Down", "Return"}));
        const QString dialog = x_->waitForWindow("^Propriétés$");
        QVERIFY(!dialog.isEmpty() && x_->clickIn(dialog, 155, 73));
        const QString search = x_->waitForWindow("^Symboles$");
        QVERIFY(!search.isEmpty() && x_->typeTo(search, "chien"));
        QVERIFY(x_->keysTo(search, {"Return"}) && x_->waitForNoWindow("^Symboles$"));
        QVERIFY(x_->keysTo(dialog, {"alt+e"}) && x_->waitForNoWindow("^Propriétés$"));
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"s"}));
        // The picture says what it shows: its phrase was empty.
        QTRY_COMPARE_WITH_TIMEOUT(
            fileBytes(program.file("pages/" + kStartPage)),
            QByteArray("couleur_page=255\r\nsymboles\\chien.png,chien,0,0,1500,1500\r\n"), 10000);
        // The file is the library's dog, drawn as the library draws it.
        QTemporaryDir expected;
        QString why;
        const std::vector<int> dogs = library.search("chien");
        QVERIFY(!dogs.empty());
        const WrittenSymbol dog =
            writeSymbol(library.drawingPath(dogs.front()), library.at(dogs.front()).label,
                        expected.path(), &why);
        QVERIFY2(!dog.path.isEmpty(), qPrintable(why));
        QCOMPARE(fileBytes(program.file("multimedia/symboles/chien.png")), fileBytes(dog.path));
    }

    void carerImportsABoardSetAndItsLinksWork() {
        ProgramCopy program;
        program.settings(fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/settings/default.cfg")));
        program.page(kStartPage, "couleur_page=255\r\n");
        const QJsonObject manifest{
            {"format", "open-board-0.1"},
            {"root", "boards/maison.obf"},
            {"paths", QJsonObject{{"boards", QJsonObject{{"1", "boards/maison.obf"},
                                                         {"2", "boards/jeux.obf"}}}}}};
        QTemporaryDir source;
        const QString obz = source.filePath("maison.obz");
        QString why;
        QVERIFY2(
            writeZip(
                obz,
                {{"manifest.json", QJsonDocument(manifest).toJson()},
                 {"boards/maison.obf",
                  board("1", "Maison",
                        {QJsonObject{{"id", "1"}, {"label", "Bonjour"}, {"image_id", "g"}},
                         QJsonObject{{"id", "2"},
                                     {"label", "Jeux"},
                                     {"image_id", "r"},
                                     {"load_board",
                                      QJsonObject{{"id", "2"}, {"path", "boards/jeux.obf"}}}}})},
                 {"boards/jeux.obf",
                  board("2", "Jeux",
                        {QJsonObject{{"id", "1"}, {"label", "Ballon"}, {"image_id", "g"}}})},
                 {"images/vert.png", pngBytes(Qt::green)},
                 {"images/rouge.png", pngBytes(Qt::red)}},
                &why),
            qPrintable(why));
        const QString main = program.start(*x_);
        QVERIFY(!main.isEmpty());
        // "Importer…" is the entry before last of the "Pages" menu.
        QVERIFY(x_->menu(main, kPagesMenu, 8, 1, {"Up", "Up", "Return"}));
        const QString files = x_->waitForWindow("^Choisir un fichier$");
        QVERIFY(!files.isEmpty() && x_->typeTo(files, obz) && x_->keysTo(files, {"Return"}));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_maison.dat$").isEmpty());
        const QString report = x_->waitForWindow("^Tablavox$");
        QVERIFY(!report.isEmpty() && x_->keysTo(report, {"Return"}));
        QVERIFY(x_->waitForNoWindow("^Tablavox$"));
        // A real click on the imported picture that links to the second board opens its page.
        QVERIFY(x_->click(x_->centreOf(Qt::red)));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- page_jeux.dat$").isEmpty());
        QVERIFY(!x_->centreOf(Qt::green).isNull());
    }
};

QTEST_MAIN(EndToEndBoardsTest)
#include "tst_e2e_boards.moc"
