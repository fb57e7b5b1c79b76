// The launch window, the start sequence, the main window's menus and the two ways out.

#include "app/LaunchWindow.h"
#include "app/Startup.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "platform/AppState.h"
#include "support/Fakes.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tv;

namespace {

struct Program {
    QTemporaryDir dir;
    AppState state;
    test::FakeServices fakes;
    test::FixedGuard guard;
    std::unique_ptr<Startup> startup;
    std::unique_ptr<QSignalSpy> finished;

    explicit Program(bool withPages = true, bool withMultimedia = true) {
        state.paths.programDirectory = dir.path();
        state.tpp = {15, 15};
        if (withPages) {
            QDir(dir.path()).mkdir("pages");
            test::writeBytes(dir.filePath(QStringLiteral("pages/page_départ.dat")), "");
        }
        if (withMultimedia)
            QDir(dir.path()).mkdir("multimedia");
        startup = std::make_unique<Startup>(state, fakes.services, guard);
        finished = std::make_unique<QSignalSpy>(startup.get(), &Startup::finished);
    }
    QString cfg() const { return state.paths.configFile(); }
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    // Launch and press the start button.
    void start() {
        QVERIFY(startup->begin());
        emit startup->launchWindow()->goRequested();
        QVERIFY(startup->mainWindow());
    }
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void progressBarEnablesThenStarts();
    void backgroundClickPausesAndResumes();
    void secondCopyIsRefused();
    void missingDirectoriesStopTheStart_data();
    void missingDirectoriesStopTheStart();
    void startShowsTheMainWindowWithItsSettings();
    void startOnlyOnceWhenAskedTwice();
    void menuTree();
    void quitSaysGoodbyeAndWritesTheSettings();
    void movedWindowIsKeptOnlyByQuit();
    void closeBoxWritesNothing();
    void stopButtonEndsWithoutWriting();
};

void StartupTest::progressBarEnablesThenStarts() {
    LaunchWindow launch({15, 15});
    QSignalSpy go(&launch, &LaunchWindow::goRequested);
    QVERIFY(launch.isRunning());
    QCOMPARE(launch.troughInnerWidthTwips(), 3615);
    for (int i = 1; i < 20; ++i)
        launch.tick();
    QVERIFY(!launch.goButton()->isEnabled());
    QVERIFY(launch.readyLabel()->isHidden());
    launch.tick(); // half of the trough
    QVERIFY(launch.goButton()->isEnabled());
    QVERIFY(!launch.readyLabel()->isHidden());
    QCOMPARE(launch.readyLabel()->text(), QStringLiteral("Lancement prêt ..."));
    for (int i = 21; i < 40; ++i)
        launch.tick();
    QCOMPARE(go.count(), 0);
    launch.tick(); // full
    QCOMPARE(go.count(), 1);
    QVERIFY(!launch.isRunning());
    QCOMPARE(launch.stopButton()->toolTip(), QStringLiteral("Arrête le programme"));
    QCOMPARE(launch.windowTitle(), QStringLiteral("Tablavox 2"));
}

void StartupTest::backgroundClickPausesAndResumes() {
    LaunchWindow launch({15, 15});
    launch.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launch));
    QTest::mouseClick(&launch, Qt::LeftButton, {}, QPoint(3, launch.height() - 3));
    QVERIFY(!launch.isRunning());
    // A click on a control is not a click on the background.
    QTest::mouseClick(launch.stopButton()->parentWidget(), Qt::LeftButton, {},
                      launch.stopButton()->geometry().center());
    QTest::mouseClick(&launch, Qt::LeftButton, {}, QPoint(3, launch.height() - 3));
    QVERIFY(launch.isRunning());
    // The bar goes on by itself once resumed.
    QSignalSpy go(&launch, &LaunchWindow::goRequested);
    QVERIFY(go.wait(5000));
}

void StartupTest::secondCopyIsRefused() {
    Program p;
    p.guard.free = false;
    QVERIFY(!p.startup->begin());
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    const auto &m = p.fakes.dialogs.messages[0];
    QCOMPARE(m.text, QStringLiteral("Programme déjà lancé"));
    QCOMPARE(m.icon, MessageIcon::Exclamation);
    QCOMPARE(m.title, QStringLiteral("Imagivox"));
    QVERIFY(!p.startup->launchWindow());
    QCOMPARE(p.files(), QStringList({"multimedia", "pages"}));
    QCOMPARE(test::fileBytes(p.dir.filePath(QStringLiteral("pages/page_départ.dat"))),
             QByteArray());
}

