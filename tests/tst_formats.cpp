// Numbers, text files, stored paths and colours: the rules every file format stands on.

#include "platform/Colors.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"
#include "support/Fakes.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

class FormatsTest : public QObject {
    Q_OBJECT
private slots:
    void lenientNumbers_data();
    void lenientNumbers();
    void strictNumbers();
    void roundingAndRanges();
    void cp1252RoundTripsEveryByte();
    void cp1252RefusesWhatItCannotHold();
    void lineEndings();
    void writtenFileIsCp1252WithCrLf();
    void unwritableTextLeavesFormerFileWhole();
    void fullOrReadOnlyDiskLeavesFormerFileWhole_data();
    void fullOrReadOnlyDiskLeavesFormerFileWhole();
    void savesNeverFollowLinksOutOfTheirDirectory();
    void hugeFilesAreRefusedUnread();
    void leftoversOfSavesAreTheOnlyFilesRemoved();
    void storedPathsFoundIgnoringCase();
    void storedPathsNeverLeaveTheirDirectory();
    void colours();
};

void FormatsTest::lenientNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "1500" << 1500.0;
    QTest::newRow("unit after") << "1500ms" << 1500.0;
    QTest::newRow("negative") << "-5" << -5.0;
    QTest::newRow("decimal point") << "2.5x" << 2.5;
    QTest::newRow("comma is not a decimal point") << "2,5" << 2.0;
    QTest::newRow("leading blanks") << "  42" << 42.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("dangling exponent") << "12e" << 12.0;
    QTest::newRow("system colour") << "-2147483643" << -2147483643.0;
}

void FormatsTest::lenientNumbers() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(parseLenientNumber(text), value);
}

void FormatsTest::strictNumbers() {
    QCOMPARE(parseStrictNumber("1024"), std::optional<double>(1024));
    QCOMPARE(parseStrictNumber(" -20 "), std::optional<double>(-20));
    QVERIFY(!parseStrictNumber("abc"));
    QVERIFY(!parseStrictNumber("12abc"));
    QVERIFY(!parseStrictNumber(""));
}

void FormatsTest::roundingAndRanges() {
    QCOMPARE(toInt16(2.5), std::optional<qint16>(2));
    QCOMPARE(toInt16(3.5), std::optional<qint16>(4));
    QCOMPARE(toInt16(-2.5), std::optional<qint16>(-2));
    QCOMPARE(toInt16(32767.4), std::optional<qint16>(32767));
    QVERIFY(!toInt16(32767.5)); // rounds to 32768
    QCOMPARE(toInt16(-32768), std::optional<qint16>(-32768));
    QVERIFY(!toInt16(40000));
    QCOMPARE(toInt32(-2147483643.0), std::optional<qint32>(-2147483643));
    QVERIFY(!toInt32(2147483648.0));
    QVERIFY(!toInt32(std::nan("")));
}

void FormatsTest::cp1252RoundTripsEveryByte() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeCp1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text[0x80], QChar(0x20AC));
    QCOMPARE(text[0xE9], QChar(u'é'));
    QCOMPARE(encodeCp1252(text), std::optional<QByteArray>(all));
}

void FormatsTest::cp1252RefusesWhatItCannotHold() {
    QString bad;
    QVERIFY(!encodeCp1252(QStringLiteral("Ça va ? 😀 ő ő"), &bad));
    QCOMPARE(bad, QStringLiteral("😀ő"));
    QCOMPARE(encodeCp1252(QStringLiteral("accès œuf €"), &bad),
             std::optional<QByteArray>(QByteArray("acc\xE8s \x9C"
                                                  "uf \x80")));
    QVERIFY(bad.isEmpty());
}

void FormatsTest::lineEndings() {
    QCOMPARE(splitLines("a\r\nb\r\n"), QStringList({"a", "b"}));
    QCOMPARE(splitLines("a\nb"), QStringList({"a", "b"}));
    QCOMPARE(splitLines("a\rb\r\n\r\nc"), QStringList({"a", "b", "", "c"}));
    QCOMPARE(splitLines(""), QStringList());
    QCOMPARE(splitLines("\r\n"), QStringList({""}));
}

void FormatsTest::writtenFileIsCp1252WithCrLf() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    QVERIFY(writeTextLines(path, {QStringLiteral("accès=défilement"), QString()}).ok);
    QCOMPARE(test::fileBytes(path), QByteArray("acc\xE8s=d\xE9"
                                               "filement\r\n\r\n"));
    const TextReadResult back = readTextLines(path);
    QVERIFY(back.ok);
    QCOMPARE(back.lines, QStringList({QStringLiteral("accès=défilement"), QString()}));
}

