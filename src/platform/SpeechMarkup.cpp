#include "SpeechMarkup.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>

namespace tv {

static QString translateOlderTags(QString s) {
    static const QRegularExpression silence(
        QStringLiteral(R"(<silence\s+msec\s*=\s*["'](\d+)["']\s*/>)"),
        QRegularExpression::CaseInsensitiveOption);
    s.replace(silence, QStringLiteral(R"(<break time="\1ms"/>)"));

    // Their rate runs from -10 (a third of the normal speed) to 10 (three times).
    static const QRegularExpression rate(
        QStringLiteral(R"(<rate\s+(?:abs)?speed\s*=\s*["'](-?\d+)["']\s*>)"),
        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch m;
    while ((m = rate.match(s)).hasMatch()) {
        const int speed = std::clamp(m.captured(1).toInt(), -10, 10);
        const int percent = int(std::lround(100.0 * std::pow(3.0, speed / 10.0)));
        s.replace(m.capturedStart(), m.capturedLength(),
                  QStringLiteral(R"(<prosody rate="%1%">)").arg(percent));
    }
    static const QRegularExpression rateEnd(QStringLiteral("</rate\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    s.replace(rateEnd, QStringLiteral("</prosody>"));
    static const QRegularExpression emph(QStringLiteral("<(/?)emph\\s*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    s.replace(emph, QStringLiteral("<\\1emphasis>"));
    return s;
}

static bool wellFormed(const QString &fragment) {
    QXmlStreamReader reader(QStringLiteral("<speak>") + fragment + QStringLiteral("</speak>"));
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

SpeechText prepareSpeech(const QString &phrase) {
    if (!phrase.contains(u'<') && !phrase.contains(u'&'))
        return {phrase, false};
    const QString translated = translateOlderTags(phrase);
    if (!wellFormed(translated))
        return {phrase, false};
    return {QStringLiteral("<speak>") + translated + QStringLiteral("</speak>"), true};
}

} // namespace tv
