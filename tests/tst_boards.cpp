// Board sets shared with other programs: the open board format read and written, hostile
// packages refused whole, and a set taken out and brought back unchanged.

#include "boards/BoardExchange.h"
#include "boards/BoardExport.h"
#include "boards/BoardImport.h"
#include "boards/ObfBoard.h"
#include "model/Action.h"
#include "page/PageFile.h"
#include "platform/Cp1252.h"
#include "platform/TextFile.h"
#include "platform/Wav.h"
#include "platform/ZipArchive.h"
#include "support/BoardBuilders.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/PageFixture.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

const TwipsPerPixel kTpp{15, 15};

QByteArray json(const QJsonObject &o) {
    return QJsonDocument(o).toJson();
}

QJsonObject manifest(const QString &root, const QJsonObject &boards) {
    return {
        {"format", "open-board-0.1"}, {"root", root}, {"paths", QJsonObject{{"boards", boards}}}};
}

// A program directory with its two data directories, and the import's answers.
struct Program {
    QTemporaryDir dir;
    ExistingPages answer = ExistingPages::Cancel;
    QStringList asked;
    explicit Program(const QString &parent = QDir::tempPath())
        : dir(parent + QStringLiteral("/programXXXXXX")) {
        QDir(dir.path()).mkpath("pages");
        QDir(dir.path()).mkpath("multimedia");
    }
    QString path(const QString &relative) const { return dir.filePath(relative); }
    ImportTarget target() const {
        return {path("pages"), path("multimedia"), QSize(9000, 6000), 150, kTpp};
    }
    ImportReport import(const QString &file) {
        return importBoards(file, target(), [this](const QStringList &taken) {
            asked = taken;
            return answer;
        });
    }
    // Every file below the program directory, with its bytes.
    QMap<QString, QByteArray> files() const {
        QMap<QString, QByteArray> out;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out.insert(QDir(dir.path()).relativeFilePath(it.next()),
                       test::fileBytes(it.filePath()));
        return out;
    }
    // Picture lines of a page: file, action, place in pixels.
    QStringList pictures(const QString &page) const {
        const TextReadResult r = readTextLines(path("pages/" + page));
        return r.lines.mid(1);
    }
};

} // namespace

