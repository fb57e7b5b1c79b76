#pragma once

#include <QByteArray>
#include <QString>

namespace tv {

// Plays a MIDI file through the synthesizer into a WAV image (mono, 16 bits), with a General
// MIDI sound font of the system. Empty, with the reason in `why`, when it cannot.
QByteArray renderMidiToWav(const QString &midiPath, QString *why = nullptr);

} // namespace tv
