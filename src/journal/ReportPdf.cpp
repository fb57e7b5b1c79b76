#include "ReportPdf.h"

#include "platform/PdfFile.h"

#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// Drawing units: tenths of a millimetre on an A4 sheet.
constexpr int kWidth = 2100, kHeight = 2970, kMargin = 150;
constexpr int kInner = kWidth - 2 * kMargin;

const QColor kMessages(40, 90, 170), kPictures(240, 150, 40), kCore(60, 150, 80);

// A sheet written top to bottom; a new one begins when the next block does not fit.
class Sheets {
public:
    Sheets(QPagedPaintDevice &device, QPainter &p) : device_(device), p_(p) { scale(); }
    int y = kMargin;

    void font(int size, bool bold = false) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(size);
        f.setBold(bold);
        p_.setFont(f);
    }
    void room(int height) {
        if (y + height > kHeight - kMargin) {
            device_.newPage();
            y = kMargin;
        }
    }
    void heading(const QString &text) {
        room(200);
        y += 40;
        font(52, true);
        p_.setPen(Qt::black);
        p_.drawText(QRect(kMargin, y, kInner, 70), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 90;
    }
    void line(const QString &text, int size = 38) {
        font(size);
        const QRect box =
            p_.fontMetrics().boundingRect(QRect(kMargin, 0, kInner, 10000), Qt::TextWordWrap, text);
        room(box.height() + 12);
        p_.setPen(Qt::black);
        p_.drawText(QRect(kMargin, y, kInner, box.height()), Qt::TextWordWrap, text);
        y += box.height() + 12;
    }
    // Words laid out in columns, continued on the next sheet when long.
    void columns(const QStringList &items, int count) {
        font(34);
        const int width = kInner / count, height = 48;
        for (int i = 0; i < items.size(); i += count) {
            room(height);
            for (int c = 0; c < count && i + c < items.size(); ++c) {
                const QRect cell(kMargin + c * width, y, width - 20, height);
                p_.drawText(
                    cell, Qt::AlignLeft | Qt::AlignVCenter,
                    p_.fontMetrics().elidedText(items[i + c], Qt::ElideRight, cell.width()));
            }
            y += height;
        }
    }
    QPainter &painter() { return p_; }

private:
    void scale() {
        p_.scale(double(p_.device()->width()) / kWidth, double(p_.device()->height()) / kHeight);
    }
    QPagedPaintDevice &device_;
    QPainter &p_;
};

QString number(double value, int decimals = 1) {
    return QLocale(QLocale::French).toString(value, 'f', decimals);
}

QString dayText(const QDate &day) {
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

// A scale's step: 1, 2 or 5 times a power of ten, for about four steps up to `maximum`.
double roundStep(double maximum) {
    const double rough = std::max(maximum, 1e-9) / 4;
    const double magnitude = std::pow(10, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * magnitude >= rough)
            return m * magnitude;
    }
    return 10 * magnitude;
}

// Axes with a scale on the left, from 0 to a round top; returns the top.
double axes(QPainter &p, const QRect &plot, double maximum, const QString &unit) {
    const double step = roundStep(maximum);
    const int steps = std::max(1, int(std::ceil(maximum / step - 1e-9)));
    const double top = steps * step;
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    QFont f = p.font();
    f.setPixelSize(28);
    p.setFont(f);
    for (int i = 0; i <= steps; ++i) {
        const int y = plot.bottom() - plot.height() * i / steps;
        p.setPen(QPen(QColor(210, 210, 210), 1));
        if (i > 0)
            p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(plot.left() - 140, y - 20, 130, 40), Qt::AlignRight | Qt::AlignVCenter,
                   number(step * i, step < 1 ? 1 : 0));
    }
    p.drawText(QRect(plot.left() - 140, plot.top() - 60, 400, 40), Qt::AlignLeft, unit);
    return top;
}

