#include "LaunchWindow.h"

#include "platform/Units.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace tv {

namespace {

constexpr int kTroughTwips = 3675;
constexpr int kBarHeightTwips = 450;
constexpr int kTroughBorderPixels = 2;
constexpr int kStepTwips = 90;

QPixmap barPicture() {
    QImage image(64, 30, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 30);
    g.setColorAt(0, QColor(120, 200, 120));
    g.setColorAt(1, QColor(30, 120, 50));
    p.fillRect(image.rect(), g);
    return QPixmap::fromImage(image);
}

// A round button face: a white symbol on a coloured disc.
QIcon buttonFace(const QColor &disc, const std::function<void(QPainter &)> &symbol) {
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(disc);
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, 44, 44);
    p.setBrush(Qt::white);
    symbol(p);
    return QIcon(pm);
}

QIcon goFace() {
    return buttonFace(QColor(40, 160, 60), [](QPainter &p) {
        const QPointF arrow[3] = {{18, 12}, {36, 24}, {18, 36}};
        p.drawPolygon(arrow, 3);
    });
}

QIcon stopFace() {
    return buttonFace(QColor(200, 40, 40), [](QPainter &p) { p.drawRect(15, 15, 18, 18); });
}

// A row of picture cards: what the program is about, at a glance.
QPixmap decoration() {
    QPixmap pm(240, 60);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colors[4] = {{230, 120, 60}, {70, 140, 210}, {240, 200, 60}, {120, 180, 90}};
    for (int i = 0; i < 4; ++i) {
        const QRectF card(6 + i * 58, 6, 50, 48);
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(card, 6, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(colors[i]);
        p.drawEllipse(card.center(), 14, 14);
    }
    return pm;
}

} // namespace

LaunchWindow::LaunchWindow(const TwipsPerPixel &tpp, QWidget *parent)
    : QWidget(parent), tppX_(tpp.x) {
    setObjectName(QStringLiteral("frmDémarre_Imagivox"));
    setWindowTitle(QStringLiteral("Tablavox 2"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(224, 224, 224));
    setPalette(pal);

    const int troughPx = twipsToScreenPixels(kTroughTwips, tpp.x);
    const int barHeightPx = twipsToScreenPixels(kBarHeightTwips, tpp.y);
    troughInner_ = kTroughTwips - int(2 * kTroughBorderPixels * tpp.x);
    const int margin = 24;
    setFixedSize(troughPx + 2 * margin, 300);

    auto *label1 = new QLabel(QStringLiteral("Tablavox 2"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Arial Black"), 24, QFont::Black);
    label1->setFont(titleFont);
    label1->setGeometry(margin, 12, troughPx, 48);

    auto *label4 = new QLabel(QStringLiteral("Version 2.0 — parler en images"), this);
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setGeometry(margin, 60, troughPx, 20);

    auto *deco = new QLabel(this);
    deco->setPixmap(decoration());
    deco->setGeometry(margin, 86, 240, 60);

    picture1_ = new QFrame(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture1_->setLineWidth(kTroughBorderPixels);
    picture1_->setGeometry(margin, 156, troughPx, barHeightPx + 2 * kTroughBorderPixels);

    image3_ = new QLabel(picture1_);
    image3_->setObjectName(QStringLiteral("Image3"));
    image3_->setPixmap(barPicture());
    image3_->setScaledContents(true);
    image3_->setGeometry(kTroughBorderPixels, kTroughBorderPixels,
                         std::max(1, twipsToScreenPixels(barWidth_, tpp.x)), barHeightPx);

    lblLancement_ = new QLabel(QStringLiteral("Lancement prêt ..."), this);
    lblLancement_->setObjectName(QStringLiteral("lblLancement"));
    lblLancement_->setGeometry(margin, 196, troughPx, 20);
    lblLancement_->hide();

    cmdGo_ = new QPushButton(goFace(), QString(), this);
    cmdGo_->setObjectName(QStringLiteral("cmdGo"));
    cmdGo_->setIconSize(QSize(40, 40));
    cmdGo_->setToolTip(QStringLiteral("Démarrer"));
    cmdGo_->setAccessibleName(cmdGo_->toolTip()); // a picture only: a screen reader says this
    cmdGo_->setGeometry(margin, 228, 56, 56);
    cmdGo_->setEnabled(false);
    connect(cmdGo_, &QPushButton::clicked, this, &LaunchWindow::goRequested);

    cmdStop_ = new QPushButton(stopFace(), QString(), this);
    cmdStop_->setObjectName(QStringLiteral("cmd_stop"));
    cmdStop_->setIconSize(QSize(40, 40));
    cmdStop_->setToolTip(QStringLiteral("Arrête le programme"));
    cmdStop_->setAccessibleName(cmdStop_->toolTip());
    cmdStop_->setGeometry(margin + troughPx - 56, 228, 56, 56);
    connect(cmdStop_, &QPushButton::clicked, this, &LaunchWindow::stopRequested);

    timerLance_ = new QTimer(this);
    timerLance_->setObjectName(QStringLiteral("timer_lance"));
    timerLance_->setInterval(50);
    connect(timerLance_, &QTimer::timeout, this, &LaunchWindow::tick);
    timerLance_->start();
}

bool LaunchWindow::isRunning() const {
    return timerLance_->isActive();
}

void LaunchWindow::stopProgress() {
    timerLance_->stop();
}

void LaunchWindow::tick() {
    barWidth_ += kStepTwips;
    image3_->resize(
        std::min(twipsToScreenPixels(barWidth_, tppX_), picture1_->contentsRect().width()),
        image3_->height());
    if (troughInner_ / 2.0 <= barWidth_) {
        lblLancement_->show();
        cmdGo_->setEnabled(true);
    }
    if (barWidth_ >= troughInner_) {
        timerLance_->stop();
        emit goRequested();
    }
}

void LaunchWindow::mousePressEvent(QMouseEvent *event) {
    // Only the background pauses and resumes the countdown.
    if (childAt(event->position().toPoint()) != nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (timerLance_->isActive())
        timerLance_->stop();
    else
        timerLance_->start();
}

} // namespace tv
