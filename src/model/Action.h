#pragma once

#include <QString>

namespace tv {

// What a picture does when it is chosen, read from the text stored as its action: the one
// place that decides it, for pressing, scanning, the screen reader, editing and boards.
enum class ActionKind {
    Phrase,   // said aloud (empty: nothing to say)
    Keyword,  // quits, or shows the credits
    Media,    // a sound or a video of multimedia/
    PageLink, // another page of pages/
    None,     // a file of another kind: does nothing
};
enum class Keyword { None, Quit, Credits };

// The text after the last ".", in lower case: what names the kind of file. Empty when the
// text has no "." or when what follows it is not a file's extension (words after a full
// stop, a line break, a number).
QString actionExtension(const QString &action);
// A media file or a page when the extension is one of theirs, in any letter case, and the
// name holds no line break; another extension does nothing; no extension, a phrase or a
// keyword.
ActionKind actionKind(const QString &action);
// Which keyword, recognised after trimming and lower-casing.
Keyword keywordOf(const QString &action);

// A page's name as people say it: "animaux\page_chats_noirs.dat" → "chats noirs".
QString pageTitle(const QString &storedPage);

// The phrase as it is said: each stored "\" becomes a line break.
QString spokenPhrase(const QString &action);

} // namespace tv
