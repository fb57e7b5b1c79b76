#include "PictureLoads.h"

namespace tv {

// The decoding threads keep the normal priority: lowered, they lost to every other busy
// program and a page took twice as long to fill in on a loaded machine, while the window's
// thread, which never decodes, answered as fast either way.
PictureLoads::PictureLoads(PictureCache &cache, QObject *parent)
    : QObject(parent), cache_(cache), work_(QThread::idealThreadCount()) {
}

PictureLoads::~PictureLoads() = default;

void PictureLoads::cancel() {
    work_.renew();
}

void PictureLoads::start(const QList<Job> &jobs) {
    cancel();
    DiskPictureCache *disk = cache_.disk();
    for (const Job &job : jobs) {
        work_.run(
            [job, disk](const OffThread::Token &) {
                const FileStamp stamp = stampOf(job.request.path);
                return Decoded{job, stamp, PictureCache::produce(disk, job.request, stamp)};
            },
            [this](const Decoded &d) { arrived(d); },
            // A page left before its pictures came: they are kept for the next visit.
            [this](const Decoded &d) { cache_.keep(d.job.request, d.stamp, d.image); });
    }
}

void PictureLoads::arrived(const Decoded &d) {
    cache_.keep(d.job.request, d.stamp, d.image);
    emit decoded(d.job.index, d.job.request.path, d.image);
    if (work_.running() == 0)
        emit finished();
}

} // namespace tv
