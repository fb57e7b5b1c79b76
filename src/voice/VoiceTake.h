#pragma once

#include <QByteArray>
#include <QString>

namespace tv {

// What a recorder keeps of a voice: 16-bit mono samples, little-endian.

// The loudest sample of a stretch, as a share of full scale (0 to 1).
double peakOf(const QByteArray &pcm);
// A meter's reading of that peak: 0 at −60 dBFS and below, 1 at full scale.
double meterReading(double peak);

// The voice without the silence before and after it (a short margin kept, so no word is
// clipped), its loudest sample brought to −1 dBFS. Empty when nothing louder than the room
// was heard.
QByteArray trimAndLevel(const QByteArray &pcm, int sampleRate);

// The loudest sample after trimAndLevel, as a share of full scale.
inline constexpr double kLevelledPeak = 0.891251; // −1 dBFS

// The file a voice is kept in, from the picture's phrase, as symbols are named:
// "Bonjour maman" → "bonjour_maman"; "voix" for a picture without a phrase.
QString voiceFileStem(const QString &phrase);

// Writes the voice as a WAV file into `multimediaDirectory`/voix, never over another file:
// "NAME.wav", else "NAME_2.wav", and so on. The bytes are whole on the disk before the
// name appears, so a full disk or a killed program never leaves half a file under it.
// The name the page refers to it by ("voix\NAME.wav"), or empty with the reason.
QString keepVoice(const QByteArray &pcm, int sampleRate, const QString &phrase,
                  const QString &multimediaDirectory, QString *error);

} // namespace tv
