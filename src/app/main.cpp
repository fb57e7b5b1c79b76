#include "app/CommandLine.h"
#include "app/DataPlace.h"
#include "app/Startup.h"
#include "journal/ReportCommand.h"
#include "model/AppState.h"
#include "platform/EspeakSpeech.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/PulseVoiceInput.h"
#include "platform/QtDialogs.h"
#include "platform/QtServices.h"
#include "print/PrintCommands.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>

int main(int argc, char *argv[]) {
    // Read before any window exists: "--help" must answer without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const tv::CommandLine line = tv::parseCommandLine(arguments);
    const bool writes = line.action == tv::CommandLine::Action::Pdf ||
                        line.action == tv::CommandLine::Action::Report;
    if (line.action != tv::CommandLine::Action::Run && !writes) {
        std::fputs(line.text.toLocal8Bit().constData(),
                   line.action == tv::CommandLine::Action::Refuse ? stderr : stdout);
        return line.exitCode();
    }

    // Boards printed from the command line need no screen: without one, they are drawn
    // off-screen.
    if (writes && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tablavox.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("fr.tablavox.Tablavox"));
    // The standard dialogs speak French, as the rest of the program does.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtFrench);
    // The launch window closes before the main window opens: only the program's own
    // sequence decides when it ends.
    QApplication::setQuitOnLastWindowClosed(false);

    tv::AppState state;
    state.paths.dataDirectory = tv::chooseDataDirectory(
        line.directory, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    state.paths.demoDirectory = tv::ProgramPaths::sharedDirectory();
    state.tpp = tv::screenTwipsPerPixel();
    // The guard is named after the directory's real path: made first, so that every copy
    // started on it finds the same name.
    QDir().mkpath(state.paths.dataDirectory);
    if (line.action == tv::CommandLine::Action::Report)
        return tv::reportCommand(state.paths, {line.reportFile, line.from, line.to}, state.tpp);
    if (line.action == tv::CommandLine::Action::Pdf)
        return tv::printBoardsCommand(line.pdfFile, line.pages, {line.index, line.cutLines},
                                      state.paths, state.tpp);

    tv::QtDialogs dialogs;
    tv::EspeakSpeech speech;
    tv::PulseSoundPlayer sounds;
    tv::MpvMediaPlayer media;
    tv::QtCursorPlacer cursor;
    tv::ThreadWaiter waiter;
    tv::PulseVoiceInput voice;
    tv::Services services{dialogs, speech, sounds, media, cursor, waiter, voice};
    tv::LockFileInstanceGuard guard(state.paths.dataDirectory);

    tv::Startup startup(state, services, guard);
    QObject::connect(&startup, &tv::Startup::finished, &app,
                     [](int code) { QCoreApplication::exit(code); });
    if (!startup.begin())
        return startup.exitCode();
    return QApplication::exec();
}
