#include "LamLog.h"

#include "platform/Cp1252.h"

#include <QRegularExpression>
#include <QStringList>
#include <optional>

namespace tv {

namespace {

QString quoted(const QString &text) {
    QString t = text;
    t.replace(u'"', QStringLiteral("\"\""));
    // A log line holds one event: a line break in a phrase is a space there.
    t.replace(u'\r', u' ').replace(u'\n', u' ');
    return u'"' + t + u'"';
}

QByteArray encoded(const QString &text) {
    // A character the code page lacks (an emoji in a phrase) becomes "?" here rather than
    // losing the event: a log is a record, not a page to read back.
    if (auto bytes = encodeCp1252(text))
        return *bytes;
    QString plain;
    for (const QChar c : text)
        plain += encodeCp1252(QString(c)) ? c : u'?';
    return encodeCp1252(plain).value_or(QByteArray());
}

const char *mnemonicOf(UsageEvent::Kind kind) {
    return kind == UsageEvent::Kind::Choice ? "SMP" : "CTL";
}

// The quoted text at the start of `s` (after its opening quote), unescaped; the position after
// its closing quote, or -1.
qsizetype unquote(const QString &s, qsizetype from, QString *out) {
    out->clear();
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] != u'"') {
            *out += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == u'"') {
            *out += u'"';
            ++i;
        } else {
            return i + 1;
        }
    }
    return -1;
}

} // namespace

QByteArray lamHeader() {
    return "### CAUTION ###\r\n"
           "The following data represents personal communication.\r\n"
           "Please respect privacy accordingly.\r\n"
           "\r\n"
           "Automatic Data Logging Tablavox\r\n"
           "### Tablavox : le journal d'utilisation, tenu sur cet ordinateur seulement.\r\n";
}

QByteArray lamLines(const UsageEvent &e, const QDate &lastDay) {
    QString lines;
    const QDate day = e.when.date();
    if (day != lastDay)
        lines +=
            QStringLiteral("*[YY-MM-DD=%1]*\r\n").arg(day.toString(QStringLiteral("yy-MM-dd")));
    QString text = e.text;
    QString comment;
    switch (e.kind) {
    case UsageEvent::Kind::Choice:
        comment = QStringLiteral("page=%1 accès=%2").arg(quoted(e.page), e.access);
        if (e.delayMs >= 0)
            comment += QStringLiteral(" délai=%1").arg(e.delayMs);
        break;
    case UsageEvent::Kind::Message:
        comment = QStringLiteral("message=%1").arg(quoted(e.text));
        text = QStringLiteral("Dire");
        break;
    case UsageEvent::Kind::Page:
        comment = QStringLiteral("page=%1").arg(quoted(e.text));
        text = QStringLiteral("Page");
        break;
    }
    lines += QStringLiteral("%1 %2 %3\r\n### %4\r\n")
                 .arg(e.when.time().toString(QStringLiteral("HH:mm:ss.zzz")),
                      QLatin1String(mnemonicOf(e.kind)), quoted(text), comment);
    return encoded(lines);
}

