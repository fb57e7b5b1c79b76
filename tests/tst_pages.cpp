// Page files: golden round trips, the reading rules, and loading a page onto the main window.

#include "page/MainWindow.h"
#include "page/PageFile.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "platform/AppState.h"
#include "platform/Cp1252.h"
#include "platform/TextFile.h"
#include "support/Fakes.h"
#include "support/PageFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tv;

namespace {

const TwipsPerPixel kTpp{15, 15};
const QString kGolden = QStringLiteral(TABLAVOX_TEST_DATA "/pages/");

bool onlyCatsExist(const QString &file) {
    return file == "chat.jpg" || file == "son.jpg" || file == "animaux\\vache.jpg";
}

PageModel modelOf(const ParsedPage &parsed, qint32 formerColor) {
    PageModel page;
    page.pageColor = parsed.pageColor.value_or(formerColor);
    for (const PageEntry &e : parsed.entries)
        page.imageTable[std::size_t(e.index)] = parsed.records[std::size_t(e.index)];
    return page;
}

QImage square(QColor color, int size = 64) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The shared page fixture with the pictures these tests read, and the loader's fatal signal.
struct Screen : test::PageFixture {
    QSignalSpy fatal{&loader, &PageLoader::fatalError};

    Screen() {
        QDir(dir.path()).mkpath("pages/sous");
        QDir(dir.path()).mkpath("multimedia/Animaux");
        square(Qt::red).save(media("rouge.jpg"));
        square(Qt::blue).save(media("Animaux/Bleu.JPG"));
        square(Qt::green).save(media("vert.bmp"));
        test::writeBytes(media("abime.jpg"), "ceci n'est pas une image");
    }
    QString media(const QString &name) const { return dir.filePath("multimedia/" + name); }
    QString page(const QString &name) const { return dir.filePath("pages/" + name); }
    void writePage(const QString &name, const QString &text) {
        QString crlf = text;
        crlf.replace("\n", "\r\n");
        test::writeBytes(page(name), *encodeCp1252(crlf));
    }
    void load(const QString &name) {
        state.page.currentPage = name;
        loader.loadPage();
        QVERIFY(QTest::qWaitFor([this] { return loader.picturesPending() == 0; }, 10000));
    }
    QStringList messages() const {
        QStringList texts;
        for (const auto &m : fakes.dialogs.messages)
            texts << m.text;
        return texts;
    }
    QList<int> shownIndices() const {
        QList<int> shown;
        for (int n = 1; n <= kMaxImages; ++n) {
            if (window.img(n) && !window.img(n)->isHidden())
                shown << n;
        }
        return shown;
    }
};

} // namespace

class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void goldenRoundTrips_data();
    void goldenRoundTrips();
    void commaRuleKeepsOldLinesAsTheyWere();
    void positionsRoundDownOnSaving();
    void readingFailures_data();
    void readingFailures();
    void emptyLinesPastTheLastIndexAreFine();

    void loadShowsPicturesInTwipsWithTitleAndColour();
    void missingAndUnreadablePicturesAreSaidAndKept();
    void missingPageLeavesTheWindowEmpty();
    void pageNameIsLowerCasedAndSavedUnderIt();
    void fiftyPicturesLoadAndTheFiftyFirstIsFatal();
    void pageWithoutPicturesHasNoImageCount();
    void scanningRestartsAfterALoad();
    void pageSoundPlaysForEachPageThatExists();
    void clearPageRemovesHiddenPicturesToo();
    void failedSaveKeepsTheFormerFile();
    void saveNeverLeavesThePagesDirectory();
    void hostilePicturesAndWindowPlaces_data();
    void hostilePicturesAndWindowPlaces();
};

