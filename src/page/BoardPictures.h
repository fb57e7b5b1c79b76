#pragma once

#include "platform/Units.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tv {

// What a page file offers: its pictures that say a phrase, with their images, and the pages
// its links open (stored form).
struct BoardPicture {
    QString phrase;      // as stored on the picture
    QString pictureFile; // absolute; empty when it has none inside the multimedia directory
    QString page;        // the page file, stored form
};
struct BoardPage {
    QList<BoardPicture> pictures;
    QStringList links;
};

// Reads one page file; nothing when it cannot be read or lies outside the pages directory.
BoardPage readBoardPage(const QString &pagesDirectory, const QString &multimediaDirectory,
                        const QString &stored, TwipsPerPixel tpp);

// The pages in use: those reached from `start` by links, each read once, at most `limit`.
struct Boards {
    QList<BoardPicture> pictures;
    QHash<QString, QStringList> links; // page to the pages it opens, both stored form
    QStringList pages;                 // in the order reached
};
Boards readBoards(const QString &pagesDirectory, const QString &multimediaDirectory,
                  const QString &start, TwipsPerPixel tpp, int limit = 500);

} // namespace tv
