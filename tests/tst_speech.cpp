// The real French voice and the real page-change chimes, on the machine's audio server.

#include "platform/EspeakSpeech.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/SpeechMarkup.h"
#include "platform/Wav.h"
#include "support/AudioMonitor.h"
#include "support/Fakes.h"
#include "page/PageSounds.h"
#include "use/SpeechWindow.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using namespace tv;

namespace {

double seconds(const QByteArray &pcm) {
    return double(pcm.size()) / 2 / 22050;
}

int loudest(const QByteArray &pcm) {
    return test::AudioMonitor::loudest(pcm);
}

} // namespace

class SpeechTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void frenchPhraseProducesAudio();
    void markupActsOnTheVoice();
    void cutOffPhraseLeavesTheVoiceAtRest();
    void markupBecomesVoiceMarkup_data();
    void markupBecomesVoiceMarkup();
    void speechWindowGreetsAndFiltersEmptyText();
    void newTextCutsOffTheOldOne();
    void speechReachesTheAudioServer();

    void storedSoundsHaveTheirFormatAndLength();
    void pageSoundsIgnoreNumbersWithoutASound();
    void pageSoundCutsOffTheOneStillPlaying();

private:
    std::unique_ptr<EspeakSpeech> speech_;
};

void SpeechTest::initTestCase() {
    speech_ = std::make_unique<EspeakSpeech>();
    QVERIFY(speech_->waitUntilReady());
    QVERIFY2(speech_->unavailableReason().isEmpty(), qPrintable(speech_->unavailableReason()));
}

void SpeechTest::frenchPhraseProducesAudio() {
    const QByteArray pcm =
        speech_->synthesize(QStringLiteral("Je veux boire de l'eau, s'il te plaît."));
    QVERIFY(seconds(pcm) > 1.0);
    QVERIFY(loudest(pcm) > 3000);
    QVERIFY(speech_->synthesize(QString()).isEmpty());
}

void SpeechTest::markupActsOnTheVoice() {
    const QByteArray plain = speech_->synthesize("Bonjour maman");
    auto said = [this](const char *phrase) { return speech_->synthesize(phrase); };
    auto longer = [&](const char *phrase, double extra, double factor) {
        const double s = seconds(said(phrase));
        const double p = seconds(plain);
        return s > p * factor + extra;
    };
    QVERIFY(longer("Bonjour <silence msec=\"1500\"/> maman", 1.0, 1.0));
    QVERIFY(longer("Bonjour <break time=\"1500ms\"/> maman", 1.0, 1.0));
    QVERIFY(longer("<rate speed=\"-10\">Bonjour maman</rate>", 0, 1.6));
    QVERIFY(longer("<RATE ABSSPEED='-10'/>Bonjour maman", 0, 1.6));
    QVERIFY(longer("<spell>Bonjour maman</spell>", 0, 1.6));
    const int normal = loudest(plain);
    const int soft = loudest(said("<volume level=\"25\">Bonjour maman</volume>"));
    QVERIFY2(soft < normal / 2, qPrintable(QString("%1 vs %2").arg(soft).arg(normal)));
    QVERIFY(said("<pitch middle=\"10\">Bonjour maman</pitch>") != plain);
    // Tags the voice has no use for are neither said nor acted on.
    const double voice = seconds(
        said("<voice required=\"Gender=Female\">Bonjour <bookmark mark=\"x\"/>maman</voice>"));
    QVERIFY(std::abs(voice - seconds(said("<unknown>Bonjour maman</unknown>"))) < 0.01);
    // Broken markup is still said, without its tags.
    QVERIFY(std::abs(seconds(said("Bonjour</rate> maman")) - seconds(plain)) < 0.01);
    for (const char *broken : {"Tom & Jerry", "trois < quatre", "<rate speed=\"5\">vite"})
        QVERIFY2(seconds(said(broken)) > 0.4, broken);
}

