#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tv {

QString decodeCp1252(const QByteArray &bytes);

// Characters outside the code page are never replaced by a look-alike or "?":
// encoding fails and lists them in *unencodable, so the caller can say so.
std::optional<QByteArray> encodeCp1252(const QString &text, QString *unencodable = nullptr);

} // namespace tv
