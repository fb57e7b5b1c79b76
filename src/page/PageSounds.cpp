#include "PageSounds.h"

#include "platform/Services.h"

#include <QFile>

namespace tv {

QByteArray PageSounds::storedSound(int n) {
    if (n < 1 || n > 9)
        return {};
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(n));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void PageSounds::playPageSound(int n) {
    const QByteArray sound = storedSound(n);
    if (sound.isEmpty())
        return;
    pageSoundData_ = sound;
    player_.playWav(pageSoundData_);
}

} // namespace tv
