#pragma once

#include <QRect>
#include <optional>

namespace tv {

// Every place and size a picture can be given must fit the page model's 16-bit twips:
// places are held to that range and sizes to at least one twip, so the picture on screen
// and its record never disagree.
int clampPlace(long long twips);
int clampSize(long long twips);
QRect clampedPicture(long long left, long long top, long long width, long long height);

// A new picture beside `source`, `gap` twips away, of the same size.
QRect besideRight(const QRect &source, int gap);
QRect besideBelow(const QRect &source, int gap);

constexpr int kSizeStep = 400;
constexpr int kArrowStep = 100;
constexpr int kMinHeightWithoutWarning = 300;

QRect grown(const QRect &picture);
// Nothing when the picture is too narrow, or so low that it would vanish.
std::optional<QRect> shrunk(const QRect &picture);
// The new size when the stretch ends at `corner` below and right of the top-left corner.
std::optional<QRect> stretchedTo(const QRect &picture, QPoint corner);

} // namespace tv
