#include "CaseTables.h"

#include "Files.h"

#include <QtTest>

namespace tv::test {

QList<QStringList> caseTable(const QString &name) {
    QList<QStringList> rows;
    const QString text =
        QString::fromUtf8(fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/cases/") + name));
    for (QString line : text.split(u'\n')) {
        line.remove(QRegularExpression(QStringLiteral("\t# .*$")));
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList columns = line.split(u'\t');
        for (QString &column : columns) {
            QString plain;
            for (qsizetype i = 0; i < column.size(); ++i) {
                QChar c = column[i];
                if (c == u'\\' && i + 1 < column.size()) {
                    const QChar e = column[++i];
                    c = e == u'r'   ? QChar(u'\r')
                        : e == u'n' ? QChar(u'\n')
                        : e == u't' ? QChar(u'\t')
                                    : e;
                }
                plain += c;
            }
            column = plain;
        }
        rows << columns;
    }
    return rows;
}

} // namespace tv::test
