// The real player on the real audio server: every kind of file a picture can name, and
// files that would lead it elsewhere.

#include "model/AppState.h"
#include "page/MainWindow.h"
#include "platform/MediaFormat.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/Wav.h"
#include "support/AudioMonitor.h"
#include "support/Files.h"
#include "support/ServiceDoubles.h"
#include "use/MediaPlayback.h"
#include "use/MediaWindow.h"

#include <QtTest>
#include <QtWidgets>

using namespace tv;

namespace {

const QString kReadError =
    QStringLiteral("Une erreur de lecture du fichier s'est produite : pilote absent ?");

} // namespace

class MediaTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_, elsewhere_;
    AppState state_;
    test::FakeServices fakes_;
    std::unique_ptr<MpvMediaPlayer> player_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<MediaPlayback> media_;

    void start(const QString &file) {
        fakes_.dialogs.messages.clear();
        media_->start(file, file.section(u'.', 1));
        QTRY_VERIFY_WITH_TIMEOUT(!media_->isStarting(), MediaPlayback::kStartLimitMs + 1000);
    }
    // Waits for the audio server's quiet, to hear what comes next alone.
    static void quiet(test::AudioMonitor &monitor) {
        QVERIFY(monitor.waitUntilListening());
        QTRY_VERIFY_WITH_TIMEOUT(test::AudioMonitor::loudest(monitor.take()) < 100, 10000);
    }

