#include "Startup.h"

#include "app/DataPlace.h"
#include "app/LaunchWindow.h"
#include "app/PageLock.h"
#include "app/ProgramPropertiesDialog.h"
#include "boards/BoardExchange.h"
#include "edit/PictureEditor.h"
#include "edit/PointerModes.h"
#include "edit/PropertiesDialog.h"
#include "journal/ReportCommands.h"
#include "journal/UsageLog.h"
#include "model/AppState.h"
#include "page/MainWindow.h"
#include "page/PageColorDialog.h"
#include "page/PageCommands.h"
#include "page/PageLoader.h"
#include "page/PageSounds.h"
#include "page/PictureCache.h"
#include "page/SelectionFrame.h"
#include "platform/Dialogs.h"
#include "platform/KeyRepeat.h"
#include "platform/Numbers.h"
#include "platform/Services.h"
#include "platform/TextFile.h"
#include "print/PrintCommands.h"
#include "use/DwellPointing.h"
#include "use/MediaPlayback.h"
#include "use/MediaWindow.h"
#include "use/MessageChoices.h"
#include "use/PictureAccessible.h"
#include "use/PictureActivation.h"
#include "use/Scanning.h"
#include "use/SpeechWindow.h"
#include "use/SwitchInput.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

namespace tv {

Startup::Startup(AppState &state, Services &services, InstanceGuard &guard, QObject *parent)
    : QObject(parent), state_(state), services_(services), guard_(guard),
      settingsStore_(state, services.dialogs) {
}

Startup::~Startup() {
    // These refer to the main window: they go first.
    lock_.reset();
    printing_.reset();
    dwell_.reset();
    activation_.reset();
    pageCommands_.reset();
    editor_.reset();
    switches_.reset();
    scanning_.reset();
    modes_.reset();
    media_.reset();
    pages_.reset();
    main_.reset();
}

bool Startup::begin() {
    if (!guard_.acquire()) {
        services_.dialogs.message(QStringLiteral("Programme déjà lancé"), MessageIcon::Exclamation,
                                  MessageButtons::Ok, QStringLiteral("Imagivox"));
        end(0);
        return false;
    }
    // A person's first start: their directory gets the demo and the default settings, so the
    // program opens on a board rather than on an error box.
    if (needsFirstFill(state_.paths.dataDirectory)) {
        const QString error =
            fillDataDirectory(state_.paths.dataDirectory, state_.paths.demoDirectory);
        if (!error.isEmpty()) {
            services_.dialogs.message(
                QStringLiteral("Les pages de départ n'ont pas pu être copiées dans ''%1''.\r\n%2"
                               "\r\nLe programme va s'arrêter")
                    .arg(state_.paths.dataDirectory, error),
                MessageIcon::Critical, MessageButtons::Ok);
            end(1);
            return false;
        }
    }
    QDir::setCurrent(state_.paths.dataDirectory);
    launch_ = std::make_unique<LaunchWindow>(state_.tpp);
    connect(launch_.get(), &LaunchWindow::goRequested, this, &Startup::go);
    connect(launch_.get(), &LaunchWindow::stopRequested, this, [this] {
        launch_->stopProgress();
        launch_->close();
        end(0);
    });
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = launch_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        launch_->move(frame.topLeft());
    }
    launch_->show();
    return true;
}

bool Startup::checkDataDirectories() {
    const auto refuse = [this](const QString &name) {
        services_.dialogs.message(QStringLiteral("Le répertoire ''%1'' n'existe pas\r\n"
                                                 "Vous devez le créer manuellement\r\n"
                                                 "Le programme va s'arrêter")
                                      .arg(name),
                                  MessageIcon::Critical, MessageButtons::Ok);
        end(1);
        return false;
    };
    if (!QFileInfo(state_.paths.pagesDirectory()).isDir())
        return refuse(QStringLiteral("pages"));
    if (!QFileInfo(state_.paths.multimediaDirectory()).isDir())
        return refuse(QStringLiteral("multimedia"));
    return true;
}

