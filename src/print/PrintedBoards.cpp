#include "PrintedBoards.h"

#include "model/Action.h"
#include "page/PageFile.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QSet>
#include <deque>

namespace tv {

namespace {

QString key(const QString &stored) {
    return QString(stored).replace(u'/', u'\\').toLower();
}

PrintedBoard readBoard(const BoardSource &source, const QString &stored) {
    PrintedBoard board;
    board.stored = stored;
    const auto path = resolveStoredPath(source.pagesDirectory, stored);
    if (!path || !QFileInfo(*path).isFile() || !realTargetInside(*path, source.pagesDirectory)) {
        board.failure = QStringLiteral("la page n'existe pas");
        return board;
    }
    const TextReadResult text = readTextLines(*path);
    if (!text.ok) {
        board.failure = text.error;
        return board;
    }
    const auto fileOf = [&](const QString &file) -> std::optional<QString> {
        const auto found = resolveStoredPath(source.multimediaDirectory, file);
        if (!found || !QFileInfo(*found).isFile() ||
            !realTargetInside(*found, source.multimediaDirectory))
            return std::nullopt;
        return found;
    };
    const ParsedPage parsed = parsePage(
        text.lines, [&](const QString &f) { return fileOf(f).has_value(); }, source.tpp);
    if (!parsed.ok) {
        board.failure = parsed.failure;
        return board;
    }
    board.color = parsed.pageColor.value_or(0);
    for (const PageEntry &e : parsed.entries) {
        const ImageRecord &r = parsed.records[std::size_t(e.index)];
        board.pictures.push_back({QRect(r.left, r.top, r.width, r.height),
                                  fileOf(r.imageFile).value_or(QString()), r.imageFile,
                                  r.imageAction});
    }
    return board;
}

} // namespace

std::vector<PrintedBoard> collectBoards(const BoardSource &source, const QStringList &named,
                                        int maxPages) {
    std::vector<PrintedBoard> boards;
    QSet<QString> met;
    std::deque<QString> queue;
    const auto meet = [&](const QString &stored) {
        if (met.size() < maxPages && !met.contains(key(stored))) {
            met.insert(key(stored));
            queue.push_back(stored);
        }
    };
    for (const QString &page : named.isEmpty() ? QStringList{kStartPageName} : named)
        meet(page);
    while (!queue.empty()) {
        boards.push_back(readBoard(source, queue.front()));
        queue.pop_front();
        // Only a whole set follows the links; pages named are printed as asked.
        if (named.isEmpty())
            for (const PrintedPicture &p : boards.back().pictures)
                if (actionKind(p.action) == ActionKind::PageLink)
                    meet(p.action);
    }
    return boards;
}

QHash<QString, int> boardNumbers(const std::vector<PrintedBoard> &boards) {
    QHash<QString, int> numbers;
    for (const PrintedBoard &b : boards)
        if (b.readable())
            numbers.insert(key(b.stored), int(numbers.size()) + 1);
    return numbers;
}

QString captionOf(const QString &action, const QHash<QString, int> &numbers) {
    switch (actionKind(action)) {
    case ActionKind::PageLink: {
        const int number = numbers.value(key(action));
        return number > 0 ? QStringLiteral("%1 → %2").arg(pageTitle(action)).arg(number)
                          : pageTitle(action);
    }
    case ActionKind::Media:
        return QFileInfo(QString(action).replace(u'\\', u'/')).completeBaseName();
    default:
        return spokenPhrase(action).replace(QLatin1String("\r\n"), QLatin1String(" "));
    }
}

} // namespace tv
