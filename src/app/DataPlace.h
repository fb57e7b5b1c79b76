#pragma once

#include <QString>

namespace tv {

// Where a person's boards live: the directory named on the command line; else beside the
// program when its pages or its settings file lie there (a portable copy, as it always
// was); else the person's own data directory, dataHome/tablavox.
QString chooseDataDirectory(const QString &chosen, const QString &programDirectory,
                            const QString &dataHome);

// True for a directory that does not exist yet or holds nothing (but what a first fill cut
// short left): it is filled before its first use.
bool needsFirstFill(const QString &directory);

// Gives a new data directory a copy of the demo's pages and pictures and the default
// settings. Empty on success; otherwise why, in words a carer can act on, and nothing of the
// fill is left in the directory, so that the next start tries again.
QString fillDataDirectory(const QString &directory, const QString &demoDirectory);

} // namespace tv
