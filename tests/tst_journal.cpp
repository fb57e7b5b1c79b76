// The usage log and the therapist's report: the LAM lines read back as written, damaged lines
// counted, the log kept whole through a full disk and kill -9, the report's figures, its PDF
// and CSV.

#include "journal/LamLog.h"
#include "journal/ReportCommand.h"
#include "journal/UsageLog.h"
#include "journal/UsageReport.h"
#include "model/Settings.h"
#include "support/Files.h"
#include "support/Killed.h"

#include <QtTest>
#include <csignal>
#include <sys/stat.h>

using namespace tv;

namespace {

UsageEvent choice(const QString &when, const QString &text, const QString &page = "page_a.dat",
                  const QString &access = kAccessMouse, qint64 delay = -1) {
    return {QDateTime::fromString(when, Qt::ISODateWithMs),
            UsageEvent::Kind::Choice,
            text,
            page,
            access,
            delay};
}
UsageEvent other(UsageEvent::Kind kind, const QString &when, const QString &text) {
    return {QDateTime::fromString(when, Qt::ISODateWithMs), kind, text, {}, {}, -1};
}

QByteArray logOf(const QList<UsageEvent> &events) {
    QByteArray bytes = lamHeader();
    QDate last;
    for (const UsageEvent &e : events) {
        bytes += lamLines(e, last);
        last = e.when.date();
    }
    return bytes;
}

int permissions(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

QString tool(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The child the kill -9 test kills: appends numbered events, says how many after each.
int writeUntilKilled(const QString &dataDirectory) {
    UsageLog log(dataDirectory);
    log.setEnabled(true);
    for (int n = 0;; ++n) {
        if (!log.append(choice("2026-12-09T10:00:00.000", QString::number(n))))
            return 1;
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}

} // namespace

class JournalTest : public QObject {
    Q_OBJECT

private slots:
    void linesReadBackAsWritten() {
        const QList<UsageEvent> events = {
            choice("2026-12-08T23:59:59.500", "il a dit \"oui\"", "page \"x\".dat"),
            other(UsageEvent::Kind::Message, "2026-12-09T00:00:01.000", "je veux boire"),
            other(UsageEvent::Kind::Page, "2026-12-09T00:00:02.000", "animaux\\chiens.dat"),
            choice("2026-12-09T08:15:00.250", "boire", "page_b.dat", kAccessScanning, 1840),
            choice("2026-12-09T08:15:03.000", "été œuf", "page_b.dat", kAccessDwell, 1020)};
        const QByteArray bytes = logOf(events);
        QVERIFY(bytes.contains("\r\n*[YY-MM-DD=26-12-09]*\r\n") &&
                bytes.contains("08:15:00.250 SMP \"boire\"\r\n### page=\"page_b.dat\" acc\xE8s="));
        const LamRead read = readLam(bytes);
        QCOMPARE(read.unreadable, 0);
        QCOMPARE(read.events, events);
        // Damaged or hand-edited lines are skipped and counted, never guessed at; a comment
        // that cannot be read takes its event with it.
        const QByteArray damaged =
            bytes + "08:20:00.000 SMP \"sans fin\r\n" + "n'importe quoi\r\n" +
            "08:21:00.000 SMP \"vu\"\r\n### page=\"p.dat\" accès=souris délai=abc\r\n" +
            "*[YY-MM-DD=26-13-40]*\r\n08:22:00.000 SMP \"perdu\"\r\n" +
            "### un commentaire d'un autre outil\r\n08:23:00.000 SMP \"coupé";
        const LamRead partly = readLam(damaged);
        QCOMPARE(partly.events.size(), events.size());
        QCOMPARE(partly.unreadable, 6);
        // A spreadsheet's rows: one per event, quotes doubled.
        const QString csv = QString::fromUtf8(csvOf(events));
        QCOMPARE(csv.count("\r\n"), events.size() + 1);
        QVERIFY(
            csv.contains("2026-12-09;08:15:00.250;image;\"boire\";\"page_b.dat\";défilement;1840"));
        QVERIFY(csv.contains("\"il a dit \"\"oui\"\"\""));
    }

    void theLogIsThePersonsAloneAndStopsOnAFullDisk() {
        test::SmallDisk disk("64k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root");
        UsageLog log(disk.path());
        QSignalSpy stopped(&log, &UsageLog::stopped);
        QVERIFY(!log.append(choice("2026-12-09T10:00:00.000", "pas encore")));
        log.setEnabled(true);
        const UsageEvent first = choice("2026-12-09T10:00:00.000", "bonjour");
        QVERIFY(log.append(first));
        const QString file = UsageLog::fileOf(disk.path(), first.when.date());
        QCOMPARE(file, disk.path("journal/2026-12.lam"));
        QCOMPARE(permissions(file), 0600);
        QCOMPARE(permissions(disk.path("journal")), 0700);
        // Full: the event is refused whole, the log stops once and says why after the press.
        QVERIFY(disk.fill());
        QVERIFY(!log.append(choice("2026-12-09T10:00:01.000", QString(20000, u'x'))));
        QVERIFY(!log.isEnabled());
        QVERIFY(stopped.isEmpty());
        QTRY_COMPARE(stopped.size(), 1);
        QVERIFY(stopped[0][0].toString().contains("le disque est plein"));
        const LamRead read = readLam(test::fileBytes(file));
        QCOMPARE(read.unreadable, 0);
        QCOMPARE(read.events, QList<UsageEvent>{first});
        // Forgotten on demand.
        QVERIFY(log.erase().isEmpty());
        QVERIFY(!QFile::exists(file));
    }

    void aLinkInThePersonsDirectoryDoesNotRedirectTheLog() {
        QTemporaryDir data, elsewhere;
        QVERIFY(QDir().mkpath(data.filePath("journal")));
        const QString target = elsewhere.filePath("autre.txt");
        test::writeBytes(target, "rien");
        QVERIFY(QFile::link(target, data.filePath("journal/2026-12.lam")));
        UsageLog log(data.path());
        log.setEnabled(true);
        QVERIFY(!log.append(choice("2026-12-09T10:00:00.000", "bonjour")));
        QCOMPARE(test::fileBytes(target), QByteArray("rien"));
    }

    void killedAtRandomMomentsLosesAtMostTheLastEvent() {
        QTemporaryDir data;
        QRandomGenerator random(39);
        int written = 0;
        for (int run = 0; run < 20; ++run) {
            // Killed once it has said it wrote a random number of events, while it writes on.
            const int said = test::killWhileWriting("TABLAVOX_JOURNAL_CHILD", data.path(),
                                                    random.bounded(1, 400));
            QVERIFY(said >= 0);
            const LamRead read = readLam(test::fileBytes(data.filePath("journal/2026-12.lam")));
            QCOMPARE(read.unreadable, 0);
            // Every event said written is there, in order, after those of the runs before.
            QVERIFY(read.events.size() >= written + said + 1);
            for (int i = written; i < read.events.size(); ++i)
                QCOMPARE(read.events[i].text, QString::number(i - written));
            written = int(read.events.size());
        }
    }

    void theReportCountsWhatWasChosen() {
        QTemporaryDir data;
        QVERIFY(QDir().mkpath(data.filePath("pages/premiers_mots")));
        test::writeBytes(data.filePath("pages/premiers_mots/page_premiers_mots.dat"),
                         "couleur_page=0\r\na.png,je,0,0,9,9\r\na.png,vouloir,0,0,9,9\r\n"
                         "a.png,page_a.dat,0,0,9,9\r\n");
        test::writeBytes(data.filePath("pages/page_a.dat"),
                         "couleur_page=0\r\na.png,boire,0,0,9,9\r\na.png,manger,0,0,9,9\r\n"
                         "a.png,dormir,0,0,9,9\r\na.png,air.wav,0,0,9,9\r\n");
        const QList<UsageEvent> events = {
            choice("2026-11-30T09:00:00.000", "boire"), // before the period
            choice("2026-12-01T09:00:00.000", "je", "premiers_mots\\page_premiers_mots.dat"),
            choice("2026-12-01T09:00:01.000", "vouloir", "premiers_mots\\page_premiers_mots.dat",
                   kAccessScanning, 2000),
            other(UsageEvent::Kind::Page, "2026-12-01T09:00:02.000", "page_a.dat"),
            choice("2026-12-01T09:00:03.000", "boire", "page_a.dat", kAccessScanning, 1000),
            other(UsageEvent::Kind::Message, "2026-12-01T09:00:04.000", "je veux boire"),
            choice("2026-12-03T10:00:00.000", "Boire", "page_a.dat", kAccessScanning, 3000),
            choice("2026-12-08T10:00:00.000", "manger", "page_a.dat", kAccessDwell, 1100),
            other(UsageEvent::Kind::Message, "2026-12-08T10:00:01.000", "manger"),
            choice("2026-12-20T10:00:00.000", "dormir")}; // after it
        QVERIFY(QDir().mkpath(data.filePath("journal")));
        test::writeBytes(data.filePath("journal/2026-11.lam"), logOf(events.mid(0, 1)));
        test::writeBytes(data.filePath("journal/2026-12.lam"),
                         logOf(events.mid(1)) + "ligne abîmée\r\n");
        const ProgramPaths paths{data.path(), {}};
        const ReportSources sources =
            gatherReportSources(paths, QDate(2026, 12, 1), QDate(2026, 12, 14), {15, 15});
        const UsageReport r = makeUsageReport(sources);
        QCOMPARE(r.messages, 2);
        QCOMPARE(r.pictures, 5);
        QCOMPARE(r.pageChanges, 1);
        QCOMPARE(r.days.size(), 14);
        QCOMPARE(r.days[0].pictures, 3);
        QCOMPARE(r.days[7].messages, 1);
        QCOMPARE(r.wordsPerMessage, 2.0);
        QCOMPARE(r.topWords.first().word, QString("boire"));
        QCOMPARE(r.topWords.first().count, 2);
        QCOMPARE(r.coreChoices, 2);
        QCOMPARE(r.otherChoices, 3);
        QCOMPARE(r.newWords, QStringList({"je", "vouloir", "manger"}));
        QCOMPARE(r.neverChosen, QStringList({"page_a.dat : dormir"}));
        QCOMPARE(r.unreadable, 1);
        // Two weeks of scanning (1 s, 2 s, then 3 s), one of dwell.
        QCOMPARE(r.scanning.size(), 1);
        QCOMPARE(r.scanning[0].median, 2000.0);
        QCOMPARE(r.scanning[0].choices, 3);
        QCOMPARE(r.dwell.size(), 1);
        QCOMPARE(r.dwell[0].monday, QDate(2026, 12, 7));

        // On paper: what the therapist reads, as text a PDF reader finds.
        const QString pdf = data.filePath("rapport.pdf");
        QVERIFY(
            writeReport(paths, {pdf, QDate(2026, 12, 1), QDate(2026, 12, 14)}, {15, 15}).isEmpty());
        const QString text = tool("pdftotext", {"-layout", pdf, "-"});
        for (const char *shown :
             {"Période : du 01/12/2026 au 14/12/2026", "Messages dits : 2", "Images choisies : 5",
              "2 × boire", "lignes illisibles : 1", "page_a.dat : dormir",
              "Mots de base (page « Premiers mots ») : 40"})
            QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
        const QString csv = data.filePath("rapport.csv");
        QVERIFY(writeReport(paths, {csv, QDate(2026, 12, 1), {}}, {15, 15}).isEmpty());
        QCOMPARE(QString::fromUtf8(test::fileBytes(csv)).count("\r\n"), 9 + 1);
    }
};

int main(int argc, char *argv[]) {
    if (const QString child = qEnvironmentVariable("TABLAVOX_JOURNAL_CHILD"); !child.isEmpty()) {
        QCoreApplication app(argc, argv);
        return writeUntilKilled(child);
    }
    QApplication app(argc, argv);
    JournalTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_journal.moc"
