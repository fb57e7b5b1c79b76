#include "BoardImport.h"

#include "BoardMedia.h"

#include "ObfBoard.h"
#include "model/Action.h"
#include "page/PageFile.h"
#include "platform/TextFile.h"
#include "platform/ZipArchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <sys/stat.h>

namespace tv {

namespace {

constexpr qint32 kWhite = 0xFFFFFF;

struct Loaded {
    QString path; // in the package; empty for a lone board
    ObfBoard board;
    QStringList pages;              // the page files it becomes: its own, then its continuations
    GridPlacement grid;             // the board's own places for its buttons
    std::vector<std::size_t> shown; // the buttons shown, in reading order
    int leftOut = 0;                // hidden, empty or program commands
};

// The pictures of a board shown on a page of their own: past this, a button or a grid cell
// is too small for a person to press.
constexpr int kMinCellPixels = 40;

using Media = ImportedMedia;

class Importer {
public:
    Importer(const ImportTarget &target, const ImportLimits &limits, const ImportProgress &progress)
        : target_(target), limits_(limits), progress_(progress) {}

    ImportReport run(const QString &file,
                     const std::function<ExistingPages(const QStringList &)> &ask) {
        if (!load(file) || !checkPaths())
            return failed();
        if (!namePages(ask))
            return report_;
        chooseMediaDirectory(file);
        std::vector<std::pair<QString, QStringList>> pages;
        int done = 0;
        for (const Loaded &l : boards_) {
            const std::vector<QStringList> parts = pageLines(l);
            for (std::size_t i = 0; i < parts.size(); ++i)
                pages.emplace_back(l.pages[qsizetype(i)], parts[i]);
            if (!report_.error.isEmpty() || cancelled()) {
                rollBack();
                return failed();
            }
            if (progress_.boardDone)
                progress_.boardDone(++done, int(boards_.size()));
        }
        if (cancelled() || !writePages(pages)) {
            rollBack();
            return failed();
        }
        report_.ok = true;
        return report_;
    }

private:
    bool cancelled() {
        if (progress_.cancel && progress_.cancel->load())
            report_.cancelled = true;
        return report_.cancelled;
    }

    ImportReport failed() {
        report_.ok = false;
        report_.pages.clear();
        return report_;
    }
    bool fail(const QString &why) {
        if (report_.error.isEmpty())
            report_.error = why;
        return false;
    }

    std::optional<QByteArray> readInPackage(const QString &path, qint64 max, QString *why) {
        if (!zipped_) {
            *why = QStringLiteral("un tableau seul ne contient pas de fichiers");
            return std::nullopt;
        }
        const auto safe = safeEntryPath(path);
        if (!safe) {
            *why = QStringLiteral("chemin hors du paquet");
            return std::nullopt;
        }
        return zip_.read(*safe, max, why);
    }

    bool load(const QString &file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Le fichier ne peut pas être lu : ") + f.errorString());
        const QByteArray magic = f.peek(4);
        zipped_ = magic.startsWith("PK\x03\x04") || magic.startsWith("PK\x05\x06");
        QString why;
        if (!zipped_) {
            if (f.size() > limits_.maxBoardBytes)
                return fail(QStringLiteral("Le tableau est trop gros (%1 Mo) pour être un tableau "
                                           "OBF.")
                                .arg(f.size() >> 20));
            const auto board = parseObfBoard(f.readAll(), &why);
            if (!board)
                return fail(QStringLiteral("Le fichier n'est pas un tableau lisible : ") + why +
                            u'.');
            boards_.push_back({QString(), *board, {}, {}, {}, 0});
            return true;
        }
        f.close();
        if (!zip_.open(file, &why))
            return fail(QStringLiteral("Le paquet n'est pas lisible : ") + why + u'.');
        const auto manifestBytes = zip_.read(QStringLiteral("manifest.json"), 1 << 20, &why);
        if (!manifestBytes)
            return fail(QStringLiteral("Le paquet n'a pas de manifest.json lisible : ") + why +
                        u'.');
        QJsonParseError parse;
        const QJsonObject manifest = QJsonDocument::fromJson(*manifestBytes, &parse).object();
        if (parse.error != QJsonParseError::NoError)
            return fail(QStringLiteral("Le manifest.json du paquet n'est pas du JSON valide (") +
                        parse.errorString() + QStringLiteral(")."));
        const QJsonObject listed = manifest.value(QLatin1String("paths"))
                                       .toObject()
                                       .value(QLatin1String("boards"))
                                       .toObject();
        QStringList paths;
        const QString root = manifest.value(QLatin1String("root")).toString();
        if (!root.isEmpty())
            paths << root;
        for (auto it = listed.begin(); it != listed.end(); ++it)
            if (!paths.contains(it.value().toString()))
                paths << it.value().toString();
        if (paths.isEmpty())
            return fail(QStringLiteral("Le manifest.json du paquet ne nomme aucun tableau."));
        if (paths.size() > limits_.maxBoards)
            return fail(
                QStringLiteral("Le paquet contient %1 tableaux : un import en prend au plus "
                               "%2.")
                    .arg(paths.size())
                    .arg(limits_.maxBoards));
        for (const QString &p : paths) {
            if (!safeEntryPath(p))
                return fail(QStringLiteral("Le paquet désigne un fichier hors de lui-même (« ") +
                            p.left(80) + QStringLiteral(" ») : rien n'a été importé."));
            const auto bytes = zip_.read(*safeEntryPath(p), limits_.maxBoardBytes, &why);
            if (!bytes)
                return fail(QStringLiteral("Le tableau ") + why + u'.');
            const auto board = parseObfBoard(*bytes, &why);
            if (!board)
                return fail(QStringLiteral("Le tableau « ") + p.left(80) +
                            QStringLiteral(" » n'est pas lisible : ") + why + u'.');
            boards_.push_back({*safeEntryPath(p), *board, {}, {}, {}, 0});
        }
        orderFromRoot();
        return true;
    }

