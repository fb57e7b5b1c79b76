#pragma once

#include "BoardImport.h"

#include <QObject>

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

    void importBoards();
    void exportBoards();

private:
    // The import on a thread of its own while the window answers, with its progress and
    // "Annuler".
    ImportReport importAway(const QString &file, const ImportTarget &target);
    ExistingPages askAboutExisting(const QStringList &taken);

    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PageLoader &pages_;
};

} // namespace tv
