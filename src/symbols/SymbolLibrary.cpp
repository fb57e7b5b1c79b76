#include "SymbolLibrary.h"

#include "platform/ProgramPaths.h"
#include "platform/TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <array>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tv {

namespace {

// The annotations' group of skin tones, hair styles and other parts of a drawing.
constexpr int kComponentGroup = 2;

// How a query word meets a symbol, best first; kNone when it does not.
enum Match { kLabelWhole, kLabelStart, kTagWhole, kTagStart, kNone };

Match bestMatch(const QString &word, const Symbol &symbol) {
    Match best = kNone;
    const auto look = [&](const QStringList &words, Match whole, Match start) {
        for (const QString &w : words) {
            if (w == word)
                best = std::min(best, whole);
            else if (w.startsWith(word))
                best = std::min(best, start);
        }
    };
    look(symbol.labelWords, kLabelWhole, kLabelStart);
    if (best > kLabelStart)
        look(symbol.tagWords, kTagWhole, kTagStart);
    return best;
}

} // namespace

QString foldForSearch(const QString &text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        switch (c.unicode()) {
        case u'œ':
        case u'Œ':
            out += QLatin1String("oe");
            break;
        case u'æ':
        case u'Æ':
            out += QLatin1String("ae");
            break;
        case u'ß':
            out += QLatin1String("ss");
            break;
        case u'’':
        case u'‘':
            out += u'\'';
            break;
        default:
            out += c.toLower();
        }
    }
    return out;
}