void FormatsTest::unwritableTextLeavesFormerFileWhole() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    test::writeBytes(path, "former\r\n");
    const TextWriteResult r = writeTextLines(path, {QStringLiteral("Bonjour 😀")});
    QVERIFY(!r.ok);
    QVERIFY(r.error.contains(QStringLiteral("😀")));
    QCOMPARE(test::fileBytes(path), QByteArray("former\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"t.txt"}));

    const TextWriteResult nowhere = writeTextLines(dir.filePath("missing/t.txt"), {"x"});
    QVERIFY(!nowhere.ok);
    QVERIFY(nowhere.error.contains(QStringLiteral("''t.txt''")));
}

void FormatsTest::fullOrReadOnlyDiskLeavesFormerFileWhole_data() {
    QTest::addColumn<bool>("full");
    QTest::newRow("full") << true;
    QTest::newRow("read-only") << false;
}

void FormatsTest::fullOrReadOnlyDiskLeavesFormerFileWhole() {
    QFETCH(bool, full);
    test::SmallDisk disk("64k");
    if (!disk.mounted())
        QSKIP("mounting a small file system needs root");
    const QString page = disk.path("page_départ.dat");
    const QByteArray former = "couleur_page=0\r\np.jpg,Bonjour,0,0,100,100\r\n";
    test::writeBytes(page, former);
    QVERIFY(full ? disk.fill() : disk.makeReadOnly());
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines << QStringLiteral("p.jpg,Une phrase assez longue pour ne pas tenir,0,0,100,100");
    const TextWriteResult r = writeTextLines(page, lines);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains("n'a pas pu être enregistré"), qPrintable(r.error));
    QVERIFY2(r.error.contains(full ? "le disque est plein" : "le disque est en lecture seule"),
             qPrintable(r.error));
    QCOMPARE(test::fileBytes(page), former);
    QDir d(QFileInfo(page).path());
    QCOMPARE(d.entryList({"page_*"}, QDir::Files), QStringList({"page_départ.dat"}));
}

void FormatsTest::savesNeverFollowLinksOutOfTheirDirectory() {
    QTemporaryDir program, elsewhere;
    const QString pages = program.filePath("pages");
    QVERIFY(QDir().mkpath(pages));
    const QString outside = elsewhere.filePath("page_x.dat");
    test::writeBytes(outside, "outside\r\n");
    QVERIFY(QFile::link(outside, pages + "/page_départ.dat"));
    QVERIFY(QFile::link(elsewhere.path(), pages + "/sous"));
    for (const QString &name :
         {QStringLiteral("page_départ.dat"), QStringLiteral("sous/page_x.dat"),
          QStringLiteral("sous/page_neuve.dat")}) {
        const TextWriteResult r = writeTextLines(pages + "/" + name, {"couleur_page=0"}, pages);
        QVERIFY2(!r.ok, qPrintable(name));
        QVERIFY(r.error.contains("hors du répertoire ''pages''"));
    }
    QCOMPARE(test::fileBytes(outside), QByteArray("outside\r\n"));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList({"page_x.dat"}));
    // A link that stays inside keeps being a link; the page it names is written.
    test::writeBytes(pages + "/page_vraie.dat", "old\r\n");
    QVERIFY(QFile::link(pages + "/page_vraie.dat", pages + "/page_lien.dat"));
    QVERIFY(writeTextLines(pages + "/page_lien.dat", {"new"}, pages).ok);
    QVERIFY(QFileInfo(pages + "/page_lien.dat").isSymLink());
    QCOMPARE(test::fileBytes(pages + "/page_vraie.dat"), QByteArray("new\r\n"));
    // And the settings beside the program.
    QVERIFY(QFile::link(outside, program.filePath("Tablavox2.cfg")));
    QVERIFY(!writeTextLines(program.filePath("Tablavox2.cfg"), {"x"}, program.path()).ok);
    QCOMPARE(test::fileBytes(outside), QByteArray("outside\r\n"));
    // A directory removed meanwhile is missing, not a way out.
    QVERIFY(QDir(pages).removeRecursively());
    const TextWriteResult gone = writeTextLines(pages + "/page_départ.dat", {"x"}, pages);
    QCOMPARE(gone.error, QStringLiteral("Le fichier ''page_départ.dat'' n'a pas pu être "
                                        "enregistré : le répertoire ''pages'' n'existe pas."));
}