class BoardsTest : public QObject {
    Q_OBJECT

private slots:
    void textsAndNames_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("replaced");
        for (const QStringList &row : test::caseTable("board_texts.tsv"))
            QTest::newRow(qPrintable(row[1])) << row[0] << row[1] << row[2] << row[3].toInt();
    }

    void textsAndNames() {
        QFETCH(QString, kind);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(int, replaced);
        int count = 0;
        if (kind == "phrase") {
            QCOMPARE(phraseForPage(in, &count), out);
            QCOMPARE(count, replaced);
        } else if (kind == "page") {
            QCOMPARE(pageNameForBoard(in), out);
        } else {
            const auto c = parseObfColor(in);
            QCOMPARE(c ? QString::number(*c) : QString(), out);
            if (c)
                QCOMPARE(parseObfColor(obfColor(*c)), c);
        }
    }

    void gridPlacement_data() {
        QTest::addColumn<QStringList>("row");
        for (const QStringList &row : test::caseTable("board_grids.tsv"))
            QTest::newRow(qPrintable(row.join(u' '))) << row;
    }

    void gridPlacement() {
        QFETCH(QStringList, row);
        ObfBoard board;
        board.rows = row[0].section(u' ', 0, 0).toInt();
        board.columns = row[0].section(u' ', 1, 1).toInt();
        for (const QString &ids : row[1].split(u'|', Qt::SkipEmptyParts))
            board.order << ids.split(u' ').replaceInStrings(QRegularExpression("^-$"), QString());
        for (int i = 0; i < row[2].toInt(); ++i)
            board.buttons.emplace_back().id = QStringLiteral("b%1").arg(i);
        QStringList cells;
        for (const QPoint &c : placeButtons(board).cells)
            cells << QStringLiteral("%1,%2").arg(c.x()).arg(c.y());
        QCOMPARE(cells.join(u' '), row[3]);
        QCOMPARE(gridCell(1, 2, 2, 3, QSize(9000, 6000), 150), QRect(6050, 3075, 2800, 2775));
    }

    void importMapsEveryKindOfButton() {
        Program program;
        QTemporaryDir source;
        const ImportReport r = program.import(test::package(source, test::boardSet()));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.pages, QStringList({"page_maison.dat", "page_jeux.dat"}));
        QCOMPARE(r.mediaDirectory, QStringLiteral("maison"));
        // Cells of 2800 × 2775 twips (186 × 185 pixels) on a 3 × 2 grid, 150 twips apart.
        QCOMPARE(readTextLines(program.path("pages/page_maison.dat")).lines,
                 QStringList({"couleur_page=16744448",
                              "maison\\bonjour.png,Bonjour; ça va ?,10,10,186,185",
                              "maison\\jeux.png,page_jeux.dat,206,10,186,185",
                              "maison\\texte_chien.png,maison\\wouf.wav,403,10,186,185",
                              "maison\\texte_fin.png,fin.,10,205,186,185",
                              "maison\\bonjour.png,Dehors,206,205,186,185",
                              "maison\\texte_abime.png,Abîmé,403,205,186,185"}));
        QCOMPARE(readTextLines(program.path("pages/page_jeux.dat")).lines,
                 QStringList({"couleur_page=16777215",
                              "maison\\texte_retour.png,page_maison.dat,10,10,580,380"}));
        QCOMPARE(test::fileBytes(program.path("multimedia/maison/jeux.png")),
                 test::pngBytes(Qt::blue));
        // A button without its picture shows its text on its own colour.
        QCOMPARE(QImage(program.path("multimedia/maison/texte_chien.png")).pixelColor(20, 150),
                 QColor(Qt::yellow));
        QCOMPARE(QList<int>({r.pictures, r.webOnlyImages, r.textCards, r.leftOutButtons,
                             r.replacedCharacters, r.unreadableImages}),
                 QList<int>({7, 1, 1, 2, 2, 2}));
        const QString message = r.message("set.obz");
        QVERIFY2(message.startsWith("« set.obz » : 2 pages importées (page_maison.dat, "
                                    "page_jeux.dat), 7 images.\r\n") &&
                     message.contains("2 images illisibles ou trop grandes : une carte"),
                 qPrintable(message));
        // Every picture a page names is there.
        for (const QString &page : r.pages)
            for (const QString &line : program.pictures(page))
                QVERIFY2(QFile::exists(program.path("multimedia/" +
                                                    line.section(u',', 0, 0).replace(u'\\', u'/'))),
                         qPrintable(line));
    }

    void aBoardLargerThanAPageContinues() {
        // 120 buttons on a 1 × 1 grid, as published sets have them.
        Program program;
        const ImportReport r =
            program.import(QStringLiteral(TABLAVOX_TEST_DATA "/boards/grand.obf"));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.pages, QStringList({"page_grand.dat", "page_grand_suite_2.dat",
                                       "page_grand_suite_3.dat"}));
        QCOMPARE(r.pictures, 120);
        QCOMPARE(r.continuationPages, 2);
        QVERIFY(r.message("grand.obf").contains("2 pages de suite ajoutées"));
        // 49 + "suite", "retour" + 48 + "suite", "retour" + the last 23; none dropped, each a
        // size a person can press, the ways between the pages at the ends.
        const QList<int> sizes = {50, 50, 24};
        for (int n = 0; n < 3; ++n) {
            const QStringList lines = program.pictures(r.pages[n]);
            QCOMPARE(lines.size(), sizes[n]);
            for (const QString &line : lines) {
                const QStringList f = line.split(u',');
                QVERIFY2(f[4].toInt() >= 40 && f[5].toInt() >= 40, qPrintable(line));
            }
            if (n > 0)
                QVERIFY(
                    lines.first().startsWith("grand\\texte_retour.png," + r.pages[n - 1] + ","));
            if (n < 2)
                QVERIFY(lines.last().startsWith("grand\\texte_suite.png," + r.pages[n + 1] + ","));
        }
        QVERIFY(
            program.pictures(r.pages[2]).last().startsWith("grand\\texte_mot_120.png,mot 120,"));
    }

    void existingPagesAreAsked() {
        Program program;
        QTemporaryDir source;
        const QString set = test::package(source, test::boardSet());
        test::writeBytes(program.path("pages/page_maison.dat"), "couleur_page=1\r\n");
        const auto before = program.files();

        program.answer = ExistingPages::Cancel;
        ImportReport r = program.import(set);
        QVERIFY(r.cancelled);
        QCOMPARE(program.asked, QStringList{"page_maison.dat"});
        QCOMPARE(program.files(), before);

        program.answer = ExistingPages::KeepBoth;
        r = program.import(set);
        QVERIFY(r.ok);
        QCOMPARE(r.pages, QStringList({"page_maison_2.dat", "page_jeux.dat"}));
        QCOMPARE(test::fileBytes(program.path("pages/page_maison.dat")),
                 QByteArray("couleur_page=1\r\n"));
        QVERIFY(program.pictures("page_jeux.dat").at(0).contains(",page_maison_2.dat,"));

        // Again: its media go to a directory of their own, never over the former one's.
        program.answer = ExistingPages::Replace;
        r = program.import(set);
        QVERIFY(r.ok);
        QCOMPARE(r.mediaDirectory, QStringLiteral("maison_2"));
        QCOMPARE(r.pages, QStringList({"page_maison.dat", "page_jeux.dat"}));
        QVERIFY(program.pictures("page_maison.dat").at(0).startsWith("maison_2\\bonjour.png,"));
    }

    void hostilePackagesWriteNothing() {
        // Each case mends the good set into a hostile one (or gives a file of its own), and
        // the words the refusal must hold.
        using Entries = test::BoardEntries;
        const auto with = [](const char *name, const QByteArray &bytes) {
            return [=](Entries &e, QTemporaryDir &) {
                for (auto &[n, b] : e)
                    if (n == name)
                        b = bytes;
                return QString();
            };
        };
        QJsonObject thousands,
            stolen = QJsonDocument::fromJson(test::boardSet()[2].second).object();
        for (int i = 0; i < 3000; ++i)
            thousands.insert(QString::number(i), QStringLiteral("boards/%1.obf").arg(i));
        stolen["images"] = QJsonArray{QJsonObject{{"id", "r"}, {"path", "/etc/passwd"}}};
        const std::vector<std::pair<QString, std::function<QString(Entries &, QTemporaryDir &)>>>
            cases = {
                {"Le paquet n'est pas lisible : ce n'est pas un paquet zip",
                 [](Entries &e, QTemporaryDir &source) {
                     const QString file = test::package(source, e);
                     const QByteArray whole = test::fileBytes(file);
                     test::writeBytes(file, whole.left(whole.size() / 2));
                     return file;
                 }},
                {"n'est pas lisible : ce n'est pas du JSON valide",
                 with("boards/jeux.obf", "{\"format\": \"open-board-0.1\", \"buttons\": [")},
                {"Le paquet n'a pas de manifest.json lisible",
                 [](Entries &e, QTemporaryDir &) {
                     e.erase(e.begin());
                     return QString();
                 }},
                {"hors de lui-même (« ../page_x.obf »)",
                 with("manifest.json",
                      json(manifest("boards/maison.obf",
                                    {{"1", "boards/maison.obf"}, {"2", "../page_x.obf"}})))},
                {"hors de lui-même (« /etc/passwd »)", with("boards/jeux.obf", json(stolen))},
                {"Le paquet contient 3000 tableaux : un import en prend au plus 500.",
                 with("manifest.json", json(manifest("boards/0.obf", thousands)))},
                {"Le fichier n'est pas un tableau lisible",
                 [](Entries &, QTemporaryDir &source) {
                     test::writeBytes(source.filePath("board.obf"), "<html>not a board</html>");
                     return source.filePath("board.obf");
                 }},
                // Seven megabytes of one letter deflate to a few kilobytes; a board is at
                // most five.
                {"est trop gros", with("boards/jeux.obf", QByteArray(7 << 20, ' '))},
            };
        for (const auto &[error, make] : cases) {
            QTemporaryDir around; // nothing may appear beside the program either
            Program program(around.path());
            QTemporaryDir source;
            Entries entries = test::boardSet();
            QString file = make(entries, source);
            if (file.isEmpty())
                file = test::package(source, entries);
            const auto before = program.files();
            const QStringList outside =
                QDir(around.path()).entryList(QDir::AllEntries | QDir::Hidden);
            const ImportReport r = program.import(file);
            QVERIFY2(!r.ok && r.error.contains(error), qPrintable(r.error));
            QCOMPARE(program.files(), before);
            QCOMPARE(QDir(around.path()).entryList(QDir::AllEntries | QDir::Hidden), outside);
        }
    }

    void cancelOrAFullDiskLeavesNoHalfWrittenImport() {
        // "Annuler" once the first board is done: nothing is left behind, as after a failure.
        std::atomic<bool> cancel{false};
        QList<int> told;
        ImportProgress progress;
        progress.cancel = &cancel;
        progress.boardDone = [&](int done, int total) {
            told << done << total;
            cancel = true;
        };
        Program program;
        QTemporaryDir cancelled;
        const ImportReport stopped = importBoards(
            test::package(cancelled, test::boardSet()), program.target(),
            [](const QStringList &) { return ExistingPages::Cancel; }, {}, progress);
        QVERIFY(stopped.cancelled && !stopped.ok);
        QCOMPARE(told, QList<int>({1, 2}));
        QCOMPARE(program.files().keys(), QStringList());

        // A disk with room for the first few files only: the import fails part way.
        test::SmallDisk disk("400k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root");
        QDir(disk.path()).mkpath("pages");
        QDir(disk.path()).mkpath("multimedia");
        QVERIFY(disk.fill(8192));
        QTemporaryDir source;
        const ImportReport r = importBoards(
            test::package(source, test::boardSet()),
            {disk.path("pages"), disk.path("multimedia"), QSize(9000, 6000), 150, kTpp},
            [](const QStringList &) { return ExistingPages::Cancel; });
        QVERIFY2(r.error.contains("le disque est plein"), qPrintable(r.error));
        for (const char *d : {"pages", "multimedia"})
            QCOMPARE(QDir(disk.path(d)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
    }

    void anImportAndAnExportThroughTheMenusAwayFromTheWindow() {
        test::PageFixture p;
        BoardExchange exchange(p.state, p.window, p.fakes.services, p.loader);
        p.loadPageA("couleur_page=1\r\np.jpg,a,0,0,600,600\r\n");
        test::writeBytes(p.path("pages/page_maison.dat"), "couleur_page=5\r\n");
        QTemporaryDir source;
        const QString set = test::package(source, test::boardSet());
        // Away from the window, the page out of reach meanwhile (quitting then is a story of
        // the real program); through to the end: the pages replaced, the first opened, the
        // carer told.
        p.fakes.dialogs.files = {set};
        p.fakes.dialogs.answers = {MessageAnswer::Yes};
        QSignalSpy finished(&exchange, &BoardExchange::importFinished);
        p.window.action("mnuImporter")->trigger();
        QVERIFY(exchange.isImporting() && !p.window.surface()->isEnabled());
        QVERIFY(finished.wait(20000));
        QVERIFY(p.window.surface()->isEnabled());
        QCOMPARE(p.window.windowTitle(), QStringLiteral("Tablavox -::- page_maison.dat"));
        QCOMPARE(p.fakes.dialogs.messages.size(), 2);
        QVERIFY(p.fakes.dialogs.messages[0].text.startsWith("Ces pages existent déjà"));
        // Exported away from the window too; a package of that name is replaced only once
        // the carer says so.
        QSignalSpy exported(&exchange, &BoardExchange::exportFinished);
        const QString obz = p.path("maison"); // ".obz" is added
        for (bool again : {false, true}) {
            p.fakes.dialogs.files = {obz};
            p.fakes.dialogs.answers = {MessageAnswer::No};
            p.window.action("mnuExporter")->trigger();
            QVERIFY(again || exported.wait(20000));
        }
        QCOMPARE(exported.count(), 1);
        QVERIFY(
            p.fakes.dialogs.messages.at(2).text.startsWith("« maison.obz » : 2 pages exportées"));
        QVERIFY(p.fakes.dialogs.messages.last().text.startsWith("« maison.obz » existe déjà"));
    }

    void roundTrip() {
        Program from;
        test::writeBytes(from.path("multimedia/soleil.png"), test::pngBytes(Qt::yellow));
        test::writeBytes(from.path("multimedia/chat.png"), test::pngBytes(Qt::gray));
        const QByteArray wav = makeWav(QList<qint16>(33075, 3000), 22050); // 1.5 s
        test::writeBytes(from.path("multimedia/miaou.wav"), wav);
        // Two notes of half a second each on a piano.
        test::writeBytes(from.path("multimedia/air.mid"),
                         QByteArray::fromHex("4d546864000000060000000100604d54726b00000016"
                                             "00c00000903c7f60803c400090407f6080404000ff2f00"));
        test::writeBytes(
            from.path("pages/page_b.dat"),
            *encodeCp1252("couleur_page=65280\r\nchat.png,page_départ.dat,10,10,100,100\r\n"
                          "soleil.png,Au revoir,120,10,100,100\r\nchat.png,fin,10,130,100,"
                          "100\r\nsoleil.png,air.mid,120,130,100,100\r\n"));
        PageModel shown;
        shown.currentPage = QStringLiteral("page_départ.dat");
        shown.pageColor = 255;
        // Not saved yet: what is on the screen goes out.
        shown.imageTable[1] = {"soleil.png", "Bonjour\\maman", 150, 150, 1500, 1500};
        shown.imageTable[2] = {"chat.png", "miaou.wav", 1800, 160, 1500, 1500};
        shown.imageTable[3] = {"chat.png", "page_b.dat", 150, 1800, 1500, 1500};
        shown.imageTable[4] = {"absent.png", "rien", 1800, 1800, 1500, 1500};
        QTemporaryDir out;
        const QString obz = out.filePath("set.obz");
        const ExportReport e =
            exportBoards(obz, {from.path("pages"), from.path("multimedia"), kTpp, shown});
        QVERIFY2(e.ok, qPrintable(e.error));
        QCOMPARE(QList<int>({e.boards, e.pictures, e.missingFiles}), QList<int>({2, 8, 1}));

        ZipReader zip;
        QString why;
        QVERIFY(zip.open(obz, &why));
        const QJsonObject m =
            QJsonDocument::fromJson(*zip.read("manifest.json", 1 << 20, &why)).object();
        QCOMPARE(m["format"].toString() + m["root"].toString(),
                 QStringLiteral("open-board-0.1boards/depart.obf"));
        for (const QJsonValue &p : m["paths"].toObject()["boards"].toObject()) {
            const QJsonObject b =
                QJsonDocument::fromJson(*zip.read(p.toString(), 1 << 20, &why)).object();
            // The grid's order has its rows, made from the pictures' places.
            QCOMPARE(b["grid"]["order"].toArray().size(), b["grid"]["rows"].toInt());
            QVERIFY(b["grid"]["rows"].toInt() >= 2);
            // Each picture and sound listed once, with its size or its length; every one a
            // button names is listed.
            QMap<QString, QJsonObject> listed;
            for (const char *list : {"images", "sounds"})
                for (const QJsonValue &v : b[list].toArray()) {
                    const QJsonObject o = v.toObject();
                    QVERIFY2(!listed.contains(o["id"].toString()), qPrintable(o["id"].toString()));
                    listed.insert(o["id"].toString(), o);
                    if (QLatin1String(list) == "images")
                        QVERIFY(o["width"].toInt() == 8 && o["height"].toInt() == 8);
                    else if (o["path"].toString().endsWith(".wav"))
                        QCOMPARE(o["duration"].toInt(), 2); // 1.5 s, in whole seconds
                    else
                        QVERIFY(o["duration"].toInt() >= 1 && o["duration"].toInt() <= 3);
                }
            for (const QJsonValue &button : b["buttons"].toArray())
                for (const char *ref : {"image_id", "sound_id"})
                    if (button.toObject().contains(ref))
                        QVERIFY(listed.contains(button.toObject()[ref].toString()));
        }

        Program to;
        const ImportReport r = to.import(obz);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.pages, QStringList({"page_départ.dat", "page_b.dat"}));
        const auto fields = [&](const QString &page) {
            QStringList got;
            const QStringList lines = readTextLines(to.path("pages/" + page)).lines;
            got << lines[0];
            for (const QString &line : lines.mid(1)) {
                const QStringList f = pictureFields(line);
                const QString media =
                    actionKind(f[1]) != ActionKind::Media ? f[1]
                    : test::fileBytes(to.path("multimedia/" + QString(f[1]).replace('\\', '/'))) ==
                            wav
                        ? QStringLiteral("(the same sound)")
                        : QStringLiteral("(another sound)");
                got << QImage(to.path("multimedia/" + QString(f[0]).replace('\\', '/')))
                               .pixelColor(1, 1)
                               .name() +
                           u' ' + media;
            }
            return got;
        };
        QCOMPARE(fields("page_départ.dat"),
                 QStringList({"couleur_page=255", "#ffff00 Bonjour\\maman",
                              "#a0a0a4 (the same sound)", "#a0a0a4 page_b.dat", "#ffffff rien"}));
        QCOMPARE(fields("page_b.dat"),
                 QStringList({"couleur_page=65280", "#a0a0a4 page_départ.dat", "#ffff00 Au revoir",
                              "#a0a0a4 fin", "#ffff00 (another sound)"}));
    }
};

QTEST_MAIN(BoardsTest)
#include "tst_boards.moc"
