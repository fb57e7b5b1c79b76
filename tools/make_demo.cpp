// Lays the demo page set beside the program: a start page, a page of animals, the pictures
// they show, a tune and a short film. The start page leads to the starter board set that
// make_vocabulary lays beside it. Files already there are left alone, so a carer's edits
// to the demo survive a rebuild.

#include "model/Settings.h"
#include "platform/TextFile.h"
#include "platform/Wav.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <cmath>
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
    while (font.pointSize() > 12 &&
           QFontMetrics(font).horizontalAdvance(QString::fromUtf8(card.word)) > 290)
        font.setPointSize(font.pointSize() - 2);
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

void note(QPainter &p, const QRectF &r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 170));
    p.drawEllipse(QPointF(r.left() + 55, r.bottom() - 30), 32, 24);
    p.drawEllipse(QPointF(r.right() - 45, r.bottom() - 50), 32, 24);
    p.setPen(QPen(QColor(90, 60, 170), 12, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF pts[4] = {{r.left() + 84, r.bottom() - 30},
                            {r.left() + 84, r.top() + 30},
                            {r.right() - 16, r.top() + 10},
                            {r.right() - 16, r.bottom() - 50}};
    p.drawPolyline(pts, 4);
}

void film(QPainter &p, const QRectF &r) {
    const QRectF strip = r.adjusted(10, 30, -10, -30);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(strip, 12, 12);
    p.setBrush(Qt::white);
    for (int i = 0; i < 7; ++i) {
        p.drawRect(QRectF(strip.left() + 12 + i * 25, strip.top() + 8, 12, 12));
        p.drawRect(QRectF(strip.left() + 12 + i * 25, strip.bottom() - 20, 12, 12));
    }
    p.setBrush(QColor(250, 200, 60));
    const QPointF play[3] = {{r.center().x() - 22, r.center().y() - 30},
                             {r.center().x() + 32, r.center().y()},
                             {r.center().x() - 22, r.center().y() + 30}};
    p.drawPolygon(play, 3);
}

void paw(QPainter &p, const QRectF &r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 90, 40));
    p.drawEllipse(QPointF(r.center().x(), r.center().y() + 35), 50, 42);
    const QPointF toes[4] = {{-60, -15}, {-22, -50}, {22, -50}, {60, -15}};
    for (const QPointF &t : toes)
        p.drawEllipse(r.center() + t, 20, 26);
}

void cat(QPainter &p, const QRectF &r) {
    const QPointF c = r.center() + QPointF(0, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 120, 130));
    const QPointF left[3] = {c + QPointF(-70, -20), c + QPointF(-60, -95), c + QPointF(-15, -60)};
    const QPointF right[3] = {c + QPointF(70, -20), c + QPointF(60, -95), c + QPointF(15, -60)};
    p.drawPolygon(left, 3);
    p.drawPolygon(right, 3);
    p.drawEllipse(c, 75, 65);
    p.setBrush(QColor(120, 200, 90));
    p.drawEllipse(c + QPointF(-28, -12), 12, 15);
    p.drawEllipse(c + QPointF(28, -12), 12, 15);
    p.setBrush(QColor(240, 140, 150));
    p.drawEllipse(c + QPointF(0, 15), 9, 7);
}

void dog(QPainter &p, const QRectF &r) {
    const QPointF c = r.center() + QPointF(0, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 70, 40));
    p.drawEllipse(c + QPointF(-70, 0), 22, 55);
    p.drawEllipse(c + QPointF(70, 0), 22, 55);
    p.setBrush(QColor(200, 150, 90));
    p.drawEllipse(c, 65, 72);
    p.setBrush(Qt::black);
    p.drawEllipse(c + QPointF(-25, -15), 9, 10);
    p.drawEllipse(c + QPointF(25, -15), 9, 10);
    p.drawEllipse(c + QPointF(0, 25), 16, 11);
}

void back(QPainter &p, const QRectF &r) {
    p.setPen(QPen(QColor(40, 110, 200), 24, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c = r.center();
    p.drawLine(c + QPointF(70, 0), c + QPointF(-60, 0));
    const QPointF head[3] = {c + QPointF(-10, -50), c + QPointF(-65, 0), c + QPointF(-10, 50)};
    p.drawPolyline(head, 3);
}

void wave(QPainter &p, const QRectF &r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 190, 140));
    p.drawRoundedRect(QRectF(r.center().x() - 45, r.center().y() - 20, 90, 95), 30, 30);
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(r.center().x() - 45 + i * 24, r.top() + 10 + (i % 3) * 6, 20, 90),
                          10, 10);
    p.setPen(QPen(QColor(120, 120, 120), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(r.left() + 5, r.top() + 20, 40, 80), 100 * 16, 160 * 16);
    p.drawArc(QRectF(r.right() - 45, r.top() + 20, 40, 80), -80 * 16, 160 * 16);
}

void star(QPainter &p, const QRectF &r) {
    QPainterPath path;
    const QPointF c = r.center();
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 ? 38 : 90;
        const QPointF pt = c + QPointF(radius * std::cos(a), radius * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.setPen(QPen(QColor(200, 140, 0), 6));
    p.setBrush(QColor(255, 210, 50));
    p.drawPath(path);
}

// Four small word cards in the colours of their word classes: the starter board set.
void words(QPainter &p, const QRectF &r) {
    const QColor colors[4] = {QColor(249, 168, 37), QColor(46, 125, 50), QColor(21, 101, 192),
                              QColor(239, 108, 0)};
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(r.left() + 10 + (i % 2) * 95, r.top() + 5 + (i / 2) * 92, 85, 82);
        p.setPen(QPen(colors[i], 7));
        p.setBrush(colors[i].lighter(170));
        p.drawRoundedRect(cell, 12, 12);
    }
}

