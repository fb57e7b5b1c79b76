#pragma once

#include <QString>
#include <optional>

namespace tv {

// Stored paths are relative, with "\" between the parts, as written on case-insensitive
// systems. They come from files a carer may have received from anywhere.

// False for a stored path that could lead outside its base directory: absolute, with a
// drive letter, or with a ".." part.
bool isContainedStoredPath(const QString &stored);

// The file-system path of a stored path below baseDir. Each part not found as written is
// looked up ignoring letter case. nullopt when the path is not contained.
std::optional<QString> resolveStoredPath(const QString &baseDir, const QString &stored);

// A file chosen in a file dialog, as the program will refer to it from a data directory.
struct ChosenFile {
    QString dir;         // the chosen file's directory, ending with "/"
    QString name;        // stored form: the path below the data directory, or the bare file name
    bool inside = false; // the file lies in the data directory or below it
};

// `baseDir` is the data directory, `path` the full path chosen. Letter case counts: a path
// that spells the data directory otherwise is taken as outside it.
ChosenFile relativeToDataDirectory(const QString &baseDir, const QString &path);

} // namespace tv
