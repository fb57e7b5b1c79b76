// A press on a picture: real mouse presses on the controls of a page loaded from its file,
// phrases, keywords, links, the message strip and media on a scripted player.

#include "model/Action.h"
#include "page/PictureControl.h"
#include "page/SentenceBar.h"
#include "platform/Cp1252.h"
#include "prediction/LearnedBase.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/PageFixture.h"
#include "use/MediaPlayback.h"
#include "use/MediaWindow.h"
#include "use/MessageChoices.h"
#include "use/PictureAccessible.h"
#include "use/PictureActivation.h"
#include "use/SpeechWindow.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

const QStringList kActions = {"ligne un\\ligne deux",
                              "Bonjour maman.",
                              "Il est 8 h. On mange",
                              "Air.WAV",
                              "photo.jpg",
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
    SpeechWindow speech{fakes.speech};
    MediaPlayback media{state, window, fakes.services};
    int quits = 0;
    PictureActivation activation{state,  window, fakes.services,     speech,
                                 loader, media,  [this] { ++quits; }};

    Page() {
        test::writeBytes(path("multimedia/air.wav"), "RIFF");
        QDir(dir.path()).mkpath("multimedia/Clips");
        test::writeBytes(path("multimedia/Clips/film.avi"), "RIFF");
        QObject::connect(&window, &MainWindow::backgroundPressed, &media,
                         &MediaPlayback::stopAndClose);
        QString text = "couleur_page=1\r\n";
        for (int i = 0; i < kActions.size(); ++i)
            text += QString("p.jpg,%1,%2,0,20,20\r\n").arg(kActions[i]).arg(i * 30);
        test::writeBytes(path("pages/page_b.dat"), "couleur_page=2\r\np.jpg,b,0,0,9,9\r\n");
        loadPageA(*encodeCp1252(text));
        window.show();
    }
    int indexOf(const QString &action) const { return int(kActions.indexOf(action)) + 1; }
    // The picture whose action is `action`, pressed with `button`, once moved a little so that
    // a capture of its place shows in the record.
    bool press(const QString &action, Qt::MouseButton button = Qt::LeftButton) {
        PictureControl *c = window.img(indexOf(action));
        c->setTwipsGeometry(c->leftTwips() + 7, 1, c->widthTwips(), c->heightTwips());
        QTest::mousePress(c, button, {}, QPoint(5, 5));
        const int n = indexOf(action);
        return window.img(n) &&
               state.page.imageTable[std::size_t(n)].left == window.img(n)->leftTwips();
    }
    QString lastMessage() const {
        return fakes.dialogs.messages.isEmpty() ? QString() : fakes.dialogs.messages.last().text;
    }
};

} // namespace

class ActivationTest : public QObject {
    Q_OBJECT
private slots:
    void actionClasses() {
        for (const QStringList &row : test::caseTable("actions.tsv")) {
            const ActionKind c = actionKind(row[0]);
            const QString does = c == ActionKind::Media               ? "media"
                                 : c == ActionKind::PageLink          ? "page"
                                 : c == ActionKind::None              ? "nothing"
                                 : c == ActionKind::Phrase            ? "phrase"
                                 : keywordOf(row[0]) == Keyword::Quit ? "quit"
                                                                      : "credits";
            QCOMPARE(does, row[1]);
            QCOMPARE(accessibleNameOf(row[0]), row.value(2));
        }
    }

