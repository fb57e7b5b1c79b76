#include "BoardBuilders.h"

#include "Files.h"

#include "platform/ZipArchive.h"

#include <QtEndian>
#include <QtTest>
#include <zlib.h>

namespace tv::test {

QString package(const QTemporaryDir &dir, const BoardEntries &e) {
    const QString file = dir.filePath("set.obz");
    QFile::remove(file);
    QString why;
    if (!writeZip(file, e, &why))
        qFatal("%s", qPrintable(why));
    return file;
}

// A PNG whose header claims 20000 × 20000 pixels: never decoded.
static QByteArray hugePng() {
    QByteArray bytes = pngBytes(Qt::red);
    for (int offset : {16, 20})
        qToBigEndian<quint32>(20000, bytes.data() + offset);
    const quint32 crc =
        quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.constData() + 12), 17));
    qToBigEndian<quint32>(crc, bytes.data() + 29);
    return bytes;
}

// Two boards: "Maison" with the kinds of buttons, "Jeux" with a way back. One picture is too
// large to decode, another has a right header and wrong data.
BoardEntries boardSet() {
    const QString from = QStringLiteral(TABLAVOX_TEST_DATA "/boards/");
    QByteArray damaged = pngBytes(Qt::green);
    for (qsizetype i = damaged.indexOf("IDAT") + 8; i < damaged.size() - 16; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    return {{"manifest.json", fileBytes(from + "manifest.json")},
            {"boards/maison.obf",
             fileBytes(from + "maison.obf").replace("BLUE_PNG", pngBytes(Qt::blue).toBase64())},
            {"boards/jeux.obf", fileBytes(from + "jeux.obf")},
            {"images/bonjour.png", pngBytes(Qt::red)},
            {"sounds/wouf.wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) + QByteArray(40, '\0')},
            {"images/huge.png", hugePng()},
            {"images/abime.png", damaged}};
}

} // namespace tv::test
