#pragma once

#include "model/PageModel.h"
#include "platform/Units.h"

#include <QString>

namespace tv {

struct ExportSource {
    QString pagesDirectory;
    QString multimediaDirectory;
    TwipsPerPixel tpp;
    PageModel current; // the page shown, as it is on screen (saved or not)
    int maxPages = 500;
};

struct ExportReport {
    bool ok = false;
    QString error; // French, for the carer
    int boards = 0;
    int pictures = 0;
    int missingFiles = 0; // pictures or media files not found (or outside their directory)
    int missingPages = 0; // links to pages that cannot be read
    QString message(const QString &fileName) const;
};

// Saves the page shown and every page reachable from it through page links as one board
// package (.obz): a board per page, a button per picture on a grid of its rows, the
// pictures and media files inside the package.
ExportReport exportBoards(const QString &obzPath, const ExportSource &source);

} // namespace tv
