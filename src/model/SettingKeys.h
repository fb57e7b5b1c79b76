#pragma once

#include "model/Settings.h"

#include <QString>
#include <QStringList>
#include <span>
#include <variant>

namespace tv {

// The keys of the configuration file that older copies of the program do not know, written
// after its thirteen lines in this order. Each row says everything about its key: reading
// it, writing it, its default and the bounds the properties dialog offers all come from it.
struct SettingKey {
    enum class Type {
        YesNo,  // "oui" or "non"; anything else leaves the default
        Number, // whole milliseconds, pixels or a count, held within [low, high]
        Text,   // at most `high` characters
        Choice, // one of `choices`; anything else, the first
    };
    using Field = std::variant<bool *, int *, QString *>;

    const char16_t *name;
    Type type;
    int low = 0, high = 0;
    // The value a file without the key, or with one that cannot be read, gives.
    int fallback = 0;
    const char16_t *text = u""; // Text and Choice: the default
    // A damaged number is never taken leniently ("12abc" as 12): for times that choose
    // for the person, a misread short one would choose before they mean it.
    bool strict = false;
    QStringList choices = {};
    // Where the value lives in the settings.
    Field (*field)(Settings &) = nullptr;
};

std::span<const SettingKey> settingKeys();
// The row of `name`; the program's own names only (a wrong one is a mistake in the code).
const SettingKey &settingKey(QStringView name);

// Applies a line of one of these keys; false when the key is not one of them.
bool applySettingKey(const QString &key, const QString &value, Settings &settings);
// Every key at its default.
void resetSettingKeys(Settings &settings);
// "key=value" for every key, in the table's order.
QStringList settingKeyLines(const Settings &settings);

} // namespace tv
