#include "ZipArchive.h"

#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <zip.h>

namespace tv {

std::optional<QString> safeEntryPath(const QString &path) {
    QString p = path;
    p.replace(u'\\', u'/');
    if (p.isEmpty() || p.startsWith(u'/') || (p.size() > 1 && p[1] == u':'))
        return std::nullopt;
    QStringList kept;
    for (const QString &part : p.split(u'/')) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return std::nullopt;
        kept << part;
    }
    if (kept.isEmpty())
        return std::nullopt;
    return kept.join(u'/');
}

ZipReader::~ZipReader() {
    if (archive_)
        zip_discard(archive_);
}

bool ZipReader::open(const QString &path, QString *error) {
    int code = 0;
    archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive_) {
        if (error)
            *error =
                code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS
                    ? QStringLiteral("ce n'est pas un paquet zip lisible (coupé ou abîmé)")
                    : QStringLiteral("le paquet ne peut pas être lu (erreur zip %1)").arg(code);
        return false;
    }
    return true;
}

QStringList ZipReader::names() const {
    QStringList out;
    if (!archive_)
        return out;
    const zip_int64_t n = zip_get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < n; ++i)
        if (const char *name = zip_get_name(archive_, zip_uint64_t(i), ZIP_FL_ENC_GUESS))
            out << QString::fromUtf8(name);
    return out;
}

std::optional<QByteArray> ZipReader::read(const QString &name, qint64 maxBytes,
                                          QString *error) const {
    const auto fail = [&](const QString &why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!archive_)
        return fail(QStringLiteral("paquet fermé"));
    // A name not found as written is looked up ignoring letter case, as paths are on the
    // systems these packages come from.
    const QByteArray encoded = name.toUtf8();
    zip_int64_t index = zip_name_locate(archive_, encoded.constData(), 0);
    if (index < 0)
        index = zip_name_locate(archive_, encoded.constData(), ZIP_FL_NOCASE);
    zip_stat_t st;
    zip_stat_init(&st);
    if (index < 0 || zip_stat_index(archive_, zip_uint64_t(index), 0, &st) != 0)
        return fail(QStringLiteral("« %1 » manque dans le paquet").arg(name));
    if ((st.valid & ZIP_STAT_SIZE) && qint64(st.size) > maxBytes)
        return fail(QStringLiteral("« %1 » est trop gros (%2 Mo)").arg(name).arg(st.size >> 20));
    zip_file_t *file = zip_fopen_index(archive_, zip_uint64_t(index), 0);
    if (!file)
        return fail(QStringLiteral("« %1 » ne peut pas être lu").arg(name));
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
        if (n < 0) {
            zip_fclose(file);
            return fail(QStringLiteral("« %1 » est abîmé dans le paquet").arg(name));
        }
        if (n == 0)
            break;
        if (bytes.size() + n > maxBytes) {
            zip_fclose(file);
            return fail(QStringLiteral("« %1 » est trop gros").arg(name));
        }
        bytes.append(buffer, qsizetype(n));
    }
    // libzip checks the CRC when the entry is closed.
    if (zip_fclose(file) != 0)
        return fail(QStringLiteral("« %1 » est abîmé dans le paquet").arg(name));
    return bytes;
}

bool writeZip(const QString &path, const std::vector<std::pair<QString, QByteArray>> &entries,
              QString *error) {
    const QString temporary = path + QLatin1String(".partiel");
    QFile::remove(temporary);
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(temporary).constData(), ZIP_CREATE | ZIP_EXCL, &code);
    const auto fail = [&](const QString &why) {
        if (archive)
            zip_discard(archive);
        QFile::remove(temporary);
        if (error)
            *error = why;
        return false;
    };
    if (!archive)
        return fail(reasonOf(code == ZIP_ER_OPEN || code == ZIP_ER_TMPOPEN ? errno : EIO));
    for (const auto &[name, bytes] : entries) {
        // libzip reads the buffer when the archive is closed: each entry keeps its own copy.
        void *copy = std::malloc(std::size_t(std::max<qsizetype>(bytes.size(), 1)));
        if (!copy)
            return fail(reasonOf(ENOMEM));
        std::memcpy(copy, bytes.constData(), std::size_t(bytes.size()));
        zip_source_t *source = zip_source_buffer(archive, copy, zip_uint64_t(bytes.size()), 1);
        if (!source) {
            std::free(copy);
            return fail(QStringLiteral("le paquet ne peut pas être préparé"));
        }
        if (zip_file_add(archive, name.toUtf8().constData(), source,
                         ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            return fail(QStringLiteral("le paquet ne peut pas être préparé"));
        }
    }
    if (zip_close(archive) != 0) {
        // A failed close leaves the archive open: fail() discards it.
        const int system = zip_error_code_system(zip_get_error(archive));
        return fail(reasonOf(system != 0 ? system : EIO));
    }
    archive = nullptr;
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return fail(reasonOf(errno));
    return true;
}

} // namespace tv
