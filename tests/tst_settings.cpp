// The configuration file: how each line is read, what is written, and the recovery.

#include "app/SettingsStore.h"
#include "platform/AppState.h"
#include "platform/Settings.h"
#include "platform/TextFile.h"
#include "support/Fakes.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {
const TwipsPerPixel kTpp{15, 15};
const QString kData = QStringLiteral(TABLAVOX_TEST_DATA "/settings/");

SettingsReadOutcome parse(const QString &text, const Settings &previous = {}) {
    return parseSettings(splitLines(text), previous, kTpp);
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsWhenOnlyAccessIsGiven();
    void windowKeys();
    void valueRules_data();
    void valueRules();
    void failuresThatRecover_data();
    void failuresThatRecover();
    void fieldsTheReaderNeverResets();
    void frameColourQuirks();
    void lineWithoutEqualsRepeatsThePreviousOne();
    void writtenLines();
    void roundTripThroughTheFile_data();
    void roundTripThroughTheFile();

    void missingFileIsReplacedByDefaults();
    void brokenFileIsReplacedByDefaults();
    void unwritableDefaultFileStillStarts();
    void failedWriteIsSaid();
};

void SettingsTest::defaultsWhenOnlyAccessIsGiven() {
    const auto r = parse(QStringLiteral("accès=défilement\r\n"));
    QVERIFY(r.ok);
    QCOMPARE(r.settings.accessMode, kAccessScanning);
    QCOMPARE(r.settings.windowLeft, 0.0);
    QCOMPARE(r.settings.windowWidth, 800 * 15.0);
    QCOMPARE(r.settings.windowHeight, qint16(9000));
    QCOMPARE(r.settings.backgroundColor, 16777215.0);
    QCOMPARE(r.settings.scanDelay, qint16(2000));
    // The page shown takes the program's colour even without the key: saved as shown.
    QVERIFY(r.pageColorRead);
    QCOMPARE(r.pageColor, 16777215);
}

void SettingsTest::windowKeys() {
    auto r = parse(QStringLiteral("fenêtre_largeur=1024\r\nfenetre_gauche=-20\r\nfenêtre_haut=7"));
    QVERIFY(r.ok);
    QCOMPARE(r.settings.windowWidth, 1024 * 15.0);
    QCOMPARE(r.settings.windowLeft, 0.0);
    QCOMPARE(r.settings.windowTop, 105.0);
    r = parse("fenetre_largeur=0\r\nfenetre_hauteur=-3");
    QCOMPARE(r.settings.windowWidth, 12000.0);
    QCOMPARE(r.settings.windowHeight, qint16(9000));
    // The file written later spells the key without the accent.
    const QStringList lines = formatSettings(r.settings, EditedSettings::from(r.settings),
                                             {0, 0, 1024 * 15.0, 9000}, kTpp);
    QCOMPARE(lines[2], QStringLiteral("fenetre_largeur=1024"));
}

void SettingsTest::valueRules_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("capitalised key ignored") << "Temporisation=1000"
                                             << "scanDelay" << QVariant(2000);
    QTest::newRow("unaccented key ignored") << "acces=défilement"
                                            << "accessMode" << QVariant("souris");
    QTest::newRow("other access") << "accès=clavier"
                                  << "accessMode" << QVariant("souris");
    QTest::newRow("delay zero") << "temporisation=0"
                                << "scanDelay" << QVariant(2000);
    QTest::newRow("delay negative") << "temporisation=-5"
                                    << "scanDelay" << QVariant(2000);
    QTest::newRow("delay letters") << "temporisation=abc"
                                   << "scanDelay" << QVariant(2000);
    QTest::newRow("delay unit") << "temporisation=1500ms"
                                << "scanDelay" << QVariant(1500);
    QTest::newRow("blanks trimmed") << "  temporisation  =  1200  "
                                    << "scanDelay" << QVariant(1200);
    QTest::newRow("video blank") << "video_largeur= 640"
                                 << "videoWidth" << QVariant(640.0);
    QTest::newRow("sound clamped up") << "son_page=oui,12"
                                      << "pageSound" << QVariant("on 9");
    QTest::newRow("sound clamped down") << "son_page=oui,0"
                                        << "pageSound" << QVariant("on 1");
    QTest::newRow("sound off") << "son_page=non,7"
                               << "pageSound" << QVariant("off 1");
    QTest::newRow("blink exact") << "cadre_clignote=OUI"
                                 << "frameBlink" << QVariant(false);
    QTest::newRow("blink on") << "cadre_clignote=oui"
                              << "frameBlink" << QVariant(true);
    QTest::newRow("colour empty") << "couleur_fond="
                                  << "backgroundColor" << QVariant(16777215.0);
    QTest::newRow("colour letters") << "couleur_fond=abc"
                                    << "backgroundColor" << QVariant(0.0);
    QTest::newRow("thickness zero") << "cadre_épaisseur=0"
                                    << "frameThickness" << QVariant(10);
    QTest::newRow("thickness negative") << "cadre_épaisseur=-4"
                                        << "frameThickness" << QVariant(10);
    QTest::newRow("thickness huge") << "cadre_épaisseur=30000"
                                    << "frameThickness" << QVariant(100);
    QTest::newRow("last value wins") << "temporisation=900\r\ntemporisation=800"
                                     << "scanDelay" << QVariant(800);
    QTest::newRow("extra equals") << "accès==souris"
                                  << "accessMode" << QVariant("souris");
    // The message strip's keys: absent (an older file) or unclear, the strip stays off and
    // each phrase is still said.
    QTest::newRow("strip absent") << "temporisation=900"
                                  << "sentenceBar" << QVariant("off say");
    QTest::newRow("strip on") << "bandeau_phrase=oui"
                              << "sentenceBar" << QVariant("on say");
    QTest::newRow("strip unclear") << "bandeau_phrase=1\r\nbandeau_dire=peut-être"
                                   << "sentenceBar" << QVariant("off say");
    QTest::newRow("strip silent") << "bandeau_phrase=oui\r\nbandeau_dire=non"
                                  << "sentenceBar" << QVariant("on quiet");
    // The adaptive step's bounds are put in order once the whole file is read.
    QTest::newRow("lower bound only, above the upper default")
        << "défilement_min=8000"
        << "scanBounds" << QVariant("5000-8000");
    QTest::newRow("bounds given the wrong way round") << "défilement_max=300\r\ndéfilement_min=8000"
                                                      << "scanBounds" << QVariant("300-8000");
}

