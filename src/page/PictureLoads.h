#pragma once

#include "PictureCache.h"

#include "platform/OffThread.h"

#include <QList>
#include <QObject>

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
    int pending() const { return work_.running(); }

signals:
    // One picture of the jobs last started; null when it could not be decoded.
    void decoded(int index, const QString &path, const QImage &image);
    // Every picture of the jobs last started has been handed back.
    void finished();

private:
    struct Decoded {
        Job job;
        FileStamp stamp;
        QImage image;
    };
    void arrived(const Decoded &decoded);

    PictureCache &cache_;
    OffThread work_;
};

} // namespace tv
