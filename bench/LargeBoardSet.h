#pragma once

// A board set as large as a school's: boards of twenty buttons with pictures of their own,
// each board linked to the next and back to the first. For the import's benchmark, and for
// the end-to-end story that quits while it comes in.

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRandomGenerator>
#include <utility>
#include <vector>

namespace tv::test {

inline constexpr int kSetButtons = 20;   // on each board
inline constexpr int kSetPictures = 250; // shared among the boards

// A drawing, or with `grain` a photograph's worth of detail that takes time to decode.
inline QByteArray setPicture(int n, bool grain = false) {
    QImage image(grain ? 900 : 200, grain ? 900 : 200, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(n * 37 % 360, 120, 250));
    if (grain) {
        QRandomGenerator random{quint32(n)};
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = random.generate() | 0xff000000u;
        }
    }
    QPainter p(&image);
    p.setBrush(QColor::fromHsv(n * 91 % 360, 200, 180));
    p.drawEllipse(20 + n % 40, 30, 120, 100 + n % 50);
    p.drawText(20, 190, QStringLiteral("symbole %1").arg(n));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The entries of the package: the manifest, the boards, 250 pictures shared among them.
inline std::vector<std::pair<QString, QByteArray>> largeBoardSet(int boards, bool grain = false) {
    std::vector<std::pair<QString, QByteArray>> entries;
    QJsonObject paths;
    for (int b = 0; b < boards; ++b) {
        QJsonArray buttons, images, row, order;
        for (int i = 0; i < kSetButtons; ++i) {
            const int pic = (b * 7 + i) % kSetPictures;
            const QString imageId = QStringLiteral("i%1").arg(pic);
            QJsonObject button{{"id", QString::number(i)},
                               {"label", QStringLiteral("mot %1, tableau %2").arg(i).arg(b)},
                               {"image_id", imageId}};
            if (i == 0 && b + 1 < boards)
                button["load_board"] = QJsonObject{{"id", QString::number(b + 1)}};
            if (i == 1 && b > 0)
                button["load_board"] = QJsonObject{{"id", "0"}};
            buttons.append(button);
            images.append(QJsonObject{{"id", imageId},
                                      {"path", QStringLiteral("images/%1.png").arg(pic)},
                                      {"content_type", "image/png"}});
            row.append(QString::number(i));
            if (row.size() == 5) {
                order.append(row);
                row = {};
            }
        }
        const QJsonObject board{
            {"format", "open-board-0.1"},
            {"id", QString::number(b)},
            {"name", QStringLiteral("Tableau %1").arg(b)},
            {"buttons", buttons},
            {"images", images},
            {"grid", QJsonObject{{"rows", 4}, {"columns", 5}, {"order", order}}}};
        const QString path = QStringLiteral("boards/%1.obf").arg(b);
        paths.insert(QString::number(b), path);
        entries.push_back({path, QJsonDocument(board).toJson()});
    }
    for (int n = 0; n < kSetPictures; ++n)
        entries.push_back({QStringLiteral("images/%1.png").arg(n), setPicture(n, grain)});
    const QJsonObject manifest{{"format", "open-board-0.1"},
                               {"root", "boards/0.obf"},
                               {"paths", QJsonObject{{"boards", paths}}}};
    entries.push_back({"manifest.json", QJsonDocument(manifest).toJson()});
    return entries;
}

} // namespace tv::test
