// The rules every stored file stands on (numbers, Windows-1252 text, safe writes, stored
// paths, colours) and the configuration file read, written and recovered.

#include "app/SettingsStore.h"
#include "model/AppState.h"
#include "model/SettingKeys.h"
#include "model/Settings.h"
#include "platform/Colors.h"
#include "platform/Cp1252.h"
#include "platform/Numbers.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/ServiceDoubles.h"

#include <QDir>
#include <QtTest>

using namespace tv;

namespace {

const TwipsPerPixel kTpp{15, 15};
const QString kData = QStringLiteral(TABLAVOX_TEST_DATA "/settings/");

SettingsReadOutcome parse(const QString &text, const Settings &previous = {}) {
    return parseSettings(splitLines(text), previous, kTpp);
}

// What a reading gives, in one line a table row can name a part of.
QString summary(const SettingsReadOutcome &r) {
    const Settings &s = r.settings;
    return QStringLiteral("delay=%1 access=%2 video=%3 sound=%4,%5 blink=%6 bg=%7 thick=%8 "
                          "bar=%9 say=%10 bounds=%11-%12 win=%13,%14,%15,%16 page=%17 frame=%18 "
                          "border=%19 dwell=%20,%21,%22 lock=%23,%24 genre=%25 "
                          "prediction=%26,%27,%28 ")
        .arg(s.scanDelay)
        .arg(s.accessMode)
        .arg(s.videoWidth)
        .arg(s.pageSoundOn ? "oui" : "non")
        .arg(s.pageSoundNumber)
        .arg(s.frameBlink)
        .arg(qint64(s.backgroundColor))
        .arg(s.frameThickness)
        .arg(s.sentenceBar)
        .arg(s.sayEachPhrase)
        .arg(s.switches.adaptiveMinMs)
        .arg(s.switches.adaptiveMaxMs)
        .arg(s.windowLeft)
        .arg(s.windowTop)
        .arg(s.windowWidth)
        .arg(s.windowHeight)
        .arg(r.pageColorRead ? QString::number(r.pageColor) : QString("-"))
        .arg(s.frameColor)
        .arg(r.frameBorderColor ? QString::number(*r.frameBorderColor) : QString("-"))
        .arg(s.dwell.delayMs)
        .arg(s.dwell.tolerancePx)
        .arg(s.dwell.repeat)
        .arg(s.locked)
        .arg(s.fullScreen)
        .arg(s.personGender)
        .arg(s.prediction)
        .arg(s.predictionCount)
        .arg(s.alreadySaid);
}

} // namespace

class FormatsTest : public QObject {
    Q_OBJECT
private slots:
    void numbers() {
        const auto field = [](auto value) { return value ? QString::number(*value) : "-"; };
        for (const QStringList &row : test::caseTable("numbers.tsv")) {
            QCOMPARE(parseLenientNumber(row[0]), row[1].toDouble());
            const auto strict = parseStrictNumber(row[0]);
            QCOMPARE(strict ? QString::number(*strict, 'g', 12) : QString("-"), row[2]);
            if (row.size() > 3)
                QCOMPARE(field(toInt16(row[1].toDouble())), row[3]);
            if (row.size() > 4)
                QCOMPARE(field(toInt32(row[1].toDouble())), row[4]);
        }
        QVERIFY(!toInt32(std::nan("")));
    }

    void windows1252TextWithItsLineEndings() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = decodeCp1252(all);
        QCOMPARE(text[0x80], QChar(0x20AC));
        QCOMPARE(encodeCp1252(text), std::optional<QByteArray>(all));
        QString bad;
        QVERIFY(!encodeCp1252(QStringLiteral("Ça va ? 😀 ő ő"), &bad));
        QCOMPARE(bad, QStringLiteral("😀ő"));
        QCOMPARE(splitLines("a\rb\r\n\r\nc\nd\r\n"), QStringList({"a", "b", "", "c", "d"}));
        QCOMPARE(splitLines(""), QStringList());
        QCOMPARE(splitLines("\r\n"), QStringList({""}));
        QTemporaryDir dir;
        const QString path = dir.filePath("t.txt");
        test::writeBytes(path, "former\r\n");
        // What the encoding cannot hold is named, and the former file stays whole.
        const TextWriteResult r = writeTextLines(path, {QStringLiteral("Bonjour 😀")});
        QVERIFY(!r.ok && r.error.contains(QStringLiteral("😀")));
        QCOMPARE(test::fileBytes(path), QByteArray("former\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"t.txt"}));
        QVERIFY(writeTextLines(dir.filePath("missing/t.txt"), {"x"}).error.contains("''t.txt''"));
    }

    void fullOrReadOnlyDiskLeavesFormerFileWhole_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("full") << true;
        QTest::newRow("read-only") << false;
    }

