// French sentences formed from the phrases of a message: the case table of what must come
// out, read also by Debian's French grammar checker; the rules files; missing tables.

#include "language/GrammarRules.h"
#include "language/Lexicon.h"
#include "language/Sentence.h"
#include "support/CaseTables.h"

#include <QtTest>

using namespace tv;

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void sentencesComeOutRight() {
        QStringList checked; // the messages that must be good French
        for (const QStringList &row : test::caseTable("conjugation.tsv")) {
            const QStringList phrases = row[0].split(QStringLiteral(" | "));
            const QStringList flags = row.value(3).split(u' ');
            const Gender speaker = flags.contains("féminin") ? Gender::Feminine : Gender::Masculine;
            const QStringList forms = formedPhrases(phrases, speaker);
            QCOMPARE(joinedForms(forms), row[1]);
            QCOMPARE(forms.join(QStringLiteral(" | ")).trimmed(), row[2].trimmed());
            if (!flags.contains("brut"))
                checked << joinedForms(forms);
        }
        // The grammar checker reads one message a paragraph, as a sentence of its own.
        QTemporaryFile text;
        QVERIFY(text.open());
        for (const QString &message : checked) {
            QString sentence = message;
            sentence[0] = sentence[0].toUpper();
            if (!sentence.back().isPunct())
                sentence += u'.';
            text.write((sentence + QStringLiteral("\n\n")).toUtf8());
        }
        text.flush();
        QProcess checker;
        checker.start("grammalecte-cli",
                      {"-f", text.fileName(), "-j", "-roff", "apostrophe_typographique"});
        QVERIFY2(checker.waitForFinished(60000), "grammalecte-cli (Debian) is needed");
        const QJsonArray paragraphs =
            QJsonDocument::fromJson(checker.readAllStandardOutput())["data"].toArray();
        QStringList errors;
        for (const QJsonValue &p : paragraphs) {
            for (const QJsonValue &e : p["lGrammarErrors"].toArray()) {
                // Typography (spaces before "!", capitals after a full stop in a carer's
                // phrase) is the phrases' own, not the grammar's.
                if (QStringList{"nbsp", "esp", "typo", "maj", "apos"}.contains(
                        e["sType"].toString()))
                    continue;
                errors << QStringLiteral("%1: %2").arg(checked.value(p["iParagraph"].toInt() / 2),
                                                       e["sMessage"].toString());
            }
        }
        QVERIFY2(!paragraphs.isEmpty(), "the grammar checker gave no answer");
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    }

    void rulesAreReadFromTheirFiles() {
        const GrammarRules rules = GrammarRules::fromText(
            "# comment\nhier\tpassé\tdit\nla semaine dernière\tpassé\tdit\npassé\tpassé\tmuet\n"
            "demain\tfutur\nbientôt\tpeut-être\tdit\n",
            "aller\tauxiliaire être\nêtre\tattribut\nliker\tcomme\taimer\nvenir\n");
        QCOMPARE(rules.marker("Hier soir, au parc")->tense, Tense::Past);
        QCOMPARE(rules.marker("la semaine dernière")->words, QString("la semaine dernière"));
        QVERIFY(!rules.marker("passé")->said);
        // A marker that is not said is a picture of its own; incomplete lines are left out.
        for (const char *none : {"passé composé", "demain", "bientôt", "hiers", "semaine"})
            QVERIFY2(!rules.marker(QString::fromUtf8(none)), none);
        QVERIFY(rules.takesEtre("aller") && !rules.takesEtre("venir"));
        QVERIFY(rules.isCopula("être") && !rules.isCopula("aller"));
        QCOMPARE(rules.models.value("liker"), QString("aimer"));
    }

    void withoutItsTablesEveryWordIsSaidAsWritten() {
        QTemporaryDir empty;
        const Lexicon bare({empty.path(), empty.filePath("fr")});
        QVERIFY(!bare.hasVerbs() && !bare.hasAdjectives());
        QCOMPARE(joinedForms(
                     formedPhrases({"hier", "elle", "être", "content"}, Gender::Masculine, bare)),
                 QString("hier elle être content"));
        // Damaged tables are refused, not half read.
        QFile broken(empty.filePath("conjugation-fr.xml"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<conjugation-fr><template name=");
        broken.close();
        QFile::copy(empty.filePath("conjugation-fr.xml"), empty.filePath("verbs-fr.xml"));
        QVERIFY(!Lexicon({empty.path(), {}}).hasVerbs());
    }
};

QTEST_GUILESS_MAIN(LanguageTest)
#include "tst_language.moc"