void SpeechTest::cutOffPhraseLeavesTheVoiceAtRest() {
    // Cut off inside its markup, as a new press does, again and again.
    const QByteArray before = speech_->synthesize("Bonjour maman");
    for (const char *phrase :
         {"<rate speed=\"-5\">Il était une fois une petite fille</rate>",
          "<pitch middle=\"8\"><volume level=\"10\">Il était une fois</volume></pitch>",
          "<emph>Il était une fois une petite fille</emph>"}) {
        for (int i = 0; i < 3; ++i)
            QVERIFY(!speech_->synthesize(phrase, 8000).isEmpty());
        const QByteArray after = speech_->synthesize("Bonjour maman");
        QVERIFY2(std::abs(seconds(after) - seconds(before)) < 0.01, phrase);
        QVERIFY2(std::abs(loudest(after) - loudest(before)) < loudest(before) / 10, phrase);
    }
}

void SpeechTest::markupBecomesVoiceMarkup_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<bool>("markup");
    const QString s = "<speak>%1</speak>";
    QTest::newRow("plain") << "Bonjour"
                           << "Bonjour" << false;
    QTest::newRow("ampersand alone") << "Tom & Jerry"
                                     << "Tom & Jerry" << false;
    QTest::newRow("lone <") << "3 < 4"
                            << "3 < 4" << false;
    QTest::newRow("older tags")
        << "a<silence msec=\"20\"/>b<rate speed=\"0\">c</rate><emph>d</emph>"
        << s.arg("a<break time=\"20ms\"/>b<prosody rate=\"100%\">c</prosody><emphasis>d</emphasis>")
        << true;
    QTest::newRow("volume, pitch, spell")
        << "<Volume Level='25'>a</Volume><pitch middle=\"-3\">b</pitch><spell>SNCF</spell>"
        << s.arg("<prosody volume=\"25%\">a</prosody><prosody pitch=\"-3st\">b</prosody>"
                 "<say-as interpret-as=\"characters\">SNCF</say-as>")
        << true;
    QTest::newRow("values held to their range")
        << "<volume level=\"400\">a</volume><rate speed=\"-30\">b</rate><pitch middle=\"99\"/>c"
        << s.arg("<prosody volume=\"100%\">a</prosody><prosody rate=\"33%\">b</prosody>"
                 "<prosody pitch=\"+10st\">c</prosody>")
        << true;
    QTest::newRow("empty tag holds to the end of its element")
        << "<emph>a<rate speed=\"10\"/>b</emph>c"
        << s.arg("<emphasis>a<prosody rate=\"300%\">b</prosody></emphasis>c") << true;
    QTest::newRow("open element holds to the end")
        << "<rate speed=\"10\">vite" << s.arg("<prosody rate=\"300%\">vite</prosody>") << true;
    QTest::newRow("voice and unknown tags left out, text escaped")
        << "<voice required=\"x\">Tom &amp; <b>Jerry</b> & <!-- note -->co</voice>"
        << s.arg("Tom &amp; Jerry &amp; co") << true;
    QTest::newRow("a value the voice cannot use")
        << "<rate speed=\"vite\">a</rate>" << s.arg("a") << true;
    QTest::newRow("standard tags keep only what they may")
        << "<break time=\"1s\" onload=\"x\"/><prosody rate=\"slow\">a</prosody><audio src=\"/x\"/>"
        << s.arg("<break time=\"1s\"/><prosody rate=\"slow\">a</prosody>") << true;
    QTest::newRow("closing what is not open") << "a</emph> b"
                                              << "a b" << false;
    QTest::newRow("crossed elements") << "<emph>a<spell>b</emph>c</spell>"
                                      << "abc" << false;
}

void SpeechTest::markupBecomesVoiceMarkup() {
    QFETCH(QString, phrase);
    QFETCH(QString, spoken);
    QFETCH(bool, markup);
    const SpeechText t = prepareSpeech(phrase);
    QCOMPARE(t.text, spoken);
    QCOMPARE(t.markup, markup);
}

