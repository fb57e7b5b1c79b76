#include "Cp1252.h"

namespace tv {

// 0x80..0x9F; the five bytes the code page leaves undefined map to the C1 code point of
// the same value, so that any byte read comes back unchanged when written.
static const char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F)
            out.append(QChar(kHighTable[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

static int encodeChar(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == u)
            return 0x80 + i;
    }
    return -1;
}

std::optional<QByteArray> encodeCp1252(const QString &text, QString *unencodable) {
    QByteArray out;
    out.reserve(text.size());
    QString bad;
    for (int i = 0; i < text.size(); ++i) {
        const int b = encodeChar(text[i].unicode());
        if (b >= 0) {
            out.append(char(b));
            continue;
        }
        // Keep surrogate pairs together so the report names the real character.
        int len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!bad.contains(ch))
            bad += ch;
        i += len - 1;
    }
    if (unencodable)
        *unencodable = bad;
    if (!bad.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace tv
