#pragma once

#include <QString>

namespace tv {

struct SpeechText {
    QString text;
    bool markup = false; // read the tags instead of saying them
};

// Phrases carry the voice tags of older page sets: <volume level="0..100">,
// <pitch middle="-10..10">, <rate speed="-10..10"> (or absspeed), <emph>,
// <silence msec="n"/>, <spell>; each may also stand alone (<rate speed="5"/>) and then holds
// to the end of what encloses it. They become the engine's speech markup. A few standard
// tags pass as they are (<break>, <prosody>, <emphasis>, <say-as>); <voice> and every other
// tag are left out, never read out. An element left open holds to the end of the phrase. Markup
// whose tags do not nest (a closing tag that closes nothing open, or another than the last
// opened) is said as the text without its tags.
SpeechText prepareSpeech(const QString &phrase);

} // namespace tv
