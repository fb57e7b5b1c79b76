#pragma once

#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;
class PageLoader;

// Filters of the file dialogs, in the "description|pattern;pattern" form.
inline const QString kPagesFilter = QStringLiteral("Pages|page*.dat");

// The name "&Nouvelle" proposes for a reply: "page_" in front and ".dat" at the end unless
// they are there already, letter case included.
QString newPageName(const QString &reply);

// The commands of the "Pages" menu that make, open and save page files.
class PageCommands : public QObject {
    Q_OBJECT
public:
    PageCommands(AppState &state, MainWindow &window, Services &services, PageLoader &pages,
                 QObject *parent = nullptr);

    void newPage();
    void loadPage();
    void savePage();

private:
    AppState &state_;
    MainWindow &window_;
    Services &services_;
    PageLoader &pages_;
};

} // namespace tv
