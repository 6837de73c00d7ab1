#include "Main.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistelle"));
    // The editor ends when its last window closes; an open help window keeps it running.
    QApplication::setQuitOnLastWindowClosed(true);

    QtPlatform platform(QStringLiteral("Vistelle"));
    // Closing the window destroys it, so its preview stops playing even while other windows
    // of the editor stay open.
    QPointer<Main> window = new Main(platform.services());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    const int result = QApplication::exec();
    delete window.data();
    return result;
}