    void phrasesAreSaidAndTextsThatSayNothingAreNot() {
        Page p;
        QVERIFY(p.press("ligne un\\ligne deux")); // the place captured before it speaks
        p.press("Bonjour maman.");
        QCOMPARE(p.fakes.speech.said, QStringList({"ligne un\r\nligne deux", "Bonjour maman."}));
        QCOMPARE(p.window.champTexte()->toPlainText(), QStringLiteral("Bonjour maman."));
        QCOMPARE(p.state.currentImage, 2);
        // Two sentences are said; a file of another kind, or nothing at all: silence.
        p.press("Il est 8 h. On mange");
        QCOMPARE(p.fakes.speech.said.last(), QStringLiteral("Il est 8 h. On mange"));
        p.fakes.speech.said.removeLast();
        for (const char *nothing : {"photo.jpg", ""})
            QVERIFY2(p.press(nothing), nothing);
        // Other buttons only select.
        QVERIFY(p.press("Bonjour maman.", Qt::MiddleButton));
        QCOMPARE(p.fakes.speech.said.size(), 2);
        QVERIFY(p.fakes.dialogs.messages.isEmpty());
        // A pending move is taken by the left button only, which then says nothing.
        struct ArmedEditor final : PressEditor {
            QStringList asked;
            bool pointerArmed() const override { return true; }
            bool moveArmed() const override { return true; }
            void startMove(int index, QPoint) override { asked << QString("move %1").arg(index); }
            void openPictureMenu() override { asked << "menu"; }
        } editor;
        p.activation.setEditor(&editor);
        p.press("Bonjour maman.", Qt::RightButton);
        p.press("Bonjour maman.");
        QCOMPARE(editor.asked, QStringList({"menu", "move 2"}));
        QCOMPARE(p.fakes.speech.said.size(), 2);
        p.activation.setEditor(nullptr);
    }

    void keywordsAndLinks() {
        Page p;
        p.press("fin.");
        QCOMPARE(p.fakes.speech.said.last(), QStringLiteral("fin."));
        QVERIFY(!p.press("kawet")); // the credits, before any capture
        QCOMPARE(p.quits, 0);
        p.press("  FIN ");
        QCOMPARE(p.quits, 1);
        // A page that is not there: said, and nothing changes.
        p.press("page_absente.dat");
        QCOMPARE(p.lastMessage(),
                 QStringLiteral("La page ''page_absente.dat'' demandée n'existe pas"));
        QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat"));
        QVERIFY(p.window.img(1));
        p.press("page_b.dat");
        QCOMPARE(p.window.windowTitle(), QStringLiteral("Tablavox -::- page_b.dat"));
        QVERIFY(!p.window.img(2));
    }

    void aModifiedPageIsOfferedForSavingBeforeALink() {
        // "Oui" saves then follows, "Non" follows, "Annuler" stays with the edits and plays
        // nothing.
        for (MessageAnswer answer :
             {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Cancel}) {
            Page p;
            p.state.settings.pageSoundOn = true;
            p.state.settings.pageSoundNumber = 3;
            const QByteArray before = test::fileBytes(p.path("pages/page_a.dat"));
            p.state.page.pageColor = 99;
            p.state.page.pageModified = true;
            p.fakes.dialogs.answers.push_back(answer);
            p.press("page_b.dat");
            QCOMPARE(p.fakes.dialogs.messages[0].text,
                     QStringLiteral("La page a été modifiée, la sauvegarder ?"));
            const QByteArray after = test::fileBytes(p.path("pages/page_a.dat"));
            QCOMPARE(after == before, answer != MessageAnswer::Yes);
            QVERIFY(after.startsWith("couleur_page=99\r\n") == (answer == MessageAnswer::Yes));
            const bool stays = answer == MessageAnswer::Cancel;
            QCOMPARE(p.state.page.currentPage, stays ? "page_a.dat" : "page_b.dat");
            QCOMPARE(p.state.page.pageModified, stays);
            QCOMPARE(p.state.page.pageColor, stays ? 99 : 2);
            QCOMPARE(p.fakes.sounds.played.size(), stays ? 0 : 1);
        }
    }

