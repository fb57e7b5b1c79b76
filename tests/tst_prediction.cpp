// What is learned from the person's messages: the pictures suggested next, the messages said
// before, and the file that keeps both, read back whole after a crash.

#include "prediction/BoardPriors.h"
#include "prediction/LearnedBase.h"
#include "support/Files.h"
#include "support/Killed.h"

#include <QtTest>
#include <sys/stat.h>

using namespace tv;

namespace {

const QDateTime kMonday(QDate(2026, 12, 7), QTime(8, 0));

QStringList message(const QString &text) {
    return text.split(QStringLiteral(" + "));
}

LearnedRecord said(const QString &text, const QDateTime &when = kMonday) {
    return {LearnedRecord::Kind::Said, when, message(text), message(text).join(u' ')};
}

// The pictures of a small board, all equally likely before anything is learned but for
// their words' frequencies.
QHash<QString, double> board() {
    QHash<QString, int> pages;
    for (const char *p : {"je", "tu", "vouloir", "aller", "boire", "manger", "de l'eau", "du lait",
                          "du pain", "à l'école", "dehors", "zébu"})
        pages.insert(QString::fromUtf8(p), 1);
    pages["de l'eau"] = 3; // on three pages
    return boardPriors(pages);
}

int permissions(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

// The child the kill -9 test kills: says numbered messages, prints how many after each.
int learnUntilKilled(const QString &dataDirectory) {
    LearnedBase base(LearnedBase::fileIn(dataDirectory));
    for (int n = 0;; ++n) {
        if (!base.add(said("je + vouloir + " + QString::number(n))))
            return 1;
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}

} // namespace

class PredictionTest : public QObject {
    Q_OBJECT

private slots:
    void beforeLearningTheBoardsDecide() {
        Predictor p;
        p.setPriors(board());
        // Common words before rare ones, a picture on more pages before one on fewer.
        const QStringList first = p.suggest({}, 12);
        QCOMPARE(first.size(), 12);
        QCOMPARE(first.mid(0, 2), QStringList({"de l'eau", "je"}));
        QCOMPARE(first.last(), QString("zébu"));
        QCOMPARE(phraseFrequency("de l'eau"), phraseFrequency("eau"));
        // Only pictures of the boards, and never the last phrase again.
        QVERIFY(!p.suggest({"je"}, 12).contains("je"));
        p.learn(message("je + vouloir + une licorne"));
        QVERIFY(!p.suggest({"je", "vouloir"}, 12).contains("une licorne"));
        QVERIFY(p.suggest({}, 0).isEmpty());
    }

    void whatFollowedBeforeComesFirst() {
        Predictor p;
        p.setPriors(board());
        for (int i = 0; i < 3; ++i)
            p.learn(message("je + vouloir + boire + de l'eau"));
        p.learn(message("je + vouloir + manger + du pain"));
        p.learn(message("tu + aller + boire + du lait"));
        p.learn(message("tu + aller + boire + du lait"));
        QCOMPARE(p.messagesLearned(), 6);
        QCOMPARE(p.suggest({}, 1), QStringList{"je"});
        QCOMPARE(p.suggest({"je"}, 1), QStringList{"vouloir"});
        QCOMPARE(p.suggest({"JE", " vouloir "}, 2), QStringList({"boire", "manger"}));
        // Two pictures back tell which drink: after "aller boire", milk.
        QCOMPARE(p.suggest({"je", "vouloir", "boire"}, 1), QStringList{"de l'eau"});
        QCOMPARE(p.suggest({"aller", "boire"}, 1), QStringList{"du lait"});
        // Said once after "zut", among sixty phrases said more: still what follows "zut".
        QHash<QString, double> many = board();
        for (int i = 0; i < 30; ++i) {
            for (const QString &phrase : {QString("mot%1").arg(i), QString("suite%1").arg(i)})
                many.insert(phrase, 1);
            for (int twice = 0; twice < 2; ++twice)
                p.learn({QString("mot%1").arg(i), QString("suite%1").arg(i)});
        }
        many.insert("zut", 0.5); // the least likely on the boards
        many.insert("alors", 0.5);
        p.setPriors(many);
        p.learn(message("zut + alors"));
        QCOMPARE(p.suggest({"autre", "zut"}, 1), QStringList{"alors"});
        p.forget();
        QCOMPARE(p.messagesLearned(), 0);
        p.setPriors(board());
        QCOMPARE(p.suggest({"je", "vouloir", "boire"}, 2), QStringList({"de l'eau", "je"}));
    }

    void theMessagesSaidMostAndLatestComeFirstPinnedOnesAbove() {
        MessageHistory h;
        h.said(message("bonjour + maman"), "bonjour maman", kMonday);
        h.said(message("je + vouloir + boire"), "je veux boire", kMonday);
        h.said(message("je + vouloir + boire"), "je veux boire", kMonday.addSecs(60));
        h.said(message("au revoir"), "au revoir", kMonday.addDays(-60));
        h.said(message("au revoir"), "au revoir", kMonday.addDays(-60));
        h.said(message("au revoir"), "au revoir", kMonday.addDays(-60));
        const auto texts = [&](const QStringList &begun = {}) {
            QStringList t;
            for (const SaidMessage &m : h.ranked(kMonday.addSecs(120), 10, begun))
                t << m.text;
            return t;
        };
        QCOMPARE(h.size(), 3);
        QCOMPARE(texts(), QStringList({"je veux boire", "bonjour maman", "au revoir"}));
        QCOMPARE(texts({"Je"}), QStringList({"je veux boire"}));
        h.setPinned(MessageHistory::keyOf(message("au revoir")), true);
        QCOMPARE(texts().first(), QString("au revoir"));
        h.remove(MessageHistory::keyOf(message("je + vouloir + boire")));
        QCOMPARE(texts(), QStringList({"au revoir", "bonjour maman"}));
    }

    void atMostAThousandAreKeptNeverAPinnedOne() {
        MessageHistory h;
        h.said(message("ancien"), "ancien", kMonday.addDays(-400));
        h.setPinned(MessageHistory::keyOf(message("ancien")), true);
        for (int i = 0; i < MessageHistory::kKept + 5; ++i)
            h.said({QString::number(i)}, QString::number(i), kMonday.addSecs(i));
        QCOMPARE(h.size(), MessageHistory::kKept);
        const QList<SaidMessage> all = h.ranked(kMonday.addDays(1), MessageHistory::kKept);
        QCOMPARE(all.first().text, QString("ancien"));
        // The oldest went; the latest stayed.
        QCOMPARE(all[1].text, QString::number(MessageHistory::kKept + 4));
        QVERIFY(std::none_of(all.begin(), all.end(),
                             [](const SaidMessage &m) { return m.text == "0"; }));
    }

    void theFileIsReadBackAsWrittenAndTheDamageCounted() {
        QTemporaryDir data;
        const QString file = LearnedBase::fileIn(data.path() + "/personne");
        {
            LearnedBase base(file);
            QVERIFY(base.add(said("je + vouloir + boire + de l'eau")));
            QVERIFY(base.add({LearnedRecord::Kind::Said,
                              kMonday,
                              {"deux\r\nlignes", "x\ty"},
                              "deux lignes x y"}));
            QVERIFY(base.add(said("bonjour + maman")));
            QVERIFY(
                base.add({LearnedRecord::Kind::Pinned, kMonday, message("bonjour + maman"), {}}));
            QVERIFY(base.add(said("au revoir")));
            QVERIFY(base.add({LearnedRecord::Kind::Removed, kMonday, message("au revoir"), {}}));
        }
        QCOMPARE(permissions(file), 0600);
        QCOMPARE(permissions(data.path() + "/personne"), 0700);
        const QByteArray bytes = test::fileBytes(file);
        QVERIFY(bytes.contains("dit\t2026-12-07T08:00:00.000\tje + vouloir + boire + de l'eau\t"
                               "je vouloir boire de l'eau\r\n"));
        QVERIFY(bytes.contains("\xE9pingl\xE9\t")); // Windows-1252
        LearnedBase again(file);
        again.load();
        QCOMPARE(again.damaged(), 0);
        QCOMPARE(again.predictor().messagesLearned(), 4);
        const QList<SaidMessage> kept = again.history().ranked(kMonday, 10);
        QCOMPARE(kept.size(), 3); // "au revoir" removed
        QCOMPARE(kept.first().text, QString("bonjour maman"));
        QVERIFY(kept.first().pinned);
        QCOMPARE(kept[1].phrases, QStringList({"je", "vouloir", "boire", "de l'eau"}));
        QCOMPARE(kept[2].phrases, QStringList({"deux  lignes", "x y"}));

        // Lines a hand or another program damaged, and a last line a crash cut short.
        const LearnedContents parsed = parseLearned(
            learnedHeader() + "dit\tpas une date\tje\tje\r\n" +
            "crié\t2026-12-07T08:00:00.000\tje\tje\r\n" + "dit\t2026-12-07T08:00:00.000\tje\r\n" +
            "dit\t2026-12-07T08:00:00.000\t\t\r\n" + learnedLine(said("tu + vouloir")) +
            "dit\t2026-12-07T08:0");
        QCOMPARE(parsed.damaged, 5);
        QCOMPARE(parsed.records, QList<LearnedRecord>{said("tu + vouloir")});

        // Grown beyond all reason: only its latest lines are read.
        LearnedBase latest(file);
        latest.load(learnedLine(said("au revoir")).size() + 10);
        QCOMPARE(latest.damaged(), 1);
        QCOMPARE(latest.predictor().messagesLearned(), 0);
        QCOMPARE(latest.history().size(), 0); // only the line removing "au revoir"

        QVERIFY(again.forget().isEmpty());
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(again.predictor().messagesLearned(), 0);
        QCOMPARE(again.history().size(), 0);
    }

    void aLinkPlantedAsTheFileIsNotFollowed() {
        QTemporaryDir data;
        const QString target = data.filePath("ailleurs.txt");
        test::writeBytes(target, "rien");
        QVERIFY(QFile::link(target, LearnedBase::fileIn(data.path())));
        LearnedBase base(LearnedBase::fileIn(data.path()));
        base.load();
        QVERIFY(!base.add(said("je + vouloir")));
        QCOMPARE(base.predictor().messagesLearned(), 0);
        QCOMPARE(test::fileBytes(target), QByteArray("rien"));
    }

    void killedWhileLearningLosesAtMostTheLastMessage() {
        QTemporaryDir data;
        QRandomGenerator random(38);
        int kept = 0;
        for (int run = 0; run < 10; ++run) {
            const int said = test::killWhileWriting("TABLAVOX_LEARNING_CHILD", data.path(),
                                                    random.bounded(1, 300));
            QVERIFY(said >= 0);
            LearnedBase base(LearnedBase::fileIn(data.path()));
            base.load();
            QCOMPARE(base.damaged(), 0);
            QVERIFY(base.predictor().messagesLearned() >= kept + said + 1);
            kept = base.predictor().messagesLearned();
        }
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (const QString child = qEnvironmentVariable("TABLAVOX_LEARNING_CHILD"); !child.isEmpty())
        return learnUntilKilled(child);
    PredictionTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_prediction.moc"
