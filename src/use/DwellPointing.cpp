#include "DwellPointing.h"

#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "page/SentenceBar.h"
#include "platform/Colors.h"
#include "use/Scanning.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace tv {

// The time a rest has taken, drawn over what it rests on: a ring that closes.
class DwellRing : public QWidget {
public:
    explicit DwellRing(QWidget *parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setObjectName(QStringLiteral("anneauPointage"));
    }
    void show(QWidget *over, double progress, const QColor &color, int pen) {
        const QRect place(over->mapTo(parentWidget(), QPoint(0, 0)), over->size());
        if (geometry() != place)
            setGeometry(place);
        progress_ = progress;
        color_ = color;
        pen_ = pen;
        QWidget::show();
        raise();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const int side = std::min(width(), height());
        const int pen = std::clamp(pen_, 4, std::max(4, side / 4));
        const QRectF circle(QPointF(width() - side, height() - side) / 2.0 +
                                QPointF(pen, pen) / 2.0,
                            QSizeF(side - pen, side - pen));
        painter.setPen(QPen(color_, pen, Qt::SolidLine, Qt::FlatCap));
        // From the top, clockwise, as a clock's hand goes.
        painter.drawArc(circle, 90 * 16, -int(progress_ * 360 * 16));
    }

private:
    double progress_ = 0;
    QColor color_;
    int pen_ = 0;
};

DwellPointing::DwellPointing(AppState &state, MainWindow &window, std::function<bool()> busy,
                             std::function<void(int)> press, QObject *parent)
    : QObject(parent), state_(state), window_(window), busy_(std::move(busy)),
      press_(std::move(press)) {
    ring_ = new DwellRing(&window_);
    ring_->hide();
    tick_.setTimerType(Qt::PreciseTimer);
    tick_.setInterval(16);
    due_.setTimerType(Qt::PreciseTimer);
    due_.setSingleShot(true);
    connect(&tick_, &QTimer::timeout, this, &DwellPointing::look);
    connect(&due_, &QTimer::timeout, this, &DwellPointing::look);
    connect(&window_, &MainWindow::pageShown, this, [this] {
        rule_.reset();
        still_ = QCursor::pos();
    });
    clock_.start();
}

DwellPointing::~DwellPointing() {
    qApp->removeEventFilter(this);
}

void DwellPointing::settingsChanged() {
    rule_ = DwellRule(state_.settings.dwell);
    const bool on = state_.settings.accessMode == kAccessDwell;
    if (on && !tick_.isActive()) {
        // A move is seen the moment it happens, not at the next tick.
        qApp->installEventFilter(this);
        tick_.start();
    } else if (!on) {
        qApp->removeEventFilter(this);
        tick_.stop();
        due_.stop();
        ring_->hide();
    }
}

bool DwellPointing::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseMove && watched->isWidgetType())
        look();
    return QObject::eventFilter(watched, event);
}

Target DwellPointing::targetAt(QPoint global) const {
    for (QWidget *w = QApplication::widgetAt(global); w; w = w->parentWidget()) {
        if (auto *picture = qobject_cast<PictureControl *>(w))
            return picture->window() == &window_ ? Target::picture(picture->index()) : Target{};
        if (SentenceBar *bar = window_.sentenceBar()) {
            for (int n = 0; n < bar->controlCount(); ++n) {
                if (w == bar->control(n))
                    return w->isEnabled() ? Target::control(n) : Target{};
            }
        }
    }
    return {};
}

QWidget *DwellPointing::widgetOf(Target target) const {
    if (target.isControl())
        return window_.sentenceBar() ? window_.sentenceBar()->control(target.number) : nullptr;
    return target.isPicture() ? window_.pictureAt(target.number) : nullptr;
}

void DwellPointing::look() {
    if (choosing_ || state_.settings.accessMode != kAccessDwell)
        return;
    // Nothing is chosen behind a menu, a dialog or the player.
    const bool closed = somethingElseIsOpen() || !window_.isVisible() || (busy_ && busy_());
    const qint64 now = clock_.elapsed();
    const QPoint at = QCursor::pos();
    const int tolerance = state_.settings.dwell.tolerancePx;
    if (still_ && (at - *still_).manhattanLength() > tolerance)
        still_.reset();
    const Target chosen = rule_.sample(now, at, closed || still_ ? Target{} : targetAt(at));
    QWidget *over = widgetOf(rule_.target());
    if (over && over->isVisible() && !chosen) {
        ring_->show(over, rule_.progress(now),
                    colorFromValue(state_.settings.frameColor, window_.palette()),
                    state_.settings.frameThickness);
    } else {
        ring_->hide();
    }
    const qint64 due = rule_.dueAt();
    if (due >= 0)
        due_.start(int(std::max<qint64>(0, due - now)));
    else
        due_.stop();
    if (chosen)
        choose(chosen);
}

void DwellPointing::choose(Target target) {
    choosing_ = true;
    if (target.isControl()) {
        if (QWidget *control = widgetOf(target)) {
            // A suggestion chosen is noted with the way in, as a picture is.
            state_.choosing = {kAccessDwell, clock_.elapsed() - rule_.restStartedAt()};
            static_cast<QPushButton *>(control)->click();
            state_.choosing = {};
        }
    } else if (window_.pictureAt(target.number)) {
        state_.choosing = {kAccessDwell, clock_.elapsed() - rule_.restStartedAt()};
        press_(target.number);
    }
    choosing_ = false;
}

} // namespace tv
