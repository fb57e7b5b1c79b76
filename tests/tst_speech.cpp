// The real French voice and the real page-change chimes, on the machine's audio server.

#include "platform/EspeakSpeech.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/SpeechMarkup.h"
#include "platform/Wav.h"
#include "support/AudioMonitor.h"
#include "support/Fakes.h"
#include "use/PageSounds.h"
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
    void brokenMarkupIsStillSaid_data();
    void brokenMarkupIsStillSaid();
    void markupPreparation();
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
    const double plain = seconds(speech_->synthesize("Bonjour maman"));
    const double pause = seconds(speech_->synthesize("Bonjour <silence msec=\"1500\"/> maman"));
    QVERIFY2(pause > plain + 1.0, qPrintable(QString("%1 vs %2").arg(pause).arg(plain)));
    const double slow = seconds(speech_->synthesize("<rate speed=\"-10\">Bonjour maman</rate>"));
    QVERIFY2(slow > plain * 1.6, qPrintable(QString("%1 vs %2").arg(slow).arg(plain)));
    const double ssml = seconds(speech_->synthesize("Bonjour <break time=\"1500ms\"/> maman"));
    QVERIFY(ssml > plain + 1.0);
}

void SpeechTest::brokenMarkupIsStillSaid_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("ampersand") << "Tom & Jerry";
    QTest::newRow("lone <") << "trois < quatre";
    QTest::newRow("unclosed tag") << "<rate speed=\"5\">vite";
}

void SpeechTest::brokenMarkupIsStillSaid() {
    QFETCH(QString, text);
    QVERIFY(seconds(speech_->synthesize(text)) > 0.4);
}

void SpeechTest::markupPreparation() {
    QCOMPARE(prepareSpeech("Bonjour").markup, false);
    QCOMPARE(prepareSpeech("Tom & Jerry").text, QStringLiteral("Tom & Jerry"));
    QVERIFY(!prepareSpeech("Tom & Jerry").markup);
    const SpeechText t =
        prepareSpeech("a<silence msec=\"20\"/>b<rate speed=\"0\">c</rate><emph>d</emph>");
    QVERIFY(t.markup);
    QCOMPARE(t.text, QStringLiteral("<speak>a<break time=\"20ms\"/>b<prosody rate=\"100%\">c"
                                    "</prosody><emphasis>d</emphasis></speak>"));
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
    QVERIFY(started.wait(3000));
    QElapsedTimer clock;
    clock.start();
    speech_->speak(QStringLiteral("Oui"));
    QVERIFY(started.wait(3000));
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
