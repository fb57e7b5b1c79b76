#include "ActionText.h"

#include <QFileInfo>
#include <QStringList>

namespace tv {

QString actionExtension(const QString &action) {
    const int dot = int(action.indexOf(u'.'));
    return dot < 0 ? QString() : action.mid(dot + 1);
}

ActionClass classifyAction(const QString &action) {
    static const QStringList media = {"wav", "mp3", "mid", "mpg", "mpeg", "avi", "flv", "wmv"};
    const QString ext = actionExtension(action);
    if (ext.isEmpty())
        return ActionClass::PhraseOrKeyword;
    if (media.contains(ext))
        return ActionClass::Media;
    if (ext == QLatin1String("dat"))
        return ActionClass::PageLink;
    return ActionClass::None;
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
