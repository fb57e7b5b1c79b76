#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tv {

inline const QString kObfFormat = QStringLiteral("open-board-0.1");

// An image or a sound of a board: inside the package (path), inline (a data: URL) or on
// the web (url), as the board gives it.
struct ObfResource {
    QString id;
    QString path;
    QString data;
    QString url;
    QString contentType;
};

struct ObfButton {
    QString id;
    QString label;
    QString vocalization;
    QString imageId;
    QString soundId;
    QString loadBoardId;   // the board a press opens, by its id…
    QString loadBoardPath; // …or its path in the package
    bool hidden = false;
    bool special = false; // only a program command (":clear", ":home"…), nothing to say
    std::optional<qint32> background; // 0x00BBGGRR
    QString tablavoxAction;           // what this program's own export kept
};

struct ObfBoard {
    QString id;
    QString name;
    std::optional<qint32> background; // 0x00BBGGRR
    int rows = 0;
    int columns = 0;
    QList<QStringList> order; // button ids by row; empty for an empty cell
    std::vector<ObfButton> buttons;
    std::vector<ObfResource> images;
    std::vector<ObfResource> sounds;
};

// A board from its JSON; nothing, with the reason in French, when it is not a board.
std::optional<ObfBoard> parseObfBoard(const QByteArray &json, QString *error);

// "rgb(255, 0, 0)", "rgba(…)" or "#ff0000" → 0x00BBGGRR.
std::optional<qint32> parseObfColor(const QString &text);
QString obfColor(qint32 bgr);

// A page's file name from a board's name: lower case, without what a file name or the page
// format cannot hold; "page_" + name + ".dat".
QString pageNameForBoard(const QString &boardName);
// A plain name for a directory or a file: lower case, letters, digits, "-" and "_".
QString plainFileStem(const QString &text, const QString &fallback);

// A text made fit for a page file: line breaks as "\", commas (which end a field) as ";",
// a "." before the end (which would make it a file name) as ";", characters the code page
// cannot hold dropped, and a text that would be a program keyword ("fin") ended by ".".
// `replaced` counts what was changed.
QString phraseForPage(const QString &text, int *replaced);

// The cells of a rows × columns grid over an area, with `gap` between cells and around
// them; all in twips.
QRect gridCell(int row, int column, int rows, int columns, QSize area, int gap);

// Where each button goes: the board's order first, then buttons it does not place in the
// free cells left, row by row; the grid grows by rows when needed. Row, column per button
// index; (-1, -1) for a hidden button or a program command.
struct GridPlacement {
    int rows = 1;
    int columns = 1;
    std::vector<QPoint> cells; // x = column, y = row
};
GridPlacement placeButtons(const ObfBoard &board);

// A grid of even cells for `count` pictures over an area, about as wide as the area for its
// height: for a board laid out on a grid too fine to press, or spread over several pages.
GridPlacement evenGrid(int count, QSize area);

// A board of `count` buttons spread over pages of at most `perPage` pictures: the first page
// ends with a picture that leads to the next, each later page begins with one that leads
// back. The buttons of each page, as [first, end) in reading order.
std::vector<std::pair<int, int>> continuationParts(int count, int perPage);

} // namespace tv
