// A press on a picture: real mouse presses on the controls of a page loaded from its file.

#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "page/SentenceBar.h"
#include "platform/AppState.h"
#include "platform/Cp1252.h"
#include "support/Fakes.h"
#include "support/PageFixture.h"
#include "use/ActionText.h"
#include "use/MediaPlayback.h"
#include "use/MediaWindow.h"
#include "use/PictureActivation.h"
#include "use/SpeechWindow.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

const QStringList kActions = {"ligne un\\ligne deux",
                              "Bonjour maman.",
                              "Il est 8 h. On mange",
                              "son.WAV",
                              "deux.mots.wav",
                              "  FIN ",
                              "fin.",
                              "kawet",
                              "page_b.dat",
                              "page_absente.dat",
                              "",
                              "fin.dat",
                              "air.wav",
                              "clips\\film.avi",
                              "absent.mp3"};

struct Page : test::PageFixture {
    SpeechWindow speech{fakes.speech, fakes.dialogs};
    MediaPlayback media{state, window, fakes.services};
    int quits = 0;
    PictureActivation activation{state,  window, fakes.services,     speech,
                                 loader, media,  [this] { ++quits; }};

    Page() {
        test::writeBytes(dir.filePath("multimedia/air.wav"), "RIFF");
        QDir(dir.path()).mkpath("multimedia/Clips");
        test::writeBytes(dir.filePath("multimedia/Clips/film.avi"), "RIFF");
        QObject::connect(&window, &MainWindow::backgroundPressed, &media,
                         &MediaPlayback::stopAndClose);
        QString text = "couleur_page=1\r\n";
        for (int i = 0; i < kActions.size(); ++i)
            text += QString("p.jpg,%1,%2,0,20,20\r\n").arg(kActions[i]).arg(i * 30);
        test::writeBytes(dir.filePath("pages/page_b.dat"), "couleur_page=2\r\np.jpg,b,0,0,9,9\r\n");
        loadPageA(*encodeCp1252(text));
        window.show();
    }
    // The picture whose action is `action`, pressed with `button`.
    void press(const QString &action, Qt::MouseButton button = Qt::LeftButton) {
        const int index = int(kActions.indexOf(action)) + 1;
        QTest::mousePress(window.img(index), button, {}, QPoint(5, 5));
    }
    int indexOf(const QString &action) const { return int(kActions.indexOf(action)) + 1; }
    // Moves the control so that a geometry capture shows in the record.
    void nudge(const QString &action) {
        PictureControl *c = window.img(indexOf(action));
        c->setTwipsGeometry(c->leftTwips() + 7, 1, c->widthTwips(), c->heightTwips());
    }
    bool captured(const QString &action) const {
        const int n = indexOf(action);
        return state.page.imageTable[std::size_t(n)].left == window.img(n)->leftTwips();
    }
};

} // namespace

class ActivationTest : public QObject {
    Q_OBJECT
private slots:
    void actionClasses();
    void phrasesAreSaidWithTheirLineBreaks();
    void sentenceBarGathersAMessage();
    void textsThatSayNothing_data();
    void textsThatSayNothing();
    void keywords();
    void pageLinks();
    void modifiedPageIsOfferedForSaving();
    void otherButtonsOnlySelect();
    void pendingMoveIsConsumedByTheLeftButtonOnly();
    void mediaPlaysInItsWindow();
    void pressWhilePlayingStops();
    void playerWindowClosesWithTheFile();
    void missingAndUnreadableFiles();
    void waitEndsWhenTheWindowIsClosed();
    void hugeVideoSizesAreClamped();
};

void ActivationTest::actionClasses() {
    QCOMPARE(actionExtension("Bonjour maman."), QString());
    QCOMPARE(actionExtension("a.b.wav"), QStringLiteral("b.wav"));
    QCOMPARE(classifyAction("air.mp3"), ActionClass::Media);
    QCOMPARE(classifyAction("film.mpeg"), ActionClass::Media);
    QCOMPARE(classifyAction("air.MP3"), ActionClass::None);
    QCOMPARE(classifyAction("sous\\page_x.dat"), ActionClass::PageLink);
    QCOMPARE(classifyAction(""), ActionClass::PhraseOrKeyword);
    QCOMPARE(keywordOf(" Quitte  "), Keyword::Quit);
    QCOMPARE(keywordOf("END"), Keyword::Quit);
    QCOMPARE(keywordOf("Kawet"), Keyword::Credits);
    QCOMPARE(keywordOf("fin."), Keyword::None);
}

