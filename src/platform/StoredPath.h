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

} // namespace tv
