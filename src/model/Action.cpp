#include "Action.h"

#include <QFileInfo>
#include <QStringList>

namespace tv {

namespace {

const QStringList kMediaExtensions = {"wav", "mp3", "mid", "mpg", "mpeg", "avi", "flv", "wmv"};

} // namespace

QString actionExtension(const QString &action) {
    const qsizetype dot = action.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString ext = action.mid(dot + 1);
    // A full stop followed by more words ("Bonjour. Ça va ?", "Il est 3.5 km") or by a
    // number ("14.30") ends a sentence or writes a number: it names no file.
    if (ext.isEmpty() || !ext.front().isLetter())
        return {};
    // Spaces and line breaks, "\" among them (a line break in a stored phrase).
    for (const QChar c : ext) {
        if (c.isSpace() || c == u'\\')
            return {};
    }
    return ext.toLower();
}

ActionKind actionKind(const QString &action) {
    const QString ext = actionExtension(action);
    const auto said = [&action] {
        return keywordOf(action) == Keyword::None ? ActionKind::Phrase : ActionKind::Keyword;
    };
    if (ext.isEmpty())
        return said();
    const bool media = kMediaExtensions.contains(ext);
    if (!media && ext != QLatin1String("dat"))
        return ActionKind::None;
    // Typed lines that happen to end like a file name are still lines to say.
    if (action.contains(u'\r') || action.contains(u'\n'))
        return said();
    return media ? ActionKind::Media : ActionKind::PageLink;
}

Keyword keywordOf(const QString &action) {
    QString k = action.toLower();
    while (k.startsWith(u' '))
        k.remove(0, 1);
    while (k.endsWith(u' '))
        k.chop(1);
    if (k == QLatin1String("end") || k == QLatin1String("quitte") || k == QLatin1String("fin"))
        return Keyword::Quit;
    if (k == QLatin1String("kawet"))
        return Keyword::Credits;
    return Keyword::None;
}

QString pageTitle(const QString &storedPage) {
    QString name = QFileInfo(QString(storedPage).replace(u'\\', u'/')).completeBaseName();
    if (name.startsWith(QLatin1String("page_"), Qt::CaseInsensitive))
        name.remove(0, 5);
    return name.replace(u'_', u' ');
}

QString spokenPhrase(const QString &action) {
    QString s = action;
    s.replace(u'\\', QStringLiteral("\r\n"));
    return s;
}

} // namespace tv
