#pragma once

#include <QString>
#include <optional>

namespace tv {

// Whole value must be a number (user's locale, or the C locale as a fallback).
std::optional<double> parseStrictNumber(const QString &text);

// Longest number at the start of the text, "." as decimal point; 0 when there is none.
double parseLenientNumber(const QString &text);

double roundHalfEven(double value);

// Rounded halves-to-even; nullopt when the result does not fit the type.
std::optional<qint16> toInt16(double value);
std::optional<qint32> toInt32(double value);

} // namespace tv
