#include "BoardExport.h"

#include "ObfBoard.h"
#include "model/Action.h"
#include "page/PageFile.h"
#include "platform/MediaFormat.h"
#include "platform/StoredPath.h"
#include "platform/TextFile.h"
#include "platform/ZipArchive.h"
#include "use/ScanOrder.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <deque>

namespace tv {

namespace {

constexpr qint64 kMaxPackageBytes = qint64(1) << 30;

QString contentTypeOf(const QString &suffix) {
    static const QHash<QString, QString> types = {
        {"png", "image/png"},   {"jpg", "image/jpeg"},      {"jpeg", "image/jpeg"},
        {"bmp", "image/bmp"},   {"gif", "image/gif"},       {"wav", "audio/wav"},
        {"mp3", "audio/mpeg"},  {"mid", "audio/midi"},      {"mpg", "video/mpeg"},
        {"mpeg", "video/mpeg"}, {"avi", "video/x-msvideo"}, {"wmv", "video/x-ms-wmv"},
        {"flv", "video/x-flv"}};
    return types.value(suffix.toLower(), QStringLiteral("application/octet-stream"));
}

class Exporter {
public:
    explicit Exporter(const ExportSource &source) : source_(source) {}

    ExportReport run(const QString &obzPath) {
        idOfPage(source_.current.currentPage, &source_.current);
        while (!queue_.empty() && report_.error.isEmpty()) {
            const auto [stored, page] = std::move(queue_.front());
            queue_.pop_front();
            addBoard(stored, page);
        }
        if (!report_.error.isEmpty())
            return report_;
        QJsonObject boards;
        for (auto it = boardPaths_.begin(); it != boardPaths_.end(); ++it)
            boards.insert(it.key(), it.value());
        QJsonObject images, sounds;
        for (const auto &[id, path] : imagePaths_)
            images.insert(id, path);
        for (const auto &[id, path] : soundPaths_)
            sounds.insert(id, path);
        const QJsonObject manifest{
            {"format", kObfFormat},
            {"root", boardPaths_.value(pageIds_.value(source_.current.currentPage.toLower()))},
            {"paths", QJsonObject{{"boards", boards}, {"images", images}, {"sounds", sounds}}}};
        entries_.insert(entries_.begin(),
                        {QStringLiteral("manifest.json"), QJsonDocument(manifest).toJson()});
        QString why;
        if (!writeZip(obzPath, entries_, &why)) {
            report_.error = QStringLiteral("Le paquet n'a pas pu être enregistré : ") + why + u'.';
            return report_;
        }
        report_.ok = true;
        return report_;
    }

private:
    // A board id for the page, the page read and queued the first time it is named; empty
    // for a page that cannot be read (its links are left out).
    QString idOfPage(const QString &stored, const PageModel *shown = nullptr) {
        const QString key = stored.toLower();
        if (const auto it = pageIds_.constFind(key); it != pageIds_.constEnd())
            return *it;
        if (pageIds_.size() >= source_.maxPages || unreadable_.contains(key))
            return {};
        std::optional<PageModel> page = shown ? std::optional(*shown) : read(stored);
        if (!page) {
            unreadable_.insert(key);
            ++report_.missingPages;
            return {};
        }
        const QString stem = plainFileStem(pageTitle(stored), QStringLiteral("page"));
        QString id = stem;
        for (int n = 2; usedIds_.contains(id); ++n)
            id = QStringLiteral("%1_%2").arg(stem).arg(n);
        usedIds_.insert(id);
        pageIds_.insert(key, id);
        queue_.push_back({stored, *page});
        return id;
    }

    std::optional<PageModel> read(const QString &stored) {
        const auto path = resolveStoredPath(source_.pagesDirectory, stored);
        if (!path || !realTargetInside(*path, source_.pagesDirectory))
            return std::nullopt;
        const TextReadResult text = readTextLines(*path);
        if (!text.ok)
            return std::nullopt;
        const ParsedPage parsed = parsePage(
            text.lines, [&](const QString &f) { return fileOf(f).has_value(); }, source_.tpp);
        if (!parsed.ok)
            return std::nullopt;
        PageModel page;
        page.currentPage = stored;
        page.pageColor = parsed.pageColor.value_or(0);
        page.imageTable = parsed.records;
        return page;
    }