void SettingsTest::valueRules() {
    QFETCH(QString, line);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    const auto r = parse(line);
    QVERIFY(r.ok);
    const Settings &s = r.settings;
    QVariant actual;
    if (field == "scanDelay")
        actual = int(s.scanDelay);
    else if (field == "accessMode")
        actual = s.accessMode;
    else if (field == "videoWidth")
        actual = s.videoWidth;
    else if (field == "pageSound")
        actual = QString("%1 %2").arg(s.pageSoundOn ? "on" : "off").arg(s.pageSoundNumber);
    else if (field == "frameBlink")
        actual = s.frameBlink;
    else if (field == "backgroundColor")
        actual = s.backgroundColor;
    else if (field == "frameThickness")
        actual = int(s.frameThickness);
    else if (field == "sentenceBar")
        actual =
            QString("%1 %2").arg(s.sentenceBar ? "on" : "off", s.sayEachPhrase ? "say" : "quiet");
    else if (field == "scanBounds")
        actual = QString("%1-%2").arg(s.switches.adaptiveMinMs).arg(s.switches.adaptiveMaxMs);
    QCOMPARE(actual, expected);
}

void SettingsTest::failuresThatRecover_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("window key not a number") << "fenetre_gauche=abc";
    QTest::newRow("window key empty") << "fenetre_haut=";
    QTest::newRow("height too large") << "fenetre_hauteur=3000";
    QTest::newRow("sound without number") << "son_page=oui";
    QTest::newRow("sound number letters") << "son_page=oui,abc";
    QTest::newRow("delay out of range") << "temporisation=40000";
    QTest::newRow("colour out of range") << "couleur_fond=99999999999";
    QTest::newRow("after good lines") << "temporisation=900\r\nfenetre_largeur=x";
}

void SettingsTest::failuresThatRecover() {
    QFETCH(QString, text);
    QVERIFY(!parse(text).ok);
}

void SettingsTest::fieldsTheReaderNeverResets() {
    Settings previous;
    previous.frameBlink = true;
    previous.pageSoundNumber = 6;
    const auto r = parse("temporisation=900", previous);
    QVERIFY(r.settings.frameBlink);
    QCOMPARE(r.settings.pageSoundNumber, qint16(6));
    QVERIFY(!r.settings.pageSoundOn);
}

void SettingsTest::frameColourQuirks() {
    auto r = parse("cadre_couleur=-2147483643");
    QCOMPARE(r.settings.frameColor, -2147483643);
    QCOMPARE(r.frameBorderColor, std::optional<qint32>(-2147483643));
    r = parse("cadre_couleur=");
    QCOMPARE(r.settings.frameColor, 255);
    QCOMPARE(r.frameBorderColor, std::optional<qint32>(0));
    r = parse("couleur_fond=9998670");
    QVERIFY(r.pageColorRead);
    QCOMPARE(r.pageColor, 9998670);
}

void SettingsTest::lineWithoutEqualsRepeatsThePreviousOne() {
    // The repeated line is applied again; here the second application is what shows.
    const auto r = parse("son_page=oui,3\r\nsans egal\r\n\r\n");
    QVERIFY(r.ok);
    QCOMPARE(r.settings.pageSoundNumber, qint16(3));
    QVERIFY(parse("rien ici\r\n").ok);
}

