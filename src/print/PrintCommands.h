#pragma once

#include "BoardPrint.h"
#include "platform/OffThread.h"
#include "platform/ProgramPaths.h"

#include <QDialog>
#include <QObject>

class QCheckBox;

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PageLoader;

// What a printout holds beyond the boards: asked before printing or exporting.
class PrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintOptionsDialog(QWidget *parent = nullptr);
    PrintOptions options() const;

private:
    QCheckBox *chkSommaire_ = nullptr;
    QCheckBox *chkCadres_ = nullptr;
};

// "Pages → Imprimer…" and "Pages → Exporter en PDF…": the start page and every page its
// links reach, one board per sheet.
class PrintCommands : public QObject {
    Q_OBJECT
public:
    PrintCommands(AppState &state, MainWindow &window, Services &services, PageLoader &pages,
                  QObject *parent = nullptr);
    ~PrintCommands() override;
    void print();
    void exportPdf();
    bool isExporting() const { return exports_.running(); }

signals:
    void exportFinished();

private:
    // The options, after the page shown was offered a save: what is printed is what is on
    // disk. Nothing when the carer cancels.
    std::optional<PrintOptions> ask();

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PageLoader &pages_;
    OffThread exports_;
};

// "tablavox --pdf": writes the boards into the file and says what it did on the standard
// error; the program's exit code.
int printBoardsCommand(const QString &pdfFile, const QStringList &pages,
                       const PrintOptions &options, const ProgramPaths &paths, TwipsPerPixel tpp);

} // namespace tv
