// Importing and exporting a board set of 50 boards of 20 buttons (1,000 pictures, links
// between the boards), as carers exchange them: the time, the memory, what is written.
// Then the same set imported through "Pages → Importer…" as the carer does: the window's
// longest stall while the set is imported, and the progress it showed.
// Usage: bench_boards [--load N] [--boards N]
#include "CpuLoad.h"
#include "LargeBoardSet.h"
#include "boards/BoardExchange.h"
#include "boards/BoardExport.h"
#include "boards/BoardImport.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PageFile.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"
#include "platform/Dialogs.h"
#include "platform/StandInServices.h"
#include "platform/TextFile.h"
#include "platform/ZipArchive.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

using namespace tv;

namespace {

QString makeSet(const QString &file, int boards) {
    QString why;
    if (!writeZip(file, test::largeBoardSet(boards), &why))
        return why;
    return {};
}

// The file dialog chooses the set; every message is printed and answered.
class BenchDialogs final : public Dialogs {
public:
    explicit BenchDialogs(QString set) : set_(std::move(set)) {}
    MessageAnswer message(const QString &text, MessageIcon, MessageButtons,
                          const QString &) override {
        std::printf("  message: %s\n", qPrintable(QString(text).replace("\r\n", " / ")));
        return MessageAnswer::Yes;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFile(const OpenFileRequest &) override { return set_; }
    std::optional<qint32> chooseColor() override { return {}; }

private:
    QString set_;
};
class NoCursor final : public CursorPlacer {
public:
    void moveTo(const QPoint &) override {}
};
class NoWait final : public Waiter {
public:
    void waitMs(int) override {}
};

// "Importer…" on a real window; a timer of the window's thread ticks every 10 ms and the
// longest gap between its ticks is how long the window did not answer.
void importThroughTheWindow(const QString &set) {
    QTemporaryDir program;
    QDir(program.path()).mkpath("pages");
    QDir(program.path()).mkpath("multimedia");
    AppState state;
    state.paths.dataDirectory = program.path();
    state.tpp = {15, 15};
    BenchDialogs dialogs(set);
    SilentSpeech speech;
    SilentSoundPlayer sounds;
    SilentMediaPlayer media;
    NoCursor cursor;
    NoWait waiter;
    tv::SilentVoiceInput voice;
    Services services{dialogs, speech, sounds, media, cursor, waiter, voice};
    PictureCache cache;
    MainWindow window(state);
    PageSounds pageSounds(sounds);
    PageLoader loader(state, window, services, cache, pageSounds);
    BoardExchange exchange(state, window, services, loader);
    window.resize(900, 600);
    window.show();
    QElapsedTimer clock;
    qint64 last = 0, stall = 0;
    QString lastLabel;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        stall = std::max(stall, now - last);
        last = now;
        if (auto *p = window.findChild<QProgressDialog *>())
            lastLabel = p->labelText();
    });
    clock.start();
    tick.start();
    QEventLoop done;
    QObject::connect(&exchange, &BoardExchange::importFinished, &done, &QEventLoop::quit);
    exchange.importBoards();
    done.exec();
    tick.stop();
    std::printf("through the window: %.0f ms, the window's longest stall %lld ms; progress "
                "last read « %s »\n",
                double(clock.elapsed()), stall, qPrintable(lastLabel));
}

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::pair<int, qint64> filesBelow(const QString &dir) {
    int n = 0;
    qint64 bytes = 0;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++n;
        bytes += it.fileInfo().size();
    }
    return {n, bytes};
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    int hogs = 0, boards = 50;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--load"))
            hogs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--boards"))
            boards = args[i + 1].toInt();
    }
    QTemporaryDir work;
    const QString set = work.filePath("set.obz");
    if (const QString why = makeSet(set, boards); !why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    bench::CpuLoad load;
    if (!load.start(hogs))
        return 1;
    std::printf("set: %d boards of %d buttons, %d distinct pictures, %.1f MB; CPU hogs %d, load "
                "average %s\n",
                boards, test::kSetButtons, test::kSetPictures, QFileInfo(set).size() / 1048576.0,
                hogs, qPrintable(bench::loadAverage()));
    const long before = peakKb();
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir program;
        QDir(program.path()).mkpath("pages");
        QDir(program.path()).mkpath("multimedia");
        const ImportTarget target{program.filePath("pages"),
                                  program.filePath("multimedia"),
                                  QSize(13500, 9000),
                                  150,
                                  {15, 15}};
        QElapsedTimer t;
        t.start();
        const ImportReport r =
            importBoards(set, target, [](const QStringList &) { return ExistingPages::Replace; });
        const double importMs = double(t.nsecsElapsed()) / 1e6;
        if (!r.ok) {
            std::fprintf(stderr, "import failed: %s\n", qPrintable(r.error));
            return 1;
        }
        const auto [files, bytes] = filesBelow(program.path());
        // The whole set goes out again from its first page.
        ExportSource source{
            program.filePath("pages"), program.filePath("multimedia"), {15, 15}, {}};
        source.current.currentPage = r.pages.first();
        const ParsedPage first =
            parsePage(readTextLines(target.pagesDirectory + u'/' + r.pages.first()).lines,
                      [](const QString &) { return true; }, {15, 15});
        source.current.imageTable = first.records;
        t.start();
        const QString out = work.filePath("out.obz");
        QFile::remove(out);
        const ExportReport e = exportBoards(out, source);
        const double exportMs = double(t.nsecsElapsed()) / 1e6;
        std::printf(
            "round %d: import %.0f ms (%lld pages, %d pictures, %d files, %.1f MB "
            "written); export of the %d pages reachable from the first %.0f ms (%.1f MB)%s\n",
            round + 1, importMs, qlonglong(r.pages.size()), r.pictures, files, bytes / 1048576.0,
            e.boards, exportMs, QFileInfo(out).size() / 1048576.0, e.ok ? "" : " FAILED");
    }
    std::printf("peak memory: %.1f MB (%.1f MB before the first import)\n", peakKb() / 1024.0,
                before / 1024.0);
    importThroughTheWindow(set);
    std::printf("load average at the end: %s\n", qPrintable(bench::loadAverage()));
    return 0;
}
