// The package as a person installs it: unpacked in a root of its own, started by someone
// whose home is new, and a second person's boards open beside the first's.

#include "support/AudioMonitor.h"
#include "support/Files.h"
#include "support/X11Session.h"

#include <QtTest>

using namespace tv::test;

namespace {

const QString kMain = QStringLiteral("^Tablavox -::- page_départ.dat$");
constexpr int kProgrammeMenu = 44;

// Where the page's top-left corner is on the screen: the first row of its colour at the
// window's left edge (the window is at the screen's corner, the message strip above the page).
QPoint pageOrigin(const X11Session &x, QColor color) {
    const QImage shot = x.screen();
    for (int y = 0; y < shot.height(); ++y) {
        if (similar(shot.pixelColor(4, y), color, 8))
            return {0, y};
    }
    return {};
}

// The centre of a cell of the starter set's grid, in pixels of the page.
QPoint cell(int row, int column) {
    return {8 + column * 96 + 44, 8 + row * 92 + 44};
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT
    QTemporaryDir root_, home_;
    std::unique_ptr<X11Session> x_;

    // The installed program, started by a person whose home is new.
    void start(QProcess &p, const QString &program, const QStringList &args) const {
        QProcessEnvironment env = x_->environment();
        env.insert("HOME", home_.path());
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            env.remove(name);
        p.setProcessEnvironment(env);
        p.start(program.isEmpty() ? root_.filePath("usr/bin/tablavox") : program, args);
    }
    QByteArray answer(const QStringList &args, int code) const {
        QProcess p;
        start(p, {}, args);
        p.waitForFinished();
        return p.exitCode() == code ? p.readAllStandardOutput() + p.readAllStandardError() : "";
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(TABLAVOX_PACKAGE), "ctest makes the package first (cpack)");
        QCOMPARE(QProcess::execute("dpkg", {"-x", TABLAVOX_PACKAGE, root_.path()}), 0);
        x_ = std::make_unique<X11Session>();
        QVERIFY(x_->isRunning());
    }

    void whatTheCommandLineAnswers() {
        QCOMPARE(answer({"--version"}, 0), QByteArray("Tablavox " TABLAVOX_VERSION "\n"));
        QVERIFY(answer({"--help"}, 0).contains("--dossier RÉPERTOIRE"));
        QVERIFY(answer({"--voix"}, 2).contains("option inconnue « --voix »"));
    }

    void aFirstStartOnTheDemoThenASecondPersonThenQuit() {
        AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening());
        QProcess first, second, icon;
        start(first, {}, {});
        const QString main = x_->waitForWindow(kMain, 60000);
        QVERIFY(!main.isEmpty());
        // No box on the way: the person's directory was made from what the package brings.
        QVERIFY(x_->waitForNoWindow("^Tablavox$", 0));
        const QString data = home_.filePath(".local/share/tablavox/");
        QCOMPARE(fileBytes(data + "pages/page_départ.dat"),
                 fileBytes(root_.filePath("usr/share/tablavox/pages/page_départ.dat")));
        QVERIFY(AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000);
        // A picture of the demo, pressed: its phrase is heard.
        QVERIFY(x_->click(x_->centreOf(QColor(230, 80, 130))));
        const double span = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        QVERIFY(std::abs(span - AudioMonitor::spokenSpan("Merci beaucoup !")) < 0.25);
        // The window carries the program's own icon.
        start(icon, "xprop", {"-id", main, "_NET_WM_ICON"});
        QVERIFY(icon.waitForFinished() && icon.readAll().contains("Icon (32 x 32)"));

        // Someone else's boards, open at the same time: the guard is per directory.
        start(second, {}, {"--dossier", home_.filePath("Lucie")});
        QVERIFY(!x_->waitForWindow(kMain, 60000, main).isEmpty());
        QVERIFY(QFile::exists(home_.filePath("Lucie/Tablavox2.cfg")));
        second.kill();
        second.waitForFinished();

