#pragma once

#include "platform/OffThread.h"

#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;
class QListView;

namespace tv {

class SymbolLibrary;
class SymbolResults;

// Finds a symbol by its French name as the carer types: a search field above a grid of
// the matching symbols, best first, each with its name under it. Arrows move in the grid
// from the field; Return takes the symbol shown selected.
class SymbolDialog : public QDialog {
    Q_OBJECT
public:
    explicit SymbolDialog(const SymbolLibrary &library, QWidget *parent = nullptr);

    // The library index of the symbol taken, or -1.
    int chosen() const { return chosen_; }
    int shownCount() const;
    // A search for the letters typed is still under way.
    bool searching() const { return search_.running() > 0; }
    QListView *grid() const { return grid_; }
    QLineEdit *field() const { return field_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The search runs away from the window, which answers while the carer types; a result
    // for letters typed over is dropped.
    void showMatches(const QString &query);
    void shown(const QString &query, const std::vector<int> &matches);
    void take();

    const SymbolLibrary &library_;
    SymbolResults *results_ = nullptr;
    QLineEdit *field_ = nullptr;
    QListView *grid_ = nullptr;
    QLabel *count_ = nullptr;
    int chosen_ = -1;
    // Return pressed while the search for the last letters runs: what it finds first is taken,
    // never a symbol of letters typed over.
    bool takeWhenShown_ = false;
    OffThread search_;
};

} // namespace tv