void StartupTest::missingDirectoriesStopTheStart_data() {
    QTest::addColumn<bool>("pages");
    QTest::addColumn<bool>("multimedia");
    QTest::addColumn<QString>("named");
    QTest::newRow("no pages") << false << true << "pages";
    QTest::newRow("neither") << false << false << "pages";
    QTest::newRow("no multimedia") << true << false << "multimedia";
}

void StartupTest::missingDirectoriesStopTheStart() {
    QFETCH(bool, pages);
    QFETCH(bool, multimedia);
    QFETCH(QString, named);
    Program p(pages, multimedia);
    const QStringList before = p.files();
    QVERIFY(p.startup->begin());
    emit p.startup->launchWindow()->goRequested();
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].text,
             QStringLiteral("Le répertoire ''%1'' n'existe pas\r\nVous devez le créer "
                            "manuellement\r\nLe programme va s'arrêter")
                 .arg(named));
    QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(p.finished->count(), 1);
    QVERIFY(!p.startup->mainWindow());
    QCOMPARE(p.files(), before);
}

void StartupTest::startShowsTheMainWindowWithItsSettings() {
    Program p;
    test::writeBytes(p.cfg(), "fenetre_gauche=12\r\nfenetre_haut=34\r\nfenetre_largeur=700\r\n"
                              "fenetre_hauteur=500\r\ncouleur_fond=255\r\ncadre_couleur=65280\r\n"
                              "cadre_\xE9paisseur=7\r\nacc\xE8s=d\xE9"
                              "filement\r\n");
    p.start();
    MainWindow *w = p.startup->mainWindow();
    QVERIFY(p.fakes.dialogs.messages.isEmpty());
    QVERIFY(w->isVisible());
    QVERIFY(p.startup->launchWindow()->isHidden());
    QCOMPARE(w->frameGeometry(), QRect(12, 34, 700, 500));
    QCOMPARE(w->windowTitle(), QStringLiteral("Tablavox -::- page_départ.dat"));
    QCOMPARE(w->backgroundColorValue(), 255);
    QCOMPARE(w->selectionFrame()->borderColorValue(), 65280);
    QCOMPARE(w->selectionFrame()->borderWidth(), 7);
    QVERIFY(w->selectionFrame()->isHidden());
    QVERIFY(w->scanTimer()->isActive());
    QCOMPARE(w->scanTimer()->interval(), int(p.state.settings.scanDelay)); // the person's own pace
    QCOMPARE(w->blinkTimer()->interval(), 150);
    QVERIFY(!w->blinkTimer()->isActive());
    QCOMPARE(p.state.page.currentPage, QStringLiteral("page_départ.dat"));
    QCOMPARE(p.state.page.pageColor, 255);
    QCOMPARE(p.finished->count(), 0);
}

void StartupTest::startOnlyOnceWhenAskedTwice() {
    Program p;
    p.start();
    MainWindow *first = p.startup->mainWindow();
    emit p.startup->launchWindow()->goRequested(); // the full bar after a button press
    QCOMPARE(p.startup->mainWindow(), first);
    QCOMPARE(p.fakes.dialogs.messages.size(), 1); // the missing configuration, once
}

