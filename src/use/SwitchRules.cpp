#include "SwitchRules.h"

#include "model/Action.h"
#include "model/Settings.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace tv {

bool SwitchTiming::down(qint64 now) {
    if (down_)
        return false;
    down_ = true;
    downAt_ = now;
    // A bounce or a tremor just after a choice: this whole press is not the person's.
    ignored_ = quietUntil_ >= 0 && now < quietUntil_;
    counted_ = !ignored_ && acceptance_ <= 0;
    return counted_;
}

bool SwitchTiming::heldUntil(qint64 now) {
    if (!down_ || counted_ || ignored_ || now - downAt_ < acceptance_)
        return false;
    counted_ = true;
    return true;
}

void SwitchTiming::up(qint64 now) {
    if (down_ && counted_)
        quietUntil_ = now + release_;
    down_ = false;
}

ScanPace::ScanPace(int stepMs, int minMs, int maxMs) {
    rebound(stepMs, minMs, maxMs);
}

void ScanPace::rebound(int stepMs, int minMs, int maxMs) {
    min_ = std::min(minMs, maxMs);
    max_ = std::max(minMs, maxMs);
    step_ = held(stepMs);
}

int ScanPace::held(double ms) const {
    return int(std::lround(std::clamp(ms, double(min_), double(max_))));
}

static double medianOf(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int ScanPace::selected(double reactionMs) {
    missesInARow_ = 0;
    batch_.push_back(reactionMs);
    all_.push_back(reactionMs);
    if (batch_.size() == 10) {
        const double target = medianOf(batch_) * 1.5 + 250;
        step_ = held(step_ + (target - step_) / 2);
        batch_.clear();
    }
    return step_;
}

int ScanPace::missed() {
    if (++missesInARow_ == 2) {
        step_ = held(step_ * 1.1);
        missesInARow_ = 0;
    }
    return step_;
}

double ScanPace::medianReactionMs() const {
    return medianOf(all_);
}

double ScanPace::slowestReactionMs() const {
    return all_.empty() ? 0 : *std::max_element(all_.begin(), all_.end());
}

QString paceReport(const ScanPace &pace, const Settings &settings) {
    const QString step = QStringLiteral("Pas actuel : %1 ms.").arg(settings.scanDelay);
    if (pace.selections() == 0)
        return QStringLiteral("Aucun choix mesuré depuis le démarrage. ") + step;
    return QStringLiteral("Temps de réaction sur %1 choix : médiane %2 ms, le plus lent %3 ms. ")
               .arg(pace.selections())
               .arg(qRound(pace.medianReactionMs()))
               .arg(qRound(pace.slowestReactionMs())) +
           step;
}

QString cueOf(const QString &action) {
    switch (actionKind(action)) {
    case ActionKind::Phrase:
        return spokenPhrase(action);
    case ActionKind::PageLink:
        return pageTitle(action);
    case ActionKind::Media:
        return QFileInfo(QString(action).replace(u'\\', u'/')).completeBaseName();
    case ActionKind::Keyword:
    case ActionKind::None:
        break;
    }
    return {};
}

} // namespace tv
