#include "PcmStream.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QMediaDevices>
#include <QThread>

namespace tv {

PcmStream::PcmStream(const QAudioFormat &format, QObject *parent)
    : QObject(parent), format_(format) {
    pumpTimer_ = new QTimer(this);
    pumpTimer_->setInterval(5);
    connect(pumpTimer_, &QTimer::timeout, this, &PcmStream::pump);
}

PcmStream::~PcmStream() {
    if (sink_)
        sink_->stop();
}

bool PcmStream::ensureSink() {
    if (sink_)
        return true;
    // The audio server's outputs are listed a moment after the first connection; an
    // output that is not there at first may still come.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    sink_ = new QAudioSink(device, format_, this);
    return true;
}

bool PcmStream::available(int waitMs) {
    QDeadlineTimer deadline(waitMs);
    while (!ensureSink() && !deadline.hasExpired())
        QThread::msleep(50);
    return sink_ != nullptr;
}

void PcmStream::restart() {
    pumpTimer_->stop();
    pending_.clear();
    startedSignalled_ = false;
    if (sink_ && device_) {
        sink_->stop();
        device_ = nullptr;
    }
}

void PcmStream::append(const QByteArray &pcm) {
    if (!ensureSink())
        return;
    pending_ += pcm;
    pump();
}

bool PcmStream::isPlaying() const {
    return device_ && (!pending_.isEmpty() || sink_->state() == QAudio::ActiveState);
}

void PcmStream::pump() {
    if (!sink_)
        return;
    if (!device_) {
        device_ = sink_->start();
        if (!device_) {
            pending_.clear();
            return;
        }
    }
    const qint64 room = sink_->bytesFree();
    const qint64 n = std::min<qint64>(room, pending_.size());
    if (n > 0) {
        const qint64 written = device_->write(pending_.constData(), n);
        if (written > 0) {
            pending_.remove(0, written);
            if (!startedSignalled_) {
                startedSignalled_ = true;
                emit started();
            }
        }
    }
    if (pending_.isEmpty())
        pumpTimer_->stop();
    else if (!pumpTimer_->isActive())
        pumpTimer_->start();
}

} // namespace tv
