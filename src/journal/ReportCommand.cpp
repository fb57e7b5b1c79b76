#include "ReportCommand.h"

#include "ReportPdf.h"
#include "UsageLog.h"
#include "page/BoardPictures.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace tv {

namespace {

// The phrases said by the pictures of a page file; none when it cannot be read.
QStringList phrasesOf(const QString &pagesDirectory, const QString &stored, TwipsPerPixel tpp) {
    QStringList phrases;
    for (const BoardPicture &p : readBoardPage(pagesDirectory, {}, stored, tpp).pictures)
        phrases << p.phrase;
    return phrases;
}

const QString kCorePage = QStringLiteral("premiers_mots\\page_premiers_mots.dat");

} // namespace

ReportSources gatherReportSources(const ProgramPaths &paths, const QDate &from, const QDate &to,
                                  TwipsPerPixel tpp) {
    ReportSources s;
    s.from = from;
    s.to = to;
    QDir logs(UsageLog::directoryOf(paths.dataDirectory));
    // The months in order: their names sort as their dates do.
    for (const QString &name :
         logs.entryList({QStringLiteral("*.lam")}, QDir::Files | QDir::Readable, QDir::Name)) {
        QFile file(logs.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const LamRead read = readLam(file.readAll());
        s.events += read.events;
        s.unreadable += read.unreadable;
    }
    std::stable_sort(s.events.begin(), s.events.end(),
                     [](const UsageEvent &a, const UsageEvent &b) { return a.when < b.when; });
    // The core words: the person's own core page, or the one that comes with the program.
    QStringList core = phrasesOf(paths.pagesDirectory(), kCorePage, tpp);
    if (core.isEmpty() && !paths.demoDirectory.isEmpty())
        core = phrasesOf(paths.demoDirectory + QStringLiteral("/pages"), kCorePage, tpp);
    for (const QString &phrase : core)
        s.coreWords.insert(wordKey(phrase));
    for (const UsageEvent &e : s.events) {
        const QDate day = e.when.date();
        if ((from.isValid() && day < from) || (to.isValid() && day > to))
            continue;
        const QString page = e.kind == UsageEvent::Kind::Page ? e.text : e.page;
        if (!page.isEmpty() && !s.pagePhrases.contains(page))
            s.pagePhrases.insert(page, phrasesOf(paths.pagesDirectory(), page, tpp));
    }
    return s;
}

QString writeReport(const ProgramPaths &paths, const ReportRequest &request, TwipsPerPixel tpp) {
    const ReportSources sources = gatherReportSources(paths, request.from, request.to, tpp);
    if (request.file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        QList<UsageEvent> events;
        for (const UsageEvent &e : sources.events) {
            const QDate day = e.when.date();
            if ((!request.from.isValid() || day >= request.from) &&
                (!request.to.isValid() || day <= request.to))
                events << e;
        }
        return writeWholeFile(request.file, csvOf(events));
    }
    return writeUsageReportPdf(request.file, makeUsageReport(sources));
}

int reportCommand(const ProgramPaths &paths, const ReportRequest &request, TwipsPerPixel tpp) {
    const QString why = writeReport(paths, request, tpp);
    if (why.isEmpty())
        return 0;
    std::fprintf(stderr, "tablavox : le rapport « %s » n'a pas été écrit : %s\n",
                 qPrintable(request.file), qPrintable(why));
    return 1;
}

} // namespace tv
