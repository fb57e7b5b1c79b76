#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace tv::test {

// Listens to what the audio server plays on its default output (22050 Hz, mono, 16 bits).
class AudioMonitor {
public:
    // On the server the programs find, or on the one at `server` ("unix:/…/native").
    explicit AudioMonitor(const QString &server = {});
    ~AudioMonitor();
    // True once the recorder delivers samples.
    bool waitUntilListening(int timeoutMs = 5000);
    // What was heard since the last call.
    QByteArray take();
    static int loudest(const QByteArray &pcm);
    // From the first to the last sample above a whisper, in seconds.
    static double loudSpan(const QByteArray &pcm);
    // The pitch of a steady tone, from its zero crossings, in hertz.
    static double frequency(const QByteArray &pcm, int sampleRate = 22050);
    // How long the program's voice takes to say the text.
    static double spokenSpan(const QString &text);
    // Listens until something loud was heard and then 0.6 s of quiet; what was heard.
    QByteArray hearOneUtterance(int timeoutMs = 15000);

private:
    // The recorder writes to a file, never a pipe: a test busy elsewhere loses nothing.
    QTemporaryDir dir_;
    QProcess recorder_;
    QFile recording_;
};

// A microphone that hears a steady tone, as the server's default input while this lives: an
// output of its own plays the tone and a source made from it gives it back. That source is
// no monitor, so the program takes it for the microphone a carer plugs in.
class TonedMicrophone {
public:
    explicit TonedMicrophone(int hertz);
    ~TonedMicrophone();
    bool isReady() const { return ready_; }
    static QString pactl(const QStringList &args);

private:
    QTemporaryDir dir_;
    QProcess player_;
    QString formerSource_;
    QStringList modules_;
    bool ready_ = false;
};

} // namespace tv::test
