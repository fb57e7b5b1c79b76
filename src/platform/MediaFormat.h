#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tv {

// What a media file is, from its first bytes: the player's name for the container of the
// kinds the program plays ("wav", "mp3", "midi", "mpeg", "mpegvideo", "mpegts", "avi",
// "flv", "asf"), or empty for anything else: a playlist, an edit list or a list of files
// to join would make the player read other files or addresses than the one named.
QString mediaFormatOf(const QByteArray &head);

// The first bytes of the file, enough for mediaFormatOf.
QByteArray mediaHeadOf(const QString &path);

// How long the file plays, in seconds: a wave file from its header, MIDI as our synthesizer
// renders it, the others as the player reads them. Nothing for a file that does not play.
std::optional<double> mediaDurationSeconds(const QString &path);

} // namespace tv
