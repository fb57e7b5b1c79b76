#include "DiskPictureCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstring>
#include <sys/stat.h>
#include <zlib.h>

namespace tv {

namespace {

constexpr char kMagic[8] = {'T', 'V', 'P', 'I', 'C', '\x01', '\r', '\n'};
constexpr int kMaxSide = 16384;
constexpr const char *kSuffix = ".pic";

// Everything before the path and the pixels, in the machine's own byte order: the files
// never leave the machine that wrote them.
struct Header {
    char magic[8];
    qint32 width, height, format, bytesPerLine;
    qint64 size, modifiedNs, changedNs;
    quint64 inode;
    quint32 pathBytes;
    quint32 crc;
};

quint32 crcOf(const uchar *data, qint64 length) {
    uLong crc = crc32(0L, Z_NULL, 0);
    while (length > 0) {
        const uInt chunk = uInt(std::min<qint64>(length, 1 << 30));
        crc = crc32(crc, data, chunk);
        data += chunk;
        length -= chunk;
    }
    return quint32(crc);
}

QString pathHash(const QString &path) {
    return QString::fromLatin1(
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(32));
}

} // namespace

FileStamp stampOf(const QString &path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec, quint64(st.st_ino)};
}

DiskPictureCache::DiskPictureCache(QString directory, qint64 maxBytes)
    : directory_(std::move(directory)), maxBytes_(maxBytes) {
}

QString DiskPictureCache::standardDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/tablavox/images");
}

QString DiskPictureCache::fileFor(const QString &path, const QSize &size) const {
    return directory_ + u'/' + pathHash(path) +
           QStringLiteral("-%1x%2").arg(size.width()).arg(size.height()) + QLatin1String(kSuffix);
}

QImage DiskPictureCache::find(const QString &path, const FileStamp &stamp, const QSize &size) {
    QFile file(fileFor(path, size));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pathBytes = path.toUtf8();
    const qint64 length = file.size();
    Header header{};
    const auto damaged = [&] {
        file.close();
        QMutexLocker lock(&mutex_);
        if (QFile::remove(file.fileName()))
            bytes_ -= length;
        return QImage();
    };
    if (file.read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header) ||
        std::memcmp(header.magic, kMagic, sizeof kMagic) != 0)
        return damaged();
    if (header.pathBytes != quint32(pathBytes.size()) || file.read(header.pathBytes) != pathBytes)
        return {}; // another picture's file under the same name: not ours to remove
    if (FileStamp{header.size, header.modifiedNs, header.changedNs, header.inode} != stamp) {
        file.close();
        removeVersionsOf(path);
        return {};
    }
    const auto format = QImage::Format(header.format);
    if (header.height < 1 || header.height > kMaxSide ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        header.bytesPerLine != header.width * 4 || header.width < 1 || header.width > kMaxSide)
        return damaged();
    const qint64 pixelBytes = qint64(header.bytesPerLine) * header.height;
    if (length != qint64(sizeof header) + header.pathBytes + pixelBytes)
        return damaged();
    QImage image(header.width, header.height, format);
    if (image.isNull() || image.bytesPerLine() != header.bytesPerLine ||
        file.read(reinterpret_cast<char *>(image.bits()), pixelBytes) != pixelBytes ||
        crcOf(image.constBits(), pixelBytes) != header.crc)
        return damaged();
    // The file's own date says when it was last used: the oldest used go first.
    file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return image;
}

void DiskPictureCache::store(const QString &path, const FileStamp &stamp, const QSize &size,
                             const QImage &picture) {
    if (picture.isNull() || !stamp.exists() || picture.width() > kMaxSide ||
        picture.height() > kMaxSide)
        return;
    {
        QMutexLocker lock(&mutex_);
        if (unusable_)
            return;
        if (!counted_) {
            if (!QDir().mkpath(directory_)) {
                unusable_ = true; // the program works as it would without this cache
                return;
            }
            countFilesLocked();
        }
    }
    const QImage image = picture.convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // Kept under the size asked for, whatever size came out (a picture smaller than its
    // control is not enlarged), so that the same question finds it again.
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.width = image.width();
    header.height = image.height();
    header.format = qint32(image.format());
    header.bytesPerLine = qint32(image.bytesPerLine());
    header.size = stamp.size;
    header.modifiedNs = stamp.modifiedNs;
    header.changedNs = stamp.changedNs;
    header.inode = stamp.inode;
    const QByteArray pathBytes = path.toUtf8();
    header.pathBytes = quint32(pathBytes.size());
    const qint64 pixelBytes = qint64(image.bytesPerLine()) * image.height();
    header.crc = crcOf(image.constBits(), pixelBytes);

    const QString name = fileFor(path, size);
    const qint64 before = QFileInfo(name).size();
    QSaveFile file(name);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(reinterpret_cast<const char *>(&header), sizeof header) ==
            qint64(sizeof header) &&
        file.write(pathBytes) == pathBytes.size() &&
        file.write(reinterpret_cast<const char *>(image.constBits()), pixelBytes) == pixelBytes &&
        file.commit();
    QMutexLocker lock(&mutex_);
    if (!written) {
        if (file.error() == QFileDevice::OpenError || file.error() == QFileDevice::PermissionsError)
            unusable_ = true;
        return;
    }
    bytes_ += qint64(sizeof header) + pathBytes.size() + pixelBytes - before;
    if (bytes_ > maxBytes_)
        trimLocked();
}

qint64 DiskPictureCache::bytes() {
    QMutexLocker lock(&mutex_);
    if (!counted_)
        countFilesLocked();
    return bytes_;
}

void DiskPictureCache::countFilesLocked() {
    bytes_ = 0;
    const QFileInfoList files = QDir(directory_).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &info : files)
        bytes_ += info.size();
    counted_ = true;
}

void DiskPictureCache::trimLocked() {
    // Down to three quarters, so that the listing is not made again at every next picture.
    QFileInfoList files =
        QDir(directory_).entryInfoList(QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    qint64 total = 0;
    for (const QFileInfo &info : files)
        total += info.size();
    for (const QFileInfo &info : files) {
        if (total <= maxBytes_ * 3 / 4)
            break;
        if (QFile::remove(info.filePath()))
            total -= info.size();
    }
    bytes_ = total;
}

void DiskPictureCache::removeVersionsOf(const QString &path) {
    QMutexLocker lock(&mutex_);
    QDir dir(directory_);
    const QStringList names = dir.entryList(
        {pathHash(path) + QStringLiteral("-*") + QLatin1String(kSuffix)}, QDir::Files);
    for (const QString &name : names) {
        const qint64 length = QFileInfo(dir.filePath(name)).size();
        if (dir.remove(name))
            bytes_ -= length;
    }
}

} // namespace tv
