// How many selections a message takes on "Premiers mots": without help, with the suggestions,
// and with the suggestions and "Déjà dit", over a corpus of messages replayed in order. Each
// message is composed the fewest way: pictures, page changes (a link, "Retour"), suggestions,
// and "Dire"; or "Déjà dit" then the message (two selections, said at once). What is learned
// comes only from the messages already replayed. Then, with --learned N, how long the
// suggestions take after a press with N messages learned, and the memory they hold.
//
// Last, in the window (offscreen): a press to the strip's row of suggestions drawn again, the
// window's longest stall from them.
//
//   bench_rate [--corpus FILE] [--pages DIR] [--learned 10000] [--load 2]
#include "CpuLoad.h"
#include "language/Lexicon.h"
#include "model/AppState.h"
#include "page/BoardPictures.h"
#include "page/MainWindow.h"
#include "page/SentenceBar.h"
#include "platform/StandInServices.h"
#include "prediction/BoardPriors.h"
#include "prediction/LearnedBase.h"
#include "use/MessageChoices.h"
#include "use/SpeechWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

using namespace tv;

namespace {

const QString kCore = QStringLiteral("premiers_mots\\page_premiers_mots.dat");
constexpr int kSuggestions = 4;
constexpr int kNever = 1'000'000;

// The time this thread has run, in ms: what the work itself took, the scheduler's
// preemptions on a busy machine aside.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QString textOption(const QString &name, const QString &fallback) {
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(name);
    return at > 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

struct Board {
    QStringList pages;
    QHash<QString, QSet<QString>> pagesOf;  // phrase key to the pages it sits on
    std::vector<std::vector<int>> distance; // page to page, in link presses
    int home = 0;
};

Board boardFrom(const Boards &b) {
    Board board;
    board.pages = b.pages;
    const auto n = size_t(b.pages.size());
    board.distance.assign(n, std::vector<int>(n, kNever));
    for (size_t i = 0; i < n; ++i) {
        board.distance[i][i] = 0;
        for (const QString &link : b.links.value(b.pages[qsizetype(i)])) {
            for (size_t j = 0; j < n; ++j) {
                if (b.pages[qsizetype(j)].compare(link, Qt::CaseInsensitive) == 0)
                    board.distance[i][j] = std::min(board.distance[i][j], 1);
            }
        }
    }
    for (size_t k = 0; k < n; ++k)
        for (size_t i = 0; i < n; ++i)
            for (size_t j = 0; j < n; ++j)
                board.distance[i][j] =
                    std::min(board.distance[i][j], board.distance[i][k] + board.distance[k][j]);
    for (const BoardPicture &p : b.pictures)
        board.pagesOf[Predictor::keyOf(p.phrase)].insert(p.page);
    return board;
}

// The fewest selections to put the first i phrases of `message` in the strip, from the home
// page, for every i; `suggested(i)`: the phrases the strip shows before phrase i (none
// without help).
std::vector<int> selections(const Board &board, const QStringList &message,
                            const std::function<QStringList(int)> &suggested, bool *unknown) {
    const auto n = size_t(board.pages.size());
    std::vector<int> cost(n, kNever);
    cost[size_t(board.home)] = 0;
    std::vector<int> fewest{0};
    for (qsizetype i = 0; i < message.size(); ++i) {
        const QString key = Predictor::keyOf(message[i]);
        std::vector<int> next(n, kNever);
        const QSet<QString> where = board.pagesOf.value(key);
        if (where.isEmpty())
            *unknown = true;
        bool offered = false;
        for (const QString &s : suggested(int(i)))
            offered = offered || Predictor::keyOf(s) == key;
        for (size_t from = 0; from < n; ++from) {
            if (cost[from] >= kNever)
                continue;
            if (offered)
                next[from] = std::min(next[from], cost[from] + 1);
            for (size_t to = 0; to < n; ++to) {
                if (where.contains(board.pages[qsizetype(to)]))
                    next[to] = std::min(next[to], cost[from] + board.distance[from][to] + 1);
            }
        }
        cost = next;
        fewest.push_back(*std::min_element(cost.begin(), cost.end()));
    }
    return fewest;
}

struct Tally {
    double all = 0, first50 = 0, rest = 0, secondHalf = 0;
    void add(int i, int count, int selections) {
        all += selections;
        (i < 50 ? first50 : rest) += selections;
        if (i >= count / 2)
            secondHalf += selections;
    }
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString corpusFile =
        textOption(QStringLiteral("--corpus"), QStringLiteral(TABLAVOX_CORPUS));
    const QString pagesDir = textOption(QStringLiteral("--pages"), QStringLiteral(TABLAVOX_PAGES));
    QFile corpus(corpusFile);
    if (!corpus.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(corpusFile));
        return 1;
    }
    QList<QStringList> messages;
    for (const QString &line : QString::fromUtf8(corpus.readAll()).split(u'\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#'))
            messages << line.trimmed().split(QStringLiteral(" + "));
    }
    const Boards boards = readBoards(pagesDir, {}, kCore, {15, 15});
    Board board = boardFrom(boards);
    QHash<QString, int> pagesOfPhrase;
    for (const BoardPicture &p : boards.pictures)
        ++pagesOfPhrase[p.phrase];

    QTemporaryDir dir;
    LearnedBase base(LearnedBase::fileIn(dir.path() + QStringLiteral("/replay")));
    base.predictor().setPriors(boardPriors(pagesOfPhrase));
    const int count = int(messages.size());
    Tally plain, suggesting, both;
    int unknownMessages = 0, byAlreadySaid = 0;
    const QDateTime day0(QDate(2026, 1, 5), QTime(7, 30));
    for (int i = 0; i < count; ++i) {
        const QStringList &m = messages[i];
        bool unknown = false;
        // Each message ends with "Dire".
        const int without = selections(
                                board, m, [](int) { return QStringList(); }, &unknown)
                                .back() +
                            1;
        const std::vector<int> steps = selections(
            board, m, [&](int at) { return base.predictor().suggest(m.mid(0, at), kSuggestions); },
            &unknown);
        const int with = steps.back() + 1;
        // Or the message begun with j pictures (none, at first), then "Déjà dit" and the
        // message among those shown: said at once.
        int withBoth = with;
        const QDateTime when = day0.addSecs(qint64(i) * 45 * 60);
        const QString key = MessageHistory::keyOf(m);
        bool again = false;
        for (qsizetype j = 0; j < m.size(); ++j) {
            for (const SaidMessage &said :
                 base.history().ranked(when, MessageHistory::kShown, m.mid(0, j))) {
                if (said.key == key && steps[size_t(j)] + 2 < withBoth) {
                    withBoth = steps[size_t(j)] + 2;
                    again = true;
                }
            }
        }
        byAlreadySaid += again ? 1 : 0;
        unknownMessages += unknown ? 1 : 0;
        plain.add(i, count, without);
        suggesting.add(i, count, with);
        both.add(i, count, withBoth);
        base.add({LearnedRecord::Kind::Said, when, m, m.join(u' ')});
    }
    const int half = count - count / 2;
    const auto line = [&](const char *name, const Tally &t) {
        std::printf("%-28s %5.2f   %5.2f   %5.2f   %5.2f   %5.1f %%\n", name, t.all / count,
                    t.first50 / std::min(50, count), t.rest / std::max(1, count - 50),
                    t.secondHalf / half, 100.0 * (1.0 - t.secondHalf / plain.secondHalf));
    };
    std::printf("%d messages (%s), pages from %s\n", count, qPrintable(corpusFile),
                qPrintable(pagesDir));
    std::printf(
        "selections per message        all     first50 after50 2nd half fewer (2nd half)\n");
    line("without help", plain);
    line("suggestions", suggesting);
    line("suggestions and Déjà dit", both);
    std::printf("messages said again from Déjà dit: %d; with a phrase on no page: %d\n",
                byAlreadySaid, unknownMessages);
    if (unknownMessages > 0)
        return 1;

    // Speed and memory with many messages learned.
    const int learned = tv::bench::option(QStringLiteral("--learned"), 10000);
    tv::bench::CpuLoad load;
    if (!tv::bench::startAndReport(load, tv::bench::option(QStringLiteral("--load"), 0)))
        return 1;
    const auto rss = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray &l : status.readAll().split('\n'))
            if (l.startsWith("VmRSS:"))
                return l.mid(6).trimmed().split(' ').value(0).toLong() / 1024.0;
        return 0.0;
    };
    LearnedBase big(LearnedBase::fileIn(dir.path()));
    big.predictor().setPriors(boardPriors(pagesOfPhrase));
    const double before = rss();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < learned; ++i)
        big.add({LearnedRecord::Kind::Said, day0.addSecs(qint64(i) * 600), messages[i % count],
                 messages[i % count].join(u' ') + QString::number(i % 700)});
    const double learning = timer.elapsed();
    timer.restart();
    big.load();
    const double reading = timer.elapsed();
    std::vector<double> times, onCpu;
    for (int round = 0; round < 5; ++round) {
        for (const QStringList &m : messages) {
            for (qsizetype at = 0; at <= m.size(); ++at) {
                QElapsedTimer t;
                t.start();
                const double cpu = threadCpuMs();
                const QStringList s = big.predictor().suggest(m.mid(0, at), 8);
                onCpu.push_back(threadCpuMs() - cpu);
                times.push_back(double(t.nsecsElapsed()) / 1e6);
                if (s.isEmpty())
                    return 1;
            }
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(onCpu.begin(), onCpu.end());
    std::printf("%d messages learned (%.0f ms, each written to the file), read back at start in "
                "%.0f ms; memory +%.1f MB\n",
                learned, learning, reading, rss() - before);
    std::printf("suggestions after a press (n=%zu): median %.3f ms, 99th percentile %.3f ms, "
                "worst %.3f ms\n",
                times.size(), times[times.size() / 2], times[times.size() * 99 / 100],
                times.back());
    std::printf("  of which on the CPU: 99th percentile %.3f ms, worst %.3f ms (the rest: the "
                "thread waiting for a core)\n",
                onCpu[onCpu.size() * 99 / 100], onCpu.back());

    // In the window: the same base read at start, each press of the corpus to its row drawn.
    QProcess::execute(QStringLiteral("cp"),
                      {QStringLiteral("-r"), pagesDir, dir.path() + QStringLiteral("/pages")});
    AppState state;
    state.paths.dataDirectory = dir.path();
    state.tpp = {15, 15};
    state.settings.sentenceBar = state.settings.prediction = state.settings.alreadySaid = true;
    state.settings.sayEachPhrase = false;
    MainWindow window(state);
    window.resize(1000, 700);
    window.applyLook();
    window.show();
    SilentSpeech silent;
    SpeechWindow speech(silent);
    MessageChoices choices(state, window, speech);
    QSignalSpy loaded(&choices, &MessageChoices::loaded);
    timer.restart();
    choices.start();
    if (!loaded.wait(30000))
        return 1;
    std::printf("in the window: %d messages learned read and the boards in use gathered in "
                "%lld ms\n",
                choices.base()->predictor().messagesLearned(), timer.elapsed());
    // The conjugator's tables, loading since the strip was shown: the first press of a run
    // waits for them once (bench_sentence measures that).
    Lexicon::shared();
    SentenceBar *bar = window.sentenceBar();
    std::vector<double> shown, shownOnCpu;
    for (const QStringList &m : messages) {
        for (const QString &phrase : m) {
            QElapsedTimer t;
            t.start();
            const double cpu = threadCpuMs();
            bar->add(phrase, {});
            window.repaint();
            shownOnCpu.push_back(threadCpuMs() - cpu);
            shown.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        bar->clear();
        QCoreApplication::processEvents();
    }
    std::sort(shown.begin(), shown.end());
    std::sort(shownOnCpu.begin(), shownOnCpu.end());
    std::printf("a press to the row of suggestions drawn (n=%zu): median %.2f ms, 99th "
                "percentile %.2f ms, worst %.2f ms; memory in all %.0f MB\n",
                shown.size(), shown[shown.size() / 2], shown[shown.size() * 99 / 100], shown.back(),
                rss());
    std::printf(
        "  of which on the CPU: 99th percentile %.2f ms, worst %.2f ms; presses over "
        "16 ms: %lld\n",
        shownOnCpu[shownOnCpu.size() * 99 / 100], shownOnCpu.back(),
        (long long)std::count_if(shown.begin(), shown.end(), [](double ms) { return ms > 16; }));
    return 0;
}
