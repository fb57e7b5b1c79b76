// Making, opening and saving pages, and setting up a picture in its properties dialog.

#include "platform/AppState.h"
#include "edit/PropertiesDialog.h"
#include "page/MainWindow.h"
#include "page/PageCommands.h"
#include "page/PageLoader.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "platform/Cp1252.h"
#include "platform/StoredPath.h"
#include "support/Fakes.h"
#include "support/PageFixture.h"
#include "page/PageSounds.h"
#include "use/SpeechWindow.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

const QStringList kActions = {"bonjour\\à demain", "son.wav",  "page_jeux.dat", "",
                              "CHANSON.WAV",       "film.mpeg"};

struct Page : test::PageFixture {
    SpeechWindow speech{fakes.speech, fakes.dialogs};
    PageCommands commands{state, window, fakes.services, loader};

    Page() {
        QDir(dir.path()).mkpath("pages/animaux");
        QDir(dir.path()).mkpath("multimedia/animaux");
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        image.save(dir.filePath("multimedia/animaux/chat.jpg"));
        QString text = "couleur_page=1\r\n";
        for (int i = 0; i < kActions.size(); ++i)
            text += QString("p.jpg,%1,%2,0,20,30\r\n").arg(kActions[i]).arg(i * 30);
        test::writeBytes(dir.filePath("pages/animaux/page_chats.dat"),
                         "couleur_page=2\r\np.jpg,Miaou,0,0,20,20\r\n");
        loadPageA(*encodeCp1252(text));
        window.show();
    }
    // The dialog opened on the picture whose action is `action`.
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
    const ImageRecord &record() const {
        return state.page.imageTable[std::size_t(state.currentImage)];
    }
};

} // namespace

class PageCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void newPageNames_data();
    void newPageNames();
    void newPageWritesOneEmptyLine();
    void newPageNeverEmptiesAnExistingPageUnasked();
    void namesRelativeToTheDataDirectories();
    void loadThenSaveInASubdirectory();
    void cancelledLoadChangesNothing();
    void dialogOpensOnEveryKindOfAction();
    void typingAPhraseAfterAMediaFile();
    void choosingAPicture();
    void aPictureFromElsewhereIsCopied();
    void cancelLeavesTheRecordAsItWas();
    void hearingThePhrase();
    void phraseWithACommaSurvivesTheFile();
    void goneDirectoryIsSaid();
    void dialogSize();
};

void PageCommandsTest::newPageNames_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("name");
    QTest::newRow("bare") << "maison"
                          << "page_maison.dat";
    QTest::newRow("prefix") << "page_maison"
                            << "page_maison.dat";
    QTest::newRow("suffix") << "maison.dat"
                            << "page_maison.dat";
    QTest::newRow("letter case counts") << "Page_Maison.DAT"
                                        << "page_Page_Maison.DAT.dat";
}

void PageCommandsTest::newPageNames() {
    QFETCH(QString, reply);
    QFETCH(QString, name);
    QCOMPARE(newPageName(reply), name);
}

void PageCommandsTest::newPageWritesOneEmptyLine() {
    Page p;
    p.fakes.dialogs.inputs = {"maison"};
    p.fakes.dialogs.files = {p.path("pages/page_maison.dat")};
    p.window.action("mnuNouvellePage")->trigger();
    QCOMPARE(p.fakes.dialogs.fileRequests.size(), 1);
    QCOMPARE(p.fakes.dialogs.fileRequests[0].initialDirectory, p.path("pages"));
    QCOMPARE(p.fakes.dialogs.fileRequests[0].fileName, QStringLiteral("page_maison.dat"));
    QCOMPARE(test::fileBytes(p.path("pages/page_maison.dat")), QByteArray("\r\n"));
    // Neither loaded nor made current.
    QCOMPARE(p.window.windowTitle(), QStringLiteral("Tablavox -::- page_a.dat"));
    QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat"));
    // Loading it later shows an empty page on the colour shown before.
    p.state.page.currentPage = "page_maison.dat";
    p.loader.loadPage();
    QVERIFY(!p.window.img(1));
    QCOMPARE(p.state.page.pageColor, 1);

    // A cancelled name or a cancelled file dialog makes nothing.
    p.fakes.dialogs.inputs = {""};
    p.window.action("mnuNouvellePage")->trigger();
    QCOMPARE(p.fakes.dialogs.fileRequests.size(), 1);
    p.fakes.dialogs.inputs = {"jardin"};
    p.fakes.dialogs.files = {std::nullopt};
    p.window.action("mnuNouvellePage")->trigger();
    QVERIFY(!QFile::exists(p.path("pages/page_jardin.dat")));
}

