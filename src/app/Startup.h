#pragma once

#include "app/SettingsStore.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace tv {

struct AppState;
struct Services;
class BoardExchange;
class PrintCommands;
class InstanceGuard;
class LaunchWindow;
class MainWindow;
class PageLoader;
class PictureCache;
class DiskPictureCache;
class PageSounds;
class SpeechWindow;
class PictureActivation;
class DwellPointing;
class PageLock;
class MediaPlayback;
class Scanning;
class SwitchInput;
class PointerModes;
class PictureEditor;
class PageCommands;
class ProgramPropertiesDialog;
class ReportCommands;
class UsageLog;
class MessageChoices;

// The life of the program: launch window, checks, settings, main window, quit.
class Startup : public QObject {
    Q_OBJECT
public:
    Startup(AppState &state, Services &services, InstanceGuard &guard, QObject *parent = nullptr);
    ~Startup() override;

    // Shows the launch window. False when the program must end at once (a second copy, a
    // first start whose directory could not be filled), with exitCode().
    bool begin();
    int exitCode() const { return exitCode_; }

    // True when both data directories exist; otherwise says so and ends the program.
    bool checkDataDirectories();

    // Farewell, page and settings written, end.
    void quitProgram();

    // The program properties dialog, opened or brought to the front.
    void openProgramProperties();
    ProgramPropertiesDialog *programProperties() const;
    void openPageColor();

    LaunchWindow *launchWindow() const { return launch_.get(); }
    MainWindow *mainWindow() const { return main_.get(); }
    PageLoader *pageLoader() const { return pages_.get(); }
    SpeechWindow *speechWindow() const { return speech_.get(); }
    MessageChoices *messageChoices() const { return choices_.get(); }
    bool hasEnded() const { return ended_; }

signals:
    // The program is over; the event loop should end with this code.
    void finished(int exitCode);

private:
    void go();
    void runMain();
    void end(int exitCode);
    void readSettings();
    void saveProgramProperties(const EditedSettings &edited);
    // The settings file as it stands, with the values being edited in the properties dialog.
    void writeSettings();
    // The usage log and its mark as the settings say.
    void applyUsageLog();

    AppState &state_;
    Services &services_;
    InstanceGuard &guard_;
    SettingsStore settingsStore_;
    std::unique_ptr<LaunchWindow> launch_;
    std::unique_ptr<DiskPictureCache> storedPictures_; // outlives the page loader's decoding
    std::unique_ptr<PictureCache> pictures_;
    std::unique_ptr<PageSounds> pageSounds_;
    std::unique_ptr<SpeechWindow> speech_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<PageLoader> pages_;
    std::unique_ptr<MediaPlayback> media_;
    std::unique_ptr<PointerModes> modes_;
    std::unique_ptr<Scanning> scanning_;
    std::unique_ptr<SwitchInput> switches_;
    std::unique_ptr<PictureEditor> editor_;
    std::unique_ptr<PageCommands> pageCommands_;
    std::unique_ptr<BoardExchange> boards_;
    std::unique_ptr<PrintCommands> printing_;
    std::unique_ptr<UsageLog> usageLog_;
    std::unique_ptr<ReportCommands> reports_;
    QPointer<ProgramPropertiesDialog> programProperties_;
    std::unique_ptr<PictureActivation> activation_;
    std::unique_ptr<DwellPointing> dwell_;
    std::unique_ptr<PageLock> lock_;
    std::unique_ptr<MessageChoices> choices_;
    bool going_ = false;
    bool ended_ = false;
    int exitCode_ = 0;
};

} // namespace tv