void Startup::go() {
    // The button and the full bar can both ask; the start happens once.
    if (going_ || ended_)
        return;
    going_ = true;
    if (!checkDataDirectories())
        return;
    // What a save cut short by a crash left behind: only the program's own temporary names.
    removeLeftoversOfSaves(state_.paths.dataDirectory, false);
    removeLeftoversOfSaves(state_.paths.pagesDirectory(), true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    launch_->stopProgress();
    launch_->close();
    runMain();
    QApplication::restoreOverrideCursor();
}

void Startup::runMain() {
    state_.currentImage = 0;
    state_.settings.accessMode = kAccessMouse;
    state_.settings.frameBlink = false;

    storedPictures_ = std::make_unique<DiskPictureCache>(DiskPictureCache::standardDirectory());
    pictures_ = std::make_unique<PictureCache>();
    pictures_->setDisk(storedPictures_.get());
    pageSounds_ = std::make_unique<PageSounds>(services_.sounds);
    installPictureAccessibility();
    main_ = std::make_unique<MainWindow>(state_);
    pages_ = std::make_unique<PageLoader>(state_, *main_, services_, *pictures_, *pageSounds_);
    connect(pages_.get(), &PageLoader::fatalError, this, [this] { end(1); });
    connect(main_.get(), &MainWindow::quitRequested, this, &Startup::quitProgram);
    connect(main_.get(), &MainWindow::closedByUser, this, [this] { end(0); });

    const SettingsReadOutcome outcome = settingsStore_.read();
    main_->applyLook();
    main_->applySettingsRead(outcome);

    speech_ = std::make_unique<SpeechWindow>(services_.speech);
    connect(speech_.get(), &SpeechWindow::noticeChanged, main_.get(), &MainWindow::setNotice);
    speech_->load();
    media_ = std::make_unique<MediaPlayback>(state_, *main_, services_);
    connect(main_.get(), &MainWindow::backgroundPressed, media_.get(),
            &MediaPlayback::stopAndClose);
    // A press on the background stops the media, then ends a stretch, then may resume
    // scanning: the handlers run in the order they are made.
    modes_ = std::make_unique<PointerModes>(state_, *main_, services_);
    scanning_ = std::make_unique<Scanning>(state_, *main_, services_);
    switches_ = std::make_unique<SwitchInput>(state_, *main_, *scanning_);
    reportHeldKeysWithoutReleases();
    editor_ = std::make_unique<PictureEditor>(state_, *main_, services_, *media_, *modes_);
    activation_ = std::make_unique<PictureActivation>(state_, *main_, services_, *speech_, *pages_,
                                                      *media_, [this] { quitProgram(); });
    activation_->setEditor(editor_.get());
    usageLog_ = std::make_unique<UsageLog>(state_.paths.dataDirectory);
    activation_->setUsageLog(usageLog_.get());
    connect(usageLog_.get(), &UsageLog::stopped, this, [this](const QString &why) {
        main_->setUsageMark(false);
        services_.dialogs.message(why, MessageIcon::Exclamation, MessageButtons::Ok);
    });
    applyUsageLog();
    choices_ = std::make_unique<MessageChoices>(state_, *main_, *speech_);
    choices_->noteChoice = [this](const QString &phrase) { activation_->notePicked(phrase); };
    choices_->noteMessage = [this](const QString &text) { activation_->noteMessage(text); };
    choices_->beforeSpeaking = [this] { media_->stopMedia(); };
    connect(choices_.get(), &MessageChoices::keepingStopped, this, [this](const QString &why) {
        services_.dialogs.message(why, MessageIcon::Exclamation, MessageButtons::Ok);
    });
    scanning_->setEditor(editor_.get());
    dwell_ = std::make_unique<DwellPointing>(
        state_, *main_, [this] { return media_->window() && media_->window()->isVisible(); },
        [this](int index) { activation_->press(index, Qt::LeftButton); });
    editor_->openProperties = [this] {
        PropertiesDialog dialog(state_, *main_, services_, *speech_, *pictures_, main_.get());
        dialog.exec();
    };
    pageCommands_ = std::make_unique<PageCommands>(state_, *main_, services_, *pages_);
    boards_ = std::make_unique<BoardExchange>(state_, *main_, services_, *pages_);
    printing_ = std::make_unique<PrintCommands>(state_, *main_, services_, *pages_);
    reports_ = std::make_unique<ReportCommands>(state_, *main_, services_);
    connect(main_->action(QStringLiteral("mnuPropProgramme")), &QAction::triggered, this,
            &Startup::openProgramProperties);
    connect(main_->action(QStringLiteral("mnuCouleurPage")), &QAction::triggered, this,
            &Startup::openPageColor);

    dwell_->settingsChanged();
    const Settings &s = state_.settings;
    main_->setOuterGeometryTwips(
        {s.windowLeft, s.windowTop, s.windowWidth, double(s.windowHeight)});
    pages_->clearPage();
    main_->show();
    lock_ =
        std::make_unique<PageLock>(state_, *main_, services_, *modes_, [this] { writeSettings(); });
    lock_->apply();
    main_->setFullScreen(s.fullScreen);
    state_.page.currentPage = QStringLiteral("page_départ.dat");
    pages_->loadPage();
    choices_->start();
}

void Startup::quitProgram() {
    if (ended_)
        return;
    // A board set coming in stops first and leaves nothing of itself behind.
    if (boards_)
        boards_->stopImport();
    speech_->litLeTexte(QStringLiteral("Au revoir...;"));
    services_.waiter.waitMs(2000);
    pages_->savePage();
    writeSettings();
    main_->closeForQuit();
    end(0);
}

void Startup::writeSettings() {
    // The values being edited in the properties dialog, or those it would open with.
    settingsStore_.write(main_->outerGeometryTwips(), programProperties_
                                                          ? programProperties_->edited()
                                                          : editedOnOpening(state_.settings));
}

void Startup::readSettings() {
    main_->applySettingsRead(settingsStore_.read());
}

ProgramPropertiesDialog *Startup::programProperties() const {
    return programProperties_.data();
}

void Startup::openProgramProperties() {
    if (!programProperties_) {
        ProgramPropertiesDialog::Actions actions;
        actions.save = [this](const EditedSettings &edited) { saveProgramProperties(edited); };
        actions.showVideoWindow = [this](QSize pixels) { media_->showEmptyWindow(pixels); };
        actions.paceReport = [this] { return paceReport(scanning_->pace(), state_.settings); };
        actions.eraseUsageLog = [this] { return usageLog_->erase(); };
        actions.forgetLearned = [this] { return choices_->forget(); };
        programProperties_ = new ProgramPropertiesDialog(state_, services_, *pageSounds_,
                                                         std::move(actions), main_.get());
        programProperties_->setAttribute(Qt::WA_DeleteOnClose);
        // Gone for the program the moment it closes; the next opening starts afresh.
        connect(programProperties_, &QDialog::finished, this,
                [this] { programProperties_ = nullptr; });
    }
    programProperties_->show();
    programProperties_->raise();
    programProperties_->activateWindow();
}

void Startup::saveProgramProperties(const EditedSettings &edited) {
    settingsStore_.write(main_->outerGeometryTwips(), edited);
    readSettings();
    scanning_->settingsChanged();
    switches_->settingsChanged();
    dwell_->settingsChanged();
    lock_->apply();
    media_->stopAndClose();
    main_->applyLook();
    applyUsageLog();
    choices_->settingsChanged();
}

void Startup::applyUsageLog() {
    usageLog_->setEnabled(state_.settings.usageLog);
    main_->setUsageMark(state_.settings.usageLog);
}

void Startup::openPageColor() {
    PageColorDialog dialog(state_, *main_, services_, main_.get());
    dialog.exec();
}

void Startup::end(int exitCode) {
    if (ended_)
        return;
    ended_ = true;
    exitCode_ = exitCode;
    if (boards_)
        boards_->stopImport();
    if (launch_)
        launch_->close();
    if (main_)
        main_->closeForQuit();
    emit finished(exitCode);
}

} // namespace tv
