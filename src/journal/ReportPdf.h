#pragma once

#include "UsageReport.h"

#include <QString>

class QPagedPaintDevice;

namespace tv {

// The report drawn on A4 sheets, in French: the period and its totals, the messages and
// pictures of each day (a plot), words per message, the 20 words used most, the share of
// core words, the words new in the period, the pictures never chosen, the time to a choice
// by scanning and by dwell, week by week (a plot). Plots are drawn as vectors.
QString paintUsageReport(QPagedPaintDevice &device, const UsageReport &report);

// The report as a PDF file, written whole; why it could not be, or empty.
QString writeUsageReportPdf(const QString &path, const UsageReport &report);

} // namespace tv
