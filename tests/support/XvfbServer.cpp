#include "XvfbServer.h"

#include <QDeadlineTimer>
#include <QThread>

#include <unistd.h>

XvfbServer::XvfbServer(QSize screenSize)
    : m_size(screenSize)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    // Xvfb writes the display number it chose to the descriptor given with -displayfd.
    m_server.setProgram(QStringLiteral("Xvfb"));
    m_server.setArguments(
        {QStringLiteral("-displayfd"),
         QString::number(fds[1]),
         QStringLiteral("-screen"),
         QStringLiteral("0"),
         QStringLiteral("%1x%2x24").arg(screenSize.width()).arg(screenSize.height()),
         QStringLiteral("-nolisten"),
         QStringLiteral("tcp")});
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.setChildProcessModifier([fds] { ::close(fds[0]); });
    m_server.start();
    ::close(fds[1]);
    if (!m_server.waitForStarted(5000)) {
        ::close(fds[0]);
        return;
    }
    QByteArray number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (!number.isEmpty())
        m_display = QLatin1Char(':') + QString::fromLatin1(number);
}

XvfbServer::~XvfbServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
        m_server.waitForFinished(1000);
    }
}

QProcessEnvironment XvfbServer::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QImage XvfbServer::grabScreen() const
{
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-display"),
                  m_display,
                  QStringLiteral("-window"),
                  QStringLiteral("root"),
                  QStringLiteral("png:-")});
    if (!import.waitForFinished(15000) || import.exitCode() != 0)
        return {};
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

bool XvfbServer::xdotool(const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit
           && tool.exitCode() == 0;
}
