#include "Settings.h"

#include "SettingKeys.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>

namespace tv {

static QString trimBlanks(const QString &s) {
    int b = 0, e = int(s.size());
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

static bool isKey(const QString &key, const char *plain) {
    const QString p = QString::fromUtf8(plain);
    if (key == p)
        return true;
    if (p.startsWith(QLatin1String("fenetre_"))) {
        QString accented = p;
        accented.replace(0, 8, QStringLiteral("fenêtre_"));
        return key == accented;
    }
    return false;
}

// Applies one key; false on a failure that sends the reader to its recovery.
static bool applyLine(const QString &key, const QString &value, SettingsReadOutcome &out,
                      TwipsPerPixel tpp) {
    Settings &s = out.settings;
    if (isKey(key, "fenetre_gauche") || isKey(key, "fenetre_haut") ||
        isKey(key, "fenetre_largeur") || isKey(key, "fenetre_hauteur")) {
        const auto n = parseStrictNumber(value);
        if (!n)
            return false;
        if (isKey(key, "fenetre_gauche")) {
            s.windowLeft = std::max(0.0, *n * tpp.x);
        } else if (isKey(key, "fenetre_haut")) {
            s.windowTop = std::max(0.0, *n * tpp.y);
        } else if (isKey(key, "fenetre_largeur")) {
            const double w = *n * tpp.x;
            s.windowWidth = w <= 0 ? 800 * tpp.x : w;
        } else {
            const auto h = toInt16(*n * tpp.y);
            if (!h)
                return false;
            s.windowHeight = *h <= 0 ? qint16(roundHalfEven(600 * tpp.y)) : *h;
        }
    } else if (key == QStringLiteral("accès")) {
        s.accessMode = value == kAccessScanning || value == kAccessDwell ? value : kAccessMouse;
    } else if (key == QLatin1String("temporisation")) {
        const auto d = toInt16(parseLenientNumber(value));
        if (!d)
            return false;
        s.scanDelay = *d <= 0 ? 2000 : *d;
    } else if (key == QLatin1String("couleur_fond")) {
        s.backgroundColor = value.isEmpty() ? 16777215 : parseLenientNumber(value);
        const auto c = toInt32(s.backgroundColor);
        if (!c)
            return false;
        out.pageColor = *c;
        out.pageColorRead = true;
    } else if (key == QStringLiteral("cadre_épaisseur")) {
        const auto t = toInt16(parseLenientNumber(value));
        if (!t)
            return false;
        // 0 and negative widths would hide the frame; a huge one would swallow the page.
        if (*t <= 0)
            s.frameThickness = 10;
        else
            s.frameThickness = qint16(std::min<int>(*t, kMaxFrameThickness));
    } else if (key == QLatin1String("cadre_couleur")) {
        const auto c = toInt32(parseLenientNumber(value));
        if (!c)
            return false;
        s.frameColor = *c;
        out.frameBorderColor = *c;
        if (value.isEmpty())
            s.frameColor = 255;
    } else if (key == QLatin1String("cadre_clignote")) {
        s.frameBlink = value == QLatin1String("oui");
    } else if (key == QLatin1String("video_largeur")) {
        s.videoWidth = parseLenientNumber(value);
        out.videoWidthRead = true;
    } else if (key == QLatin1String("video_hauteur")) {
        const auto h = toInt16(parseLenientNumber(value));
        if (!h)
            return false;
        s.videoHeight = *h;
        out.videoHeightRead = true;
    } else if (applySettingKey(key, value, s)) {
    } else if (key == QLatin1String("son_page")) {
        if (value.left(3) == QLatin1String("oui")) {
            const auto n = parseStrictNumber(value.mid(4));
            if (!n)
                return false;
            const double whole = std::trunc(*n);
            s.pageSoundOn = true;
            s.pageSoundNumber = qint16(whole < 1 ? 1 : whole > 9 ? 9 : whole);
        } else {
            s.pageSoundOn = false;
            s.pageSoundNumber = 1;
        }
    }
    return true;
}

SettingsReadOutcome parseSettings(const QStringList &lines, const Settings &previous,
                                  TwipsPerPixel tpp) {
    SettingsReadOutcome out;
    Settings &s = out.settings;
    s = previous;
    s.windowLeft = 0;
    s.windowTop = 0;
    s.windowWidth = 800 * tpp.x;
    s.windowHeight = qint16(roundHalfEven(600 * tpp.y));
    s.accessMode = kAccessMouse;
    s.scanDelay = 2000;
    s.backgroundColor = 16777215;
    s.frameThickness = 10;
    s.frameColor = 255;
    s.videoWidth = 640;
    s.videoHeight = 480;
    s.pageSoundOn = false;
    resetSettingKeys(s);

    QString key, value;
    for (const QString &line : lines) {
        const int eq = int(line.indexOf(u'='));
        // A line without "=" repeats the line before it.
        if (eq >= 0) {
            key = trimBlanks(line.left(eq));
            value = trimBlanks(line.mid(eq + 1));
        }
        if (!key.isEmpty() && !applyLine(key, value, out, tpp))
            return out;
    }
    // The bounds in order once every line is read, whichever of them the file holds: put in
    // order line by line, a lower bound above the default upper one would be swapped with
    // that default and the upper bound read next would then replace the wrong one.
    if (s.switches.adaptiveMaxMs < s.switches.adaptiveMinMs)
        std::swap(s.switches.adaptiveMinMs, s.switches.adaptiveMaxMs);
    // The page shown takes the program's colour whatever the keys, so a page without a colour
    // of its own is saved with the colour it was shown in.
    out.pageColor = toInt32(s.backgroundColor).value_or(16777215);
    out.pageColorRead = true;
    out.ok = true;
    return out;
}

static qint32 asInt32(double v) {
    return toInt32(v).value_or(0);
}

EditedSettings EditedSettings::from(const Settings &settings) {
    return {settings.scanDelay,      asInt32(settings.backgroundColor),
            settings.frameThickness, settings.frameColor,
            settings.sentenceBar,    settings.sayEachPhrase,
            settings.switches,       settings.dwell,
            settings.personGender,   settings.usageLog,
            settings.prediction,     settings.predictionCount,
            settings.alreadySaid};
}

QStringList formatSettings(const Settings &s, const EditedSettings &edited,
                           const WindowTwips &window, TwipsPerPixel tpp) {
    QStringList lines;
    lines << QStringLiteral("fenetre_gauche=%1").arg(twipsToFilePixels(window.left, tpp.x))
          << QStringLiteral("fenetre_haut=%1").arg(twipsToFilePixels(window.top, tpp.y))
          << QStringLiteral("fenetre_largeur=%1").arg(twipsToFilePixels(window.width, tpp.x))
          << QStringLiteral("fenetre_hauteur=%1").arg(twipsToFilePixels(window.height, tpp.y));
    if (s.accessMode == kAccessMouse || s.accessMode == kAccessScanning ||
        s.accessMode == kAccessDwell)
        lines << QStringLiteral("accès=") + s.accessMode;
    lines << QStringLiteral("temporisation=%1").arg(edited.scanDelay)
          << QStringLiteral("couleur_fond=%1").arg(edited.backgroundColor)
          << QStringLiteral("cadre_épaisseur=%1").arg(edited.frameThickness)
          << QStringLiteral("cadre_couleur=%1").arg(edited.frameColor)
          << (s.frameBlink ? QStringLiteral("cadre_clignote=oui")
                           : QStringLiteral("cadre_clignote=non"))
          << QStringLiteral("video_largeur= %1").arg(asInt32(s.videoWidth))
          << QStringLiteral("video_hauteur=%1").arg(s.videoHeight)
          << (s.pageSoundOn ? QStringLiteral("son_page=oui,%1").arg(s.pageSoundNumber)
                            : QStringLiteral("son_page=non,0"));
    // The newer keys, with the values being edited in the program properties dialog.
    Settings newer = s;
    newer.sentenceBar = edited.sentenceBar;
    newer.sayEachPhrase = edited.sayEachPhrase;
    newer.switches = edited.switches;
    newer.dwell = edited.dwell;
    newer.personGender = edited.personGender;
    newer.usageLog = edited.usageLog;
    newer.prediction = edited.prediction;
    newer.predictionCount = edited.predictionCount;
    newer.alreadySaid = edited.alreadySaid;
    return lines << settingKeyLines(newer);
}

QStringList defaultSettingsLines() {
    return {QStringLiteral("fenetre_gauche=0"),     QStringLiteral("fenetre_haut=0"),
            QStringLiteral("fenetre_largeur=800"),  QStringLiteral("fenetre_hauteur=600"),
            QStringLiteral("accès=souris"),         QStringLiteral("temporisation=2000"),
            QStringLiteral("couleur_fond=9998670"), QStringLiteral("cadre_épaisseur=10"),
            QStringLiteral("cadre_couleur=255"),    QStringLiteral("cadre_clignote=non"),
            QStringLiteral("video_largeur=640"),    QStringLiteral("video_hauteur=480"),
            QStringLiteral("son_page=non,1")};
}

} // namespace tv
