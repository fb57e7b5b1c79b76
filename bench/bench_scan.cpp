// Scanning step timing: how far each step lands from when it was due, with 50 pictures on
// the page and the frame and cursor moved at every step. Run it on a display (offscreen
// works: QT_QPA_PLATFORM=offscreen).

#include "platform/AppState.h"
#include "page/MainWindow.h"
#include "page/PictureControl.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "platform/StandInServices.h"
#include "use/Scanning.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

class NoDialogs final : public tv::Dialogs {
public:
    tv::MessageAnswer message(const QString &, tv::MessageIcon, tv::MessageButtons,
                              const QString &) override {
        return tv::MessageAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFile(const tv::OpenFileRequest &) override { return {}; }
    std::optional<qint32> chooseColor() override { return {}; }
};

class RealCursor final : public tv::CursorPlacer {
public:
    void moveTo(const QPoint &p) override { QCursor::setPos(p); }
};

class NoWait final : public tv::Waiter {
public:
    void waitMs(int) override {}
};

double percentile(QList<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[qsizetype(q * double(v.size() - 1))];
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    constexpr int kSteps = 200;
    const int interval = argc > 1 ? std::atoi(argv[1]) : 150;

    tv::AppState state;
    state.tpp = {15, 15};
    state.settings.frameBlink = true;
    NoDialogs dialogs;
    tv::SilentSpeech speech;
    tv::SilentSoundPlayer sounds;
    tv::SilentMediaPlayer media;
    RealCursor cursor;
    NoWait waiter;
    tv::Services services{dialogs, speech, sounds, media, cursor, waiter};
    tv::MainWindow window(state);
    QImage picture(96, 96, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    for (int n = 1; n <= tv::kMaxImages; ++n) {
        tv::PictureControl *c = window.createPicture(n);
        c->setTwipsGeometry(((n - 1) % 10) * 1500 + 150, ((n - 1) / 10) * 1500 + 150, 1200, 1200);
        c->setPicture(picture);
        c->show();
    }
    state.page.imageCount = tv::kMaxImages;
    window.resize(1000, 800);
    window.show();

    QElapsedTimer clock;
    QList<double> late, between;
    double previous = 0;
    // Measured as the step begins, before the frame and the cursor move.
    QObject::connect(window.scanTimer(), &QTimer::timeout, [&] {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        const int k = int(late.size()) + 1;
        late << std::abs(now - double(k) * interval);
        if (k > 1)
            between << std::abs(now - previous - interval);
        previous = now;
        if (k == kSteps)
            app.quit();
    });
    tv::Scanning scanning(state, window, services);
    window.scanTimer()->setInterval(interval);
    clock.start();
    window.scanTimer()->start();
    app.exec();

    std::printf("scanning steps: %d at %d ms, 50 pictures, blinking frame\n", kSteps, interval);
    std::printf(
        "step vs. its due time:     median %6.2f ms, worst %6.2f ms   (target worst < 10 ms)\n",
        percentile(late, 0.5), percentile(late, 1.0));
    std::printf("interval vs. the setting:  median %6.2f ms, worst %6.2f ms\n",
                percentile(between, 0.5), percentile(between, 1.0));
    return 0;
}