void ActivationTest::sentenceBarGathersAMessage() {
    Page p;
    p.state.settings.sentenceBar = true;
    p.window.applyLook();
    SentenceBar *bar = p.window.sentenceBar();
    QVERIFY(bar->isVisible());
    p.press("Bonjour maman.");
    p.press("ligne un\\ligne deux");
    // Keywords, media, links, texts that say nothing: acted on as before, nothing added.
    for (const char *other : {"kawet", "air.wav", "page_absente.dat", "", "Il est 8 h. On mange"})
        p.press(QString::fromUtf8(other));
    QCOMPARE(bar->phrases(), QStringList({"Bonjour maman.", "ligne un\\ligne deux"}));
    QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour maman.", "ligne un\r\nligne deux"}));
    QCOMPARE(bar->message(), QStringLiteral("Bonjour maman. ligne un ligne deux"));
    // Pressed before the page had drawn them: their copies come all the same.
    QTRY_VERIFY(!bar->picture(0).isNull() && !bar->picture(1).isNull());
    QVERIFY(bar->picture(0).width() <= 60);

    // Said as one utterance by "Dire" and by a press on the message itself.
    p.fakes.media.commands.clear();
    QTest::mouseClick(bar->control(0), Qt::LeftButton);
    QTest::mousePress(bar->findChild<QWidget *>("bandeauMessage"), Qt::LeftButton);
    QCOMPARE(p.fakes.speech.said.mid(2), QStringList(2, bar->message()));
    QCOMPARE(p.fakes.media.commands.filter("stop").size(), 2);

    // Not said as it is added; the message survives a page change; erased from the end.
    p.state.settings.sayEachPhrase = false;
    p.press("Bonjour maman.");
    QCOMPARE(p.fakes.speech.said.size(), 4);
    p.press("page_b.dat");
    QCOMPARE(bar->phrases().size(), 3);
    QTest::mouseClick(bar->control(1), Qt::LeftButton);
    QCOMPARE(bar->phrases(), QStringList({"Bonjour maman.", "ligne un\\ligne deux"}));
    QTest::mouseClick(bar->control(2), Qt::LeftButton);
    QVERIFY(bar->phrases().isEmpty());
    QTest::mouseClick(bar->control(0), Qt::LeftButton); // an empty message says nothing
    QCOMPARE(p.fakes.speech.said.size(), 4);
    // Turned off, the strip goes and forgets.
    bar->add("reste", {});
    p.state.settings.sentenceBar = false;
    p.window.applyLook();
    QVERIFY(bar->isHidden());
    QVERIFY(bar->phrases().isEmpty());
}

void ActivationTest::phrasesAreSaidWithTheirLineBreaks() {
    Page p;
    p.nudge("ligne un\\ligne deux");
    p.press("ligne un\\ligne deux");
    p.press("Bonjour maman.");
    QCOMPARE(p.fakes.speech.said, QStringList({"ligne un\r\nligne deux", "Bonjour maman."}));
    QCOMPARE(p.window.champTexte()->toPlainText(), QStringLiteral("Bonjour maman."));
    QCOMPARE(p.state.currentImage, 2);
    QVERIFY(p.captured("ligne un\\ligne deux"));
}

void ActivationTest::textsThatSayNothing_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("dot inside") << "Il est 8 h. On mange";
    QTest::newRow("upper-case extension") << "son.WAV";
    QTest::newRow("two dots") << "deux.mots.wav";
    QTest::newRow("empty") << "";
}

void ActivationTest::textsThatSayNothing() {
    QFETCH(QString, action);
    Page p;
    p.nudge(action);
    p.press(action);
    QVERIFY(p.fakes.speech.said.isEmpty());
    QVERIFY(p.captured(action));
    QVERIFY(p.fakes.dialogs.messages.isEmpty());
}

