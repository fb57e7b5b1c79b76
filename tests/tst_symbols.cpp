// The symbol library: finding a symbol by its French name, writing it among the carer's
// pictures, and taking it in the picture properties dialog.

#include "edit/PropertiesDialog.h"
#include "page/PictureControl.h"
#include "platform/Cp1252.h"
#include "support/CaseTables.h"
#include "support/Files.h"
#include "support/PageFixture.h"
#include "symbols/SymbolDialog.h"
#include "symbols/SymbolLibrary.h"
#include "use/SpeechWindow.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

const QString kLibrary = QStringLiteral(TABLAVOX_TEST_DATA "/symbols");

const SymbolLibrary &library() {
    static const SymbolLibrary lib = SymbolLibrary::load(kLibrary);
    return lib;
}

QStringList labels(const std::vector<int> &found) {
    QStringList out;
    for (int i : found)
        out << library().at(i).label;
    return out;
}

QColor centreOf(const QString &png) {
    const QImage image(png);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class SymbolsTest : public QObject {
    Q_OBJECT

private slots:
    void searchRanksAndFolds_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("expected");
        for (const QStringList &row : test::caseTable("symbol_search.tsv"))
            QTest::newRow(row[0].isEmpty() ? "(empty)" : qPrintable(row[0]))
                << row[0] << row.value(1);
    }

    void searchRanksAndFolds() {
        QFETCH(QString, query);
        QFETCH(QString, expected);
        QCOMPARE(labels(library().search(query)).join(u'|'), expected);
    }

    void theSearchWindowIsUsedFromTheKeyboard() {
        // Typing refines, the arrows move in the grid while the field keeps the focus, and
        // Return takes the symbol selected.
        SymbolDialog dialog(library());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QLabel *count = dialog.findChild<QLabel *>("lblCompte");
        QTest::keyClicks(dialog.field(), "chix");
        QTRY_COMPARE(count->text(), QStringLiteral("Aucun symbole pour « chix »"));
        QTest::keyClick(dialog.field(), Qt::Key_Backspace);
        QTRY_COMPARE(count->text(), QStringLiteral("4 symboles"));
        QTest::keyClick(dialog.field(), Qt::Key_Right);
        QTest::keyClick(dialog.field(), Qt::Key_Right);
        QCOMPARE(dialog.grid()->currentIndex().row(), 2);
        QVERIFY(dialog.field()->hasFocus());
        QTest::keyClick(dialog.field(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(library().at(dialog.chosen()).label, QStringLiteral("tête de chien"));
    }

    void fileNames_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("name");
        for (const QStringList &row : test::caseTable("symbol_names.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[0] << row[1];
        QTest::newRow("long") << QString(80, u'a') << QString(60, u'a') + ".png";
    }

    void fileNames() {
        QFETCH(QString, label);
        QFETCH(QString, name);
        QCOMPARE(symbolFileName(label), name);
    }

    void writingNeverReplacesAnotherFile() {
        QTemporaryDir media;
        const QString red = kLibrary + "/svg/A1.svg";
        QString why;
        WrittenSymbol w = writeSymbol(red, "chien", media.path(), &why);
        QCOMPARE(w.name, QStringLiteral("symboles\\chien.png"));
        QVERIFY(w.created);
        const QColor c = centreOf(w.path);
        QVERIFY2(c.red() > 200 && c.green() < 60, qPrintable(c.name()));
        QCOMPARE(QImage(w.path).size(), QSize(kSymbolPixels, kSymbolPixels));

        // The same drawing again is the same file; another drawing of that name goes beside it.
        w = writeSymbol(red, "chien", media.path(), &why);
        QCOMPARE(w.name, QStringLiteral("symboles\\chien.png"));
        QVERIFY(!w.created);
        const QByteArray carers = "a picture of the carer's own";
        test::writeBytes(media.filePath("symboles/loup.png"), carers);
        // A link of that name, even one leading nowhere, is never written through.
        QVERIFY(QFile::link(media.filePath("nowhere.png"), media.filePath("symboles/loup_2.png")));
        w = writeSymbol(kLibrary + "/svg/A7.svg", "loup", media.path(), &why);
        QCOMPARE(w.name, QStringLiteral("symboles\\loup_3.png"));
        QCOMPARE(test::fileBytes(media.filePath("symboles/loup.png")), carers);
        QVERIFY(!QFileInfo::exists(media.filePath("nowhere.png")));

        // "symboles" must be a directory of the program's own, not a link elsewhere.
        QTemporaryDir other, elsewhere;
        QVERIFY(QFile::link(elsewhere.path(), other.filePath("symboles")));
        w = writeSymbol(red, "chien", other.path(), &why);
        QVERIFY(w.name.isEmpty());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void aFullDiskWritesNothing() {
        test::SmallDisk disk("64k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root");
        QVERIFY(QDir().mkpath(disk.path("symboles")));
        QVERIFY(disk.fill());
        QString why;
        const WrittenSymbol w = writeSymbol(kLibrary + "/svg/A1.svg", "chien", disk.path(), &why);
        QVERIFY(w.name.isEmpty());
        QCOMPARE(why, QStringLiteral("le disque est plein"));
        QVERIFY(QDir(disk.path("symboles")).isEmpty());
    }

    void propertiesDialogTakesASymbol_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("box");    // the phrase box once the symbol is taken
        QTest::addColumn<QString>("stored"); // the action saved
        for (const QStringList &row : test::caseTable("symbol_takes.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[0] << row[1] << row[2];
    }

    void propertiesDialogTakesASymbol() {
        QFETCH(QString, action);
        QFETCH(QString, box);
        QFETCH(QString, stored);
        test::PageFixture p;
        SpeechWindow speech{p.fakes.speech};
        p.loadPageA(*encodeCp1252("couleur_page=1\r\np.jpg," + action + ",0,0,600,600\r\n"));
        p.state.currentImage = 1;
        const auto record = [&] { return p.state.page.imageTable[1]; };
        const QString drawing = kLibrary + "/svg/A2.svg";
        const QString file = p.path("multimedia/symboles/tete_de_chien.png");

        // "Annuler": the page as it was, and no file left behind.
        {
            PropertiesDialog d(p.state, p.window, p.fakes.services, speech, p.cache);
            QVERIFY(d.takeSymbol(drawing, "tête de chien"));
            QCOMPARE(d.findChild<QLabel *>("lblNomImage")->text(),
                     QStringLiteral("symboles\\tete_de_chien.png"));
            QVERIFY(QFileInfo::exists(file));
            QTest::mouseClick(d.findChild<QPushButton *>("cmdAnnuler"), Qt::LeftButton);
            QCOMPARE(record().imageFile, QStringLiteral("p.jpg"));
            QCOMPARE(record().imageAction, action);
            QVERIFY(!p.state.page.pageModified);
            QVERIFY(!QFileInfo::exists(file));
        }

        PropertiesDialog d(p.state, p.window, p.fakes.services, speech, p.cache);
        QVERIFY2(test::unnamedControls(&d).isEmpty(),
                 qPrintable(test::unnamedControls(&d).join(' ')));
        QVERIFY(d.takeSymbol(drawing, "tête de chien"));
        QVERIFY(d.takeSymbol(drawing, "pomme rouge"));
        QCOMPARE(d.findChild<QPlainTextEdit *>("txtALire")->toPlainText(), box);
        QTest::mouseClick(d.findChild<QPushButton *>("cmdSauver"), Qt::LeftButton);
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(record().imageFile, QStringLiteral("symboles\\pomme_rouge.png"));
        QCOMPARE(record().imageAction, stored);
        QVERIFY(p.state.page.pageModified);
        const QImage shownImage = p.window.img(1)->picture();
        const QColor shown = shownImage.pixelColor(shownImage.rect().center());
        QVERIFY2(shown.green() > 120 && shown.red() < 80, qPrintable(shown.name()));
        QVERIFY(QFileInfo::exists(p.path("multimedia/symboles/pomme_rouge.png")));
        QVERIFY(p.fakes.dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(SymbolsTest)
#include "tst_symbols.moc"
