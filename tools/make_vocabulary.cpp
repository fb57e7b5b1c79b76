// Makes the starter board set "Premiers mots" from its data file: a page of core words and
// pages of words on a theme, each word a picture (its OpenMoji drawing, or the word alone)
// on the colour of its word class. The set is made anew whenever the data file changes: it
// is the data file that a carer or a therapist edits to change the set.
//
// usage: make_vocabulary DATA.tsv SYMBOL_DRAWINGS_DIR PROGRAM_DIRECTORY

#include "language/Sentence.h"
#include "platform/TextFile.h"
#include "symbols/SymbolLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr int kRows = 6, kColumns = 8;
// Pixels of the page as the program stores them: 8 × 6 pictures fit the default window.
constexpr int kSide = 88, kPitchX = 96, kPitchY = 92, kMargin = 8;
constexpr int kDrawn = 2 * kSide; // the picture's own pixels, crisp when the page is larger
const QString kSet = QStringLiteral("premiers_mots");
const QString kCore = QStringLiteral("noyau");

struct Word {
    int line = 0;
    QString page, label, wordClass, symbol, says;
    int row = -1, column = -1;
    bool everywhere = false;
    QString file; // below multimedia/, with "\"
};

// The modified Fitzgerald key: the fill and the border of each word class.
struct ClassColors {
    QColor fill, border;
};
ClassColors colorsOf(const QString &wordClass) {
    static const std::map<QString, ClassColors> colors = {
        {QStringLiteral("pronom"), {QColor(0xFFF59D), QColor(0xF9A825)}},
        {QStringLiteral("personne"), {QColor(0xFFF59D), QColor(0xF9A825)}},
        {QStringLiteral("verbe"), {QColor(0xC8E6C9), QColor(0x2E7D32)}},
        {QStringLiteral("descriptif"), {QColor(0xBBDEFB), QColor(0x1565C0)}},
        {QStringLiteral("nom"), {QColor(0xFFE0B2), QColor(0xEF6C00)}},
        {QStringLiteral("social"), {QColor(0xF8BBD0), QColor(0xC2185B)}},
        {QStringLiteral("préposition"), {QColor(0xF8BBD0), QColor(0xC2185B)}},
        {QStringLiteral("question"), {QColor(0xE1BEE7), QColor(0x6A1B9A)}},
        {QStringLiteral("négation"), {QColor(0xFFCDD2), QColor(0xC62828)}},
        {QStringLiteral("lien"), {QColor(0xFFE0B2), QColor(0xEF6C00)}},
        {QStringLiteral("info"), {QColor(0xEEEEEE), QColor(0x616161)}},
    };
    const auto it = colors.find(wordClass);
    return it == colors.end() ? ClassColors{} : it->second;
}

int failures = 0;
void fail(const Word &w, const QString &why) {
    std::fprintf(stderr, "premiers_mots.tsv:%d: %s\n", w.line, qPrintable(why));
    ++failures;
}

QString pageFile(const QString &id) {
    return kSet + u'\\' +
           (id == kCore ? QStringLiteral("page_premiers_mots.dat")
                        : QStringLiteral("page_%1.dat").arg(id));
}

// The largest font, down to a floor, at which the word fits the box on at most two lines.
QFont fittedFont(const QString &text, const QRectF &box, int largest) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    for (int size = largest; size > 10; size -= 2) {
        font.setPixelSize(size);
        const QRectF need =
            QFontMetricsF(font).boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, text);
        if (need.width() <= box.width() && need.height() <= box.height())
            break;
    }
    return font;
}

QImage drawCard(const Word &w, const QString &drawing) {
    QImage image(kDrawn, kDrawn, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const ClassColors c = colorsOf(w.wordClass);
    const QRectF card(5, 5, kDrawn - 10, kDrawn - 10);
    p.setPen(QPen(c.border, 8));
    p.setBrush(c.fill);
    p.drawRoundedRect(card, 18, 18);
    if (w.wordClass == QStringLiteral("lien")) {
        // A folded corner: this picture opens a page.
        QPainterPath corner;
        corner.moveTo(card.right() - 40, card.top());
        corner.lineTo(card.right(), card.top() + 40);
        corner.lineTo(card.right(), card.top() + 18);
        corner.quadTo(card.right(), card.top(), card.right() - 18, card.top());
        corner.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(c.border);
        p.drawPath(corner);
    }
    p.setPen(Qt::black);
    if (drawing.isEmpty()) {
        const QRectF box = card.adjusted(10, 10, -10, -10);
        p.setFont(fittedFont(w.label, box, 44));
        p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, w.label);
    } else {
        QSvgRenderer(drawing).render(&p, QRectF(38, 14, 100, 100));
        const QRectF box(12, 114, kDrawn - 24, 52);
        p.setFont(fittedFont(w.label, box, 30));
        p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, w.label);
    }
    return image;
}