// A short tune: a few soft bell notes.
QByteArray tune() {
    const int rate = 22050;
    const double notes[] = {523.25, 659.25, 783.99, 1046.5, 783.99, 659.25, 523.25};
    QList<qint16> samples;
    for (double f : notes) {
        const int n = rate * 45 / 100;
        for (int i = 0; i < n; ++i) {
            const double t = double(i) / rate;
            const double env = std::exp(-4.0 * t) * std::min(1.0, t * 200);
            const double v = std::sin(2 * M_PI * f * t) + 0.3 * std::sin(4 * M_PI * f * t);
            samples << qint16(9000 * env * v);
        }
    }
    return tv::makeWav(samples, rate);
}

// A few seconds of moving colours with a tone, made by ffmpeg when it is there.
void makeFilm(const QString &path) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-hide_banner", "-loglevel", "error", "-y",
                  "-f",           "lavfi",     "-i",    "mandelbrot=size=320x240:rate=25",
                  "-f",           "lavfi",     "-i",    "sine=frequency=220:beep_factor=2",
                  "-t",           "6",         "-c:v",  "mpeg4",
                  "-q:v",         "4",         "-c:a",  "libmp3lame",
                  "-pix_fmt",     "yuv420p",   path});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        std::fprintf(stderr, "make_demo: no film made (ffmpeg missing or failed)\n");
}

bool writePage(const QString &path, const QStringList &lines) {
    if (QFileInfo::exists(path))
        return true;
    const auto written = tv::writeTextLines(path, lines);
    if (!written.ok)
        std::fprintf(stderr, "%s\n", qPrintable(written.error));
    return written.ok;
}

QStringList layPage(const QString &root, const QList<Card> &cards) {
    QStringList page{QStringLiteral("couleur_page=9998670")};
    int i = 0;
    for (const Card &card : cards) {
        const QString file = QString::fromUtf8(card.file);
        const QString path = root + QStringLiteral("/multimedia/") + file;
        if (!QFileInfo::exists(path))
            drawCard(path, card);
        const int left = 15 + (i % 4) * 165, top = 15 + (i / 4) * 165;
        page << QStringLiteral("%1,%2,%3,%4,150,150")
                    .arg(file, QString::fromUtf8(card.action))
                    .arg(left)
                    .arg(top);
        ++i;
    }
    return page;
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

    const QList<Card> start = {
        {"bonjour.jpg", "Bonjour", "Bonjour !", QColor(240, 170, 20), sun},
        {"boire.jpg", "Boire", "J'ai soif\\je veux boire de l'eau s'il te plaît.",
         QColor(60, 120, 200), glass},
        {"manger.jpg", "Manger", "J'ai faim.", QColor(210, 40, 40), apple},
        {"oui.jpg", "Oui", "Oui", QColor(40, 160, 60), check},
        {"non.jpg", "Non", "Non", QColor(210, 40, 40), cross},
        {"merci.jpg", "Merci", "Merci beaucoup !", QColor(230, 80, 130), heart},
        {"musique.jpg", "Musique", "musique.wav", QColor(90, 60, 170), note},
        {"film.jpg", "Film", "film.avi", QColor(40, 40, 40), film},
        {"animaux.jpg", "Animaux", "page_animaux.dat", QColor(150, 90, 40), paw},
        {"au_revoir.jpg", "Au revoir", "fin", QColor(120, 120, 120), wave},
        {"credits.jpg", "Crédits", "kawet", QColor(200, 140, 0), star},
        {"premiers_mots.jpg", "Premiers mots", "premiers_mots\\page_premiers_mots.dat",
         QColor(46, 125, 50), words},
    };
    const QList<Card> animals = {
        {"chat.jpg", "Chat", "C'est un chat. Miaou !", QColor(120, 120, 130), cat},
        {"chien.jpg", "Chien", "C'est un chien. Ouaf !", QColor(110, 70, 40), dog},
        {"retour.jpg", "Retour", "page_départ.dat", QColor(40, 110, 200), back},
    };
    const QString media = root + QStringLiteral("/multimedia/");
    if (!QFileInfo::exists(media + QStringLiteral("musique.wav"))) {
        QFile wav(media + QStringLiteral("musique.wav"));
        if (!wav.open(QIODevice::WriteOnly) || wav.write(tune()) < 0)
            std::fprintf(stderr, "make_demo: the tune could not be written\n");
    }
    if (!QFileInfo::exists(media + QStringLiteral("film.avi")))
        makeFilm(media + QStringLiteral("film.avi"));
    // A newcomer's first start shows the board, not the box about a missing settings file.
    if (!QFileInfo::exists(root + QStringLiteral("/Tablavox2.cfg")))
        tv::writeTextLines(root + QStringLiteral("/Tablavox2.cfg"), tv::defaultSettingsLines());
    const bool ok =
        writePage(root + QStringLiteral("/pages/page_départ.dat"), layPage(root, start)) &&
        writePage(root + QStringLiteral("/pages/page_animaux.dat"), layPage(root, animals));
    return ok ? 0 : 1;
}
