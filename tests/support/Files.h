#pragma once

#include <QByteArray>
#include <QColor>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>

namespace tv::test {

// Raw bytes of a file, for byte-for-byte comparisons.
QByteArray fileBytes(const QString &path);
// A PNG file's bytes: a picture of one colour.
QByteArray pngBytes(const QColor &color, QSize size = {8, 8});
void writeBytes(const QString &path, const QByteArray &bytes);

// Makes dir/<name> for each row of the media case table whose name matches `names`.
bool makeMedia(const QString &dir, const QRegularExpression &names);

// A small file system of its own (tmpfs), for a disk that is really full or really
// read-only. Mounting needs root: mounted() tells whether it could be done.
class SmallDisk {
public:
    explicit SmallDisk(const QString &size);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString path(const QString &name) const { return dir_.filePath(name); }
    // Writes until no byte more fits, then frees `leave` bytes of it.
    bool fill(qint64 leave = 0);
    bool makeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace tv::test
