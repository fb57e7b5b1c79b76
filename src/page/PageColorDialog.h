#pragma once

#include <QDialog>

namespace tv {

struct AppState;
struct Services;
class MainWindow;

// Chooses the background colour of the page shown.
class PageColorDialog : public QDialog {
    Q_OBJECT
public:
    PageColorDialog(AppState &state, MainWindow &window, Services &services,
                    QWidget *parent = nullptr);

    // The colour being chosen, shown as the dialog's background.
    qint32 chosen() const { return chosen_; }
    void choose(qint32 value);

    void otherColor();
    void ok();

private:
    AppState &state_;
    MainWindow &window_;
    Services &services_;
    qint32 chosen_ = 0xE0E0E0;
};

} // namespace tv
