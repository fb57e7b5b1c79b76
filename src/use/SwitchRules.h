#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <vector>

namespace tv {

// Scanning rules as plain functions over values, apart from any window.

// The standard switch timing filters. Times are milliseconds on one clock. A press while the
// switch is already down is the same press (a held key repeats); the release time runs from
// the release of the press that counted, and a press that starts inside it is ignored whole,
// however long it is then held.
class SwitchTiming {
public:
    SwitchTiming(int acceptanceMs, int releaseMs)
        : acceptance_(acceptanceMs), release_(releaseMs) {}
    // The switch went down. True when the press counts at once (no acceptance time).
    bool down(qint64 now);
    // Held until now: true when the press counts now (once per press).
    bool heldUntil(qint64 now);
    void up(qint64 now);
    bool isDown() const { return down_; }
    int acceptanceMs() const { return acceptance_; }

private:
    int acceptance_, release_;
    bool down_ = false, counted_ = false, ignored_ = false;
    qint64 downAt_ = 0;
    qint64 quietUntil_ = -1;
};

// The step time that follows the person's pace: after every 10 selections it moves halfway
// toward 1.5 × the median reaction time + 250 ms; two misses in a row lengthen it by 10 %.
// Always within the carer's bounds.
class ScanPace {
public:
    ScanPace(int stepMs, int minMs, int maxMs);
    // New bounds and step time from the carer; the reactions measured are kept.
    void rebound(int stepMs, int minMs, int maxMs);
    // A selection, `reactionMs` after the frame reached what was chosen. The new step time.
    int selected(double reactionMs);
    // A selection undone at once. The new step time.
    int missed();
    int stepMs() const { return step_; }
    double medianReactionMs() const;
    double slowestReactionMs() const;
    int selections() const { return int(all_.size()); }

private:
    int held(double ms) const;
    int step_ = 0, min_ = 0, max_ = 0;
    std::vector<double> batch_, all_;
    int missesInARow_ = 0;
};

// The carer's view of the person's pace: measured reaction times and the step time.
struct Settings;
QString paceReport(const ScanPace &pace, const Settings &settings);

// What the frame says as it lands on a picture (auditory scanning): the phrase, the page's
// name, the media file's name; nothing for a keyword or an empty action.
QString cueOf(const QString &action);

} // namespace tv
