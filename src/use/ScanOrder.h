#pragma once

#include "use/Target.h"

#include <QList>
#include <QRect>
#include <functional>

namespace tv {

// The order in which the frame visits what can be chosen, as plain functions over values.
// Places 1 to `pictures` are the page's pictures, by index; after them, when the message
// strip is shown, its `controls` controls.

// The pictures grouped into rows by their places: a picture belongs to the row whose band
// (the vertical extent of the row's first, topmost picture) holds its vertical centre. Rows
// top to bottom, pictures in a row left to right. `places` maps picture indices to places.
struct PlacedPicture {
    int index;
    QRect place;
};
QList<QList<int>> rowsOf(QList<PlacedPicture> places);

// What stands at `place` (1 for the first). A place past the pictures, with no strip, is
// still a picture's: one created on an empty page is reached too.
Target targetAtPlace(int place, int pictures, int controls);
// The place of `target`; 0 for none.
int placeOf(Target target, int pictures);
// The keyboard's next (or, backwards, previous) target after `from` in that order, round
// and round, passing the pictures for which `present` is false; from none, the first (or
// the last). None when there is nothing at all to go to.
Target nextInOrder(Target from, bool backwards, int pictures, int controls,
                   const std::function<bool(int)> &present);
// Rows for row-column scanning: the pictures' rows by their places, then the strip's
// controls as a row of their own.
QList<QList<Target>> scanRows(const QList<PlacedPicture> &places, int controls);

} // namespace tv