void ActivationTest::keywords() {
    Page p;
    p.press("fin.");
    QCOMPARE(p.fakes.speech.said.last(), QStringLiteral("fin."));
    p.nudge("kawet");
    p.press("kawet");
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::Information);
    QCOMPARE(p.fakes.dialogs.messages[0].text.count("\r\n"), 4);
    QVERIFY(!p.captured("kawet"));
    QCOMPARE(p.quits, 0);
    p.press("  FIN ");
    QCOMPARE(p.quits, 1);
}

void ActivationTest::pageLinks() {
    Page p;
    p.press("page_absente.dat");
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].text,
             QStringLiteral("La page ''page_absente.dat'' demandée n'existe pas"));
    QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::Critical);
    // Nothing changes: the page shown stays, under its own name, and is saved as itself.
    QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat"));
    QVERIFY(p.window.img(1));
    p.press("fin.dat");
    QCOMPARE(p.fakes.dialogs.messages.last().text,
             QStringLiteral("La page ''fin.dat'' demandée n'existe pas"));
    // A giant named like a page is refused unread, and nothing changes either.
    {
        QFile giant(p.dir.filePath("pages/fin.dat"));
        QVERIFY(giant.open(QIODevice::WriteOnly) && giant.resize(100 * 1024 * 1024));
    }
    p.press("fin.dat");
    QVERIFY2(p.fakes.dialogs.messages.last().text.contains("trop grand"),
             qPrintable(p.fakes.dialogs.messages.last().text));
    QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat"));
    p.press("page_b.dat");
    QCOMPARE(p.window.windowTitle(), QStringLiteral("Tablavox -::- page_b.dat"));
    QCOMPARE(p.window.img(1)->tag(), QStringLiteral("b"));
    QVERIFY(!p.window.img(2));
}

void ActivationTest::modifiedPageIsOfferedForSaving() {
    for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}) {
        Page p;
        const QByteArray before = test::fileBytes(p.dir.filePath("pages/page_a.dat"));
        p.state.page.pageColor = 99;
        p.state.page.pageModified = true;
        p.fakes.dialogs.answers.push_back(answer);
        p.press("page_b.dat");
        QCOMPARE(p.fakes.dialogs.messages[0].text,
                 QStringLiteral("La page a été modifiée, la sauvegarder ?"));
        QCOMPARE(p.fakes.dialogs.messages[0].buttons, MessageButtons::YesNoCancel);
        const QByteArray after = test::fileBytes(p.dir.filePath("pages/page_a.dat"));
        QCOMPARE(after.startsWith("couleur_page=99\r\n"), answer == MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            QCOMPARE(after, before);
        QCOMPARE(p.state.page.currentPage, QStringLiteral("page_b.dat"));
        QVERIFY(!p.state.page.pageModified);
    }
}

void ActivationTest::otherButtonsOnlySelect() {
    Page p;
    p.nudge("Bonjour maman.");
    p.press("Bonjour maman.", Qt::MiddleButton);
    QCOMPARE(p.state.currentImage, p.indexOf("Bonjour maman."));
    QVERIFY(p.fakes.speech.said.isEmpty());
    QVERIFY(p.captured("Bonjour maman."));
}

void ActivationTest::pendingMoveIsConsumedByTheLeftButtonOnly() {
    Page p;
    p.state.pointerMode = QStringLiteral("déplacer");
    p.press("Bonjour maman.", Qt::RightButton);
    QCOMPARE(p.state.pointerMode, QStringLiteral("déplacer"));
    p.press("Bonjour maman.");
    QVERIFY(p.state.pointerMode.isEmpty());
    QVERIFY(p.fakes.speech.said.isEmpty()); // the press started the move
}

void ActivationTest::mediaPlaysInItsWindow() {
    Page p;
    p.state.settings.accessMode = kAccessScanning;
    p.window.scanTimer()->start();
    p.nudge("air.wav");
    p.press("air.wav");
    QCOMPARE(p.fakes.media.commands,
             QStringList({"file " + p.dir.filePath("multimedia/air.wav"), "play"}));
    MediaWindow *w = p.media.window();
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Multimedia = air.wav"));
    QCOMPARE(w->frameGeometry(), QRect(0, 0, 333, 93)); // 5000 × 1400 twips
    QVERIFY(!p.window.scanTimer()->isActive());
    QVERIFY(!p.captured("air.wav"));
    QVERIFY(!QApplication::overrideCursor());

    // A video, found below a directory whose letter case differs, opens at the video size.
    p.fakes.media.enterMode("stopped");
    p.press("clips\\film.avi");
    QCOMPARE(p.fakes.media.commands.at(2), "file " + p.dir.filePath("multimedia/Clips/film.avi"));
    QCOMPARE(w->frameGeometry(), QRect(0, 0, 670, 540));
}

