#pragma once

#include "platform/Units.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

inline const QString kAccessMouse = QStringLiteral("souris");
inline const QString kAccessScanning = QStringLiteral("défilement");

struct Settings {
    double windowLeft = 0;   // twips
    double windowTop = 0;    // twips
    double windowWidth = 0;  // twips
    qint16 windowHeight = 0; // twips
    QString accessMode = kAccessMouse;
    qint16 scanDelay = 2000; // ms
    double backgroundColor = 16777215;
    qint16 frameThickness = 10; // pixels
    qint32 frameColor = 255;
    bool frameBlink = false;
    double videoWidth = 640;  // pixels
    qint16 videoHeight = 480; // pixels
    bool pageSoundOn = false;
    qint16 pageSoundNumber = 0;
    // Keys that older copies of the program do not know (and ignore).
    bool sentenceBar = false;  // phrases are gathered into a message
    bool sayEachPhrase = true; // ... and each is said as it is added

    bool operator==(const Settings &) const = default;
};

// What reading the file does besides filling the settings.
struct SettingsReadOutcome {
    bool ok = false;
    Settings settings;
    qint32 pageColor = 0;
    bool pageColorRead = false;
    // The border colour the selection frame was last given by the reader, if any.
    std::optional<qint32> frameBorderColor;
    bool videoWidthRead = false;
    bool videoHeightRead = false;
};

// Fills the in-memory defaults over `previous` (the fields the reader never resets keep
// their value), then applies the lines. ok is false where the reader must recover.
SettingsReadOutcome parseSettings(const QStringList &lines, const Settings &previous,
                                  TwipsPerPixel tpp);

// What the file holds for the values being edited in the program properties dialog.
struct EditedSettings {
    qint32 scanDelay = 2000;
    qint32 backgroundColor = 16777215;
    qint32 frameThickness = 10;
    qint32 frameColor = 255;
    bool sentenceBar = false;
    bool sayEachPhrase = true;
    static EditedSettings from(const Settings &settings);
};

struct WindowTwips {
    double left = 0, top = 0, width = 0, height = 0;
};

// The thirteen lines older copies of the program know, then the newer keys.
QStringList formatSettings(const Settings &settings, const EditedSettings &edited,
                           const WindowTwips &window, TwipsPerPixel tpp);

// The thirteen lines written when the file cannot be read.
QStringList defaultSettingsLines();

// The scanning step follows the person's own pace, never so short that steps run together.
inline int scanIntervalMs(int scanDelay) {
    return scanDelay < 100 ? 100 : scanDelay;
}

// Frame thicknesses outside this range cannot be drawn sensibly.
constexpr int kMinFrameThickness = 1;
constexpr int kMaxFrameThickness = 100;

} // namespace tv