QList<Word> readWords(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_vocabulary: %s cannot be read\n", qPrintable(path));
        std::exit(1);
    }
    QList<Word> words;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        if (lines[n].trimmed().isEmpty() || lines[n].startsWith(u'#'))
            continue;
        const QStringList f = lines[n].split(u'\t');
        Word w;
        w.line = n + 1;
        w.page = f.value(0).trimmed();
        const QStringList place = f.value(1).split(u',', Qt::SkipEmptyParts);
        if (place.size() == 2) {
            w.row = place[0].toInt() - 1;
            w.column = place[1].toInt() - 1;
            if (w.row < 0 || w.row >= kRows || w.column < 0 || w.column >= kColumns)
                fail(w, QStringLiteral("case hors de la grille : %1").arg(f.value(1)));
        } else if (!f.value(1).trimmed().isEmpty()) {
            fail(w, QStringLiteral("case illisible : %1").arg(f.value(1)));
        }
        w.label = f.value(2).trimmed();
        w.wordClass = f.value(3).trimmed();
        w.symbol = f.value(4).trimmed();
        w.says = f.value(5).trimmed();
        if (w.says.isEmpty())
            w.says = w.label;
        w.everywhere = f.value(6).trimmed() == QStringLiteral("oui");
        if (w.page.isEmpty() || w.label.isEmpty())
            fail(w, QStringLiteral("ligne sans page ou sans mot"));
        words << w;
    }
    return words;
}

