#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

struct zip;

namespace tv {

// A path inside a package as a relative path of plain names ("boards/1.obf"); nothing for
// a path that is absolute, climbs out ("..") or names a drive.
std::optional<QString> safeEntryPath(const QString &path);

// Reads a zip package through libzip, which checks its central directory. Entries are read
// whole into memory, never beyond the size asked for: a package that claims little and
// inflates to a lot is stopped there.
class ZipReader {
public:
    ZipReader() = default;
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // False, with the reason in French, when the file is not a readable zip package.
    bool open(const QString &path, QString *error);
    // Every entry's name as stored.
    QStringList names() const;
    // The entry's bytes; nothing, with the reason, when it is missing, larger than maxBytes
    // or damaged.
    std::optional<QByteArray> read(const QString &name, qint64 maxBytes, QString *error) const;

private:
    zip *archive_ = nullptr;
};

// Writes a zip package with these entries (name, bytes), beside the target first, then in
// its place: a failure leaves a former file whole.
bool writeZip(const QString &path, const std::vector<std::pair<QString, QByteArray>> &entries,
              QString *error);

} // namespace tv
