// Building pages by hand: the page commands, the picture menu (creating, deleting, moving,
// resizing) and the picture properties dialog.

#include "app/PageLock.h"
#include "edit/EditGeometry.h"
#include "edit/Outline.h"
#include "edit/PictureEditor.h"
#include "edit/PointerModes.h"
#include "edit/PropertiesDialog.h"
#include "page/PageCommands.h"
#include "page/PictureControl.h"
#include "page/SelectionFrame.h"
#include "platform/Cp1252.h"
#include "platform/StoredPath.h"
#include "platform/Wav.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/PageFixture.h"
#include "use/MediaPlayback.h"
#include "use/PictureActivation.h"
#include "use/SpeechWindow.h"
#include "voice/RecorderWindow.h"
#include "voice/VoiceTake.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

// Pixels in the file, twips on screen: 15 twips to the pixel.
const QByteArray kPage = "couleur_page=1\r\n"
                         "p.jpg,un,20,40,100,80\r\n"      // 300, 600, 1500 × 1200 twips
                         "p.jpg,deux,200,40,100,80\r\n"   // 3000, 600
                         "p.jpg,trois,20,200,100,80\r\n"; // 300, 3000
// One picture for each kind of action the properties dialog knows.
// A picture for each action of the table of cases.
const QStringList kActions = [] {
    QStringList actions;
    for (const QStringList &row : test::caseTable("action_kinds.tsv"))
        actions << row[0];
    return actions;
}();

struct Page : test::PageFixture {
    SpeechWindow speech{fakes.speech};
    MediaPlayback media{state, window, fakes.services};
    PointerModes modes{state, window, fakes.services};
    PictureEditor editor{state, window, fakes.services, media, modes};
    PictureActivation activation{state, window, fakes.services, speech, loader, media, [] {}};
    PageCommands commands{state, window, fakes.services, loader};

