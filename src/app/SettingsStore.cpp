#include "SettingsStore.h"

#include "model/AppState.h"
#include "platform/Dialogs.h"
#include "platform/TextFile.h"

namespace tv {

SettingsStore::SettingsStore(AppState &state, Dialogs &dialogs) : state_(state), dialogs_(dialogs) {
}

SettingsReadOutcome SettingsStore::commit(const SettingsReadOutcome &outcome) {
    state_.settings = outcome.settings;
    if (outcome.pageColorRead)
        state_.page.pageColor = outcome.pageColor;
    return outcome;
}

SettingsReadOutcome SettingsStore::read() {
    const QString path = state_.paths.configFile();
    const TextReadResult first = readTextLines(path);
    if (first.ok) {
        const SettingsReadOutcome outcome = parseSettings(first.lines, state_.settings, state_.tpp);
        if (outcome.ok)
            return commit(outcome);
    }
    dialogs_.message(QStringLiteral("Le fichier de configuration n'existe pas\r\n"
                                    "Il va être créé avec les valeurs par défaut"),
                     MessageIcon::Critical, MessageButtons::Ok);
    const TextWriteResult written =
        writeTextLines(path, defaultSettingsLines(), state_.paths.dataDirectory);
    const TextReadResult second =
        written.ok ? readTextLines(path) : TextReadResult{false, {}, written.error};
    if (!second.ok) {
        // A read-only program directory: one message, then the defaults without a file.
        dialogs_.message(QStringLiteral("Le fichier de configuration ''Tablavox2.cfg'' n'a pas pu "
                                        "être créé.\r\n%1\r\nLe programme continue avec les "
                                        "valeurs par défaut.")
                             .arg(second.error),
                         MessageIcon::Critical, MessageButtons::Ok);
        return commit(parseSettings(defaultSettingsLines(), state_.settings, state_.tpp));
    }
    return commit(parseSettings(second.lines, state_.settings, state_.tpp));
}

bool SettingsStore::write(const WindowTwips &window, const EditedSettings &edited) {
    const TextWriteResult result = writeTextLines(
        state_.paths.configFile(), formatSettings(state_.settings, edited, window, state_.tpp),
        state_.paths.dataDirectory);
    if (!result.ok) {
        dialogs_.message(
            QStringLiteral("La configuration n'a pas été enregistrée.\r\n%1").arg(result.error),
            MessageIcon::Critical, MessageButtons::Ok);
    }
    return result.ok;
}

} // namespace tv
