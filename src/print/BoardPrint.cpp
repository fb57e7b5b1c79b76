#include "BoardPrint.h"

#include "model/Action.h"
#include "page/PictureCache.h"
#include "page/PictureControl.h"
#include "platform/Colors.h"
#include "platform/DialogParts.h"
#include "platform/PdfFile.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPageLayout>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <algorithm>

namespace tv {

namespace {

// Parts of a sheet, as shares of its height.
constexpr double kTitleBand = 0.08;
constexpr double kFooterBand = 0.05;
// The bottom of each picture's place holds its caption.
constexpr double kCaptionShare = 0.2;

QFont fontOfHeight(double pixels, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, int(pixels)));
    font.setBold(bold);
    return font;
}

// The program draws OpenMoji pictures into two folders of its own: the symbols a carer
// takes, and the starter set's pictures.
bool showsOpenMoji(const PrintedBoard &board) {
    return std::any_of(board.pictures.begin(), board.pictures.end(), [](const PrintedPicture &p) {
        return p.imageFile.startsWith(QLatin1String("symboles\\"), Qt::CaseInsensitive) ||
               p.imageFile.startsWith(QLatin1String("premiers_mots\\"), Qt::CaseInsensitive);
    });
}

void paintFooter(QPainter &painter, const QRectF &sheet, const QString &left, int number,
                 int total) {
    const QRectF band(sheet.left(), sheet.bottom() - sheet.height() * kFooterBand, sheet.width(),
                      sheet.height() * kFooterBand);
    painter.setPen(Qt::black);
    painter.setFont(fontOfHeight(band.height() * 0.4));
    painter.drawText(band, Qt::AlignCenter, QStringLiteral("Page %1 / %2").arg(number).arg(total));
    if (!left.isEmpty()) {
        painter.setFont(fontOfHeight(band.height() * 0.3));
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, left);
    }
}

void paintBoard(QPainter &painter, const QRectF &sheet, const PrintedBoard &board, int number,
                int total, const QHash<QString, int> &numbers, const PrintOptions &options) {
    const QRectF titleBand(sheet.left(), sheet.top(), sheet.width(), sheet.height() * kTitleBand);
    painter.setPen(Qt::black);
    painter.setFont(fontOfHeight(titleBand.height() * 0.55, true));
    painter.drawText(titleBand, Qt::AlignCenter, pageTitle(board.stored));
    paintFooter(painter, sheet, showsOpenMoji(board) ? kSymbolsCredit : QString(), number, total);

    // The page as far as its pictures reach, with the margin it keeps on the left and top
    // kept on the right and bottom too.
    QRect used;
    for (const PrintedPicture &p : board.pictures)
        used = used.united(p.twips);
    const QSizeF extent(std::max(1, used.right() + std::max(0, used.left())),
                        std::max(1, used.bottom() + std::max(0, used.top())));
    const QRectF area(sheet.left(), titleBand.bottom(), sheet.width(),
                      sheet.height() * (1 - kTitleBand - kFooterBand));
    const double scale = std::min(area.width() / extent.width(), area.height() / extent.height());
    const QRectF page(area.left() + (area.width() - extent.width() * scale) / 2,
                      area.top() + (area.height() - extent.height() * scale) / 2,
                      extent.width() * scale, extent.height() * scale);
    painter.fillRect(page, colorFromValue(board.color, QGuiApplication::palette()));
    const QColor ink = readableTextOn(board.color);

    for (const PrintedPicture &p : board.pictures) {
        const QRectF place(page.left() + p.twips.left() * scale, page.top() + p.twips.top() * scale,
                           p.twips.width() * scale, p.twips.height() * scale);
        const QRectF caption(place.left(), place.bottom() - place.height() * kCaptionShare,
                             place.width(), place.height() * kCaptionShare);
        const QRectF room(place.left(), place.top(), place.width(), caption.top() - place.top());
        if (!p.imagePath.isEmpty()) {
            // Decoded at the size it is printed, keeping its proportions, so that the sheet is
            // as sharp as the printer.
            QImageReader reader(p.imagePath);
            reader.setAutoTransform(true);
            QSizeF upright = reader.size();
            if (reader.transformation() & QImageIOHandler::TransformationRotate90)
                upright.transpose();
            const QSizeF fitted =
                upright.isValid() ? upright.scaled(room.size(), Qt::KeepAspectRatio) : room.size();
            const QImage image = decodePicture(p.imagePath, fitted.toSize());
            if (!image.isNull())
                drawPicture(
                    painter,
                    QRectF(room.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted),
                    image);
        }
        painter.setPen(ink);
        painter.setFont(fontOfHeight(caption.height() * 0.5));
        painter.drawText(caption, Qt::AlignCenter | Qt::TextWordWrap, captionOf(p.action, numbers));
        if (options.cutLines) {
            painter.setPen(QPen(Qt::gray, std::max(1.0, scale * 8), Qt::DashLine));
            painter.drawRect(place);
        }
    }
}

void paintIndex(QPainter &painter, const QRectF &sheet, const std::vector<PrintedBoard> &boards,
                const QHash<QString, int> &numbers) {
    const QRectF titleBand(sheet.left(), sheet.top(), sheet.width(), sheet.height() * kTitleBand);
    painter.setPen(Qt::black);
    painter.setFont(fontOfHeight(titleBand.height() * 0.55, true));
    painter.drawText(titleBand, Qt::AlignCenter, QStringLiteral("Sommaire"));
    const double line = sheet.height() * 0.035;
    painter.setFont(fontOfHeight(line * 0.6));
    double y = titleBand.bottom() + line;
    for (const PrintedBoard &b : boards) {
        const QString text =
            b.readable()
                ? QStringLiteral("%1   %2")
                      .arg(numbers.value(b.stored.toLower().replace(u'/', u'\\')))
                      .arg(pageTitle(b.stored))
                : QStringLiteral("—   %1 : non imprimée (%2)").arg(pageTitle(b.stored), b.failure);
        painter.drawText(QRectF(sheet.left() + line, y, sheet.width() - 2 * line, line),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        y += line;
    }
}

} // namespace

QString printBoards(QPagedPaintDevice &device, const std::vector<PrintedBoard> &boards,
                    const PrintOptions &options) {
    const QHash<QString, int> numbers = boardNumbers(boards);
    if (numbers.isEmpty())
        return QStringLiteral("aucune page ne peut être lue");
    QPainter painter;
    if (!painter.begin(&device))
        return QStringLiteral("l'impression ne peut pas commencer");
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet(QPointF(0, 0), QSizeF(device.width(), device.height()));
    bool first = true;
    const auto next = [&] {
        if (!first)
            device.newPage();
        first = false;
    };
    if (options.index) {
        next();
        paintIndex(painter, sheet, boards, numbers);
    }
    int number = 0;
    for (const PrintedBoard &b : boards) {
        if (!b.readable())
            continue;
        next();
        paintBoard(painter, sheet, b, ++number, int(numbers.size()), numbers, options);
    }
    return painter.end() ? QString() : QStringLiteral("l'impression n'a pas pu finir");
}

QString writeBoardsPdf(const QString &path, const std::vector<PrintedBoard> &boards,
                       const PrintOptions &options) {
    return writePdfFile(path, QStringLiteral("Tableaux de communication"),
                        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                    QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter),
                        [&](QPdfWriter &pdf) { return printBoards(pdf, boards, options); });
}

} // namespace tv
