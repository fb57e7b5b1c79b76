#include "PdfFile.h"

#include "TextFile.h"

#include <QBuffer>
#include <QPdfWriter>

namespace tv {

QString writePdfFile(const QString &path, const QString &title, const QPageLayout &layout,
                     const std::function<QString(QPdfWriter &)> &paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Tablavox"));
        pdf.setTitle(title);
        pdf.setResolution(300);
        pdf.setPageLayout(layout);
        if (const QString why = paint(pdf); !why.isEmpty())
            return why;
    }
    return writeWholeFile(path, buffer.data());
}

} // namespace tv
