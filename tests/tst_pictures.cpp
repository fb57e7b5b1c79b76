// Pictures of a page: the memory and disk caches, and pages that appear before their
// pictures are decoded.

#include "page/DiskPictureCache.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "support/PageFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tv;

namespace {

QImage square(QColor color, int size = 64) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Waits for the page's pictures; the colour of picture n's middle, invalid when not shown.
QColor shownColor(test::PageFixture &p, int n) {
    if (!QTest::qWaitFor([&] { return p.loader.picturesPending() == 0; }, 10000))
        return {};
    const PictureControl *control = p.window.pictureAt(n);
    if (!control || control->isHidden() || control->picture().isNull())
        return {};
    const QImage &image = control->picture();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool sameColor(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 &&
           qAbs(a.blue() - b.blue()) < 8;
}

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

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void keysTellVersionsAndSizesApart();
    void damagedCacheFilesAreDecodedAgain_data();
    void damagedCacheFilesAreDecodedAgain();
    void replacedPictureNeverShowsTheOld();
    void cacheThatCannotBeWrittenChangesNothing();
    void sizeBoundDropsTheLeastRecentlyUsed();
    void pageAppearsAtOnceAndItsPicturesFollow();
    void enlargedPictureIsDecodedAgain();
};

void PicturesTest::keysTellVersionsAndSizesApart() {
    QTemporaryDir dir;
    DiskPictureCache disk(dir.filePath("cache"));
    const FileStamp stamp{1000, 11, 12, 13};
    disk.store("/a/p.jpg", stamp, QSize(40, 30), square(Qt::red, 40));
    QCOMPARE(disk.find("/a/p.jpg", stamp, QSize(40, 30)).pixelColor(1, 1), QColor(Qt::red));
    QVERIFY(disk.find("/a/p.jpg", stamp, QSize(40, 31)).isNull());
    QVERIFY(disk.find("/a/P.jpg", stamp, QSize(40, 30)).isNull());
    disk.store("/a/p.jpg", stamp, QSize(80, 60), square(Qt::blue, 80));
    QCOMPARE(QDir(dir.filePath("cache")).entryList(QDir::Files).size(), 2);
    // Any part of the file's version that differs means another file: both sizes go.
    const FileStamp others[] = {
        {1001, 11, 12, 13}, {1000, 99, 12, 13}, {1000, 11, 99, 13}, {1000, 11, 12, 99}};
    for (const FileStamp &other : others) {
        disk.store("/a/p.jpg", stamp, QSize(40, 30), square(Qt::red, 40));
        disk.store("/a/p.jpg", stamp, QSize(80, 60), square(Qt::blue, 80));
        QVERIFY(disk.find("/a/p.jpg", other, QSize(40, 30)).isNull());
        QCOMPARE(QDir(dir.filePath("cache")).entryList(QDir::Files), QStringList());
        QCOMPARE(disk.bytes(), 0);
    }
}

void PicturesTest::damagedCacheFilesAreDecodedAgain_data() {
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

void PicturesTest::damagedCacheFilesAreDecodedAgain() {
    QFETCH(int, cutAt);
    QFETCH(int, flipAt);
    test::PageFixture p;
    QTemporaryDir cacheDir;
    DiskPictureCache disk(cacheDir.path());
    p.cache.setDisk(&disk);
    p.loadPageA("couleur_page=1\r\np.jpg,a,0,0,20,20\r\n");
    QVERIFY(sameColor(shownColor(p, 1), Qt::red));
    const QString stored = disk.fileFor(p.path("multimedia/p.jpg"), QSize(20, 20));
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
    const QImage image = fresh.load(p.path("multimedia/p.jpg"), QSize(20, 20));
    QVERIFY(sameColor(image.pixelColor(10, 10), Qt::red));
    QVERIFY(test::fileBytes(stored).size() > 1600); // written whole again
    QVERIFY(
        !disk.find(p.path("multimedia/p.jpg"), stampOf(p.path("multimedia/p.jpg")), QSize(20, 20))
             .isNull());
}

void PicturesTest::replacedPictureNeverShowsTheOld() {
    test::PageFixture p;
    QTemporaryDir cacheDir;
    DiskPictureCache disk(cacheDir.path());
    p.cache.setDisk(&disk);
    const QString picture = p.path("multimedia/c.bmp");
    QVERIFY(square(Qt::red).save(picture));
    p.loadPageA("couleur_page=1\r\nc.bmp,a,0,0,20,20\r\n");
    QVERIFY(sameColor(shownColor(p, 1), Qt::red));
    QVERIFY(!QDir(cacheDir.path()).entryList(QDir::Files).isEmpty());

    // Same name, same length, same date: in this run (memory) and after a restart (disk).
    overwriteKeepingDate(picture, square(Qt::blue));
    p.loader.loadPage();
    QVERIFY(sameColor(shownColor(p, 1), Qt::blue));
    overwriteKeepingDate(picture, square(Qt::green));
    test::PageFixture restarted;
    restarted.cache.setDisk(&disk);
    restarted.state.paths.programDirectory = p.dir.path();
    restarted.state.page.currentPage = "page_a.dat";
    restarted.loader.loadPage();
    QVERIFY(sameColor(shownColor(restarted, 1), Qt::green));
    // Replaced by another file moved over it.
    const QString other = p.path("multimedia/other.bmp");
    QVERIFY(square(Qt::yellow).save(other));
    QVERIFY(::rename(QFile::encodeName(other), QFile::encodeName(picture)) == 0);
    restarted.loader.loadPage();
    QVERIFY(sameColor(shownColor(restarted, 1), Qt::yellow));
}

void PicturesTest::cacheThatCannotBeWrittenChangesNothing() {
    test::PageFixture p;
    test::writeBytes(p.path("a file"), "x");
    DiskPictureCache disk(p.path("a file/images")); // its parent is a file
    p.cache.setDisk(&disk);
    p.loadPageA("couleur_page=1\r\np.jpg,a,0,0,20,20\r\n");
    QVERIFY(sameColor(shownColor(p, 1), Qt::red));
    QCOMPARE(test::fileBytes(p.path("a file")), QByteArray("x"));
    QCOMPARE(p.fakes.dialogs.messages.size(), 0);
}

void PicturesTest::sizeBoundDropsTheLeastRecentlyUsed() {
    QTemporaryDir dir;
    const qint64 one = 64 * 64 * 4 + 200; // a 64 x 64 picture and its header, about
    DiskPictureCache disk(dir.path(), 4 * one);
    const FileStamp stamp{1, 2, 3, 4};
    const auto name = [](int i) { return QStringLiteral("/p%1.png").arg(i); };
    for (int i = 0; i < 4; ++i) {
        disk.store(name(i), stamp, QSize(64, 64), square(Qt::red));
        // Dates a second apart, in the order written.
        QFile file(disk.fileFor(name(i), QSize(64, 64)));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(i - 100),
                         QFileDevice::FileModificationTime);
    }
    QVERIFY(!disk.find(name(0), stamp, QSize(64, 64)).isNull()); // the oldest, used again
    disk.store(name(4), stamp, QSize(64, 64), square(Qt::red));
    QVERIFY(disk.bytes() <= 4 * one);
    QVERIFY(!disk.find(name(0), stamp, QSize(64, 64)).isNull());
    QVERIFY(disk.find(name(1), stamp, QSize(64, 64)).isNull());
    QVERIFY(!disk.find(name(4), stamp, QSize(64, 64)).isNull());
}

void PicturesTest::pageAppearsAtOnceAndItsPicturesFollow() {
    test::PageFixture p;
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QByteArray page = "couleur_page=1\r\n";
    for (int i = 0; i < 4; ++i) {
        QVERIFY(square(colors[i], 1500).save(p.path(QStringLiteral("multimedia/%1.png").arg(i))));
        page += QStringLiteral("%1.png,phrase %1,%2,0,40,40\r\n").arg(i).arg(i * 50).toLatin1();
    }
    QSignalSpy pressed(&p.window, &MainWindow::picturePressed);
    p.loadPageA(page);
    // Back from the load: every picture is in its place and acts, drawn or not.
    QCOMPARE(p.loader.picturesPending(), 4);
    for (int i = 1; i <= 4; ++i) {
        QVERIFY(p.window.pictureAt(i)->isVisibleTo(&p.window));
        QVERIFY(p.window.pictureAt(i)->isPending());
    }
    QTest::mouseClick(p.window.pictureAt(2), Qt::LeftButton);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed[0][0].toInt(), 2);

