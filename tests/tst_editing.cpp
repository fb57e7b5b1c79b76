// Building a page by hand: the picture menu, creating, deleting, moving and resizing.

#include "platform/AppState.h"
#include "edit/EditGeometry.h"
#include "edit/Outline.h"
#include "edit/PictureEditor.h"
#include "edit/PointerModes.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "support/Fakes.h"
#include "support/PageFixture.h"
#include "use/MediaPlayback.h"
#include "page/PageSounds.h"
#include "use/PictureActivation.h"
#include "use/SpeechWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

// Pixels in the file, twips on screen: 15 twips to the pixel.
const QByteArray kPage = "couleur_page=1\r\n"
                         "p.jpg,un,20,40,100,80\r\n"      // 300, 600, 1500 × 1200 twips
                         "p.jpg,deux,200,40,100,80\r\n"   // 3000, 600
                         "p.jpg,trois,20,200,100,80\r\n"; // 300, 3000

struct Page : test::PageFixture {
    SpeechWindow speech{fakes.speech, fakes.dialogs};
    MediaPlayback media{state, window, fakes.services};
    PointerModes modes{state, window, fakes.services};
    PictureEditor editor{state, window, fakes.services, media, modes};
    PictureActivation activation{state, window, fakes.services, speech, loader, media, [] {}};

    Page() {
        state.settings.frameThickness = 10;
        activation.setEditor(&editor);
        QObject::connect(&window, &MainWindow::backgroundPressed, &media,
                         &MediaPlayback::stopAndClose);
        loadPageA(kPage);
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    PictureControl *img(int n) const { return window.img(n); }
    QRect rect(int n) const { return img(n)->twipsRect(); }
    QRect record(int n) const {
        const ImageRecord &r = state.page.imageTable[std::size_t(n)];
        return {r.left, r.top, r.width, r.height};
    }
    // A real right press on picture n; the menu's entry is chosen once the menu is up.
    void menu(int n, const QString &entry) {
        QTimer::singleShot(0, &window, [this, entry] {
            QWidget *popup = QApplication::activePopupWidget();
            QVERIFY(popup == window.pictureMenu());
            window.action(entry)->trigger();
            popup->close();
        });
        QTest::mousePress(img(n), Qt::RightButton, {}, {5, 5});
    }
    QByteArray saved() {
        loader.savePage();
        return test::fileBytes(dir.filePath("pages/page_a.dat"));
    }
    // A point of the page, in pixels, as seen from picture n (for a release during a drag).
    QPoint fromPicture(int n, QPoint surfacePixels) const {
        return img(n)->mapFromGlobal(window.surface()->mapToGlobal(surfacePixels));
    }
};

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private slots:
    void newPictureAtTheTopLeft();
    void createBesideAPicture();
    void deletionKeepsTheCountAndTheIndex();
    void deletionAnsweredNoOrCancel();
    void creationStopsAtTheLastIndex();
    void dragWithBothDrops();
    void dragOutsideMovesNothing();
    void arrowKeys();
    void growAndShrink();
    void stretch();
    void editsReachThePageFile();
    void placesAndSizesStayWithinTheRecord();
};

void EditingTest::newPictureAtTheTopLeft() {
    Page p;
    p.window.action("mnuNouvelleImage")->trigger();
    QCOMPARE(p.state.page.imageCount, 4);
    QCOMPARE(p.state.currentImage, 4);
    QCOMPARE(p.rect(4), QRect(0, 0, 1215, 1215));
    QVERIFY(p.img(4)->isVisible());
    QCOMPARE(p.img(4)->tag(), QStringLiteral("composant non programmé"));
    QCOMPARE(p.state.page.imageTable[4], ImageRecord{});
    QVERIFY(!p.state.page.pageModified);
    QCOMPARE(p.saved(), kPage); // it has no picture file yet

    // Pressing it says its words, like any phrase.
    QTest::mousePress(p.img(4), Qt::LeftButton, {}, {5, 5});
    QCOMPARE(p.fakes.speech.said.last(), QStringLiteral("composant non programmé"));
}

