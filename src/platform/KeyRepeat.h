#pragma once

namespace tv {

// Asks the X server to send a held key as one press followed by repeated presses, without
// the release it otherwise sends before each repeat: a switch held down is then one press
// however long it is held. False where there is no X server or it cannot do so; the
// switches then tell repeats by the events' server times alone.
bool reportHeldKeysWithoutReleases();

} // namespace tv