    // The root first, then the boards in the order a person reaches them.
    void orderFromRoot() {
        std::vector<Loaded> ordered;
        std::vector<bool> done(boards_.size(), false);
        std::deque<std::size_t> next{0};
        done[0] = true;
        while (!next.empty()) {
            const std::size_t i = next.front();
            next.pop_front();
            ordered.push_back(boards_[i]);
            for (const ObfButton &b : boards_[i].board.buttons) {
                const int target = boardIndex(b);
                if (target >= 0 && !done[std::size_t(target)]) {
                    done[std::size_t(target)] = true;
                    next.push_back(std::size_t(target));
                }
            }
        }
        for (std::size_t i = 0; i < boards_.size(); ++i)
            if (!done[i])
                ordered.push_back(boards_[i]);
        boards_ = std::move(ordered);
    }

    int boardIndex(const ObfButton &b) const {
        const auto path = b.loadBoardPath.isEmpty() ? std::nullopt : safeEntryPath(b.loadBoardPath);
        for (std::size_t i = 0; i < boards_.size(); ++i) {
            if (path && boards_[i].path == *path)
                return int(i);
            if (!b.loadBoardId.isEmpty() && boards_[i].board.id == b.loadBoardId)
                return int(i);
        }
        return -1;
    }

    // A hostile package is refused whole, before anything is written.
    bool checkPaths() {
        for (const Loaded &l : boards_)
            for (const auto *list : {&l.board.images, &l.board.sounds})
                for (const ObfResource &r : *list)
                    if (!r.path.isEmpty() && !safeEntryPath(r.path))
                        return fail(QStringLiteral("Le paquet désigne un fichier hors de "
                                                   "lui-même (« ") +
                                    r.path.left(80) +
                                    QStringLiteral(" ») : rien n'a été importé."));
        return true;
    }

    // A page is found ignoring letter case: "Page_Maison.dat" is the page "page_maison.dat".
    static bool exists(const QDir &dir, const QString &name) {
        return dir.exists(name) ||
               dir.entryList(QDir::Files | QDir::System).contains(name, Qt::CaseInsensitive);
    }

    bool namePages(const std::function<ExistingPages(const QStringList &)> &ask) {
        const QDir pages(target_.pagesDirectory);
        QSet<QString> used;
        QStringList taken;
        const auto unused = [&used](const QString &wanted) {
            QString name = wanted;
            for (int n = 2; used.contains(name.toLower()); ++n)
                name = QStringLiteral("%1_%2.dat").arg(wanted.chopped(4)).arg(n);
            used.insert(name.toLower());
            return name;
        };
        for (Loaded &l : boards_) {
            arrange(l);
            const QString first =
                unused(pageNameForBoard(l.board.name.isEmpty() ? l.board.id : l.board.name));
            l.pages = {first};
            const int parts = int(continuationParts(int(l.shown.size()), kMaxImages).size());
            for (int k = 2; k <= parts; ++k)
                l.pages << unused(QStringLiteral("%1_suite_%2.dat").arg(first.chopped(4)).arg(k));
            report_.continuationPages += parts - 1;
            for (const QString &name : std::as_const(l.pages))
                if (exists(pages, name))
                    taken << name;
        }
        if (taken.isEmpty())
            return true;
        const ExistingPages answer = ask(taken);
        if (answer == ExistingPages::Cancel) {
            report_.cancelled = true;
            return false;
        }
        if (answer == ExistingPages::KeepBoth) {
            for (Loaded &l : boards_) {
                for (QString &page : l.pages) {
                    if (!taken.contains(page))
                        continue;
                    const QString stem = page.chopped(4);
                    QString name;
                    for (int n = 2;; ++n) {
                        name = QStringLiteral("%1_%2.dat").arg(stem).arg(n);
                        if (!used.contains(name.toLower()) && !exists(pages, name))
                            break;
                    }
                    used.insert(name.toLower());
                    page = name;
                }
            }
        }
        return true;
    }

