#include "MidiRender.h"

#include "Wav.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <cstdlib>
#include <fluidsynth.h>
#include <vector>

namespace tv {

namespace {

constexpr int kRate = 44100;
// Longer pieces are cut: a page's music is a song, not a concert.
constexpr qint64 kMaxSeconds = 20 * 60;
// Notes still sounding when the file ends are let ring out.
constexpr int kTailFrames = kRate;

struct Synth {
    fluid_settings_t *settings = new_fluid_settings();
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;
    ~Synth() {
        if (player)
            delete_fluid_player(player);
        if (synth)
            delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }
};

// The library's own messages would go to the terminal; the caller reports failures.
void quiet(int, const char *, void *) {
}

// The system's default General MIDI sound font, or the first one found.
QString generalMidiSoundFont() {
    const QStringList preferred = {QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
                                   QStringLiteral("/usr/share/sounds/sf3/default-GM.sf3")};
    for (const QString &path : preferred) {
        if (QFileInfo(path).isFile())
            return path;
    }
    for (const QString &dir :
         {QStringLiteral("/usr/share/sounds/sf2"), QStringLiteral("/usr/share/soundfonts"),
          QStringLiteral("/usr/share/sounds/sf3")}) {
        const QFileInfoList fonts = QDir(dir).entryInfoList(
            {QStringLiteral("*.sf2"), QStringLiteral("*.sf3")}, QDir::Files);
        if (!fonts.isEmpty())
            return fonts.first().filePath();
    }
    return {};
}

} // namespace

QByteArray renderMidiToWav(const QString &midiPath, QString *why) {
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return QByteArray();
    };
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, quiet, nullptr);
    const QByteArray file = QFile::encodeName(midiPath);
    if (!fluid_is_midifile(file.constData()))
        return fail(QStringLiteral("ce n'est pas un fichier MIDI"));
    const QString font = generalMidiSoundFont();
    if (font.isEmpty())
        return fail(QStringLiteral("aucune banque de sons MIDI sur cette machine"));

    Synth s;
    fluid_settings_setnum(s.settings, "synth.sample-rate", kRate);
    fluid_settings_setnum(s.settings, "synth.gain", 0.6);
    // Offline: the player's clock is the samples written, not the wall clock.
    fluid_settings_setstr(s.settings, "player.timing-source", "sample");
    fluid_settings_setint(s.settings, "synth.lock-memory", 0);
    s.synth = new_fluid_synth(s.settings);
    if (!s.synth ||
        fluid_synth_sfload(s.synth, QFile::encodeName(font).constData(), 1) == FLUID_FAILED)
        return fail(QStringLiteral("la banque de sons MIDI ne peut pas être lue"));
    s.player = new_fluid_player(s.synth);
    if (!s.player || fluid_player_add(s.player, file.constData()) != FLUID_OK ||
        fluid_player_play(s.player) != FLUID_OK)
        return fail(QStringLiteral("le fichier MIDI ne peut pas être lu"));

    constexpr int kBlock = 1024;
    std::vector<qint16> left(kBlock), right(kBlock);
    QList<qint16> mono;
    const auto render = [&](int frames) {
        fluid_synth_write_s16(s.synth, frames, left.data(), 0, 1, right.data(), 0, 1);
        for (int i = 0; i < frames; ++i)
            mono << qint16((int(left[std::size_t(i)]) + int(right[std::size_t(i)])) / 2);
    };
    while (fluid_player_get_status(s.player) == FLUID_PLAYER_PLAYING &&
           mono.size() < kMaxSeconds * kRate)
        render(kBlock);
    for (int done = 0; done < kTailFrames; done += kBlock)
        render(kBlock);
    // The player lingers after the last note: the silence at the end is cut, so the player
    // window closes when the music does.
    qsizetype end = mono.size();
    while (end > 0 && std::abs(int(mono[end - 1])) < 8)
        --end;
    mono.resize(std::min(mono.size(), end + kRate / 20));
    return makeWav(mono, kRate);
}

} // namespace tv
