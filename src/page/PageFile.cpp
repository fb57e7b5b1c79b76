#include "PageFile.h"

#include "platform/Numbers.h"
#include "platform/StoredPath.h"

#include <QRegularExpression>

namespace tv {

bool isColorLine(const QString &line) {
    return line.left(12).toLower() == QLatin1String("couleur_page");
}

static bool isWholeNumber(const QString &field) {
    static const QRegularExpression re(QStringLiteral("^-?[0-9]+$"));
    return re.match(field).hasMatch();
}

QStringList pictureFields(const QString &line) {
    QStringList fields = line.split(u',');
    const int n = int(fields.size());
    if (n <= 6)
        return fields;
    for (int i = n - 4; i < n; ++i) {
        if (!isWholeNumber(fields[i]))
            return fields;
    }
    QStringList merged{fields[0], fields.mid(1, n - 5).join(u',')};
    merged += fields.mid(n - 4);
    return merged;
}

static std::optional<qint16> twips(const QString &field, double tpp) {
    return toInt16(parseLenientNumber(field) * tpp);
}

ParsedPage parsePage(const QStringList &lines,
                     const std::function<bool(const QString &)> &pictureExists, TwipsPerPixel tpp) {
    ParsedPage page;
    int first = 0;
    if (!lines.isEmpty() && isColorLine(lines[0])) {
        const QString &line = lines[0];
        const int eq = int(line.indexOf(u'='));
        const auto color = toInt32(eq < 0 ? 0.0 : parseLenientNumber(line.mid(eq + 1)));
        if (!color) {
            page.ok = false;
            page.failedLine = 1;
            page.failure = QStringLiteral("la couleur de la page est trop grande");
            return page;
        }
        page.pageColor = *color;
        first = 1;
    }
    // A file without a colour line still shows the picture on its first line.
    int index = 0;
    for (int i = first; i < lines.size(); ++i) {
        ++index;
        const QString &line = lines[i];
        if (line.isEmpty())
            continue;
        const auto fail = [&](const QString &why) {
            page.ok = false;
            page.failedLine = i + 1;
            page.failure = why;
            return page;
        };
        if (index > kMaxImages)
            return fail(
                QStringLiteral("une page ne peut pas avoir plus de %1 images").arg(kMaxImages));
        const QStringList f = pictureFields(line);
        ImageRecord &r = page.records[std::size_t(index)];
        r.imageFile = f[0];
        PictureState state = PictureState::Present;
        if (!isContainedStoredPath(r.imageFile))
            state = PictureState::Outside;
        else if (!pictureExists(r.imageFile))
            state = PictureState::Missing;
        if (state == PictureState::Present && f.size() < 6)
            return fail(QStringLiteral("la ligne a moins de six champs"));
        r.imageAction = f.value(1);
        qint16 *numbers[4] = {&r.left, &r.top, &r.width, &r.height};
        for (int k = 0; k < 4; ++k) {
            const auto v = twips(f.value(2 + k), k % 2 == 0 ? tpp.x : tpp.y);
            if (!v && state == PictureState::Present)
                return fail(QStringLiteral("une position ou une taille est trop grande"));
            *numbers[k] = v.value_or(0);
        }
        page.entries.push_back({index, state});
    }
    return page;
}

QStringList formatPage(const PageModel &page, TwipsPerPixel tpp) {
    QStringList lines{QStringLiteral("couleur_page=%1").arg(page.pageColor)};
    for (int i = 1; i <= kMaxImages; ++i) {
        const ImageRecord &r = page.imageTable[std::size_t(i)];
        if (r.imageFile.isEmpty())
            continue;
        // Concatenated, not formatted: texts may hold "%1".
        const QStringList fields{r.imageFile,
                                 r.imageAction,
                                 QString::number(twipsToFilePixels(r.left, tpp.x)),
                                 QString::number(twipsToFilePixels(r.top, tpp.y)),
                                 QString::number(twipsToFilePixels(r.width, tpp.x)),
                                 QString::number(twipsToFilePixels(r.height, tpp.y))};
        lines << fields.join(u',');
    }
    return lines;
}

} // namespace tv
