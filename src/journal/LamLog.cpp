#include "LamLog.h"

#include "platform/Cp1252.h"
#include "platform/PrivateFile.h"

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
    return encodedForRecord(lines);
}

namespace {

// Two or three digits at `at` as a number; -1 when they are not digits.
int digits(QStringView s, qsizetype at, int count) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = s[at + i];
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

// "*[YY-MM-DD=26-12-09]*": the day, invalid when the line says none; nullopt when the line
// is not a date line.
std::optional<QDate> dateOf(QStringView line) {
    if (line.size() != 21 || !line.startsWith(u"*[YY-MM-DD=") || !line.endsWith(u"]*") ||
        line[13] != u'-' || line[16] != u'-')
        return std::nullopt;
    const int y = digits(line, 11, 2), m = digits(line, 14, 2), d = digits(line, 17, 2);
    return y < 0 || m < 0 || d < 0 ? QDate() : QDate(2000 + y, m, d);
}

// "08:15:00.250 SMP "…": true with the time, the mnemonic and the rest after the quote.
bool eventOf(QStringView line, QTime *time, QStringView *mnemonic, QStringView *rest) {
    if (line.size() < 18 || line[2] != u':' || line[5] != u':' || line[8] != u'.' ||
        line[12] != u' ' || line[16] != u' ' || line[17] != u'"')
        return false;
    *mnemonic = line.mid(13, 3);
    if (*mnemonic != u"SMP" && *mnemonic != u"CTL")
        return false;
    const int h = digits(line, 0, 2), m = digits(line, 3, 2), sec = digits(line, 6, 2),
              ms = digits(line, 9, 3);
    *time = h < 0 || m < 0 || sec < 0 || ms < 0 ? QTime() : QTime(h, m, sec, ms);
    *rest = line.mid(18);
    return true;
}

// Our comment line's fields into the event; false when any of it cannot be read.
bool readComment(const QString &c, UsageEvent &e) {
    qsizetype at = 0;
    while (at < c.size()) {
        const qsizetype equals = c.indexOf(u'=', at);
        if (equals < 0)
            return false;
        const QStringView name = QStringView(c).mid(at, equals - at);
        QString value;
        qsizetype end;
        if (equals + 1 < c.size() && c[equals + 1] == u'"') {
            end = unquote(c, equals + 2, &value);
            if (end < 0)
                return false;
        } else {
            end = c.indexOf(u' ', equals + 1);
            if (end < 0)
                end = c.size();
            value = c.mid(equals + 1, end - equals - 1);
        }
        if (name == u"page") {
            (e.kind == UsageEvent::Kind::Page ? e.text : e.page) = value;
        } else if (name == u"accès") {
            e.access = value;
        } else if (name == u"délai") {
            bool ok = false;
            e.delayMs = value.toLongLong(&ok);
            if (!ok)
                return false;
        } else if (name == u"message") {
            e.text = value;
        } else {
            return false;
        }
        if (end < c.size() && c[end] != u' ')
            return false;
        at = end + 1;
    }
    return true;
}

} // namespace

LamRead readLam(const QByteArray &bytes) {
    LamRead read;
    QDate day;
    std::optional<UsageEvent> pending; // an event waiting for its comment line
    const auto finish = [&] {
        if (pending)
            read.events << *pending;
        pending.reset();
    };
    bool header = true;
    const QString text = decodeCp1252(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        // The header: free text up to the first date line.
        if (header && !line.startsWith(u'*'))
            continue;
        header = false;
        if (line.isEmpty())
            continue;
        if (const auto date = dateOf(line)) {
            finish();
            day = *date;
            if (!day.isValid())
                ++read.unreadable;
            continue;
        }
        QTime time;
        QStringView mnemonic, rest;
        if (eventOf(line, &time, &mnemonic, &rest)) {
            finish();
            QString said;
            const QString restText = rest.toString();
            if (!day.isValid() || !time.isValid() || unquote(restText, 0, &said) != rest.size()) {
                ++read.unreadable;
                continue;
            }
            UsageEvent e;
            e.when = QDateTime(day, time);
            if (mnemonic == u"SMP")
                e.text = said;
            else if (said == QLatin1String("Dire"))
                e.kind = UsageEvent::Kind::Message;
            else if (said == QLatin1String("Page"))
                e.kind = UsageEvent::Kind::Page;
            else
                continue; // a control of another tool ("RECORD ON")
            pending = e;
            continue;
        }
        if (line.startsWith(u"### ") && pending) {
            // Our comment: what LAM has no place for. Half read, it would give a wrong page
            // or time: the event goes with it.
            if (readComment(line.mid(4).toString(), *pending)) {
                finish();
            } else {
                pending.reset();
                ++read.unreadable;
            }
            continue;
        }
        if (line.startsWith(u"###"))
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
