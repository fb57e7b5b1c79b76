// The program properties dialog and the page colour dialog, on the running program.

#include "platform/AppState.h"
#include "app/LaunchWindow.h"
#include "app/ProgramPropertiesDialog.h"
#include "app/Startup.h"
#include "page/ColorSwatch.h"
#include "page/MainWindow.h"
#include "page/PageColorDialog.h"
#include "page/SelectionFrame.h"
#include "platform/Cp1252.h"
#include "support/Fakes.h"
#include "use/MediaWindow.h"
#include "page/PageSounds.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

struct Program {
    QTemporaryDir dir;
    AppState state;
    test::FakeServices fakes;
    test::FixedGuard guard;
    std::unique_ptr<Startup> startup;

    // Starts on a configuration file holding these lines after the window lines.
    explicit Program(const QString &settings) {
        state.paths.programDirectory = dir.path();
        state.tpp = {15, 15};
        QDir(dir.path()).mkdir("pages");
        QDir(dir.path()).mkdir("multimedia");
        test::writeBytes(dir.filePath(QStringLiteral("pages/page_départ.dat")),
                         "couleur_page=255\r\n");
        test::writeBytes(state.paths.configFile(),
                         *encodeCp1252("fenetre_gauche=0\r\nfenetre_haut=0\r\n"
                                       "fenetre_largeur=800\r\nfenetre_hauteur=600\r\n" +
                                       settings));
        startup = std::make_unique<Startup>(state, fakes.services, guard);
        startup->begin();
        emit startup->launchWindow()->goRequested();
    }
    MainWindow &main() const { return *startup->mainWindow(); }
    ProgramPropertiesDialog *open() {
        main().action("mnuPropProgramme")->trigger();
        return startup->programProperties();
    }
    template <typename T> T *child(const QString &name) const {
        T *found = startup->programProperties()->findChild<T *>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }
    void click(const QString &name) {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    void clickSwatch(const QString &name) {
        QTest::mouseClick(child<ColorSwatch>(name), Qt::LeftButton);
    }
    QStringList configLines() const {
        return QString::fromLatin1(test::fileBytes(state.paths.configFile()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

} // namespace

class PropertiesTest : public QObject {
    Q_OBJECT
private slots:
    void openingShowsTheSettings();
    void outOfRangeValuesAreNotTaken();
    void immediateAndSavedValues();
    void cancelKeepsTheImmediateOnes();
    void videoButtons();
    void pageSound();
    void oneCopyAtATime();
    void quitWritesWhatTheDialogHolds();
    void pageColourSwatches();
    void pageColourOtherColourThenCancel();
};

void PropertiesTest::openingShowsTheSettings() {
    Program p("accès=défilement\r\ntemporisation=2000\r\ncadre_épaisseur=12\r\n"
              "cadre_couleur=65280\r\ncadre_clignote=oui\r\nson_page=oui,4\r\n");
    p.fakes.sounds.played.clear();
    ProgramPropertiesDialog *d = p.open();
    QVERIFY(d->isVisible());
    QVERIFY(!d->isModal());
    QCOMPARE(d->windowTitle(), QStringLiteral("Programme Propriétés"));
    QCOMPARE(p.child<QSlider>("cursTemporisation")->value(), 2000);
    QCOMPARE(p.child<QLabel>("lblTemporisation")->text(), QStringLiteral("2000"));
    QCOMPARE(p.child<QSlider>("cursEpaisseurCadre")->value(), 12);
    QVERIFY(p.child<QRadioButton>("optAccès(1)")->isChecked());
    QVERIFY(p.child<QRadioButton>("optClignote(1)")->isChecked());
    QVERIFY(p.child<QRadioButton>("optSon(4)")->isChecked());
    QCOMPARE(p.child<QPushButton>("cmdSonPage")->text(),
             QStringLiteral("Joue un son au changement de page= oui"));
    // The selected sound is heard once on opening.
    QCOMPARE(p.fakes.sounds.played, QList<QByteArray>({PageSounds::storedSound(4)}));
    QCOMPARE(p.child<SelectionFrame>("cadreModèle")->borderColorValue(), 65280);
}

void PropertiesTest::outOfRangeValuesAreNotTaken() {
    Program p("temporisation=10000\r\ncadre_épaisseur=3\r\n");
    p.open();
    QCOMPARE(p.child<QSlider>("cursTemporisation")->value(), 500);
    QCOMPARE(p.child<QLabel>("lblTemporisation")->text(), QStringLiteral("500"));
    QCOMPARE(p.child<QSlider>("cursEpaisseurCadre")->value(), 30);
    QCOMPARE(p.child<SelectionFrame>("cadreModèle")->borderWidth(), 3);
    p.click("cmsSauve");
    QVERIFY(p.configLines().contains("temporisation=500"));
    QVERIFY(p.configLines().contains(QString::fromUtf8("cadre_épaisseur=3")));
}

void PropertiesTest::immediateAndSavedValues() {
    Program p("temporisation=2000\r\n");
    p.open();
    p.child<QSlider>("cursTemporisation")->setValue(1200);
    QCOMPARE(p.child<QLabel>("lblTemporisation")->text(), QStringLiteral("1200"));
    QCOMPARE(p.state.settings.scanDelay, 2000); // only once saved
    p.child<QSlider>("cursEpaisseurCadre")->setValue(20);
    QCOMPARE(p.child<SelectionFrame>("cadreModèle")->borderWidth(), 20);
    p.clickSwatch("lblCouleur(8)");
    QCOMPARE(p.child<SelectionFrame>("cadreModèle")->borderColorValue(), 255);
    QCOMPARE(p.state.settings.frameColor, 255);
    p.click("optAccès(1)");
    QCOMPARE(p.state.settings.accessMode, kAccessScanning); // at once
    p.click("optClignote(1)");
    QVERIFY(p.state.settings.frameBlink);
    p.fakes.dialogs.colors = {65535};
    p.click("cmdCouleurFond");
    QCOMPARE(p.state.settings.backgroundColor, 65535.0);

    p.click("cmsSauve");
    QVERIFY(!p.startup->programProperties());
    const QStringList lines = p.configLines();
    for (const char *line :
         {"temporisation=1200", "couleur_fond=65535", "cadre_couleur=255", "cadre_clignote=oui"})
        QVERIFY2(lines.contains(line), line);
    QVERIFY(lines.contains(QString::fromUtf8("cadre_épaisseur=20")));
    QVERIFY(lines.contains(QString::fromUtf8("accès=défilement")));
    // Read back and applied to the page.
    QCOMPARE(p.state.settings.scanDelay, 1200);
    QCOMPARE(p.main().scanTimer()->interval(), 1200);
    QVERIFY(p.main().scanTimer()->isActive());
    QCOMPARE(p.main().backgroundColorValue(), 65535);
    QCOMPARE(p.main().selectionFrame()->borderWidth(), 20);
    QCOMPARE(p.main().selectionFrame()->borderColorValue(), 255);

    // Swatch 0 is the system colour, kept as its reference.
    p.open();
    p.clickSwatch("lblCouleur(0)");
    p.click("cmsSauve");
    QVERIFY(p.configLines().contains("cadre_couleur=-2147483643"));
}

void PropertiesTest::cancelKeepsTheImmediateOnes() {
    Program p("temporisation=2000\r\n");
    p.open();
    p.click("optAccès(1)");
    p.child<QSlider>("cursTemporisation")->setValue(900);
    p.clickSwatch("lblCouleur(4)");
    p.click("cmdAnnule");
    QVERIFY(!p.startup->programProperties());
    QCOMPARE(p.state.settings.accessMode, kAccessScanning);
    // What lived only in the dialog went with it.
    p.main().action("menuQuitter")->trigger();
    const QStringList lines = p.configLines();
    QVERIFY(lines.contains(QString::fromUtf8("accès=défilement")));
    QVERIFY(lines.contains("temporisation=2000"));
    QVERIFY(lines.contains("cadre_couleur=255"));
}

void PropertiesTest::videoButtons() {
    for (const VideoChoice &c : kVideoChoices) {
        Program p("");
        p.open();
        p.click(QString::fromLatin1(c.name));
        QCOMPARE(p.child<QPushButton>(QString::fromLatin1(c.name))->text(),
                 QString::fromUtf8(c.caption));
        QCOMPARE(p.state.settings.videoWidth, double(c.videoWidth));
        QCOMPARE(p.state.settings.videoHeight, c.videoHeight);
        MediaWindow *w = p.main().findChild<MediaWindow *>();
        if (!w) {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *m = qobject_cast<MediaWindow *>(top))
                    w = m;
        }
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->frameGeometry().size(), QSize(c.windowWidth, c.windowHeight));
        p.click("cmsSauve");
        QVERIFY(!w->isVisible());
        QVERIFY(p.configLines().contains(QStringLiteral("video_largeur= %1").arg(c.videoWidth)));
        QVERIFY(p.configLines().contains(QStringLiteral("video_hauteur=%1").arg(c.videoHeight)));
    }
}

void PropertiesTest::pageSound() {
    Program p("son_page=oui,2\r\n");
    p.open();
    p.fakes.sounds.played.clear();
    p.click("optSon(7)");
    QCOMPARE(p.fakes.sounds.played, QList<QByteArray>({PageSounds::storedSound(7)}));
    QCOMPARE(p.state.settings.pageSoundNumber, 7);
    p.click("cmdSonPage");
    QVERIFY(!p.state.settings.pageSoundOn);
    QCOMPARE(p.child<QPushButton>("cmdSonPage")->text(),
             QStringLiteral("Joue un son au changement de page= non"));
    p.click("cmsSauve");
    QVERIFY(p.configLines().contains("son_page=non,0"));
    QCOMPARE(p.state.settings.pageSoundNumber, 1);
    p.open();
    QVERIFY(p.child<QRadioButton>("optSon(1)")->isChecked());
}

void PropertiesTest::oneCopyAtATime() {
    Program p("");
    ProgramPropertiesDialog *first = p.open();
    QCOMPARE(p.open(), first);
    QCOMPARE(p.main().findChildren<ProgramPropertiesDialog *>().size(), 1);
}

void PropertiesTest::quitWritesWhatTheDialogHolds() {
    Program p("temporisation=20000\r\n");
    // Never opened: the values it would open with.
    p.main().action("menuQuitter")->trigger();
    QVERIFY(p.configLines().contains("temporisation=500"));
}

void PropertiesTest::pageColourSwatches() {
    Program p("couleur_fond=16711680\r\n");
    PageColorDialog d(p.state, p.main(), p.fakes.services);
    QCOMPARE(d.windowTitle(), QStringLiteral("Couleur de fond de la page"));
    auto *eight = d.findChild<ColorSwatch *>("lblCouleurFondPage(8)");
    QCOMPARE(eight->value(), 16711680);
    QCOMPARE(eight->text(), QStringLiteral("couleur du programme"));
    // Whole within its swatch, in a colour that reads on it.
    QVERIFY(eight->wordWrap());
    QVERIFY(eight->heightForWidth(eight->width()) <= eight->height());
    QCOMPARE(eight->palette().color(QPalette::WindowText), QColor(Qt::white)); // on blue
    // OK at once: light grey, and the page counts as modified.
    p.state.page.pageModified = false;
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(p.state.page.pageColor, 14737632);
    QCOMPARE(p.main().backgroundColorValue(), 14737632);
    QVERIFY(p.state.page.pageModified);

    PageColorDialog again(p.state, p.main(), p.fakes.services);
    // On a black background the dialog's texts turn white.
    QTest::mouseClick(again.findChild<ColorSwatch *>("lblCouleurFondPage(7)"), Qt::LeftButton);
    QCOMPARE(again.palette().color(QPalette::WindowText), QColor(Qt::white));
    QTest::mouseClick(again.findChild<ColorSwatch *>("lblCouleurFondPage(0)"), Qt::LeftButton);
    QTest::mouseClick(again.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(p.state.page.pageColor, -2147483643);
    p.main().action("mnuSauvePage")->trigger();
    QCOMPARE(test::fileBytes(p.dir.filePath(QStringLiteral("pages/page_départ.dat"))),
             QByteArray("couleur_page=-2147483643\r\n"));
}

void PropertiesTest::pageColourOtherColourThenCancel() {
    Program p("");
    const qint32 shown = p.main().backgroundColorValue();
    PageColorDialog d(p.state, p.main(), p.fakes.services);
    p.fakes.dialogs.colors = {std::nullopt};
    QTest::mouseClick(d.findChild<QPushButton *>("cmdAutreCouleur"), Qt::LeftButton);
    QCOMPARE(d.chosen(), 0xE0E0E0);
    p.fakes.dialogs.colors = {4210752};
    QTest::mouseClick(d.findChild<QPushButton *>("cmdAutreCouleur"), Qt::LeftButton);
    const qint32 before = p.state.page.pageColor;
    QCOMPARE(d.chosen(), 4210752);
    QTest::mouseClick(d.findChild<QPushButton *>("cmdAnnule"), Qt::LeftButton);
    // Cancel cancels: the page keeps the colour it is shown in, and saves it.
    QCOMPARE(p.main().backgroundColorValue(), shown);
    QVERIFY(!p.state.page.pageModified);
    QCOMPARE(p.state.page.pageColor, before);
}

QTEST_MAIN(PropertiesTest)
#include "tst_properties.moc"