void SpeechTest::speechWindowGreetsAndFiltersEmptyText() {
    test::RecordingSpeech speech;
    test::ScriptedDialogs dialogs;
    SpeechWindow window(speech, dialogs);
    QCOMPARE(window.objectName(), QStringLiteral("frmSapi5"));
    window.load();
    window.litLeTexte(QString());
    window.litLeTexte("   ");
    window.litLeTexte("ligne un\r\nligne deux");
    QCOMPARE(speech.said, QStringList({"Bonjour       ", "   ", "ligne un\r\nligne deux"}));
    QVERIFY(dialogs.messages.isEmpty());
}

void SpeechTest::newTextCutsOffTheOldOne() {
    QSignalSpy started(speech_.get(), &EspeakSpeech::audioStarted);
    speech_->speak(QStringLiteral("Il était une fois, dans un pays lointain, une petite fille qui "
                                  "aimait se promener dans la forêt avec son chien."));
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 3000);
    QElapsedTimer clock;
    clock.start();
    speech_->speak(QStringLiteral("Oui"));
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 3000);
    // "Oui" lasts half a second; the long phrase would go on for several.
    QTRY_VERIFY_WITH_TIMEOUT(!speech_->isSpeaking(), 5000);
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
}

void SpeechTest::speechReachesTheAudioServer() {
    test::AudioMonitor monitor;
    QVERIFY2(monitor.waitUntilListening(), "parec (pulseaudio-utils) is needed");
    speech_->speak(QStringLiteral("Bonjour, je m'appelle Tablavox."));
    QByteArray heard;
    QTRY_VERIFY_WITH_TIMEOUT((heard += monitor.take()).size() > 22050 * 2 * 2, 10000);
    QVERIFY2(loudest(heard) > 1000, qPrintable(QString::number(loudest(heard))));
}

void SpeechTest::storedSoundsHaveTheirFormatAndLength() {
    for (int n = 1; n <= 9; ++n) {
        const QByteArray bytes = PageSounds::storedSound(n);
        QVERIFY2(!bytes.isEmpty(), qPrintable(QString::number(n)));
        const auto wav = parseWav(bytes);
        QVERIFY(wav);
        QCOMPARE(wav->format, (PcmFormat{22050, 1, 16}));
        const double expected = n <= 7 ? 3.25 : n == 8 ? 3.75 : 4.25;
        QVERIFY(std::abs(seconds(wav->pcm) - expected) <= 1.0 / 22050);
        QVERIFY(loudest(wav->pcm) > 10000);
        if (n > 1)
            QVERIFY(bytes != PageSounds::storedSound(n - 1));
    }
}

void SpeechTest::pageSoundsIgnoreNumbersWithoutASound() {
    test::RecordingSounds player;
    PageSounds sounds(player);
    for (int n : {0, 10, -1, 32767})
        sounds.playPageSound(n);
    QVERIFY(player.played.isEmpty());
    sounds.playPageSound(3);
    QCOMPARE(player.played, QList<QByteArray>({PageSounds::storedSound(3)}));
    PulseSoundPlayer real;
    real.playWav("pas un son");
    QVERIFY(!real.isPlaying());
}

void SpeechTest::pageSoundCutsOffTheOneStillPlaying() {
    PulseSoundPlayer player;
    PageSounds sounds(player);
    QSignalSpy started(&player, &PulseSoundPlayer::started);
    sounds.playPageSound(9); // 4.25 s
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 3000);
    QElapsedTimer clock;
    clock.start();
    sounds.playPageSound(1); // 3.25 s, from its beginning
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 8000);
    // Not cut off, the rest of sound 9 and then sound 1 would take over seven seconds.
    QVERIFY2(clock.elapsed() > 3000 && clock.elapsed() < 6000,
             qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(SpeechTest)
#include "tst_speech.moc"
