// Draws the program's icon at the sizes a desktop looks for:
// make_icons DRAWING.svg DIRECTORY NAME writes DIRECTORY/<n>x<n>/apps/NAME.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_icons DRAWING.svg DIRECTORY NAME\n");
        return 2;
    }
    QSvgRenderer drawing(QString::fromLocal8Bit(argv[1]));
    if (!drawing.isValid())
        return 1;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        drawing.render(&painter);
        painter.end();
        if (!QDir().mkpath(dir) ||
            !image.save(dir + u'/' + QString::fromLocal8Bit(argv[3]) + QStringLiteral(".png")))
            return 1;
    }
    return 0;
}
