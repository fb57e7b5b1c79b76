// The real French voice and its markup, the real page-change chimes, and the recorder's
// input, on the machine's audio server.

#include "page/PageSounds.h"
#include "platform/EspeakSpeech.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/PulseVoiceInput.h"
#include "platform/SpeechMarkup.h"
#include "platform/Wav.h"
#include "support/AudioMonitor.h"
#include "support/CaseTables.h"
#include "support/ServiceDoubles.h"
#include "use/SpeechWindow.h"

#include <QtTest>
#include <QtWidgets>

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
    std::unique_ptr<EspeakSpeech> speech_;

    QByteArray said(const QString &phrase) { return speech_->synthesize(phrase); }

private slots:
    void initTestCase() {
        speech_ = std::make_unique<EspeakSpeech>();
        QVERIFY(speech_->waitUntilReady());
        QVERIFY2(speech_->unavailableReason().isEmpty(), qPrintable(speech_->unavailableReason()));
    }

    void markupActsOnTheVoice() {
        const QByteArray plain = said("Bonjour maman");
        QVERIFY(seconds(plain) > 0.5 && loudest(plain) > 3000);
        QVERIFY(said(QString()).isEmpty());
        const QList<std::tuple<QString, double, double>> longer = {
            {"Bonjour <silence msec=\"1500\"/> maman", 1.0, 1.0},
            {"<rate speed=\"-10\">Bonjour maman</rate>", 0, 1.6},
            {"<spell>Bonjour maman</spell>", 0, 1.6}};
        for (const auto &[phrase, extra, factor] : longer)
            QVERIFY2(seconds(said(phrase)) > seconds(plain) * factor + extra, qPrintable(phrase));
        QVERIFY(loudest(said("<volume level=\"25\">Bonjour maman</volume>")) < loudest(plain) / 2);
        // Cut off inside its markup, as a new press does, again and again: the voice is left
        // at rest.
        for (const char *phrase :
             {"<rate speed=\"-5\">Il était une fois une petite fille</rate>",
              "<pitch middle=\"8\"><volume level=\"10\">Il était une fois</volume></pitch>"}) {
            for (int i = 0; i < 3; ++i)
                QVERIFY(!speech_->synthesize(phrase, 8000).isEmpty());
            const QByteArray after = said("Bonjour maman");
            QVERIFY2(std::abs(seconds(after) - seconds(plain)) < 0.01, phrase);
            QVERIFY2(std::abs(loudest(after) - loudest(plain)) < loudest(plain) / 10, phrase);
        }
    }

    void markupBecomesVoiceMarkup_data() {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QString>("spoken"); // inside <speak> when it is markup
        for (const QStringList &row : test::caseTable("markup.tsv"))
            QTest::newRow(qPrintable(row[0])) << row[0] << row.value(1);
    }

    void markupBecomesVoiceMarkup() {
        QFETCH(QString, phrase);
        QFETCH(QString, spoken);
        const SpeechText t = prepareSpeech(phrase);
        QCOMPARE(t.text, spoken);
        QCOMPARE(t.markup, spoken.startsWith("<speak>"));
    }

    void aNewTextCutsOffTheOldOneAtTheAudioServer() {
        test::RecordingSpeech recorded;
        SpeechWindow window(recorded);
        QSignalSpy notices(&window, &SpeechWindow::noticeChanged);
        recorded.unavailable = "aucune sortie audio n'a été trouvée";
        window.load();
        window.litLeTexte(QString());
        window.litLeTexte("ligne un\r\nligne deux");
        QCOMPARE(recorded.said, QStringList({"Bonjour       ", "ligne un\r\nligne deux"}));
        // Speech that stays away is told in a notice, never in a box; once it works the
        // notice goes.
        window.check();
        QVERIFY(notices.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 3 * SpeechWindow::kToldAfterMs);
        QVERIFY(notices[0][0].toString().startsWith(
            "La parole n'est pas disponible : aucune sortie audio n'a été trouvée."));
        recorded.unavailable.clear();
        window.check();
        QCOMPARE(notices.size(), 2);
        QVERIFY(notices[1][0].toString().isEmpty());
        // A fault that comes back has its own time to last before it is told.
        recorded.unavailable = "aucune sortie audio n'a été trouvée";
        window.check();
        QCOMPARE(notices.size(), 2);

        test::AudioMonitor monitor;
        QVERIFY2(monitor.waitUntilListening(), "parec (pulseaudio-utils) is needed");
        QSignalSpy started(speech_.get(), &EspeakSpeech::audioStarted);
        speech_->speak(QStringLiteral("Il était une fois, dans un pays lointain, une petite fille "
                                      "qui aimait se promener dans la forêt avec son chien."));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 3000);
        QElapsedTimer clock;
        clock.start();
        speech_->speak(QStringLiteral("Oui"));
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 3000);
        // "Oui" lasts half a second; the long phrase would go on for several.
        QTRY_VERIFY_WITH_TIMEOUT(!speech_->isSpeaking(), 5000);
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(loudest(monitor.take()) > 1000);
    }

    void theVoiceComesBackWhenTheServerDropsItsStream() {
        // Killed by the server, as when its output goes away with no other to take it: the
        // next phrase makes its stream anew and is heard.
        test::AudioMonitor monitor;
        QVERIFY(monitor.waitUntilListening());
        QByteArray heard;
        for (int round = 0; round < 2; ++round) {
            speech_->speak(QStringLiteral("Bonjour"));
            QTRY_VERIFY_WITH_TIMEOUT(loudest(heard += monitor.take()) > 1000, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(!speech_->isSpeaking(), 5000);
            QCOMPARE(QProcess::execute("bash", {"-c", "pactl load-module module-cli-protocol-unix "
                                                      ">/dev/null 2>&1; for s in $(pactl list "
                                                      "short sink-inputs | cut -f1); do pacmd "
                                                      "kill-sink-input $s || exit 1; done"}),
                     0);
            monitor.take();
            heard.clear();
        }
    }

    void pageSoundsAndTheirPlayer() {
        for (int n = 1; n <= 9; ++n) {
            const auto wav = parseWav(PageSounds::storedSound(n));
            QVERIFY2(wav, qPrintable(QString::number(n)));
            QCOMPARE(wav->format, (PcmFormat{22050, 1, 16}));
            const double expected = n <= 7 ? 3.25 : n == 8 ? 3.75 : 4.25;
            QVERIFY(std::abs(seconds(wav->pcm) - expected) <= 1.0 / 22050);
            QVERIFY(loudest(wav->pcm) > 10000);
            QVERIFY(n == 1 || PageSounds::storedSound(n) != PageSounds::storedSound(n - 1));
        }
        test::RecordingSounds recorded;
        PageSounds chimes(recorded);
        for (int n : {0, 10, -1, 32767, 3})
            chimes.playPageSound(n);
        QCOMPARE(recorded.played, QList<QByteArray>({PageSounds::storedSound(3)}));
        // On the real player: a chime cuts off the one still playing.
        PulseSoundPlayer player;
        player.playWav("pas un son");
        QVERIFY(!player.isPlaying());
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

    // A monitor is no microphone; a real one is heard end to end (tst_e2e).
    void theRecorderRefusesAMonitorOrNoServer() {
        {
            const QByteArray server = qgetenv("PULSE_SERVER");
            qputenv("PULSE_SERVER", "unix:/nonexistent/native");
            PulseVoiceInput none;
            none.start();
            QTRY_VERIFY(none.failure().startsWith("Aucun serveur de son"));
            server.isNull() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", server);
        }
        // The test server's only source is its null output's monitor.
        PulseVoiceInput input;
        input.start();
        QTRY_VERIFY(input.failure().startsWith("Aucun microphone"));
        QVERIFY(input.takeSamples().isEmpty());
    }
};

QTEST_MAIN(SpeechTest)
#include "tst_speech.moc"
