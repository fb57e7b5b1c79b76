#pragma once

#include <QString>
#include <algorithm>
#include <vector>

namespace tv::bench {

// Times gathered in a run, in ms, and how they spread.
struct Stats {
    std::vector<double> v;
    void add(double x) { v.push_back(x); }
    // "median, worst": what a person meets most and at worst.
    QString text() {
        if (v.empty())
            return QStringLiteral("n/a");
        std::sort(v.begin(), v.end());
        return QStringLiteral("median %1 ms, worst %2 ms (n=%3)")
            .arg(v[v.size() / 2], 0, 'f', 1)
            .arg(v.back(), 0, 'f', 1)
            .arg(v.size());
    }
    // "median, earliest, latest": for times that may come too early as well as too late.
    QString spread() {
        if (v.empty())
            return QStringLiteral("n/a");
        std::sort(v.begin(), v.end());
        return QStringLiteral("median %1 ms, earliest %2 ms, latest %3 ms (n=%4)")
            .arg(v[v.size() / 2], 0, 'f', 1)
            .arg(v.front(), 0, 'f', 1)
            .arg(v.back(), 0, 'f', 1)
            .arg(v.size());
    }
};

} // namespace tv::bench
