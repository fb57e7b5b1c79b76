// Page files (golden round trips and the reading rules), loading a page onto the main window,
// and its pictures through the memory and disk caches.

#include "page/DiskPictureCache.h"
#include "page/PageFile.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "platform/Cp1252.h"
#include "platform/TextFile.h"
#include "print/PrintedBoards.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/PageFixture.h"

#include <QtTest>
#include <QtWidgets>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tv;

namespace {

const TwipsPerPixel kTpp{15, 15};
const QString kGolden = QStringLiteral(TABLAVOX_TEST_DATA "/pages/");

bool onlyCatsExist(const QString &file) {
    return file == "chat.jpg" || file == "son.jpg" || file == "animaux\\vache.jpg";
}

QImage square(QColor color, int size = 64) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

bool sameColor(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 &&
           qAbs(a.blue() - b.blue()) < 8;
}

// The shared page fixture with more pictures, written pages in CR LF, and the fatal signal.
struct Screen : test::PageFixture {
    QSignalSpy fatal{&loader, &PageLoader::fatalError};

    Screen() {
        QDir(dir.path()).mkpath("pages/sous");
        QDir(dir.path()).mkpath("multimedia/Animaux");
        square(Qt::red).save(path("multimedia/rouge.jpg"));
        square(Qt::blue).save(path("multimedia/Animaux/Bleu.JPG"));
        square(Qt::green).save(path("multimedia/vert.bmp"));
        test::writeBytes(path("multimedia/abime.jpg"), "ceci n'est pas une image");
    }
    void load(const QString &name, const QString &text = {}) {
        if (!text.isEmpty())
            test::writeBytes(path("pages/" + name),
                             *encodeCp1252(QString(text).replace("\n", "\r\n")));
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
    QList<int> shown() const {
        QList<int> list;
        for (int n = 1; n <= kMaxImages; ++n)
            if (window.img(n) && !window.img(n)->isHidden())
                list << n;
        return list;
    }
    // The colour of picture n's middle once decoded; invalid when not shown.
    QColor colorOf(int n) {
        if (!QTest::qWaitFor([&] { return loader.picturesPending() == 0; }, 10000))
            return {};
        const PictureControl *control = window.pictureAt(n);
        if (!control || control->isHidden() || control->picture().isNull())
            return {};
        return control->picture().pixelColor(control->picture().rect().center());
    }
};

// Writes `image` over the file in place (same inode), then gives it back its former
// modification time: only the change time and the content tell the versions apart.
void overwriteKeepingDate(const QString &path, const QImage &image) {
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), before.st_size);
    file.close();
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void goldenRoundTrips_data() {
        QTest::addColumn<QString>("name");
        for (const char *n : {"basic", "gaps", "comma", "extra", "nocolor", "missing"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }

    void goldenRoundTrips() {
        QFETCH(QString, name);
        const ParsedPage parsed =
            parsePage(readTextLines(kGolden + name + ".dat").lines, onlyCatsExist, kTpp);
        QVERIFY2(parsed.ok, qPrintable(parsed.failure));
        PageModel page;
        page.pageColor = parsed.pageColor.value_or(7);
        for (const PageEntry &e : parsed.entries)
            page.imageTable[std::size_t(e.index)] = parsed.records[std::size_t(e.index)];
        QTemporaryDir dir;
        QVERIFY(writeTextLines(dir.filePath("page.dat"), formatPage(page, kTpp)).ok);
        const QString expected = kGolden + name + ".expected.dat";
        QCOMPARE(test::fileBytes(dir.filePath("page.dat")),
                 test::fileBytes(QFile::exists(expected) ? expected : kGolden + name + ".dat"));
    }

    void readingRules() {
        // Places round down to pixels on saving; a line without a picture is not written.
        PageModel page;
        page.pageColor = 1;
        page.imageTable[1] = {"a.jpg", "x", 100, -100, 1616, 15};
        page.imageTable[2] = {"", "action sans image", 1, 1, 1, 1};
        QCOMPARE(formatPage(page, kTpp), QStringList({"couleur_page=1", "a.jpg,x,6,-7,107,1"}));
        const ParsedPage back =
            parsePage({"couleur_page=1", "a.jpg,x,6,-7,107,1"}, onlyCatsExist, kTpp);
        QCOMPARE(back.records[1], (ImageRecord{"a.jpg", "x", 90, -105, 1605, 15}));
        QCOMPARE(back.entries[0].state, PictureState::Missing); // kept whole all the same
        const QList<std::pair<QStringList, int>> failures = {
            {{"couleur_page=1", "chat.jpg,Bonjour"}, 2},
            {{"couleur_page=1", "chat.jpg,a,1,1,2185,1"}, 2}, // beyond 16 bits in twips
            {{"couleur_page=99999999999"}, 1}};
        for (const auto &[text, line] : failures) {
            const ParsedPage parsed = parsePage(text, onlyCatsExist, kTpp);
            QVERIFY(!parsed.ok && !parsed.failure.isEmpty());
            QCOMPARE(parsed.failedLine, line);
        }
    }

    void aPictureThatClaimsTooManyPixelsIsRefusedFromItsHeader() {
        QTemporaryDir dir;
        test::writeBytes(dir.filePath("geant.bmp"), // 30000 × 30000 pixels
                         QByteArray::fromHex("424d4600000000000000360000002800000030750000"
                                             "3075000001001800") +
                             QByteArray(40, '\0'));
        QVERIFY(decodePicture(dir.filePath("geant.bmp"), QSize(100, 100)).isNull());
    }

    void loadShowsPicturesInTwipsAndKeepsWhatItCannotShow() {
        Screen s;
        s.load("page_départ.dat", "couleur_page=65280\nrouge.jpg,Bonjour, maman,10,20,100,80\n"
                                  "\nanimaux\\bleu.jpg,page_ferme.dat,120,20,101,80\n");
        QCOMPARE(s.shown(), QList<int>({1, 3}));
        PictureControl *red = s.window.img(1);
        QCOMPARE(red->twipsRect(), QRect(150, 300, 1500, 1200));
        QCOMPARE(red->geometry(), QRect(10, 20, 100, 80));
        QVERIFY(sameColor(s.colorOf(1), Qt::red) && sameColor(s.colorOf(3), Qt::blue));
        QCOMPARE(s.window.backgroundColorValue(), 65280);
        // Exact twips survive in the controls; only drawing rounds.
        red->setTwipsGeometry(1616, 1616, 1616, 1616);
        QCOMPARE(red->leftTwips(), 1616);
        QCOMPARE(red->geometry(), QRect(108, 108, 108, 108));

        // Missing, unreadable or outside: each said, none shown, all saved as they were.
        const QString text =
            "couleur_page=1\nabsent.jpg,Bonjour,5,5,50,50\nabime.jpg,Au revoir,6,6,60,60\n"
            "vert.bmp,ok,1,1,10,10\n..\\..\\etc\\x.jpg,y,1,1,1,1\n";
        s.load("page_a.dat", text);
        QCOMPARE(s.messages(),
                 QStringList({"L'image ''absent.jpg'' n'existe pas",
                              "L'image ''abime.jpg'' ne peut pas être affichée : le fichier n'est "
                              "pas une image lisible",
                              "L'image ''..\\..\\etc\\x.jpg'' est en dehors du répertoire "
                              "''multimedia'' : elle n'est pas affichée"}));
        QCOMPARE(s.shown(), QList<int>({3}));
        QCOMPARE(s.state.page.imageCount, qint16(4));
        QVERIFY(s.loader.savePage());
        QCOMPARE(test::fileBytes(s.path("pages/page_a.dat")),
                 QString(text).replace("\n", "\r\n").toLatin1());
    }

    void missingPagesAndNamesInOtherCase() {
        Screen s;
        s.load("sous/page_maison.dat", "couleur_page=3\nrouge.jpg,a,1,1,10,10\n");
        s.load("Sous\\Page_Maison.dat");
        QCOMPARE(s.state.page.currentPage, QStringLiteral("sous\\page_maison.dat"));
        s.state.page.pageColor = 4;
        QVERIFY(s.loader.savePage());
        QCOMPARE(test::fileBytes(s.path("pages/sous/page_maison.dat")),
                 QByteArray("couleur_page=4\r\nrouge.jpg,a,1,1,10,10\r\n"));
        // A missing page empties the window; saving then creates it with its colour line.
        s.load("Page_Absente.dat");
        QCOMPARE(s.messages(), QStringList({"La page ''page_absente.dat'' n'existe pas"}));
        QVERIFY(s.shown().isEmpty());
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Tablavox -::- sous\\page_maison.dat"));
        QVERIFY(s.loader.savePage());
        QCOMPARE(test::fileBytes(s.path("pages/page_absente.dat")),
                 QByteArray("couleur_page=4\r\n"));
        // Never outside the pages directory, to read or to write.
        for (const char *outside : {"..\\Tablavox2.cfg", "c:\\page.dat", "\\tmp\\page.dat"}) {
            s.state.page.currentPage = outside;
            QVERIFY(!s.loader.savePage());
        }
        QVERIFY(!QFile::exists(s.path("Tablavox2.cfg")));
    }

    void fiftyPicturesLoadAndADamagedPageIsNotShown() {
        Screen s;
        QString fifty = "couleur_page=1";
        for (int i = 0; i < 50; ++i)
            fifty += QString("\nrouge.jpg,%1,%2,%3,20,20").arg(i).arg(i % 10 * 22).arg(i / 10 * 22);
        s.load("page_50.dat", fifty);
        QCOMPARE(s.shown().size(), 50);
        // A 51st picture, or a line of two fields: told, and the page shown stays whole under
        // its own name; the damaged file is never written over.
        s.state.page.pageModified = true;
        for (const QString &damaged :
             {fifty + "\nrouge.jpg,trop,1,1,1,1", QString("rouge.jpg,a")}) {
            s.load("page_abimee.dat", damaged);
            QCOMPARE(s.shown().size(), 50);
            QCOMPARE(s.state.page.currentPage, QStringLiteral("page_50.dat"));
            QVERIFY(s.state.page.pageModified);
        }
        QCOMPARE(s.messages(),
                 QStringList({"Erreur : la page ''page_abimee.dat'' ne peut pas être lue (ligne 52 "
                              ": une page ne peut pas avoir plus de 50 images)",
                              "Erreur : la page ''page_abimee.dat'' ne peut pas être lue (ligne 1 "
                              ": la ligne a moins de six champs)"}));
        QCOMPARE(s.fatal.count(), 0);
        // Only a pages directory gone ends the program.
        QDir(s.path("pages")).removeRecursively();
        s.load("page_50.dat");
        QCOMPARE(s.fatal.count(), 1);
        QVERIFY(s.messages().last().startsWith("Erreur : le répertoire ''pages'' n'existe pas"));
    }

    void pageSoundClearingAndAFailedSave() {
        Screen s;
        s.state.settings.pageSoundOn = true;
        s.state.settings.pageSoundNumber = 7;
        s.load("page_a.dat", "couleur_page=1\nrouge.jpg,a,1,1,10,10\nrouge.jpg,b,1,1,10,10\n");
        s.load("page_absente.dat");
        s.load("page_a.dat");
        QCOMPARE(s.fakes.sounds.played, QList<QByteArray>(2, PageSounds::storedSound(7)));
        // A save that fails keeps the former file and the page's modified mark.
        const QByteArray before = test::fileBytes(s.path("pages/page_a.dat"));
        s.state.page.imageTable[1].imageAction = QStringLiteral("Bonjour 😀");
        s.state.page.pageModified = true;
        QVERIFY(!s.loader.savePage());
        QVERIFY(s.state.page.pageModified);
        QCOMPARE(test::fileBytes(s.path("pages/page_a.dat")), before);
        QVERIFY(s.messages().last().startsWith("La page ''page_a.dat'' n'a pas été enregistrée."));
    }

    void windowPlaces_data() {
        QTest::addColumn<QStringList>("row");
        for (const QStringList &row : test::caseTable("window_places.tsv"))
            QTest::newRow(qPrintable(row[0])) << row;
    }

    void windowPlaces() {
        QFETCH(QStringList, row);
        QList<QList<double>> r;
        for (const QString &rect : row) {
            r << QList<double>();
            for (const QString &n : rect.split(u','))
                r.last() << n.toDouble();
        }
        const auto rect = [&](int i) { return QRect(r[i][0], r[i][1], r[i][2], r[i][3]); };
        const QRect screen(0, 0, 1280, 1000);
        QCOMPARE(heldToScreen(r[0][0], r[0][1], r[0][2], r[0][3], screen), rect(1));
        QCOMPARE(grownOnScreen(rect(1), 132, screen), rect(2));
    }

    void diskCacheKeysTellVersionsAndSizesApart() {
        QTemporaryDir dir;
        DiskPictureCache disk(dir.filePath("cache"));
        const FileStamp stamp{1000, 11, 12, 13};
        disk.store("/a/p.jpg", stamp, QSize(40, 30), square(Qt::red, 40));
        QCOMPARE(disk.find("/a/p.jpg", stamp, QSize(40, 30)).pixelColor(1, 1), QColor(Qt::red));
        QVERIFY(disk.find("/a/p.jpg", stamp, QSize(40, 31)).isNull());
        QVERIFY(disk.find("/a/P.jpg", stamp, QSize(40, 30)).isNull());
        // Another version of the file is another file: its pictures go.
        disk.store("/a/p.jpg", stamp, QSize(80, 60), square(Qt::blue, 80));
        QVERIFY(disk.find("/a/p.jpg", FileStamp{1000, 11, 12, 99}, QSize(40, 30)).isNull());
        QCOMPARE(disk.bytes(), 0);
    }

    void damagedCacheFilesAreDecodedAgain_data() {
        QTest::addColumn<int>("cutAt"); // -1: not cut
        QTest::addColumn<int>("flipAt");
        QTest::newRow("empty") << 0 << -1;
        QTest::newRow("cut in the header") << 20 << -1;
        QTest::newRow("cut in the pixels") << 200 << -1;
        QTest::newRow("one byte short") << -2 << -1;
        QTest::newRow("magic changed") << -1 << 0;
        QTest::newRow("height changed") << -1 << 12;
        QTest::newRow("a pixel changed") << -1 << -100;
    }

    void damagedCacheFilesAreDecodedAgain() {
        QFETCH(int, cutAt);
        QFETCH(int, flipAt);
        Screen s;
        QTemporaryDir cacheDir;
        DiskPictureCache disk(cacheDir.path());
        s.cache.setDisk(&disk);
        s.load("page_a.dat", "couleur_page=1\np.jpg,a,0,0,20,20\n");
        const QString picture = s.path("multimedia/p.jpg");
        const QString stored = disk.fileFor(picture, QSize(20, 20));
        QByteArray bytes = test::fileBytes(stored);
        QVERIFY(bytes.size() > 1600);
        if (cutAt != -1)
            bytes.truncate(cutAt >= 0 ? cutAt : bytes.size() + cutAt + 1);
        if (flipAt != -1)
            bytes[flipAt >= 0 ? flipAt : bytes.size() + flipAt] ^= 0x5a;
        test::writeBytes(stored, bytes);
        // A fresh start: nothing in memory, the damaged file on disk.
        PictureCache fresh;
        fresh.setDisk(&disk);
        QVERIFY(sameColor(fresh.load(picture, QSize(20, 20)).pixelColor(10, 10), Qt::red));
        QVERIFY(test::fileBytes(stored).size() > 1600); // written whole again
        QVERIFY(!disk.find(picture, stampOf(picture), QSize(20, 20)).isNull());
    }

    void replacedPictureNeverShowsTheOld() {
        Screen s;
        QTemporaryDir cacheDir;
        DiskPictureCache disk(cacheDir.path());
        s.cache.setDisk(&disk);
        const QString picture = s.path("multimedia/c.bmp");
        QVERIFY(square(Qt::red).save(picture));
        s.load("page_a.dat", "couleur_page=1\nc.bmp,a,0,0,20,20\n");
        QVERIFY(sameColor(s.colorOf(1), Qt::red));
        // Same name, same length, same date: in this run (memory) and after a restart (disk).
        overwriteKeepingDate(picture, square(Qt::blue));
        s.loader.loadPage();
        QVERIFY(sameColor(s.colorOf(1), Qt::blue));
        overwriteKeepingDate(picture, square(Qt::green));
        Screen restarted;
        restarted.cache.setDisk(&disk);
        restarted.state.paths.dataDirectory = s.dir.path();
        restarted.load("page_a.dat");
        QVERIFY(sameColor(restarted.colorOf(1), Qt::green));
        // Replaced by another file moved over it.
        QVERIFY(square(Qt::yellow).save(s.path("multimedia/other.bmp")));
        QVERIFY(::rename(QFile::encodeName(s.path("multimedia/other.bmp")),
                         QFile::encodeName(picture)) == 0);
        restarted.loader.loadPage();
        QVERIFY(sameColor(restarted.colorOf(1), Qt::yellow));
    }

    void pageAppearsAtOnceAndItsPicturesFollow() {
        Screen s;
        const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        QString page = "couleur_page=1\n";
        for (int i = 0; i < 4; ++i) {
            QVERIFY(
                square(colors[i], 1500).save(s.path(QStringLiteral("multimedia/%1.png").arg(i))));
            page += QStringLiteral("%1.png,phrase %1,%2,0,40,40\n").arg(i).arg(i * 50);
        }
        QSignalSpy pressed(&s.window, &MainWindow::picturePressed);
        s.loadPageA(page.replace("\n", "\r\n").toLatin1());
        // Back from the load: every picture is in its place and acts, drawn or not.
        QCOMPARE(s.loader.picturesPending(), 4);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(s.window.pictureAt(i)->isVisibleTo(&s.window) &&
                    s.window.pictureAt(i)->isPending());
        QTest::mouseClick(s.window.pictureAt(2), Qt::LeftButton);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed[0][0].toInt(), 2);
        // Another page before they are decoded: its own pictures, never the former ones.
        s.loadPageA("couleur_page=1\r\n3.png,a,0,0,40,40\r\n2.png,b,50,0,40,40\r\n");
        QVERIFY(sameColor(s.colorOf(1), Qt::yellow) && sameColor(s.colorOf(2), Qt::blue));
        QVERIFY(s.window.pictureAt(3) == nullptr);
        // Made larger, a picture is decoded again; made smaller, it keeps the sharper one.
        PictureControl *control = s.window.pictureAt(1);
        control->setTwipsGeometry(0, 0, 3000, 3000);
        QCOMPARE(control->picture().size(), QSize(200, 200));
        control->setTwipsGeometry(0, 0, 300, 300);
        QCOMPARE(control->picture().size(), QSize(200, 200));
    }

    void theStarterSetAsBuiltIsWholeAndKeepsItsCoreWordsInPlace() {
        // The set the build made, read as the program reads it: every picture there.
        const QString root = QStringLiteral(TABLAVOX_BIN_DIR), set = "premiers_mots\\";
        QStringList names;
        for (const QString &file : QDir(root + "/pages/premiers_mots").entryList({"page_*.dat"}))
            names << set + file;
        QMap<QString, std::vector<PrintedPicture>> pages;
        for (const PrintedBoard &b :
             collectBoards({root + "/pages", root + "/multimedia", kTpp}, names)) {
            QVERIFY2(b.readable(), qPrintable(b.stored + b.failure));
            for (const PrintedPicture &p : b.pictures)
                QVERIFY2(!p.imagePath.isEmpty(), qPrintable(p.imageFile));
            pages[b.stored] = b.pictures;
        }
        QCOMPARE(pages.size(), 10);
        const std::vector<PrintedPicture> core = pages.take(set + "page_premiers_mots.dat");
        QCOMPARE(core.size(), std::size_t(48));
        QSet<QString> linked;
        for (const PrintedPicture &p : core)
            if (p.action.endsWith(".dat"))
                linked << p.action;
        QCOMPARE(linked, QSet<QString>(pages.keyBegin(), pages.keyEnd()));
        for (auto page = pages.cbegin(); page != pages.cend(); ++page) {
            QVERIFY2(page->size() >= 15 + 13 && page->size() <= 50, qPrintable(page.key()));
            int wayBack = 0, coreWords = 0;
            for (const PrintedPicture &p : *page) {
                wayBack += p.action == set + "page_premiers_mots.dat";
                // A core word stands where it stands on the core page.
                for (const PrintedPicture &c : core)
                    if (c.imageFile == p.imageFile && ++coreWords)
                        QVERIFY2(c.twips.topLeft() == p.twips.topLeft(), qPrintable(p.imageFile));
            }
            QCOMPARE(wayBack, 1);
            QVERIFY(coreWords >= 12);
        }
    }
};

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
