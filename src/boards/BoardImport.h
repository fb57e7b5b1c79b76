#pragma once

#include "platform/Units.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

namespace tv {

struct ImportTarget {
    QString pagesDirectory;
    QString multimediaDirectory;
    QSize area;  // the page surface, twips
    int gap = 0; // between pictures and around them, twips
    TwipsPerPixel tpp;
};

// What to do with pages of the set whose names are taken.
enum class ExistingPages { Replace, KeepBoth, Cancel };

struct ImportReport {
    bool ok = false;
    bool cancelled = false;
    QString error;          // French, for the carer
    QStringList pages;      // written, the first board's first
    QString mediaDirectory; // below the multimedia directory
    int pictures = 0;
    int webOnlyImages = 0;     // given only by an address on the web: a card with the text
    int unreadableImages = 0;  // damaged, of an unknown kind or far too large: a card
    int textCards = 0;         // buttons without an image: a card with the text
    int leftOutButtons = 0;    // hidden, program commands or empty
    int continuationPages = 0; // added for boards of more than a page's fifty pictures
    int replacedCharacters = 0;
    int soundsLeftOut = 0; // kinds the program does not play, or missing
    int missingLinks = 0;  // links to boards not in the set

    // The one message that tells the carer what was done.
    QString message(const QString &fileName) const;
};

// Bounds that keep a hostile file from filling the disk or the memory.
struct ImportLimits {
    int maxBoards = 500;
    qint64 maxBoardBytes = 5 << 20;
    qint64 maxResourceBytes = 20 << 20;
    qint64 maxTotalBytes = qint64(1) << 30;
    qint64 maxPixels = 100'000'000;
};

// What an import tells while it runs, and how it is stopped; called on the importing thread.
struct ImportProgress {
    std::function<void(int done, int total)> boardDone; // boards made into pages so far
    // Set by the carer: the import stops and leaves nothing behind, as a failed one does.
    const std::atomic<bool> *cancel = nullptr;
};

// Imports a board (.obf) or a package of boards (.obz) as pages and their pictures and
// sounds. Nothing is written before the whole set has been read and checked; pages are
// written beside their names and put in place only once all are written, so that a failure
// leaves no page half-written and no file of the import behind. `ask` is asked once when
// pages of the set already exist.
ImportReport importBoards(const QString &file, const ImportTarget &target,
                          const std::function<ExistingPages(const QStringList &)> &ask,
                          const ImportLimits &limits = {}, const ImportProgress &progress = {});

} // namespace tv