void SettingsTest::writtenLines() {
    Settings s;
    s.accessMode = QStringLiteral("autre");
    s.frameBlink = true;
    s.videoWidth = 640;
    s.videoHeight = 480;
    s.pageSoundOn = false;
    s.pageSoundNumber = 5;
    const QStringList lines = formatSettings(s, {1700, 9998670, 12, -2147483643, true, false, {}},
                                             {150, 300, 12015, 9014}, kTpp);
    // The keys older copies do not know come after the lines they do.
    QCOMPARE(lines,
             QStringList({"fenetre_gauche=10", "fenetre_haut=20", "fenetre_largeur=801",
                          "fenetre_hauteur=600", "temporisation=1700", "couleur_fond=9998670",
                          QStringLiteral("cadre_épaisseur=12"), "cadre_couleur=-2147483643",
                          "cadre_clignote=oui", "video_largeur= 640", "video_hauteur=480",
                          "son_page=non,0", "bandeau_phrase=oui", "bandeau_dire=non"}) +
                 switchLines({}));
}

void SettingsTest::roundTripThroughTheFile_data() {
    QTest::addColumn<QString>("golden");
    QTest::newRow("default") << "default.cfg";
    QTest::newRow("scanning") << "scanning.cfg";
}

void SettingsTest::roundTripThroughTheFile() {
    QFETCH(QString, golden);
    const TextReadResult in = readTextLines(kData + golden);
    QVERIFY(in.ok);
    const auto first = parseSettings(in.lines, {}, kTpp);
    QVERIFY(first.ok);
    const Settings &s = first.settings;
    const WindowTwips window{s.windowLeft, s.windowTop, s.windowWidth, double(s.windowHeight)};
    QTemporaryDir dir;
    const QString path = dir.filePath("Tablavox2.cfg");
    QVERIFY(writeTextLines(path, formatSettings(s, EditedSettings::from(s), window, kTpp)).ok);
    const auto second = parseSettings(readTextLines(path).lines, {}, kTpp);
    QVERIFY(second.ok);
    QCOMPARE(second.settings, s);
    if (golden == "scanning.cfg") // every line of this file is in written form
        QCOMPARE(test::fileBytes(path), test::fileBytes(kData + golden));
}

void SettingsTest::missingFileIsReplacedByDefaults() {
    QTemporaryDir dir;
    AppState state;
    state.paths.programDirectory = dir.path();
    test::ScriptedDialogs dialogs;
    SettingsStore store(state, dialogs);
    store.read();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text,
             QStringLiteral("Le fichier de configuration n'existe pas\r\n"
                            "Il va être créé avec les valeurs par défaut"));
    QCOMPARE(dialogs.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(dialogs.messages[0].title, QStringLiteral("Tablavox"));
    QCOMPARE(test::fileBytes(state.paths.configFile()), test::fileBytes(kData + "default.cfg"));
    QCOMPARE(state.settings.backgroundColor, 9998670.0);
    QCOMPARE(state.page.pageColor, 9998670);
    QCOMPARE(state.settings.windowWidth, 800 * 15.0);
    QCOMPARE(state.settings.accessMode, kAccessMouse);
}

void SettingsTest::brokenFileIsReplacedByDefaults() {
    QTemporaryDir dir;
    AppState state;
    state.paths.programDirectory = dir.path();
    test::writeBytes(state.paths.configFile(), "temporisation=900\r\nfenetre_gauche=abc\r\n");
    test::ScriptedDialogs dialogs;
    SettingsStore(state, dialogs).read();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(state.settings.scanDelay, qint16(2000)); // what was read before is discarded
    QCOMPARE(test::fileBytes(state.paths.configFile()), test::fileBytes(kData + "default.cfg"));
}

void SettingsTest::unwritableDefaultFileStillStarts() {
    AppState state;
    state.paths.programDirectory = QStringLiteral("/nonexistent/tablavox");
    test::ScriptedDialogs dialogs;
    SettingsStore(state, dialogs).read();
    QCOMPARE(dialogs.messages.size(), 2);
    QVERIFY(dialogs.messages[1].text.contains(QStringLiteral("n'a pas pu être créé")));
    QVERIFY(dialogs.messages[1].text.contains(QStringLiteral("valeurs par défaut")));
    QCOMPARE(state.settings.backgroundColor, 9998670.0);
    QCOMPARE(state.settings.pageSoundNumber, qint16(1));
}

void SettingsTest::failedWriteIsSaid() {
    AppState state;
    state.paths.programDirectory = QStringLiteral("/nonexistent/tablavox");
    test::ScriptedDialogs dialogs;
    QVERIFY(!SettingsStore(state, dialogs).write({}, EditedSettings::from(state.settings)));
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages[0].text.startsWith(
        QStringLiteral("La configuration n'a pas été enregistrée.")));
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
