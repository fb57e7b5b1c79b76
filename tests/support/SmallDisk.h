#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tv::test {

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
    // Writes until no byte more fits.
    bool fill();
    bool makeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace tv::test
