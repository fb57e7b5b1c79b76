#pragma once

#include <QString>

namespace tv {

enum class ActionClass { PhraseOrKeyword, Media, PageLink, None };

// The text after the last ".", in lower case: what names the kind of file. Empty when the
// text has no "." or when what follows it is not a file's extension (words after a full
// stop, a line break, a number).
QString actionExtension(const QString &action);
// A media file or a page when the extension is one of theirs, in any letter case, and the
// name holds no line break; another extension does nothing; no extension, a phrase.
ActionClass classifyAction(const QString &action);

enum class Keyword { None, Quit, Credits };
// Recognised after trimming and lower-casing; only for an empty extension.
Keyword keywordOf(const QString &action);

// A page's name as people say it: "animaux\page_chats_noirs.dat" → "chats noirs".
QString pageTitle(const QString &storedPage);

// The phrase as it is said: each stored "\" becomes a line break.
QString spokenPhrase(const QString &action);

} // namespace tv