    void theStripGathersAMessage() {
        Page p;
        p.state.settings.sentenceBar = true;
        p.window.applyLook();
        SentenceBar *bar = p.window.sentenceBar();
        p.press("Bonjour maman.");
        p.press("ligne un\\ligne deux");
        // Keywords, media, links, texts that say nothing: acted on as before, nothing added.
        for (const char *other : {"kawet", "air.wav", "page_absente.dat", "", "photo.jpg"})
            p.press(QString::fromUtf8(other));
        QCOMPARE(bar->phrases(), QStringList({"Bonjour maman.", "ligne un\\ligne deux"}));
        QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour maman.", "ligne un\r\nligne deux"}));
        // Pressed before the page had drawn them: their copies come all the same.
        QTRY_VERIFY(!bar->picture(0).isNull() && !bar->picture(1).isNull());
        QVERIFY(bar->picture(2).isNull());
        // Said as one utterance by a press on the message itself, as by "Dire".
        QTest::mousePress(bar->findChild<QWidget *>("bandeauMessage"), Qt::LeftButton);
        QCOMPARE(p.fakes.speech.said.last(), QStringLiteral("Bonjour maman. ligne un ligne deux"));
        // Not said as it is added; the message survives a page change; erased from the end.
        p.state.settings.sayEachPhrase = false;
        p.press("Bonjour maman.");
        QCOMPARE(p.fakes.speech.said.size(), 3);
        p.press("page_b.dat");
        QCOMPARE(bar->phrases().size(), 3);
        QTest::mouseClick(bar->control(1), Qt::LeftButton);
        QCOMPARE(bar->phrases().size(), 2);
        QTest::mouseClick(bar->control(2), Qt::LeftButton);
        QTest::mouseClick(bar->control(0), Qt::LeftButton); // an empty message says nothing
        // Shown as said; erasing the verb forms the sentence again.
        bar->add("je", {});
        bar->add("aimer les chats", {});
        QCOMPARE(bar->forms(), QStringList({"j'", "aime les chats"}));
        // Read by assistive technologies as said: the sentence, and each picture by its words.
        const auto names = [bar] {
            QStringList list;
            QAccessibleInterface *view =
                QAccessible::queryAccessibleInterface(bar->findChild<QWidget *>("bandeauMessage"));
            for (int i = 0; i < view->childCount(); ++i)
                list << view->child(i)->text(QAccessible::Name);
            return list;
        };
        QCOMPARE(bar->findChild<QLabel *>("textePhrase")->accessibleName(), "j'aime les chats");
        QCOMPARE(names(), QStringList({"j'", "aime les chats"}));
        bar->add("passé", {});
        QCOMPARE(names().last(), "passé (non dit)");
        QTest::mouseClick(bar->control(1), Qt::LeftButton);
        QTest::mouseClick(bar->control(1), Qt::LeftButton);
        QCOMPARE(bar->forms(), QStringList({"je"}));
        QTest::mouseClick(bar->control(2), Qt::LeftButton);
        QCOMPARE(p.fakes.speech.said.size(), 3);
        // Turned off, the strip goes and forgets.
        bar->add("reste", {});
        p.state.settings.sentenceBar = false;
        p.window.applyLook();
        QVERIFY(bar->isHidden() && bar->phrases().isEmpty());
    }