void PageCommandsTest::newPageNeverEmptiesAnExistingPageUnasked() {
    Page p;
    const QByteArray before = test::fileBytes(p.path("pages/page_a.dat"));
    p.fakes.dialogs.inputs = {"a"};
    p.fakes.dialogs.files = {p.path("pages/page_a.dat")};
    p.fakes.dialogs.answers = {MessageAnswer::No};
    p.window.action("mnuNouvellePage")->trigger();
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].buttons, MessageButtons::YesNo);
    QCOMPARE(test::fileBytes(p.path("pages/page_a.dat")), before);
    p.fakes.dialogs.inputs = {"a"};
    p.fakes.dialogs.files = {p.path("pages/page_a.dat")};
    p.fakes.dialogs.answers = {MessageAnswer::Yes};
    p.window.action("mnuNouvellePage")->trigger();
    QCOMPARE(test::fileBytes(p.path("pages/page_a.dat")), QByteArray("\r\n"));
}

void PageCommandsTest::namesRelativeToTheDataDirectories() {
    const QString base = "/srv/aide/pages";
    ChosenFile c = relativeToDataDirectory(base, "/srv/aide/pages/animaux/page_chats.dat");
    QCOMPARE(c.dir, QStringLiteral("/srv/aide/pages/animaux/"));
    QCOMPARE(c.name, QStringLiteral("animaux\\page_chats.dat"));
    QVERIFY(c.inside);
    c = relativeToDataDirectory(base, "/srv/aide/pages/page_x.dat");
    QCOMPARE(c.name, QStringLiteral("page_x.dat"));
    QVERIFY(c.inside);
    c = relativeToDataDirectory(base, "/home/autres/page_chats.dat");
    QCOMPARE(c.name, QStringLiteral("page_chats.dat"));
    QVERIFY(!c.inside);
    c = relativeToDataDirectory(base, "/srv/Aide/pages/animaux/page_chats.dat");
    QCOMPARE(c.name, QStringLiteral("page_chats.dat"));
    QVERIFY(!c.inside);
    // A directory whose name only begins like the data directory is outside it.
    c = relativeToDataDirectory(base, "/srv/aide/pages2/page_y.dat");
    QCOMPARE(c.name, QStringLiteral("page_y.dat"));
}

void PageCommandsTest::loadThenSaveInASubdirectory() {
    Page p;
    p.fakes.dialogs.files = {p.path("pages/animaux/page_chats.dat")};
    p.window.action("mnuChargePage")->trigger();
    QCOMPARE(p.fakes.dialogs.fileRequests[0].filter, QStringLiteral("Pages|page*.dat"));
    QCOMPARE(p.fakes.dialogs.fileRequests[0].initialDirectory, p.path("pages"));
    QCOMPARE(p.state.page.currentPage, QStringLiteral("animaux\\page_chats.dat"));
    QCOMPARE(p.window.windowTitle(), QStringLiteral("Tablavox -::- animaux\\page_chats.dat"));
    QCOMPARE(p.window.img(1)->tag(), QStringLiteral("Miaou"));
    p.state.page.pageColor = 65280;
    p.window.action("mnuSauvePage")->trigger();
    QCOMPARE(test::fileBytes(p.path("pages/animaux/page_chats.dat")),
             QByteArray("couleur_page=65280\r\np.jpg,Miaou,0,0,20,20\r\n"));
}

void PageCommandsTest::cancelledLoadChangesNothing() {
    // Cancelled, or a page that turns out not to be there: the page shown stays, with its
    // name, so that a later save writes its own file.
    for (const std::optional<QString> &chosen :
         {std::optional<QString>(),
          std::optional<QString>(QStringLiteral("/nulle/part/page_x.dat"))}) {
        Page p;
        p.state.page.pageModified = true;
        p.fakes.dialogs.files = {chosen};
        p.window.action("mnuChargePage")->trigger();
        QCOMPARE(p.state.page.currentPage, QStringLiteral("page_a.dat"));
        QVERIFY(p.state.page.pageModified);
        QVERIFY(p.window.img(1));
        QCOMPARE(p.fakes.dialogs.messages.size(), chosen ? 1 : 0);
    }
}

