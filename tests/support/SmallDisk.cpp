#include "SmallDisk.h"

#include <QFile>
#include <QProcess>

namespace tv::test {

SmallDisk::SmallDisk(const QString &size) {
    QProcess mount;
    mount.start("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", dir_.path()});
    mounted_ = mount.waitForFinished() && mount.exitCode() == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        QProcess::execute("umount", {dir_.path()});
}

bool SmallDisk::fill() {
    QFile filler(path("filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    return true;
}

bool SmallDisk::makeReadOnly() {
    return QProcess::execute("mount", {"-o", "remount,ro", dir_.path()}) == 0;
}

} // namespace tv::test