    explicit Page(bool actions = false) {
        state.settings.frameThickness = 10;
        activation.setEditor(&editor);
        QObject::connect(&window, &MainWindow::backgroundPressed, &media,
                         &MediaPlayback::stopAndClose);
        QDir(dir.path()).mkpath("pages/animaux");
        QDir(dir.path()).mkpath("multimedia/animaux");
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        image.save(path("multimedia/animaux/chat.jpg"));
        test::writeBytes(path("pages/animaux/page_chats.dat"),
                         "couleur_page=2\r\np.jpg,Miaou,0,0,20,20\r\n");
        QString text = "couleur_page=1\r\n";
        for (int i = 0; i < kActions.size(); ++i)
            text += QString("p.jpg,%1,%2,0,20,30\r\n").arg(kActions[i]).arg(i * 30);
        loadPageA(actions ? *encodeCp1252(text) : kPage);
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
        return test::fileBytes(path("pages/page_a.dat"));
    }
    // A point of the page, in pixels, as seen from picture n (for a release during a drag).
    QPoint fromPicture(int n, QPoint surfacePixels) const {
        return img(n)->mapFromGlobal(window.surface()->mapToGlobal(surfacePixels));
    }
    void drag(int n, QPoint grab, QPoint dropOnSurface) {
        menu(n, "mnuDéplacer");
        QTest::mousePress(img(n), Qt::LeftButton, {}, grab);
        QTest::mouseRelease(img(n), Qt::LeftButton, {}, fromPicture(n, dropOnSurface));
    }
    // The properties dialog opened on the picture whose action is `action`.
    std::unique_ptr<PropertiesDialog> open(const QString &action) {
        state.currentImage = int(kActions.indexOf(action)) + 1;
        return std::make_unique<PropertiesDialog>(state, window, fakes.services, speech, cache);
    }
    static QString text(const QDialog &d, const char *name) {
        if (auto *label = d.findChild<QLabel *>(name))
            return label->text();
        return d.findChild<QPlainTextEdit *>(name)->toPlainText();
    }
    static void click(const QDialog &d, const char *name) {
        QTest::mouseClick(d.findChild<QPushButton *>(name), Qt::LeftButton);
    }
    const ImageRecord &current() const {
        return state.page.imageTable[std::size_t(state.currentImage)];
    }
};

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private slots:
    void newPageAsksItsNameAndNeverEmptiesAPageUnasked() {
        QCOMPARE(newPageName("page_maison.dat"), QStringLiteral("page_maison.dat"));
        QCOMPARE(newPageName("Page_Maison.DAT"), QStringLiteral("page_Page_Maison.DAT.dat"));
        Page p;
        p.fakes.dialogs.inputs = {"maison", "", "jardin", "a", "a"};
        p.fakes.dialogs.files = {p.path("pages/page_maison.dat"), std::nullopt,
                                 p.path("pages/page_a.dat"), p.path("pages/page_a.dat")};
        p.window.action("mnuNouvellePage")->trigger();
        QCOMPARE(p.fakes.dialogs.fileRequests[0].fileName, QStringLiteral("page_maison.dat"));
        QCOMPARE(test::fileBytes(p.path("pages/page_maison.dat")), QByteArray("\r\n"));
        QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat")); // not made current
        // A cancelled name or a cancelled file dialog makes nothing.
        p.window.action("mnuNouvellePage")->trigger();
        p.window.action("mnuNouvellePage")->trigger();
        QCOMPARE(p.fakes.dialogs.fileRequests.size(), 2);
        QVERIFY(!QFile::exists(p.path("pages/page_jardin.dat")));
        // An existing page is emptied only when the carer says so.
        p.fakes.dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
        p.window.action("mnuNouvellePage")->trigger();
        QCOMPARE(test::fileBytes(p.path("pages/page_a.dat")), kPage);
        p.window.action("mnuNouvellePage")->trigger();
        QCOMPARE(test::fileBytes(p.path("pages/page_a.dat")), QByteArray("\r\n"));
    }

    void loadAndSaveThroughTheFileDialog() {
        for (const QStringList &row : test::caseTable("chosen_files.tsv")) {
            const ChosenFile c = relativeToDataDirectory("/srv/aide/pages", row[0]);
            QCOMPARE(c.name + (c.inside ? " inside" : " outside"), row[1] + u' ' + row[2]);
        }
        // Cancelled, or a page that turns out not to be there: the page shown stays, with its
        // name, so that a later save writes its own file.
        Page p;
        p.state.page.pageModified = true;
        p.fakes.dialogs.files = {std::nullopt, QStringLiteral("/nulle/part/page_x.dat"),
                                 p.path("pages/animaux/page_chats.dat")};
        p.window.action("mnuChargePage")->trigger();
        p.window.action("mnuChargePage")->trigger();
        QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat"));
        QVERIFY(p.state.page.pageModified && p.window.img(1));
        QCOMPARE(p.fakes.dialogs.messages.size(), 1);
        // The modified page is offered a save: "Annuler" stays on it, "Non" goes.
        p.fakes.dialogs.files.push_back(p.path("pages/animaux/page_chats.dat"));
        p.fakes.dialogs.answers = {MessageAnswer::Cancel, MessageAnswer::No};
        p.window.action("mnuChargePage")->trigger();
        QVERIFY(p.state.page.pageModified && p.state.page.currentPage == "page_a.dat");
        p.window.action("mnuChargePage")->trigger();
        QCOMPARE(p.window.windowTitle(), QStringLiteral("Tablavox -::- animaux\\page_chats.dat"));
        p.state.page.pageColor = 65280;
        p.window.action("mnuSauvePage")->trigger();
        QCOMPARE(test::fileBytes(p.path("pages/animaux/page_chats.dat")),
                 QByteArray("couleur_page=65280\r\np.jpg,Miaou,0,0,20,20\r\n"));
    }

    void newPicturesInTheCornerAndBeside() {
        Page p;
        p.window.action("mnuNouvelleImage")->trigger();
        QCOMPARE(p.rect(4), QRect(0, 0, 1215, 1215));
        QCOMPARE(p.img(4)->tag(), QStringLiteral("composant non programmé"));
        QVERIFY(!p.state.page.pageModified);
        QCOMPARE(p.saved(), kPage); // it has no picture file yet
        p.menu(1, "mnuCréeADroite");
        QCOMPARE(p.record(5), QRect(1950, 600, 1500, 1200)); // 300 + 1500 + 10 pixels of 15
        p.menu(1, "mnuCréeDessous");
        QCOMPARE(p.record(6), QRect(300, 1950, 1500, 1200));
        // Up to the last index, then a message and nothing more.
        for (int i = 7; i <= kMaxImages; ++i)
            p.window.action("mnuNouvelleImage")->trigger();
        QVERIFY(p.fakes.dialogs.messages.isEmpty());
        p.window.action("mnuNouvelleImage")->trigger();
        p.state.currentImage = 1;
        p.window.action("mnuCréeADroite")->trigger();
        QCOMPARE(p.state.page.imageCount, kMaxImages);
        QCOMPARE(p.fakes.dialogs.messages.size(), 2);
        QVERIFY(p.fakes.dialogs.messages[0].text.contains("50 images"));
        QCOMPARE(p.state.currentImage, 1);
    }

    void deletionAsksAndKeepsTheIndices() {
        for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
            Page p;
            const auto before = p.state.page.imageTable;
            p.fakes.dialogs.answers = {answer};
            p.menu(2, "mnuSupprimeImage");
            QVERIFY(p.window.img(2) && p.state.page.imageTable == before);
            QVERIFY(!p.state.page.pageModified);
        }
        Page p;
        p.fakes.dialogs.answers = {MessageAnswer::Yes};
        p.menu(2, "mnuSupprimeImage");
        QVERIFY(!p.window.img(2) && p.state.page.imageTable[2].imageFile.isEmpty());
        QCOMPARE(p.state.page.imageCount, 3);
        QVERIFY(p.state.page.pageModified);
        // A right press on another picture makes it the one the menu acts on.
        p.menu(3, "mnuCréeADroite");
        QCOMPARE(p.rect(4).topLeft(), QPoint(1950, 3000));
        // After a save and a reload the pictures are numbered afresh.
        QCOMPARE(p.saved(), QByteArray("couleur_page=1\r\np.jpg,un,20,40,100,80\r\n"
                                       "p.jpg,trois,20,200,100,80\r\n"));
        p.loader.loadPage();
        QCOMPARE(p.img(2)->tag(), QStringLiteral("trois"));
    }

    void dragOntoTheBackgroundOrAPicture() {
        Page p;
        p.menu(1, "mnuDéplacer");
        QCOMPARE(p.modes.mode(), PointerMode::Move);
        // Grabbed 195, 300 twips inside picture 3; dropped on the background at 4995, 3990.
        QTest::mousePress(p.img(3), Qt::LeftButton, {}, {13, 20});
        QVERIFY(p.modes.mode() == PointerMode::None && !QApplication::overrideCursor());
        QCOMPARE(p.rect(3).topLeft(), QPoint(300, 3000)); // still in place until the drop
        QTest::mouseMove(p.img(3), p.fromPicture(3, {200, 150}));
        QCOMPARE(p.modes.dragOutline()->twipsRect(), QRect(3000 - 195, 2250 - 300, 1500, 1200));
        QTest::mouseRelease(p.img(3), Qt::LeftButton, {}, p.fromPicture(3, {333, 266}));
        QCOMPARE(p.record(3), QRect(4800, 3690, 1500, 1200));
        QCOMPARE(p.rect(3), p.record(3));
        QVERIFY(!p.modes.dragOutline()->isVisible());
        // Dropped on picture 2 (at 3000, 600), 105 and 150 twips inside it.
        p.drag(2, {13, 20}, {207, 50});
        QCOMPARE(p.rect(2).topLeft(), QPoint(3000 + 105 - 195, 600 + 150 - 300));
        // Outside the page, or where it was grabbed: in place, the page modified all the same.
        p.state.page.pageModified = false;
        p.drag(1, {10, 10}, {-50, 300});
        p.drag(1, {10, 10}, {30, 50});
        QCOMPARE(p.rect(1), QRect(300, 600, 1500, 1200));
        QVERIFY(p.state.page.pageModified);
    }

    void arrowKeysMoveOnlyInTheMoveMode() {
        Page p;
        // With no mode armed an arrow moves nothing, but the place is recorded.
        p.img(2)->setTwipsGeometry(3007, 600, 1500, 1200);
        p.state.currentImage = 2;
        QTest::keyPress(&p.window, Qt::Key_Right);
        QCOMPARE(p.record(2).x(), 3007);
        p.menu(2, "mnuDéplacer");
        for (int i = 0; i < 4; ++i)
            QTest::keyPress(&p.window, Qt::Key_Right);
        QTest::keyPress(&p.window, Qt::Key_Up);
        QCOMPARE(p.record(2).topLeft(), QPoint(3407, 500));
        QTest::keyPress(&p.window, Qt::Key_Return);
        QVERIFY(p.modes.mode() == PointerMode::None && !QApplication::overrideCursor());
        QVERIFY(p.state.page.pageModified);
        // Never beyond what the record holds.
        p.img(1)->setTwipsGeometry(32700, 600, 1500, 1200);
        p.menu(1, "mnuDéplacer");
        QTest::keyPress(&p.window, Qt::Key_Right);
        QCOMPARE(p.record(1).x(), 32767);
        QCOMPARE(besideRight(QRect(30000, 0, 3000, 100), 150), QRect(32767, 0, 3000, 100));
        QCOMPARE(grown(QRect(0, 0, 32600, 100)), QRect(0, 0, 32767, 500));
        QCOMPARE(stretchedTo(QRect(-32768, 0, 100, 100), QPoint(32767, 5)),
                 QRect(-32768, 0, 32767, 5));
    }

    void growShrinkAndStretch() {
        Page p;
        p.img(1)->setTwipsGeometry(300, 600, 1215, 1215);
        p.menu(1, "mnuPlusGrand");
        p.menu(1, "mnuPlusGrand");
        QCOMPARE(p.record(1), QRect(300, 600, 2015, 2015));
        const QList<std::pair<QSize, QSize>> shrinks = {
            {{1615, 1800}, {1615, 1800}},
            {{1616, 1800}, {1216, 1400}},
            {{3000, 400}, {3000, 400}}}; // a wide, flat picture would vanish: it keeps its size
        for (const auto &[before, after] : shrinks) {
            p.img(1)->setTwipsGeometry(300, 600, before.width(), before.height());
            p.menu(1, "mnuPlusPetit");
            QCOMPARE(p.rect(1).size(), after);
        }
        p.state.page.pageModified = false;
        QWidget *background = p.window.surface();
        p.img(1)->setTwipsGeometry(300, 600, 1500, 1200);
        p.menu(1, "mnuEtirer");
        QVERIFY(!p.img(1)->isVisible());
        Outline *outline = p.modes.stretchOutline();
        QTest::mouseMove(background, {300, 200});
        QCOMPARE(outline->twipsRect(), QRect(300, 600, 4200, 2400));
        QVERIFY(p.state.page.pageModified);
        QTest::mousePress(background, Qt::LeftButton, {}, {300, 200});
        QCOMPARE(p.record(1), QRect(300, 600, 4200, 2400));
        QVERIFY(p.img(1)->isVisible() && !outline->isVisible() &&
                p.modes.mode() == PointerMode::None);
        // Too low: a warning, and the height is kept.
        p.menu(1, "mnuEtirer");
        QTest::mousePress(background, Qt::LeftButton, {}, {60, 53}); // 900, 795 twips
        QCOMPARE(p.rect(1).size(), QSize(600, 195));
        QCOMPARE(p.fakes.dialogs.messages[0].text, QStringLiteral("Hauteur trop petite"));
        // Locked in the middle of a stretch: the picture comes back and the cursor is the
        // person's again.
        p.menu(1, "mnuEtirer");
        PageLock lock(p.state, p.window, p.fakes.services, p.modes, [] {});
        lock.setLocked(true);
        QVERIFY(p.img(1)->isVisible() && !outline->isVisible() && !QApplication::overrideCursor());
        QCOMPARE(p.modes.mode(), PointerMode::None);
    }

    void editsReachThePageFile() {
        Page p;
        p.drag(1, {10, 10}, {410, 310});
        p.menu(1, "mnuPlusGrand");
        p.menu(2, "mnuCréeDessous");
        p.state.page.imageTable[4].imageFile = "p.jpg"; // as the properties dialog would
        p.state.page.imageTable[4].imageAction = "quatre";
        QCOMPARE(p.saved(), QByteArray("couleur_page=1\r\np.jpg,un,400,300,126,106\r\n"
                                       "p.jpg,deux,200,40,100,80\r\np.jpg,trois,20,200,100,80\r\n"
                                       "p.jpg,quatre,200,130,100,80\r\n"));
        QVERIFY(!p.state.page.pageModified);
    }

    void propertiesOpenOnEveryKindOfAction() {
        Page p(true);
        for (QStringList e : test::caseTable("action_kinds.tsv")) {
            e.resize(5);
            auto d = p.open(e[0]);
            const ActionKind kind = d->actionKind();
            QCOMPARE(QString(kind == ActionKind::Media      ? "multimedia"
                             : kind == ActionKind::PageLink ? "page"
                                                            : "lire"),
                     e[1]);
            QCOMPARE(Page::text(*d, "txtALire"), e[2]);
            QCOMPARE(Page::text(*d, "lblFichierMultimedia"), e[3]);
            QCOMPARE(Page::text(*d, "lblFichierPage"), e[4]);
            QCOMPARE(d->findChild<QLabel *>("ImgExemple")->size(), QSize(20, 30));
            // Saved untouched, the action is kept; the page counts as modified all the same.
            p.state.page.pageModified = false;
            Page::click(*d, "cmdSauver");
            QCOMPARE(p.current().imageAction, e[0]);
            QVERIFY(p.state.page.pageModified);
        }
        // "Ecouter" says the phrase as it will be said, and nothing when there is none.
        Page::click(*p.open("bonjour\\à demain"), "cmdEcouter");
        Page::click(*p.open(""), "cmdEcouter");
        QCOMPARE(p.fakes.speech.said, QStringList({"bonjour\r\nà demain"}));
    }

    void aVoiceRecordedInTheDialogBecomesThePicturesSound() {
        Page p(true);
        auto d = p.open("bonjour\\à demain");
        QByteArray tone(44100 * 2, Qt::Uninitialized);
        for (int i = 0; i < 44100; ++i)
            qToLittleEndian(qint16(8000 * std::sin(i * 2 * M_PI * 440 / 44100)),
                            tone.data() + 2 * i);
        const QByteArray quiet(44100 * 2, '\0');
        QTimer::singleShot(0, [&] {
            auto *r = d->findChild<RecorderWindow *>();
            QCOMPARE(test::unnamedControls(r), QStringList());
            const auto says = [r] { return r->findChild<QLabel *>("message")->text(); };
            // No microphone: told, nothing kept, the window still usable.
            p.fakes.voice.missing = QStringLiteral("Aucun microphone");
            Page::click(*r, "cmdCommencer");
            QTRY_COMPARE(says(), QStringLiteral("Aucun microphone"));
            QVERIFY(!r->isRecording() && !r->findChild<QPushButton *>("cmdGarder")->isEnabled());
            // A minute at most, of a room's hum only: nothing to keep. Then a second of voice
            // between two of silence.
            p.fakes.voice.missing.clear();
            Page::click(*r, "cmdCommencer");
            p.fakes.voice.heard = QByteArray(61 * 88200, '\1');
            QTRY_VERIFY(!r->isRecording() && r->take().size() == 60 * 88200);
            Page::click(*r, "cmdGarder");
            QVERIFY(says().startsWith("Rien n'a été entendu") && r->isVisible());
            Page::click(*r, "cmdCommencer");
            p.fakes.voice.heard = quiet + tone + quiet;
            QTRY_COMPARE(r->take().size(), 3 * 88200);
            Page::click(*r, "cmdArrêter");
            QCOMPARE(r->findChild<QLabel *>("durée")->text(), QStringLiteral("3,0 s"));
            Page::click(*r, "cmdÉcouter");
            Page::click(*r, "cmdGarder");
        });
        Page::click(*d, "cmdVoix");
        QCOMPARE(Page::text(*d, "lblFichierMultimedia"),
                 QStringLiteral("voix\\bonjour_a_demain.wav"));
        Page::click(*d, "cmdSauver");
        QCOMPARE(p.current().imageAction, QStringLiteral("voix\\bonjour_a_demain.wav"));
        // What was heard is what was kept: the second of voice with its margins, at −1 dBFS.
        const QByteArray kept = test::fileBytes(p.path("multimedia/voix/bonjour_a_demain.wav"));
        QCOMPARE(p.fakes.sounds.played, QList<QByteArray>{kept});
        const auto wav = parseWav(kept);
        QVERIFY(wav && wav->format == (PcmFormat{44100, 1, 16}));
        QCOMPARE(wav->pcm.size(), 2 * (44100 + 2646 + 6615));
        QCOMPARE(qRound(peakOf(wav->pcm) * 32767), 29204);
        // Again for the same phrase: a file of its own, never over the first.
        QCOMPARE(keepVoice(wav->pcm, 44100, "Bonjour à demain", p.path("multimedia"), nullptr),
                 QStringLiteral("voix\\bonjour_a_demain_2.wav"));
        QCOMPARE(test::fileBytes(p.path("multimedia/voix/bonjour_a_demain.wav")), kept);
    }

    void aMediaFileAPhraseOrAPageForTheAction() {
        Page p(true);
        auto d = p.open("bonjour\\à demain");
        QDir(p.dir.path()).mkpath("multimedia/sons");
        test::writeBytes(p.path("multimedia/sons/air.mp3"), "ID3");
        p.fakes.dialogs.files = {p.path("multimedia/sons/air.mp3")};
        Page::click(*d, "cmdMultiMedia");
        QCOMPARE(Page::text(*d, "txtALire"), QString());
        QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QStringLiteral("sons\\air.mp3"));
        QVERIFY(p.fakes.dialogs.messages.isEmpty()); // inside: nothing copied
        QTest::keyClicks(d->findChild<QPlainTextEdit *>("txtALire"), "Encore");
        QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QString());
        QCOMPARE(d->actionKind(), ActionKind::Phrase);
        // A phrase with a comma and a line break survives the file.
        d->findChild<QPlainTextEdit *>("txtALire")->setPlainText("Encore, une\nfois");
        Page::click(*d, "cmdSauver");
        p.loader.savePage();
        p.loader.loadPage();
        QCOMPARE(p.window.img(1)->tag(), QStringLiteral("Encore, une\\fois"));
        // A page picked for the action.
        d = p.open("son.wav");
        p.fakes.dialogs.files = {p.path("pages/animaux/page_chats.dat")};
        Page::click(*d, "cmdPage");
        QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QString());
        Page::click(*d, "cmdSauver");
        QCOMPARE(p.current().imageAction, QStringLiteral("animaux\\page_chats.dat"));
    }

    void choosingAPictureInsideOrFromElsewhere() {
        Page p(true);
        auto d = p.open("bonjour\\à demain");
        p.fakes.dialogs.files = {p.path("multimedia/animaux/chat.jpg")};
        Page::click(*d, "cmdChercheImage");
        QCOMPARE(Page::text(*d, "lblNomImage"), QStringLiteral("animaux\\chat.jpg"));
        QCOMPARE(p.current().imageFile, QStringLiteral("p.jpg")); // recorded on "Enregistrer"
        QCOMPARE(Page::text(*d, "txtALire"), QString()); // the phrase went with the old picture
        Page::click(*d, "cmdSauver");
        QCOMPARE(p.current().imageFile, QStringLiteral("animaux\\chat.jpg"));
        const PictureControl *picture = p.window.img(p.state.currentImage);
        QVERIFY(picture->picture().pixelColor(5, 5).blue() > 240);
        QCOMPARE(picture->twipsRect(), QRect(0, 0, 300, 450)); // keeps its place and size

        // From elsewhere: copied in, beside another picture of the same name.
        QTemporaryDir elsewhere;
        test::writeBytes(elsewhere.filePath("p.jpg"), test::pngBytes(Qt::green));
        d = p.open("son.wav");
        p.fakes.dialogs.files = {elsewhere.filePath("p.jpg")};
        const QByteArray red = test::fileBytes(p.path("multimedia/p.jpg"));
        Page::click(*d, "cmdChercheImage");
        QCOMPARE(p.fakes.dialogs.messages.size(), 1); // "le fichier va être recopié"
        QCOMPARE(test::fileBytes(p.path("multimedia/p.jpg")), red);
        QCOMPARE(test::fileBytes(p.path("multimedia/p_2.jpg")), test::pngBytes(Qt::green));
        QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QStringLiteral("son.wav")); // kept
        // "Annuler": the record and the picture on the screen as they were.
        const QImage before = p.window.img(p.state.currentImage)->picture();
        p.state.page.pageModified = false;
        Page::click(*d, "cmdAnnuler");
        QCOMPARE(p.current().imageFile, QStringLiteral("p.jpg"));
        QCOMPARE(p.window.img(p.state.currentImage)->picture(), before);
        QVERIFY(!p.state.page.pageModified);
    }
};

QTEST_MAIN(EditingTest)
#include "tst_editing.moc"
