#include "Main.h"
#include "ProgramEnvironment.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistelle"));
    // The editor ends when its last window closes; an open help window or test run keeps it
    // running after the main window has gone.
    QApplication::setQuitOnLastWindowClosed(true);

    QtPlatform platform(QStringLiteral("Vistelle"));
    // Closing the window destroys it, so its preview stops playing even while other windows
    // of the editor stay open. Those have no parent and are not destroyed with it.
    QPointer<Main> window = new Main(platform.services(),
                                     currentProgramEnvironment().programDirectory);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const int result = QApplication::exec();
    delete window.data();
    return result;
}
