// How fast a page of 50 phone photos appears, and how much memory it takes.
// Prints: cold load, warm reload, the naive full-size decode, their ratio, peak memory.

#include "app/AppState.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "page/PictureCache.h"
#include "platform/Dialogs.h"
#include "platform/StandInServices.h"
#include "platform/TextFile.h"
#include "use/PageSounds.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

class NoDialogs final : public tv::Dialogs {
public:
    tv::MessageAnswer message(const QString &text, tv::MessageIcon, tv::MessageButtons,
                              const QString &) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return tv::MessageAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFile(const tv::OpenFileRequest &) override { return {}; }
    std::optional<qint32> chooseColor() override { return {}; }
};

class NoCursor final : public tv::CursorPlacer {
public:
    void moveTo(const QPoint &) override {}
};
class NoWait final : public tv::Waiter {
public:
    void waitMs(int) override {}
};

// A photo-like picture: smooth light, many shapes and grain, so that it compresses
// and decodes like a real photo rather than a flat colour.
QImage photo(int seed) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator rng{quint32(seed)};
    QPainter p(&image);
    QLinearGradient sky(0, 0, 4000, 3000);
    sky.setColorAt(0, QColor::fromHsv(rng.bounded(360), 120, 230));
    sky.setColorAt(1, QColor::fromHsv(rng.bounded(360), 200, 90));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 400; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv(rng.bounded(360), rng.bounded(256), rng.bounded(256),
                                   40 + rng.bounded(160)));
        p.drawEllipse(QPointF(rng.bounded(4000), rng.bounded(3000)), 20 + rng.bounded(400),
                      20 + rng.bounded(300));
    }
    p.end();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(rng.bounded(24)) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255),
                           qBound(0, qBlue(c) + n, 255));
        }
    }
    return image;
}

long peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

constexpr int kPhotos = 50, kDistinct = 5, kShown = 160;

// Writes the photos and their page; run in a process of its own so that the memory it
// takes does not count in the figures.
void generate(const QString &root) {
    QDir(root).mkpath("pages");
    QDir(root).mkpath("multimedia");
    struct {
        QString filePath(const QString &name) const { return root + u'/' + name; }
        QString root;
    } dir{root};
    QStringList page{QStringLiteral("couleur_page=16777215")};
    for (int i = 0; i < kPhotos; ++i) {
        const QString name = QStringLiteral("photo_%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        const QString path = dir.filePath("multimedia/" + name);
        if (i < kDistinct)
            photo(i).save(path, "JPG", 90);
        else
            QFile::copy(dir.filePath(QStringLiteral("multimedia/photo_%1.jpg")
                                         .arg(i % kDistinct, 2, 10, QLatin1Char('0'))),
                        path);
        page << QStringLiteral("%1,Photo %2,%3,%4,%5,%5")
                    .arg(name)
                    .arg(i)
                    .arg(10 + (i % 10) * (kShown + 6))
                    .arg(10 + (i / 10) * (kShown + 6))
                    .arg(kShown);
    }
    tv::writeTextLines(dir.filePath("pages/page_photos.dat"), page);
}

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--generate") {
        generate(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    QTemporaryDir dir;
    std::printf("generating %d photos of 4000 x 3000...\n", kPhotos);
    std::fflush(stdout);
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {"--generate", dir.path()}) != 0)
        return 1;

    tv::AppState state;
    state.paths.programDirectory = dir.path();
    state.tpp = {15, 15};
    NoDialogs dialogs;
    tv::SilentSpeech speech;
    tv::SilentSoundPlayer sounds;
    tv::SilentMediaPlayer media;
    NoCursor cursor;
    NoWait waiter;
    tv::Services services{dialogs, speech, sounds, media, cursor, waiter};
    tv::PictureCache cache;
    tv::MainWindow window(state);
    tv::PageSounds pageSounds(sounds);
    tv::PageLoader loader(state, window, services, cache, pageSounds);

    QElapsedTimer timer;
    state.page.currentPage = QStringLiteral("page_photos.dat");
    timer.start();
    loader.loadPage();
    const double coldMs = double(timer.nsecsElapsed()) / 1e6;

    double warmMs = 1e9;
    for (int run = 0; run < 5; ++run) {
        state.page.currentPage = QStringLiteral("page_photos.dat");
        timer.restart();
        loader.loadPage();
        warmMs = std::min(warmMs, double(timer.nsecsElapsed()) / 1e6);
    }
    const long peakMiB = peakResidentMiB();

    // The naive way: every file decoded at full size, then drawn small.
    timer.restart();
    QList<QImage> naive;
    for (int i = 0; i < kPhotos; ++i) {
        const QImage full(dir.filePath(
            QStringLiteral("multimedia/photo_%1.jpg").arg(i, 2, 10, QLatin1Char('0'))));
        naive << full.scaled(kShown, kShown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const double naiveMs = double(timer.nsecsElapsed()) / 1e6;

    std::printf("cold load of 50 photos:      %8.1f ms\n", coldMs);
    std::printf("warm reload:                 %8.1f ms   (target < 30 ms)\n", warmMs);
    std::printf("naive full-size decode:      %8.1f ms\n", naiveMs);
    std::printf("naive / cold:                %8.1f x    (target >= 8 x)\n", naiveMs / coldMs);
    std::printf("peak resident memory:        %8ld MiB  (target < 250 MB)\n", peakMiB);
    std::printf("cache holds:                 %8.1f MiB\n", double(cache.bytes()) / 1048576.0);
    return 0;
}
