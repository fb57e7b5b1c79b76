// Lays the demo page set beside the program: a start page and the pictures it shows.
// Files already there are left alone, so a carer's edits to the demo survive a rebuild.

#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter &, const QRectF &)>;

struct Card {
    const char *file;
    const char *word;
    const char *action;
    QColor color;
    Drawing draw;
};

void drawCard(const QString &path, const Card &card) {
    QImage image(320, 320, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(card.color.darker(140), 10));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8, 8, 304, 304), 28, 28);
    card.draw(p, QRectF(60, 40, 200, 190));
    QFont font(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(10, 236, 300, 64), Qt::AlignCenter, QString::fromUtf8(card.word));
    p.end();
    image.save(path, "JPG", 90);
}

void sun(QPainter &p, const QRectF &r) {
    p.setPen(QPen(QColor(240, 170, 20), 10, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = r.center();
    for (int i = 0; i < 12; ++i) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(i * 30);
        p.drawLine(t.map(QPointF(0, 60)), t.map(QPointF(0, 90)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 40));
    p.drawEllipse(c, 50, 50);
}

void glass(QPainter &p, const QRectF &r) {
    QPainterPath cup;
    cup.moveTo(r.left() + 40, r.top() + 10);
    cup.lineTo(r.right() - 40, r.top() + 10);
    cup.lineTo(r.right() - 60, r.bottom() - 5);
    cup.lineTo(r.left() + 60, r.bottom() - 5);
    cup.closeSubpath();
    p.setPen(QPen(QColor(60, 90, 140), 6));
    p.setBrush(QColor(200, 225, 250));
    p.drawPath(cup);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 150, 230));
    p.drawRect(QRectF(r.left() + 60, r.top() + 80, r.width() - 120, r.height() - 90));
}

void apple(QPainter &p, const QRectF &r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 40, 40));
    p.drawEllipse(r.center() + QPointF(-28, 15), 55, 65);
    p.drawEllipse(r.center() + QPointF(28, 15), 55, 65);
    p.setBrush(QColor(60, 150, 50));
    p.drawEllipse(QRectF(r.center().x() + 5, r.top() + 5, 50, 25));
    p.setPen(QPen(QColor(110, 70, 30), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.center() + QPointF(0, -45), r.center() + QPointF(5, -80));
}

void check(QPainter &p, const QRectF &r) {
    p.setPen(QPen(QColor(40, 160, 60), 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF pts[3] = {{r.left() + 30, r.center().y()},
                            {r.center().x() - 10, r.bottom() - 30},
                            {r.right() - 20, r.top() + 25}};
    p.drawPolyline(pts, 3);
}

void cross(QPainter &p, const QRectF &r) {
    p.setPen(QPen(QColor(210, 40, 40), 26, Qt::SolidLine, Qt::RoundCap));
    const QRectF s = r.adjusted(35, 25, -35, -25);
    p.drawLine(s.topLeft(), s.bottomRight());
    p.drawLine(s.topRight(), s.bottomLeft());
}

void heart(QPainter &p, const QRectF &r) {
    QPainterPath path;
    const double x = r.center().x(), y = r.top() + 55;
    path.moveTo(x, y);
    path.cubicTo(x - 10, y - 60, x - 110, y - 20, x, r.bottom() - 10);
    path.moveTo(x, y);
    path.cubicTo(x + 10, y - 60, x + 110, y - 20, x, r.bottom() - 10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 80, 130));
    p.drawPath(path);
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_demo PROGRAM_DIRECTORY\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(root + QStringLiteral("/pages"));
    QDir().mkpath(root + QStringLiteral("/multimedia"));

    const Card cards[] = {
        {"bonjour.jpg", "Bonjour", "Bonjour !", QColor(240, 170, 20), sun},
        {"boire.jpg", "Boire", "J'ai soif\\je veux boire de l'eau s'il te plaît.",
         QColor(60, 120, 200), glass},
        {"manger.jpg", "Manger", "J'ai faim.", QColor(210, 40, 40), apple},
        {"oui.jpg", "Oui", "Oui", QColor(40, 160, 60), check},
        {"non.jpg", "Non", "Non", QColor(210, 40, 40), cross},
        {"merci.jpg", "Merci", "Merci beaucoup !", QColor(230, 80, 130), heart},
    };

    QStringList page{QStringLiteral("couleur_page=9998670")};
    int i = 0;
    for (const Card &card : cards) {
        const QString file = QString::fromUtf8(card.file);
        const QString path = root + QStringLiteral("/multimedia/") + file;
        if (!QFileInfo::exists(path))
            drawCard(path, card);
        const int left = 20 + (i % 3) * 180, top = 20 + (i / 3) * 180;
        page << QStringLiteral("%1,%2,%3,%4,160,160")
                    .arg(file, QString::fromUtf8(card.action))
                    .arg(left)
                    .arg(top);
        ++i;
    }
    const QString start = root + QStringLiteral("/pages/page_départ.dat");
    if (!QFileInfo::exists(start)) {
        const auto written = tv::writeTextLines(start, page);
        if (!written.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(written.error));
            return 1;
        }
    }
    return 0;
}
