#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

namespace tv {

// A file an import writes among the carer's pictures and sounds.
struct ImportedMedia {
    QByteArray bytes;
    QString suffix; // without the dot
    QString stem;
};

// The content type and bytes of a data: URL; nothing when it is not one, is damaged or
// holds more than maxBytes.
std::optional<std::pair<QString, QByteArray>> decodeDataUrl(const QString &url, qint64 maxBytes);

// An image as the pages can show it: PNG, JPEG and BMP as they are, other kinds (SVG, GIF…)
// drawn into a PNG; nothing for a file that is not a picture or has more than maxPixels.
std::optional<ImportedMedia> pictureForPage(const QByteArray &bytes, const QString &stem,
                                            qint64 maxPixels);

// A picture for a button that has none: its text on its colour (0x00BBGGRR).
ImportedMedia textCard(const QString &text, qint32 bgr);

// The file name suffix a sound is played by ("wav", "mp3", "mid", a film's), from its
// first bytes, else its name or type; empty for a kind the program does not play.
QString playedSoundSuffix(const QByteArray &bytes, const QString &type, const QString &path);

} // namespace tv