void PageCommandsTest::dialogOpensOnEveryKindOfAction() {
    struct Expect {
        QString action, kind, phrase, media, page;
    };
    const QList<Expect> cases = {
        {"bonjour\\à demain", "lire", "bonjour\nà demain", "", ""},
        {"son.wav", "multimedia", "", "son.wav", ""},
        {"page_jeux.dat", "page", "", "", "page_jeux.dat"},
        {"", "lire", "", "", ""},
        {"CHANSON.WAV", "lire", "CHANSON.WAV", "", ""},
        {"film.mpeg", "lire", "film.mpeg", "", ""},
    };
    for (const Expect &e : cases) {
        Page p;
        auto d = p.open(e.action);
        QCOMPARE(d->windowTitle(), QStringLiteral("Propriétés"));
        QCOMPARE(d->actionKind(), e.kind);
        QCOMPARE(Page::text(*d, "txtALire"), e.phrase);
        QCOMPARE(Page::text(*d, "lblFichierMultimedia"), e.media);
        QCOMPARE(Page::text(*d, "lblFichierPage"), e.page);
        QCOMPARE(Page::text(*d, "lblNomImage"), QStringLiteral("p.jpg"));
        QCOMPARE(d->findChild<QLabel *>("ImgExemple")->size(), QSize(20, 30));
        // Saved untouched, the action is kept; the page counts as modified all the same.
        Page::click(*d, "cmdSauver");
        QCOMPARE(p.record().imageAction, e.action);
        QCOMPARE(p.window.img(p.state.currentImage)->tag(), e.action);
        QVERIFY(p.state.page.pageModified);
    }
}

void PageCommandsTest::typingAPhraseAfterAMediaFile() {
    Page p;
    auto d = p.open("bonjour\\à demain");
    QDir(p.dir.path()).mkpath("multimedia/sons");
    test::writeBytes(p.path("multimedia/sons/air.mp3"), "ID3");
    p.fakes.dialogs.files = {p.path("multimedia/sons/air.mp3")};
    Page::click(*d, "cmdMultiMedia");
    QCOMPARE(Page::text(*d, "txtALire"), QString());
    QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QStringLiteral("sons\\air.mp3"));
    QCOMPARE(d->actionKind(), QStringLiteral("multimedia"));
    QVERIFY(p.fakes.dialogs.messages.isEmpty()); // inside: nothing copied
    QTest::keyClicks(d->findChild<QPlainTextEdit *>("txtALire"), "Encore");
    QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QString());
    QCOMPARE(d->actionKind(), QStringLiteral("lire"));
    d->findChild<QPlainTextEdit *>("txtALire")->setPlainText("Encore\nune fois");
    Page::click(*d, "cmdSauver");
    QCOMPARE(p.record().imageAction, QStringLiteral("Encore\\une fois"));

    // A page picked for the action.
    d = p.open("son.wav");
    p.fakes.dialogs.files = {p.path("pages/animaux/page_chats.dat")};
    Page::click(*d, "cmdPage");
    QCOMPARE(p.fakes.dialogs.fileRequests.last().filter, QStringLiteral("Pages|page*.dat"));
    QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QString());
    Page::click(*d, "cmdSauver");
    QCOMPARE(p.record().imageAction, QStringLiteral("animaux\\page_chats.dat"));
}

void PageCommandsTest::choosingAPicture() {
    Page p;
    auto d = p.open("bonjour\\à demain");
    p.fakes.dialogs.files = {p.path("multimedia/animaux/chat.jpg")};
    Page::click(*d, "cmdChercheImage");
    QCOMPARE(p.fakes.dialogs.fileRequests[0].initialDirectory, p.path("multimedia"));
    QVERIFY(p.fakes.dialogs.fileRequests[0].filter.startsWith("Images JPG|*.jpg;"));
    QCOMPARE(Page::text(*d, "lblNomImage"), QStringLiteral("animaux\\chat.jpg"));
    QCOMPARE(p.record().imageFile, QStringLiteral("p.jpg")); // recorded on "Enregistrer"
    QVERIFY(p.fakes.dialogs.messages.isEmpty());
    // The phrase went with the old picture.
    QCOMPARE(Page::text(*d, "txtALire"), QString());
    Page::click(*d, "cmdSauver");
    QCOMPARE(p.record().imageAction, QString());
    QCOMPARE(p.record().imageFile, QStringLiteral("animaux\\chat.jpg"));
    const PictureControl *picture = p.window.img(p.state.currentImage);
    const QColor shown = picture->picture().pixelColor(5, 5);
    QVERIFY(shown.blue() > 240 && shown.red() < 15);
    QCOMPARE(picture->twipsRect(), QRect(0, 0, 300, 450)); // keeps its place and size
}

