#include "PrintCommands.h"

#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PageLoader.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

namespace tv {

namespace {

QString printedMessage(const QString &name, const std::vector<PrintedBoard> &boards) {
    int printed = 0;
    QStringList skipped;
    for (const PrintedBoard &b : boards)
        b.readable() ? void(++printed) : void(skipped << b.stored);
    QString text = QStringLiteral("« %1 » : %2 page%3 imprimée%3.")
                       .arg(name)
                       .arg(printed)
                       .arg(printed > 1 ? QStringLiteral("s") : QString());
    if (!skipped.isEmpty())
        text += QStringLiteral("\r\nPages illisibles, non imprimées : ") +
                skipped.join(QStringLiteral(", "));
    return text;
}

} // namespace

PrintOptionsDialog::PrintOptionsDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImpression"));
    setWindowTitle(QStringLiteral("Impression des pages"));
    auto *layout = new QVBoxLayout(this);
    chkSommaire_ = new QCheckBox(QStringLiteral("Page de sommaire"), this);
    chkSommaire_->setObjectName(QStringLiteral("chkSommaire"));
    chkCadres_ = new QCheckBox(QStringLiteral("Cadres à découper"), this);
    chkCadres_->setObjectName(QStringLiteral("chkCadres"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    layout->addWidget(chkSommaire_);
    layout->addWidget(chkCadres_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

PrintOptions PrintOptionsDialog::options() const {
    return {chkSommaire_->isChecked(), chkCadres_->isChecked()};
}

PrintCommands::PrintCommands(AppState &state, MainWindow &window, Services &services,
                             PageLoader &pages, QObject *parent)
    : QObject(parent), state_(state), window_(window), services_(services), pages_(pages) {
    connect(window_.action(QStringLiteral("mnuImprimer")), &QAction::triggered, this,
            &PrintCommands::print);
    connect(window_.action(QStringLiteral("mnuExporterPdf")), &QAction::triggered, this,
            &PrintCommands::exportPdf);
}

PrintCommands::~PrintCommands() = default;

std::optional<PrintOptions> PrintCommands::ask() {
    if (!pages_.mayLeavePage())
        return std::nullopt;
    PrintOptionsDialog dialog(&window_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

void PrintCommands::print() {
    const auto options = ask();
    if (!options)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPrintDialog dialog(&printer, &window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto boards = collectBoards(
        {state_.paths.pagesDirectory(), state_.paths.multimediaDirectory(), state_.tpp}, {});
    const QString why = printBoards(printer, boards, *options);
    QApplication::restoreOverrideCursor();
    if (!why.isEmpty())
        services_.dialogs.message(QStringLiteral("Les pages n'ont pas été imprimées : ") + why,
                                  MessageIcon::Critical, MessageButtons::Ok);
}

void PrintCommands::exportPdf() {
    if (isExporting())
        return;
    const auto options = ask();
    if (!options)
        return;
    const auto path = askNewFile(services_.dialogs, QStringLiteral("tableaux.pdf"),
                                 QStringLiteral("Documents PDF|*.pdf"), QStringLiteral(".pdf"));
    if (!path)
        return;
    const QString name = shortenedForMessage(QFileInfo(*path).fileName());
    // Pictures are decoded at the printer's resolution: seconds for a whole set, away from
    // the window.
    const BoardSource source{state_.paths.pagesDirectory(), state_.paths.multimediaDirectory(),
                             state_.tpp};
    const PrintOptions chosenOptions = *options;
    exports_.run(
        [path = *path, source, chosenOptions](const OffThread::Token &) {
            auto boards = collectBoards(source, {});
            QString why = writeBoardsPdf(path, boards, chosenOptions);
            return std::make_pair(std::move(boards), std::move(why));
        },
        [this, name](const std::pair<std::vector<PrintedBoard>, QString> &done) {
            if (!done.second.isEmpty())
                services_.dialogs.message(QStringLiteral("« ") + name +
                                              QStringLiteral(" » n'a pas été écrit : ") +
                                              done.second,
                                          MessageIcon::Critical, MessageButtons::Ok);
            else
                services_.dialogs.message(printedMessage(name, done.first),
                                          MessageIcon::Information, MessageButtons::Ok);
            emit exportFinished();
        });
}

int printBoardsCommand(const QString &pdfFile, const QStringList &pages,
                       const PrintOptions &options, const ProgramPaths &paths, TwipsPerPixel tpp) {
    const auto boards =
        collectBoards({paths.pagesDirectory(), paths.multimediaDirectory(), tpp}, pages);
    const QString why = writeBoardsPdf(pdfFile, boards, options);
    const QString name = QFileInfo(pdfFile).fileName();
    if (!why.isEmpty()) {
        std::fprintf(stderr, "tablavox : « %s » n'a pas été écrit : %s\n", qPrintable(name),
                     qPrintable(why));
        return 1;
    }
    std::fprintf(stderr, "%s\n",
                 qPrintable(printedMessage(name, boards).replace(QLatin1String("\r\n"), "\n")));
    return 0;
}

} // namespace tv
