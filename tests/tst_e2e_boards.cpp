// Building boards in the real program with real input: a symbol found by its name, a board
// set brought in from another program.

#include "symbols/SymbolLibrary.h"
#include "platform/ZipArchive.h"
#include "support/Fakes.h"
#include "support/X11Session.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {
const QString kData = QStringLiteral(TABLAVOX_TEST_DATA);
constexpr int kPagesMenu = 111;

QJsonObject board(const QString &id, const QString &name, const QJsonArray &buttons,
                  const QJsonArray &images) {
    return {{"format", "open-board-0.1"},
            {"id", id},
            {"name", name},
            {"buttons", buttons},
            {"images", images},
            {"grid", QJsonObject{{"rows", 1}, {"columns", int(buttons.size())}}}};
}

} // namespace

class EndToEndBoardsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void carerTakesASymbolByItsName();
    void carerImportsABoardSetAndItsLinksWork();

private:
    std::unique_ptr<X11Session> x_;
};

void EndToEndBoardsTest::initTestCase() {
    x_ = std::make_unique<X11Session>();
    QVERIFY2(x_->isRunning(), "Xvfb and xdotool are needed (scripts/install-deps.sh)");
}

void EndToEndBoardsTest::carerTakesASymbolByItsName() {
    const SymbolLibrary library = SymbolLibrary::load(SymbolLibrary::defaultDirectory());
    if (library.isEmpty())
        QFAIL("the symbol library was not fetched at build time");
    ProgramCopy program;
    writeBytes(program.file("Tablavox2.cfg"), fileBytes(kData + "/settings/default.cfg"));
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QVERIFY(image.save(program.file("multimedia/soleil.jpg")));
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")),
               "couleur_page=255\r\nsoleil.jpg,,0,0,1500,1500\r\n");
    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    bool ok = false;

    // The picture's menu, its first entry "Propriétés", then "Symboles".
    const QStringList before = x_->visibleWindows();
    x_->xdotool({"mousemove", "--window", main, "40", "60", "click", "3"}, &ok);
    QVERIFY(ok);
    QVERIFY(!x_->waitForNewWindow(before).isEmpty());
    QTest::qWait(150);
    x_->xdotool({"key", "--delay", "80", "Down", "Return"}, &ok);
    const QString dialog = x_->waitForWindow("^Propriétés$");
    QVERIFY(!dialog.isEmpty());
    x_->xdotool({"mousemove", "--window", dialog, "155", "73", "click", "1"}, &ok);
    const QString search = x_->waitForWindow("^Symboles$");
    QVERIFY(!search.isEmpty());
    QVERIFY(x_->typeTo(search, "chien"));
    QVERIFY(x_->keysTo(search, {"Return"}));
    QVERIFY(x_->waitForNoWindow("^Symboles$"));
    QVERIFY(x_->keysTo(dialog, {"alt+e"}));
    QVERIFY(x_->waitForNoWindow("^Propriétés$"));
    QVERIFY(x_->menuEntry(main, kPagesMenu, "s"));

    // The picture says what it shows: its phrase was empty.
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(program.file("pages/page_départ.dat")),
                              QByteArray("couleur_page=255\r\nsymboles\\chien.png,chien,0,0,"
                                         "1500,1500\r\n"),
                              10000);
    // The file is the library's dog, drawn as the library draws it.
    QTemporaryDir expected;
    QString why;
    const std::vector<int> dogs = library.search("chien");
    QVERIFY(!dogs.empty());
    const WrittenSymbol dog = writeSymbol(library.drawingPath(dogs.front()),
                                          library.at(dogs.front()).label, expected.path(), &why);
    QVERIFY2(!dog.path.isEmpty(), qPrintable(why));
    QCOMPARE(fileBytes(program.file("multimedia/symboles/chien.png")), fileBytes(dog.path));
    const QImage png(program.file("multimedia/symboles/chien.png"));
    QCOMPARE(png.size(), QSize(kSymbolPixels, kSymbolPixels));
    QVERIFY(png.pixelColor(png.rect().center()).alpha() > 0);

    tablavox.kill();
    tablavox.waitForFinished();
}

void EndToEndBoardsTest::carerImportsABoardSetAndItsLinksWork() {
    ProgramCopy program;
    writeBytes(program.file("Tablavox2.cfg"), fileBytes(kData + "/settings/default.cfg"));
    writeBytes(program.file(QStringLiteral("pages/page_départ.dat")), "couleur_page=255\r\n");
    const QJsonArray maison{
        QJsonObject{{"id", "1"}, {"label", "Bonjour"}, {"image_id", "g"}},
        QJsonObject{{"id", "2"},
                    {"label", "Jeux"},
                    {"image_id", "r"},
                    {"load_board", QJsonObject{{"id", "2"}, {"path", "boards/jeux.obf"}}}}};
    const QJsonArray images{QJsonObject{{"id", "g"}, {"path", "images/vert.png"}},
                            QJsonObject{{"id", "r"}, {"path", "images/rouge.png"}}};
    const QJsonArray jeux{QJsonObject{{"id", "1"}, {"label", "Ballon"}, {"image_id", "g"}}};
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
             {"boards/maison.obf", QJsonDocument(board("1", "Maison", maison, images)).toJson()},
             {"boards/jeux.obf", QJsonDocument(board("2", "Jeux", jeux, images)).toJson()},
             {"images/vert.png", pngBytes(Qt::green)},
             {"images/rouge.png", pngBytes(Qt::red)}},
            &why),
        qPrintable(why));

    QProcess tablavox;
    const QString main = program.startOnItsStartPage(*x_, tablavox);
    QVERIFY(!main.isEmpty());
    // "Importer…" is the entry before last of the "Pages" menu.
    QVERIFY(x_->menuEntry(main, kPagesMenu, "Up"));
    bool ok = false;
    x_->xdotool({"key", "--delay", "100", "Up", "Return"}, &ok);
    const QString files = x_->waitForWindow("^Choisir un fichier$");
    QVERIFY(!files.isEmpty());
    QVERIFY(x_->typeTo(files, obz));
    QVERIFY(x_->keysTo(files, {"Return"}));
    QVERIFY(!x_->waitForWindow("^Tablavox -::- page_maison.dat$").isEmpty());
    const QString report = x_->waitForWindow("^Tablavox$");
    QVERIFY(!report.isEmpty());
    QVERIFY(x_->keysTo(report, {"Return"}));
    QVERIFY(x_->waitForNoWindow("^Tablavox$"));

    // A real click on the imported picture that links to the second board opens its page.
    const QPoint red = x_->centreOf(Qt::red);
    QVERIFY(!red.isNull());
    x_->xdotool({"mousemove", QString::number(red.x()), QString::number(red.y()), "click", "1"},
                &ok);
    QVERIFY(ok);
    QVERIFY(!x_->waitForWindow("^Tablavox -::- page_jeux.dat$").isEmpty());
    QVERIFY(!x_->centreOf(Qt::green).isNull());
    QCOMPARE(fileBytes(program.file("multimedia/maison/rouge.png")), pngBytes(Qt::red));

    tablavox.kill();
    tablavox.waitForFinished();
}

QTEST_MAIN(EndToEndBoardsTest)
#include "tst_e2e_boards.moc"
