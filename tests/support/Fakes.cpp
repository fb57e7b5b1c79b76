#include "Fakes.h"

#include "platform/ZipArchive.h"

#include <QtEndian>
#include <zlib.h>

#include <QtTest>
#include <QtWidgets>

namespace tv::test {

namespace {
template <typename T> T next(std::deque<T> &queue, T otherwise) {
    if (!queue.empty()) {
        otherwise = std::move(queue.front());
        queue.pop_front();
    }
    return otherwise;
}
} // namespace

MessageAnswer ScriptedDialogs::message(const QString &text, MessageIcon icon,
                                       MessageButtons buttons, const QString &title) {
    messages.append({text, icon, buttons, title.isEmpty() ? kProgramTitle : title});
    return next(answers, buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
}

QString ScriptedDialogs::input(const QString &, const QString &, const QString &) {
    return next(inputs, QString());
}

std::optional<QString> ScriptedDialogs::openFile(const OpenFileRequest &request) {
    fileRequests.append(request);
    return next(files, std::optional<QString>());
}

std::optional<qint32> ScriptedDialogs::chooseColor() {
    return next(colors, std::optional<qint32>());
}

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray pngBytes(const QColor &color, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void ScriptedMediaPlayer::play() {
    commands << QStringLiteral("play");
    switch (onPlay) {
    case OnPlay::Plays:
        enterMode(QStringLiteral("playing"));
        break;
    case OnPlay::StaysOpen:
        enterMode(QStringLiteral("open"));
        break;
    case OnPlay::Fails:
        enterMode(QStringLiteral("open"));
        if (onError)
            onError(QStringLiteral("format inconnu"));
        break;
    }
}

void ScriptedMediaPlayer::stop() {
    commands << QStringLiteral("stop");
    enterMode(QStringLiteral("stopped"));
}

void ScriptedMediaPlayer::pause() {
    commands << QStringLiteral("pause");
    enterMode(QStringLiteral("paused"));
}

void ScriptedMediaPlayer::enterMode(const QString &mode) {
    if (mode == current)
        return;
    current = mode;
    if (onModeChange)
        onModeChange(mode);
}

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

bool makeMedia(const QString &dir, const QRegularExpression &names) {
    for (const QStringList &row : caseTable("media.tsv")) {
        if (!names.match(row[0]).hasMatch())
            continue;
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     QStringList{"-hide_banner", "-loglevel", "error", "-y"} +
                         QString(row[1])
                             .replace("{film}", "-f lavfi -i testsrc=size=160x120:rate="
                                                "25:duration=1 -f lavfi -i sine=frequency="
                                                "330:duration=1 -shortest -pix_fmt yuv420p")
                             .split(u' ') +
                         QStringList{dir + u'/' + row[0]});
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
            return false;
    }
    return true;
}

QList<QStringList> caseTable(const QString &name) {
    QList<QStringList> rows;
    const QString text =
        QString::fromUtf8(fileBytes(QStringLiteral(TABLAVOX_TEST_DATA "/cases/") + name));
    for (QString line : text.split(u'\n')) {
        line.remove(QRegularExpression(QStringLiteral("\t# .*$")));
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList columns = line.split(u'\t');
        for (QString &column : columns) {
            QString plain;
            for (qsizetype i = 0; i < column.size(); ++i) {
                QChar c = column[i];
                if (c == u'\\' && i + 1 < column.size()) {
                    const QChar e = column[++i];
                    c = e == u'r'   ? QChar(u'\r')
                        : e == u'n' ? QChar(u'\n')
                        : e == u't' ? QChar(u'\t')
                                    : e;
                }
                plain += c;
            }
            column = plain;
        }
        rows << columns;
    }
    return rows;
}

SmallDisk::SmallDisk(const QString &size) {
    QProcess mount;
    mount.start("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", dir_.path()});
    mounted_ = mount.waitForFinished() && mount.exitCode() == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        QProcess::execute("umount", {dir_.path()});
}

bool SmallDisk::fill(qint64 leave) {
    QFile filler(path("filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    return leave == 0 || filler.resize(QFileInfo(filler).size() - leave);
}

bool SmallDisk::makeReadOnly() {
    return QProcess::execute("mount", {"-o", "remount,ro", dir_.path()}) == 0;
}

QStringList unnamedControls(const QWidget *window) {
    QStringList unnamed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // A name of its own: a button's text, or the name given for it. (Qt would otherwise
        // fall back on the frame's title or the value shown, which name nothing.)
        const auto *button = qobject_cast<QAbstractButton *>(w);
        const bool control =
            qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w) ||
            (qobject_cast<QAbstractSlider *>(w) && !qobject_cast<QScrollBar *>(w)) ||
            qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractItemView *>(w) || button;
        // A combo box's list is a window of its own; a spin box's or combo box's text field
        // is part of it; Qt's own parts ("qt_…") are named by Qt.
        if (control && w->window() == window && !w->objectName().startsWith("qt_") &&
            !qobject_cast<QComboBox *>(w->parentWidget()) &&
            !qobject_cast<QAbstractSpinBox *>(w->parentWidget()) &&
            w->accessibleName().trimmed().isEmpty() &&
            (!button || button->text().remove(u'&').trimmed().isEmpty()))
            unnamed << w->objectName();
    }
    return unnamed;
}

} // namespace tv::test
