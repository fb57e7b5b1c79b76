#pragma once

#include "model/PageModel.h"
#include "platform/Units.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace tv {

// True when the line is a page's colour line ("couleur_page=…", any letter case).
bool isColorLine(const QString &line);

// The six fields of a picture line. The format has no escape, so a comma inside the action
// is recognised by the four numbers that always end a line this program writes: with more
// than six fields whose last four are whole numbers, everything between the first field
// and the numbers is the action. Other lines keep their fields as they are.
QStringList pictureFields(const QString &line);

enum class PictureState {
    Present, // the picture file exists: a picture control shows it
    Missing, // no such file in the multimedia directory
    Outside, // the path would leave the multimedia directory: never opened
};

struct PageEntry {
    int index = 0;
    PictureState state = PictureState::Present;
};

struct ParsedPage {
    bool ok = true;
    int failedLine = 0; // 1-based line of the file, when !ok
    QString failure;    // French, for the carer
    std::optional<qint32> pageColor;
    std::array<ImageRecord, kMaxImages + 1> records{};
    std::vector<PageEntry> entries; // in the order of the file
};

// Reads a page file's lines. pictureExists tells whether a contained picture path names an
// existing file. A record keeps every field of its line, even when its picture is missing,
// so that the next save writes the line back unchanged.
ParsedPage parsePage(const QStringList &lines,
                     const std::function<bool(const QString &imageFile)> &pictureExists,
                     TwipsPerPixel tpp);

// The page file's lines, as SavePage writes them.
QStringList formatPage(const PageModel &page, TwipsPerPixel tpp);

} // namespace tv