    void fullOrReadOnlyDiskLeavesFormerFileWhole() {
        QFETCH(bool, full);
        test::SmallDisk disk("64k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root");
        const QString page = disk.path("page_départ.dat");
        const QByteArray former = "couleur_page=0\r\np.jpg,Bonjour,0,0,100,100\r\n";
        test::writeBytes(page, former);
        QVERIFY(full ? disk.fill() : disk.makeReadOnly());
        const TextWriteResult r = writeTextLines(
            page, QStringList(50, "p.jpg,Une phrase assez longue pour ne pas tenir,0,0,100,100"));
        QVERIFY2(r.error.contains(full ? "n'a pas pu être enregistré : le disque est plein"
                                       : "le disque est en lecture seule"),
                 qPrintable(r.error));
        QCOMPARE(test::fileBytes(page), former);
        QCOMPARE(QDir(disk.path()).entryList({"page_*"}, QDir::Files),
                 QStringList({"page_départ.dat"}));
    }

    void savesNeverFollowLinksOutOfTheirDirectory() {
        QTemporaryDir program, elsewhere;
        const QString pages = program.filePath("pages");
        QVERIFY(QDir().mkpath(pages));
        const QString outside = elsewhere.filePath("page_x.dat");
        test::writeBytes(outside, "outside\r\n");
        QVERIFY(QFile::link(outside, pages + "/page_départ.dat"));
        QVERIFY(QFile::link(elsewhere.path(), pages + "/sous"));
        QVERIFY(QFile::link(outside, program.filePath("Tablavox2.cfg")));
        for (const QString &name :
             {QStringLiteral("page_départ.dat"), QStringLiteral("sous/x.dat")}) {
            const TextWriteResult r = writeTextLines(pages + "/" + name, {"couleur_page=0"}, pages);
            QVERIFY2(r.error.contains("hors du répertoire ''pages''"), qPrintable(name));
        }
        QVERIFY(!writeTextLines(program.filePath("Tablavox2.cfg"), {"x"}, program.path()).ok);
        QCOMPARE(test::fileBytes(outside), QByteArray("outside\r\n"));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList({"page_x.dat"}));
        // A link that stays inside keeps being a link; the page it names is written.
        test::writeBytes(pages + "/page_vraie.dat", "old\r\n");
        QVERIFY(QFile::link(pages + "/page_vraie.dat", pages + "/page_lien.dat"));
        QVERIFY(writeTextLines(pages + "/page_lien.dat", {"new"}, pages).ok);
        QVERIFY(QFileInfo(pages + "/page_lien.dat").isSymLink());
        QCOMPARE(test::fileBytes(pages + "/page_vraie.dat"), QByteArray("new\r\n"));
        // A directory removed meanwhile is missing, not a way out.
        QVERIFY(QDir(pages).removeRecursively());
        QCOMPARE(writeTextLines(pages + "/page_départ.dat", {"x"}, pages).error,
                 QStringLiteral("Le fichier ''page_départ.dat'' n'a pas pu être "
                                "enregistré : le répertoire ''pages'' n'existe pas."));
    }

    void hugeFilesAreRefusedUnreadAndLeftoversOfSavesRemoved() {
        QTemporaryDir dir;
        QFile huge(dir.filePath("page_énorme.dat"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(100 * 1024 * 1024)); // sparse
        for (const QString &path : {huge.fileName(), QStringLiteral("/dev/zero")}) {
            const TextReadResult r = readTextLines(path);
            QVERIFY2(!r.ok && r.error.contains("trop grand") && r.lines.isEmpty(),
                     qPrintable(r.error));
        }
        test::writeBytes(dir.filePath("juste.dat"), QByteArray(kMaxTextFileBytes, 'a'));
        QVERIFY(readTextLines(dir.filePath("juste.dat")).ok);
        // A name quoted in a message never stretches it beyond reading.
        QVERIFY(shortenedForMessage(QString(1'000'000, u'x')).size() <= 80);

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
        for (const QString &name : leftovers + kept)
            QVERIFY2(QFile::exists(dir.filePath(name)) == kept.contains(name), qPrintable(name));
    }

    void storedPathsFoundIgnoringCaseNeverLeaveTheirDirectory() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("Animaux/Ferme");
        test::writeBytes(dir.filePath("Animaux/Ferme/Vache.JPG"), "x");
        test::writeBytes(dir.filePath("Élan.jpg"), "x");
        for (const QStringList &row : test::caseTable("stored_paths.tsv")) {
            const auto path = resolveStoredPath(dir.path(), row[0]);
            QCOMPARE(path ? QDir(dir.path()).relativeFilePath(*path) : QString("-"), row[1]);
            QCOMPARE(isContainedStoredPath(row[0]), row[1] != "-");
        }
    }

    void colours() {
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(1, 2, 3));
        // Stored as Windows writes them: blue, green, red.
        QCOMPARE(colorFromValue(9998670, palette), QColor(78, 145, 152));
        QCOMPARE(valueFromColor(QColor(78, 145, 152)), 9998670);
        QCOMPARE(colorFromValue(kSystemWindowColor, palette), QColor(1, 2, 3));
    }

    void settingsValueRules_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("expected"); // a part of the summary, or "refused"
        for (const QStringList &row : test::caseTable("settings.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[0] << row.value(1);
    }

    void settingsValueRules() {
        QFETCH(QString, lines);
        QFETCH(QString, expected);
        const auto r = parse(lines);
        QCOMPARE(r.ok, expected != "refused");
        if (r.ok)
            QVERIFY2(summary(r).contains(expected), qPrintable(summary(r)));
    }

    void settingKeysDefaultToTheProgramsDefaults() {
        Settings previous; // with fields the reader never resets
        previous.frameBlink = true;
        previous.pageSoundNumber = 6;
        const auto r = parse("temporisation=900", previous);
        QVERIFY(r.settings.frameBlink && !r.settings.pageSoundOn);
        QCOMPARE(r.settings.pageSoundNumber, qint16(6));
        // The key table and the settings' own defaults are one and the same.
        Settings changed;
        changed.sayEachPhrase = false;
        changed.switches = {"F2", "entrée", 9, 9, kPatternRows, 7, true, true, 1, 2};
        changed.dwell = {4000, 1, true};
        changed.locked = changed.fullScreen = true;
        changed.personGender = kGenderFeminine;
        resetSettingKeys(changed);
        QCOMPARE(changed, Settings{});
    }

    void settingsWrittenLines() {
        // A file written in full reads back to the same settings and the same bytes.
        const auto first = parseSettings(readTextLines(kData + "scanning.cfg").lines, {}, kTpp);
        QVERIFY(first.ok);
        const Settings &t = first.settings;
        QTemporaryDir dir;
        const QString path = dir.filePath("Tablavox2.cfg");
        QVERIFY(writeTextLines(path, formatSettings(t, EditedSettings::from(t),
                                                    {t.windowLeft, t.windowTop, t.windowWidth,
                                                     double(t.windowHeight)},
                                                    kTpp))
                    .ok);
        QCOMPARE(parseSettings(readTextLines(path).lines, {}, kTpp).settings, t);
        QCOMPARE(test::fileBytes(path), test::fileBytes(kData + "scanning.cfg"));
    }

    void missingOrBrokenSettingsAreReplacedByDefaults() {
        for (const QByteArray &broken :
             {QByteArray(), QByteArray("temporisation=900\r\nfenetre_gauche=abc\r\n")}) {
            QTemporaryDir dir;
            AppState state;
            state.paths.dataDirectory = dir.path();
            if (!broken.isEmpty())
                test::writeBytes(state.paths.configFile(), broken);
            test::ScriptedDialogs dialogs;
            SettingsStore(state, dialogs).read();
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(test::fileBytes(state.paths.configFile()),
                     test::fileBytes(kData + "default.cfg"));
            QCOMPARE(state.settings.scanDelay, qint16(2000)); // what was read before is discarded
            QCOMPARE(state.page.pageColor, 9998670);
        }
        // Where nothing can be written, the program starts all the same and says so.
        AppState state;
        state.paths.dataDirectory = QStringLiteral("/nonexistent/tablavox");
        test::ScriptedDialogs dialogs;
        SettingsStore store(state, dialogs);
        store.read();
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(dialogs.messages[1].text.contains(QStringLiteral("n'a pas pu être créé")));
        QCOMPARE(state.settings.backgroundColor, 9998670.0);
        QVERIFY(!store.write({}, EditedSettings::from(state.settings)));
        QVERIFY(dialogs.messages[2].text.startsWith("La configuration n'a pas été enregistrée."));
    }
};

QTEST_GUILESS_MAIN(FormatsTest)
#include "tst_formats.moc"