    // The file a stored name of the multimedia directory leads to, when it stays inside.
    std::optional<QString> fileOf(const QString &stored) const {
        const auto path = resolveStoredPath(source_.multimediaDirectory, stored);
        if (!path || !QFileInfo(*path).isFile() ||
            !realTargetInside(*path, source_.multimediaDirectory))
            return std::nullopt;
        return path;
    }

    // The package path of a file of the multimedia directory, packed once.
    std::optional<QString> pack(const QString &stored, const QString &folder,
                                std::vector<std::pair<QString, QString>> &paths) {
        const auto path = fileOf(stored);
        if (!path) {
            ++report_.missingFiles;
            return std::nullopt;
        }
        if (const auto it = packed_.constFind(*path); it != packed_.constEnd())
            return *it;
        QFile f(*path);
        if (!f.open(QIODevice::ReadOnly) || (bytes_ += f.size()) > kMaxPackageBytes) {
            if (bytes_ > kMaxPackageBytes)
                report_.error = QStringLiteral("Les pages et leurs fichiers dépassent %1 Mo : le "
                                               "paquet n'a pas été fait.")
                                    .arg(kMaxPackageBytes >> 20);
            ++report_.missingFiles;
            return std::nullopt;
        }
        const QFileInfo info(*path);
        const QString stem = plainFileStem(info.completeBaseName(), folder);
        const QString suffix = info.suffix().toLower();
        QString name = stem + u'.' + suffix;
        for (int n = 2; usedNames_.contains(folder + name); ++n)
            name = QStringLiteral("%1_%2.%3").arg(stem).arg(n).arg(suffix);
        usedNames_.insert(folder + name);
        const QString inPackage = folder + u'/' + name;
        entries_.push_back({inPackage, f.readAll()});
        const QString id = folder.left(1) + QString::number(paths.size() + 1);
        paths.push_back({id, inPackage});
        // What a reader needs to know before it opens the file: measured once, here.
        if (&paths == &imagePaths_) {
            QImageReader reader(*path);
            const QSize size = reader.size();
            imageSizes_.insert(id, size.isValid() ? size : reader.read().size());
        } else {
            durations_.insert(id, int(std::ceil(mediaDurationSeconds(*path).value_or(0))));
        }
        packed_.insert(*path, id);
        return id;
    }

    static bool listed(const QJsonArray &list, const QString &id) {
        return std::any_of(list.begin(), list.end(), [&id](const QJsonValue &v) {
            return v.toObject().value(QLatin1String("id")).toString() == id;
        });
    }

    QString resourcePath(const std::vector<std::pair<QString, QString>> &paths, const QString &id) {
        for (const auto &[i, p] : paths)
            if (i == id)
                return p;
        return {};
    }

    void addBoard(const QString &stored, const PageModel &page) {
        const QString id = pageIds_.value(stored.toLower());
        QList<PlacedPicture> places;
        for (int i = 1; i <= kMaxImages; ++i) {
            const ImageRecord &r = page.imageTable[std::size_t(i)];
            if (!r.imageFile.isEmpty())
                places.push_back({i, QRect(r.left, r.top, r.width, r.height)});
        }
        const QList<QList<int>> rows = rowsOf(places);
        int columns = 1;
        for (const QList<int> &row : rows)
            columns = std::max(columns, int(row.size()));
        QJsonArray buttons, order, images, sounds;
        for (const QList<int> &row : rows) {
            QJsonArray cells;
            for (int i : row) {
                buttons.append(button(page.imageTable[std::size_t(i)], i, images, sounds));
                cells.append(QString::number(i));
            }
            while (cells.size() < columns)
                cells.append(QJsonValue::Null);
            order.append(cells);
        }
        if (rows.isEmpty()) {
            QJsonArray empty{QJsonValue::Null};
            order.append(empty);
        }
        const QJsonObject board{{"format", kObfFormat},
                                {"id", id},
                                {"locale", "fr"},
                                {"name", pageTitle(stored)},
                                {"background_color", obfColor(page.pageColor)},
                                {"buttons", buttons},
                                {"grid", QJsonObject{{"rows", std::max(1, int(rows.size()))},
                                                     {"columns", columns},
                                                     {"order", order}}},
                                {"images", images},
                                {"sounds", sounds}};
        const QString path = QStringLiteral("boards/") + id + QLatin1String(".obf");
        boardPaths_.insert(id, path);
        entries_.push_back({path, QJsonDocument(board).toJson()});
        ++report_.boards;
    }

