#include "ObfBoard.h"

#include "model/Action.h"
#include "platform/Cp1252.h"
#include "symbols/SymbolLibrary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace tv {

namespace {

// A hostile board may ask for a grid of a billion cells: no page holds more than this.
constexpr int kMaxGridSide = 100;
constexpr int kMaxButtons = 10000;

// Ids are strings in the format, numbers in some programs' files.
QString idOf(const QJsonValue &v) {
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    return {};
}

ObfResource resourceOf(const QJsonObject &o) {
    return {idOf(o.value(QLatin1String("id"))), o.value(QLatin1String("path")).toString(),
            o.value(QLatin1String("data")).toString(), o.value(QLatin1String("url")).toString(),
            o.value(QLatin1String("content_type")).toString()};
}

bool isProgramCommand(const QString &action) {
    return action.startsWith(u':') && action != QLatin1String(":speak");
}

ObfButton buttonOf(const QJsonObject &o) {
    ObfButton b;
    b.id = idOf(o.value(QLatin1String("id")));
    b.label = o.value(QLatin1String("label")).toString();
    b.vocalization = o.value(QLatin1String("vocalization")).toString();
    b.imageId = idOf(o.value(QLatin1String("image_id")));
    b.soundId = idOf(o.value(QLatin1String("sound_id")));
    const QJsonObject load = o.value(QLatin1String("load_board")).toObject();
    b.loadBoardId = idOf(load.value(QLatin1String("id")));
    b.loadBoardPath = load.value(QLatin1String("path")).toString();
    b.hidden = o.value(QLatin1String("hidden")).toBool();
    bool command = isProgramCommand(o.value(QLatin1String("action")).toString());
    for (const QJsonValue &a : o.value(QLatin1String("actions")).toArray())
        command = command || isProgramCommand(a.toString());
    b.special =
        command && b.loadBoardId.isEmpty() && b.loadBoardPath.isEmpty() && b.vocalization.isEmpty();
    b.background = parseObfColor(o.value(QLatin1String("background_color")).toString());
    b.tablavoxAction = o.value(QLatin1String("ext_tablavox_action")).toString();
    return b;
}

} // namespace

std::optional<ObfBoard> parseObfBoard(const QByteArray &json, QString *error) {
    const auto fail = [&](const QString &why) -> std::optional<ObfBoard> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail(QStringLiteral("ce n'est pas du JSON valide (%1, à l'octet %2)")
                        .arg(parse.errorString())
                        .arg(parse.offset));
    const QJsonObject o = doc.object();
    const QString format = o.value(QLatin1String("format")).toString();
    if (!doc.isObject() || !o.value(QLatin1String("buttons")).isArray() ||
        (!format.isEmpty() && !format.startsWith(QLatin1String("open-board-"))))
        return fail(QStringLiteral("ce n'est pas un tableau au format OBF"));
    const QJsonArray buttons = o.value(QLatin1String("buttons")).toArray();
    if (buttons.size() > kMaxButtons)
        return fail(QStringLiteral("le tableau a %1 boutons, plus que %2")
                        .arg(buttons.size())
                        .arg(kMaxButtons));

    ObfBoard board;
    board.id = idOf(o.value(QLatin1String("id")));
    board.name = o.value(QLatin1String("name")).toString().trimmed();
    board.background = parseObfColor(o.value(QLatin1String("background_color")).toString());
    for (const QJsonValue &b : buttons)
        board.buttons.push_back(buttonOf(b.toObject()));
    for (const QJsonValue &i : o.value(QLatin1String("images")).toArray())
        board.images.push_back(resourceOf(i.toObject()));
    for (const QJsonValue &s : o.value(QLatin1String("sounds")).toArray())
        board.sounds.push_back(resourceOf(s.toObject()));
    const QJsonObject grid = o.value(QLatin1String("grid")).toObject();
    const QJsonArray order = grid.value(QLatin1String("order")).toArray();
    for (int r = 0; r < std::min<qsizetype>(order.size(), kMaxGridSide); ++r) {
        QStringList row;
        const QJsonArray cells = order.at(r).toArray();
        for (int c = 0; c < std::min<qsizetype>(cells.size(), kMaxGridSide); ++c)
            row << idOf(cells.at(c));
        board.order << row;
    }
    board.rows = std::clamp(grid.value(QLatin1String("rows")).toInt(), 0, kMaxGridSide);
    board.columns = std::clamp(grid.value(QLatin1String("columns")).toInt(), 0, kMaxGridSide);
    return board;
}

std::optional<qint32> parseObfColor(const QString &text) {
    const QString t = text.trimmed().toLower();
    static const QRegularExpression hex(QStringLiteral("^#([0-9a-f]{6}|[0-9a-f]{3})$"));
    static const QRegularExpression rgb(
        QStringLiteral(R"(^rgba?\(\s*([\d.]+)(%?)\s*,\s*([\d.]+)(%?)\s*,\s*([\d.]+)(%?))"));
    int r = 0, g = 0, b = 0;
    if (const auto m = hex.match(t); m.hasMatch()) {
        QString h = m.captured(1);
        if (h.size() == 3)
            h = QString(h[0]) + h[0] + h[1] + h[1] + h[2] + h[2];
        r = h.mid(0, 2).toInt(nullptr, 16);
        g = h.mid(2, 2).toInt(nullptr, 16);
        b = h.mid(4, 2).toInt(nullptr, 16);
    } else if (const auto m = rgb.match(t); m.hasMatch()) {
        const auto channel = [&](int n) {
            const double v = m.captured(n).toDouble();
            const double scaled = m.captured(n + 1).isEmpty() ? v : v * 2.55;
            return std::clamp(int(std::lround(scaled)), 0, 255);
        };
        r = channel(1);
        g = channel(3);
        b = channel(5);
    } else {
        return std::nullopt;
    }
    return qint32(r | (g << 8) | (b << 16));
}