void StartupTest::menuTree() {
    AppState state;
    MainWindow w(state);
    const QList<QAction *> bar = w.menuBar()->actions();
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar[0]->text(), QStringLiteral("&Programme"));
    QCOMPARE(bar[1]->text(), QStringLiteral("&Pages"));
    QCOMPARE(bar[2]->text(), QStringLiteral("&Images"));
    const QList<std::pair<QString, QString>> entries = {{"mnuPropProgramme", "&Propriétés"},
                                                        {"menuQuitter", "&Quitter"},
                                                        {"mnuCouleurPage", "Couleur de la page"},
                                                        {"mnuNouvellePage", "&Nouvelle"},
                                                        {"mnuChargePage", "&Charger"},
                                                        {"mnuSauvePage", "&Sauve"},
                                                        {"mnuNouvelleImage", "&Nouvelle image"},
                                                        {"mnuPropriétés", "&Propriétés"},
                                                        {"mnuDéplacer", "&Déplacer"},
                                                        {"mnuCréeADroite", "Créer à &Droite"},
                                                        {"mnuCréeDessous", "Créer Dessous"},
                                                        {"mnuPlusGrand", "Plus &Grand"},
                                                        {"mnuPlusPetit", "Plus &petit"},
                                                        {"mnuEtirer", "&Etirer"},
                                                        {"mnuSupprimeImage", "&Supprimer"}};
    for (const auto &[name, caption] : entries) {
        QAction *a = w.action(name);
        QVERIFY2(a, qPrintable(name));
        QCOMPARE(a->text(), caption);
        QVERIFY(a->isEnabled() && a->isVisible() && !a->isCheckable());
    }
    QMenu *droit = w.pictureMenu();
    QCOMPARE(droit->objectName(), QStringLiteral("mnuDroit"));
    QCOMPARE(droit->title(), QStringLiteral("MenuDroit"));
    QVERIFY(!bar.contains(droit->menuAction()));
    QStringList topOfDroit;
    for (QAction *a : droit->actions())
        topOfDroit << a->text();
    QCOMPARE(topOfDroit, QStringList({QStringLiteral("&Propriétés"), QStringLiteral("&Déplacer"),
                                      QStringLiteral("&Créer"), QStringLiteral("&Dimensions"),
                                      QStringLiteral("&Supprimer")}));
    QVERIFY(w.findChild<QMenu *>(QStringLiteral("mnuCréer")));
    QVERIFY(w.findChild<QMenu *>(QStringLiteral("mnuDimensions")));
    QCOMPARE(w.img(0)->objectName(), QStringLiteral("Img"));
    QVERIFY(w.img(0)->isHidden());
    QCOMPARE(w.img(0)->leftTwips(), -2000);
    QCOMPARE(w.img(0)->topTwips(), 480);
    QCOMPARE(w.img(0)->widthTwips(), 1215);
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("cadreSélection")));
    QVERIFY(w.findChild<QTimer *>(QStringLiteral("tmDéfilement")));
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("ChampTexte"))->isHidden());
}

void StartupTest::quitSaysGoodbyeAndWritesTheSettings() {
    Program p;
    p.start();
    p.startup->mainWindow()->action("menuQuitter")->trigger();
    QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour       ", "Au revoir...;"}));
    QCOMPARE(p.fakes.waiter.waits, QList<int>({2000}));
    QCOMPARE(p.finished->count(), 1);
    QCOMPARE(p.finished->at(0).at(0).toInt(), 0);
    QVERIFY(!p.startup->mainWindow()->isVisible());
    QCOMPARE(test::fileBytes(p.cfg()),
             test::fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/settings/written_default.cfg")));
}

void StartupTest::movedWindowIsKeptOnlyByQuit() {
    Program p;
    p.start();
    // As the user drags it: the frame goes to 40, 50 and measures 640 × 480.
    MainWindow *w = p.startup->mainWindow();
    const QSize frameExtra = w->frameGeometry().size() - w->size();
    w->move(40, 50);
    w->resize(QSize(640, 480) - frameExtra);
    QCOMPARE(w->frameGeometry(), QRect(40, 50, 640, 480));
    w->action("menuQuitter")->trigger();
    const QByteArray written = test::fileBytes(p.cfg());
    QVERIFY(written.startsWith("fenetre_gauche=40\r\nfenetre_haut=50\r\nfenetre_largeur=640\r\n"
                               "fenetre_hauteur=480\r\n"));

    // The next start finds the window where it was left.
    AppState again;
    again.paths = p.state.paths;
    again.tpp = p.state.tpp;
    test::FakeServices fakes;
    test::FixedGuard guard;
    Startup second(again, fakes.services, guard);
    QVERIFY(second.begin());
    emit second.launchWindow()->goRequested();
    QCOMPARE(second.mainWindow()->frameGeometry(), QRect(40, 50, 640, 480));
}

void StartupTest::closeBoxWritesNothing() {
    Program p;
    p.start();
    const QByteArray before = test::fileBytes(p.cfg());
    p.startup->mainWindow()->setGeometry(40, 50, 640, 480);
    p.startup->mainWindow()->close();
    QCOMPARE(p.finished->count(), 1);
    QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour       "})); // no farewell
    QCOMPARE(test::fileBytes(p.cfg()), before);
    QCOMPARE(test::fileBytes(p.dir.filePath(QStringLiteral("pages/page_départ.dat"))),
             QByteArray());
}

void StartupTest::stopButtonEndsWithoutWriting() {
    Program p;
    QVERIFY(p.startup->begin());
    p.startup->launchWindow()->stopButton()->click();
    QCOMPARE(p.finished->count(), 1);
    QVERIFY(!p.startup->mainWindow());
    QCOMPARE(p.files(), QStringList({"multimedia", "pages"}));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