private slots:
    void initTestCase() {
        const QString m = dir_.filePath("multimedia/");
        QVERIFY(QDir().mkpath(m));
        QVERIFY(test::makeMedia(m, QRegularExpression(".")));
        // Two notes on a piano, half a second each.
        test::writeBytes(m + "air.mid",
                         QByteArray::fromHex("4d546864000000060000000100604d54726b00000016"
                                             "00c00000903c7f60803c400090407f6080404000ff2f00"));
        test::writeBytes(m + "abime.avi",
                         QByteArray("RIFF\x10\0\0\0AVI LIST", 16) + QByteArray(4000, 'x'));
        // Two seconds of a tone outside the multimedia directory, and files that name it.
        const QString tone = elsewhere_.filePath("ailleurs.wav");
        QList<qint16> samples(44100);
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = qint16(8000 * std::sin(2 * M_PI * 880 * double(i) / 22050));
        test::writeBytes(tone, makeWav(samples, 22050));
        test::writeBytes(m + "long.wav", makeWav(samples + samples + samples + samples, 22050));
        test::writeBytes(m + "liste.mp3", "#EXTM3U\n" + tone.toUtf8() + "\n");
        test::writeBytes(m + "adresse.mp3", "#EXTM3U\nhttp://127.0.0.1:9/son.wav\n");
        test::writeBytes(m + "montage.wav", "# mpv EDL v0\n" + tone.toUtf8() + "\n");
        test::writeBytes(m + "suite.avi", "ffconcat version 1.0\nfile '" + tone.toUtf8() + "'\n");

        state_.paths.dataDirectory = dir_.path();
        state_.tpp = {15, 15};
        player_ = std::make_unique<MpvMediaPlayer>();
        services_ = std::make_unique<Services>(Services{fakes_.dialogs, fakes_.speech,
                                                        fakes_.sounds, *player_, fakes_.cursor,
                                                        fakes_.waiter, fakes_.voice});
        window_ = std::make_unique<MainWindow>(state_);
        media_ = std::make_unique<MediaPlayback>(state_, *window_, *services_);
    }

    void everyKindPlaysAndASecondPressStops_data() {
        QTest::addColumn<QString>("file");
        for (const char *f : {"son.wav", "chanson.mp3", "air.mid", "film.mpg", "film.mpeg",
                              "film.avi", "film.flv", "film.wmv"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }

    void everyKindPlaysAndASecondPressStops() {
        QFETCH(QString, file);
        start(file);
        QCOMPARE(fakes_.dialogs.messages.size(), 0);
        QCOMPARE(player_->mode(), QStringLiteral("playing"));
        QVERIFY(media_->window()->isVisible() && !QApplication::overrideCursor());
        media_->start("son.wav", "wav");
        QVERIFY(!media_->window()->isVisible());
        QTRY_COMPARE(player_->mode(), QStringLiteral("stopped"));
    }

    void soundIsHeardAndTheEndClosesTheWindow_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("wave") << "son.wav";
        QTest::newRow("mp3") << "chanson.mp3";
        QTest::newRow("midi, through the synthesizer") << "air.mid";
    }

    void soundIsHeardAndTheEndClosesTheWindow() {
        QFETCH(QString, file);
        test::AudioMonitor monitor;
        quiet(monitor);
        start(file);
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT(test::AudioMonitor::loudest(heard += monitor.take()) > 300, 10000);
        // One second of sound, then the window closes by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!media_->window()->isVisible(), 10000);
        QCOMPARE(player_->mode(), QStringLiteral("stopped"));
    }

    void pauseSilencesAndClosesTheWindow() {
        test::AudioMonitor monitor;
        quiet(monitor);
        start("long.wav");
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT(test::AudioMonitor::loudest(heard += monitor.take()) > 300, 10000);
        QVERIFY(media_->window()->isVisible());
        QTest::mouseClick(media_->window()->findChild<QPushButton *>("cmdPause"), Qt::LeftButton);
        // At once: the file would otherwise play on and close the window at its end.
        QVERIFY(!media_->window()->isVisible());
        QCOMPARE(player_->mode(), QStringLiteral("stopped"));
        quiet(monitor);
    }

    void unplayableFileIsReportedAndTheNextPlays() {
        for (int round = 0; round < 3; ++round) {
            start("abime.avi");
            QTRY_COMPARE(fakes_.dialogs.messages.size(), 1);
            QCOMPARE(fakes_.dialogs.messages[0].text, kReadError);
            QVERIFY(!media_->window()->isVisible() && !QApplication::overrideCursor());
            start("son.wav");
            QCOMPARE(player_->mode(), QStringLiteral("playing"));
            media_->stopMedia();
            QTRY_VERIFY(!media_->window()->isVisible());
        }
    }

    void filesThatLeadElsewhereAreRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format"); // as its first bytes say
        const char *rows[][2] = {{"liste.mp3", ""},   {"adresse.mp3", ""}, {"montage.wav", ""},
                                 {"suite.avi", ""},   {"son.wav", "wav"},  {"film.mpg", "mpeg"},
                                 {"film.wmv", "asf"}, {"film.flv", "flv"}, {"air.mid", "midi"}};
        for (const auto &[file, format] : rows)
            QTest::newRow(file) << QString(file) << QString(format);
    }

    void filesThatLeadElsewhereAreRefused() {
        QFETCH(QString, file);
        QFETCH(QString, format);
        const QString path = dir_.filePath("multimedia/" + file);
        QCOMPARE(mediaFormatOf(mediaHeadOf(path)), format);
        // How long it plays, for the boards exported: each test file lasts a second (the
        // music rings on a little).
        const std::optional<double> seconds = mediaDurationSeconds(path);
        QCOMPARE(seconds.has_value(), !format.isEmpty());
        if (seconds) {
            QVERIFY2(*seconds > 0.9 && *seconds < 2.3, qPrintable(QString::number(*seconds)));
            return;
        }
        test::AudioMonitor monitor;
        quiet(monitor);
        start(file);
        QTRY_COMPARE(fakes_.dialogs.messages.size(), 1);
        QCOMPARE(fakes_.dialogs.messages[0].text, kReadError);
        QVERIFY(!media_->window()->isVisible());
        // A second and a half of what the server plays: none of the tone elsewhere.
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT((heard += monitor.take()).size() >= 22050 * 2 * 3 / 2, 10000);
        QVERIFY(test::AudioMonitor::loudest(heard) < 100);
    }
};

QTEST_MAIN(MediaTest)
#include "tst_media.moc"
