#include "QtDialogs.h"

#include "Colors.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace tv {

QString qtFileFilter(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<QString> askNewFile(Dialogs &dialogs, const QString &proposed, const QString &filter,
                                  const QString &extension) {
    OpenFileRequest request{QDir::homePath(), proposed, filter};
    request.newFile = true;
    const auto chosen = dialogs.openFile(request);
    if (!chosen)
        return std::nullopt;
    QString path = *chosen;
    if (!path.endsWith(extension, Qt::CaseInsensitive))
        path += extension;
    if (QFileInfo::exists(path) &&
        dialogs.message(QStringLiteral("« ") + shortenedForMessage(QFileInfo(path).fileName()) +
                            QStringLiteral(" » existe déjà. Le remplacer ?"),
                        MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return std::nullopt;
    return path;
}

QString shortenedForMessage(const QString &text, int maxLength) {
    if (text.size() <= maxLength)
        return text;
    const int half = (maxLength - 1) / 2;
    return text.left(half) + QChar(0x2026) + text.right(maxLength - 1 - half);
}

static QString shown(const QString &text) {
    // Whatever a message quotes, the box stays within the screen.
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (QString &line : lines)
        line = shortenedForMessage(line, 300);
    if (lines.size() > 30)
        lines = lines.mid(0, 29) << QString(QChar(0x2026));
    return lines.join(u'\n');
}

MessageAnswer QtDialogs::message(const QString &text, MessageIcon icon, MessageButtons buttons,
                                 const QString &title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? kProgramTitle : title);
    box.setText(shown(text));
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    const std::pair<QMessageBox::StandardButton, const char *> captions[] = {
        {QMessageBox::Yes, "&Oui"}, {QMessageBox::No, "&Non"}, {QMessageBox::Cancel, "Annuler"}};
    for (const auto &[button, caption] : captions) {
        if (QAbstractButton *b = box.button(button))
            b->setText(QString::fromUtf8(caption));
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

QString QtDialogs::input(const QString &prompt, const QString &title, const QString &preset) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, shown(prompt),
                                               QLineEdit::Normal, preset, &ok);
    return ok ? text : QString();
}

std::optional<QString> QtDialogs::openFile(const OpenFileRequest &request) {
    QString dir = request.initialDirectory.isEmpty() ? lastDirectory_ : request.initialDirectory;
    if (!request.fileName.isEmpty())
        dir += u'/' + request.fileName;
    QFileDialog dialog(QApplication::activeWindow(), QString(), dir, qtFileFilter(request.filter));
    dialog.setObjectName(QStringLiteral("cmdialogue"));
    dialog.setWindowTitle(QStringLiteral("Choisir un fichier"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.newFile ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    lastDirectory_ = QFileInfo(path).absolutePath();
    return path;
}

std::optional<qint32> QtDialogs::chooseColor() {
    const QColor color = QColorDialog::getColor(Qt::white, QApplication::activeWindow());
    if (!color.isValid())
        return std::nullopt;
    return valueFromColor(color);
}

} // namespace tv
