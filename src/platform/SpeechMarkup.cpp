#include "SpeechMarkup.h"

#include <QList>
#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace tv {

namespace {

struct Tag {
    QString name; // lower case
    bool closing = false;
    bool empty = false; // <x/>
    QString attributes;
};

QString xmlEscaped(const QString &text) {
    return text.toHtmlEscaped();
}

QString decodeEntities(QString text) {
    static const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto &[entity, character] : entities)
        text.replace(QLatin1String(entity), QLatin1String(character), Qt::CaseInsensitive);
    return text;
}

std::optional<QString> attribute(const QString &attributes, const char *name) {
    const QRegularExpression re(
        QStringLiteral(R"re((?:^|\s)%1\s*=\s*(?:"([^"]*)"|'([^']*)'))re").arg(QLatin1String(name)),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(attributes);
    if (!m.hasMatch())
        return std::nullopt;
    return decodeEntities(m.captured(1).isNull() ? m.captured(2) : m.captured(1)).trimmed();
}

std::optional<int> number(const QString &attributes, const char *name, int low, int high) {
    const auto value = attribute(attributes, name);
    if (!value)
        return std::nullopt;
    bool ok = false;
    const double n = value->toDouble(&ok);
    if (!ok || !std::isfinite(n))
        return std::nullopt;
    return int(std::lround(std::clamp(n, double(low), double(high))));
}

// The engine's opening tag for one of the older voice tags, or empty when the tag, or its
// value, says nothing the voice can do.
QString prosodyFor(const Tag &tag) {
    if (tag.name == QLatin1String("volume")) {
        if (const auto level = number(tag.attributes, "level", 0, 100))
            return QStringLiteral(R"(<prosody volume="%1%">)").arg(*level);
    } else if (tag.name == QLatin1String("pitch")) {
        auto middle = number(tag.attributes, "middle", -10, 10);
        if (!middle)
            middle = number(tag.attributes, "absmiddle", -10, 10);
        if (middle) // a step a semitone; the sign is what makes it a change
            return QStringLiteral(R"(<prosody pitch="%1%2st">)")
                .arg(QLatin1String(*middle < 0 ? "-" : "+"))
                .arg(std::abs(*middle));
    } else if (tag.name == QLatin1String("rate")) {
        auto speed = number(tag.attributes, "speed", -10, 10);
        if (!speed)
            speed = number(tag.attributes, "absspeed", -10, 10);
        if (speed) // -10 is a third of the normal speed, 10 three times it
            return QStringLiteral(R"(<prosody rate="%1%">)")
                .arg(std::lround(100.0 * std::pow(3.0, *speed / 10.0)));
    }
    return {};
}

// Standard tags that pass, with the attributes each may keep.
const QList<std::pair<QString, QStringList>> &standardTags() {
    static const QList<std::pair<QString, QStringList>> tags = {
        {QStringLiteral("break"), {QStringLiteral("time"), QStringLiteral("strength")}},
        {QStringLiteral("prosody"),
         {QStringLiteral("rate"), QStringLiteral("pitch"), QStringLiteral("volume"),
          QStringLiteral("range")}},
        {QStringLiteral("emphasis"), {QStringLiteral("level")}},
        {QStringLiteral("say-as"), {QStringLiteral("interpret-as"), QStringLiteral("format")}},
    };
    return tags;
}

struct Open {
    QString name;
    QString closeWith;
    bool implicit = false; // an empty older tag: holds to the end of what encloses it
};

class Converter {
public:
    // False when the tags do not nest.
    bool add(const Tag &tag) {
        if (tag.closing)
            return close(tag.name);
        QString open;
        QString closeWith;
        if (tag.name == QLatin1String("silence")) {
            if (const auto ms = number(tag.attributes, "msec", 0, 60000))
                out_ += QStringLiteral(R"(<break time="%1ms"/>)").arg(*ms);
            return true; // never holds anything
        }
        if (tag.name == QLatin1String("volume") || tag.name == QLatin1String("pitch") ||
            tag.name == QLatin1String("rate")) {
            open = prosodyFor(tag);
            closeWith = open.isEmpty() ? QString() : QStringLiteral("</prosody>");
            out_ += open;
            stack_.append({tag.name, closeWith, tag.empty});
            return true;
        }
        if (tag.name == QLatin1String("emph")) {
            open = QStringLiteral("<emphasis>");
            closeWith = QStringLiteral("</emphasis>");
        } else if (tag.name == QLatin1String("spell")) {
            open = QStringLiteral(R"(<say-as interpret-as="characters">)");
            closeWith = QStringLiteral("</say-as>");
        } else {
            for (const auto &[name, allowed] : standardTags()) {
                if (name != tag.name)
                    continue;
                open = QLatin1Char('<') + name;
                for (const QString &a : allowed) {
                    if (const auto value = attribute(tag.attributes, qPrintable(a)))
                        open += QStringLiteral(R"( %1="%2")").arg(a, xmlEscaped(*value));
                }
                if (tag.empty) {
                    out_ += open + QStringLiteral("/>");
                    return true;
                }
                open += QLatin1Char('>');
                closeWith = QStringLiteral("</") + name + QLatin1Char('>');
            }
            if (open.isEmpty())
                return true; // <voice> and tags the voice has no use for: left out
        }
        if (tag.empty)
            return true;
        out_ += open;
        stack_.append({tag.name, closeWith, false});
        return true;
    }

    void text(const QString &t) { out_ += xmlEscaped(t); }

    // An element still open holds to the end of the phrase, as the older voices read it.
    QString finish() {
        while (!stack_.isEmpty())
            out_ += stack_.takeLast().closeWith;
        return QStringLiteral("<speak>") + out_ + QStringLiteral("</speak>");
    }

private:
    bool close(const QString &name) {
        if (!tracked(name))
            return true; // the closing of a tag that was left out
        closeImplicit();
        if (stack_.isEmpty() || stack_.last().name != name)
            return false;
        out_ += stack_.takeLast().closeWith;
        return true;
    }

    static bool tracked(const QString &name) {
        static const QStringList names = {"volume", "pitch", "rate", "emph", "spell"};
        if (names.contains(name))
            return true;
        for (const auto &[standard, allowed] : standardTags()) {
            if (standard == name)
                return true;
        }
        return false;
    }

    void closeImplicit() {
        while (!stack_.isEmpty() && stack_.last().implicit)
            out_ += stack_.takeLast().closeWith;
    }

    QString out_;
    QList<Open> stack_;
};

} // namespace

SpeechText prepareSpeech(const QString &phrase) {
    static const QRegularExpression tagPattern(
        QStringLiteral(R"re(<\s*(/?)\s*([A-Za-z][A-Za-z0-9:_.-]*)((?:[^<>"']|"[^"]*"|'[^']*')*?))re"
                       R"re((/?)\s*>|<[!?][^<>]*>)re"));
    if (!phrase.contains(u'<') && !phrase.contains(u'&'))
        return {phrase, false};

    Converter converter;
    QString plain;
    bool nests = true;
    bool anyTag = false;
    qsizetype at = 0;
    auto it = tagPattern.globalMatch(phrase);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString before = decodeEntities(phrase.mid(at, m.capturedStart() - at));
        plain += before;
        converter.text(before);
        at = m.capturedEnd();
        anyTag = true;
        if (m.captured(2).isEmpty())
            continue; // a comment or a declaration
        const Tag tag{m.captured(2).toLower(), !m.captured(1).isEmpty(), !m.captured(4).isEmpty(),
                      m.captured(3)};
        nests = nests && converter.add(tag);
    }
    const QString rest = decodeEntities(phrase.mid(at));
    plain += rest;
    converter.text(rest);

    if (!anyTag)
        return {plain, false};
    if (!nests)
        return {plain, false};
    return {converter.finish(), true};
}

} // namespace tv