    void suggestionsAndMessagesSaidBeforeAreChoicesOfTheStrip() {
        Page p;
        test::writeBytes(p.path("pages/page_départ.dat"),
                         "couleur_page=0\r\np.jpg,je,0,0,9,9\r\np.jpg,vouloir,0,0,9,9\r\n"
                         "p.jpg,boire,0,0,9,9\r\np.jpg,page_c.dat,0,0,9,9\r\n");
        test::writeBytes(p.path("pages/page_c.dat"),
                         "couleur_page=0\r\np.jpg,de l'eau,0,0,9,9\r\n");
        Settings &s = p.state.settings;
        s.sentenceBar = true;
        s.sayEachPhrase = false;
        s.prediction = true;
        s.alreadySaid = true;
        p.window.applyLook();
        SentenceBar *bar = p.window.sentenceBar();
        MessageChoices choices(p.state, p.window, p.speech);
        QSignalSpy loaded(&choices, &MessageChoices::loaded);
        choices.start();
        QVERIFY(loaded.wait());
        // Each choice as assistive technologies read it: a push button, its name and kind.
        const auto row = [bar] {
            QStringList named;
            for (int n = SentenceBar::kFixed + 1; n < bar->controlCount(); ++n) {
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(bar->control(n));
                named << (a->role() == QAccessible::Button ? "" : "? ") +
                             a->text(QAccessible::Name) + " / " + a->text(QAccessible::Description);
            }
            return named;
        };
        // Before anything is said: the pictures of the boards.
        QVERIFY(row().contains("de l'eau / Suggestion"));
        for (const char *phrase : {"je", "vouloir", "boire", "de l'eau"})
            bar->add(QString::fromUtf8(phrase), {});
        QTest::mouseClick(bar->control(0), Qt::LeftButton); // "Dire": learned
        QCOMPARE(choices.base()->predictor().messagesLearned(), 1);
        QTest::mouseClick(bar->control(2), Qt::LeftButton);
        bar->add("je", {});
        // The verb as it will be said, and choosing it adds the picture, its image with it.
        QCOMPARE(row().first(), "veux / Suggestion");
        QTest::mouseClick(bar->control(SentenceBar::kFixed + 1), Qt::LeftButton);
        QCOMPARE(bar->phrases(), QStringList({"je", "vouloir"}));
        QTRY_VERIFY(!bar->picture(1).isNull());
        // "Déjà dit": the messages that begin as this one, said again at once by one choice.
        const int said = int(p.fakes.speech.said.size());
        QTest::mouseClick(bar->alreadySaidControl(), Qt::LeftButton);
        QCOMPARE(row(), QStringList{"je veux boire de l'eau / Déjà dit"});
        QTest::mouseClick(bar->control(SentenceBar::kFixed + 1), Qt::LeftButton);
        QCOMPARE(p.fakes.speech.said.mid(said), QStringList{"je veux boire de l'eau"});
        QCOMPARE(bar->phrases(), QStringList({"je", "vouloir", "boire", "de l'eau"}));
        QCOMPARE(choices.base()->history().ranked(QDateTime::currentDateTime(), 9).first().count,
                 2);
        // The carer's menu: none on a locked page; unlocked, the message can be deleted.
        QTest::mouseClick(bar->control(2), Qt::LeftButton);
        const auto menuOnFirst = [&] {
            QTest::mouseClick(bar->alreadySaidControl(), Qt::LeftButton);
            emit bar->control(SentenceBar::kFixed + 1)->customContextMenuRequested({2, 2});
            return p.window.findChild<QMenu *>("mnuDéjàDit");
        };
        s.locked = true;
        QVERIFY(!menuOnFirst());
        s.locked = false;
        QTest::mouseClick(bar->alreadySaidControl(), Qt::LeftButton); // closed
        QMenu *menu = menuOnFirst();
        QVERIFY(menu);
        menu->findChild<QAction *>("mnuSupprimer")->trigger();
        menu->close();
        QVERIFY(row().isEmpty());
        QVERIFY(test::fileBytes(LearnedBase::fileIn(p.dir.path())).contains("supprim\xE9\t"));
        // Forgotten: the file goes, the suggestions start again from the boards.
        QVERIFY(choices.forget().isEmpty());
        QVERIFY(!QFileInfo::exists(LearnedBase::fileIn(p.dir.path())));
        QCOMPARE(choices.base()->predictor().messagesLearned(), 0);
        // The file cannot be written (a link planted there): the carer is told once, the
        // messages are still said.
        test::writeBytes(p.path("ailleurs.txt"), "rien");
        QVERIFY(QFile::link(p.path("ailleurs.txt"), LearnedBase::fileIn(p.dir.path())));
        QSignalSpy stopped(&choices, &MessageChoices::keepingStopped);
        bar->add("je", {});
        bar->add("boire", {});
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(bar->control(0), Qt::LeftButton);
        QCOMPARE(stopped.size(), 1);
        QCOMPARE(p.fakes.speech.said.last(), QString("je bois"));
        QCOMPARE(test::fileBytes(p.path("ailleurs.txt")), QByteArray("rien"));
        // Off, the strip keeps nothing: no row, no "Déjà dit", nothing learned.
        s.prediction = s.alreadySaid = false;
        p.window.applyLook();
        choices.settingsChanged();
        QCOMPARE(bar->controlCount(), SentenceBar::kFixed);
        bar->add("je", {});
        QTest::mouseClick(bar->control(0), Qt::LeftButton);
        QCOMPARE(choices.base()->predictor().messagesLearned(), 0);
    }

