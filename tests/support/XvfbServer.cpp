#include "support/XvfbServer.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

#include <cstdlib>

#include <unistd.h>
#include <xcb/xcb.h>

XvfbServer::XvfbServer(QSize screenSize)
    : m_size(screenSize)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    // Xvfb writes the display number it chose to the descriptor given with -displayfd. It keeps
    // its root window's properties when its last client goes (-noreset), as a desktop's server
    // keeps the screen's colour profile.
    m_server.setProgram(QStringLiteral("Xvfb"));
    m_server.setArguments(
        {QStringLiteral("-noreset"),
         QStringLiteral("-displayfd"),
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

namespace {

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000))
        process.kill();
    process.waitForFinished(1000);
}

} // namespace

XvfbServer::~XvfbServer()
{
    stop(m_windowManager);
    stop(m_server);
}

bool XvfbServer::startOpenbox()
{
    m_windowManager.setProcessEnvironment(environment());
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(QStringLiteral("openbox"), {});
    if (!m_windowManager.waitForStarted(5000))
        return false;
    // A window manager that follows the desktop conventions names itself on the root window.
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_windowManager.state() == QProcess::Running) {
        QProcess xprop;
        xprop.setProcessEnvironment(environment());
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        if (xprop.waitForFinished(5000)
            && xprop.readAllStandardOutput().contains(QByteArrayLiteral("window id")))
            return true;
        QThread::msleep(100);
    }
    return false;
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

std::optional<QString> XvfbServer::xdotool(const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(20000)) {
        tool.kill();
        tool.waitForFinished(1000);
        return std::nullopt;
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

std::optional<QRect> XvfbServer::windowGeometry(const QString &titlePattern) const
{
    const std::optional<QString> shell = xdotool({QStringLiteral("search"),
                                                  QStringLiteral("--onlyvisible"),
                                                  QStringLiteral("--name"),
                                                  titlePattern,
                                                  QStringLiteral("getwindowgeometry"),
                                                  QStringLiteral("--shell")});
    if (!shell)
        return std::nullopt;
    const auto value = [&shell](const char *key) {
        const QRegularExpression line(QStringLiteral("^%1=(-?\\d+)$").arg(QLatin1String(key)),
                                      QRegularExpression::MultilineOption);
        return line.match(*shell).captured(1).toInt();
    };
    const QRect geometry(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
    return geometry.isValid() ? std::optional<QRect>(geometry) : std::nullopt;
}

bool XvfbServer::isWindowShown(const QString &titlePattern) const
{
    return xdotool({QStringLiteral("search"),
                    QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"),
                    titlePattern})
        .has_value();
}

bool XvfbServer::focusWindow(const QString &titlePattern) const
{
    return xdotool({QStringLiteral("search"),
                    QStringLiteral("--sync"),
                    QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"),
                    titlePattern,
                    QStringLiteral("windowfocus"),
                    QStringLiteral("--sync"),
                    QStringLiteral("%1")})
        .has_value();
}

bool XvfbServer::click(QPoint at) const
{
    return xdotool({QStringLiteral("mousemove"),
                    QString::number(at.x()),
                    QString::number(at.y()),
                    QStringLiteral("click"),
                    QStringLiteral("1")})
        .has_value();
}

bool XvfbServer::pressKeys(const QString &keys) const
{
    return xdotool({QStringLiteral("key"), keys}).has_value();
}

bool XvfbServer::setRootProperty(const QByteArray &name, const QByteArray &value) const
{
    xcb_connection_t *connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(connection,
                                                          xcb_intern_atom(connection,
                                                                          0,
                                                                          quint16(name.size()),
                                                                          name.constData()),
                                                          nullptr);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_generic_error_t *error = nullptr;
    if (atom && screen)
        error = xcb_request_check(connection,
                                  xcb_change_property_checked(connection,
                                                              XCB_PROP_MODE_REPLACE,
                                                              screen->root,
                                                              atom->atom,
                                                              XCB_ATOM_CARDINAL,
                                                              8,
                                                              quint32(value.size()),
                                                              value.constData()));
    const bool set = atom && screen && !error;
    std::free(error);
    std::free(atom);
    xcb_disconnect(connection);
    return set;
}
