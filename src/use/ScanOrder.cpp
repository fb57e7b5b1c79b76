#include "ScanOrder.h"

#include <algorithm>

namespace tv {

QList<QList<int>> rowsOf(QList<PlacedPicture> places) {
    std::stable_sort(places.begin(), places.end(),
                     [](const auto &a, const auto &b) { return a.place.top() < b.place.top(); });
    QList<QList<PlacedPicture>> rows;
    QList<QPair<int, int>> bands; // top and bottom of each row's first picture
    for (const PlacedPicture &p : places) {
        const int centre = p.place.top() + p.place.height() / 2;
        qsizetype row = 0;
        while (row < bands.size() && !(centre >= bands[row].first && centre <= bands[row].second))
            ++row;
        if (row == bands.size()) {
            bands.append({p.place.top(), p.place.top() + p.place.height()});
            rows.append(QList<PlacedPicture>());
        }
        rows[row].append(p);
    }
    QList<QList<int>> indices;
    for (QList<PlacedPicture> &row : rows) {
        std::stable_sort(row.begin(), row.end(), [](const auto &a, const auto &b) {
            return a.place.left() < b.place.left();
        });
        QList<int> line;
        for (const PlacedPicture &p : row)
            line << p.index;
        indices << line;
    }
    return indices;
}

Target targetAtPlace(int place, int pictures, int controls) {
    if (place > pictures && controls > 0)
        return Target::control(place - pictures - 1);
    return Target::picture(place);
}

int placeOf(Target target, int pictures) {
    if (target.isControl())
        return pictures + target.number + 1;
    return target.isPicture() ? target.number : 0;
}

Target nextInOrder(Target from, bool backwards, int pictures, int controls,
                   const std::function<bool(int)> &present) {
    const int count = pictures + controls;
    int at = from ? placeOf(from, pictures) : backwards ? 1 : count;
    for (int tries = 0; tries < count; ++tries) {
        at = (at - 1 + (backwards ? count - 1 : 1)) % count + 1;
        if (at > pictures || present(at))
            return targetAtPlace(at, pictures, controls);
    }
    return {};
}

QList<QList<Target>> scanRows(const QList<PlacedPicture> &places, int controls) {
    QList<QList<Target>> all;
    for (const QList<int> &row : rowsOf(places)) {
        QList<Target> targets;
        for (int index : row)
            targets << Target::picture(index);
        all << targets;
    }
    if (controls > 0) {
        QList<Target> strip;
        for (int n = 0; n < controls; ++n)
            strip << Target::control(n);
        all << strip;
    }
    return all;
}

} // namespace tv