    void chooseMediaDirectory(const QString &file) {
        const ObfBoard &root = boards_.front().board;
        const QString stem =
            plainFileStem(root.name.isEmpty() ? QFileInfo(file).completeBaseName() : root.name,
                          QStringLiteral("tableaux"));
        QString name = stem;
        for (int n = 2; QFileInfo(target_.multimediaDirectory + u'/' + name).exists() ||
                        QFileInfo(target_.multimediaDirectory + u'/' + name).isSymLink();
             ++n)
            name = QStringLiteral("%1_%2").arg(stem).arg(n);
        report_.mediaDirectory = name;
    }

    // Writes a file of the import into its own directory; the name the page refers to.
    std::optional<QString> store(const Media &media) {
        const QString dir = target_.multimediaDirectory + u'/' + report_.mediaDirectory;
        if (!mediaDirectoryMade_) {
            if (::mkdir(QFile::encodeName(dir).constData(), 0755) != 0) {
                fail(QStringLiteral("Le répertoire ''multimedia\\") + report_.mediaDirectory +
                     QStringLiteral("'' ne peut pas être créé : ") + reasonOf(errno) + u'.');
                return std::nullopt;
            }
            mediaDirectoryMade_ = true;
        }
        written_ += media.bytes.size();
        if (written_ > limits_.maxTotalBytes) {
            fail(QStringLiteral("Le paquet est trop gros pour être importé (plus de %1 Mo).")
                     .arg(limits_.maxTotalBytes >> 20));
            return std::nullopt;
        }
        QString name = media.stem + u'.' + media.suffix;
        for (int n = 2; usedMedia_.contains(name); ++n)
            name = QStringLiteral("%1_%2.%3").arg(media.stem).arg(n).arg(media.suffix);
        usedMedia_.insert(name);
        const int error = writeNewFile(dir + u'/' + name, media.bytes);
        if (error != 0) {
            fail(QStringLiteral("Le fichier ''") + name +
                 QStringLiteral("'' n'a pas pu être écrit : ") + reasonOf(error) + u'.');
            return std::nullopt;
        }
        mediaFiles_ << dir + u'/' + name;
        return report_.mediaDirectory + u'\\' + name;
    }

    // The bytes of an image or a sound from the package or a data: URL.
    std::optional<QByteArray> bytesOf(const ObfResource &r, QString *contentType, bool *webOnly) {
        *contentType = r.contentType.toLower();
        QString why;
        if (!r.data.isEmpty()) {
            if (const auto d = decodeDataUrl(r.data, limits_.maxResourceBytes)) {
                if (!d->first.isEmpty())
                    *contentType = d->first;
                return d->second;
            }
        }
        if (!r.path.isEmpty() && zipped_)
            return readInPackage(r.path, limits_.maxResourceBytes, &why);
        if (r.url.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            if (const auto d = decodeDataUrl(r.url, limits_.maxResourceBytes))
                return d->second;
        }
        *webOnly = !r.url.isEmpty();
        return std::nullopt;
    }

    static const ObfResource *find(const std::vector<ObfResource> &list, const QString &id) {
        if (id.isEmpty())
            return nullptr;
        for (const ObfResource &r : list)
            if (r.id == id)
                return &r;
        return nullptr;
    }

    static QString stemOf(const ObfResource &r, const QString &fallback) {
        const QString base =
            QFileInfo(r.path.isEmpty() ? r.url.section(u'?', 0, 0) : r.path).completeBaseName();
        return plainFileStem(base.isEmpty() || r.path.isEmpty() ? fallback : base,
                             QStringLiteral("image"));
    }

