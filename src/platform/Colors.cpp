#include "Colors.h"

namespace tv {

QColor colorFromValue(qint32 value, const QPalette &palette) {
    if (isSystemColor(value)) {
        switch (quint32(value) & 0xFFu) {
        case 0x0F: // button face
            return palette.color(QPalette::Button);
        case 0x08: // window text
            return palette.color(QPalette::WindowText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    const auto v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 valueFromColor(const QColor &color) {
    return qint32(quint32(color.red()) | (quint32(color.green()) << 8) |
                  (quint32(color.blue()) << 16));
}

} // namespace tv
