#include "BoardPictures.h"

#include "PageFile.h"
#include "model/Action.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QSet>

namespace tv {

BoardPage readBoardPage(const QString &pagesDirectory, const QString &multimediaDirectory,
                        const QString &stored, TwipsPerPixel tpp) {
    const auto path = resolveStoredPath(pagesDirectory, stored);
    if (!path || !QFileInfo(*path).isFile() || !realTargetInside(*path, pagesDirectory))
        return {};
    const TextReadResult text = readTextLines(*path);
    if (!text.ok)
        return {};
    const ParsedPage parsed = parsePage(
        text.lines, [](const QString &) { return true; }, tpp);
    BoardPage page;
    for (const PageEntry &e : parsed.entries) {
        const ImageRecord &record = parsed.records[std::size_t(e.index)];
        const QString &action = record.imageAction;
        if (actionKind(action) == ActionKind::PageLink) {
            page.links << action;
        } else if (actionKind(action) == ActionKind::Phrase && !action.trimmed().isEmpty()) {
            QString file;
            if (!multimediaDirectory.isEmpty() && !record.imageFile.isEmpty()) {
                const auto found = resolveStoredPath(multimediaDirectory, record.imageFile);
                if (found && realTargetInside(*found, multimediaDirectory))
                    file = *found;
            }
            page.pictures << BoardPicture{action, file, stored};
        }
    }
    return page;
}

Boards readBoards(const QString &pagesDirectory, const QString &multimediaDirectory,
                  const QString &start, TwipsPerPixel tpp, int limit) {
    Boards boards;
    QSet<QString> seen;
    QStringList waiting{start};
    while (!waiting.isEmpty() && boards.pages.size() < limit) {
        const QString stored = waiting.takeFirst();
        if (seen.contains(stored.toCaseFolded()))
            continue;
        seen.insert(stored.toCaseFolded());
        const BoardPage page = readBoardPage(pagesDirectory, multimediaDirectory, stored, tpp);
        boards.pages << stored;
        boards.pictures += page.pictures;
        boards.links.insert(stored, page.links);
        waiting += page.links;
    }
    return boards;
}

} // namespace tv
