#include "app/Startup.h"
#include "platform/AppState.h"
#include "platform/EspeakSpeech.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/QtDialogs.h"
#include "platform/QtServices.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    // The standard dialogs speak French, as the rest of the program does.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtFrench);
    // The launch window closes before the main window opens: only the program's own
    // sequence decides when it ends.
    QApplication::setQuitOnLastWindowClosed(false);

    tv::AppState state;
    state.paths = tv::ProgramPaths::forRunningProgram();
    state.tpp = tv::screenTwipsPerPixel();

    tv::QtDialogs dialogs;
    tv::EspeakSpeech speech;
    tv::PulseSoundPlayer sounds;
    tv::MpvMediaPlayer media;
    tv::QtCursorPlacer cursor;
    tv::ThreadWaiter waiter;
    tv::Services services{dialogs, speech, sounds, media, cursor, waiter};
    tv::LockFileInstanceGuard guard(state.paths.programDirectory);

    tv::Startup startup(state, services, guard);
    QObject::connect(&startup, &tv::Startup::finished, &app,
                     [](int code) { QCoreApplication::exit(code); });
    if (!startup.begin())
        return 0;
    return QApplication::exec();
}
