#pragma once

#include "platform/OffThread.h"

#include <QObject>

namespace tv {

struct AppState;
struct Services;
class MainWindow;

// "Programme → Rapport…": the report of the person's usage, a PDF (or a CSV of the events),
// written away from the window.
class ReportCommands : public QObject {
    Q_OBJECT
public:
    ReportCommands(AppState &state, MainWindow &window, Services &services,
                   QObject *parent = nullptr);
    void writeReport();

signals:
    void reportWritten();

private:
    AppState &state_;
    Services &services_;
    OffThread reports_;
};

} // namespace tv
