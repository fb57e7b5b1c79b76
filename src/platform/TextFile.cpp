#include "TextFile.h"

#include "Cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tv {

QStringList splitLines(const QString &text) {
    QStringList lines;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

TextReadResult readTextLines(const QString &path) {
    TextReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Impossible de lire le fichier ''%1'' : %2")
                           .arg(QFileInfo(path).fileName(), file.errorString());
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Impossible de lire le fichier ''%1'' : %2")
                           .arg(QFileInfo(path).fileName(), file.errorString());
        return result;
    }
    result.lines = splitLines(decodeCp1252(bytes));
    result.ok = true;
    return result;
}

TextWriteResult writeTextLines(const QString &path, const QStringList &lines) {
    TextWriteResult result;
    const QString name = QFileInfo(path).fileName();
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    QString bad;
    const auto bytes = encodeCp1252(text, &bad);
    if (!bytes) {
        result.error = QStringLiteral("Le fichier ''%1'' n'a pas été enregistré : ces caractères "
                                      "ne peuvent pas y être écrits : %2")
                           .arg(name, bad);
        return result;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        result.error = QStringLiteral("Le fichier ''%1'' n'a pas pu être enregistré : %2")
                           .arg(name, file.errorString());
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tv