// Messages and pictures chosen, day by day (week by week over a long period): two bars each.
void perDayPlot(Sheets &s, const UsageReport &r) {
    struct Bar {
        QDate start;
        int messages = 0, pictures = 0;
    };
    QList<Bar> bars;
    const bool weekly = r.days.size() > 62;
    for (const UsageReport::Day &d : r.days) {
        const QDate start = weekly ? d.day.addDays(1 - d.day.dayOfWeek()) : d.day;
        if (bars.isEmpty() || bars.last().start != start)
            bars << Bar{start};
        bars.last().messages += d.messages;
        bars.last().pictures += d.pictures;
    }
    s.room(900);
    QPainter &p = s.painter();
    const QRect plot(kMargin + 150, s.y + 80, kInner - 170, 620);
    int most = 1;
    for (const Bar &b : bars)
        most = std::max({most, b.messages, b.pictures});
    const double top =
        axes(p, plot, most, weekly ? QStringLiteral("par semaine") : QStringLiteral("par jour"));
    const double slot = double(plot.width()) / std::max<qsizetype>(1, bars.size());
    const double bar = std::max(1.0, slot * 0.4);
    QFont f = p.font();
    f.setPixelSize(24);
    p.setFont(f);
    const int labelEvery = int(std::ceil(bars.size() / 12.0));
    for (int i = 0; i < bars.size(); ++i) {
        const double x = plot.left() + i * slot + slot * 0.1;
        const auto height = [&](int n) { return plot.height() * double(n) / top; };
        p.fillRect(
            QRectF(x, plot.bottom() - height(bars[i].messages), bar, height(bars[i].messages)),
            kMessages);
        p.fillRect(QRectF(x + bar, plot.bottom() - height(bars[i].pictures), bar,
                          height(bars[i].pictures)),
                   kPictures);
        if (i % labelEvery == 0) {
            p.setPen(Qt::black);
            p.drawText(QRectF(x - 40, plot.bottom() + 8, 160, 34), Qt::AlignLeft,
                       bars[i].start.toString(QStringLiteral("dd/MM")));
        }
    }
    const int legend = plot.bottom() + 50;
    f.setPixelSize(30);
    p.setFont(f);
    p.fillRect(QRect(plot.left(), legend + 8, 30, 30), kMessages);
    p.drawText(QRect(plot.left() + 40, legend, 500, 44), Qt::AlignVCenter,
               QStringLiteral("messages dits"));
    p.fillRect(QRect(plot.left() + 520, legend + 8, 30, 30), kPictures);
    p.drawText(QRect(plot.left() + 560, legend, 500, 44), Qt::AlignVCenter,
               QStringLiteral("images choisies"));
    s.y = legend + 70;
}

// The time to a choice, week by week: the median, and a line from the first to the third
// quartile.
void timingPlot(Sheets &s, const QString &title, const QList<UsageReport::Week> &weeks) {
    s.line(title, 40);
    s.room(760);
    QPainter &p = s.painter();
    const QRect plot(kMargin + 150, s.y + 70, kInner - 170, 520);
    double most = 1;
    for (const UsageReport::Week &w : weeks)
        most = std::max(most, w.highQuartile / 1000.0);
    const double top = axes(p, plot, most, QStringLiteral("secondes"));
    const double slot = double(plot.width()) / std::max<qsizetype>(1, weeks.size());
    QFont f = p.font();
    f.setPixelSize(24);
    p.setFont(f);
    const int labelEvery = int(std::ceil(weeks.size() / 12.0));
    for (int i = 0; i < weeks.size(); ++i) {
        const double x = plot.left() + (i + 0.5) * slot;
        const auto at = [&](double ms) {
            return plot.bottom() - plot.height() * ms / 1000.0 / top;
        };
        p.setPen(QPen(kMessages, 6));
        p.drawLine(QPointF(x, at(weeks[i].lowQuartile)), QPointF(x, at(weeks[i].highQuartile)));
        p.setBrush(kPictures);
        p.setPen(QPen(Qt::black, 2));
        p.drawEllipse(QPointF(x, at(weeks[i].median)), 14, 14);
        if (i % labelEvery == 0)
            p.drawText(QRectF(x - 60, plot.bottom() + 8, 160, 34), Qt::AlignLeft,
                       weeks[i].monday.toString(QStringLiteral("dd/MM")));
    }
    s.y = plot.bottom() + 60;
    QStringList medians;
    for (const UsageReport::Week &w : weeks)
        medians << QStringLiteral("semaine du %1 : médiane %2 s (%3 à %4 s, %5 choix)")
                       .arg(w.monday.toString(QStringLiteral("dd/MM")), number(w.median / 1000.0),
                            number(w.lowQuartile / 1000.0), number(w.highQuartile / 1000.0))
                       .arg(w.choices);
    for (const QString &m : medians)
        s.line(m, 30);
}

} // namespace

