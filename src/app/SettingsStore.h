#pragma once

#include "model/Settings.h"

namespace tv {

struct AppState;
class Dialogs;

// Reads and writes the configuration file beside the program.
class SettingsStore {
public:
    SettingsStore(AppState &state, Dialogs &dialogs);

    // Fills the settings (and the page colour); an unreadable file is replaced by the
    // default file, with a message. Never fails: at worst the defaults are used.
    SettingsReadOutcome read();

    // False, after telling the carer, when the file could not be written.
    bool write(const WindowTwips &window, const EditedSettings &edited);

private:
    SettingsReadOutcome commit(const SettingsReadOutcome &outcome);

    AppState &state_;
    Dialogs &dialogs_;
};

} // namespace tv
