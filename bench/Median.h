#pragma once

#include <QList>
#include <algorithm>

// The middle of the measured runs: one slow run (a page the engine was slow to
// lay out) does not move it.
inline double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    if (v.isEmpty()) return 0;
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
