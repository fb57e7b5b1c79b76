#pragma once

#include <QString>
#include <array>

namespace tv {

constexpr int kMaxImages = 50;

struct ImageRecord {
    QString imageFile; // relative to the multimedia directory; empty: no picture here
    QString imageAction;
    qint16 left = 0; // twips
    qint16 top = 0;
    qint16 width = 0;
    qint16 height = 0;

    bool operator==(const ImageRecord &) const = default;
};

struct PageModel {
    // Index 0 belongs to the hidden template picture and never holds one.
    std::array<ImageRecord, kMaxImages + 1> imageTable{};
    qint16 imageCount = 0;
    qint32 pageColor = 0;
    QString currentPage; // relative to the pages directory, stored form
    bool pageModified = false;
};

} // namespace tv
