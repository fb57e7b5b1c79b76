#pragma once

#include "platform/Units.h"

#include <QHash>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

struct PrintedPicture {
    QRect twips;
    QString imagePath; // the picture's file, found in the multimedia directory; else empty
    QString imageFile; // as the page names it
    QString action;
};

// A page as it goes on paper; a page that cannot be read is kept, to be listed as skipped.
struct PrintedBoard {
    QString stored;  // the page's name as links name it ("animaux\page_chats.dat")
    QString failure; // why it cannot be read; empty when it can
    qint32 color = 0;
    std::vector<PrintedPicture> pictures;
    bool readable() const { return failure.isEmpty(); }
};

struct BoardSource {
    QString pagesDirectory;
    QString multimediaDirectory;
    TwipsPerPixel tpp;
};

inline const QString kStartPageName = QStringLiteral("page_départ.dat");

// The pages named, in that order; with none, the start page and every page reachable from it
// through links, each once, in the order they are met (breadth first, as a person would
// turn to them).
std::vector<PrintedBoard> collectBoards(const BoardSource &source, const QStringList &named,
                                        int maxPages = 500);

// Each readable board's number in the printout (1 for the first), by its lower-case name.
QHash<QString, int> boardNumbers(const std::vector<PrintedBoard> &boards);

// What is printed under a picture: its phrase as said; for a link, the page's title and its
// number in the printout ("boire → 3"); for a media file, its name without folder or type.
QString captionOf(const QString &action, const QHash<QString, int> &numbers);

} // namespace tv
