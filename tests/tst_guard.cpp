// The single-copy guard across real processes, including a copy that crashed.

#include "platform/QtServices.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

class GuardTest : public QObject {
    Q_OBJECT
private slots:
    void liveCopyRefusesAndCrashedCopyDoesNot();
    void otherDirectoriesDoNotCount();
};

void GuardTest::liveCopyRefusesAndCrashedCopyDoesNot() {
    QTemporaryDir dir;
    QProcess holder;
    holder.start(QStringLiteral(TABLAVOX_TESTS_DIR "/guard_holder"), {dir.path()});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput(), QByteArray("held\n"));

    LockFileInstanceGuard second(dir.path());
    QVERIFY(!second.acquire());

    holder.kill(); // a crash: the lock file stays behind
    QVERIFY(holder.waitForFinished());
    QVERIFY(QFile::exists(second.lockPath()));
    LockFileInstanceGuard afterCrash(dir.path());
    QVERIFY(afterCrash.acquire());
}

void GuardTest::otherDirectoriesDoNotCount() {
    QTemporaryDir a, b;
    LockFileInstanceGuard first(a.path());
    QVERIFY(first.acquire());
    LockFileInstanceGuard other(b.path());
    QVERIFY(other.acquire());
}

QTEST_GUILESS_MAIN(GuardTest)
#include "tst_guard.moc"