QStringList searchWords(const QString &text) {
    const QString folded = foldForSearch(text);
    QStringList words;
    QString word;
    for (const QChar c : folded) {
        if (c.isLetterOrNumber()) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

SymbolLibrary SymbolLibrary::fromAnnotations(const QByteArray &json, const QString &svgDirectory) {
    SymbolLibrary library;
    library.svgDirectory_ = svgDirectory;
    const QJsonArray entries = QJsonDocument::fromJson(json).array();
    library.symbols_.reserve(std::size_t(entries.size()));
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        const QString label = entry.value(QLatin1String("label")).toString().trimmed();
        const QString hexcode = entry.value(QLatin1String("hexcode")).toString();
        const QJsonValue group = entry.value(QLatin1String("group"));
        if (label.isEmpty() || hexcode.isEmpty() || !group.isDouble() ||
            group.toInt() == kComponentGroup)
            continue;
        if (!QFileInfo::exists(svgDirectory + u'/' + hexcode + QLatin1String(".svg")))
            continue;
        Symbol symbol{label, hexcode, {}, searchWords(label), {}};
        for (const QJsonValue &tag : entry.value(QLatin1String("tags")).toArray()) {
            symbol.tags << tag.toString();
            symbol.tagWords << searchWords(tag.toString());
        }
        library.symbols_.push_back(std::move(symbol));
    }
    return library;
}

SymbolLibrary SymbolLibrary::load(const QString &directory, QString *error) {
    QFile file(directory + QLatin1String("/fr.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    SymbolLibrary library = fromAnnotations(file.readAll(), directory + QLatin1String("/svg"));
    if (library.isEmpty() && error)
        *error = QStringLiteral("aucun symbole lisible");
    return library;
}

QString SymbolLibrary::defaultDirectory() {
    const QString beside = ProgramPaths::sharedDirectory() + QLatin1String("/symbols");
    if (QFileInfo::exists(beside + QLatin1String("/fr.json")))
        return beside;
#ifdef TABLAVOX_SYMBOLS_DIR
    return QStringLiteral(TABLAVOX_SYMBOLS_DIR);
#else
    return beside;
#endif
}

QString SymbolLibrary::drawingPath(int index) const {
    return svgDirectory_ + u'/' + at(index).hexcode + QLatin1String(".svg");
}

std::vector<int> SymbolLibrary::search(const QString &query) const {
    const QStringList words = searchWords(query);
    std::vector<int> found;
    if (words.isEmpty()) {
        found.resize(symbols_.size());
        for (std::size_t i = 0; i < found.size(); ++i)
            found[i] = int(i);
        return found;
    }
    // Worst match of the query's words, then their sum: "chien guide" finds "chien guide"
    // before a symbol whose label has only "chien".
    std::vector<std::array<int, 3>> keys;
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
        int worst = 0;
        int sum = 0;
        for (const QString &word : words) {
            const Match m = bestMatch(word, symbols_[i]);
            worst = std::max(worst, int(m));
            sum += m;
            if (m == kNone)
                break;
        }
        if (worst == kNone)
            continue;
        found.push_back(int(i));
        keys.push_back({worst, sum, int(symbols_[i].labelWords.size())});
    }
    std::vector<int> order(found.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (keys[std::size_t(a)] != keys[std::size_t(b)])
            return keys[std::size_t(a)] < keys[std::size_t(b)];
        return symbols_[std::size_t(found[std::size_t(a)])].label.size() <
               symbols_[std::size_t(found[std::size_t(b)])].label.size();
    });
    std::vector<int> ranked;
    ranked.reserve(order.size());
    for (int i : order)
        ranked.push_back(found[std::size_t(i)]);
    return ranked;
}

QString tidyUnderscores(const QString &name) {
    QString tidy = name;
    while (tidy.contains(QLatin1String("__")))
        tidy.replace(QLatin1String("__"), QLatin1String("_"));
    while (tidy.startsWith(u'_'))
        tidy.remove(0, 1);
    while (tidy.endsWith(u'_'))
        tidy.chop(1);
    return tidy;
}

QString symbolFileName(const QString &label) {
    QString stem = searchWords(label).join(u'_');
    // Letters of other scripts stay out of file names the page format's code page cannot
    // hold.
    QString plain;
    for (const QChar c : stem)
        plain += (c.unicode() < 128) ? c : u'_';
    plain = tidyUnderscores(plain.left(60));
    if (plain.isEmpty())
        plain = QStringLiteral("symbole");
    return plain + QLatin1String(".png");
}

namespace {

QByteArray drawPng(const QString &drawingPath) {
    QSvgRenderer renderer(drawingPath);
    if (!renderer.isValid())
        return {};
    QImage image(kSymbolPixels, kSymbolPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

bool holds(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() == bytes.size() && file.readAll() == bytes;
}

bool taken(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

WrittenSymbol writeSymbol(const QString &drawingPath, const QString &label,
                          const QString &multimediaDirectory, QString *error) {
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return WrittenSymbol{};
    };
    const QByteArray png = drawPng(drawingPath);
    if (png.isEmpty())
        return fail(QStringLiteral("le dessin du symbole est illisible"));
    const QString dirPath = multimediaDirectory + QLatin1String("/symboles");
    const QFileInfo dirInfo(dirPath);
    if (dirInfo.isSymLink() || (dirInfo.exists() && !dirInfo.isDir()))
        return fail(QStringLiteral("''symboles'' n'est pas un répertoire du programme"));
    if (!dirInfo.exists() && ::mkdir(QFile::encodeName(dirPath).constData(), 0755) != 0 &&
        errno != EEXIST)
        return fail(reasonOf(errno));

    const QString first = symbolFileName(label);
    const QString stem = first.chopped(4);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? first : QStringLiteral("%1_%2.png").arg(stem).arg(n);
        const QString path = dirPath + u'/' + name;
        const QString stored = QLatin1String("symboles\\") + name;
        if (taken(path)) {
            if (!QFileInfo(path).isSymLink() && holds(path, png))
                return {stored, path, false};
            continue;
        }
        // Never opens a file that is there already, even one that appeared meanwhile, or a
        // link.
        const int error = writeNewFile(path, png);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return fail(reasonOf(error));
        return {stored, path, true};
    }
    return fail(QStringLiteral("trop de symboles portent ce nom"));
}

} // namespace tv