    // Another page before they are decoded: its own pictures, never the former ones.
    p.loadPageA("couleur_page=1\r\n3.png,a,0,0,40,40\r\n2.png,b,50,0,40,40\r\n");
    QVERIFY(sameColor(shownColor(p, 1), Qt::yellow));
    QVERIFY(sameColor(shownColor(p, 2), Qt::blue));
    QVERIFY(p.window.pictureAt(3) == nullptr);
    // Shown again: straight from memory, nothing left to decode.
    QSignalSpy shown(&p.loader, &PageLoader::picturesShown);
    p.loader.loadPage();
    QCOMPARE(p.loader.picturesPending(), 0);
    QCOMPARE(shown.count(), 1);
    QVERIFY(sameColor(p.window.pictureAt(1)->picture().pixelColor(5, 5), Qt::yellow));
}

void PicturesTest::enlargedPictureIsDecodedAgain() {
    test::PageFixture p;
    QVERIFY(square(Qt::red, 400).save(p.path("multimedia/grande.png")));
    p.loadPageA("couleur_page=1\r\ngrande.png,a,0,0,40,40\r\n");
    QVERIFY(sameColor(shownColor(p, 1), Qt::red));
    PictureControl *control = p.window.pictureAt(1);
    QCOMPARE(control->picture().size(), QSize(40, 40));
    control->setTwipsGeometry(0, 0, 3000, 3000);
    QCOMPARE(control->picture().size(), QSize(200, 200));
    control->setTwipsGeometry(0, 0, 300, 300);
    QCOMPARE(control->picture().size(), QSize(200, 200)); // shrinking keeps the sharper one
}

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
