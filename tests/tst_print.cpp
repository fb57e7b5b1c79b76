// Boards on paper: which pages, in what order, with what under each picture; the PDF written
// whole or not at all; the menu's export away from the window.

#include "platform/Cp1252.h"
#include "print/BoardPrint.h"
#include "print/PrintCommands.h"
#include "support/PageFixture.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

// A start page linking to a page (named in another letter case), to a damaged page and to a
// missing one; the linked page links back.
struct Set : test::PageFixture {
    Set() {
        test::writeBytes(path("pages/page_départ.dat"),
                         *encodeCp1252("couleur_page=255\r\np.jpg,Bonjour,10,10,100,100\r\n"
                                       "p.jpg,Page_Boire.dat,120,10,100,100\r\n"
                                       "p.jpg,page_abimee.dat,230,10,100,100\r\n"
                                       "p.jpg,page_absente.dat,340,10,100,100\r\n"));
        test::writeBytes(path("pages/page_boire.dat"),
                         *encodeCp1252("couleur_page=65280\r\np.jpg,de l'eau\\fraîche,10,10,100,"
                                       "100\r\np.jpg,page_départ.dat,120,10,100,100\r\n"
                                       "p.jpg,glouglou.wav,230,10,100,100\r\n"));
        test::writeBytes(path("pages/page_abimee.dat"), "p.jpg,a\r\n");
    }
    BoardSource source() const {
        return {state.paths.pagesDirectory(), state.paths.multimediaDirectory(), state.tpp};
    }
};

int sheetsIn(const QByteArray &pdf) {
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"));
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void theBoardsAndWhatIsPrintedUnderEachPicture() {
        Set s;
        const auto boards = collectBoards(s.source(), {});
        QStringList listed;
        for (const PrintedBoard &b : boards)
            listed << b.stored + (b.readable() ? "" : " (illisible)");
        QCOMPARE(listed,
                 QStringList({"page_départ.dat", "Page_Boire.dat", "page_abimee.dat (illisible)",
                              "page_absente.dat (illisible)"}));
        const auto numbers = boardNumbers(boards);
        QCOMPARE(captionOf("page_boire.dat", numbers), QStringLiteral("boire → 2"));
        QCOMPARE(captionOf("page_absente.dat", numbers), QStringLiteral("absente"));
        QCOMPARE(captionOf("sons\\glouglou.wav", numbers), QStringLiteral("glouglou"));
        QCOMPARE(captionOf("de l'eau\\fraîche", numbers), QStringLiteral("de l'eau fraîche"));
        // Pages named: those only, links not followed.
        QCOMPARE(collectBoards(s.source(), {"page_boire.dat"}).size(), std::size_t(1));

        // An index and the two boards that can be read; the file appears whole or not at all.
        const QString pdf = s.path("tableaux.pdf");
        QCOMPARE(writeBoardsPdf(pdf, boards, {true, true}), QString());
        QCOMPARE(sheetsIn(test::fileBytes(pdf)), 3);
        QVERIFY(!writeBoardsPdf(s.path("absent/x.pdf"), boards, {}).isEmpty());
        QVERIFY(!QFile::exists(s.path("absent/x.pdf")));
        QCOMPARE(writeBoardsPdf(pdf, collectBoards(s.source(), {"page_abimee.dat"}), {}),
                 QStringLiteral("aucune page ne peut être lue"));
        QCOMPARE(sheetsIn(test::fileBytes(pdf)), 3);
    }

    void theMenuExportsAwayFromTheWindow() {
        Set s;
        PrintCommands printing(s.state, s.window, s.fakes.services, s.loader);
        s.fakes.dialogs.files = {s.path("tableaux")}; // ".pdf" is added
        QTimer::singleShot(0, [] {
            auto *options = qobject_cast<PrintOptionsDialog *>(QApplication::activeModalWidget());
            QCOMPARE(test::unnamedControls(options), QStringList());
            options->findChild<QCheckBox *>("chkCadres")->setChecked(true);
            options->accept();
        });
        QSignalSpy finished(&printing, &PrintCommands::exportFinished);
        s.window.action("mnuExporterPdf")->trigger();
        QVERIFY(printing.isExporting());
        QVERIFY(finished.wait(20000));
        QCOMPARE(sheetsIn(test::fileBytes(s.path("tableaux.pdf"))), 2);
        QCOMPARE(s.fakes.dialogs.messages.last().text,
                 QStringLiteral("« tableaux.pdf » : 2 pages imprimées.\r\nPages illisibles, non "
                                "imprimées : page_abimee.dat, page_absente.dat"));
    }
};

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