    void mediaPlayInTheirWindowAndCloseWithTheFile() {
        Page p;
        p.state.settings.accessMode = kAccessScanning;
        p.window.scanTimer()->start();
        QVERIFY(!p.press("air.wav"));
        QCOMPARE(p.fakes.media.commands,
                 QStringList({"file " + p.path("multimedia/air.wav"), "play"}));
        MediaWindow *w = p.media.window();
        QCOMPARE(w->windowTitle(), QStringLiteral("Multimedia = air.wav"));
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 333, 93)); // 5000 × 1400 twips
        QVERIFY(!p.window.scanTimer()->isActive() && !QApplication::overrideCursor());
        // The end of a file closes the window and hands scanning back to the switch user.
        p.fakes.media.enterMode("stopped");
        QVERIFY(!w->isVisible() && p.window.scanTimer()->isActive());
        // A video, found below a directory whose letter case differs, opens at its size; a
        // press while it plays stops it, and the next starts again.
        p.press("clips\\film.avi");
        QCOMPARE(p.fakes.media.commands.at(2), "file " + p.path("multimedia/Clips/film.avi"));
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 670, 540));
        p.press("clips\\film.avi");
        QCOMPARE(p.fakes.media.commands.last(), QStringLiteral("stop"));
        QVERIFY(!w->isVisible());
        p.press("clips\\film.avi");
        QVERIFY(w->isVisible());
        // Paused, or a phrase pressed, or a press on the page: the window closes.
        p.fakes.media.enterMode("paused");
        QVERIFY(!w->isVisible());
        p.press("air.wav");
        p.press("Bonjour maman.");
        QVERIFY(!w->isVisible());
        QCOMPARE(p.fakes.speech.said, QStringList({"Bonjour maman."}));
        p.press("air.wav");
        QTest::mousePress(p.window.surface(), Qt::LeftButton, {}, QPoint(5, 60));
        QVERIFY(!w->isVisible());
        Settings s;
        s.videoWidth = 1e9;
        s.videoHeight = 32767;
        QCOMPARE(mediaWindowTwips("avi", s, {15, 15}), QSize(32767 * 15, 32767 * 15));
        s.videoWidth = s.videoHeight = -50;
        QCOMPARE(mediaWindowTwips("wmv", s, {15, 15}), QSize(30 * 15, 60 * 15));
        // A sound named in capitals is a sound, in the sound's window.
        p.fakes.media.commands.clear();
        p.press("Air.WAV");
        QCOMPARE(p.fakes.media.commands.first(), "file " + p.path("multimedia/air.wav"));
        QCOMPARE(w->frameGeometry(), QRect(0, 0, 333, 93));
    }

    void missingOrClosedWhileOpening() {
        Page p;
        p.press("absent.mp3");
        QCOMPARE(p.lastMessage(),
                 QStringLiteral("Le fichier multimedia appelé : ''absent.mp3'' n'existe pas"));
        QVERIFY(p.fakes.media.commands.isEmpty());
        // While the file opens, the person closes the player window: the wait ends there.
        p.fakes.dialogs.messages.clear();
        p.fakes.media.onPlay = test::ScriptedMediaPlayer::OnPlay::StaysOpen;
        bool hourglass = false;
        QTimer::singleShot(50, &p.window, [&] {
            hourglass = QApplication::overrideCursor() &&
                        QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            p.media.window()->close();
        });
        p.press("air.wav");
        QTRY_VERIFY(hourglass && !QApplication::overrideCursor());
        QVERIFY(p.fakes.dialogs.messages.isEmpty());
        QCOMPARE(p.fakes.media.commands.last(), QStringLiteral("stop"));
    }
};

QTEST_MAIN(ActivationTest)
#include "tst_activation.moc"
