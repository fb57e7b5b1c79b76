#pragma once

#include "PrintedBoards.h"

class QPagedPaintDevice;

namespace tv {

struct PrintOptions {
    bool index = false;    // a first page listing the boards and their numbers
    bool cutLines = false; // "Cadres à découper": a dashed line around each picture
};

// The credit CC BY-SA asks for, on a page that shows symbols drawn from OpenMoji.
inline const QString kSymbolsCredit =
    QStringLiteral("Pictogrammes OpenMoji (openmoji.org), licence CC BY-SA 4.0");

// Prints one board per sheet on the device (a printer or a PDF writer), each scaled to the
// sheet without distortion; boards that cannot be read are only listed on the index. An
// empty text, or why nothing could be printed.
QString printBoards(QPagedPaintDevice &device, const std::vector<PrintedBoard> &boards,
                    const PrintOptions &options);

// The same as a PDF file, A4 landscape. The file is replaced only once the whole document
// is on disk. An empty text, or why it could not be written.
QString writeBoardsPdf(const QString &path, const std::vector<PrintedBoard> &boards,
                       const PrintOptions &options);

} // namespace tv
