#pragma once

#include "Services.h"

#include <QLockFile>
#include <memory>

namespace tv {

class QtCursorPlacer final : public CursorPlacer {
public:
    void moveTo(const QPoint &globalPos) override;
};

class ThreadWaiter final : public Waiter {
public:
    void waitMs(int milliseconds) override;
};

// A lock file named after the program directory. The lock records the owner's process id,
// so the lock of a copy that crashed is taken over instead of refusing every later start.
class LockFileInstanceGuard final : public InstanceGuard {
public:
    explicit LockFileInstanceGuard(const QString &dataDirectory);
    bool acquire() override;
    QString lockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace tv