LamRead readLam(const QByteArray &bytes) {
    static const QRegularExpression dateLine(
        QStringLiteral("^\\*\\[YY-MM-DD=(\\d\\d)-(\\d\\d)-(\\d\\d)\\]\\*$"));
    static const QRegularExpression eventLine(
        QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d) (SMP|CTL) \"(.*)$"));
    static const QRegularExpression field(QStringLiteral("(page|accès|délai|message)=(\"|)"));
    LamRead read;
    QDate day;
    std::optional<UsageEvent> pending; // an event waiting for its comment line
    const auto finish = [&] {
        if (pending)
            read.events << *pending;
        pending.reset();
    };
    bool header = true;
    for (QString line : decodeCp1252(bytes).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (header && !line.startsWith(u'*')) {
            // The header: free text up to the first date line.
            continue;
        }
        header = false;
        if (line.isEmpty())
            continue;
        if (const auto m = dateLine.match(line); m.hasMatch()) {
            finish();
            day = QDate(2000 + m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
            if (!day.isValid())
                ++read.unreadable;
            continue;
        }
        if (const auto m = eventLine.match(line); m.hasMatch()) {
            finish();
            UsageEvent e;
            const QTime time = QTime::fromString(m.captured(1), QStringLiteral("HH:mm:ss.zzz"));
            QString text;
            const QString rest = m.captured(3);
            const qsizetype end = unquote(rest, 0, &text);
            if (!day.isValid() || !time.isValid() || end != rest.size()) {
                ++read.unreadable;
                continue;
            }
            e.when = QDateTime(day, time);
            if (m.captured(2) == QLatin1String("SMP")) {
                e.text = text;
            } else if (text == QLatin1String("Dire")) {
                e.kind = UsageEvent::Kind::Message;
            } else if (text == QLatin1String("Page")) {
                e.kind = UsageEvent::Kind::Page;
            } else {
                continue; // a control of another tool ("RECORD ON")
            }
            pending = e;
            continue;
        }
        if (line.startsWith(QLatin1String("### ")) && pending) {
            // Our comment: the fields LAM has no place for.
            const QString c = line.mid(4);
            bool whole = true;
            auto it = field.globalMatch(c);
            qsizetype at = 0;
            while (it.hasNext()) {
                const auto m = it.next();
                if (m.capturedStart() != at) {
                    whole = false;
                    break;
                }
                QString value;
                qsizetype end;
                if (m.captured(2) == QLatin1String("\"")) {
                    end = unquote(c, m.capturedEnd(), &value);
                    if (end < 0) {
                        whole = false;
                        break;
                    }
                } else {
                    end = c.indexOf(u' ', m.capturedEnd());
                    if (end < 0)
                        end = c.size();
                    value = c.mid(m.capturedEnd(), end - m.capturedEnd());
                }
                const QString name = m.captured(1);
                if (name == QLatin1String("page"))
                    (pending->kind == UsageEvent::Kind::Page ? pending->text : pending->page) =
                        value;
                else if (name == QStringLiteral("accès"))
                    pending->access = value;
                else if (name == QStringLiteral("délai"))
                    pending->delayMs = value.toLongLong(&whole);
                else
                    pending->text = value;
                at = end < c.size() && c[end] == u' ' ? end + 1 : end;
                if (!whole)
                    break;
            }
            if (!whole || at != c.size()) {
                // A half-read comment would give a wrong page or time: the event goes.
                pending.reset();
                ++read.unreadable;
            } else {
                finish();
            }
            continue;
        }
        if (line.startsWith(QLatin1String("###")))
            continue; // a comment of another tool
        finish();
        ++read.unreadable;
    }
    // The last event of a log cut short keeps what its LAM line says.
    finish();
    return read;
}

QByteArray csvOf(const QList<UsageEvent> &events) {
    const auto cell = [](const QString &text) {
        QString t = text;
        t.replace(u'"', QStringLiteral("\"\""));
        return u'"' + t + u'"';
    };
    QString out = QStringLiteral("date;heure;événement;texte;page;accès;délai_ms\r\n");
    for (const UsageEvent &e : events) {
        const char *kind = e.kind == UsageEvent::Kind::Choice    ? "image"
                           : e.kind == UsageEvent::Kind::Message ? "message"
                                                                 : "page";
        out += QStringList{e.when.date().toString(Qt::ISODate),
                           e.when.time().toString(QStringLiteral("HH:mm:ss.zzz")),
                           QString::fromLatin1(kind),
                           cell(e.text),
                           cell(e.kind == UsageEvent::Kind::Choice ? e.page : QString()),
                           e.access,
                           e.delayMs >= 0 ? QString::number(e.delayMs) : QString()}
                   .join(u';') +
               QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace tv
