#pragma once

#include "PictureCache.h"

#include <QList>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

namespace tv {

// Decodes a page's pictures away from the window's thread, in the order asked (the
// scanning order), and hands each one back as it comes. Asking again abandons what was
// asked before: the pictures of a page left are not waited for.
class PictureLoads : public QObject {
    Q_OBJECT
public:
    explicit PictureLoads(PictureCache &cache, QObject *parent = nullptr);
    ~PictureLoads() override;

    struct Job {
        int index = 0;
        PictureCache::Request request;
    };
    void start(const QList<Job> &jobs);
    void cancel();
    int pending() const { return pending_; }

signals:
    // One picture of the jobs last started; null when it could not be decoded.
    void decoded(int index, const QString &path, const QImage &image);
    // Every picture of the jobs last started has been handed back.
    void finished();

private:
    void arrived(int generation, const Job &job, const FileStamp &stamp, const QImage &image);

    PictureCache &cache_;
    QThreadPool pool_;
    // Read by the decoding threads to skip the jobs of an abandoned page.
    std::shared_ptr<std::atomic<int>> generation_ = std::make_shared<std::atomic<int>>(0);
    int pending_ = 0;
};

} // namespace tv