using Grid = std::array<std::array<const Word *, kColumns>, kRows>;

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: make_vocabulary DATA.tsv SYMBOL_DRAWINGS_DIR PROGRAM_DIRECTORY\n");
        return 2;
    }
    const QString drawings = QString::fromLocal8Bit(argv[2]);
    const QString root = QString::fromLocal8Bit(argv[3]);
    const bool haveDrawings = QFileInfo(drawings).isDir();
    if (!haveDrawings)
        std::fprintf(stderr, "make_vocabulary: no symbol drawings in %s: every word is a card\n",
                     argv[2]);
    QList<Word> words = readWords(QString::fromLocal8Bit(argv[1]));

    // Pages in the order of the file; the core page first.
    QStringList order{kCore};
    std::map<QString, Grid> grids;
    grids[kCore] = {};
    for (const Word &w : words) {
        if (w.page != kCore && w.page != u'*' && !order.contains(w.page)) {
            order << w.page;
            grids[w.page] = {};
        }
    }
    const auto put = [&](Grid &grid, const Word &w, int row, int column) {
        if (grid[std::size_t(row)][std::size_t(column)])
            fail(w, QStringLiteral("case %1,%2 déjà prise par « %3 »")
                        .arg(row + 1)
                        .arg(column + 1)
                        .arg(grid[std::size_t(row)][std::size_t(column)]->label));
        else
            grid[std::size_t(row)][std::size_t(column)] = &w;
    };
    QHash<QString, const Word *> core;
    for (const Word &w : words) {
        if (w.page != kCore)
            continue;
        if (w.row < 0)
            fail(w, QStringLiteral("un mot de base a besoin de sa case"));
        else
            put(grids[kCore], w, w.row, w.column);
        core.insert(w.label, &w);
    }
    // What stands at the same place on every theme page comes first, then the core words a
    // page repeats, then its own words in the free cells, row after row.
    for (const QString &id : order.mid(1)) {
        Grid &grid = grids[id];
        for (const Word &w : words) {
            if ((w.page == kCore && w.everywhere) || (w.page == u'*' && w.row >= 0))
                put(grid, w, w.row, w.column);
        }
        for (const Word &w : words) {
            if (w.page != id || w.wordClass != QStringLiteral("noyau"))
                continue;
            const Word *same = core.value(w.label);
            if (!same)
                fail(w, QStringLiteral("« %1 » n'est pas un mot de base").arg(w.label));
            else
                put(grid, *same, same->row, same->column);
        }
        int free = 0;
        for (const Word &w : words) {
            if (w.page != id || w.wordClass == QStringLiteral("noyau"))
                continue;
            while (free < kRows * kColumns &&
                   grid[std::size_t(free / kColumns)][std::size_t(free % kColumns)])
                ++free;
            if (free == kRows * kColumns) {
                fail(w, QStringLiteral("la page %1 est pleine").arg(id));
                break;
            }
            put(grid, w, free / kColumns, free % kColumns);
        }
    }

    // Checks that keep the set usable: links lead to pages of the set, page files can hold
    // every phrase, verbs agree with their subject, every drawing named is there.
    for (Word &w : words) {
        if (w.wordClass == QStringLiteral("noyau"))
            continue;
        if (w.wordClass == QStringLiteral("lien") && !grids.count(w.says))
            fail(w, QStringLiteral("le lien mène à une page inconnue : %1").arg(w.says));
        else if (w.wordClass != QStringLiteral("lien") && colorsOf(w.wordClass).fill == QColor())
            fail(w, QStringLiteral("classe inconnue : %1").arg(w.wordClass));
        if (w.says.contains(u',') || w.label.contains(u','))
            fail(w, QStringLiteral("une virgule ne tient pas dans une page"));
        if (w.wordClass == QStringLiteral("verbe") &&
            tv::formedPhrases({QStringLiteral("nous"), w.says}).last() == w.says)
            fail(w,
                 QStringLiteral("« %1 » n'est pas un verbe que le conjugueur connaît").arg(w.says));
        if (haveDrawings && !w.symbol.isEmpty() &&
            !QFileInfo::exists(drawings + u'/' + w.symbol + QStringLiteral(".svg")))
            fail(w, QStringLiteral("pas de dessin %1").arg(w.symbol));
    }
    if (failures)
        return 1;

    // The set is made anew: its two directories belong to it.
    const QString pagesDir = root + QStringLiteral("/pages/") + kSet;
    const QString mediaDir = root + QStringLiteral("/multimedia/") + kSet;
    QDir(pagesDir).removeRecursively();
    QDir(mediaDir).removeRecursively();
    QDir().mkpath(pagesDir);
    QDir().mkpath(mediaDir);
    QHash<QString, QString> drawnAs; // file name → what it shows
    for (Word &w : words) {
        if (w.wordClass == QStringLiteral("noyau"))
            continue;
        const QString drawing = haveDrawings && !w.symbol.isEmpty()
                                    ? drawings + u'/' + w.symbol + QStringLiteral(".svg")
                                    : QString();
        const QString key = w.label + u'|' + w.wordClass + u'|' + w.symbol;
        const QString stem = tv::symbolFileName(w.label).chopped(4);
        QString name = stem + QStringLiteral(".png");
        for (int n = 2; drawnAs.contains(name) && drawnAs[name] != key; ++n)
            name = stem + QStringLiteral("_%1.png").arg(n);
        w.file = kSet + u'\\' + name;
        if (!drawnAs.contains(name)) {
            drawnAs.insert(name, key);
            if (!drawCard(w, drawing).save(mediaDir + u'/' + name, "PNG")) {
                fail(w, QStringLiteral("image non écrite : %1").arg(name));
                return 1;
            }
        }
    }
    for (const QString &id : order) {
        QStringList page{QStringLiteral("couleur_page=15790320")};
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const Word *w = grids[id][std::size_t(row)][std::size_t(column)];
                if (!w)
                    continue;
                const QString action =
                    w->wordClass == QStringLiteral("lien") ? pageFile(w->says) : w->says;
                page << QStringLiteral("%1,%2,%3,%4,%5,%5")
                            .arg(w->file, action)
                            .arg(kMargin + column * kPitchX)
                            .arg(kMargin + row * kPitchY)
                            .arg(kSide);
            }
        }
        const QString path =
            root + QStringLiteral("/pages/") + QString(pageFile(id)).replace(u'\\', u'/');
        const auto written = tv::writeTextLines(path, page);
        if (!written.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(written.error));
            return 1;
        }
    }
    std::printf("make_vocabulary: %lld pages, %lld pictures\n", qlonglong(order.size()),
                qlonglong(drawnAs.size()));
    return 0;
}
