#include "EditGeometry.h"

#include <algorithm>

namespace tv {

int clampPlace(long long twips) {
    return int(std::clamp<long long>(twips, -32768, 32767));
}

int clampSize(long long twips) {
    return int(std::clamp<long long>(twips, 1, 32767));
}

QRect clampedPicture(long long left, long long top, long long width, long long height) {
    return {clampPlace(left), clampPlace(top), clampSize(width), clampSize(height)};
}

QRect besideRight(const QRect &s, int gap) {
    return clampedPicture(qint64(s.x()) + s.width() + gap, s.y(), s.width(), s.height());
}

QRect besideBelow(const QRect &s, int gap) {
    return clampedPicture(s.x(), qint64(s.y()) + s.height() + gap, s.width(), s.height());
}

QRect grown(const QRect &p) {
    return clampedPicture(p.x(), p.y(), qint64(p.width()) + kSizeStep,
                          qint64(p.height()) + kSizeStep);
}

std::optional<QRect> shrunk(const QRect &p) {
    if (p.width() <= 1615 || p.height() <= kSizeStep)
        return std::nullopt;
    return QRect(p.x(), p.y(), p.width() - kSizeStep, p.height() - kSizeStep);
}

std::optional<QRect> stretchedTo(const QRect &p, QPoint corner) {
    if (corner.x() <= p.x() || corner.y() <= p.y())
        return std::nullopt;
    return clampedPicture(p.x(), p.y(), qint64(corner.x()) - p.x(), qint64(corner.y()) - p.y());
}

} // namespace tv
