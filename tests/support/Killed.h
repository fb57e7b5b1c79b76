#pragma once

#include <QString>

namespace tv::test {

// Starts this test program again with `variable`=`value` in its environment, as a child that
// writes records and prints how many after each. Once it said at least `until`, it is killed
// with SIGKILL while it writes on. What it said last; -1 when it never got that far.
int killWhileWriting(const QString &variable, const QString &value, int until);

} // namespace tv::test
