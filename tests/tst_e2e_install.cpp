// The package as a person installs it: unpacked in a root of its own, started by someone
// whose home is new, and a second person's boards open beside the first's.

#include "support/AudioMonitor.h"
#include "support/Fakes.h"
#include "support/X11Session.h"

#include <QtTest>

using namespace tv::test;

namespace {

const QString kMain = QStringLiteral("^Tablavox -::- page_départ.dat$");
constexpr int kProgrammeMenu = 44;

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
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_e2e_install.moc"
