// The launch window, the start sequence and its single-copy guard, the two ways out, and the
// program's and the page's properties dialogs on the running program.

#include "app/CommandLine.h"
#include "app/DataPlace.h"
#include "app/LaunchWindow.h"
#include "app/ProgramPropertiesDialog.h"
#include "app/Startup.h"
#include "model/AppState.h"
#include "page/ColorSwatch.h"
#include "page/MainWindow.h"
#include "page/PageColorDialog.h"
#include "page/PageSounds.h"
#include "page/SelectionFrame.h"
#include "page/SentenceBar.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/ServiceDoubles.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

const QString kStartPage = QStringLiteral("pages/page_départ.dat");

struct Program {
    QTemporaryDir dir;
    AppState state;
    test::FakeServices fakes;
    test::FixedGuard guard;
    std::unique_ptr<Startup> startup;
    std::unique_ptr<QSignalSpy> finished;

    explicit Program(const QStringList &directories = {"multimedia", "pages"}) {
        state.paths.dataDirectory = dir.path();
        state.tpp = {15, 15};
        for (const QString &d : directories)
            QDir(dir.path()).mkdir(d);
        if (directories.contains("pages"))
            test::writeBytes(dir.filePath(kStartPage), "");
        startup = std::make_unique<Startup>(state, fakes.services, guard);
        finished = std::make_unique<QSignalSpy>(startup.get(), &Startup::finished);
    }
    // Started on a configuration file holding these lines after the window lines.
    explicit Program(const QByteArray &settings) : Program() {
        test::writeBytes(state.paths.configFile(),
                         "fenetre_gauche=0\r\nfenetre_haut=0\r\nfenetre_largeur=800\r\n"
                         "fenetre_hauteur=600\r\n" +
                             settings);
        start();
    }
    void start() {
        QVERIFY(startup->begin());
        emit startup->launchWindow()->goRequested();
        QVERIFY(startup->mainWindow());
    }
    MainWindow &main() const { return *startup->mainWindow(); }
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    QByteArray config() const { return test::fileBytes(state.paths.configFile()); }
    bool configHas(const char *line) const {
        return QString::fromLatin1(config()).split("\r\n").contains(QString::fromUtf8(line));
    }
    ProgramPropertiesDialog *open() {
        main().action("mnuPropProgramme")->trigger();
        return startup->programProperties();
    }
    template <typename T = QAbstractButton> T *child(const QString &name) const {
        T *found = startup->programProperties()->findChild<T *>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    void click(const QString &name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }
    int slider(const char *name) const { return child<QSlider>(name)->value(); }
    SelectionFrame *model() const { return child<SelectionFrame>("cadreModèle"); }
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefusedAndWritesNothing() {
        Program p;
        p.guard.free = false;
        QVERIFY(!p.startup->begin());
        QCOMPARE(p.fakes.dialogs.messages.size(), 1);
        QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Programme déjà lancé"));
        QCOMPARE(p.fakes.dialogs.messages[0].title, QStringLiteral("Imagivox"));
        QVERIFY(!p.startup->launchWindow());
        QCOMPARE(p.files(), QStringList({"multimedia", "pages"}));
    }

    void theCommandLine() {
        const QStringList actions = {"run", "help", "version", "refuse", "pdf", "report"};
        for (const QStringList &row : test::caseTable("command_line.tsv")) {
            const CommandLine line = parseCommandLine(row[0].split(' ', Qt::SkipEmptyParts));
            QCOMPARE(actions.value(int(line.action)), row[1]);
            QCOMPARE(line.exitCode(), row[1] == "refuse" ? 2 : 0);
            if (line.action == CommandLine::Action::Pdf)
                QVERIFY(line.pdfFile == "t.pdf" && line.cutLines && !line.index &&
                        line.pages == QStringList({"page_a.dat", "page_b.dat"}));
            if (line.action == CommandLine::Action::Report)
                QVERIFY(line.reportFile.startsWith("r.") &&
                        line.from == (line.directory.isEmpty() ? QDate() : QDate(2026, 11, 1)) &&
                        line.to == (line.directory.isEmpty() ? QDate() : QDate(2026, 11, 30)));
            if (line.action == CommandLine::Action::Run ||
                line.action == CommandLine::Action::Pdf ||
                line.action == CommandLine::Action::Report)
                QCOMPARE(line.directory, row.value(2));
            else
                QVERIFY2(line.text.contains(row[2]), qPrintable(line.text));
        }
    }

    void whereTheBoardsLive() {
        QTemporaryDir root;
        const QString program = root.filePath("bin"), home = root.filePath("home");
        QVERIFY(QDir().mkpath(program));
        QCOMPARE(chooseDataDirectory({}, program, home), home + "/tablavox");
        QCOMPARE(chooseDataDirectory(root.filePath("x/../Lucie"), program, home),
                 root.filePath("Lucie"));
        QCOMPARE(chooseDataDirectory("Lucie", program, home), QDir().absoluteFilePath("Lucie"));
        // A portable copy keeps its boards beside it, as it always did.
        test::writeBytes(program + "/Tablavox2.cfg", "");
        QCOMPARE(chooseDataDirectory({}, program, home), program);
        QFile::remove(program + "/Tablavox2.cfg");
        QVERIFY(QDir(program).mkdir("pages"));
        QCOMPARE(chooseDataDirectory({}, program, home), program);
    }

    void aFirstStartFillsTheDirectoryAndOpensOnTheDemo() {
        Program p(QStringList{});
        QTemporaryDir demo;
        test::writeBytes(demo.filePath(kStartPage),
                         "couleur_page=255\r\nimages\\soleil.png,Bonjour,0,0,900,900\r\n");
        test::writeBytes(demo.filePath("multimedia/images/soleil.png"), test::pngBytes(Qt::yellow));
        p.state.paths.demoDirectory = demo.path();
        p.state.paths.dataDirectory = p.dir.filePath("personnes/Lucie");
        // What a first fill cut short by a crash left: it is done again, whole.
        test::writeBytes(p.dir.filePath("personnes/Lucie/.premier-lancement/pages/x.dat"), "");
        test::writeBytes(p.dir.filePath("personnes/Lucie/multimedia/vieux.png"), "");
        p.start();
        QVERIFY2(p.fakes.dialogs.messages.isEmpty(),
                 qPrintable(p.fakes.dialogs.messages.value(0).text));
        QCOMPARE(QDir(p.state.paths.dataDirectory)
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"multimedia", "pages", "Tablavox2.cfg"}));
        QVERIFY(!QFile::exists(p.state.paths.dataDirectory + "/multimedia/vieux.png"));
        QCOMPARE(QDir(p.state.paths.dataDirectory + "/pages").entryList(QDir::Files),
                 QStringList({"page_départ.dat"}));
        QCOMPARE(p.config(), test::fileBytes(TABLAVOX_TEST_DATA "/settings/default.cfg"));
        QCOMPARE(test::fileBytes(p.state.paths.dataDirectory + "/multimedia/images/soleil.png"),
                 test::fileBytes(demo.filePath("multimedia/images/soleil.png")));
        QCOMPARE(p.main().backgroundColorValue(), 255);
        // A directory that holds something of its own is never filled.
        QVERIFY(!needsFirstFill(p.dir.path()) && needsFirstFill(p.dir.filePath("Paul")));
    }

    void aFirstFillCutShortLeavesTheDirectoryNew_data() {
        QTest::addColumn<bool>("full");
        QTest::newRow("full disk") << true;
        QTest::newRow("read-only disk") << false;
    }

    void aFirstFillCutShortLeavesTheDirectoryNew() {
        QFETCH(bool, full);
        test::SmallDisk disk("400k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root");
        Program p(QStringList{});
        QTemporaryDir demo;
        test::writeBytes(demo.filePath(kStartPage), "couleur_page=255\r\n");
        test::writeBytes(demo.filePath("multimedia/grand.wav"), QByteArray(200000, 'x'));
        p.state.paths.demoDirectory = demo.path();
        p.state.paths.dataDirectory = disk.path("Lucie");
        QVERIFY(full ? disk.fill(100000) : disk.makeReadOnly());
        QVERIFY(!p.startup->begin());
        QCOMPARE(p.startup->exitCode(), 1);
        QCOMPARE(p.fakes.dialogs.messages.size(), 1);
        QVERIFY2(p.fakes.dialogs.messages[0].text.contains(
                     full ? "n'ont pas pu être copiées dans ''" + disk.path("Lucie") +
                                "''.\r\nle disque est plein\r\nLe programme va s'arrêter"
                          : "le disque est en lecture seule"),
                 qPrintable(p.fakes.dialogs.messages[0].text));
        // Nothing of it is left: the disk gets its room back, the next start fills afresh.
        QVERIFY(QDir(disk.path("Lucie"))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void missingDirectoriesStopTheStart_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("named");
        QTest::newRow("no pages") << QStringList{"multimedia"} << "pages";
        QTest::newRow("no multimedia") << QStringList{"pages"} << "multimedia";
    }

    void missingDirectoriesStopTheStart() {
        QFETCH(QStringList, present);
        QFETCH(QString, named);
        Program p(present);
        const QStringList before = p.files();
        QVERIFY(p.startup->begin());
        emit p.startup->launchWindow()->goRequested();
        QCOMPARE(p.fakes.dialogs.messages.size(), 1);
        QCOMPARE(p.fakes.dialogs.messages[0].text,
                 QStringLiteral("Le répertoire ''%1'' n'existe pas\r\nVous devez le créer "
                                "manuellement\r\nLe programme va s'arrêter")
                     .arg(named));
        QCOMPARE(p.finished->count(), 1);
        QVERIFY(!p.startup->mainWindow());
        QCOMPARE(p.files(), before);
    }

    void startShowsTheMainWindowOnceWithItsSettings() {
        Program p("couleur_fond=255\r\ncadre_couleur=65280\r\ncadre_\xE9paisseur=7\r\n"
                  "acc\xE8s=d\xE9"
                  "filement\r\ntemporisation=1300\r\n");
        MainWindow *w = &p.main();
        QVERIFY(w->isVisible() && p.startup->launchWindow()->isHidden());
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 800, 600));
        QCOMPARE(w->backgroundColorValue(), 255);
        QCOMPARE(w->selectionFrame()->borderColorValue(), 65280);
        QCOMPARE(w->selectionFrame()->borderWidth(), 7);
        QVERIFY(w->scanTimer()->isActive());
        QCOMPARE(w->scanTimer()->interval(), 1300);
        emit p.startup->launchWindow()->goRequested(); // the full bar after a button press
        QCOMPARE(p.startup->mainWindow(), w);
    }

    void quitSaysGoodbyeAndKeepsTheWindowsPlace() {
        Program p;
        p.start();
        // As the user drags it: the frame goes to 40, 50 and measures 640 × 480.
        MainWindow *w = &p.main();
        w->move(40, 50);
        w->resize(QSize(640, 480) - (w->frameGeometry().size() - w->size()));
        w->action("menuQuitter")->trigger();
        QCOMPARE(p.fakes.waiter.waits, QList<int>({2000})); // for the farewell to be heard
        QCOMPARE(p.finished->at(0).at(0).toInt(), 0);
        QVERIFY(
            p.config().startsWith("fenetre_gauche=40\r\nfenetre_haut=50\r\nfenetre_largeur=640\r\n"
                                  "fenetre_hauteur=480\r\n"));
    }

    void closeBoxAndStopButtonWriteNothing() {
        Program p;
        // What a save cut short by a crash left behind goes at the start.
        test::writeBytes(p.dir.filePath(kStartPage + ".Xy12Zw"), "x");
        p.start();
        QVERIFY(!QFile::exists(p.dir.filePath(kStartPage + ".Xy12Zw")));
        const QByteArray before = p.config();
        p.main().setGeometry(40, 50, 640, 480);
        p.main().close();
        QCOMPARE(p.finished->count(), 1);
        QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour       "})); // no farewell
        QCOMPARE(p.config(), before);

        Program stopped;
        QVERIFY(stopped.startup->begin());
        QCOMPARE(test::unnamedControls(stopped.startup->launchWindow()), QStringList());
        stopped.startup->launchWindow()->stopButton()->click();
        QCOMPARE(stopped.finished->count(), 1);
        QVERIFY(!stopped.startup->mainWindow());
        QCOMPARE(stopped.files(), QStringList({"multimedia", "pages"}));
    }

    void propertiesOpenOnceWithTheSettingsInRange() {
        Program p("acc\xE8s=d\xE9"
                  "filement\r\ntemporisation=10000\r\ncadre_\xE9paisseur=3\r\n"
                  "cadre_couleur=65280\r\ncadre_clignote=oui\r\nson_page=oui,4\r\n");
        p.fakes.sounds.played.clear();
        ProgramPropertiesDialog *d = p.open();
        QVERIFY(d->isVisible() && !d->isModal());
        QVERIFY2(test::unnamedControls(d).isEmpty(),
                 qPrintable(test::unnamedControls(d).join(' ')));
        QCOMPARE(p.open(), d);
        // A delay or a thickness outside the sliders' range is not taken from the file.
        QCOMPARE(p.slider("cursTemporisation"), 500);
        QCOMPARE(p.slider("cursEpaisseurCadre"), 30);
        QCOMPARE(p.model()->borderWidth(), 3);
        QCOMPARE(p.model()->borderColorValue(), 65280);
        QVERIFY(p.child<QRadioButton>("optAccès(1)")->isChecked());
        QVERIFY(p.child<QRadioButton>("optSon(4)")->isChecked());
        // The selected sound is heard once on opening.
        QCOMPARE(p.fakes.sounds.played, QList<QByteArray>({PageSounds::storedSound(4)}));
        p.click("cmdAnnule");
        p.main().action("menuQuitter")->trigger();
        QVERIFY(p.configHas("temporisation=500") && p.configHas("cadre_épaisseur=3"));
    }

    void immediateAndSavedValues() {
        Program p("temporisation=2000\r\n");
        p.open();
        p.child<QSlider>("cursTemporisation")->setValue(1200);
        QCOMPARE(p.state.settings.scanDelay, 2000); // only once saved
        p.child<QSlider>("cursEpaisseurCadre")->setValue(20);
        QCOMPARE(p.model()->borderWidth(), 20);
        p.click("lblCouleur(8)");
        QCOMPARE(p.model()->borderColorValue(), 255);
        QCOMPARE(p.state.settings.frameColor, 255);
        p.click("optAccès(1)");
        QCOMPARE(p.state.settings.accessMode, kAccessScanning); // at once
        p.fakes.dialogs.colors = {65535};
        p.click("cmdCouleurFond");
        QCOMPARE(p.state.settings.backgroundColor, 65535.0);
        p.child<QComboBox>("cboGenre")->setCurrentText(kGenderFeminine);
        p.child<QCheckBox>("chkJournal")->setChecked(true);
        QVERIFY(p.main().usageMark()->isHidden());
        p.click("cmsSauve");
        // Seen on the page while it lasts: the person and the family know they are noted.
        QVERIFY(!p.main().usageMark()->isHidden());
        QVERIFY(!p.startup->programProperties());
        for (const char *line :
             {"temporisation=1200", "couleur_fond=65535", "cadre_couleur=255", "cadre_épaisseur=20",
              "accès=défilement", "genre=féminin", "journal=oui"})
            QVERIFY2(p.configHas(line), line);
        // The message agrees with the person at once.
        for (const char *phrase : {"je", "être", "fatigué"})
            p.main().sentenceBar()->add(QString::fromUtf8(phrase), {});
        QCOMPARE(p.main().sentenceBar()->message(), QString("je suis fatiguée"));
        p.main().sentenceBar()->clear();
        // Read back and applied to the page.
        QCOMPARE(p.main().scanTimer()->interval(), 1200);
        QVERIFY(p.main().scanTimer()->isActive());
        QCOMPARE(p.main().backgroundColorValue(), 65535);
        QCOMPARE(p.main().selectionFrame()->borderWidth(), 20);
        // The log is forgotten only when the carer says so.
        const QString log = p.dir.filePath("journal/2026-12.lam");
        QVERIFY(QDir().mkpath(p.dir.filePath("journal")));
        test::writeBytes(log, "x");
        p.open();
        for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
            p.fakes.dialogs.answers.push_back(answer);
            p.click("cmdEffacerJournal");
            QCOMPARE(QFile::exists(log), answer == MessageAnswer::No);
        }
        // Swatch 0 is the system colour, kept as its reference.
        p.click("lblCouleur(0)");
        p.click("optAccès(2)");
        p.child<QSpinBox>("spinPointageDélai")->setValue(1500);
        p.click("cmsSauve");
        QVERIFY(p.configHas("cadre_couleur=-2147483643") && p.configHas("accès=pointage") &&
                p.configHas("pointage_délai=1500"));
    }

    void pageColour() {
        Program p("couleur_fond=16711680\r\n");
        PageColorDialog d(p.state, p.main(), p.fakes.services);
        QVERIFY2(test::unnamedControls(&d).isEmpty() && test::unnamedControls(&p.main()).isEmpty(),
                 qPrintable(test::unnamedControls(&p.main()).join(' ')));
        auto *eight = d.findChild<ColorSwatch *>("lblCouleurFondPage(8)");
        QCOMPARE(eight->value(), 16711680);
        // OK at once: light grey, and the page counts as modified.
        QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        QCOMPARE(p.main().backgroundColorValue(), 14737632);
        QVERIFY(p.state.page.pageModified);

        PageColorDialog again(p.state, p.main(), p.fakes.services);
        QTest::mouseClick(again.findChild<ColorSwatch *>("lblCouleurFondPage(0)"), Qt::LeftButton);
        QTest::mouseClick(again.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        p.main().action("mnuSauvePage")->trigger();
        QCOMPARE(test::fileBytes(p.dir.filePath(kStartPage)),
                 QByteArray("couleur_page=-2147483643\r\n"));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
