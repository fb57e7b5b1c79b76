#pragma once

#include "platform/Units.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

inline const QString kAccessMouse = QStringLiteral("souris");
inline const QString kAccessScanning = QStringLiteral("défilement");
// The pointer resting on a picture chooses it (eye and head pointers).
inline const QString kAccessDwell = QStringLiteral("pointage");

inline const QString kGenderMasculine = QStringLiteral("masculin");
inline const QString kGenderFeminine = QStringLiteral("féminin");
inline const QString kPatternAuto = QStringLiteral("auto");
inline const QString kPatternStep = QStringLiteral("pas à pas");
inline const QString kPatternRows = QStringLiteral("lignes");

// How a switch user works the program. Every value at its default behaves as a program
// without these settings: one switch on the left button, picture after picture.
struct SwitchSettings {
    QString selectKey; // key that selects ("" none): "espace", "entrée", F2…
    QString stepKey = QStringLiteral("espace"); // key that moves the frame, step by step
    int acceptanceMs = 0;                       // held at least this long to count (0: off)
    int releaseMs = 0;                          // further presses ignored this long after one
    QString pattern = kPatternAuto;
    int rounds = 0;        // full rounds without a press before a pause
    bool cues = false;     // each step says what it lands on
    bool adaptive = false; // the step time follows the person's pace
    int adaptiveMinMs = 500, adaptiveMaxMs = 5000;
    bool operator==(const SwitchSettings &) const = default;
};

// How long and how still the pointer rests on a picture for it to be chosen.
struct DwellSettings {
    int delayMs = 1000;   // 300 to 5000
    int tolerancePx = 30; // 0 to 150: moving less than this is resting
    bool repeat = false;  // choose again without leaving the picture
    bool operator==(const DwellSettings &) const = default;
};

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
    SwitchSettings switches;
    DwellSettings dwell;
    bool locked = false;     // the page is the person's: nothing in it can be edited
    bool fullScreen = false; // the window fills the screen, without its frame
    // Whom "je" and "nous" stand for in a message: kGenderMasculine or kGenderFeminine.
    QString personGender = kGenderMasculine;
    // The person and the family agreed that what is chosen be noted, for the therapist.
    bool usageLog = false;
    // The strip suggests the pictures likely to come next, this many (0 to 8), and keeps
    // the messages said, to say again with one choice.
    bool prediction = false;
    int predictionCount = 4;
    bool alreadySaid = false;

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
    SwitchSettings switches;
    DwellSettings dwell;
    QString personGender = kGenderMasculine;
    bool usageLog = false;
    bool prediction = false;
    int predictionCount = 4;
    bool alreadySaid = false;
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