void PageCommandsTest::aPictureFromElsewhereIsCopied() {
    Page p;
    QTemporaryDir elsewhere;
    QImage green(10, 10, QImage::Format_RGB32);
    green.fill(Qt::green);
    green.save(elsewhere.filePath("chat.jpg"));
    green.save(elsewhere.filePath("p.jpg"));

    auto d = p.open("son.wav");
    p.fakes.dialogs.files = {elsewhere.filePath("chat.jpg")};
    Page::click(*d, "cmdChercheImage");
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QCOMPARE(p.fakes.dialogs.messages[0].text,
             QStringLiteral("Le fichier va être recopié dans le répertoire ''multimedia'' du "
                            "programme"));
    QCOMPARE(test::fileBytes(p.path("multimedia/chat.jpg")),
             test::fileBytes(elsewhere.filePath("chat.jpg")));
    QCOMPARE(Page::text(*d, "lblNomImage"), QStringLiteral("chat.jpg"));
    QCOMPARE(Page::text(*d, "lblFichierMultimedia"), QStringLiteral("son.wav")); // kept

    // Another picture of the same name is already there: both are kept.
    const QByteArray red = test::fileBytes(p.path("multimedia/p.jpg"));
    p.fakes.dialogs.files = {elsewhere.filePath("p.jpg")};
    Page::click(*d, "cmdChercheImage");
    QCOMPARE(test::fileBytes(p.path("multimedia/p.jpg")), red);
    QCOMPARE(Page::text(*d, "lblNomImage"), QStringLiteral("p_2.jpg"));
    Page::click(*d, "cmdSauver");
    QCOMPARE(p.record().imageFile, QStringLiteral("p_2.jpg"));
    QCOMPARE(p.record().imageAction, QStringLiteral("son.wav"));
}

void PageCommandsTest::cancelLeavesTheRecordAsItWas() {
    Page p;
    auto d = p.open("son.wav");
    const QImage before = p.window.img(p.state.currentImage)->picture();
    p.fakes.dialogs.files = {p.path("multimedia/animaux/chat.jpg")};
    Page::click(*d, "cmdChercheImage");
    Page::click(*d, "cmdAnnuler");
    QCOMPARE(d->result(), int(QDialog::Rejected));
    QCOMPARE(p.record().imageFile, QStringLiteral("p.jpg")); // the picture kept on screen
    QCOMPARE(p.window.img(p.state.currentImage)->picture(), before);
    QCOMPARE(p.record().imageAction, QStringLiteral("son.wav"));
    QVERIFY(!p.state.page.pageModified);

    // A cancelled file dialog leaves the emptied boxes, and nothing else.
    d = p.open("bonjour\\à demain");
    p.fakes.dialogs.files = {std::nullopt};
    Page::click(*d, "cmdChercheImage");
    QCOMPARE(Page::text(*d, "txtALire"), QString());
    QCOMPARE(p.record().imageFile, QStringLiteral("p.jpg"));
}

void PageCommandsTest::hearingThePhrase() {
    Page p;
    auto d = p.open("bonjour\\à demain");
    Page::click(*d, "cmdEcouter");
    QCOMPARE(p.fakes.speech.said, QStringList({"bonjour\r\nà demain"}));
    d = p.open("");
    Page::click(*d, "cmdEcouter");
    QCOMPARE(p.fakes.speech.said.size(), 1);
}

void PageCommandsTest::phraseWithACommaSurvivesTheFile() {
    Page p;
    auto d = p.open("");
    d->findChild<QPlainTextEdit *>("txtALire")->setPlainText("Bonjour, maman\nça va ?");
    Page::click(*d, "cmdSauver");
    p.loader.savePage();
    p.loader.loadPage();
    QCOMPARE(p.window.img(4)->tag(), QStringLiteral("Bonjour, maman\\ça va ?"));
}

void PageCommandsTest::goneDirectoryIsSaid() {
    Page p;
    auto d = p.open("son.wav");
    QVERIFY(QDir(p.path("multimedia")).removeRecursively());
    Page::click(*d, "cmdChercheImage");
    QCOMPARE(p.fakes.dialogs.messages.size(), 1);
    QVERIFY(
        p.fakes.dialogs.messages[0].text.startsWith("Le répertoire ''multimedia'' n'existe pas"));
    QVERIFY(p.fakes.dialogs.fileRequests.isEmpty());
    Page::click(*d, "cmdMultiMedia");
    QCOMPARE(p.fakes.dialogs.messages.size(), 2);
    // The page being built can still be saved.
    Page::click(*d, "cmdSauver");
    QVERIFY(p.loader.savePage());
}

void PageCommandsTest::dialogSize() {
    QCOMPARE(propertiesDialogSize({8340, 7380}), QSize(8500, 8000));
    QCOMPARE(propertiesDialogSize({10000, 7000}), QSize(8500, 8000));
    QCOMPARE(propertiesDialogSize({8000, 9000}), QSize(8500, 9000));
    QCOMPARE(propertiesDialogSize({9000, 9000}), QSize(9000, 9000));
    Page p;
    auto d = p.open("son.wav");
    d->show();
    QTRY_COMPARE(d->frameGeometry().size(), QSize(567, 533));
    QCOMPARE(d->findChild<QWidget *>("cadreimage")->size(), QSize(533, 233));
}

QTEST_MAIN(PageCommandsTest)
#include "tst_pagecommands.moc"
