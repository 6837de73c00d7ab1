#pragma once

#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>

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
    // Runs xdotool with the given arguments on this display; true when it succeeded.
    bool xdotool(const QStringList &arguments) const;

private:
    QProcess m_server;
    QString m_display;
    QSize m_size;
};
