#pragma once

#include "Services.h"

namespace tv {

// Stand-ins until the real engines exist: they accept every call and make no sound.
class SilentSpeech final : public Speech {
public:
    void speak(const QString &) override {}
};

class SilentSoundPlayer final : public SoundPlayer {
public:
    void playWav(const QByteArray &) override {}
    void stop() override {}
};

class SilentMediaPlayer final : public MediaPlayer {
public:
    void setFileName(const QString &) override {}
    void play() override {}
    void stop() override {}
    void pause() override {}
    QString mode() const override { return QStringLiteral("stopped"); }
};

class SilentVoiceInput final : public VoiceInput {
public:
    void start() override {}
    void stop() override {}
    QByteArray takeSamples() override { return {}; }
    QString failure() const override { return QStringLiteral("Pas d'entrée son"); }
};

} // namespace tv
