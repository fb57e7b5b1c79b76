#pragma once

#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <utility>

namespace tv {

// Work run away from the window's thread, its result handed back on the window's thread.
// Every piece of work belongs to a generation; renew() starts a new one and makes all that
// was started before stale: not begun, it never runs; running, it can see so through its
// token and stop early; done, its result is not delivered (or goes to `late`, for what is
// still worth keeping). Nothing is delivered once the helper is gone: its destructor makes
// everything stale and waits for the work under way. No event loop is ever entered.
class OffThread : public QObject {
public:
    // What a piece of work is told: whether it has become stale.
    class Token {
    public:
        bool stale() const { return generation_->load() != mine_; }

    private:
        friend class OffThread;
        Token(std::shared_ptr<std::atomic<int>> generation, int mine)
            : generation_(std::move(generation)), mine_(mine) {}
        std::shared_ptr<std::atomic<int>> generation_;
        int mine_;
    };

    // `threads`: how many pieces of work may run at once.
    explicit OffThread(int threads = 1, QObject *parent = nullptr) : QObject(parent) {
        pool_.setMaxThreadCount(std::max(1, threads));
    }
    ~OffThread() override {
        renew();
        pool_.waitForDone();
    }

    // Everything started so far becomes stale.
    void renew() {
        ++*generation_;
        pool_.clear();
        running_ = 0;
    }
    // Pieces of work of the current generation not yet delivered.
    int running() const { return running_; }
    // Waits for the work under way, stale or not, to end (the program is closing).
    void waitForDone() { pool_.waitForDone(); }

    // Runs `work(token)` off the window's thread; `deliver(result)` on the window's thread
    // while the generation lasts, `late(result)` there otherwise.
    template <typename Work, typename Deliver, typename Late = std::nullptr_t>
    void run(Work work, Deliver deliver, Late late = nullptr) {
        const Token token(generation_, generation_->load());
        ++running_;
        pool_.start([this, token, work, deliver, late] {
            if (token.stale())
                return;
            auto result = work(token);
            // Queued to this object: delivered on its thread, and dropped with it.
            QMetaObject::invokeMethod(
                this,
                [this, token, deliver, late, result] {
                    if (!token.stale()) {
                        --running_;
                        deliver(result);
                    } else if constexpr (!std::is_same_v<Late, std::nullptr_t>) {
                        late(result);
                    } else {
                        (void)late;
                    }
                },
                Qt::QueuedConnection);
        });
    }

private:
    QThreadPool pool_;
    std::shared_ptr<std::atomic<int>> generation_ = std::make_shared<std::atomic<int>>(0);
    int running_ = 0;
};

} // namespace tv
