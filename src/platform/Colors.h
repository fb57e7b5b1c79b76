#pragma once

#include <QColor>
#include <QPalette>

namespace tv {

// Colour values are 0x00BBGGRR; with the top bit set they name a system colour.
constexpr qint32 kSystemWindowColor = qint32(0x80000005u);

inline bool isSystemColor(qint32 value) {
    return value < 0;
}

QColor colorFromValue(qint32 value, const QPalette &palette);
qint32 valueFromColor(const QColor &color);

} // namespace tv