void EditingTest::createBesideAPicture() {
    Page p;
    p.menu(1, "mnuCréeADroite");
    QCOMPARE(p.state.currentImage, 4);
    QCOMPARE(p.rect(4), QRect(1950, 600, 1500, 1200)); // 300 + 1500 + 10 pixels of 15 twips
    QCOMPARE(p.record(4), QRect(1950, 600, 1500, 1200));
    QVERIFY(p.state.page.imageTable[4].imageFile.isEmpty());
    QVERIFY(p.img(4)->tag().isEmpty());
    p.menu(1, "mnuCréeDessous");
    QCOMPARE(p.rect(5), QRect(300, 1950, 1500, 1200));
    QCOMPARE(p.record(5), QRect(300, 1950, 1500, 1200));
    QVERIFY(!p.state.page.pageModified);
    // The menu hid the frame first.
    QVERIFY(!p.window.selectionFrame()->isVisible());
}

void EditingTest::deletionKeepsTheCountAndTheIndex() {
    Page p;
    p.fakes.dialogs.answers = {MessageAnswer::Yes};
    p.menu(2, "mnuSupprimeImage");
    QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Supprimer cette image ?"));
    QCOMPARE(p.fakes.dialogs.messages[0].buttons, MessageButtons::YesNoCancel);
    QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::Question);
    QVERIFY(!p.window.img(2));
    QVERIFY(p.state.page.imageTable[2].imageFile.isEmpty());
    QVERIFY(p.state.page.imageTable[2].imageAction.isEmpty());
    QCOMPARE(p.state.page.imageCount, 3);
    QCOMPARE(p.state.currentImage, 2);
    QVERIFY(p.state.page.pageModified);

    // A right press on another picture makes it the one the menu acts on.
    p.menu(3, "mnuCréeADroite");
    QCOMPARE(p.state.currentImage, 4);
    QCOMPARE(p.rect(4).topLeft(), QPoint(1950, 3000));
    // After a save and a reload the pictures are numbered afresh.
    QCOMPARE(p.saved(), QByteArray("couleur_page=1\r\np.jpg,un,20,40,100,80\r\n"
                                   "p.jpg,trois,20,200,100,80\r\n"));
    p.loader.loadPage();
    QCOMPARE(p.img(2)->tag(), QStringLiteral("trois"));
    QCOMPARE(p.state.page.imageCount, 2);
}

void EditingTest::deletionAnsweredNoOrCancel() {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
        Page p;
        const auto before = p.state.page.imageTable;
        p.fakes.dialogs.answers = {answer};
        p.menu(2, "mnuSupprimeImage");
        QVERIFY(p.window.img(2));
        QCOMPARE(p.state.page.imageTable, before);
        QVERIFY(!p.state.page.pageModified);
    }
}

void EditingTest::creationStopsAtTheLastIndex() {
    Page p;
    for (int i = 4; i <= kMaxImages; ++i)
        p.window.action("mnuNouvelleImage")->trigger();
    QCOMPARE(p.state.page.imageCount, kMaxImages);
    QVERIFY(p.fakes.dialogs.messages.isEmpty());
    p.window.action("mnuNouvelleImage")->trigger();
    p.state.currentImage = 1;
    p.window.action("mnuCréeADroite")->trigger();
    QCOMPARE(p.state.page.imageCount, kMaxImages);
    QCOMPARE(p.fakes.dialogs.messages.size(), 2);
    QVERIFY(p.fakes.dialogs.messages[0].text.contains("50 images"));
    QCOMPARE(p.state.currentImage, 1);
}

