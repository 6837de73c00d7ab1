#include "editor/Main.h"
#include "editor/ProjectCommands.h"
#include "pack/PackCommandLine.h"
#include "picture/PictureLoader.h"
#include "platform/ProgramEnvironment.h"
#include "platform/QtPlatform.h"
#include "platform/ScreenColourProfile.h"
#include "platform/UserFolders.h"
#include "sound/GstMusicPlayer.h"
#include "sound/QtMediaPlayer.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

const char kHelp[] = "Usage: vistelle [PROJECT.ssp]\n"
                     "       vistelle --pack PROJECT.ssp FOLDER [--autorun PLAYER]\n"
                     "       vistelle --help | --version\n"
                     "\n"
                     "Builds picture slideshows with music: pictures with their pause times,\n"
                     "music files, stretch and sound switches. Saves them as .ssp projects,\n"
                     "test-runs them full screen and writes an Autorun.inf for a disc.\n"
                     "A project named on the command line is loaded at start.\n"
                     "Check a show before burning it with: showvale --check PROJECT.ssp\n"
                     "\n"
                     "--pack copies every picture and music file of the project into FOLDER\n"
                     "(new or empty) with the project, every path made %CurDir\\ + name, so the\n"
                     "folder plays from any disc, stick or folder. --autorun also writes an\n"
                     "Autorun.inf that starts PLAYER (e.g. Showvale.exe) with the project.\n"
                     "Missing or unreadable files stop it before anything is copied.\n"
                     "Needs no display.\n";

} // namespace

int main(int argc, char **argv)
{
    const QStringList arguments = argumentsAfterProgram(argc, argv);
    if (arguments == QStringList{QStringLiteral("--help")}) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (arguments == QStringList{QStringLiteral("--version")}) {
        std::printf("Vistelle %s\n", VISTELLE_VERSION);
        return 0;
    }

    if (!arguments.isEmpty() && arguments.first() == kPackOption) {
        // No window and no display: a plain application is enough to copy files.
        QCoreApplication app(argc, argv);
        return runPackCommand(arguments, currentProgramEnvironment().programDirectory);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistelle"));
    // The editor ends when its last window closes; an open help window or test run keeps it
    // running after the main window has gone.
    QApplication::setQuitOnLastWindowClosed(true);

    QtPlatform platform(QStringLiteral("Vistelle"));
    ImageReaderPictureLoader pictures(screenColourProfile());
    const PlatformServices services = platform.services(pictures,
                                                        &MediaPlayer::create<GstMusicPlayer>,
                                                        &MediaPlayer::create<QtMediaPlayer>);
    // Closing the window destroys it, so its preview stops playing even while other windows
    // of the editor stay open. Those have no parent and are not destroyed with it.
    const ProgramEnvironment environment = currentProgramEnvironment();
    QPointer<Main> window = new Main(services, environment.programDirectory, userDataFolder());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    // A project named on the command line, as a file manager's "Open with" passes it, is opened
    // as if chosen with Load. It is loaded from the event loop: closing the window during a long
    // load must end the program, and a quit asked for before the loop runs would be lost.
    const QString projectPath = environment.argumentText;
    if (!projectPath.isEmpty()) {
        QTimer::singleShot(0, window.data(), [window, projectPath] {
            window->commands().loadProjectFile(projectPath);
        });
    }
    const int result = QApplication::exec();
    delete window.data();
    return result;
}
