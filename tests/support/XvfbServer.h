#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// A private X server for end-to-end tests of the real programs: started on a free display
// number, stopped with the object. Screenshots and synthetic input go through ImageMagick's
// import and xdotool, as a person's screen and mouse would.
class XvfbServer
{
public:
    explicit XvfbServer(QSize screenSize = QSize(1280, 720));
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    [[nodiscard]] bool isRunning() const { return !m_display.isEmpty(); }
    [[nodiscard]] QString display() const { return m_display; } // for example ":7"
    [[nodiscard]] QSize screenSize() const { return m_size; }

    // The environment for a program that should draw on this server.
    [[nodiscard]] QProcessEnvironment environment() const;
    [[nodiscard]] QImage grabScreen() const;
    // Runs xdotool with the given arguments on this display: what it printed, or nothing when it
    // failed or took over 20 s.
    std::optional<QString> xdotool(const QStringList &arguments) const;
    // Where the first shown window whose title matches the pattern is, if one is shown.
    [[nodiscard]] std::optional<QRect> windowGeometry(const QString &titlePattern) const;
    [[nodiscard]] bool isWindowShown(const QString &titlePattern) const;
    // Gives the keyboard to the first shown window whose title matches, as a window manager
    // would on a click; waits for one to be shown.
    bool focusWindow(const QString &titlePattern) const;
    // A click of the left mouse button at a point of the screen.
    bool click(QPoint at) const;
    // Keys as xdotool names them, such as "ctrl+o" or "Return".
    bool pressKeys(const QString &keys) const;
    // Sets a property of 8-bit values on the root window, as a colour manager sets the screen's
    // profile (_ICC_PROFILE).
    bool setRootProperty(const QByteArray &name, const QByteArray &value) const;
    // Starts openbox on this display, so that a window manager stacks and focuses the windows as
    // on a desktop; true once it manages the screen. It stops with the server.
    bool startOpenbox();

private:
    QProcess m_windowManager;
    QProcess m_server;
    QString m_display;
    QSize m_size;
};
