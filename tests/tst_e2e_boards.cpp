// Building boards in the real program with real input: a symbol found by its name.

#include "edit/SymbolLibrary.h"
#include "support/Fakes.h"
#include "support/X11Session.h"

#include <QImage>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {
const QString kData = QStringLiteral(TABLAVOX_TEST_DATA);
constexpr int kPagesMenu = 111;
} // namespace

class EndToEndBoardsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void carerTakesASymbolByItsName();

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

QTEST_MAIN(EndToEndBoardsTest)
#include "tst_e2e_boards.moc"