void EditingTest::dragWithBothDrops() {
    Page p;
    p.menu(1, "mnuDéplacer");
    QCOMPARE(p.state.pointerMode, kModeMove);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::SizeAllCursor);
    // Grabbed 195, 300 twips inside picture 3; dropped on the background at 4995, 3990.
    QTest::mousePress(p.img(3), Qt::LeftButton, {}, {13, 20});
    QVERIFY(p.state.pointerMode.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(p.state.page.pageModified);
    QCOMPARE(p.state.dragStart, QPoint(195, 300));
    QCOMPARE(p.rect(3).topLeft(), QPoint(300, 3000)); // still in place until the drop
    QTest::mouseMove(p.img(3), p.fromPicture(3, {200, 150}));
    QCOMPARE(p.modes.dragOutline()->twipsRect(), QRect(3000 - 195, 2250 - 300, 1500, 1200));
    QTest::mouseRelease(p.img(3), Qt::LeftButton, {}, p.fromPicture(3, {333, 266}));
    QCOMPARE(p.rect(3), QRect(4800, 3690, 1500, 1200));
    QCOMPARE(p.record(3), QRect(4800, 3690, 1500, 1200));
    QVERIFY(!p.modes.dragOutline()->isVisible());

    // Dropped on picture 2 (at 3000, 600), 105 and 150 twips inside it.
    p.state.page.pageModified = false;
    p.menu(2, "mnuDéplacer");
    QTest::mousePress(p.img(3), Qt::LeftButton, {}, {13, 20});
    QTest::mouseRelease(p.img(3), Qt::LeftButton, {}, p.fromPicture(3, {207, 50}));
    QCOMPARE(p.rect(3).topLeft(), QPoint(3000 + 105 - 195, 600 + 150 - 300));
    QVERIFY(p.state.page.pageModified);
}

