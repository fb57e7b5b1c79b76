#include "Files.h"

#include "CaseTables.h"

#include <QtTest>
#include <QtWidgets>

namespace tv::test {

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray pngBytes(const QColor &color, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

bool makeMedia(const QString &dir, const QRegularExpression &names) {
    for (const QStringList &row : caseTable("media.tsv")) {
        if (!names.match(row[0]).hasMatch())
            continue;
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     QStringList{"-hide_banner", "-loglevel", "error", "-y"} +
                         QString(row[1])
                             .replace("{film}", "-f lavfi -i testsrc=size=160x120:rate="
                                                "25:duration=1 -f lavfi -i sine=frequency="
                                                "330:duration=1 -shortest -pix_fmt yuv420p")
                             .split(u' ') +
                         QStringList{dir + u'/' + row[0]});
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
            return false;
    }
    return true;
}

SmallDisk::SmallDisk(const QString &size) {
    QProcess mount;
    mount.start("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", dir_.path()});
    mounted_ = mount.waitForFinished() && mount.exitCode() == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        QProcess::execute("umount", {dir_.path()});
}

bool SmallDisk::fill(qint64 leave) {
    QFile filler(path("filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    return leave == 0 || filler.resize(QFileInfo(filler).size() - leave);
}

bool SmallDisk::makeReadOnly() {
    return QProcess::execute("mount", {"-o", "remount,ro", dir_.path()}) == 0;
}

} // namespace tv::test