void PagesTest::goldenRoundTrips_data() {
    QTest::addColumn<QString>("name");
    for (const char *n : {"basic", "gaps", "comma", "extra", "nocolor", "missing"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

void PagesTest::goldenRoundTrips() {
    QFETCH(QString, name);
    const TextReadResult in = readTextLines(kGolden + name + ".dat");
    QVERIFY(in.ok);
    const ParsedPage parsed = parsePage(in.lines, onlyCatsExist, kTpp);
    QVERIFY2(parsed.ok, qPrintable(parsed.failure));
    QTemporaryDir dir;
    const QString out = dir.filePath("page.dat");
    QVERIFY(writeTextLines(out, formatPage(modelOf(parsed, 7), kTpp)).ok);
    const QString expected = QFile::exists(kGolden + name + ".expected.dat")
                                 ? kGolden + name + ".expected.dat"
                                 : kGolden + name + ".dat";
    QCOMPARE(test::fileBytes(out), test::fileBytes(expected));
}

void PagesTest::commaRuleKeepsOldLinesAsTheyWere() {
    QCOMPARE(pictureFields("a.jpg,Bonjour, maman,1,2,3,4"),
             QStringList({"a.jpg", "Bonjour, maman", "1", "2", "3", "4"}));
    QCOMPARE(pictureFields("a.jpg,b,1,2,3,4,extra"),
             QStringList({"a.jpg", "b", "1", "2", "3", "4", "extra"}));
    QCOMPARE(pictureFields("a.jpg,,1,2,3,4"), QStringList({"a.jpg", "", "1", "2", "3", "4"}));
    QCOMPARE(pictureFields("a.jpg,b"), QStringList({"a.jpg", "b"}));
}

void PagesTest::positionsRoundDownOnSaving() {
    PageModel page;
    page.pageColor = 1;
    page.imageTable[1] = {"a.jpg", "x", 100, -100, 1616, 15};
    page.imageTable[2] = {"", "action sans image", 1, 1, 1, 1};
    QCOMPARE(formatPage(page, kTpp), QStringList({"couleur_page=1", "a.jpg,x,6,-7,107,1"}));
    const ParsedPage back =
        parsePage({"couleur_page=1", "a.jpg,x,6,-7,107,1"}, onlyCatsExist, kTpp);
    // "a.jpg" is not among the pictures that exist here, but its line is kept whole.
    QCOMPARE(back.records[1], (ImageRecord{"a.jpg", "x", 90, -105, 1605, 15}));
    QCOMPARE(back.entries[0].state, PictureState::Missing);
}

void PagesTest::readingFailures_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::newRow("two fields") << "couleur_page=1\nchat.jpg,Bonjour" << 2;
    QTest::newRow("number too large") << "couleur_page=1\nchat.jpg,a,1,1,2185,1" << 2;
    QTest::newRow("colour too large") << "couleur_page=99999999999" << 1;
    QString fiftyOne = "couleur_page=1";
    for (int i = 0; i < 51; ++i)
        fiftyOne += "\nabsent.jpg,a,1,1,1,1";
    QTest::newRow("51st line") << fiftyOne << 52;
}

void PagesTest::readingFailures() {
    QFETCH(QString, text);
    QFETCH(int, line);
    const ParsedPage parsed = parsePage(text.split('\n'), onlyCatsExist, kTpp);
    QVERIFY(!parsed.ok);
    QCOMPARE(parsed.failedLine, line);
    QVERIFY(!parsed.failure.isEmpty());
}

void PagesTest::emptyLinesPastTheLastIndexAreFine() {
    QStringList lines{"COULEUR_PAGE=255"};
    for (int i = 0; i < 50; ++i)
        lines << "chat.jpg,a,1,1,1,1";
    lines << ""
          << "";
    const ParsedPage parsed = parsePage(lines, onlyCatsExist, kTpp);
    QVERIFY(parsed.ok);
    QCOMPARE(parsed.pageColor, std::optional<qint32>(255));
    QCOMPARE(parsed.entries.size(), std::size_t(50));
}

void PagesTest::loadShowsPicturesInTwipsWithTitleAndColour() {
    Screen s;
    s.writePage("page_départ.dat", "couleur_page=65280\nrouge.jpg,Bonjour, maman,10,20,100,80\n"
                                   "\nanimaux\\bleu.jpg,page_ferme.dat,120,20,101,80\n");
    s.load("page_départ.dat");
    QVERIFY(s.messages().isEmpty());
    QCOMPARE(s.shownIndices(), QList<int>({1, 3}));
    PictureControl *red = s.window.img(1);
    QCOMPARE(red->leftTwips(), 150);
    QCOMPARE(red->topTwips(), 300);
    QCOMPARE(red->widthTwips(), 1500);
    QCOMPARE(red->heightTwips(), 1200);
    QCOMPARE(red->geometry(), QRect(10, 20, 100, 80));
    QCOMPARE(red->tag(), QStringLiteral("Bonjour, maman"));
    QCOMPARE(red->picture().pixelColor(5, 5).red(), 254);
    QCOMPARE(s.window.img(3)->widthTwips(), 1515);
    QCOMPARE(s.window.img(3)->tag(), QStringLiteral("page_ferme.dat"));
    QCOMPARE(s.state.page.imageCount, qint16(3));
    QCOMPARE(s.state.page.imageTable[3].imageFile, QStringLiteral("animaux\\bleu.jpg"));
    QCOMPARE(s.window.windowTitle(), QStringLiteral("Tablavox -::- page_départ.dat"));
    QCOMPARE(s.window.backgroundColorValue(), 65280);
    QVERIFY(!s.state.page.pageModified);

    // Exact twips survive in the controls; only drawing rounds.
    red->setTwipsGeometry(1616, 1616, 1616, 1616);
    QCOMPARE(red->leftTwips(), 1616);
    QCOMPARE(red->geometry(), QRect(108, 108, 108, 108));
}

void PagesTest::missingAndUnreadablePicturesAreSaidAndKept() {
    Screen s;
    const QString text =
        "couleur_page=1\nabsent.jpg,Bonjour,5,5,50,50\nabime.jpg,Au revoir,6,6,60,60\n"
        "vert.bmp,ok,1,1,10,10\nabsent2.jpg,x,1,1,1,1\n..\\..\\etc\\x.jpg,y,1,1,1,1\n";
    s.writePage("page_a.dat", text);
    s.load("page_a.dat");
    QCOMPARE(s.messages(),
             QStringList({"L'image ''absent.jpg'' n'existe pas",
                          "L'image ''abime.jpg'' ne peut pas être affichée : le fichier n'est pas "
                          "une image lisible",
                          "L'image ''absent2.jpg'' n'existe pas",
                          "L'image ''..\\..\\etc\\x.jpg'' est en dehors du répertoire "
                          "''multimedia'' : elle n'est pas affichée"}));
    QCOMPARE(s.fakes.dialogs.messages[0].icon, MessageIcon::None);
    QCOMPARE(s.shownIndices(), QList<int>({3}));
    QCOMPARE(s.fatal.count(), 0);
    QCOMPARE(s.state.page.imageCount, qint16(5));
    // Nothing is lost by the next save.
    QVERIFY(s.loader.savePage());
    QString crlf = text;
    crlf.replace("\n", "\r\n");
    QCOMPARE(test::fileBytes(s.page("page_a.dat")), crlf.toLatin1());
}

void PagesTest::missingPageLeavesTheWindowEmpty() {
    Screen s;
    s.writePage("page_a.dat", "couleur_page=255\nrouge.jpg,a,1,1,10,10\n");
    s.load("page_a.dat");
    s.load("Page_Absente.dat");
    QCOMPARE(s.messages(), QStringList({"La page ''page_absente.dat'' n'existe pas"}));
    QVERIFY(s.shownIndices().isEmpty());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("Tablavox -::- page_a.dat"));
    QCOMPARE(s.state.page.pageColor, 255);
    QCOMPARE(s.state.page.imageCount, qint16(1));
    // The page named now is the missing one: saving creates it with its colour line only.
    QVERIFY(s.loader.savePage());
    QCOMPARE(test::fileBytes(s.page("page_absente.dat")), QByteArray("couleur_page=255\r\n"));

    Screen fresh;
    fresh.load(QStringLiteral("page_départ.dat"));
    QCOMPARE(fresh.window.windowTitle(), QStringLiteral("Tablavox"));
}

void PagesTest::pageNameIsLowerCasedAndSavedUnderIt() {
    Screen s;
    s.writePage("sous/page_maison.dat", "couleur_page=3\nrouge.jpg,a,1,1,10,10\n");
    s.load("Sous\\Page_Maison.dat");
    QCOMPARE(s.state.page.currentPage, QStringLiteral("sous\\page_maison.dat"));
    QCOMPARE(s.window.windowTitle(), QStringLiteral("Tablavox -::- sous\\page_maison.dat"));
    s.state.page.pageColor = 4;
    QVERIFY(s.loader.savePage());
    QCOMPARE(test::fileBytes(s.page("sous/page_maison.dat")),
             QByteArray("couleur_page=4\r\nrouge.jpg,a,1,1,10,10\r\n"));
}

void PagesTest::fiftyPicturesLoadAndTheFiftyFirstIsFatal() {
    Screen s;
    QString fifty = "couleur_page=1";
    for (int i = 0; i < 50; ++i)
        fifty += QString("\nrouge.jpg,%1,%2,%3,20,20").arg(i).arg(i % 10 * 22).arg(i / 10 * 22);
    s.writePage("page_50.dat", fifty);
    s.load("page_50.dat");
    QCOMPARE(s.shownIndices().size(), 50);
    QCOMPARE(s.fatal.count(), 0);
    s.writePage("page_51.dat", fifty + "\nrouge.jpg,trop,1,1,1,1");
    s.load("page_51.dat");
    QCOMPARE(s.fatal.count(), 1);
    QCOMPARE(s.fakes.dialogs.messages.last().icon, MessageIcon::Critical);
    QCOMPARE(s.messages().last(),
             QStringLiteral("Erreur : la page ''page_51.dat'' ne peut pas être lue (ligne 52 : une "
                            "page ne peut pas avoir plus de 50 images)\r\nLe programme s'arrête"));

    QDir(s.dir.filePath("pages")).removeRecursively();
    s.load("page_50.dat");
    QCOMPARE(s.fatal.count(), 2);
    QCOMPARE(s.messages().last(),
             QStringLiteral("Erreur : le répertoire ''pages'' n'existe pas\r\nVous devez le "
                            "créer\r\nLe programme s'arrête"));
}

void PagesTest::pageWithoutPicturesHasNoImageCount() {
    Screen s;
    s.writePage("page_a.dat", "couleur_page=1\nrouge.jpg,a,1,1,10,10\nrouge.jpg,b,1,1,10,10\n");
    s.writePage("page_vide.dat", "couleur_page=2\n");
    s.load("page_a.dat");
    QCOMPARE(s.state.page.imageCount, qint16(2));
    s.load("page_vide.dat");
    QCOMPARE(s.state.page.imageCount, qint16(0));
}

void PagesTest::scanningRestartsAfterALoad() {
    Screen s;
    s.state.settings.accessMode = kAccessScanning;
    s.state.scanIndex = 4;
    s.writePage("page_a.dat", "couleur_page=1\n");
    s.load("page_a.dat");
    QVERIFY(s.window.scanTimer()->isActive());
    QCOMPARE(s.state.scanIndex, 0);
}

void PagesTest::pageSoundPlaysForEachPageThatExists() {
    Screen s;
    s.writePage("page_a.dat", "couleur_page=1\n");
    s.load("page_a.dat");
    QVERIFY(s.fakes.sounds.played.isEmpty());
    s.state.settings.pageSoundOn = true;
    s.state.settings.pageSoundNumber = 7;
    s.load("page_a.dat");
    s.load("page_a.dat");
    s.load("page_absente.dat");
    QCOMPARE(s.fakes.sounds.played,
             QList<QByteArray>({PageSounds::storedSound(7), PageSounds::storedSound(7)}));
}

void PagesTest::clearPageRemovesHiddenPicturesToo() {
    Screen s;
    s.writePage("page_a.dat", "couleur_page=1\nrouge.jpg,a,1,1,10,10\nrouge.jpg,b,1,1,10,10\n");
    s.load("page_a.dat");
    s.window.img(2)->hide(); // a picture being stretched
    s.window.selectionFrame()->show();
    s.state.hoveredImage = true;
    s.loader.clearPage();
    QVERIFY(!s.window.img(1) && !s.window.img(2));
    QVERIFY(s.window.img(0));
    QVERIFY(s.window.selectionFrame()->isHidden());
    QVERIFY(!s.state.hoveredImage);
    QCOMPARE(s.state.page.imageTable[1], ImageRecord{});
    QCOMPARE(s.window.windowTitle(), QStringLiteral("Tablavox -::- page_a.dat"));
    s.load("page_a.dat");
    QCOMPARE(s.shownIndices(), QList<int>({1, 2}));
}

void PagesTest::failedSaveKeepsTheFormerFile() {
    Screen s;
    s.writePage("page_a.dat", "couleur_page=1\nrouge.jpg,a,1,1,10,10\n");
    s.load("page_a.dat");
    const QByteArray before = test::fileBytes(s.page("page_a.dat"));
    s.state.page.imageTable[1].imageAction = QStringLiteral("Bonjour 😀");
    s.state.page.pageModified = true;
    QVERIFY(!s.loader.savePage());
    QVERIFY(s.state.page.pageModified);
    QCOMPARE(test::fileBytes(s.page("page_a.dat")), before);
    QCOMPARE(QDir(s.dir.filePath("pages")).entryList(QDir::Files), QStringList({"page_a.dat"}));
    QVERIFY(s.messages().last().startsWith("La page ''page_a.dat'' n'a pas été enregistrée."));
    QVERIFY(s.messages().last().contains(QStringLiteral("😀")));
}

void PagesTest::saveNeverLeavesThePagesDirectory() {
    Screen s;
    for (const char *outside : {"..\\Tablavox2.cfg", "c:\\page.dat", "\\tmp\\page.dat"}) {
        s.state.page.currentPage = outside;
        QVERIFY(!s.loader.savePage());
    }
    QVERIFY(!QFile::exists(s.dir.filePath("Tablavox2.cfg")));
    s.load("..\\Tablavox2.cfg");
    QCOMPARE(s.messages().last(), QStringLiteral("La page ''..\\tablavox2.cfg'' n'existe pas"));
}

void PagesTest::hostilePicturesAndWindowPlaces_data() {
    QTest::addColumn<QRect>("stored"); // pixels, as in the settings
    QTest::addColumn<QRect>("held");
    QTest::addColumn<QRect>("withStrip"); // made 132 pixels taller for the message strip
    const QRect ok(10, 20, 800, 600);
    QTest::newRow("fits") << ok << ok << QRect(10, 20, 800, 732);
    QTest::newRow("a pixel wide") << QRect(0, 0, 1, 1) << QRect(0, 0, 320, 240)
                                  << QRect(0, 0, 320, 372);
    QTest::newRow("wider than the screen")
        << QRect(0, 0, 3000000, 900000) << QRect(0, 0, 1280, 1000) << QRect(0, 0, 1280, 1000);
    QTest::newRow("far right and below")
        << QRect(50000, 50000, 800, 600) << QRect(1280 - 120, 1000 - 120, 800, 600)
        << QRect(1280 - 120, 1000 - 732, 800, 732);
    QTest::newRow("far left and above")
        << QRect(-50000, -50000, 800, 600) << QRect(-800 + 120, 0, 800, 600)
        << QRect(-800 + 120, 0, 800, 732);
}

void PagesTest::hostilePicturesAndWindowPlaces() {
    QFETCH(QRect, stored);
    QFETCH(QRect, held);
    // A damaged setting never hides the menus.
    QCOMPARE(heldToScreen(stored.x(), stored.y(), stored.width(), stored.height(),
                          QRect(0, 0, 1280, 1000)),
             held);
    QFETCH(QRect, withStrip);
    QCOMPARE(grownOnScreen(held, 132, QRect(0, 0, 1280, 1000)), withStrip);
    // A picture that claims 30000 × 30000 pixels is refused from its header, at once.
    QTemporaryDir dir;
    QByteArray bmp("BM");
    auto put32 = [&bmp](quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp.append(char(v >> (8 * i)));
    };
    put32(54 + 16);
    put32(0);
    put32(54);
    put32(40);
    put32(30000);
    put32(30000);
    bmp.append("\x01\x00\x18\x00", 4); // one plane, 24 bits
    for (int i = 0; i < 6; ++i)
        put32(0);
    bmp.append(QByteArray(16, '\0'));
    test::writeBytes(dir.filePath("geant.bmp"), bmp);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(decodePicture(dir.filePath("geant.bmp"), QSize(100, 100)).isNull());
    QVERIFY(clock.elapsed() < 1000);
}

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
