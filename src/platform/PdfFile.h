#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>

class QPdfWriter;

namespace tv {

// A PDF drawn by `paint` at 300 dots per inch, then written whole (never half a file on a
// full disk); why it could not be drawn (what `paint` says) or written, or empty.
QString writePdfFile(const QString &path, const QString &title, const QPageLayout &layout,
                     const std::function<QString(QPdfWriter &)> &paint);

} // namespace tv