    QString imageFor(const Loaded &l, const ObfButton &b, const QString &text) {
        if (const ObfResource *r = find(l.board.images, b.imageId)) {
            const QString key = l.path + u'\n' + r->id;
            if (const auto known = storedImages_.constFind(key); known != storedImages_.constEnd())
                return *known;
            QString type;
            bool webOnly = false;
            const auto bytes = bytesOf(*r, &type, &webOnly);
            if (bytes) {
                // A set's boards share their symbols: each is written once.
                const QByteArray sum = QCryptographicHash::hash(*bytes, QCryptographicHash::Sha1);
                if (const auto same = storedBytes_.constFind(sum);
                    same != storedBytes_.constEnd()) {
                    storedImages_.insert(key, *same);
                    return *same;
                }
                if (const auto media =
                        pictureForPage(*bytes, stemOf(*r, text), limits_.maxPixels)) {
                    const auto name = store(*media);
                    if (name) {
                        storedImages_.insert(key, *name);
                        storedBytes_.insert(sum, *name);
                    }
                    return name.value_or(QString());
                }
                ++report_.unreadableImages;
            } else if (webOnly) {
                ++report_.webOnlyImages;
            } else {
                ++report_.unreadableImages;
            }
        } else {
            ++report_.textCards;
        }
        Media m = textCard(text, b.background.value_or(kWhite));
        m.stem = QStringLiteral("texte_") + plainFileStem(text, QStringLiteral("bouton"));
        return store(m).value_or(QString());
    }

    QString actionFor(const Loaded &l, const ObfButton &b, const QString &text) {
        if (!b.loadBoardId.isEmpty() || !b.loadBoardPath.isEmpty()) {
            const int target = boardIndex(b);
            if (target >= 0)
                return boards_[std::size_t(target)].pages.front();
            ++report_.missingLinks;
        } else if (const ObfResource *r = find(l.board.sounds, b.soundId)) {
            QString type;
            bool webOnly = false;
            const auto bytes = bytesOf(*r, &type, &webOnly);
            const QString suffix = bytes ? playedSoundSuffix(*bytes, type, r->path) : QString();
            if (!suffix.isEmpty())
                return store({*bytes, suffix, stemOf(*r, text)}).value_or(QString());
            ++report_.soundsLeftOut;
        }
        if (!b.tablavoxAction.isEmpty() && keywordOf(b.tablavoxAction) != Keyword::None)
            return b.tablavoxAction;
        return phraseForPage(b.vocalization.isEmpty() ? b.label : b.vocalization,
                             &report_.replacedCharacters);
    }

    // The board's places, and the buttons shown in reading order (row by row on its grid).
    static void arrange(Loaded &l) {
        l.grid = placeButtons(l.board);
        std::vector<std::size_t> &reading = l.shown;
        reading.clear();
        l.leftOut = 0;
        for (std::size_t i = 0; i < l.board.buttons.size(); ++i) {
            const ObfButton &b = l.board.buttons[i];
            const bool empty = b.label.trimmed().isEmpty() && b.vocalization.trimmed().isEmpty() &&
                               b.imageId.isEmpty() && b.loadBoardId.isEmpty() &&
                               b.loadBoardPath.isEmpty() && b.soundId.isEmpty();
            if (b.hidden || b.special || empty)
                ++l.leftOut;
            else
                reading.push_back(i);
        }
        std::stable_sort(reading.begin(), reading.end(), [&l](std::size_t a, std::size_t b) {
            const QPoint ca = l.grid.cells[a], cb = l.grid.cells[b];
            return std::pair(ca.y(), ca.x()) < std::pair(cb.y(), cb.x());
        });
    }

    // A card with a word that leads to another page of the same board.
    QString wayTo(const QString &word) {
        auto known = wayCards_.constFind(word);
        if (known != wayCards_.constEnd())
            return *known;
        Media m = textCard(word, kWhite);
        m.stem = QStringLiteral("texte_") + word;
        const QString name = store(m).value_or(QString());
        wayCards_.insert(word, name);
        return name;
    }

