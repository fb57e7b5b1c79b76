#pragma once

#include <QString>

namespace tv {

struct SpeechText {
    QString text;
    bool markup = false; // read the tags instead of saying them
};

// Phrases may carry the voice tags of older page sets (<silence msec="500"/>,
// <rate speed="-5">…</rate>, <emph>…</emph>) or standard speech markup. Tags that are not
// well formed ("Tom & Jerry", a lone "<") make the phrase plain text: it is said, never
// silenced.
SpeechText prepareSpeech(const QString &phrase);

} // namespace tv
