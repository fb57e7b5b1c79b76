#pragma once

#include "UsageReport.h"
#include "platform/ProgramPaths.h"
#include "platform/Units.h"

#include <QDate>
#include <QString>

namespace tv {

struct ReportRequest {
    QString file; // .pdf: the report; .csv: one row per event
    QDate from, to;
};

// Everything a report is made from: the person's logs, the core words, the phrases of the
// pages they used. Read only; the logs may be written meanwhile.
ReportSources gatherReportSources(const ProgramPaths &paths, const QDate &from, const QDate &to,
                                  TwipsPerPixel tpp);

// Writes the report the request asks for; why it could not be written, or empty.
QString writeReport(const ProgramPaths &paths, const ReportRequest &request, TwipsPerPixel tpp);

// "tablavox --rapport FICHIER": the report written, or why not on the error output (exit 1).
int reportCommand(const ProgramPaths &paths, const ReportRequest &request, TwipsPerPixel tpp);

} // namespace tv