        monitor.take();
        QVERIFY(x_->menu(main, kProgrammeMenu, 8, 1, {"q"}));
        QVERIFY(first.waitForFinished(15000) && first.exitCode() == 0);
        QVERIFY(AudioMonitor::loudest(monitor.take()) > 1000);
        QVERIFY(fileBytes(data + "Tablavox2.cfg").startsWith("fenetre_gauche="));
    }

    void theStarterSetSaysASentenceThatAgrees() {
        // The carer turns the message strip on (the program never does it by itself).
        const QString settings = home_.filePath(".local/share/tablavox/Tablavox2.cfg");
        QByteArray cfg = fileBytes(settings);
        cfg.replace("bandeau_phrase=non", "bandeau_phrase=oui");
        cfg.replace("bandeau_dire=oui", "bandeau_dire=non");
        QFile file(settings);
        QVERIFY(cfg.contains("bandeau_phrase=oui") && file.open(QIODevice::WriteOnly) &&
                file.write(cfg) == cfg.size());
        file.close();
        AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening());
        QProcess program;
        start(program, {}, {});
        const QString main = x_->waitForWindow(kMain, 60000);
        QVERIFY(!main.isEmpty() && AudioMonitor::loudest(monitor.hearOneUtterance()) > 1000);
        const QPoint page = pageOrigin(*x_, QColor(78, 146, 152));
        QVERIFY(!page.isNull());
        // The demo's start page offers the set; then "je", "vouloir", "boire", the drinks, and
        // "de l'eau" there, as a person presses them.
        QVERIFY(x_->click(page + QPoint(585, 420)));
        QVERIFY(
            !x_->waitForWindow("^Tablavox -::- premiers_mots.page_premiers_mots.dat$").isEmpty());
        for (QPoint at : {cell(0, 0), cell(0, 1), cell(2, 2), cell(3, 6)})
            QVERIFY(x_->click(page + at));
        QVERIFY(!x_->waitForWindow("^Tablavox -::- premiers_mots.page_boire.dat$").isEmpty());
        QVERIFY(x_->click(page + cell(0, 2)));
        // "Dire": one utterance, with the verb in the person's form.
        QVERIFY(x_->clickIn(main, 800 - 316, 90));
        const double heard = AudioMonitor::loudSpan(monitor.hearOneUtterance());
        const double agrees = AudioMonitor::spokenSpan("je veux boire de l'eau");
        const double asWritten = AudioMonitor::spokenSpan("je vouloir boire de l'eau");
        QVERIFY2(std::abs(heard - agrees) < 0.2 &&
                     std::abs(heard - agrees) < std::abs(heard - asWritten),
                 qPrintable(QString("heard %1 s; \"je veux…\" lasts %2 s, \"je vouloir…\" %3 s")
                                .arg(heard)
                                .arg(agrees)
                                .arg(asWritten)));
        program.kill();
        program.waitForFinished();
    }

    void theStarterSetOnPaper() {
        // The person's boards as a PDF: the start page and every page its links reach, once.
        const QString pdf = home_.filePath("tableaux.pdf");
        const QByteArray told = answer({"--pdf", pdf, "--sommaire"}, 0);
        const auto pages =
            QRegularExpression("« tableaux.pdf » : (\\d+) pages imprimées").match(told);
        QVERIFY2(pages.hasMatch() && pages.captured(1).toInt() >= 10, told.constData());
        const auto tool = [](const QString &program, const QStringList &args) {
            QProcess p;
            p.start(program, args);
            p.waitForFinished(30000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        QVERIFY(tool("pdfinfo", {pdf})
                    .contains(QRegularExpression(
                        QStringLiteral("Pages: +%1\n").arg(pages.captured(1).toInt() + 1))));
        // Each board's words are real text on its sheet; links give the sheet they lead to.
        const QString index = tool("pdftotext", {"-f", "1", "-l", "1", pdf, "-"});
        const int core =
            QRegularExpression("(\\d+) premiers mots").match(index).captured(1).toInt();
        QVERIFY2(core > 0, qPrintable(index));
        const QString sheet = tool("pdftotext", {"-f", QString::number(core + 1), "-l",
                                                 QString::number(core + 1), pdf, "-"});
        for (const char *word : {"vouloir", "boire", "Page ", "OpenMoji"})
            QVERIFY2(sheet.contains(QString::fromUtf8(word)), word);
        QVERIFY(sheet.contains(QRegularExpression("boire → \\d+")));
        QVERIFY(tool("pdfimages", {"-list", "-f", QString::number(core + 1), "-l",
                                   QString::number(core + 1), pdf})
                    .count(" image ") >= 40);
        // A file that cannot be written: said, and the exit code tells.
        QVERIFY(answer({"--pdf", "/proc/tableaux.pdf"}, 1).contains("n'a pas été écrit"));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_e2e_install.moc"
