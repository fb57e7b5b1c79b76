#include "DwellRule.h"

#include <algorithm>

namespace tv {

bool DwellRule::near(QPoint a, QPoint b) const {
    const QPoint d = a - b;
    return qint64(d.x()) * d.x() + qint64(d.y()) * d.y() <=
           qint64(settings_.tolerancePx) * settings_.tolerancePx;
}

void DwellRule::reset() {
    *this = DwellRule(settings_);
}

double DwellRule::progress(qint64 ms) const {
    if (!counting())
        return 0;
    return std::clamp(double(ms - since_) / settings_.delayMs, 0.0, 1.0);
}

Target DwellRule::sample(qint64 ms, QPoint at, Target target) {
    if (target == target_ && near(at, rest_.centre())) {
        lost_ = false;
        rest_.add(at);
    } else {
        if (!lost_ || target != candidate_) {
            if (!lost_)
                lostAt_ = ms;
            lost_ = true;
            candidate_ = target;
            candidateRest_ = {};
            candidateSince_ = ms;
        }
        candidateRest_.add(at);
        // A shaking pointer strays beyond the distance now and then: where it aims is the
        // middle of all it does on the same target.
        if (target == target_)
            rest_.add(at);
        // Nothing rested on yet has no time to lose: the new place counts at once.
        if (target_ && ms - lostAt_ < kGraceMs)
            return {};
        // Gone for good: the time runs from the arrival on what the pointer is over now. A
        // choice is made again only once the pointer has left what it chose.
        spent_ = spent_ && candidate_ == target_;
        target_ = candidate_;
        rest_ = candidateRest_;
        since_ = candidateSince_;
        lost_ = false;
    }
    if (!counting() || ms - since_ < settings_.delayMs)
        return {};
    if (settings_.repeat)
        since_ = ms;
    else
        spent_ = true;
    return target_;
}

} // namespace tv
