#pragma once

#include <QString>

namespace tv {

enum class ActionClass { PhraseOrKeyword, Media, PageLink, None };

// The text after the first ".", up to the end; empty when there is none.
QString actionExtension(const QString &action);
// Classified by the extension alone, exactly, letter case included.
ActionClass classifyAction(const QString &action);

enum class Keyword { None, Quit, Credits };
// Recognised after trimming and lower-casing; only for an empty extension.
Keyword keywordOf(const QString &action);

// A page's name as people say it: "animaux\page_chats_noirs.dat" → "chats noirs".
QString pageTitle(const QString &storedPage);

// The phrase as it is said: each stored "\" becomes a line break.
QString spokenPhrase(const QString &action);

} // namespace tv
