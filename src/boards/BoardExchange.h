#pragma once

#include "BoardExport.h"
#include "BoardImport.h"
#include "platform/OffThread.h"

#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

class QProgressDialog;

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PageLoader;

inline const QString kBoardsFilter = QStringLiteral("Tableaux OBF|*.obf;*.obz");

// "Importer…" and "Exporter…" of the "Pages" menu: board sets shared with other programs.
class BoardExchange : public QObject {
    Q_OBJECT
public:
    BoardExchange(AppState &state, MainWindow &window, Services &services, PageLoader &pages,
                  QObject *parent = nullptr);
    // An import still running is stopped first: nothing of it stays behind.
    ~BoardExchange() override;

    // Starts the import of a board set chosen by the carer; it goes on away from the window,
    // which answers meanwhile, and ends with importFinished.
    void importBoards();
    bool isImporting() const { return importing_; }
    // The program is ending: the import running stops now and leaves nothing behind, no
    // page half written and none of the set in place.
    void stopImport();
    // Writes the page shown and every page it leads to into a package chosen by the carer,
    // away from the window; ends with exportFinished.
    void exportBoards();

signals:
    void importFinished();
    void exportFinished();

private:
    void imported(const ImportReport &report);
    void exported(const QString &name, const ExportReport &report);
    // While a set comes in, the page takes no presses and the page commands wait: what was
    // done meanwhile would be lost when the set's first page opens.
    void holdPage(bool held);
    ExistingPages askAboutExisting(const QStringList &taken);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PageLoader &pages_;
    bool importing_ = false;
    QPointer<QProgressDialog> progress_;
    // Shared with the importing thread, which may outlive a question it asked.
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
    QString importedName_;
    // Last, so that the work under way ends before anything it reports to goes.
    OffThread exports_;
    OffThread imports_;
};

} // namespace tv