    QJsonObject button(const ImageRecord &r, int index, QJsonArray &images, QJsonArray &sounds) {
        QJsonObject b{{"id", QString::number(index)}};
        ++report_.pictures;
        if (const auto image = pack(r.imageFile, QStringLiteral("images"), imagePaths_)) {
            b.insert("image_id", *image);
            // Each picture once in a board's list, however many buttons show it, with the
            // size it decodes to.
            if (!listed(images, *image)) {
                const QString path = resourcePath(imagePaths_, *image);
                const QSize size = imageSizes_.value(*image);
                images.append(QJsonObject{{"id", *image},
                                          {"path", path},
                                          {"content_type", contentTypeOf(QFileInfo(path).suffix())},
                                          {"width", size.width()},
                                          {"height", size.height()}});
            }
        }
        const QString &action = r.imageAction;
        switch (actionKind(action)) {
        case ActionKind::PageLink: {
            b.insert("label", pageTitle(action));
            const QString target = idOfPage(action);
            if (!target.isEmpty())
                b.insert("load_board", QJsonObject{{"id", target},
                                                   {"path", QStringLiteral("boards/") + target +
                                                                QLatin1String(".obf")},
                                                   {"name", pageTitle(action)}});
            break;
        }
        case ActionKind::Media: {
            b.insert("label", QFileInfo(QString(action).replace(u'\\', u'/')).completeBaseName());
            if (const auto sound = pack(action, QStringLiteral("sounds"), soundPaths_)) {
                b.insert("sound_id", *sound);
                if (!listed(sounds, *sound)) {
                    const QString path = resourcePath(soundPaths_, *sound);
                    sounds.append(
                        QJsonObject{{"id", *sound},
                                    {"path", path},
                                    {"content_type", contentTypeOf(QFileInfo(path).suffix())},
                                    {"duration", durations_.value(*sound)}});
                }
            }
            break;
        }
        case ActionKind::Keyword:
            b.insert("label", action.trimmed());
            b.insert("ext_tablavox_action", action);
            break;
        case ActionKind::Phrase:
        case ActionKind::None:
            b.insert("label", QString(action).replace(u'\\', u' '));
            b.insert("vocalization", QString(action).replace(u'\\', u'\n'));
            break;
        }
        return b;
    }

    const ExportSource &source_;
    ExportReport report_;
    std::deque<std::pair<QString, PageModel>> queue_;
    QSet<QString> unreadable_;
    QHash<QString, QString> pageIds_; // stored page, lower case → board id
    QSet<QString> usedIds_;
    QMap<QString, QString> boardPaths_;
    std::vector<std::pair<QString, QString>> imagePaths_, soundPaths_;
    QHash<QString, QString> packed_; // file → resource id
    QSet<QString> usedNames_;
    std::vector<std::pair<QString, QByteArray>> entries_;
    qint64 bytes_ = 0;
    QHash<QString, QSize> imageSizes_; // resource id → pixels
    QHash<QString, int> durations_;    // resource id → seconds
};

} // namespace

ExportReport exportBoards(const QString &obzPath, const ExportSource &source) {
    Exporter exporter(source);
    return exporter.run(obzPath);
}

} // namespace tv