void ActivationTest::pressWhilePlayingStops() {
    Page p;
    p.state.settings.accessMode = kAccessScanning;
    p.press("air.wav");
    p.fakes.media.commands.clear();
    p.press("clips\\film.avi");
    QCOMPARE(p.fakes.media.commands, QStringList({"stop"}));
    QVERIFY(!p.media.window()->isVisible());
    QVERIFY(p.window.scanTimer()->isActive());
    // Then the next press starts its own file.
    p.press("clips\\film.avi");
    QCOMPARE(p.fakes.media.commands.last(), QStringLiteral("play"));
    QVERIFY(p.media.window()->isVisible());
}

void ActivationTest::playerWindowClosesWithTheFile() {
    Page p;
    p.press("air.wav");
    p.fakes.media.enterMode("paused");
    QVERIFY(!p.media.window()->isVisible());

    p.press("air.wav");
    p.press("Bonjour maman.");
    QCOMPARE(p.fakes.media.commands.last(), QStringLiteral("stop"));
    QVERIFY(!p.media.window()->isVisible());
    QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour maman."}));

    p.press("air.wav");
    QTest::mousePress(p.window.surface(), Qt::LeftButton, {}, QPoint(5, 60));
    QVERIFY(!p.media.window()->isVisible());

    // The end of a file hands scanning back to the switch user.
    p.state.settings.accessMode = kAccessScanning;
    p.press("air.wav");
    QVERIFY(!p.window.scanTimer()->isActive());
    p.fakes.media.enterMode("stopped");
    QVERIFY(p.window.scanTimer()->isActive());
}

void ActivationTest::missingAndUnreadableFiles() {
    Page p;
    p.press("absent.mp3");
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].text,
             QStringLiteral("Le fichier multimedia appelé : ''absent.mp3'' n'existe pas"));
    QCOMPARE(p.fakes.dialogs.messages[0].icon, MessageIcon::Critical);
    QVERIFY(p.fakes.media.commands.isEmpty());

    p.fakes.media.onPlay = test::ScriptedMediaPlayer::OnPlay::Fails;
    p.press("air.wav");
    QCOMPARE(p.fakes.dialogs.messages.size(), 2);
    QCOMPARE(p.fakes.dialogs.messages[1].text,
             QStringLiteral("Une erreur de lecture du fichier s'est produite : pilote absent ?"));
    QVERIFY(!p.media.window()->isVisible());
    QVERIFY(!QApplication::overrideCursor());
}

void ActivationTest::waitEndsWhenTheWindowIsClosed() {
    Page p;
    p.fakes.media.onPlay = test::ScriptedMediaPlayer::OnPlay::StaysOpen;
    bool hourglass = false;
    // While the file opens, the person closes the player window.
    QTimer::singleShot(50, &p.window, [&] {
        hourglass = QApplication::overrideCursor() &&
                    QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        p.media.window()->close();
    });
    p.press("air.wav");
    QVERIFY(hourglass);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(p.fakes.dialogs.messages.isEmpty());
    QCOMPARE(p.fakes.media.commands.last(), QStringLiteral("stop"));
}

void ActivationTest::hugeVideoSizesAreClamped() {
    Settings s;
    s.videoWidth = 1e9;
    s.videoHeight = 32767;
    QCOMPARE(mediaWindowTwips("avi", s, {15, 15}), QSize(32767 * 15, 32767 * 15));
    s.videoWidth = -50;
    s.videoHeight = -50;
    QCOMPARE(mediaWindowTwips("wmv", s, {15, 15}), QSize(30 * 15, 60 * 15));
    QCOMPARE(mediaWindowTwips("mid", s, {15, 15}), QSize(5000, 1400));
}

QTEST_MAIN(ActivationTest)
#include "tst_activation.moc"
