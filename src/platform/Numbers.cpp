#include "Numbers.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace tv {

std::optional<double> parseStrictNumber(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double parseLenientNumber(const QString &text) {
    int i = 0;
    const int n = int(text.size());
    auto isDigit = [&](int k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const int start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    int digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    int end = i;
    // An exponent only counts when digits follow it: "12e" is 12.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        int k = i + 1;
        if (k < n && (text[k] == u'-' || text[k] == u'+'))
            ++k;
        if (isDigit(k)) {
            while (isDigit(k))
                ++k;
            end = k;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, end - start), &ok);
    if (!ok || !std::isfinite(value))
        return 0.0;
    return value;
}

double roundHalfEven(double value) {
    return std::nearbyint(value); // default rounding mode is to nearest, ties to even
}

template <typename T> static std::optional<T> toIntegral(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return T(r);
}

std::optional<qint16> toInt16(double value) {
    return toIntegral<qint16>(value);
}
std::optional<qint32> toInt32(double value) {
    return toIntegral<qint32>(value);
}

} // namespace tv
