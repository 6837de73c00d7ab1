#pragma once

#include "platform/PlatformServices.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Form1;
struct ProjectSnapshot;

// The editor's test run: writes the project to testrun.test beside the program and plays it in
// the player window's test-run variant. The window is not owned by the editor window, so it plays
// on after that one closes; at most one is open, and a second test only raises it.
class TestRun final : public QObject
{
    Q_OBJECT

public:
    TestRun(const PlatformServices &services, QString programDirectory);

    // The project is taken as it is now. No message is shown for the file, saved or not: the
    // player window reads whatever testrun.test holds and reports its own failures.
    Form1 *run(const ProjectSnapshot &project);

    [[nodiscard]] QString projectPath() const;
    [[nodiscard]] Form1 *window() const;

private:
    void letEventsRun();

    PlatformServices m_services;
    QString m_programDirectory;
    QPointer<Form1> m_window;
};
