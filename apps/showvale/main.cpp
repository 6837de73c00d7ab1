#include "export/ExportCommandLine.h"
#include "picture/PictureLoader.h"
#include "platform/ProcessMemory.h"
#include "platform/ProgramEnvironment.h"
#include "platform/QtPlatform.h"
#include "platform/ScreenColourProfile.h"
#include "player/Form1.h"
#include "player/PlayerCommandLine.h"
#include "player/ShowCheck.h"
#include "sound/GstMusicPlayer.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char **argv)
{
    // Answered before any window system is needed, so they work in a plain terminal.
    const PlayerCommand early = parsePlayerCommandLine(
        joinArguments(argumentsAfterProgram(argc, argv)));
    if (early.kind == PlayerCommandKind::ShowHelp) {
        std::fputs(qPrintable(playerUsageText(QStringLiteral("showvale"))), stdout);
        return 0;
    }
    if (early.kind == PlayerCommandKind::ShowVersion) {
        std::printf("Showvale %s\n", SHOWVALE_VERSION);
        return 0;
    }

    if (early.kind == PlayerCommandKind::CheckProject) {
        // No window and no display: a plain application is enough to decode pictures.
        QCoreApplication app(argc, argv);
        ImageReaderPictureLoader pictures;
        const ShowCheckReport report = checkShow(early.projectPath,
                                                 currentProgramEnvironment().programDirectory,
                                                 pictures);
        std::fputs(qPrintable(formatShowCheckReport(early.projectPath, report)), stdout);
        return report.showWouldFail() ? 1 : 0;
    }

    if (early.kind == PlayerCommandKind::ExportVideo) {
        // No display either: pictures are painted into images, never onto a screen.
        QCoreApplication app(argc, argv);
        return runExportCommand(argumentsAfterProgram(argc, argv).mid(1),
                                currentProgramEnvironment().programDirectory);
    }

    returnPictureBuffersToTheSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Showvale"));
    QApplication::setApplicationVersion(QStringLiteral(SHOWVALE_VERSION));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.vistelle.Showvale")));
    // The program ends when the show does, not when a message box closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const ProgramEnvironment environment = currentProgramEnvironment();
    QtPlatform platform(QStringLiteral("Showvale"));
    ImageReaderPictureLoader pictures(screenColourProfile());
    Form1 form(platform.services(pictures, &MediaPlayer::create<GstMusicPlayer>),
               {PlayerVariant::Showvale, environment.programDirectory, environment.argumentText});
    int exitCode = 0;
    QObject::connect(&form, &Form1::ended, &app, [&exitCode](bool failed) {
        exitCode = failed ? 1 : 0;
        QCoreApplication::exit(exitCode);
    });
    if (!form.start())
        return exitCode;
    return app.exec();
}
