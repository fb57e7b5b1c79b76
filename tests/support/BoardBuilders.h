#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace tv::test {

// A board set of the open board format: two boards, "Maison" with every kind of button and
// "Jeux" with a way back; one picture too large to decode, another with a right header and
// wrong data.
using BoardEntries = std::vector<std::pair<QString, QByteArray>>;
BoardEntries boardSet();
// The entries zipped into dir/set.obz.
QString package(const QTemporaryDir &dir, const BoardEntries &entries);

} // namespace tv::test