QString obfColor(qint32 bgr) {
    return QStringLiteral("rgb(%1, %2, %3)")
        .arg(bgr & 0xFF)
        .arg((bgr >> 8) & 0xFF)
        .arg((bgr >> 16) & 0xFF);
}

QString pageNameForBoard(const QString &boardName) {
    QString name;
    for (const QChar c : boardName.toLower()) {
        if (c.isSpace() || c == u'_' || c == u'-')
            name += c == u'-' ? u'-' : u'_';
        else if (c.isLetterOrNumber() && encodeCp1252(QString(c)))
            name += c;
    }
    name = tidyUnderscores(name);
    if (name.isEmpty())
        name = QStringLiteral("tableau");
    return QLatin1String("page_") + name.left(60) + QLatin1String(".dat");
}

QString plainFileStem(const QString &text, const QString &fallback) {
    const QString stem = symbolFileName(text).chopped(4);
    return stem == QLatin1String("symbole") && searchWords(text).isEmpty() ? fallback : stem;
}

QString phraseForPage(const QString &text, int *replaced) {
    int changes = 0;
    QString t = text.trimmed();
    t.replace(QLatin1String("\r\n"), QLatin1String("\\"));
    t.replace(u'\r', u'\\');
    t.replace(u'\n', u'\\');
    if (t.contains(QLatin1String("..."))) {
        t.replace(QLatin1String("..."), QStringLiteral("…"));
        ++changes;
    }
    QString out;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u',' || (c == u'.' && i + 1 < t.size())) {
            out += u';';
            ++changes;
        } else if (!encodeCp1252(QString(c))) {
            // An emoji is two halves: one change.
            if (!c.isLowSurrogate())
                ++changes;
        } else {
            out += c;
        }
    }
    out = out.trimmed();
    if (keywordOf(out) != Keyword::None) {
        out += u'.';
        ++changes;
    }
    if (replaced)
        *replaced += changes;
    return out;
}

QRect gridCell(int row, int column, int rows, int columns, QSize area, int gap) {
    rows = std::max(rows, 1);
    columns = std::max(columns, 1);
    const int w = std::max(1, (area.width() - gap * (columns + 1)) / columns);
    const int h = std::max(1, (area.height() - gap * (rows + 1)) / rows);
    return {gap + column * (w + gap), gap + row * (h + gap), w, h};
}

GridPlacement evenGrid(int count, QSize area) {
    GridPlacement g;
    count = std::max(count, 1);
    const double aspect = double(std::max(area.width(), 1)) / std::max(area.height(), 1);
    g.columns = std::clamp(int(std::ceil(std::sqrt(count * aspect))), 1, count);
    g.rows = (count + g.columns - 1) / g.columns;
    for (int i = 0; i < count; ++i)
        g.cells.emplace_back(i % g.columns, i / g.columns);
    return g;
}

std::vector<std::pair<int, int>> continuationParts(int count, int perPage) {
    std::vector<std::pair<int, int>> parts;
    int at = 0;
    do {
        // A way back on every page but the first; a way on unless the rest fits.
        const int room = perPage - (parts.empty() ? 0 : 1);
        const int end = count - at <= room ? count : at + room - 1;
        parts.emplace_back(at, end);
        at = end;
    } while (at < count);
    return parts;
}

GridPlacement placeButtons(const ObfBoard &board) {
    GridPlacement p;
    const int n = int(board.buttons.size());
    p.cells.assign(std::size_t(n), QPoint(-1, -1));
    int visible = 0;
    const auto shown = [](const ObfButton &b) { return !b.hidden && !b.special; };
    for (const ObfButton &b : board.buttons)
        visible += shown(b) ? 1 : 0;
    p.rows = board.rows > 0 ? board.rows : int(board.order.size());
    p.columns = board.columns;
    if (p.columns <= 0)
        for (const QStringList &row : board.order)
            p.columns = std::max(p.columns, int(row.size()));
    if (p.rows <= 0 || p.columns <= 0) {
        p.columns = std::max(1, int(std::ceil(std::sqrt(double(visible)))));
        p.rows = std::max(1, (visible + p.columns - 1) / p.columns);
    }
    QHash<QString, int> byId;
    for (int i = n - 1; i >= 0; --i)
        byId.insert(board.buttons[std::size_t(i)].id, i);
    QSet<qint64> taken;
    const auto key = [](int r, int c) { return (qint64(r) << 32) | qint64(c); };
    for (int r = 0; r < std::min(p.rows, int(board.order.size())); ++r) {
        for (int c = 0; c < std::min(p.columns, int(board.order[r].size())); ++c) {
            const QString &id = board.order[r][c];
            const auto it = byId.constFind(id);
            if (id.isEmpty() || it == byId.constEnd())
                continue;
            const std::size_t i = std::size_t(*it);
            if (!shown(board.buttons[i]) || p.cells[i] != QPoint(-1, -1))
                continue;
            p.cells[i] = QPoint(c, r);
            taken.insert(key(r, c));
        }
    }
    int r = 0, c = 0;
    for (int i = 0; i < n; ++i) {
        if (!shown(board.buttons[std::size_t(i)]) || p.cells[std::size_t(i)] != QPoint(-1, -1))
            continue;
        while (taken.contains(key(r, c))) {
            if (++c == p.columns) {
                c = 0;
                ++r;
            }
        }
        p.rows = std::max(p.rows, r + 1);
        p.cells[std::size_t(i)] = QPoint(c, r);
        taken.insert(key(r, c));
    }
    return p;
}

} // namespace tv