QString paintUsageReport(QPagedPaintDevice &device, const UsageReport &r) {
    QPainter painter;
    if (!painter.begin(&device))
        return QStringLiteral("le rapport n'a pas pu être dessiné");
    Sheets s(device, painter);
    s.font(70, true);
    painter.drawText(QRect(kMargin, s.y, kInner, 100), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Rapport d'utilisation"));
    s.y += 120;
    s.line(r.from.isValid()
               ? QStringLiteral("Période : du %1 au %2").arg(dayText(r.from), dayText(r.to))
               : QStringLiteral("Période : aucun événement noté"),
           42);
    s.line(
        QStringLiteral("Messages dits : %1      Images choisies : %2      Changements de page : %3")
            .arg(r.messages)
            .arg(r.pictures)
            .arg(r.pageChanges));
    s.line(QStringLiteral("Mots par message : %1").arg(number(r.wordsPerMessage)));
    s.line(QStringLiteral("lignes illisibles : %1").arg(r.unreadable), 30);

    s.heading(QStringLiteral("Messages et images par jour"));
    perDayPlot(s, r);

    s.heading(QStringLiteral("Les 20 mots les plus utilisés"));
    QStringList top;
    for (const UsageReport::Count &c : r.topWords)
        top << QStringLiteral("%1 × %2").arg(c.count).arg(c.word);
    s.columns(top.isEmpty() ? QStringList{QStringLiteral("aucun")} : top, 2);

    s.heading(QStringLiteral("Mots de base et autres mots"));
    const int all = r.coreChoices + r.otherChoices;
    const double core = all ? 100.0 * r.coreChoices / all : 0;
    s.line(QStringLiteral("Mots de base (page « Premiers mots ») : %1 % (%2 choix) ; autres mots : "
                          "%3 % (%4 choix)")
               .arg(number(core))
               .arg(r.coreChoices)
               .arg(number(all ? 100 - core : 0))
               .arg(r.otherChoices));
    s.room(90);
    painter.fillRect(QRectF(kMargin, s.y, kInner, 50), QColor(225, 225, 225));
    painter.fillRect(QRectF(kMargin, s.y, kInner * core / 100.0, 50), kCore);
    s.y += 80;

    s.heading(QStringLiteral("Mots utilisés pour la première fois"));
    s.columns(r.newWords.isEmpty() ? QStringList{QStringLiteral("aucun")} : r.newWords, 3);

    s.heading(QStringLiteral("Temps pour choisir"));
    if (r.scanning.isEmpty() && r.dwell.isEmpty())
        s.line(QStringLiteral("Aucun choix par défilement ni par pointage dans la période."));
    if (!r.scanning.isEmpty())
        timingPlot(s, QStringLiteral("Défilement : du cadre sur l'image au choix"), r.scanning);
    if (!r.dwell.isEmpty())
        timingPlot(s, QStringLiteral("Pointage : du repos sur l'image au choix"), r.dwell);

    s.heading(QStringLiteral("Images des pages utilisées jamais choisies"));
    s.columns(r.neverChosen.isEmpty() ? QStringList{QStringLiteral("aucune")} : r.neverChosen, 2);
    return painter.end() ? QString() : QStringLiteral("le rapport n'a pas pu être dessiné");
}

QString writeUsageReportPdf(const QString &path, const UsageReport &report) {
    return writePdfFile(path, QStringLiteral("Rapport d'utilisation"),
                        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter),
                        [&](QPdfWriter &pdf) { return paintUsageReport(pdf, report); });
}

} // namespace tv