    // The board as pages: on its own grid when it fits a page and its cells can be pressed,
    // otherwise in even cells, spread over pages linked by "suite" and "retour".
    std::vector<QStringList> pageLines(const Loaded &l) {
        const std::vector<std::size_t> &reading = l.shown;
        report_.leftOutButtons += l.leftOut;
        const auto parts = continuationParts(int(reading.size()), kMaxImages);
        const GridPlacement &boardGrid = l.grid;
        const QRect boardCell =
            gridCell(0, 0, boardGrid.rows, boardGrid.columns, target_.area, target_.gap);
        const bool ownGrid = parts.size() == 1 &&
                             boardCell.width() >= kMinCellPixels * target_.tpp.x &&
                             boardCell.height() >= kMinCellPixels * target_.tpp.y;
        std::vector<QStringList> out;
        for (std::size_t part = 0; part < parts.size(); ++part) {
            const bool back = part > 0, on = part + 1 < parts.size();
            const int count = parts[part].second - parts[part].first + int(back) + int(on);
            const GridPlacement grid = ownGrid ? boardGrid : evenGrid(count, target_.area);
            PageModel page;
            page.pageColor = l.board.background.value_or(kWhite);
            int index = 0;
            const auto place = [&](const QString &image, const QString &action, QPoint at) {
                const QRect cell =
                    gridCell(at.y(), at.x(), grid.rows, grid.columns, target_.area, target_.gap);
                ImageRecord &r = page.imageTable[std::size_t(++index)];
                r = {image,
                     action,
                     qint16(cell.left()),
                     qint16(cell.top()),
                     qint16(cell.width()),
                     qint16(cell.height())};
            };
            if (back)
                place(wayTo(QStringLiteral("retour")), l.pages[qsizetype(part - 1)], grid.cells[0]);
            for (int n = parts[part].first; n < parts[part].second; ++n) {
                const std::size_t i = reading[std::size_t(n)];
                const ObfButton &b = l.board.buttons[i];
                int ignored = 0;
                const QString text =
                    phraseForPage(b.label.isEmpty() ? b.vocalization : b.label, &ignored)
                        .replace(u'\\', u' ');
                if (cancelled())
                    return {};
                const QString image = imageFor(l, b, text);
                const QString action = actionFor(l, b, text);
                if (!report_.error.isEmpty())
                    return {};
                place(image, action, ownGrid ? boardGrid.cells[i] : grid.cells[std::size_t(index)]);
                ++report_.pictures;
            }
            if (on)
                place(wayTo(QStringLiteral("suite")), l.pages[qsizetype(part) + 1],
                      grid.cells[std::size_t(index)]);
            if (!report_.error.isEmpty())
                return {};
            page.imageCount = qint16(index);
            out.push_back(formatPage(page, target_.tpp));
        }
        return out;
    }

    bool writePages(const std::vector<std::pair<QString, QStringList>> &pages) {
        QStringList temporaries;
        for (const auto &[name, lines] : pages) {
            // Named as a save in progress: one left by a crash is cleared at the next start.
            const QString temporary =
                target_.pagesDirectory + u'/' + name + QLatin1String(".import");
            QFile::remove(temporary);
            const TextWriteResult r = writeTextLines(temporary, lines, target_.pagesDirectory);
            if (!r.ok) {
                for (const QString &t : temporaries)
                    QFile::remove(t);
                return fail(QStringLiteral("La page ''") + name +
                            QStringLiteral("'' n'a pas pu être écrite : ") + r.error +
                            QStringLiteral(".\r\nRien n'a été importé."));
            }
            temporaries << temporary;
        }
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const QString final = target_.pagesDirectory + u'/' + pages[i].first;
            if (std::rename(QFile::encodeName(temporaries[qsizetype(i)]).constData(),
                            QFile::encodeName(final).constData()) != 0) {
                const int error = errno;
                for (qsizetype t = qsizetype(i); t < temporaries.size(); ++t)
                    QFile::remove(temporaries[t]);
                return fail(QStringLiteral("La page ''") + pages[i].first +
                            QStringLiteral("'' n'a pas pu être mise en place : ") +
                            reasonOf(error) + u'.');
            }
            report_.pages << pages[i].first;
        }
        return true;
    }

    void rollBack() {
        for (const QString &f : std::as_const(mediaFiles_))
            QFile::remove(f);
        if (mediaDirectoryMade_)
            QDir(target_.multimediaDirectory).rmdir(report_.mediaDirectory);
    }

    const ImportTarget &target_;
    const ImportLimits &limits_;
    const ImportProgress &progress_;
    ImportReport report_;
    bool zipped_ = false;
    ZipReader zip_;
    std::vector<Loaded> boards_;
    bool mediaDirectoryMade_ = false;
    QSet<QString> usedMedia_;
    QStringList mediaFiles_;
    QHash<QString, QString> storedImages_;
    QHash<QByteArray, QString> storedBytes_;
    QHash<QString, QString> wayCards_;
    qint64 written_ = 0;
};

} // namespace

ImportReport importBoards(const QString &file, const ImportTarget &target,
                          const std::function<ExistingPages(const QStringList &)> &ask,
                          const ImportLimits &limits, const ImportProgress &progress) {
    Importer importer(target, limits, progress);
    return importer.run(file, ask);
}

} // namespace tv
