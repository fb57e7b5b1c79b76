#include "PictureLoads.h"

namespace tv {

// The decoding threads keep the normal priority: lowered, they lost to every other busy
// program and a page took twice as long to fill in on a loaded machine, while the window's
// thread, which never decodes, answered as fast either way.
PictureLoads::PictureLoads(PictureCache &cache, QObject *parent) : QObject(parent), cache_(cache) {
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

PictureLoads::~PictureLoads() {
    cancel();
    pool_.waitForDone();
}

void PictureLoads::cancel() {
    ++*generation_;
    pool_.clear();
    pending_ = 0;
}

void PictureLoads::start(const QList<Job> &jobs) {
    cancel();
    const int generation = *generation_;
    pending_ = int(jobs.size());
    DiskPictureCache *disk = cache_.disk();
    for (const Job &job : jobs) {
        pool_.start([this, job, generation, disk, current = generation_] {
            if (*current != generation)
                return;
            const FileStamp stamp = stampOf(job.request.path);
            const QImage image = PictureCache::produce(disk, job.request, stamp);
            // Queued to this object: delivered on the window's thread, dropped with it.
            QMetaObject::invokeMethod(
                this,
                [this, generation, job, stamp, image] { arrived(generation, job, stamp, image); },
                Qt::QueuedConnection);
        });
    }
}

void PictureLoads::arrived(int generation, const Job &job, const FileStamp &stamp,
                           const QImage &image) {
    cache_.keep(job.request, stamp, image);
    if (generation != *generation_)
        return;
    --pending_;
    emit decoded(job.index, job.request.path, image);
    if (pending_ == 0)
        emit finished();
}

} // namespace tv
