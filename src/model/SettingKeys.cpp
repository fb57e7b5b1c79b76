#include "SettingKeys.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

using Type = SettingKey::Type;

template <auto Member> SettingKey::Field at(Settings &s) {
    return &(s.*Member);
}
template <auto Group, auto Member> SettingKey::Field in(Settings &s) {
    return &((s.*Group).*Member);
}

const QStringList kPatterns = {kPatternAuto, kPatternStep, kPatternRows};
const QStringList kGenders = {kGenderMasculine, kGenderFeminine};

// clang-format off
const SettingKey kKeys[] = {
    {u"bandeau_phrase", Type::YesNo, 0, 0, 0, u"", false, {}, at<&Settings::sentenceBar>},
    {u"bandeau_dire", Type::YesNo, 0, 0, 1, u"", false, {}, at<&Settings::sayEachPhrase>},
    {u"contacteur_touche", Type::Text, 0, 20, 0, u"", false, {},
     in<&Settings::switches, &SwitchSettings::selectKey>},
    {u"contacteur_avance", Type::Text, 0, 20, 0, u"espace", false, {},
     in<&Settings::switches, &SwitchSettings::stepKey>},
    {u"contacteur_acceptation", Type::Number, 0, 5000, 0, u"", false, {},
     in<&Settings::switches, &SwitchSettings::acceptanceMs>},
    {u"contacteur_relachement", Type::Number, 0, 5000, 0, u"", false, {},
     in<&Settings::switches, &SwitchSettings::releaseMs>},
    {u"défilement_mode", Type::Choice, 0, 0, 0, u"auto", false, kPatterns,
     in<&Settings::switches, &SwitchSettings::pattern>},
    {u"défilement_tours", Type::Number, 0, 100, 0, u"", false, {},
     in<&Settings::switches, &SwitchSettings::rounds>},
    {u"défilement_annonce", Type::YesNo, 0, 0, 0, u"", false, {},
     in<&Settings::switches, &SwitchSettings::cues>},
    {u"défilement_adaptatif", Type::YesNo, 0, 0, 0, u"", false, {},
     in<&Settings::switches, &SwitchSettings::adaptive>},
    {u"défilement_min", Type::Number, 100, 30000, 500, u"", false, {},
     in<&Settings::switches, &SwitchSettings::adaptiveMinMs>},
    {u"défilement_max", Type::Number, 100, 30000, 5000, u"", false, {},
     in<&Settings::switches, &SwitchSettings::adaptiveMaxMs>},
    {u"pointage_délai", Type::Number, 300, 5000, 1000, u"", true, {},
     in<&Settings::dwell, &DwellSettings::delayMs>},
    {u"pointage_tolérance", Type::Number, 0, 150, 30, u"", true, {},
     in<&Settings::dwell, &DwellSettings::tolerancePx>},
    {u"pointage_répète", Type::YesNo, 0, 0, 0, u"", false, {},
     in<&Settings::dwell, &DwellSettings::repeat>},
    {u"verrouillage", Type::YesNo, 0, 0, 0, u"", false, {}, at<&Settings::locked>},
    {u"plein_écran", Type::YesNo, 0, 0, 0, u"", false, {}, at<&Settings::fullScreen>},
    {u"genre", Type::Choice, 0, 0, 0, u"masculin", false, kGenders, at<&Settings::personGender>},
    {u"journal", Type::YesNo, 0, 0, 0, u"", false, {}, at<&Settings::usageLog>},
    {u"prédiction", Type::YesNo, 0, 0, 0, u"", false, {}, at<&Settings::prediction>},
    {u"prédiction_nombre", Type::Number, 0, 8, 4, u"", false, {},
     at<&Settings::predictionCount>},
    {u"déjà_dit", Type::YesNo, 0, 0, 0, u"", false, {}, at<&Settings::alreadySaid>},
};
// clang-format on

int numberFrom(const SettingKey &k, const QString &value) {
    double n = 0;
    if (k.strict) {
        const auto strict = parseStrictNumber(value);
        if (!strict)
            return k.fallback;
        n = *strict;
    } else {
        if (value.trimmed().isEmpty())
            return k.fallback;
        n = parseLenientNumber(value);
    }
    if (!std::isfinite(n))
        return k.fallback;
    return int(std::clamp(std::trunc(n), double(k.low), double(k.high)));
}

void apply(const SettingKey &k, const QString &value, Settings &s) {
    const SettingKey::Field field = k.field(s);
    switch (k.type) {
    case Type::YesNo:
        if (value == QLatin1String("oui") || value == QLatin1String("non"))
            *std::get<bool *>(field) = value == QLatin1String("oui");
        else
            *std::get<bool *>(field) = k.fallback != 0;
        break;
    case Type::Number:
        *std::get<int *>(field) = numberFrom(k, value);
        break;
    case Type::Text:
        *std::get<QString *>(field) = value.left(k.high);
        break;
    case Type::Choice:
        *std::get<QString *>(field) = k.choices.contains(value) ? value : k.choices.first();
        break;
    }
}

} // namespace

std::span<const SettingKey> settingKeys() {
    return kKeys;
}

const SettingKey &settingKey(QStringView name) {
    for (const SettingKey &k : kKeys) {
        if (name == QStringView(k.name))
            return k;
    }
    qFatal("unknown setting key");
}

bool applySettingKey(const QString &key, const QString &value, Settings &settings) {
    for (const SettingKey &k : kKeys) {
        if (key == QStringView(k.name)) {
            apply(k, value, settings);
            return true;
        }
    }
    return false;
}

void resetSettingKeys(Settings &s) {
    for (const SettingKey &k : kKeys) {
        const SettingKey::Field field = k.field(s);
        if (k.type == Type::YesNo)
            *std::get<bool *>(field) = k.fallback != 0;
        else if (k.type == Type::Number)
            *std::get<int *>(field) = k.fallback;
        else
            *std::get<QString *>(field) = QString::fromUtf16(k.text);
    }
}

QStringList settingKeyLines(const Settings &settings) {
    Settings s = settings; // the fields are reached through the same accessors as for reading
    QStringList lines;
    for (const SettingKey &k : kKeys) {
        const SettingKey::Field field = k.field(s);
        QString value;
        if (k.type == Type::YesNo)
            value = *std::get<bool *>(field) ? QStringLiteral("oui") : QStringLiteral("non");
        else if (k.type == Type::Number)
            value = QString::number(*std::get<int *>(field));
        else
            value = *std::get<QString *>(field);
        lines << QString::fromUtf16(k.name) + u'=' + value;
    }
    return lines;
}

} // namespace tv