void EditingTest::dragOutsideMovesNothing() {
    Page p;
    p.menu(1, "mnuDéplacer");
    QTest::mousePress(p.img(1), Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(p.img(1), Qt::LeftButton, {}, p.fromPicture(1, {-50, 300}));
    QCOMPARE(p.rect(1), QRect(300, 600, 1500, 1200));
    QVERIFY(p.state.page.pageModified);
    // Released where it was grabbed: in place, yet the page counts as modified.
    p.state.page.pageModified = false;
    p.menu(1, "mnuDéplacer");
    QTest::mousePress(p.img(1), Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(p.img(1), Qt::LeftButton, {}, {10, 10});
    QCOMPARE(p.rect(1), QRect(300, 600, 1500, 1200));
    QVERIFY(p.state.page.pageModified);
}

void EditingTest::arrowKeys() {
    Page p;
    // With no mode armed an arrow moves nothing, but the place is recorded.
    p.img(2)->setTwipsGeometry(3007, 600, 1500, 1200);
    p.state.currentImage = 2;
    QTest::keyPress(&p.window, Qt::Key_Right);
    QCOMPARE(p.rect(2).x(), 3007);
    QCOMPARE(p.record(2).x(), 3007);

    p.menu(2, "mnuDéplacer");
    for (int i = 0; i < 4; ++i)
        QTest::keyPress(&p.window, Qt::Key_Right);
    QTest::keyPress(&p.window, Qt::Key_Up);
    QCOMPARE(p.rect(2).topLeft(), QPoint(3407, 500));
    QCOMPARE(p.record(2).topLeft(), QPoint(3407, 500));
    QCOMPARE(p.state.pointerMode, kModeMove);
    QTest::keyPress(&p.window, Qt::Key_Return);
    QVERIFY(p.state.pointerMode.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(p.rect(2).topLeft(), QPoint(3407, 500));
    QVERIFY(p.state.page.pageModified); // a move by the keys asks to be saved as a drag does
}

void EditingTest::growAndShrink() {
    Page p;
    p.img(1)->setTwipsGeometry(300, 600, 1215, 1215);
    p.menu(1, "mnuPlusGrand");
    p.menu(1, "mnuPlusGrand");
    QCOMPARE(p.rect(1), QRect(300, 600, 2015, 2015));
    QCOMPARE(p.record(1), QRect(300, 600, 2015, 2015)); // the capture after the menu
    QVERIFY(p.state.page.pageModified);
    p.state.page.pageModified = false;

    p.img(1)->setTwipsGeometry(300, 600, 1615, 1800);
    p.menu(1, "mnuPlusPetit");
    QCOMPARE(p.rect(1).size(), QSize(1615, 1800));
    p.img(1)->setTwipsGeometry(300, 600, 1616, 1800);
    p.menu(1, "mnuPlusPetit");
    QCOMPARE(p.rect(1).size(), QSize(1216, 1400));
    QVERIFY(p.state.page.pageModified);
    // A wide, flat picture would vanish: it keeps its size.
    p.img(1)->setTwipsGeometry(300, 600, 3000, 400);
    p.menu(1, "mnuPlusPetit");
    QCOMPARE(p.rect(1).size(), QSize(3000, 400));
}

void EditingTest::stretch() {
    Page p;
    QWidget *background = p.window.surface();
    p.menu(1, "mnuEtirer");
    QCOMPARE(p.state.pointerMode, kModeStretch);
    QVERIFY(!p.img(1)->isVisible());
    Outline *outline = p.modes.stretchOutline();
    QVERIFY(outline->isVisible());
    QCOMPARE(outline->twipsRect(), QRect(300, 600, 1500, 1200));
    QVERIFY(!p.state.page.pageModified);
    QTest::mouseMove(background, {300, 200});
    QCOMPARE(outline->twipsRect(), QRect(300, 600, 4200, 2400));
    QVERIFY(p.state.page.pageModified);
    QTest::mousePress(background, Qt::LeftButton, {}, {300, 200});
    QCOMPARE(p.rect(1), QRect(300, 600, 4200, 2400));
    QCOMPARE(p.record(1), QRect(300, 600, 4200, 2400));
    QVERIFY(p.img(1)->isVisible());
    QVERIFY(!outline->isVisible());
    QVERIFY(p.state.pointerMode.isEmpty());
    QVERIFY(!QApplication::overrideCursor());

    // Ended above or left of the corner: the size stays.
    p.menu(1, "mnuEtirer");
    QTest::mousePress(background, Qt::LeftButton, {}, {10, 300});
    QCOMPARE(p.rect(1).size(), QSize(4200, 2400));
    QVERIFY(p.img(1)->isVisible());
    QVERIFY(p.fakes.dialogs.messages.isEmpty());

    // Too low: a warning, and the height is kept.
    p.menu(1, "mnuEtirer");
    QTest::mousePress(background, Qt::LeftButton, {}, {60, 53}); // 900, 795 twips
    QCOMPARE(p.rect(1).size(), QSize(600, 195));
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Hauteur trop petite"));
    QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::None);
}

void EditingTest::editsReachThePageFile() {
    Page p;
    p.menu(1, "mnuDéplacer");
    QTest::mousePress(p.img(1), Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(p.img(1), Qt::LeftButton, {}, p.fromPicture(1, {410, 310}));
    p.menu(1, "mnuPlusGrand");
    p.menu(2, "mnuCréeDessous");
    p.state.page.imageTable[4].imageFile = "p.jpg"; // as the properties dialog would
    p.state.page.imageTable[4].imageAction = "quatre";
    QCOMPARE(p.saved(), QByteArray("couleur_page=1\r\np.jpg,un,400,300,126,106\r\n"
                                   "p.jpg,deux,200,40,100,80\r\np.jpg,trois,20,200,100,80\r\n"
                                   "p.jpg,quatre,200,130,100,80\r\n"));
    QVERIFY(!p.state.page.pageModified);
}

void EditingTest::placesAndSizesStayWithinTheRecord() {
    QCOMPARE(besideRight(QRect(30000, 0, 3000, 100), 150), QRect(32767, 0, 3000, 100));
    QCOMPARE(grown(QRect(0, 0, 32600, 100)), QRect(0, 0, 32767, 500));
    QCOMPARE(stretchedTo(QRect(-32768, 0, 100, 100), QPoint(32767, 5)), QRect(-32768, 0, 32767, 5));
    Page p;
    p.img(1)->setTwipsGeometry(32700, 600, 1500, 1200);
    p.menu(1, "mnuDéplacer");
    QTest::keyPress(&p.window, Qt::Key_Right);
    QCOMPARE(p.rect(1).x(), 32767);
    QCOMPARE(p.record(1).x(), 32767);
}

QTEST_MAIN(EditingTest)
#include "tst_editing.moc"
