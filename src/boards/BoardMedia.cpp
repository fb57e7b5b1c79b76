#include "BoardMedia.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QStringList>

namespace tv {

namespace {
constexpr int kCardPixels = 300;
} // namespace

std::optional<std::pair<QString, QByteArray>> decodeDataUrl(const QString &url, qint64 maxBytes) {
    if (!url.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype comma = url.indexOf(u',');
    if (comma < 0 || (url.size() - comma) * 3 / 4 > maxBytes)
        return std::nullopt;
    const QString header = url.mid(5, comma - 5);
    const QByteArray payload = url.mid(comma + 1).toLatin1();
    QByteArray bytes;
    if (header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)) {
        const auto r =
            QByteArray::fromBase64Encoding(payload, QByteArray::AbortOnBase64DecodingErrors);
        if (!r)
            return std::nullopt;
        bytes = *r;
    } else {
        bytes = QByteArray::fromPercentEncoding(payload);
    }
    return std::pair{header.section(u';', 0, 0).toLower(), bytes};
}

// An image as the pages can show it: PNG, JPEG and BMP as they are, other kinds drawn
// into a PNG; nothing for a file that is not a picture or is far too large.
std::optional<ImportedMedia> pictureForPage(const QByteArray &bytes, const QString &stem,
                                            qint64 maxPixels) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    const QSize size = reader.size();
    if (format.isEmpty() || (size.isValid() && qint64(size.width()) * size.height() > maxPixels))
        return std::nullopt;
    if (format == "svg")
        reader.setScaledSize(size.scaled(512, 512, Qt::KeepAspectRatio));
    // Decoded once here: a picture whose header is right but whose data is not would
    // otherwise be kept, and the page would fail on it each time it is shown.
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if ((format == "png" || format == "jpeg" || format == "bmp") && size.isValid())
        return ImportedMedia{
            bytes, format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format), stem};
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    return ImportedMedia{png, QStringLiteral("png"), stem};
}

// A picture for a button without one: its text on its colour.
ImportedMedia textCard(const QString &text, qint32 bgr) {
    QImage image(kCardPixels, kCardPixels, QImage::Format_RGB32);
    const QColor fill(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    image.fill(fill);
    QPainter p(&image);
    p.setPen(QPen(Qt::darkGray, 6));
    p.drawRect(image.rect().adjusted(3, 3, -3, -3));
    p.setPen(fill.lightness() < 110 ? Qt::white : Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    const QRect box = image.rect().adjusted(18, 18, -18, -18);
    for (int size = 48; size >= 12; size -= 4) {
        font.setPixelSize(size);
        p.setFont(font);
        if (box.contains(p.boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, text)))
            break;
    }
    p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
    p.end();
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    return {png, QStringLiteral("png"), QString()};
}

QString playedSoundSuffix(const QByteArray &bytes, const QString &type, const QString &path) {
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE")
        return QStringLiteral("wav");
    if (bytes.startsWith("ID3") ||
        (bytes.size() > 1 && uchar(bytes[0]) == 0xFF && (uchar(bytes[1]) & 0xE0) == 0xE0))
        return QStringLiteral("mp3");
    // Other kinds by their name, as long as the program plays them (MIDI, films).
    static const QStringList played = {"mid", "mpg", "mpeg", "avi", "flv", "wmv", "wav", "mp3"};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (played.contains(suffix))
        return suffix;
    if (type == QLatin1String("audio/midi") || type == QLatin1String("audio/mid"))
        return QStringLiteral("mid");
    return {};
}

} // namespace tv