void FormatsTest::hugeFilesAreRefusedUnread() {
    QTemporaryDir dir;
    const QString huge = dir.filePath("page_énorme.dat");
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(100 * 1024 * 1024)); // a hundred megabytes of NUL, sparse
    }
    for (const QString &path : {huge, QStringLiteral("/dev/zero")}) {
        const TextReadResult r = readTextLines(path);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains("trop grand"), qPrintable(r.error));
        QVERIFY(r.lines.isEmpty());
    }
    test::writeBytes(dir.filePath("juste.dat"), QByteArray(kMaxTextFileBytes, 'a'));
    QVERIFY(readTextLines(dir.filePath("juste.dat")).ok);
    // A name quoted in a message never stretches it beyond reading.
    const QString longName(1'000'000, u'x');
    QVERIFY(shortenedForMessage(longName).size() <= 80);
    QCOMPARE(shortenedForMessage("page_a.dat"), QStringLiteral("page_a.dat"));
}

void FormatsTest::leftoversOfSavesAreTheOnlyFilesRemoved() {
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("pages/sous")));
    const QStringList leftovers = {"Tablavox2.cfg.a1B2c3", "pages/page_départ.dat.Xy12Zw",
                                   "pages/sous/page_b.dat.000000"};
    const QStringList kept = {"Tablavox2.cfg",          "Tablavox2.cfg.bak",
                              "notes.txt.a1B2c3",       "pages/page_départ.dat",
                              "pages/autre.dat.Xy12Zw", "pages/page_c.dat.abc"};
    for (const QString &name : leftovers + kept)
        test::writeBytes(dir.filePath(name), "x");
    QCOMPARE(removeLeftoversOfSaves(dir.path(), false), 1);
    QCOMPARE(removeLeftoversOfSaves(dir.filePath("pages"), true), 2);
    for (const QString &name : leftovers)
        QVERIFY2(!QFile::exists(dir.filePath(name)), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(QFile::exists(dir.filePath(name)), qPrintable(name));
}

void FormatsTest::storedPathsFoundIgnoringCase() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Animaux/Ferme");
    test::writeBytes(dir.filePath("Animaux/Ferme/Vache.JPG"), "x");
    test::writeBytes(dir.filePath("Élan.jpg"), "x");
    const QString base = dir.path();
    QCOMPARE(resolveStoredPath(base, "Animaux\\Ferme\\Vache.JPG"),
             std::optional<QString>(base + "/Animaux/Ferme/Vache.JPG"));
    QCOMPARE(resolveStoredPath(base, "animaux\\ferme\\vache.jpg"),
             std::optional<QString>(base + "/Animaux/Ferme/Vache.JPG"));
    QCOMPARE(resolveStoredPath(base, QStringLiteral("élan.jpg")),
             std::optional<QString>(base + QStringLiteral("/Élan.jpg")));
    // Not found at all: the path as written, so the caller can name it.
    QCOMPARE(resolveStoredPath(base, "animaux\\chat.jpg"),
             std::optional<QString>(base + "/Animaux/chat.jpg"));
}

void FormatsTest::storedPathsNeverLeaveTheirDirectory() {
    for (const char *outside : {"..\\Tablavox2.cfg", "a\\..\\..\\x.jpg", "\\etc\\passwd",
                                "/etc/passwd", "C:\\x.jpg", "c:x.jpg"}) {
        QVERIFY2(!isContainedStoredPath(outside), outside);
        QVERIFY2(!resolveStoredPath("/tmp", outside), outside);
    }
    QVERIFY(isContainedStoredPath("sous\\page_x.dat"));
    QVERIFY(isContainedStoredPath("..x.jpg"));
}

void FormatsTest::colours() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    QCOMPARE(colorFromValue(255, palette), QColor(255, 0, 0));
    QCOMPARE(colorFromValue(9998670, palette), QColor(78, 145, 152));
    QCOMPARE(colorFromValue(kSystemWindowColor, palette), QColor(1, 2, 3));
    QCOMPARE(kSystemWindowColor, -2147483643);
    QCOMPARE(valueFromColor(QColor(78, 145, 152)), 9998670);
}

QTEST_MAIN(FormatsTest)
#include "tst_formats.moc"
