#pragma once

#include <QList>
#include <QStringList>

namespace tv::test {

// The rows of a table of cases in tests/data/cases: tab-separated columns holding the C
// escapes \r, \n, \t and \\; lines starting with "#", and a tab followed by "# ", are comments.
QList<QStringList> caseTable(const QString &name);

} // namespace tv::test
