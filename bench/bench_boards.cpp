// Importing and exporting a board set of 50 boards of 20 buttons (1,000 pictures, links
// between the boards), as carers exchange them: the time, the memory, what is written.
// Usage: bench_boards [--load N] [--boards N]
#include "CpuLoad.h"
#include "boards/BoardExport.h"
#include "boards/BoardImport.h"
#include "page/PageFile.h"
#include "platform/TextFile.h"
#include "platform/ZipArchive.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace tv;

namespace {

constexpr int kButtons = 20;
constexpr int kPictures = 250;

QByteArray picture(int n) {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(n * 37 % 360, 120, 250));
    QPainter p(&image);
    p.setBrush(QColor::fromHsv(n * 91 % 360, 200, 180));
    p.drawEllipse(20 + n % 40, 30, 120, 100 + n % 50);
    p.drawText(20, 190, QStringLiteral("symbole %1").arg(n));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString makeSet(const QString &file, int boards) {
    std::vector<std::pair<QString, QByteArray>> entries;
    QJsonObject paths;
    for (int b = 0; b < boards; ++b) {
        QJsonArray buttons, images, row, order;
        for (int i = 0; i < kButtons; ++i) {
            const int pic = (b * 7 + i) % kPictures;
            const QString imageId = QStringLiteral("i%1").arg(pic);
            QJsonObject button{{"id", QString::number(i)},
                               {"label", QStringLiteral("mot %1, tableau %2").arg(i).arg(b)},
                               {"image_id", imageId}};
            // Each board links to the next and back to the first.
            if (i == 0 && b + 1 < boards)
                button["load_board"] = QJsonObject{{"id", QString::number(b + 1)}};
            if (i == 1 && b > 0)
                button["load_board"] = QJsonObject{{"id", "0"}};
            buttons.append(button);
            images.append(QJsonObject{{"id", imageId},
                                      {"path", QStringLiteral("images/%1.png").arg(pic)},
                                      {"content_type", "image/png"}});
            row.append(QString::number(i));
            if (row.size() == 5) {
                order.append(row);
                row = {};
            }
        }
        const QJsonObject board{
            {"format", "open-board-0.1"},
            {"id", QString::number(b)},
            {"name", QStringLiteral("Tableau %1").arg(b)},
            {"buttons", buttons},
            {"images", images},
            {"grid", QJsonObject{{"rows", 4}, {"columns", 5}, {"order", order}}}};
        const QString path = QStringLiteral("boards/%1.obf").arg(b);
        paths.insert(QString::number(b), path);
        entries.push_back({path, QJsonDocument(board).toJson()});
    }
    for (int n = 0; n < kPictures; ++n)
        entries.push_back({QStringLiteral("images/%1.png").arg(n), picture(n)});
    const QJsonObject manifest{{"format", "open-board-0.1"},
                               {"root", "boards/0.obf"},
                               {"paths", QJsonObject{{"boards", paths}}}};
    entries.push_back({"manifest.json", QJsonDocument(manifest).toJson()});
    QString why;
    if (!writeZip(file, entries, &why))
        return why;
    return {};
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
                boards, kButtons, kPictures, QFileInfo(set).size() / 1048576.0, hogs,
                qPrintable(bench::loadAverage()));
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
    std::printf("load average at the end: %s\n", qPrintable(bench::loadAverage()));
    return 0;
}
