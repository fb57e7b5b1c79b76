#pragma once

#include "model/Settings.h"
#include "use/Target.h"

#include <QPoint>

namespace tv {

// When resting the pointer on something chooses it. Fed with where the pointer is and what
// lies under it (nothing, when nothing there can be chosen), time after time.
class DwellRule {
public:
    // An eye tracker loses the eyes for a blink, and its pointer jumps or leaves the window:
    // a loss shorter than this does not start the time again.
    static constexpr int kGraceMs = 200;

    explicit DwellRule(const DwellSettings &settings = {}) : settings_(settings) {}

    // The pointer at `at` over `target` at time `ms`: the target chosen now, or none.
    Target sample(qint64 ms, QPoint at, Target target);
    // Forgets where the pointer rested: nothing is chosen until it rests anew.
    void reset();

    // What the pointer rests on, and how far the time has gone (0 to 1); none and 0 for none.
    Target target() const { return counting() ? target_ : Target{}; }
    double progress(qint64 ms) const;
    // When the target will be chosen if the pointer stays; -1 when nothing is due.
    // When the pointer came to rest on the target.
    qint64 restStartedAt() const { return since_; }
    qint64 dueAt() const { return counting() && !lost_ ? since_ + settings_.delayMs : -1; }

private:
    // Where the pointer rests: the middle of the places it was seen at, so that a shaking
    // pointer is measured from where it aims, not from its first, shaken, position.
    struct Rest {
        qint64 x = 0, y = 0, count = 0;
        void add(QPoint p) { x += p.x(), y += p.y(), ++count; }
        QPoint centre() const { return count ? QPoint(int(x / count), int(y / count)) : QPoint(); }
    };
    bool counting() const { return target_ && !spent_; }
    bool near(QPoint a, QPoint b) const;

    DwellSettings settings_;
    Target target_;
    Rest rest_;
    qint64 since_ = 0;
    bool spent_ = false; // chosen, and not to be chosen again before the pointer leaves it
    // A loss under way: since when, and what the pointer is over meanwhile, since when.
    bool lost_ = false;
    qint64 lostAt_ = 0;
    Target candidate_;
    Rest candidateRest_;
    qint64 candidateSince_ = 0;
};

} // namespace tv
