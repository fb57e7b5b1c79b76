// The voice recorder on the real audio server: a default input that is only a monitor is no
// microphone, no server is said so, and a real input is heard as it sounds.

#include "platform/PulseVoiceInput.h"
#include "support/AudioMonitor.h"
#include "voice/VoiceTake.h"

#include <QtTest>

using namespace tv;

class VoiceTest : public QObject {
    Q_OBJECT
private slots:
    void theDefaultInputIsHeardAndAMonitorOrNoServerIsRefused() {
        QVERIFY(trimAndLevel(QByteArray(88200, '\0'), 44100).isEmpty());
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

        tv::test::TonedMicrophone microphone(440);
        QVERIFY(microphone.isReady());
        // Plugged in since the last recording: found at the next.
        input.start();
        QByteArray heard;
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT((heard += input.takeSamples()).size() >= 88200, 10000);
        QVERIFY2(clock.elapsed() > 800, qPrintable(QString::number(clock.elapsed())));
        input.stop();
        QVERIFY(input.failure().isEmpty());
        const double pitch = tv::test::AudioMonitor::frequency(heard, 44100);
        QVERIFY2(std::abs(pitch - 440) < 5, qPrintable(QString::number(pitch)));
    }
};

QTEST_GUILESS_MAIN(VoiceTest)
#include "tst_voice.moc"
